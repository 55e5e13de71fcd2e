// SPDX-License-Identifier: MIT
#include "timer/alarm_entry.h"

#include <QStringList>

namespace qz {

namespace {

// Only plain ASCII digits: the time boxes take direct input, and a pasted full-width digit
// should be refused rather than guessed at.
std::optional<int> digitsValue(const QString& field) {
    if (field.isEmpty()) return std::nullopt;
    int value = 0;
    for (QChar c : field) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > 100000) // far out of range already; keeps long digit runs from overflowing
            return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<QTime> parseAlarmTime(const QString& text) {
    QString t = text.trimmed();
    if (!t.contains(QLatin1Char('.')) && !t.contains(QLatin1Char(':'))) t += QStringLiteral(".0");
    QString unified = t;
    unified.replace(QLatin1Char(':'), QLatin1Char('.'));
    const QStringList fields = unified.split(QLatin1Char('.'));
    if (fields.size() < 1 || fields.size() > 3) return std::nullopt;

    int parts[3] = {0, 0, 0};
    for (int i = 0; i < fields.size(); ++i) {
        const auto v = digitsValue(fields[i]);
        if (!v) return std::nullopt;
        parts[i] = *v;
    }
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
    return QTime(parts[0], parts[1], parts[2]);
}

bool isPassed(QTime target, QTime now) {
    return target <= QTime(now.hour(), now.minute(), now.second());
}

QString alarmText(QTime target) {
    return target.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace qz
