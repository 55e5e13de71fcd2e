// SPDX-License-Identifier: MIT
#include "calc_elapsed/elapsed_printout.h"
#include "ui/printing/printing.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace qz;
using namespace Qt::StringLiterals;

namespace {

const QString kHeading = QStringLiteral("●　経過時間　//////////////////////////　　");

QList<PrintOp> textsOn(const PrintDocument& doc, double y, int page) {
    QList<PrintOp> out;
    int p = 1;
    for (const PrintOp& op : doc) {
        if (op.kind == PrintOp::Kind::NewPage) ++p;
        if (p == page && op.kind == PrintOp::Kind::Text && op.y == y) out.append(op);
    }
    return out;
}

QString pdfText(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) return {};
    QProcess p;
    p.start(tool, {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                   QStringLiteral("-")});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TstElapsedPrintout : public QObject {
    Q_OBJECT
  private slots:
    void headOfThePage();
    void freshSheetPrintsEmptyLines();
    void rowsAtTheirColumns();
    void rowsContinueOnANewPage_data();
    void rowsContinueOnANewPage();
    void realPdf();
};

void TstElapsedPrintout::headOfThePage() {
    ElapsedSheet s;
    s.totalText = u"47:45"_s;
    s.sheetDate = u"2001/01/01"_s; // the date box's text is printed, not the saved date
    const PrintDocument doc = elapsedSheetPrintout(s, u"2010/11/08"_s, 100);
    QCOMPARE(doc.first(), setFontOp(QStringLiteral("ＭＳ Ｐゴシック"), 10));
    QCOMPARE(textsOn(doc, 3, 1), QList<PrintOp>{textOp(5, 3, kHeading + u"2010/11/08"_s)});
    QCOMPARE(textsOn(doc, 4, 1), QList<PrintOp>{textOp(0, 4, u" "_s)});
    QCOMPARE(textsOn(doc, 5, 1), QList<PrintOp>{textOp(25, 5, QStringLiteral("合計：47:45"))});
    QVERIFY(textsOn(doc, 6, 1).isEmpty());
    QCOMPARE(textsOn(doc, 7, 1), (QList<PrintOp>{textOp(6, 7, QStringLiteral("開始時間")),
                                                 textOp(15, 7, QStringLiteral("終了時間")),
                                                 textOp(26, 7, QStringLiteral("経過時間"))}));
}

void TstElapsedPrintout::freshSheetPrintsEmptyLines() {
    const PrintDocument doc = elapsedSheetPrintout(ElapsedSheet{}, QString(), 100);
    QCOMPARE(textsOn(doc, 5, 1), QList<PrintOp>{textOp(25, 5, QStringLiteral("合計："))});
    QCOMPARE(textsOn(doc, 3, 1), QList<PrintOp>{textOp(5, 3, kHeading)});
    QCOMPARE(pageCount(doc), 1);
    // Heading, blank, total, three column headings and the font: nothing for the empty rows.
    QCOMPARE(doc.size(), 7);
}

void TstElapsedPrintout::rowsAtTheirColumns() {
    ElapsedSheet s;
    s.row(1) = {u"08:30"_s, u"17:15"_s, u"08:45"_s, 525};
    s.row(2) = {u"09:00"_s, {}, {}, {}}; // start only
    s.row(70) = {u"00:00"_s, u"24:00"_s, u"24:00"_s, 1440};
    const PrintDocument doc = elapsedSheetPrintout(s, QString(), 100);
    QCOMPARE(textsOn(doc, 8, 1),
             (QList<PrintOp>{textOp(8, 8, u"08:30"_s), textOp(17, 8, u"17:15"_s),
                             textOp(28, 8, u"08:45"_s)}));
    QCOMPARE(textsOn(doc, 9, 1), QList<PrintOp>{textOp(8, 9, u"09:00"_s)});
    // Every row takes its line: row 70 is the 75th line.
    QCOMPARE(textsOn(doc, 77, 1).size(), 3);
    // Blank rows at the end start no page of their own.
    s.row(70) = SheetRow{};
    QCOMPARE(pageCount(elapsedSheetPrintout(s, QString(), 20)), 1);
    s.row(13) = {QString(), QString(), QString(), 0}; // cleared: prints nothing either
    QCOMPARE(pageCount(elapsedSheetPrintout(s, QString(), 20)), 1);
    s.row(14) = {u"10:00"_s, {}, {}, {}}; // line 14 + 7 = y 21 runs past a 20-line page
    QCOMPARE(pageCount(elapsedSheetPrintout(s, QString(), 20)), 2);
}

void TstElapsedPrintout::rowsContinueOnANewPage_data() {
    QTest::addColumn<double>("pageHeight");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("rowsOnFirstPage");
    QTest::newRow("all fit") << 78.0 << 1 << 70;
    QTest::newRow("one line short") << 77.9 << 2 << 69;
    QTest::newRow("A4 at 10 points") << 56.0 << 2 << 48;
    QTest::newRow("tiny pages") << 5.0 << 70 << 1;
}

void TstElapsedPrintout::rowsContinueOnANewPage() {
    QFETCH(double, pageHeight);
    QFETCH(int, pages);
    QFETCH(int, rowsOnFirstPage);
    ElapsedSheet s;
    for (int r = 1; r <= kSheetRowCount; ++r)
        s.row(r) = {QStringLiteral("%1:00").arg(r % 24, 2, 10, QLatin1Char('0')), {}, {}, {}};
    const PrintDocument doc = elapsedSheetPrintout(s, QString(), pageHeight);
    QCOMPARE(pageCount(doc), pages);
    int page = 1;
    int starts = 0;
    int rowsPrinted = 0;
    for (const PrintOp& op : doc) {
        if (op.kind == PrintOp::Kind::NewPage) {
            if (page == 1) QCOMPARE(starts, rowsOnFirstPage);
            ++page;
        }
        if (op.kind == PrintOp::Kind::Text && op.x == 8) {
            ++rowsPrinted;
            if (page == 1) ++starts;
            // Nothing crosses the bottom of a page unless a page holds a single row.
            if (pageHeight > 10) QVERIFY(op.y + 1 <= pageHeight);
        }
        // Each further page starts with the column headings at the top.
        if (page > 1 && op.kind == PrintOp::Kind::Text && op.x == 6) QCOMPARE(op.y, 3.0);
    }
    QCOMPARE(rowsPrinted, kSheetRowCount);
    if (pages == 1) QCOMPARE(starts, rowsOnFirstPage);
}

void TstElapsedPrintout::realPdf() {
    ElapsedSheet s;
    s.totalText = u"47:45"_s;
    s.row(1) = {u"08:30"_s, u"17:15"_s, u"08:45"_s, 525};
    s.row(2) = {u"09:00"_s, u"24:00"_s, u"15:00"_s, 900};
    s.row(70) = {u"00:00"_s, u"24:00"_s, u"24:00"_s, 1440};
    QtPrinter printer;
    const double height = printer.pageHeightInCells({kElapsedPrintFamily, kElapsedPrintPoints});
    const PrintDocument doc = elapsedSheetPrintout(s, QStringLiteral("2010/11/08"), height);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    QCOMPARE(printer.printToPdf(path, QStringLiteral("時間経過計算"), doc).status,
             PrintOutcome::Status::Printed);
    const QString text = pdfText(path);
    if (text.isEmpty()) QSKIP("pdftotext is not installed");
    const QStringList pages = text.split(QChar(u'\f'), Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), pageCount(doc));
    QVERIFY(pages.size() >= 2); // 75 lines below a three-line margin do not fit A4 at 10 pt
    QVERIFY(pages[0].contains(QStringLiteral("経過時間")));
    QVERIFY(pages[0].contains(QStringLiteral("2010/11/08")));
    QVERIFY(pages[0].contains(QStringLiteral("合計：47:45")));
    QVERIFY(pages[0].contains(QRegularExpression(QStringLiteral("08:30\\s+17:15\\s+08:45"))));
    QVERIFY(pages[0].contains(QRegularExpression(QStringLiteral("09:00\\s+24:00\\s+15:00"))));
    QVERIFY(pages.last().contains(QStringLiteral("開始時間")));
    QVERIFY(pages.last().contains(QRegularExpression(QStringLiteral("00:00\\s+24:00\\s+24:00"))));
}

QTEST_MAIN(TstElapsedPrintout)
#include "tst_elapsed_printout.moc"
