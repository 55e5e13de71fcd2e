#pragma once

#include "app/window_manager.h"
#include "ui/clock_ticker.h"

#include <QLabel>
#include <QPushButton>

namespace qz {

// The big clock, for reading the time from across a room.
class BIG : public QzWindow {
    Q_OBJECT
public:
    explicit BIG(AppContext& ctx);

    void Timer1_Timer();
    void Command1_Click() { ctx.windows.switchTo(WindowId::Menu, this); }
    void Command2_Click() { ctx.windows.exitProgram(this); }

private:
    QWidget* Picture1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* Command1;
    QPushButton* Command2;
    ClockTicker* Timer1;
};

} // namespace qz
