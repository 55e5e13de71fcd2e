// SPDX-License-Identifier: MIT
#include "timer/alarm_engine.h"

#include "timer/alarm_entry.h"

#include <QTime>
#include <algorithm>

namespace qz {

namespace {

QString clockText(const QDateTime& now) {
    return now.time().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

AlarmRow& AlarmEngine::row(int k) {
    Q_ASSERT(k >= 1 && k <= kAlarmRows);
    return m_rows[size_t(k - 1)];
}

const AlarmRow& AlarmEngine::row(int k) const {
    Q_ASSERT(k >= 1 && k <= kAlarmRows);
    return m_rows[size_t(k - 1)];
}

QString lampStateText(const AlarmRow& r) {
    if (r.ringerTicking()) return QStringLiteral("鳴動中");
    if (r.lit) return QStringLiteral("停止");
    if (r.watcherEnabled) return QStringLiteral("セット中");
    return QStringLiteral("消灯");
}

void AlarmEngine::disarm(AlarmRow& r) {
    r.target.clear();
    r.targetSeconds = 0;
    r.displayCaption.clear();
    r.watcherEnabled = false;
    r.ringStartMs.reset();
}

void AlarmEngine::timeBoxFocused(int k) {
    if (skipNextFocusClear == 1) {
        skipNextFocusClear = 0;
        return;
    }
    disarm(row(k));
}

EntryOutcome AlarmEngine::enter(int k, const QString& text, const QDateTime& now) {
    AlarmRow& r = row(k);
    if (text.isEmpty()) return r.target.isEmpty() ? EntryOutcome::Beep : EntryOutcome::MoveToMemo;

    const auto target = parseAlarmTime(text);
    if (!target) {
        disarm(r);
        return EntryOutcome::Invalid;
    }
    if (isPassed(*target, clockText(now))) {
        disarm(r);
        return EntryOutcome::Passed;
    }

    r.target = *target;
    r.targetSeconds = alarmSeconds(*target);
    r.displayCaption = *target + QLatin1Char(' ');
    r.watcherEnabled = true;
    r.ringStartMs.reset();
    r.nextRingMs.reset();
    // A row that stopped by itself (ringer off at interval 0) or was stopped while armed must
    // ring again when its new target comes.
    r.ringerOn = false;
    r.ringerInterval = kRingerIntervalMs;
    r.blinkPhase = 0;
    return EntryOutcome::Armed;
}

QList<RowEvent> AlarmEngine::advanceTo(const QDateTime& now,
                                       const std::function<QString(int)>& wavePath) {
    // A timer may fire a little early; a ring due within half a look still counts as due.
    constexpr qint64 kSlackMs = kWatcherIntervalMs / 2;
    QList<RowEvent> events;
    const qint64 nowMs = now.toMSecsSinceEpoch();
    for (int k = 1; k <= kAlarmRows; ++k) {
        AlarmRow& r = row(k);
        if (r.watcherEnabled) {
            const bool wasRinging = r.ringerOn;
            if (watcherTick(k, now))
                events.append({k, RowEvent::Kind::Due, !wasRinging, {}, false});
        }
        if (!r.ringerTicking()) {
            r.nextRingMs.reset();
            continue;
        }
        if (!r.nextRingMs) {
            r.nextRingMs = nowMs + r.ringerInterval;
            continue;
        }
        // The clock set back: ring on from now rather than fall silent until it catches up.
        if (*r.nextRingMs - nowMs > r.ringerInterval) r.nextRingMs = nowMs;
        if (nowMs + kSlackMs < *r.nextRingMs) continue;
        const RingerResult res = ringerTick(k, now, wavePath(k));
        if (res.kind == RingerResult::Kind::Rang)
            events.append({k, RowEvent::Kind::Rang, false, res.fileName, res.beep});
        else if (res.kind == RingerResult::Kind::Stopped)
            events.append({k, RowEvent::Kind::Stopped, false, {}, false});
        if (r.ringerTicking())
            r.nextRingMs = nowMs + r.ringerInterval;
        else
            r.nextRingMs.reset();
    }
    return events;
}

bool AlarmEngine::busy() const {
    return std::any_of(m_rows.begin(), m_rows.end(), [](const AlarmRow& r) {
        return (r.watcherEnabled && !r.target.isEmpty()) || r.ringerTicking();
    });
}

bool AlarmEngine::watcherTick(int k, const QDateTime& now) {
    AlarmRow& r = row(k);
    if (!r.watcherEnabled || r.target.isEmpty() || !isPassed(r.target, clockText(now)))
        return false;
    if (!r.ringStartMs) {
        const qint64 nowMs = now.toMSecsSinceEpoch();
        QDateTime target = now; // the same day and zone
        target.setTime(QTime(0, 0).addSecs(r.targetSeconds));
        // A target the machine slept past counts from its own instant (the ring may then be
        // over at once). A target with no instant today (in a skipped hour), or whose instant
        // lies ahead (a time the clock shows twice), counts from now.
        const bool usable = target.isValid() && target.toMSecsSinceEpoch() <= nowMs;
        r.ringStartMs = usable ? target.toMSecsSinceEpoch() : nowMs;
    }
    r.timeBoxEnabled = false;
    r.ringerOn = true;
    return true;
}

RingerResult AlarmEngine::ringerTick(int k, const QDateTime& now, const QString& wavePath) {
    AlarmRow& r = row(k);
    RingerResult result;
    if (r.target.isEmpty()) return result;

    const qint64 nowMs = now.toMSecsSinceEpoch();
    const double elapsed = double(nowMs - r.ringStartMs.value_or(nowMs)) / 1000.0;
    if (elapsed > double(ringSecondsInUse)) {
        r.ringerOn = false;
        stopRow(k);
        result.kind = RingerResult::Kind::Stopped;
        return result;
    }

    result.kind = RingerResult::Kind::Rang;
    result.fileName = wavePath;
    if (r.blinkPhase == 0) {
        r.blinkPhase = 1;
        r.lit = false;
    } else {
        r.blinkPhase = 0;
        r.lit = true;
    }
    if (wavePath.isEmpty()) {
        r.ringerInterval = kBeepRingerIntervalMs;
        result.beep = true;
    }
    return result;
}

void AlarmEngine::stopRow(int k) {
    AlarmRow& r = row(k);
    r.target.clear();
    r.ringerInterval = 0;
    r.lit = true;
}

void AlarmEngine::clearRow(int k) {
    AlarmRow& r = row(k);
    r.lit = false;
    r.displayCaption.clear();
    r.target.clear();
    r.targetSeconds = 0;
    r.watcherEnabled = false;
    r.ringerInterval = kRingerIntervalMs;
    r.ringerOn = false;
    r.ringStartMs.reset();
    r.nextRingMs.reset();
    r.timeBoxEnabled = true;
}

void AlarmEngine::clearAll() {
    for (int k = 1; k <= kAlarmRows; ++k)
        clearRow(k);
}

} // namespace qz
