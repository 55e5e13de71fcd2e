// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

namespace qz {

class Clock;

// Drives a clock display. The displays only change when the clock's second changes, so instead
// of polling every millisecond this fires once just after each second boundary (a precise
// single-shot timer re-armed from the clock each time). Idle cost stays near zero while a label
// still shows the new second within a few milliseconds of the system clock.
class ClockTicker : public QObject {
    Q_OBJECT
  public:
    ClockTicker(const Clock& clock, const QString& name, QObject* parent);
    // Enabling fires once at once (from the event loop), then at every new second.
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }

  signals:
    void timeout();

  private:
    void arm(int delayMs);
    void fire();

    const Clock& m_clock;
    QTimer m_timer;
    bool m_enabled = false;
};

} // namespace qz
