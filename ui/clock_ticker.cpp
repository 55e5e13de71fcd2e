// SPDX-License-Identifier: MIT
#include "clock_ticker.h"

#include "clock.h"

namespace qz {

ClockTicker::ClockTicker(const Clock& clock, const QString& name, QObject* parent)
    : QObject(parent), m_clock(clock) {
    setObjectName(name);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ClockTicker::fire);
}

void ClockTicker::setEnabled(bool on) {
    if (on == m_enabled) return;
    m_enabled = on;
    if (on)
        arm(0);
    else
        m_timer.stop();
}

void ClockTicker::arm(int delayMs) {
    m_timer.start(delayMs);
}

void ClockTicker::fire() {
    if (!m_enabled) return;
    emit timeout();
    if (!m_enabled) // a handler may have switched us off
        return;
    // One millisecond past the boundary, so the clock already reads the new second.
    const int intoSecond = m_clock.now().time().msec();
    arm(1000 - intoSecond + 1);
}

} // namespace qz
