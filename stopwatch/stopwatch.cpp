// SPDX-License-Identifier: MIT
#include "stopwatch.h"

namespace qz {

QDateTime Stopwatch::wholeSeconds(const QDateTime& t) {
    return t.addMSecs(-t.time().msec());
}

void Stopwatch::start(const QDateTime& now) {
    clear();
    m_runStart = wholeSeconds(now);
    m_state = State::Running;
}

bool Stopwatch::pause(const QDateTime& now) {
    if (m_state != State::Running) return false;
    m_pauseTime = wholeSeconds(now);
    m_accumulated = elapsedSeconds(m_pauseTime);
    m_state = State::Paused;
    return true;
}

bool Stopwatch::cont(const QDateTime& now) {
    switch (m_state) {
    case State::Running:
        return false;
    case State::Idle:
        start(now);
        return true;
    case State::Paused:
        m_runStart = wholeSeconds(now);
        m_state = State::Running;
        return true;
    }
    return false;
}

void Stopwatch::clear() {
    m_runStart = QDateTime();
    m_pauseTime = QDateTime();
    m_accumulated = 0;
    m_state = State::Idle;
}

qint64 Stopwatch::elapsedSeconds(const QDateTime& now) const {
    if (m_state != State::Running) return m_state == State::Paused ? m_accumulated : 0;
    // A clock set back behind the start counts as no time passed, never as negative time.
    const qint64 run = m_runStart.secsTo(wholeSeconds(now));
    return m_accumulated + qMax<qint64>(run, 0);
}

QString Stopwatch::displayText(const QDateTime& now) const {
    return m_state == State::Idle ? QString() : formatElapsed(elapsedSeconds(now));
}

QString Stopwatch::formatElapsed(qint64 seconds) {
    const qint64 s = qMax<qint64>(seconds, 0);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace qz
