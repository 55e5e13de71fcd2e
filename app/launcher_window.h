// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"
#include "look/click_label.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <array>
#include <functional>

namespace qz {

class ClockTicker;

// The launcher: the live clock and the way into every tool.
class LauncherWindow : public QzWindow {
    Q_OBJECT
  public:
    explicit LauncherWindow(AppContext& ctx);
    Q_DISABLE_COPY_MOVE(LauncherWindow)

    void onActivated() override;

    // The window's controls by what they are for.
    enum Role {
        ClockFrame,
        Date,
        Weekday,
        Time,
        BigClockPicture, // a click opens the big clock
        ToolsFrame,
        TimerButton,
        CountdownButton,
        StopwatchButton,
        AddButton,
        ElapsedButton,
        Exit,
        RoleCount
    };
    QWidget* control(Role r) const { return m_controls[r]; }
    QGroupBox* clockFrame() const { return as<QGroupBox>(ClockFrame); }
    QLabel* dateLabel() const { return as<QLabel>(Date); }
    QLabel* weekdayLabel() const { return as<QLabel>(Weekday); }
    QLabel* timeLabel() const { return as<QLabel>(Time); }
    ClickLabel* bigClockPicture() const { return as<ClickLabel>(BigClockPicture); }
    QGroupBox* toolsFrame() const { return as<QGroupBox>(ToolsFrame); }
    QPushButton* exitButton() const { return as<QPushButton>(Exit); }

    // Shows the version box modally; a test puts something that does not block in its place.
    void setVersionBoxPresenter(std::function<void(QWidget* owner)> present) {
        m_presentVersionBox = std::move(present);
    }

  private:
    template <class T> T* as(Role r) const { return static_cast<T*>(m_controls[r]); }

    // The titles are the ones measured before the first control.
    void buildMenus(const QString& fileTitle, const QString& toolsTitle, const QString& helpTitle);
    void onClockTick();
    void startCalculator() { windows().startCalculator(this); }
    void openHelp() { windows().openHelp(this); }
    void showVersionBox();
    void open(WindowId id) { windows().switchTo(id, this); }
    void exitProgram() { windows().exitProgram(this); }

    std::array<QWidget*, RoleCount> m_controls{};
    ClockTicker* m_clockTicker = nullptr;
    std::function<void(QWidget* owner)> m_presentVersionBox;
};

} // namespace qz
