// SPDX-License-Identifier: MIT
#include "big_clock_window.h"

#include "ui/clock.h"
#include "ui/clock_ticker.h"
#include "ui/look.h"

#include <QLabel>
#include <QPushButton>

namespace qz {

BigClockWindow::BigClockWindow(AppContext& c) : QzWindow(c, WindowId::BigClock) {
    setObjectName(QStringLiteral("BIG"));
    setWindowTitle(QStringLiteral("ＱＺタイマー／現在時間"));
    auto* client = new QWidget(this);
    setCentralWidget(client);

    m_dateLabel = new QLabel(client);
    m_dateLabel->setObjectName(QStringLiteral("Label2"));
    m_dateLabel->setAlignment(Qt::AlignCenter);
    placeTwips(m_dateLabel, 120, 120, 7440, 1080);
    m_weekdayLabel = new QLabel(client);
    m_weekdayLabel->setObjectName(QStringLiteral("Label3"));
    m_weekdayLabel->setAlignment(Qt::AlignCenter);
    placeTwips(m_weekdayLabel, 7680, 120, 4560, 1080);

    auto* timePanel = new QWidget(client);
    timePanel->setObjectName(QStringLiteral("Picture1"));
    setBackground(timePanel, colors::navy);
    placeTwips(timePanel, 120, 1320, 12120, 3240);
    m_timeLabel = new QLabel(timePanel);
    m_timeLabel->setObjectName(QStringLiteral("Label1"));
    m_timeLabel->setAlignment(Qt::AlignCenter);
    setBackground(m_timeLabel, colors::navy);
    setForeground(m_timeLabel, colors::yellow);
    m_timeLabel->setGeometry(timePanel->rect());

    auto* closeButton = new QPushButton(QStringLiteral("閉じる"), client);
    closeButton->setObjectName(QStringLiteral("Command1"));
    placeTwips(closeButton, 8880, 4740, 1560, 450);
    connect(closeButton, &QPushButton::clicked, this,
            [this] { ctx.windows.switchTo(WindowId::Launcher, this); });
    auto* exitButton = new QPushButton(QStringLiteral("終了"), client);
    exitButton->setObjectName(QStringLiteral("Command2"));
    placeTwips(exitButton, 10680, 4740, 1560, 450);
    connect(exitButton, &QPushButton::clicked, this, [this] { ctx.windows.exitProgram(this); });

    setWindowSizeTwips(this, 12480, 5790);

    m_timeLabel->setFont(uiFont(120, true));
    m_dateLabel->setFont(uiFont(48));
    m_weekdayLabel->setFont(uiFont(48));

    m_clockTicker = new ClockTicker(*platform().clock, QStringLiteral("Timer1"), this);
    connect(m_clockTicker, &ClockTicker::timeout, this, &BigClockWindow::onClockTick);
    onClockTick();
    m_clockTicker->setEnabled(true);
}

void BigClockWindow::onClockTick() {
    const QDateTime now = platform().clock->now();
    m_timeLabel->setText(timeText(now.time()));
    m_dateLabel->setText(dateText(now.date()));
    m_weekdayLabel->setText(weekdayName(now.date()));
}

} // namespace qz
