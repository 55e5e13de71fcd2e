// SPDX-License-Identifier: MIT
#pragma once

#include "ui/font_families.h"

#include <QList>
#include <QString>

namespace qz {

// A printout as plain drawing operations, so a layout can be checked without a printer.
// Positions are in character cells of the font in force: x in widths of the letter "A",
// y in its heights, both from the top-left corner of the printable area.
struct PrintFont {
    QString family; // kFixedFamily or kProportionalFamily
    double pointSize = 10.0;
    bool operator==(const PrintFont&) const = default;
};

struct PrintOp {
    enum class Kind {
        SetFont,   // font: the font and the cell size of everything after it
        Text,      // text starts at (x, y)
        RightText, // text ends at x + fieldWidth, on line y
        Rule,      // horizontal line from x to x2 at y, lineWidth printer dots thick
        NewPage,
    };
    Kind kind = Kind::Text;
    double x = 0;
    double y = 0;
    double fieldWidth = 0;
    double x2 = 0;
    int lineWidth = 1;
    QString text;
    PrintFont font;
    bool operator==(const PrintOp&) const = default;
};

using PrintDocument = QList<PrintOp>;

inline PrintOp setFontOp(const QString& family, double pointSize) {
    PrintOp op;
    op.kind = PrintOp::Kind::SetFont;
    op.font = {family, pointSize};
    return op;
}
inline PrintOp textOp(double x, double y, const QString& text) {
    PrintOp op;
    op.kind = PrintOp::Kind::Text;
    op.x = x;
    op.y = y;
    op.text = text;
    return op;
}
inline PrintOp rightTextOp(double fieldStart, double fieldWidth, double y, const QString& text) {
    PrintOp op;
    op.kind = PrintOp::Kind::RightText;
    op.x = fieldStart;
    op.fieldWidth = fieldWidth;
    op.y = y;
    op.text = text;
    return op;
}
inline PrintOp ruleOp(double x1, double x2, double y, int lineWidth) {
    PrintOp op;
    op.kind = PrintOp::Kind::Rule;
    op.x = x1;
    op.x2 = x2;
    op.y = y;
    op.lineWidth = lineWidth;
    return op;
}
inline PrintOp newPageOp() {
    PrintOp op;
    op.kind = PrintOp::Kind::NewPage;
    return op;
}

// How many pages a document has: one more than its page breaks.
inline int pageCount(const PrintDocument& doc) {
    int pages = 1;
    for (const PrintOp& op : doc)
        if (op.kind == PrintOp::Kind::NewPage) ++pages;
    return pages;
}

} // namespace qz
