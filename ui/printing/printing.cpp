// SPDX-License-Identifier: MIT
#include "printing.h"

#include "files/file_io.h"
#include "print_output.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"
#include "ui/loadable_module.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <map>

namespace qz {

namespace {

// One page setup for the printer and for PDF files, so a layout fits both alike.
QPageLayout standardLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

QFont printFont(const PrintFont& f) {
    // The proportional face is the one whose name has the full-width "Ｐ".
    return f.family.contains(QChar(0xFF30)) ? uiFont(f.pointSize) : fixedFont(f.pointSize);
}

// Printer dots of the line widths the layouts give, at the 300 dpi they were drawn for.
double penWidth(int lineWidth, const QPaintDevice* device) {
    return lineWidth * device->logicalDpiY() / 300.0;
}

} // namespace

void renderPrintDocument(QPainter& painter, const PrintDocument& doc) {
    QPaintDevice* device = painter.device();
    QFont font = printFont({kFixedFamily, 10.0});
    painter.setFont(font);
    QFontMetricsF metrics(font, device);
    double cw = metrics.horizontalAdvance(QLatin1Char('A'));
    double ch = metrics.height();

    for (const PrintOp& op : doc) {
        switch (op.kind) {
        case PrintOp::Kind::SetFont:
            font = printFont(op.font);
            painter.setFont(font);
            metrics = QFontMetricsF(font, device);
            cw = metrics.horizontalAdvance(QLatin1Char('A'));
            ch = metrics.height();
            break;
        case PrintOp::Kind::Text:
            painter.drawText(QPointF(op.x * cw, op.y * ch + metrics.ascent()), op.text);
            break;
        case PrintOp::Kind::RightText: {
            const double start = (op.x + op.fieldWidth) * cw - metrics.horizontalAdvance(op.text);
            painter.drawText(QPointF(start, op.y * ch + metrics.ascent()), op.text);
            break;
        }
        case PrintOp::Kind::Rule:
            painter.save();
            painter.setPen(QPen(Qt::black, penWidth(op.lineWidth, device)));
            painter.drawLine(QPointF(op.x * cw, op.y * ch), QPointF(op.x2 * cw, op.y * ch));
            painter.restore();
            break;
        case PrintOp::Kind::NewPage:
            if (auto* paged = dynamic_cast<QPagedPaintDevice*>(device)) paged->newPage();
            break;
        }
    }
}

namespace {

// The print module of a folder, loaded once per process on the first print: a printer is
// needed rarely, and Qt Print Support with its dependencies costs every start otherwise.
struct LoadedPrintModule {
    PrinterOutput* output = nullptr;
    QString error; // why it could not be loaded
};

const LoadedPrintModule& printModule(const QString& folder) {
    static std::map<QString, LoadedPrintModule> modules;
    const auto found = modules.find(folder);
    if (found != modules.end()) return found->second;
    LoadedPrintModule& m = modules[folder];
    if (auto entry = reinterpret_cast<PrinterOutputEntry>(
            resolveModuleEntry(folder, kPrintModuleName, kPrinterOutputEntry, &m.error)))
        m.output = entry();
    return m;
}

} // namespace

PrintOutcome QtPrinter::printOnDefault(const QString& jobName, const PrintDocument& doc) {
    const QString folder =
        m_folder.isEmpty() ? QCoreApplication::applicationDirPath() : QDir::cleanPath(m_folder);
    const LoadedPrintModule& module = printModule(folder);
    if (!module.output)
        return {
            PrintOutcome::Status::Unavailable,
            QStringLiteral("印刷機能（%1）を読み込めないため、プリンターに印刷できません。（%2）")
                .arg(QLatin1String(kPrintModuleName), module.error)};
    return module.output->printOnDefault(jobName, standardLayout(), [&doc](QPainter& painter) {
        renderPrintDocument(painter, doc);
    });
}

PrintOutcome QtPrinter::printToPdf(const QString& path, const QString& jobName,
                                   const PrintDocument& doc) {
    // Drawn in memory first: a file is only replaced once the whole document exists.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(jobName);
        writer.setCreator(QStringLiteral("ＱＺタイマー"));
        writer.setResolution(1200);
        writer.setPageLayout(standardLayout());
        QPainter painter;
        if (!painter.begin(&writer))
            return {PrintOutcome::Status::Failed, QStringLiteral("PDFを作成できませんでした。")};
        renderPrintDocument(painter, doc);
        painter.end();
    }
    // The same writer as every other file: the old file stays whole, the reason is in Japanese.
    QString why;
    if (!writeFileAtomically(path, buffer.data(), &why)) return {PrintOutcome::Status::Failed, why};
    return {PrintOutcome::Status::Printed, {}};
}

double QtPrinter::pageHeightInCells(const PrintFont& font) {
    QBuffer scratch;
    scratch.open(QIODevice::WriteOnly);
    QPdfWriter writer(&scratch);
    writer.setResolution(1200);
    writer.setPageLayout(standardLayout());
    const QFontMetricsF metrics(printFont(font), &writer);
    return writer.height() / metrics.height();
}

bool printOrOfferPdf(QWidget* owner, Printer& printer, MessageBoxes& messages, FileDialogs& files,
                     const QString& initialFolder, const QString& jobName,
                     const PrintDocument& doc) {
    const QString title = QStringLiteral("印刷");
    PrintOutcome outcome = printer.printOnDefault(jobName, doc);
    if (outcome.status == PrintOutcome::Status::Printed) return true;
    if (outcome.status == PrintOutcome::Status::Failed) {
        messages.exclamation(owner, QStringLiteral("印刷できませんでした。\n") + outcome.error,
                             title);
        return false;
    }
    const QString why = outcome.status == PrintOutcome::Status::Unavailable
                            ? outcome.error
                            : QStringLiteral("使用できるプリンターがありません。");
    if (!messages.confirm(owner, why + QStringLiteral("\nPDFファイルとして保存しますか？"), title))
        return false;
    const std::optional<QString> chosen =
        files.saveFile(owner, initialFolder, QStringLiteral("PDFﾌｧｲﾙ (*.pdf)|*.pdf"));
    if (!chosen) return false;
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    outcome = printer.printToPdf(path, jobName, doc);
    if (outcome.status != PrintOutcome::Status::Printed) {
        messages.exclamation(owner,
                             QStringLiteral("%1 に保存できませんでした。\n%2")
                                 .arg(QFileInfo(path).fileName(), outcome.error),
                             title);
        return false;
    }
    return true;
}

} // namespace qz
