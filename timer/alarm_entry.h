// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>

namespace qz {

// "13.08.20", "13:08:20", "7.5" or "13" as a clock time "hh:mm:ss"; nothing for text that is
// not one to three fields of digits within a day (a refused entry).
std::optional<QString> parseAlarmTime(const QString& text);

// Both texts are "hh:mm:ss", so text order is time order within one day.
bool isPassed(const QString& target, const QString& nowText);

// Seconds after midnight of a "hh:mm:ss" text; 0 for anything else.
int alarmSeconds(const QString& target);

} // namespace qz
