#pragma once

#include "app/window_manager.h"
#include "ui/clock_ticker.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace qz {

class ClickLabel;

// The launcher: the live clock and the way into every tool.
class MENU : public QzWindow {
    Q_OBJECT
public:
    explicit MENU(AppContext& ctx);
    void formActivate() override;

    void Timer1_Timer();
    void Command1_Click() { open(WindowId::Stopwatch); }
    void Command2_Click() { open(WindowId::Timer); }
    void Command3_Click() { open(WindowId::Countdown); }
    void Command4_Click() { open(WindowId::CalcAdd); }
    void Command5_Click() { open(WindowId::CalcElapsed); }
    void Command9_Click() { ctx.windows.exitProgram(this); }
    void Image1_Click() { open(WindowId::BigClock); }
    void Toolbar1_ButtonClick(int index);
    void M32_Click();

    // Shows the version box modally; tests replace it so nothing blocks.
    std::function<void(QWidget* owner)> showVersionBox;

private:
    void open(WindowId id) { ctx.windows.switchTo(id, this); }

    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    ClickLabel* Image1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command9;
    ClockTicker* Timer1;
};

// Stands in for a tool that is not built yet: its caption, the way back and the way out.
class ShellWindow : public QzWindow {
    Q_OBJECT
public:
    ShellWindow(AppContext& ctx, WindowId id, const QString& name, const QString& caption);
};

} // namespace qz
