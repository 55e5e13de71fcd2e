// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>

namespace qz {

// The stopwatch's three values and its four commands. It never counts ticks: the elapsed time
// is recomputed from the clock reading handed in, so any tick rate shows the same value.
//
// The clock is read in whole seconds, with its date, so a run across midnight (or a daylight
// saving change) still measures the time that really passed.
class Stopwatch {
  public:
    enum class State {
        Idle,    // never started, or cleared: nothing to show
        Running, // the display follows the clock
        Paused,  // the display stands at the banked time
    };

    // From any state to running from zero.
    void start(const QDateTime& now);
    // Running to paused; ignored (false) in any other state, so the banked time never grows
    // by a second pause.
    bool pause(const QDateTime& now);
    // Paused to running. With nothing to continue (never started, or cleared) it starts from
    // zero; ignored (false) while running.
    bool cont(const QDateTime& now);
    // From any state to idle, all three values zero.
    void clear();

    State state() const { return m_state; }
    bool running() const { return m_state == State::Running; }

    // The three values. A null date-time stands for "no value" (zero).
    QDateTime runStart() const { return m_runStart; }
    QDateTime pauseTime() const { return m_pauseTime; }
    qint64 accumulatedSeconds() const { return m_accumulated; }

    // Banked time plus, while running, the whole seconds since the last start or continue.
    qint64 elapsedSeconds(const QDateTime& now) const;
    // "hh:mm:ss" of elapsedSeconds(now); empty while idle.
    QString displayText(const QDateTime& now) const;

    // "hh:mm:ss" with at least two hour digits; hours go on past 23 (25:00:03) instead of
    // wrapping to 00 after a day.
    static QString formatElapsed(qint64 seconds);
    // The clock reading in whole seconds: the milliseconds dropped.
    static QDateTime wholeSeconds(const QDateTime& t);

  private:
    QDateTime m_runStart;
    QDateTime m_pauseTime;
    qint64 m_accumulated = 0;
    State m_state = State::Idle;
};

} // namespace qz
