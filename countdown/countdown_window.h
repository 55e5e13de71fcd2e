// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"
#include "countdown/countdown_engine.h"
#include "ui/colors.h"
#include "ui/desktop_notifier.h"

#include <QFont>
#include <QWidget>
#include <array>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
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

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
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
    QLineEdit* m_hoursBox = nullptr;
    QLineEdit* m_minutesBox = nullptr;
    QLineEdit* m_secondsBox = nullptr;
    QPushButton* m_startButton = nullptr;
    QLabel* m_ringSpanLabel = nullptr;
    QLabel* m_clockLabel = nullptr;
    QLabel* m_dateLabel = nullptr;
    QLabel* m_timeLeftLabel = nullptr;
    QLabel* m_startTimeLabel = nullptr;
    QLabel* m_startDateLabel = nullptr;
    QLabel* m_targetTimeLabel = nullptr;
    QLabel* m_targetDateLabel = nullptr;
    LampShape* m_lamp = nullptr;
    QRadioButton* m_ringOption = nullptr;
    QRadioButton* m_normalViewOption = nullptr;
    QWidget* m_bigPanel = nullptr;
    QLabel* m_bigTimeLeftLabel = nullptr;
    QTimer* m_clockTimer = nullptr;
    QTimer* m_ringTimer = nullptr;
    RingNotice m_notice;
};

} // namespace qz
