// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QTime>
#include <optional>

namespace qz {

// "13.08.20", "13:08:20", "7.5" or "13" as a clock time in whole seconds; nothing for text
// that is not one to three fields of digits within a day (a refused entry).
std::optional<QTime> parseAlarmTime(const QString& text);

// Whether the clock showing `now` has reached `target` within one day. The clock is read to the
// second, as it is shown: the target comes on the tick that shows it.
bool isPassed(QTime target, QTime now);

// A target as its row shows it, "hh:mm:ss".
QString alarmText(QTime target);

} // namespace qz
