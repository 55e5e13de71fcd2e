#pragma once

#include <QByteArray>
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
        tzset();
    }
    ~ScopedTimeZone() {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  private:
    bool m_had;
    QByteArray m_old;
};
