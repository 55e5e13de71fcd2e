#pragma once

#include "app/window_manager.h"
#include "countdown/countdown_engine.h"
#include "ui/sound_player.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <memory>

class QActionGroup;
class QToolBar;

namespace qz {

class ClickLabel;

// The ring lamp: a round light filled white or red.
class LampShape : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;
    quint32 fillColor() const { return m_fill; }
    void setFillColor(quint32 bbggrr);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    quint32 m_fill = kLampWhite;
};

// The countdown window.
class TM2 : public QzWindow {
    Q_OBJECT
  public:
    explicit TM2(AppContext& ctx);
    ~TM2() override;
    void formActivate() override;

    // Enter (13) moves on to the next box and is consumed (keyAscii set to 0).
    void Text1_KeyPress(int& keyAscii);
    void Text2_KeyPress(int& keyAscii);
    void Text3_KeyPress(int& keyAscii);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void Option5_Click();
    void Label20_Click();
    void Label21_Click();
    void Label22_Click();
    void M111_Click();
    void M112_Click();
    void M113_Click();
    void M114_Click();
    void M115_Click();
    void M116_Click();
    void M21_Click();
    void M31_Click();
    void Toolbar1_ButtonClick(int index);

    const CountdownState& countdown() const { return m_cd; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    void apply(const CountdownOutputs& out);
    void showTimeLeft(const QString& text);
    void fitBigLabel();
    void chooseRingSeconds(QAction* item, int seconds, const QString& text);
    void showNowInSystemFormat();

    CountdownState m_cd;
    std::unique_ptr<SoundPlayer> m_player;
    // The time-left texts' own fonts, before any condensing.
    QFont m_timeLeftFont;
    QFont m_bigFont;

    QLabel* Label12;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label13;
    QLabel* Label10;
    QLabel* Label4;
    QLabel* Label11;
    QLabel* Label15;
    QLabel* Label17;
    QLabel* Label16;
    QWidget* Picture1;
    QLabel* Label23;
    QGroupBox* Frame2;
    QLabel* Label14;
    QLabel* Label1;
    QGroupBox* Frame1;
    QLabel* Label3;
    QLabel* Label2;
    LampShape* Shape1;
    QGroupBox* Frame3;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    ClickLabel* Label20;
    ClickLabel* Label21;
    ClickLabel* Label22;
    QLabel* Label18;
    QLabel* Label19;
    QGroupBox* Frame5;
    QRadioButton* Option4;
    QRadioButton* Option5;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QTimer* Timer1;
    QTimer* Timer2;
    QToolBar* Toolbar1;

    QAction* M111;
    QAction* M112;
    QAction* M113;
    QAction* M114;
    QAction* M115;
    QAction* M116;
    QAction* M21;
    QAction* M31;
    QActionGroup* m_ringGroup;
};

} // namespace qz
