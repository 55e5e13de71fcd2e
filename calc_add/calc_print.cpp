// SPDX-License-Identifier: MIT
#include "calc_print.h"

#include <algorithm>

namespace qz {

PrintDocument timPrintDocument(const Worksheet& sheet) {
    const QString font = QStringLiteral("ＭＳ ゴシック");
    const int last = std::clamp(sheet.lastLine, 0, kLineCount);
    const bool rounded = sheet.mode != RoundingMode::None;
    const RoundingModeTexts headers = roundingModeTexts(sheet.mode);
    const int pages = last > kLinesPerPrintedPage ? 2 : 1;

    PrintDocument doc;
    doc.append(setFontOp(font, 10));
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) doc.append(newPageOp());
        doc.append(textOp(6, 3, QStringLiteral("■■　時間計算　■■　　")));
        doc.append(textOp(70, 3, QStringLiteral("P: %1/%2").arg(page).arg(pages)));

        doc.append(textOp(8, 5, QStringLiteral("NO")));
        doc.append(textOp(15, 5, QStringLiteral(" 入力")));
        doc.append(textOp(31, 5, QStringLiteral("分単位計算")));
        doc.append(textOp(43, 5, QStringLiteral("分単位累計")));
        if (rounded) {
            doc.append(textOp(56, 5, headers.roundedLineHeader));
            doc.append(textOp(68, 5, headers.roundedRunningHeader));
        }

        const int first = (page - 1) * kLinesPerPrintedPage + 1;
        const int end = std::min(last, page * kLinesPerPrintedPage);
        for (int i = first; i <= end; ++i) {
            const CalcLine& l = sheet.line(i);
            const double y = 6 + 1.2 * (i - first + 1);
            doc.append(rightTextOp(6, 4, y, QString::number(i)));
            if (!l.entry.isEmpty()) doc.append(textOp(15, y, l.entry));
            if (!l.lineText.isEmpty()) doc.append(rightTextOp(30, 10, y, l.lineText));
            if (!l.runningText.isEmpty()) doc.append(rightTextOp(42, 10, y, l.runningText));
            if (rounded) {
                if (!l.roundedLineText.isEmpty())
                    doc.append(rightTextOp(54, 10, y, l.roundedLineText));
                if (!l.roundedRunningText.isEmpty())
                    doc.append(rightTextOp(66, 10, y, l.roundedRunningText));
            }
        }

        doc.append(ruleOp(5, 78, 4.5, 2));
        doc.append(ruleOp(5, 78, 6.5, 2));
    }
    return doc;
}

} // namespace qz
