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

std::optional<QString> parseAlarmTime(const QString& text) {
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
    return QStringLiteral("%1:%2:%3")
        .arg(parts[0], 2, 10, QLatin1Char('0'))
        .arg(parts[1], 2, 10, QLatin1Char('0'))
        .arg(parts[2], 2, 10, QLatin1Char('0'));
}

bool isPassed(const QString& target, const QString& nowText) {
    return QString::compare(target, nowText) <= 0;
}

int alarmSeconds(const QString& target) {
    const QStringList f = target.split(QLatin1Char(':'));
    if (f.size() != 3) return 0;
    return f[0].toInt() * 3600 + f[1].toInt() * 60 + f[2].toInt();
}

} // namespace qz
