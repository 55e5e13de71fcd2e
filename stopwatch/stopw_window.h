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
class STOPW : public QzWindow {
    Q_OBJECT
  public:
    explicit STOPW(AppContext& ctx);
    void formActivate() override;

    const Stopwatch& stopwatch() const { return m_watch; }

    void Timer1_Timer();
    void Timer2_Timer();
    void Command1_Click(); // スタート
    void Command2_Click(); // 一時停止
    void Command5_Click(); // CONT
    void Command3_Click(); // クリア
    void Command6_Click(); // ﾒﾆｭｰへ
    void Command4_Click(); // 終了
    void Option1_Click();  // 通常表示
    void Option2_Click();  // 大きい表示
    void Toolbar1_ButtonClick(int index);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QWidget* Picture1;
    QLabel* Label5;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command5;
    QPushButton* Command3;
    QPushButton* Command6;
    QPushButton* Command4;
    QGroupBox* Frame2;
    QRadioButton* Option1;
    QRadioButton* Option2;
    ClockTicker* Timer1;
    ClockTicker* Timer2;
    QToolBar* Toolbar1;

  private:
    QDateTime now() const;
    // Shows the stopwatch's value in both displays at once.
    void showElapsed();
    void fitBigDisplay();

    Stopwatch m_watch;
};

} // namespace qz
