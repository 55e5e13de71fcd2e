#pragma once

#include "app/window_manager.h"
#include "timer/alarm_engine.h"
#include "ui/clock_ticker.h"

#include <QAction>
#include <QActionGroup>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <memory>

class QToolBar;

namespace qz {

class ClickLabel;
class SoundPlayer;

// The notification timer: ten alarm rows, each armed with a clock time, that ring with their
// own sound source, blink and bring the window to the front.
class TM1 : public QzWindow {
    Q_OBJECT
  public:
    explicit TM1(AppContext& ctx);
    ~TM1() override;
    void formActivate() override;

    // Key codes the row boxes act on.
    static constexpr int kKeyLeft = 37;
    static constexpr int kKeyUp = 38;
    static constexpr int kKeyDown = 40;
    static constexpr int kKeyEnter = 13;

    // The controls of row k (1 to 10).
    struct Row {
        ClickLabel* number = nullptr;  // Label10.. "１".."10"
        ClickLabel* source = nullptr;  // Label34.. source k's name
        ClickLabel* display = nullptr; // Label2.. the armed time, holds the time box
        QLineEdit* timeBox = nullptr;  // Text1..Text5, Text16..Text20
        QLineEdit* memo = nullptr;     // Text6..Text15
        QFrame* lamp = nullptr;        // Shape1..Shape10
        QPushButton* stop = nullptr;   // "停止"
        QPushButton* clear = nullptr;  // "クリア"
        QTimer* watcher = nullptr;     // Timer1, Timer3, ..
        QTimer* ringer = nullptr;      // Timer2, Timer4, ..
    };
    const Row& row(int k) const { return m_rows[size_t(k - 1)]; }
    const AlarmEngine& engine() const { return m_engine; }
    bool wideLayout() const { return m_wide; }

    // Row handlers (row k). The key handlers return true when they consumed the key.
    void TimeBox_GotFocus(int k);
    bool TimeBox_KeyDown(int k, int keyCode);
    bool TimeBox_KeyPress(int k, int ch);
    bool Memo_KeyPress(int k, int ch);
    bool Memo_KeyDown(int k, int keyCode);
    void NumberLabel_Click(int k);
    void SourceLabel_Click(int k) { NumberLabel_Click(k); }
    void DisplayLabel_Click(int k);
    void StopButton_Click(int k);
    void ClearButton_Click(int k);
    void Watcher_Timer(int k);
    void Ringer_Timer(int k);

    // Window handlers.
    void Timer21_Timer();
    void Timer22_Timer();
    void Command11_Click();
    void Command12_Click() { ctx.windows.exitProgram(this); }
    void Command13_Click();
    void Command14_Click();
    void Command25_Click();
    void Command26_Click();
    void M11_Click() { Command12_Click(); }
    void M12_Click() { Command25_Click(); }
    // index 1 to 6: M211 to M216
    void RingSpan_Click(int index);
    void M22_Click();
    void M31_Click() { ctx.windows.startCalculator(this); }
    void M41_Click() { ctx.windows.openHelp(this); }
    void Toolbar1_ButtonClick(int index);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildRows(QWidget* client);
    void buildMenus();
    void applyRow(int k);
    void focusTimeBox(int k);
    void moveToTimeBox(int from, int step);
    void setWide(bool wide);
    void leaveWindow(WindowId target);
    void showRingSpan(int seconds);
    QString sourcePath(int k) const;
    // The "停止" of the row that rang last and still rings, else of the first ringing row.
    QPushButton* ringingStop() const;

    AlarmEngine m_engine;
    std::array<Row, kAlarmRows> m_rows;
    std::unique_ptr<SoundPlayer> MMControl1;
    bool m_wide = false;
    bool m_focusStepRan = false;
    int m_lastFired = 0;
    bool m_leftForOwnWindow = false;

    QLabel* Label8;
    QLabel* Label1;
    QPushButton* Command14;
    QPushButton* Command11;
    QPushButton* Command25;
    QPushButton* Command26;
    QLabel* Label32;
    QLabel* Label31;
    QLabel* Label39;
    QLabel* Label9;
    QLabel* Label7;
    QGroupBox* Frame2;
    QLabel* Label30;
    QLabel* Label33;
    QPushButton* Command13;
    QPushButton* Command12;
    QWidget* Picture1;
    QLabel* Label40;
    QLabel* Label41;
    QLabel* Label42;
    QToolBar* Toolbar1;
    ClockTicker* Timer21;
    ClockTicker* Timer22;
    std::array<QAction*, 6> m_spanItems{}; // M211..M216
    QActionGroup* m_spanGroup = nullptr;
};

} // namespace qz
