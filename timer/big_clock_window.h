// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"

#include <QLabel>
#include <QPushButton>

#include <array>

namespace qz {

class ClockTicker;

// The big clock, for reading the time from across a room.
class BigClockWindow : public QzWindow {
    Q_OBJECT
  public:
    explicit BigClockWindow(AppContext& ctx);
    Q_DISABLE_COPY_MOVE(BigClockWindow)

    // The window's controls by what they are for.
    enum Role { Date, Weekday, TimePanel, Time, Close, Exit, RoleCount };
    QWidget* control(Role r) const { return m_controls[r]; }
    QLabel* dateLabel() const { return as<QLabel>(Date); }
    QLabel* weekdayLabel() const { return as<QLabel>(Weekday); }
    QLabel* timeLabel() const { return as<QLabel>(Time); }
    QPushButton* closeButton() const { return as<QPushButton>(Close); } // "閉じる"
    QPushButton* exitButton() const { return as<QPushButton>(Exit); }

  private:
    template <class T> T* as(Role r) const { return static_cast<T*>(m_controls[r]); }

    void onClockTick();

    std::array<QWidget*, RoleCount> m_controls{};
    ClockTicker* m_clockTicker = nullptr;
};

} // namespace qz
