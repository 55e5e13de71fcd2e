// SPDX-License-Identifier: MIT
#include "calc_add/addition_printout.h"
#include "ui/printing/printing.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace qz;

namespace {

QString pdfText(const QString& path, const QStringList& extra = {}) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) return {};
    QProcess p;
    p.start(tool, QStringList{QStringLiteral("-enc"), QStringLiteral("UTF-8")} + extra +
                      QStringList{path, QStringLiteral("-")});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

// The worksheet's printout drawn by the real renderer into a PDF and read back.
class TstAdditionPrintout : public QObject {
    Q_OBJECT
  private slots:
    void fullWorksheetFitsTwoPages();
};

void TstAdditionPrintout::fullWorksheetFitsTwoPages() {
    AdditionSheet s;
    chooseRoundingMode(s, RoundingMode::QuarterUp);
    for (int i = 1; i <= 100; ++i)
        pressEnter(s, i == 100 ? QStringLiteral("2.15*3") : QStringLiteral("0.10"));
    const PrintDocument doc = additionSheetPrintout(s);

    // Every row, the last one included, lies inside the printable height.
    QtPrinter printer;
    const double pageCells = printer.pageHeightInCells({QStringLiteral("ＭＳ ゴシック"), 10});
    QVERIFY2(6 + 1.2 * 50 + 1 <= pageCells, qPrintable(QString::number(pageCells)));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    QCOMPARE(printer.printToPdf(path, QStringLiteral("時間計算"), doc).status,
             PrintOutcome::Status::Printed);
    const QString text = pdfText(path, {QStringLiteral("-layout")});
    if (text.isEmpty()) QSKIP("pdftotext is not installed");
    const QStringList pages = text.split(QChar(u'\f'), Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 2);
    QVERIFY(pages[0].contains(QStringLiteral("P: 1/2")));
    QVERIFY(pages[1].contains(QStringLiteral("P: 2/2")));
    QVERIFY(pages[0].contains(QStringLiteral("15分/切上")));
    // Line 100 with its entry and its four texts on one printed row.
    const QRegularExpression lastRow(
        QStringLiteral("100\\s+2\\.15\\*3\\s+06:45\\s+23:15\\s+06:45\\s+31:30"));
    QVERIFY2(pages[1].contains(lastRow), qPrintable(pages[1].right(400)));
    QVERIFY(!pages[0].contains(QStringLiteral("\n 51 ")));
}

QTEST_MAIN(TstAdditionPrintout)
#include "tst_addition_printout.moc"
