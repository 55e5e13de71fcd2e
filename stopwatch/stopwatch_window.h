// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"
#include "stopwatch/stopwatch.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <array>

class QToolBar;

namespace qz {

class ClockTicker;

// The stopwatch window: the time of day, and a stopwatch in a compact or a big view.
class StopwatchWindow : public QzWindow {
    Q_OBJECT
  public:
    explicit StopwatchWindow(AppContext& ctx);
    Q_DISABLE_COPY_MOVE(StopwatchWindow)

    void onActivated() override;

    // The window's controls by what they are for.
    enum Role {
        ClockCaption,
        Clock,
        ElapsedCaption,
        Elapsed,
        ViewFrame,
        NormalView,
        BigView,
        Start,
        Pause,
        Continue,
        Clear,
        Menu,
        Exit,
        BigPanel,
        BigElapsed,
        RoleCount
    };
    QWidget* control(Role r) const { return m_controls[r]; }
    QLabel* clockCaption() const { return as<QLabel>(ClockCaption); }
    QLabel* clockLabel() const { return as<QLabel>(Clock); }
    QLabel* elapsedCaption() const { return as<QLabel>(ElapsedCaption); }
    QLabel* elapsedLabel() const { return as<QLabel>(Elapsed); }
    QGroupBox* viewFrame() const { return as<QGroupBox>(ViewFrame); }
    QRadioButton* normalViewOption() const { return as<QRadioButton>(NormalView); }
    QRadioButton* bigViewOption() const { return as<QRadioButton>(BigView); }
    QPushButton* startButton() const { return as<QPushButton>(Start); }
    QPushButton* pauseButton() const { return as<QPushButton>(Pause); }
    QPushButton* continueButton() const { return as<QPushButton>(Continue); } // "CONT"
    QPushButton* clearButton() const { return as<QPushButton>(Clear); }
    QPushButton* menuButton() const { return as<QPushButton>(Menu); }
    QPushButton* exitButton() const { return as<QPushButton>(Exit); }
    QWidget* bigPanel() const { return m_controls[BigPanel]; }
    QLabel* bigElapsedLabel() const { return as<QLabel>(BigElapsed); }

  private:
    template <class T> T* as(Role r) const { return static_cast<T*>(m_controls[r]); }

    void onClockTick();
    void onRunTick();
    void onStartClicked();
    void onPauseClicked();
    void onContinueClicked();
    void onClearClicked();
    void onMenuClicked();
    void onExitClicked();
    void showNormalView();
    void showBigView();

    std::array<QWidget*, RoleCount> m_controls{};
    ClockTicker* m_clockTicker = nullptr;
    ClockTicker* m_runTicker = nullptr;
    QToolBar* m_toolbar = nullptr;

    QDateTime now() const;
    // Shows the stopwatch's value in both displays at once.
    void showElapsed();
    void fitBigDisplay();

    Stopwatch m_watch;
};

} // namespace qz
