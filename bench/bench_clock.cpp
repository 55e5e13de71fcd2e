// SPDX-License-Identifier: MIT
// Start-up time, memory, idle cost and clock-label lag of the launcher (and of a running
// stopwatch), printed as figures. Run through bench/run.sh under Xvfb.
#include "app/launcher_window.h"
#include "stopwatch/stopwatch_window.h"
#include "ui/clock.h"
#include "ui/clock_ticker.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

using namespace qz;

namespace {

long long epochMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

struct Usage {
    double cpuSeconds;
    long contextSwitches;
    long maxRssKb;
};

Usage usage() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const double cpu =
        u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    // Voluntary switches: the times the process went to sleep and was woken again.
    return {cpu, u.ru_nvcsw, u.ru_maxrss};
}

// Lag of a display behind the system clock's second change: how far into the new second the
// ticker's handler ran, sampled on every tick for `seconds`.
void idleFor(const char* what, QObject* ticker, int seconds) {
    std::vector<int> lags;
    QObject::connect(static_cast<ClockTicker*>(ticker), &ClockTicker::timeout, ticker,
                     [&] { lags.push_back(QTime::currentTime().msec()); });
    const Usage before = usage();
    QElapsedTimer wall;
    wall.start();
    // A plain event loop: QTest::qWait polls every few milliseconds and would be measured.
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const Usage after = usage();
    const double elapsed = wall.elapsed() / 1000.0;
    // The first sample is the immediate tick on connection, not a second change.
    if (!lags.empty() && lags.size() > size_t(seconds)) lags.erase(lags.begin());
    std::sort(lags.begin(), lags.end());
    const int median = lags.empty() ? -1 : lags[lags.size() / 2];
    const int worst = lags.empty() ? -1 : lags.back();
    std::printf("%-22s cpu %.3f %%   wake-ups %.2f /s   label lag median %d ms, max %d ms "
                "(%zu ticks)\n",
                what, 100.0 * (after.cpuSeconds - before.cpuSeconds) / elapsed,
                (after.contextSwitches - before.contextSwitches) / elapsed, median, worst,
                lags.size());
}

} // namespace

int main(int argc, char* argv[]) {
    const long long launched = argc > 1 ? std::atoll(argv[1]) : 0; // µs since the epoch
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
    QApplication app(argc, argv);
    installApplicationFont();
    QTemporaryDir dir;
    AppState state(dir.path());
    RealPlatform real(dir.path());
    WindowManager wm(state, real.platform());
    wm.registerWindow(WindowId::Launcher, [](AppContext& c) { return new LauncherWindow(c); });
    wm.registerWindow(WindowId::Stopwatch, [](AppContext& c) { return new StopwatchWindow(c); });

    QzWindow* menu = wm.switchTo(WindowId::Launcher, nullptr);
    if (!QTest::qWaitForWindowExposed(menu)) return 1;
    const long long shown = epochMicros();
    if (launched > 0)
        std::printf("launcher shown         %.1f ms after the process was started\n",
                    (shown - launched) / 1000.0);
    std::printf("peak memory at start   %.1f MB\n", usage().maxRssKb / 1024.0);

    idleFor("launcher idle", menu->findChild<ClockTicker*>(QStringLiteral("Timer1")), seconds);

    QzWindow* sw = wm.switchTo(WindowId::Stopwatch, menu);
    if (!QTest::qWaitForWindowExposed(sw)) return 1;
    sw->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    idleFor("stopwatch running", sw->findChild<ClockTicker*>(QStringLiteral("Timer2")), seconds);
    std::printf("peak memory            %.1f MB\n", usage().maxRssKb / 1024.0);
    return 0;
}
