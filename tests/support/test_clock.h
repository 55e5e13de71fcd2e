// SPDX-License-Identifier: MIT
#pragma once

#include "ui/clock.h"

#include <QDateTime>

namespace qz {

// A clock that only moves when told to.
class TestClock final : public Clock {
  public:
    explicit TestClock(QDateTime start = QDateTime(QDate(2010, 11, 8), QTime(13, 8, 20)))
        : m_now(std::move(start)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& at) { m_now = at; }
    void setTime(QTime t) { m_now = QDateTime(m_now.date(), t); }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }
    void advanceSeconds(double s) { advanceMs(qRound64(s * 1000.0)); }

  private:
    QDateTime m_now;
};

} // namespace qz
