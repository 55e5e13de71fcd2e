#include "about/ver_window.h"
#include "app/menu_window.h"
#include "app/window_manager.h"
#include "countdown/tm2_window.h"
#include "sound/ongen_window.h"
#include "stopwatch/stopw_window.h"
#include "timer/big_window.h"
#include "timer/tm1_window.h"
#include "ui/look.h"

#include <QApplication>
#include <QDir>

using namespace qz;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qztimer"));
    installApplicationFont();
    installFocusMarks();
    installQtTranslations();

    const QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    AppState state(folder);
    RealPlatform real(QCoreApplication::applicationDirPath() + QStringLiteral("/help"));
    WindowManager windows(state, real.platform());

    windows.registerWindow(WindowId::Menu, [](AppContext& c) { return new MENU(c); });
    windows.registerWindow(WindowId::Timer, [](AppContext& c) { return new TM1(c); });
    windows.registerWindow(WindowId::Countdown, [](AppContext& c) { return new TM2(c); });
    windows.registerWindow(WindowId::Stopwatch, [](AppContext& c) { return new STOPW(c); });
    windows.registerWindow(WindowId::SoundSettings, [](AppContext& c) { return new ONGEN(c); });
    windows.registerWindow(WindowId::BigClock, [](AppContext& c) { return new BIG(c); });
    windows.registerWindow(WindowId::CalcAdd, [](AppContext& c) {
        return new ShellWindow(c, WindowId::CalcAdd, QStringLiteral("TMK"),
                               QStringLiteral("時間加算計算"));
    });
    windows.registerWindow(WindowId::CalcElapsed, [](AppContext& c) {
        return new ShellWindow(c, WindowId::CalcElapsed, QStringLiteral("KEIKA"),
                               QStringLiteral("時間経過計算"));
    });

    windows.switchTo(WindowId::Menu, nullptr);
    return app.exec();
}
