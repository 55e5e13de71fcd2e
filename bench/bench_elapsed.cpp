// SPDX-License-Identifier: MIT
// How long the elapsed-time calculator takes to appear from the launcher, and to load a sheet
// file with all 70 rows filled, printed as figures. Run through bench/run.sh under Xvfb.
#include "app/launcher_window.h"
#include "calc_elapsed/elapsed_time_window.h"
#include "calc_elapsed/tmk_file.h"
#include "tests/support/test_platform.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"
#include "ui/platform.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace qz;

namespace {

void report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %.1f ms, max %.1f ms (%zu runs)\n", what, ms[ms.size() / 2],
                ms.back(), ms.size());
}

QByteArray fullSheetFile() {
    ElapsedSheet s;
    for (int r = 1; r <= kSheetRowCount; ++r) {
        SheetRow& row = s.row(r);
        row.startText = QStringLiteral("%1:15").arg(r % 12, 2, 10, QLatin1Char('0'));
        row.endText = QStringLiteral("%1:45").arg(12 + r % 12, 2, 10, QLatin1Char('0'));
        storeElapsed(row, computeElapsed(row.startText, *row.endText));
    }
    recalculateTotal(s);
    s.sheetTitle = QStringLiteral("七十行の表");
    s.sheetDate = QStringLiteral("2010/11/08");
    return *tmkFileBytes(s).bytes;
}

} // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    QApplication app(argc, argv);
    installApplicationFont();
    QTemporaryDir dir;
    AppState state(dir.path());
    // Scripted dialogs answer at once; everything else behaves as in the program.
    TestPlatform tp;
    WindowManager wm(state, tp.platform());
    wm.registerWindow(WindowId::Launcher, [](AppContext& c) { return new LauncherWindow(c); });
    wm.registerWindow(WindowId::CalcElapsed,
                      [](AppContext& c) { return new ElapsedTimeWindow(c); });

    const QString file = dir.filePath(QStringLiteral("FULL.TMK"));
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(fullSheetFile());
    }

    std::vector<double> shown;
    std::vector<double> loaded;
    QzWindow* menu = wm.switchTo(WindowId::Launcher, nullptr);
    if (!QTest::qWaitForWindowExposed(menu)) return 1;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        menu->findChild<QPushButton*>(QStringLiteral("Command5"))->click();
        QzWindow* w = wm.current();
        // Shown means drawn once completely: the window's first paint is forced here.
        QCoreApplication::processEvents();
        w->repaint();
        shown.push_back(t.nsecsElapsed() / 1e6);
        if (!QTest::qWaitForWindowExposed(w)) return 1;

        tp.files.answers = {file};
        t.restart();
        w->findChild<QAction*>(QStringLiteral("M11"))->trigger();
        w->repaint();
        loaded.push_back(t.nsecsElapsed() / 1e6);
        if (!tp.messages.shown.isEmpty()) {
            std::printf("load failed: %s\n", qPrintable(tp.messages.lastText()));
            return 1;
        }

        w->findChild<QPushButton*>(QStringLiteral("Command5"))->click();
        menu = wm.current();
        if (!QTest::qWaitForWindowExposed(menu)) return 1;
    }
    report("launcher -> KEIKA shown", shown);
    report("70-row sheet file loaded and drawn", loaded);
    return 0;
}
