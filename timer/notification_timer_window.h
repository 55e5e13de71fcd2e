// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"
#include "timer/alarm_engine.h"
#include "ui/desktop_notifier.h"

#include <array>
#include <memory>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QWidget;

namespace qz {

class ClickLabel;
class ClockTicker;
class SoundPlayer;

// The notification timer: ten alarm rows, each armed with a clock time, that ring with their
// own sound source, blink and bring the window to the front.
class NotificationTimerWindow : public QzWindow {
    Q_OBJECT
  public:
    explicit NotificationTimerWindow(AppContext& ctx);
    ~NotificationTimerWindow() override;
    Q_DISABLE_COPY_MOVE(NotificationTimerWindow)

    void onActivated() override;

    // The window's controls outside the rows, by what they are for.
    enum Role {
        ClockCaption,
        Clock,
        RingSpanCaption,
        RingSpan,
        Minimize,
        ClearAll,
        Wide,
        Narrow,
        TimeHeading,
        Hints,
        Hint1,
        Hint2,
        Menu,
        Exit,
        BigPanel,
        BigTime,
        BigDate,
        BigWeekday,
        RoleCount
    };

    // The alarm rows as the window last mirrored them.
    const AlarmEngine& engine() const { return m_engine; }

    // Row k's controls (k from 1 to 10).
    ClickLabel* rowNumber(int k) const { return rowAt(k).number; } // "１".."10"
    ClickLabel* soundName(int k) const { return rowAt(k).source; }
    ClickLabel* timeDisplay(int k) const { return rowAt(k).display; } // holds the time box
    QLineEdit* timeBox(int k) const { return rowAt(k).timeBox; }
    QLineEdit* memoBox(int k) const { return rowAt(k).memo; }
    QFrame* lamp(int k) const { return rowAt(k).lamp; }
    QPushButton* stopButton(int k) const { return rowAt(k).stop; }
    QPushButton* clearButton(int k) const { return rowAt(k).clear; }
    // The window's other controls.
    QLabel* clockLabel() const;
    QLabel* ringSpanLabel() const;
    QPushButton* minimizeButton() const;
    QPushButton* clearAllButton() const;
    QPushButton* wideButton() const;   // "大きい表示"
    QPushButton* narrowButton() const; // "小さい表示", in the same place
    QPushButton* menuButton() const;
    QPushButton* exitButton() const;
    QLabel* timeHeading() const; // above the time boxes
    QWidget* hintsFrame() const;
    QLabel* hintLine(int i) const; // the frame's lines, from 1
    QWidget* bigPanel() const;
    QLabel* bigTimeLabel() const;
    QLabel* bigDateLabel() const;
    QLabel* bigWeekdayLabel() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // The controls and timers of row k (1 to 10).
    struct Row {
        ClickLabel* number = nullptr;  // "１".."10"; a click plays the row's sound
        ClickLabel* source = nullptr;  // the sound source's name; a click plays it too
        ClickLabel* display = nullptr; // the armed time, holds the time box
        QLineEdit* timeBox = nullptr;
        QLineEdit* memo = nullptr;
        QFrame* lamp = nullptr;
        QPushButton* stop = nullptr;  // "停止"
        QPushButton* clear = nullptr; // "クリア"
    };

    void buildRows(QWidget* client);
    void buildMenus();
    Row& row(int k) { return m_rows[size_t(k - 1)]; }
    const Row& rowAt(int k) const { return m_rows[size_t(k - 1)]; }
    void applyRow(int k);
    void focusTimeBox(int k);
    void moveToTimeBox(int from, int step);
    void setWide(bool wide);
    void leaveWindow(WindowId target);
    QString sourcePath(int k) const;
    // The "停止" of the row that rang last and still rings, else of the first ringing row.
    QPushButton* ringingStop() const;

    // Keys in a row's boxes; true when the key was used.
    bool timeBoxKey(int k, int key);
    bool memoKey(int k, int key);
    void onTimeBoxFocused(int k);
    void onTimeEntered(int k);
    void onNumberClicked(int k);
    void onDisplayClicked(int k);
    void onStopClicked(int k);
    void onClearClicked(int k);
    void onAlarmTick();
    void onRowDue(int k, bool first);
    void onClockTick();
    void onBigClockTick();
    void onClearAllClicked();
    void onMenuClicked();
    void onMinimizeClicked();
    void onRingSpanChosen(int seconds);

    AlarmEngine m_engine;
    std::array<Row, kAlarmRows> m_rows{};
    std::array<RingNotice, kAlarmRows> m_notices;
    std::unique_ptr<SoundPlayer> m_player;
    bool m_focusStepRan = false;
    int m_lastFired = 0;
    bool m_leftForOwnWindow = false;

    std::array<QWidget*, RoleCount> m_controls{};
    // Moves the alarm rows on while any waits or rings.
    QTimer* m_alarmTimer = nullptr;
    ClockTicker* m_clockTicker = nullptr;
    ClockTicker* m_bigClockTicker = nullptr;
};

} // namespace qz
