// SPDX-License-Identifier: MIT
#include "clock.h"

namespace qz {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

QString timeText(QTime t) {
    return t.toString(QStringLiteral("HH:mm:ss"));
}

QString dateText(QDate d) {
    return d.toString(QStringLiteral("yyyy/MM/dd"));
}

int weekdayNumber(QDate d) {
    return d.dayOfWeek() % 7 + 1;
}

QString weekdayName(QDate d) {
    static const char16_t* const names[] = {u"日曜日", u"月曜日", u"火曜日", u"水曜日",
                                            u"木曜日", u"金曜日", u"土曜日"};
    return QString::fromUtf16(names[weekdayNumber(d) - 1]);
}

double secondsSinceMidnight(QTime t) {
    return t.msecsSinceStartOfDay() / 1000.0;
}

int wholeSecondsSinceMidnight(QTime t) {
    return t.msecsSinceStartOfDay() / 1000;
}

} // namespace qz
