// SPDX-License-Identifier: MIT
#include "tests/support/test_services.h"
#include "ui/printing/print_output.h"
#include "ui/printing/printing.h"

#include <QApplication>
#include <QFile>
#include <QLibrary>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace qz;

namespace {

PrintDocument twoPages() {
    return {setFontOp(QStringLiteral("ＭＳ ゴシック"), 10),
            textOp(6, 3, QStringLiteral("■■　時間計算　■■")),
            rightTextOp(6, 4, 7.2, QStringLiteral("1")),
            ruleOp(5, 78, 4.5, 2),
            newPageOp(),
            textOp(6, 3, QStringLiteral("二頁目"))};
}

// The text of a PDF as poppler reads it, or nothing when pdftotext is missing.
QString pdfText(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) return {};
    QProcess p;
    p.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT

  private slots:
    void pdfHoldsEveryPageAndText() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.pdf"));
        QtPrinter printer;
        const PrintOutcome outcome = printer.printToPdf(path, QStringLiteral("test"), twoPages());
        QCOMPARE(outcome.status, PrintOutcome::Status::Printed);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 2);
        const QString text = pdfText(path);
        if (text.isEmpty()) QSKIP("pdftotext is not installed");
        QVERIFY(text.contains(QStringLiteral("時間計算")));
        QVERIFY(text.contains(QStringLiteral("二頁目")));
        QCOMPARE(text.count(QChar(u'\f')), 2);
    }

    void pdfIntoMissingFolderFailsAndSaysWhy() {
        QTemporaryDir dir;
        QtPrinter printer;
        const PrintOutcome outcome = printer.printToPdf(
            dir.filePath(QStringLiteral("no/such/out.pdf")), QStringLiteral("t"), twoPages());
        QCOMPARE(outcome.status, PrintOutcome::Status::Failed);
        QCOMPARE(outcome.error, QStringLiteral("保存先のフォルダが見つかりません。"));
    }

    void pageHeightFitsSeveralDozenLines() {
        QtPrinter printer;
        const double lines = printer.pageHeightInCells({QStringLiteral("ＭＳ Ｐゴシック"), 10});
        QVERIFY2(lines > 40 && lines < 90, qPrintable(QString::number(lines)));
    }

    // Without a printer the user is offered a PDF; every way out of that offer is handled.
    void offerPdfWithoutPrinter_data() {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("chosen"); // empty: the dialog is cancelled
        QTest::addColumn<bool>("writeFails");
        QTest::addColumn<QString>("expectedPath");
        QTest::addColumn<int>("messages");
        QTest::newRow("declined") << false << QString() << false << QString() << 1;
        QTest::newRow("dialog cancelled") << true << QString() << false << QString() << 1;
        QTest::newRow("suffix added") << true << "/x/sheet" << false << "/x/sheet.pdf" << 1;
        QTest::newRow("suffix kept") << true << "/x/sheet.PDF" << false << "/x/sheet.PDF" << 1;
        QTest::newRow("write fails") << true << "/x/a.pdf" << true << "/x/a.pdf" << 2;
    }
    void offerPdfWithoutPrinter() {
        QFETCH(bool, accept);
        QFETCH(QString, chosen);
        QFETCH(bool, writeFails);
        QFETCH(QString, expectedPath);
        QFETCH(int, messages);
        RecordingPrinter printer;
        printer.hasDefaultPrinter = false;
        if (writeFails) printer.outcome = {PrintOutcome::Status::Failed, QStringLiteral("満杯")};
        ScriptedMessageBoxes boxes;
        boxes.confirmAnswers = {accept};
        ScriptedFileDialogs files;
        if (!chosen.isEmpty()) files.answers = {chosen};
        const bool done = printOrOfferPdf(nullptr, printer, boxes, files, QStringLiteral("/x"),
                                          QStringLiteral("job"), twoPages());
        QCOMPARE(done, !expectedPath.isEmpty() && !writeFails);
        QCOMPARE(printer.pdfPaths,
                 expectedPath.isEmpty() ? QStringList() : QStringList{expectedPath});
        QCOMPARE(boxes.shown.size(), messages);
        if (writeFails) QVERIFY(boxes.lastText().contains(QStringLiteral("満杯")));
    }

    // Without its print module the program cannot reach a printer, says so, and still offers
    // the PDF file, which needs no module.
    void missingPrintModuleStillOffersPdf() {
        QTemporaryDir emptyFolder;
        QtPrinter printer(emptyFolder.path());
        const PrintOutcome outcome = printer.printOnDefault(QStringLiteral("job"), twoPages());
        QCOMPARE(outcome.status, PrintOutcome::Status::Unavailable);
        QVERIFY2(outcome.error.contains(QStringLiteral("qz_print")), qPrintable(outcome.error));

        ScriptedMessageBoxes boxes;
        boxes.confirmAnswers = {true};
        ScriptedFileDialogs files;
        files.answers = {emptyFolder.filePath(QStringLiteral("sheet"))};
        QVERIFY(printOrOfferPdf(nullptr, printer, boxes, files, emptyFolder.path(),
                                QStringLiteral("job"), twoPages()));
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(boxes.lastText().contains(QStringLiteral("印刷機能")));
        QVERIFY(boxes.lastText().contains(QStringLiteral("PDFファイルとして保存しますか")));
        QFile pdf(emptyFolder.filePath(QStringLiteral("sheet.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().startsWith("%PDF"));
    }

    void unavailablePrintingDeclinedWritesNothing() {
        RecordingPrinter printer;
        printer.unavailable = QStringLiteral("印刷機能がありません。");
        ScriptedMessageBoxes boxes;
        boxes.confirmAnswers = {false};
        ScriptedFileDialogs files;
        QVERIFY(!printOrOfferPdf(nullptr, printer, boxes, files, {}, QStringLiteral("job"),
                                 twoPages()));
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(boxes.lastText().startsWith(printer.unavailable));
        QVERIFY(files.asked.isEmpty());
        QVERIFY(printer.pdfPaths.isEmpty());
    }

    // The module the program loads from its folder offers its entry point.
    void printModuleOffersItsEntry() {
        QLibrary module(QStringLiteral(QZ_PRINT_MODULE));
        const auto entry =
            reinterpret_cast<PrinterOutputEntry>(module.resolve(kPrinterOutputEntry));
        QVERIFY2(entry, qPrintable(module.errorString()));
        QVERIFY(entry() != nullptr);
        QCOMPARE(entry(), entry()); // one for the process
    }

    void printerFailureIsReported() {
        RecordingPrinter printer;
        printer.outcome = {PrintOutcome::Status::Failed, QStringLiteral("紙切れ")};
        ScriptedMessageBoxes boxes;
        ScriptedFileDialogs files;
        QVERIFY(!printOrOfferPdf(nullptr, printer, boxes, files, {}, QStringLiteral("job"),
                                 twoPages()));
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(boxes.lastText().contains(QStringLiteral("紙切れ")));
        QVERIFY(files.asked.isEmpty());
    }

    void pageCountFollowsBreaks() {
        QCOMPARE(pageCount({}), 1);
        QCOMPARE(pageCount(twoPages()), 2);
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
