// SPDX-License-Identifier: MIT
// The time-addition calculator's speed: launcher to calculator shown, opening a full worksheet
// file, and printing two pages to PDF. Run through bench/run.sh under Xvfb.
#include "app/launcher_window.h"
#include "calc_add/addition_printout.h"
#include "calc_add/tim_file.h"
#include "calc_add/time_addition_window.h"
#include "files/file_io.h"
#include "tests/support/test_services.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"
#include "ui/printing/printing.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace qz;

namespace {

struct Figures {
    std::vector<double> ms;
    void add(const QElapsedTimer& t) { ms.push_back(t.nsecsElapsed() / 1e6); }
    void print(const char* what) {
        std::sort(ms.begin(), ms.end());
        std::printf("%-34s median %7.1f ms   max %7.1f ms   (%zu runs)\n", what, ms[ms.size() / 2],
                    ms.back(), ms.size());
    }
};

AdditionSheet fullWorksheet() {
    AdditionSheet s;
    chooseRoundingMode(s, RoundingMode::QuarterUp);
    for (int i = 1; i <= kLineCount; ++i)
        pressEnter(s, QStringLiteral("%1.%2*1.5").arg(i % 13).arg(i % 60));
    return s;
}

} // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    QApplication app(argc, argv);
    installApplicationFont();
    QTemporaryDir dir;
    AppState state(dir.path());
    RealPlatform real(dir.path());
    // The real platform, with a file dialog that answers at once.
    ScriptedFileDialogs files;
    Platform platform = real.platform();
    platform.files = &files;
    WindowManager wm(state, platform);
    wm.registerWindow(WindowId::Launcher, [](AppContext& c) { return new LauncherWindow(c); });
    wm.registerWindow(WindowId::CalcAdd, [](AppContext& c) { return new TimeAdditionWindow(c); });

    const QString path = dir.filePath(QStringLiteral("full.TIM"));
    const AdditionSheet full = fullWorksheet();
    if (!writeFileAtomically(path, *timFileBytes(full).bytes)) return 1;

    Figures shown;
    Figures opened;
    QzWindow* w = wm.switchTo(WindowId::Launcher, nullptr);
    if (!QTest::qWaitForWindowExposed(w)) return 1;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        w = wm.switchTo(WindowId::CalcAdd, w);
        if (!QTest::qWaitForWindowExposed(w)) return 1;
        shown.add(t);

        files.answers = {path};
        t.restart();
        w->findChild<QAction*>(QStringLiteral("M11"))->trigger();
        // Until the loaded grid has been painted.
        w->findChild<QTableWidget*>(QStringLiteral("G1"))->viewport()->repaint();
        opened.add(t);
        if (w->findChild<QTableWidget*>(QStringLiteral("G1"))->item(99, 1)->text().isEmpty())
            return 1;

        w = wm.switchTo(WindowId::Launcher, w);
        if (!QTest::qWaitForWindowExposed(w)) return 1;
        QCoreApplication::processEvents();
    }
    shown.print("launcher -> calculator shown");
    opened.print("open a 100-line worksheet file");

    Figures printed;
    QtPrinter printer;
    for (int i = 0; i < std::max(3, runs / 3); ++i) {
        QElapsedTimer t;
        t.start();
        const PrintDocument doc = additionSheetPrintout(full);
        const PrintOutcome out = printer.printToPdf(dir.filePath(QStringLiteral("sheet.pdf")),
                                                    QStringLiteral("時間計算"), doc);
        printed.add(t);
        if (out.status != PrintOutcome::Status::Printed || pageCount(doc) != 2) return 1;
    }
    printed.print("print two pages to PDF");
    return 0;
}
