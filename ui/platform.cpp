// SPDX-License-Identifier: MIT
#include "platform.h"

#include "clock.h"
#include "dbus_notifier.h"
#include "dialogs.h"
#include "help_window.h"
#include "ui/audio_output/sound_player_factory.h"
#include "ui/printing/printing.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>

namespace qz {

bool ProcessCalculatorStarter::start(const QString& programFolder) {
    const QString own = QDir(programFolder).filePath(QStringLiteral("QZCALC.EXE"));
    if (QFileInfo(own).isFile() && QProcess::startDetached(own, {}, programFolder)) return true;
    // Otherwise whatever calculator the desktop offers.
    static const char* const desktopCalculators[] = {
#ifdef Q_OS_WIN
        "calc.exe",
#endif
        "gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk",
        "xfce4-calculator", "xcalc"};
    for (const char* name : desktopCalculators) {
        const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!exe.isEmpty() && QProcess::startDetached(exe, {})) return true;
    }
    return false;
}

void QtWindowControl::restoreAndRaise(QWidget* w) {
    if (w->isMinimized()) w->showNormal();
    w->raise();
    w->activateWindow();
}

void QtWindowControl::minimize(QWidget* w) {
    w->showMinimized();
}

struct RealPlatform::Parts {
    SystemClock clock;
    QtSoundPlayerFactory sounds;
    QtMessageBoxes messages;
    QtFileDialogs files;
    ProcessCalculatorStarter calculator;
    HtmlHelpViewer help;
    QtWindowControl windows;
    QtPrinter printer;
    DBusNotifier notifier;
    explicit Parts(const QString& helpFolder) : help(helpFolder) {}
};

RealPlatform::RealPlatform(const QString& helpFolder)
    : m_parts(std::make_unique<Parts>(helpFolder)) {
    m_platform = {&m_parts->clock,   &m_parts->sounds,     &m_parts->messages,
                  &m_parts->files,   &m_parts->calculator, &m_parts->help,
                  &m_parts->windows, &m_parts->printer,    &m_parts->notifier};
}

RealPlatform::~RealPlatform() = default;

} // namespace qz
