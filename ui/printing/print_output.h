// SPDX-License-Identifier: MIT
#pragma once

#include "printing.h"

#include <functional>

class QPageLayout;
class QPainter;

namespace qz {

// The system's printers, as the print module offers them.
class PrinterOutput {
  public:
    virtual ~PrinterOutput() = default;
    // Opens the default printer for a job with this page setup and lets `draw` paint every
    // page on it. NoPrinter when the system has no default printer.
    virtual PrintOutcome printOnDefault(const QString& jobName, const QPageLayout& layout,
                                        const std::function<void(QPainter&)>& draw) = 0;
};

// The print module's only entry point: a process-wide PrinterOutput that lives as long as the
// process.
using PrinterOutputEntry = PrinterOutput* (*)();
inline constexpr const char* kPrinterOutputEntry = "qz_printer_output";
inline constexpr const char* kPrintModuleName = "qz_print";

} // namespace qz
