// SPDX-License-Identifier: MIT
#pragma once

#include "app/app_state.h"
#include "ui/platform.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <span>

class QMenu;

namespace qz {

enum class WindowId {
    Launcher,
    Timer, // notification timer
    Countdown,
    Stopwatch,
    CalcAdd,     // time-addition calculator
    CalcElapsed, // elapsed-time calculator
    SoundSettings,
    BigClock,
};

class WindowManager;
class QzWindow;

// One item of a ring-duration menu.
struct RingSpanItem {
    const char* objectName;
    int seconds;
    const char16_t* menuText;
    const char16_t* shown; // the window's duration box
};

// What every window is handed at creation.
struct AppContext {
    AppState& state;
    Platform& platform;
    WindowManager& windows;
};

// Exactly one of the program's windows exists at a time; moving between them goes through here.
class WindowManager {
  public:
    using Factory = std::function<QzWindow*(AppContext&)>;

    WindowManager(AppState& state, Platform& platform, std::function<void()> quit = {});
    ~WindowManager();
    Q_DISABLE_COPY_MOVE(WindowManager)

    void registerWindow(WindowId id, Factory factory);
    bool hasWindow(WindowId id) const { return m_factories.count(id) > 0; }

    // Creates and shows the target, lets it become active, then destroys `from`.
    QzWindow* switchTo(WindowId target, QzWindow* from);
    // The program's first window. Its activation step reads the settings files (a first start
    // writes the defaults), which can wait for the disk: it runs once the window has been
    // painted, so that the first frame does not wait with it.
    QzWindow* showFirst(WindowId target);
    QzWindow* current() const { return m_current; }

    void openHelp(QWidget* owner);
    // Closes the help windows when help was opened, then ends the program at once.
    void exitProgram(QWidget* owner);
    // Starts the calculator; says so in a message box when none could be started.
    void startCalculator(QWidget* owner);

    AppContext& context() { return m_context; }
    bool exiting() const { return m_exiting; }

  private:
    QzWindow* show(WindowId target, QzWindow* from, bool activateAfterFirstPaint);

    // The first window while its activation step waits for its first paint. Shared with that
    // wait, which may end after the manager.
    std::shared_ptr<QPointer<QzWindow>> m_activationPending;

    AppContext m_context;
    std::function<void()> m_quit;
    std::map<WindowId, Factory> m_factories;
    QPointer<QzWindow> m_current;
    bool m_exiting = false;
};

// Base of the one-at-a-time windows. Construction is the window's load step; onActivated()
// runs when the window becomes active: when first shown, and again when it gets the focus
// back from another window of the program's own (the version box), never after a message
// box, a file dialog, the help window or another program.
class QzWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit QzWindow(AppContext& ctx, WindowId id);
    Q_DISABLE_COPY_MOVE(QzWindow)
    WindowId windowId() const { return m_id; }
    virtual void onActivated() {}

    // Set by the window manager before it destroys the window on a switch.
    void markLeaving() { m_leaving = true; }

  protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    // Enter presses the focused button, as Space does.
    void keyPressEvent(QKeyEvent* e) override;
    // Esc, wherever the focus stands: a window with a question open answers it as its cancel
    // button does and returns true.
    virtual bool onEscapePressed() { return false; }

    // Adds a ring-duration submenu with one checkable item each. The item for `seconds` is
    // checked, the first one for 0. A choice checks only its item, calls `chosen`, then writes
    // the four durations and, when the file cannot take them, says so in the one message every
    // window shares; the choice stays in force for this run either way.
    QMenu* addRingSpanMenu(QMenu* parent, const QString& title, const char* objectName,
                           std::span<const RingSpanItem> items, int seconds,
                           std::function<void(const RingSpanItem&)> chosen);

    // The program's shared services; a const window still uses them.
    AppState& state() const { return m_ctx.state; }
    Platform& platform() const { return m_ctx.platform; }
    WindowManager& windows() const { return m_ctx.windows; }

  private:
    AppContext& m_ctx;
    WindowId m_id;
    bool m_leaving = false;
};

} // namespace qz
