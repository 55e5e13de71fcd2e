// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"

class QLabel;

namespace qz {

class ClockTicker;

// The big clock, for reading the time from across a room.
class BigClockWindow : public QzWindow {
    Q_OBJECT
  public:
    explicit BigClockWindow(AppContext& ctx);
    Q_DISABLE_COPY_MOVE(BigClockWindow)

  private:
    void onClockTick();

    QLabel* m_timeLabel = nullptr;
    QLabel* m_dateLabel = nullptr;
    QLabel* m_weekdayLabel = nullptr;
    ClockTicker* m_clockTicker = nullptr;
};

} // namespace qz
