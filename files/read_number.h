// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace qz {

// The number at the start of a typed text, the way every typed number is read: blanks, tabs
// and line feeds are skipped wherever they occur; then an optional sign and decimal digits with
// at most one decimal point are taken up to the first other character. A text without a
// number, the empty text included, reads as 0. Exponents and radix prefixes are not read.
// "05" -> 5, "12abc" -> 12, "abc" -> 0, "1 2" -> 12, "-3.5x" -> -3.5.
double readLeadingNumber(const QString& text);

// Text typed through an input method comes in full-width forms (「１２．３０」, 「＊」, 「－」,
// the full-width blank); they mean the same as their ASCII forms, into which this turns them.
QString asciiForms(const QString& typed);
// Pasted text can hold several lines; a one-line box sees them run together.
bool hasLineBreak(const QString& text);
QStringList splitLines(const QString& text);

} // namespace qz
