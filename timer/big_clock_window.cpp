// SPDX-License-Identifier: MIT
#include "big_clock_window.h"

#include "look/look.h"
#include "ui/clock.h"
#include "ui/clock_ticker.h"

#include <QLabel>
#include <QPushButton>

namespace qz {

namespace {

using K = ControlKind;
using W = BigClockWindow;

constexpr ControlDecl kControls[] = {
    {.role = W::Date,
     .name = "Label2",
     .at = {120, 120, 7440, 1080},
     .align = Qt::AlignCenter,
     .points = 48},
    {.role = W::Weekday,
     .name = "Label3",
     .at = {7680, 120, 4560, 1080},
     .align = Qt::AlignCenter,
     .points = 48},
    {.role = W::TimePanel,
     .name = "Picture1",
     .kind = K::Panel,
     .at = {120, 1320, 12120, 3240},
     .ground = colors::navy},
    {.role = W::Time,
     .name = "Label1",
     .at = {0, 0, 12120, 3240},
     .within = W::TimePanel,
     .align = Qt::AlignCenter,
     .points = 120,
     .bold = true,
     .ground = colors::navy,
     .ink = colors::yellow},
    {.role = W::Close,
     .name = "Command1",
     .kind = K::Button,
     .at = {8880, 4740, 1560, 450},
     .caption = u"閉じる"},
    {.role = W::Exit,
     .name = "Command2",
     .kind = K::Button,
     .at = {10680, 4740, 1560, 450},
     .caption = u"終了"},
};

} // namespace

BigClockWindow::BigClockWindow(AppContext& c) : QzWindow(c, WindowId::BigClock) {
    setObjectName(QStringLiteral("BIG"));
    setWindowTitle(QStringLiteral("ＱＺタイマー／現在時間"));
    auto* client = new QWidget(this);
    setCentralWidget(client);

    buildControls(client, kControls, m_controls);
    connect(closeButton(), &QPushButton::clicked, this,
            [this] { windows().switchTo(WindowId::Launcher, this); });
    connect(exitButton(), &QPushButton::clicked, this, [this] { windows().exitProgram(this); });

    setWindowSizeTwips(this, 12480, 5790);

    m_clockTicker = new ClockTicker(*platform().clock, QStringLiteral("Timer1"), this);
    connect(m_clockTicker, &ClockTicker::timeout, this, &BigClockWindow::onClockTick);
    onClockTick();
    m_clockTicker->setEnabled(true);
}

void BigClockWindow::onClockTick() {
    showDateTime(platform().clock->now(), timeLabel(), dateLabel(), weekdayLabel());
}

} // namespace qz
