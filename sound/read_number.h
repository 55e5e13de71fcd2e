// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace qz {

// The number at the start of a typed text, the way every typed number is read: blanks, tabs
// and line feeds are skipped wherever they occur; then an optional sign and decimal digits with
// at most one decimal point are taken up to the first other character. A text without a
// number, the empty text included, reads as 0. Exponents and radix prefixes are not read.
// "05" -> 5, "12abc" -> 12, "abc" -> 0, "1 2" -> 12, "-3.5x" -> -3.5.
double readLeadingNumber(const QString& text);

} // namespace qz
