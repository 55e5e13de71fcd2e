#pragma once

#include <QString>

namespace qz {

// The number at the start of a typed text, the way every typed number is read: blanks, tabs
// and line feeds are skipped wherever they occur; then an optional sign and decimal digits
// with at most one decimal point, up to the first other character. No number reads as 0.
// "05" -> 5, "12abc" -> 12, "abc" -> 0, "1 2" -> 12.
double readLeadingNumber(const QString& text);

} // namespace qz
