// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"
#include "countdown/countdown_engine.h"
#include "look/colors.h"
#include "ui/desktop_notifier.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>
#include <memory>

class QTimer;

namespace qz {

class SoundPlayer;

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
    quint32 m_fill = colors::white;
};

// The countdown window: counts down a typed duration, then rings and blinks its lamp.
class CountdownWindow : public QzWindow {
    Q_OBJECT
  public:
    explicit CountdownWindow(AppContext& ctx);
    ~CountdownWindow() override;
    Q_DISABLE_COPY_MOVE(CountdownWindow)

    void onActivated() override;

    // The countdown as the window last mirrored it.
    const CountdownState& countdown() const { return m_cd; }

    // The window's controls by what they are for.
    enum Role {
        RingSpanCaption,
        RingSpan,
        EntryCaption,
        HoursCaption,
        MinutesCaption,
        SecondsCaption,
        Hours,
        HoursColon,
        Minutes,
        MinutesColon,
        Seconds,
        Arrow,
        Start,
        Stop,
        Clear,
        ClockCaption,
        Clock,
        DateCaption,
        Date,
        TimeLeftCaption,
        TimeLeft,
        Lamp,
        StartFrame,
        StartDate,
        StartTime,
        TargetFrame,
        TargetDate,
        TargetTime,
        SoundFrame,
        RingOption,
        RingStar,
        BellOption,
        BellStar,
        BeepOption,
        BeepStar,
        ViewFrame,
        NormalView,
        BigView,
        Menu,
        Exit,
        BigPanel,
        BigTimeLeft,
        RoleCount
    };
    QWidget* control(Role r) const { return m_controls[r]; }
    QLabel* ringSpanLabel() const { return as<QLabel>(RingSpan); }
    QLineEdit* hoursBox() const { return as<QLineEdit>(Hours); }
    QLineEdit* minutesBox() const { return as<QLineEdit>(Minutes); }
    QLineEdit* secondsBox() const { return as<QLineEdit>(Seconds); }
    QPushButton* startButton() const { return as<QPushButton>(Start); }
    QPushButton* stopButton() const { return as<QPushButton>(Stop); }
    QPushButton* clearButton() const { return as<QPushButton>(Clear); }
    QLabel* clockLabel() const { return as<QLabel>(Clock); }
    QLabel* dateLabel() const { return as<QLabel>(Date); }
    QLabel* timeLeftLabel() const { return as<QLabel>(TimeLeft); }
    LampShape* lamp() const { return as<LampShape>(Lamp); }
    QLabel* startDateLabel() const { return as<QLabel>(StartDate); }
    QLabel* startTimeLabel() const { return as<QLabel>(StartTime); }
    QLabel* targetDateLabel() const { return as<QLabel>(TargetDate); }
    QLabel* targetTimeLabel() const { return as<QLabel>(TargetTime); }
    QRadioButton* ringOption() const { return as<QRadioButton>(RingOption); }
    QRadioButton* bellOption() const { return as<QRadioButton>(BellOption); }
    QRadioButton* beepOption() const { return as<QRadioButton>(BeepOption); }
    QGroupBox* viewFrame() const { return as<QGroupBox>(ViewFrame); }
    QRadioButton* normalViewOption() const { return as<QRadioButton>(NormalView); }
    QRadioButton* bigViewOption() const { return as<QRadioButton>(BigView); }
    QPushButton* menuButton() const { return as<QPushButton>(Menu); } // "ﾒﾆｭｰへ"
    QPushButton* exitButton() const { return as<QPushButton>(Exit); }
    QWidget* bigPanel() const { return m_controls[BigPanel]; }
    QLabel* bigTimeLeftLabel() const { return as<QLabel>(BigTimeLeft); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    template <class T> T* as(Role r) const { return static_cast<T*>(m_controls[r]); }

    void buildControls();
    void fitViewOptions();
    void connectControls();
    void buildMenus();
    void apply(const CountdownOutputs& out);
    void showTimeLeft(const QString& text);
    void fitBigLabel();
    void showNowInSystemFormat();
    void showNormalView();
    void showBigView();

    void onStartClicked();
    void onClockTick();
    void onRingTick();
    void onMenuClicked();

    CountdownState m_cd;
    std::unique_ptr<SoundPlayer> m_player;
    // The time-left texts' own fonts, before any condensing.
    QFont m_timeLeftFont;
    QFont m_bigFont;

    // Enter in an entry box moves on to the next control in this order, as Tab does.
    std::array<QWidget*, 4> m_entryOrder{};
    std::array<QWidget*, RoleCount> m_controls{};
    QTimer* m_clockTimer = nullptr;
    QTimer* m_ringTimer = nullptr;
    RingNotice m_notice;
};

} // namespace qz
