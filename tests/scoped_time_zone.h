// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QtGlobal>
#include <ctime>

// Runs a test in another local time zone and puts the old one back afterwards. The zone is
// given as a POSIX rule, so it needs no zone database on the machine.
class ScopedTimeZone {
  public:
    // Central European time: clocks go forward at 02:00 on the last Sunday in March and back
    // at 03:00 on the last Sunday in October.
    static constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";

    explicit ScopedTimeZone(const char* rule)
        : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ")) {
        qputenv("TZ", rule);
        resetZone();
    }
    ~ScopedTimeZone() {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        resetZone();
    }
    // Whether the local clock now follows the rule (it does where the C library reads TZ);
    // checked for the Berlin rule: one hour ahead of UTC in January, two in July.
    static bool berlinInForce() {
        return QDateTime(QDate(2026, 1, 15), QTime(12, 0)).offsetFromUtc() == 3600 &&
               QDateTime(QDate(2026, 7, 15), QTime(12, 0)).offsetFromUtc() == 7200;
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  private:
    static void resetZone() {
#ifdef Q_OS_WIN
        _tzset();
#else
        tzset();
#endif
    }
    bool m_had;
    QByteArray m_old;
};
