// SPDX-License-Identifier: MIT
#include "countdown_engine.h"

#include "files/read_number.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace qz {

namespace {

// Far beyond any sensible countdown, and small enough that hours * 3600 stays exact.
constexpr double kEntryLimit = 1e12;

QString dateString(QDate d) {
    return d.toString(QStringLiteral("yyyy/MM/dd"));
}
QString timeString(QTime t) {
    return t.toString(QStringLiteral("hh:mm:ss"));
}

qint64 floorDiv(qint64 a, qint64 b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Real seconds since the epoch, whole. A local clock second starts on a whole real second,
// so the count and the clock texts change together.
qint64 realSeconds(const QDateTime& at) {
    return floorDiv(at.toMSecsSinceEpoch(), 1000);
}

QString twoDigits(qint64 v) {
    const QString digits = QString::number(v < 0 ? -v : v).rightJustified(2, QLatin1Char('0'));
    return v < 0 ? QLatin1Char('-') + digits : digits;
}

std::optional<qint64> targetRealSeconds(const CountdownState& s) {
    if (s.targetTime.isEmpty()) return std::nullopt;
    return s.targetSeconds;
}

} // namespace

QString formatEntry00(const QString& text) {
    static const QRegularExpression plainNumber(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)\s*$)"));
    if (!plainNumber.match(text).hasMatch()) return text;
    const double rounded = std::round(readLeadingNumber(text)); // halves away from zero
    if (rounded == 0.0) return QStringLiteral("00");
    const QString digits = QString::number(std::fabs(rounded), 'f', 0).rightJustified(2, u'0');
    return rounded < 0 ? QLatin1Char('-') + digits : digits;
}

qint64 countdownEntryValue(const QString& text) {
    // Texts with trailing letters keep their fraction through the pattern; the count is in
    // whole units all the same.
    const double v = std::round(readLeadingNumber(formatEntry00(text)));
    return qint64(std::clamp(v, -kEntryLimit, kEntryLimit));
}

QString startTimeText(QTime t) {
    return t.toString(QStringLiteral("H:mm:ss"));
}

QString timeLeftText(qint64 remaining) {
    if (remaining < 0) return QString::number(remaining);
    const qint64 hours = remaining / 3600;
    const qint64 minutes = (remaining - 3600 * hours) / 60;
    const qint64 seconds = remaining - 3600 * hours - 60 * minutes;
    return twoDigits(hours) + QLatin1Char(':') + twoDigits(minutes) + QLatin1Char(':') +
           twoDigits(seconds);
}

std::optional<qint64> secondsToTarget(const CountdownState& s, const QDateTime& now) {
    const auto target = targetRealSeconds(s);
    if (!target) return std::nullopt;
    return *target - realSeconds(now);
}

bool targetReached(const CountdownState& s, const QDateTime& now) {
    const auto left = secondsToTarget(s, now);
    return left && *left <= 0;
}

CountdownOutputs startCountdown(CountdownState& s, const QString& hoursText,
                                const QString& minutesText, const QString& secondsText,
                                const QDateTime& now) {
    CountdownOutputs out;
    // A ring still sounding belongs to the old target.
    out.ringTimer = RingTimerRequest::Stop;

    s.running = true;
    s.addHours = countdownEntryValue(hoursText);
    s.addMinutes = countdownEntryValue(minutesText);
    s.addSeconds = countdownEntryValue(secondsText);

    const QDate today = now.date();
    const QTime start(now.time().hour(), now.time().minute(), now.time().second());
    out.startTime = startTimeText(start);
    s.startHour = start.hour();
    s.startMinute = start.minute();
    s.startSecond = start.second();

    // A countdown is a length of real time: 25 seconds are 25 seconds and two hours are two
    // hours across a daylight-saving change. The target is shown as the local clock time it
    // falls on; a negative duration lands in the past (and rings at once).
    const qint64 duration = s.addHours * 3600 + s.addMinutes * 60 + s.addSeconds;
    QDateTime target = now; // the same zone as the clock
    target.setDate(QDate(1, 1, 1));
    target.setTime(QTime(0, 0));
    const qint64 earliest = realSeconds(target);
    target.setDate(QDate(9999, 12, 31));
    target.setTime(QTime(23, 59, 59));
    const qint64 latest = realSeconds(target);
    s.targetSeconds = std::clamp(realSeconds(now) + duration, earliest, latest);
    s.ringFromSeconds.reset();
    target.setSecsSinceEpoch(s.targetSeconds);

    s.targetDate = dateString(target.date());
    s.targetTime = timeString(target.time());
    out.targetTime = s.targetTime;
    out.targetDate = s.targetDate;
    s.startDate = dateString(today);
    out.startDate = s.startDate;
    out.lampLit = false;
    return out;
}

