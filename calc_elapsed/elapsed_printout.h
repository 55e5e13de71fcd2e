// SPDX-License-Identifier: MIT
#pragma once

#include "calc_elapsed/elapsed_sheet.h"
#include "ui/printing/print_document.h"

namespace qz {

inline const QString kElapsedPrintFamily = kProportionalFamily;
inline constexpr double kElapsedPrintPoints = 10.0;

// The printed sheet: a heading with the date, the total, the column headings and one line per
// row, from three lines below the top. Rows that run past the bottom of a page (pageHeight, in
// heights of the letter "A") continue on the next page under the column headings again; blank
// rows after the last filled one start no page.
PrintDocument elapsedSheetPrintout(const ElapsedSheet& sheet, const QString& dateText,
                                   double pageHeight);

} // namespace qz
