// SPDX-License-Identifier: MIT
#include "elapsed_printout.h"

namespace qz {

namespace {

constexpr double kTopLine = 3;

void addText(PrintDocument& doc, double x, double y, const QString& text) {
    if (!text.isEmpty()) doc.append(textOp(x, y, text));
}

void addColumnHeadings(PrintDocument& doc, double y) {
    doc.append(textOp(6, y, QStringLiteral("開始時間")));
    doc.append(textOp(15, y, QStringLiteral("終了時間")));
    doc.append(textOp(26, y, QStringLiteral("経過時間")));
}

} // namespace

PrintDocument elapsedSheetPrintout(const ElapsedSheet& sheet, const QString& dateText,
                                   double pageHeight) {
    PrintDocument doc;
    doc.append(setFontOp(kElapsedPrintFamily, kElapsedPrintPoints));
    double y = kTopLine;
    doc.append(
        textOp(5, y, QStringLiteral("●　経過時間　//////////////////////////　　") + dateText));
    ++y;
    doc.append(textOp(0, y, QStringLiteral(" ")));
    ++y;
    doc.append(textOp(25, y, QStringLiteral("合計：") + sheet.totalText.value_or(QString())));
    y += 2; // an empty line follows the total
    addColumnHeadings(doc, y);
    ++y;
    // Blank rows after the last filled one would only fill a further page with nothing.
    int lastFilled = 0;
    for (int r = 1; r <= kSheetRowCount; ++r) {
        const SheetRow& row = sheet.row(r);
        if (!row.startText.value_or(QString()).isEmpty() ||
            !row.endText.value_or(QString()).isEmpty() ||
            !row.elapsedText.value_or(QString()).isEmpty())
            lastFilled = r;
    }
    bool rowOnPage = false;
    for (int r = 1; r <= lastFilled; ++r) {
        const SheetRow& row = sheet.row(r);
        // Every row takes its line, empty or not; one that would cross the bottom starts a new
        // page (but every page holds at least one row, however short it is).
        if (y + 1 > pageHeight && rowOnPage) {
            doc.append(newPageOp());
            y = kTopLine;
            addColumnHeadings(doc, y);
            ++y;
            rowOnPage = false;
        }
        addText(doc, 8, y, row.startText.value_or(QString()));
        addText(doc, 17, y, row.endText.value_or(QString()));
        addText(doc, 28, y, row.elapsedText.value_or(QString()));
        rowOnPage = true;
        ++y;
    }
    return doc;
}

} // namespace qz
