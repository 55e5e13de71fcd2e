// SPDX-License-Identifier: MIT
#pragma once

#include "app/app_state.h"
#include "app/window_manager.h"
#include "tests/support/test_platform.h"

#include <QPalette>
#include <QTemporaryDir>
#include <QTimer>

class QLineEdit;

namespace qz {

// The program as a window suite drives it: a test platform, a temporary program folder, the
// application state and a window manager. Every window is a blank stand-in until the suite
// registers the real one it tests; ending the program only counts.
class WindowFixture {
  public:
    // programFolder: where the settings files live; a fresh temporary folder when empty.
    explicit WindowFixture(const QString& programFolder = QString());
    Q_DISABLE_COPY_MOVE(WindowFixture)

    template <class W> void registerWindow(WindowId id) {
        wm.registerWindow(id, [](AppContext& c) { return new W(c); });
    }
    // Opens a window the way the program's start opens the launcher: nothing to leave.
    template <class W> W* open(WindowId id) { return static_cast<W*>(wm.switchTo(id, nullptr)); }

    TestPlatform tp;
    QTemporaryDir dir;
    AppState state;
    int quits = 0;
    WindowManager wm;
};

// The control with this objectName; the test stops at once when there is none.
template <class T = QWidget> T* control(const QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("no control %s", name);
    return found;
}

// Clicks into a text box unless it has the focus already (so its focus step runs), types over
// what it holds and presses Enter.
void clickTypeAndEnter(QLineEdit* box, const QString& text);

// A control's colour in that role as a &H00BBGGRR value, the way look/colors.h names colours.
quint32 colourOf(const QWidget* w, QPalette::ColorRole role);

// Runs what a timer's timeout runs, at once and without waiting for it.
inline void fire(QTimer* timer) {
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
}

} // namespace qz
