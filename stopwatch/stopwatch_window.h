// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"
#include "stopwatch/stopwatch.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
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

  private:
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

    QLabel* m_clockLabel = nullptr;
    QLabel* m_elapsedLabel = nullptr;
    QLabel* m_clockCaption = nullptr;
    QLabel* m_elapsedCaption = nullptr;
    QWidget* m_bigPanel = nullptr;
    QLabel* m_bigElapsedLabel = nullptr;
    QPushButton* m_startButton = nullptr;
    QPushButton* m_pauseButton = nullptr;
    QPushButton* m_continueButton = nullptr;
    QPushButton* m_clearButton = nullptr;
    QPushButton* m_menuButton = nullptr;
    QPushButton* m_exitButton = nullptr;
    QGroupBox* m_viewFrame = nullptr;
    QRadioButton* m_normalViewOption = nullptr;
    QRadioButton* m_bigViewOption = nullptr;
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
