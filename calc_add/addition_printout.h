// SPDX-License-Identifier: MIT
#pragma once

#include "calc_add/addition_sheet.h"

#include "ui/printing/print_document.h"

namespace qz {

// The printed worksheet: a title with its page label, a header row between two rules and one
// row per line 1 to the last line, fifty to a page (so one or two pages). Positions are in
// character cells of kFixedFamily at 10 points. The texts are those of the line table.
PrintDocument additionSheetPrintout(const AdditionSheet& sheet);

inline constexpr int kLinesPerPrintedPage = 50;

} // namespace qz
