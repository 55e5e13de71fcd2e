// SPDX-License-Identifier: MIT
#pragma once

#include "print_document.h"

#include <QString>
#include <QStringList>

class QPainter;
class QWidget;

namespace qz {

class MessageBoxes;
class FileDialogs;

struct PrintOutcome {
    // Unavailable: this program cannot print on printers at all (its print module could not be
    // loaded); error says why. A PDF file can still be written.
    enum class Status { Printed, NoPrinter, Unavailable, Failed };
    Status status = Status::Failed;
    QString error; // why, in Japanese, when Failed
};

// The printer the calculators print on: the default printer, or a PDF file the user names when
// there is none. Every page is A4 portrait with the same margins, so a layout measured for one
// fits the other.
class Printer {
  public:
    virtual ~Printer() = default;
    virtual PrintOutcome printOnDefault(const QString& jobName, const PrintDocument& doc) = 0;
    virtual PrintOutcome printToPdf(const QString& path, const QString& jobName,
                                    const PrintDocument& doc) = 0;
    // The printable height of a page in heights of the letter "A" of this font.
    virtual double pageHeightInCells(const PrintFont& font) = 0;
};

// Printers through the print module, loaded from programFolder (the executable's folder when
// empty) on the first print; PDF files and page measures through Qt Gui alone.
class QtPrinter final : public Printer {
  public:
    explicit QtPrinter(QString programFolder = {}) : m_folder(std::move(programFolder)) {}
    PrintOutcome printOnDefault(const QString& jobName, const PrintDocument& doc) override;
    PrintOutcome printToPdf(const QString& path, const QString& jobName,
                            const PrintDocument& doc) override;
    double pageHeightInCells(const PrintFont& font) override;

  private:
    QString m_folder;
};

// Draws the operations on a painter that is already open on a paged device; NewPage asks the
// device for the next page.
void renderPrintDocument(QPainter& painter, const PrintDocument& doc);

// Prints on the default printer; without one (or without the print module), offers to write a
// PDF file instead (a file dialog starting in initialFolder). A failure is always reported in a
// message box, never silent. Returns true when the document was printed or written.
bool printOrOfferPdf(QWidget* owner, Printer& printer, MessageBoxes& messages, FileDialogs& files,
                     const QString& initialFolder, const QString& jobName,
                     const PrintDocument& doc);

} // namespace qz
