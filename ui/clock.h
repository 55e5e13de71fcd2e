// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>

namespace qz {

// The one source of "now" for every window and engine. Logic never reads the system clock
// itself, so a test can stand at 23:59:50 or step over midnight.
class Clock {
  public:
    virtual ~Clock() = default;
    // Local date and time with millisecond precision. The value also carries the real instant
    // (toMSecsSinceEpoch()), from which the engines measure lengths of time, so a ring or a
    // countdown keeps its length across a daylight-saving change; TestClock's advance moves
    // that instant.
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
  public:
    QDateTime now() const override;
};

// The texts the clock displays show.
QString timeText(QTime t);            // "hh:mm:ss", 24-hour
QString dateText(QDate d);            // "yyyy/mm/dd"
QString weekdayName(QDate d);         // "日曜日" .. "土曜日"
int weekdayNumber(QDate d);           // Sunday = 1 .. Saturday = 7
double secondsSinceMidnight(QTime t); // with the millisecond fraction
int wholeSecondsSinceMidnight(QTime t);

} // namespace qz
