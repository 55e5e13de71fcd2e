// SPDX-License-Identifier: MIT
#include "calc_add/addition_printout.h"

#include "files/cp932.h"

#include <algorithm>

namespace qz {

namespace {

// Cells of one character in the fixed-pitch printing font: a double-byte character of the code
// page the font was made for takes two, the rest one.
int cellsOf(char32_t c) {
    if (c < 0x80) return 1;
    const QString one = QString::fromUcs4(&c, 1);
    if (const std::optional<QByteArray> bytes = encodeCp932(one)) return int(bytes->size());
    return c >= 0x1100 ? 2 : 1;
}

// `text` cut to its column of `cells` cells, the cut marked with "…" as the grid marks it, so a
// long entry or a huge total never runs into the next column.
QString fitToCells(const QString& text, int cells) {
    int total = 0;
    for (char32_t c : text.toUcs4())
        total += cellsOf(c);
    if (total <= cells) return text;
    const QChar ellipsis(0x2026);
    const int room = cells - cellsOf(ellipsis.unicode());
    QString cut;
    int used = 0;
    for (char32_t c : text.toUcs4()) {
        if (used + cellsOf(c) > room) break;
        used += cellsOf(c);
        cut += QString::fromUcs4(&c, 1);
    }
    return cut + ellipsis;
}

// The entry runs from its start to the line total's field; the totals have fields of their own.
constexpr int kEntryCells = 15;
constexpr int kFieldCells = 10;

} // namespace

PrintDocument additionSheetPrintout(const AdditionSheet& sheet) {
    const QString& font = kFixedFamily;
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
            auto field = [&](double x, const QString& text) {
                if (!text.isEmpty())
                    doc.append(rightTextOp(x, kFieldCells, y, fitToCells(text, kFieldCells)));
            };
            if (!l.entry.isEmpty()) doc.append(textOp(15, y, fitToCells(l.entry, kEntryCells)));
            field(30, l.lineText);
            field(42, l.runningText);
            if (rounded) {
                field(54, l.roundedLineText);
                field(66, l.roundedRunningText);
            }
        }

        doc.append(ruleOp(5, 78, 4.5, 2));
        doc.append(ruleOp(5, 78, 6.5, 2));
    }
    return doc;
}

} // namespace qz
