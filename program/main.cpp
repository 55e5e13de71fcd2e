// SPDX-License-Identifier: MIT
#include "about/version_box.h"
#include "app/after_first_paint.h"
#include "app/command_line.h"
#include "app/launcher_window.h"
#include "app/settings_location.h"
#include "app/single_instance.h"
#include "app/window_manager.h"
#include "calc_add/time_addition_window.h"
#include "calc_elapsed/elapsed_time_window.h"
#include "countdown/countdown_window.h"
#include "files/file_io.h"
#include "look/app_picture.h"
#include "look/focus_style.h"
#include "sound/sound_settings_window.h"
#include "stopwatch/stopwatch_window.h"
#include "timer/big_clock_window.h"
#include "timer/notification_timer_window.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"
#include "ui/start_up_warm_up.h"
#include "ui/startup_completion.h"
#include "ui/translations.h"

#include <QApplication>
#include <QDir>
#include <QScopeGuard>
#include <cstdio>

using namespace qz;

static void print(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int main(int argc, char* argv[]) {
    // --help and --version answer before any window system is needed.
    const bool japanese = userPrefersJapanese();
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments.append(QString::fromLocal8Bit(argv[i]));
    if (const CommandLine early = parseCommandLine(rawArguments, japanese);
        early.action == CommandLine::Action::ShowHelp ||
        early.action == CommandLine::Action::ShowVersion) {
        print(stdout, early.output);
        return 0;
    }

    FontWarmUp fontWarmUp;
    // Qt's X11 support takes the startup notification ID out of the environment while it
    // connects; a start that hands over passes it on, and the program ends the notice.
    const QString startupId = qEnvironmentVariable("DESKTOP_STARTUP_ID");
    QApplication app(argc, argv);
    // However main ends, the warm-up ends before the application object.
    const auto endFontWarmUp = qScopeGuard([&fontWarmUp] { fontWarmUp.finish(); });
    QApplication::setApplicationName(QStringLiteral("qztimer"));
    QGuiApplication::setDesktopFileName(QStringLiteral(QZ_APP_ID));
    // Qt has taken its own options (-platform, -display, ...) off the line by now.
    const CommandLine commandLine = parseCommandLine(QApplication::arguments(), japanese);
    if (commandLine.action == CommandLine::Action::Fail) {
        print(stderr, commandLine.output);
        return 2;
    }

    SingleInstance instance(SingleInstance::sessionServerName());
    if (!commandLine.newInstance) {
        QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
        qunsetenv("XDG_ACTIVATION_TOKEN");
        if (instance.start({token, startupId}) == SingleInstance::Role::Secondary) return 0;
    }

    fontWarmUp.fillFontDatabase();
    const SessionBusWarmUp sessionBusWarmUp;

    // What needs no font comes first, while the other thread fills the font database.
    installFocusMarks();
    installQtTranslations();

    const QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    AppState state(folder);
    const SettingsFolders folders = runningProgramFolders(folder);
    // A save in place that a crash cut short is undone before any file is read.
    setInPlaceJournalFolder(inPlaceJournalFolderOf(folders));
    recoverInterruptedWrites();
    const SettingsLocation settings = chooseSettingsLocation(folders);
    if (settings.place == SettingsPlace::MemoryOnly)
        state.keepSettingsInMemory();
    else
        state.setSettingsFolder(settings.folder);
    RealPlatform real(QCoreApplication::applicationDirPath() + QStringLiteral("/help"));
    WindowManager windows(state, real.platform());

    windows.registerWindow(WindowId::Launcher, [](AppContext& c) { return new LauncherWindow(c); });
    windows.registerWindow(WindowId::Timer,
                           [](AppContext& c) { return new NotificationTimerWindow(c); });
    windows.registerWindow(WindowId::Countdown,
                           [](AppContext& c) { return new CountdownWindow(c); });
    windows.registerWindow(WindowId::Stopwatch,
                           [](AppContext& c) { return new StopwatchWindow(c); });
    windows.registerWindow(WindowId::SoundSettings,
                           [](AppContext& c) { return new SoundSettingsWindow(c); });
    windows.registerWindow(WindowId::BigClock, [](AppContext& c) { return new BigClockWindow(c); });
    windows.registerWindow(WindowId::CalcAdd,
                           [](AppContext& c) { return new TimeAdditionWindow(c); });
    windows.registerWindow(WindowId::CalcElapsed,
                           [](AppContext& c) { return new ElapsedTimeWindow(c); });

    // A later start of the program brings the window in use forward instead.
    QObject::connect(&instance, &SingleInstance::activationRequested, &app,
                     [&windows, &real](const QString& token, const QString& startupId) {
                         if (!token.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
                         QWidget* target = QApplication::activeModalWidget();
                         if (!target) target = windows.current();
                         completeHandedOverStartup(target, startupId);
                         if (target) real.platform().windows->restoreAndRaise(target);
                     });

    fontWarmUp.finish();
    installApplicationFont();
    QzWindow* launcher = windows.showFirst(WindowId::Launcher);
    // The program's own picture, drawn: the installed theme icons are made from the same
    // picture, and looking them up in the icon theme costs more than the whole launcher. The
    // window manager takes the icon as well once the launcher is up, so drawing its five sizes
    // does not hold the launcher back.
    runAfterFirstPaint(launcher, [] {
        QIcon icon;
        for (int side : {16, 32, 48, 64, 128})
            icon.addPixmap(QPixmap::fromImage(alarmClockImage(side, 1.0)));
        QApplication::setWindowIcon(icon);
    });
    // Over the launcher once it is on the screen, not in place of its first frame.
    if (!settings.message.isEmpty())
        runAfterFirstPaint(launcher, [&windows, &real, &settings] {
            real.platform().messages->exclamation(windows.current(), settings.message,
                                                  QStringLiteral("ＱＺタイマー"));
        });
    return app.exec();
}
