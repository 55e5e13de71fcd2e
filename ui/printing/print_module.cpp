// SPDX-License-Identifier: MIT
// The print module: the only code that links Qt Print Support. The program loads it when a
// window first prints on a printer, so starts that never print never map the printing
// libraries.
#include "print_output.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace qz {
namespace {

class SystemPrinterOutput final : public PrinterOutput {
  public:
    PrintOutcome printOnDefault(const QString& jobName, const QPageLayout& layout,
                                const std::function<void(QPainter&)>& draw) override {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) return {PrintOutcome::Status::NoPrinter, {}};
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setDocName(jobName);
        printer.setPageLayout(layout);
        QPainter painter;
        if (!painter.begin(&printer))
            return {PrintOutcome::Status::Failed,
                    QStringLiteral("プリンター「%1」を開けませんでした。").arg(info.printerName())};
        draw(painter);
        if (!painter.end() || printer.printerState() == QPrinter::Error)
            return {PrintOutcome::Status::Failed,
                    QStringLiteral("プリンター「%1」が印刷を受け付けませんでした。")
                        .arg(info.printerName())};
        return {PrintOutcome::Status::Printed, {}};
    }
};

} // namespace
} // namespace qz

extern "C" Q_DECL_EXPORT qz::PrinterOutput* qz_printer_output() {
    static qz::SystemPrinterOutput output;
    return &output;
}
