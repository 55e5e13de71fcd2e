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

    m_dateLabel = addLabel(client, "Label2", {120, 120, 7440, 1080}, {}, Qt::AlignCenter);
    m_weekdayLabel = addLabel(client, "Label3", {7680, 120, 4560, 1080}, {}, Qt::AlignCenter);

    auto* timePanel = addControl<QWidget>(client, "Picture1", {120, 1320, 12120, 3240});
    setBackground(timePanel, colors::navy);
    m_timeLabel = addLabel(timePanel, "Label1", {0, 0, 12120, 3240}, {}, Qt::AlignCenter);
    setBackground(m_timeLabel, colors::navy);
    setForeground(m_timeLabel, colors::yellow);

    auto* closeButton = addControl<QPushButton>(client, "Command1", {8880, 4740, 1560, 450},
                                                QStringLiteral("閉じる"));
    connect(closeButton, &QPushButton::clicked, this,
            [this] { windows().switchTo(WindowId::Launcher, this); });
    auto* exitButton = addControl<QPushButton>(client, "Command2", {10680, 4740, 1560, 450},
                                               QStringLiteral("終了"));
    connect(exitButton, &QPushButton::clicked, this, [this] { windows().exitProgram(this); });

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
    showDateTime(platform().clock->now(), m_timeLabel, m_dateLabel, m_weekdayLabel);
}

} // namespace qz
