// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"

#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;

namespace qz {

class ClickLabel;
class ClockTicker;

// The launcher: the live clock and the way into every tool.
class LauncherWindow : public QzWindow {
    Q_OBJECT
  public:
    explicit LauncherWindow(AppContext& ctx);
    Q_DISABLE_COPY_MOVE(LauncherWindow)

    void onActivated() override;

    // Shows the version box modally; a test puts something that does not block in its place.
    void setVersionBoxPresenter(std::function<void(QWidget* owner)> present) {
        m_presentVersionBox = std::move(present);
    }

  private:
    void onClockTick();
    void startCalculator() { windows().startCalculator(this); }
    void openHelp() { windows().openHelp(this); }
    void showVersionBox();
    void open(WindowId id) { windows().switchTo(id, this); }
    void exitProgram() { windows().exitProgram(this); }

    QGroupBox* m_clockFrame = nullptr;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_dateLabel = nullptr;
    QLabel* m_weekdayLabel = nullptr;
    ClickLabel* m_bigClockPicture = nullptr;
    QGroupBox* m_toolsFrame = nullptr;
    QPushButton* m_exitButton = nullptr;
    ClockTicker* m_clockTicker = nullptr;
    std::function<void(QWidget* owner)> m_presentVersionBox;
};

} // namespace qz