CountdownOutputs clockTick(CountdownState& s, const QDateTime& now) {
    CountdownOutputs out;
    out.currentTime = timeString(now.time());
    out.currentDate = dateString(now.date());
    if (s.running) {
        // Every whole day to the target counts, however far ahead it lies.
        if (const auto left = secondsToTarget(s, now)) out.timeLeft = timeLeftText(*left);
    }
    if (targetReached(s, now)) {
        out.raiseWindow = true;
        out.ringTimer = RingTimerRequest::Start;
        if (!s.ringFromSeconds) s.ringFromSeconds = std::max(s.targetSeconds, realSeconds(now));
    }
    return out;
}

CountdownOutputs ringTick(CountdownState& s, const QDateTime& now, int countdownRingSeconds) {
    CountdownOutputs out;
    const auto target = targetRealSeconds(s);
    // Real seconds since the ring began, so a ring ends after its duration across midnight and
    // across a daylight-saving change alike, and a target seen late still rings in full.
    const qint64 from = s.ringFromSeconds.value_or(target.value_or(0));
    if (!target || realSeconds(now) - from + 1 > countdownRingSeconds) {
        s.targetTime.clear();
        s.ringFromSeconds.reset();
        s.running = false;
        out.ringTimer = RingTimerRequest::Stop;
        return out;
    }
    switch (s.soundChoice) {
    case SoundChoice::Ring:
        out.sound = {SoundRequest::Kind::Wave, QString::fromLatin1(kRingWave)};
        break;
    case SoundChoice::Bell:
        out.sound = {SoundRequest::Kind::Wave, QString::fromLatin1(kBellWave)};
        break;
    case SoundChoice::Beep:
        out.sound = {SoundRequest::Kind::Beep, {}};
        break;
    default:
        break;
    }
    if (s.blinkPhase == 0) {
        s.blinkPhase = 1;
        out.lampLit = false;
    } else {
        s.blinkPhase = 0;
        out.lampLit = true;
    }
    return out;
}

CountdownOutputs stopRinging(CountdownState& s) {
    CountdownOutputs out;
    s.targetTime.clear();
    s.ringFromSeconds.reset();
    s.running = false;
    out.ringTimer = RingTimerRequest::Stop;
    out.lampLit = true;
    return out;
}

CountdownOutputs clearCountdown(CountdownState& s) {
    CountdownOutputs out;
    out.lampLit = false;
    out.targetTime = QString();
    out.startTime = QString();
    out.targetDate = QString();
    out.startDate = QString();
    out.timeLeft = QString();
    out.ringTimer = RingTimerRequest::Stop;
    resetCountdown(s);
    out.resetEntries = true;
    return out;
}

void resetCountdown(CountdownState& s) {
    s.startHour = s.startMinute = s.startSecond = 0;
    s.addHours = s.addMinutes = s.addSeconds = 0;
    s.targetDate.clear();
    s.running = false;
    s.startDate.clear();
    s.soundChoice = SoundChoice::Ring;
    s.targetTime.clear();
    s.ringFromSeconds.reset();
}

} // namespace qz
