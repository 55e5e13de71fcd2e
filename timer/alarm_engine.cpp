// SPDX-License-Identifier: MIT
#include "timer/alarm_engine.h"

#include "timer/alarm_entry.h"

#include <QTime>
#include <algorithm>

namespace qz {

const AlarmRow& AlarmEngine::row(int k) const {
    Q_ASSERT(k >= 1 && k <= kAlarmRows);
    return m_rows[size_t(k - 1)];
}

AlarmRow& AlarmEngine::mutableRow(int k) {
    Q_ASSERT(k >= 1 && k <= kAlarmRows);
    return m_rows[size_t(k - 1)];
}

QString lampStateText(const AlarmRow& r) {
    if (r.ringerTicking()) return QStringLiteral("鳴動中");
    if (r.lit()) return QStringLiteral("停止");
    if (r.watcherEnabled()) return QStringLiteral("セット中");
    return QStringLiteral("消灯");
}

void AlarmEngine::disarm(AlarmRow& r) {
    r.m_target.reset();
    r.m_displayCaption.clear();
    r.m_watcherEnabled = false;
    r.m_ringStartMs.reset();
}

void AlarmEngine::timeBoxFocused(int k) {
    if (m_keepRowOnNextFocus) {
        m_keepRowOnNextFocus = false;
        return;
    }
    disarm(mutableRow(k));
}

EntryOutcome AlarmEngine::enter(int k, const QString& text, const QDateTime& now) {
    AlarmRow& r = mutableRow(k);
    if (text.isEmpty()) return r.m_target ? EntryOutcome::MoveToMemo : EntryOutcome::Beep;

    const auto target = parseAlarmTime(text);
    if (!target) {
        disarm(r);
        return EntryOutcome::Invalid;
    }
    if (isPassed(*target, now.time())) {
        disarm(r);
        return EntryOutcome::Passed;
    }

    r.m_target = *target;
    r.m_displayCaption = alarmText(*target) + QLatin1Char(' ');
    r.m_watcherEnabled = true;
    r.m_ringStartMs.reset();
    r.m_nextRingMs.reset();
    // A row that stopped by itself (ringer off at interval 0) or was stopped while armed must
    // ring again when its new target comes.
    r.m_ringerOn = false;
    r.m_ringerInterval = kRingerIntervalMs;
    r.m_dark = false;
    return EntryOutcome::Armed;
}

QList<RowEvent> AlarmEngine::advanceTo(const QDateTime& now,
                                       const std::function<QString(int)>& wavePath) {
    // A timer may fire a little early; a ring due within half a look still counts as due.
    constexpr qint64 kSlackMs = kWatcherIntervalMs / 2;
    QList<RowEvent> events;
    const qint64 nowMs = now.toMSecsSinceEpoch();
    for (int k = 1; k <= kAlarmRows; ++k) {
        AlarmRow& r = mutableRow(k);
        if (r.m_watcherEnabled) {
            const bool wasRinging = r.m_ringerOn;
            if (targetCome(r, now)) events.append({k, RowEvent::Kind::Due, !wasRinging, {}, false});
        }
        if (!r.ringerTicking()) {
            r.m_nextRingMs.reset();
            continue;
        }
        if (!r.m_nextRingMs) {
            r.m_nextRingMs = nowMs + r.m_ringerInterval;
            continue;
        }
        // The clock set back: ring on from now rather than fall silent until it catches up.
        if (*r.m_nextRingMs - nowMs > r.m_ringerInterval) r.m_nextRingMs = nowMs;
        if (nowMs + kSlackMs < *r.m_nextRingMs) continue;
        if (const auto event = ring(k, now, wavePath(k))) events.append(*event);
        if (r.ringerTicking())
            r.m_nextRingMs = nowMs + r.m_ringerInterval;
        else
            r.m_nextRingMs.reset();
    }
    return events;
}

bool AlarmEngine::busy() const {
    return std::any_of(m_rows.begin(), m_rows.end(), [](const AlarmRow& r) {
        return (r.m_watcherEnabled && r.m_target) || r.ringerTicking();
    });
}

bool AlarmEngine::targetCome(AlarmRow& r, const QDateTime& now) {
    if (!r.m_watcherEnabled || !r.m_target || !isPassed(*r.m_target, now.time())) return false;
    if (!r.m_ringStartMs) {
        const qint64 nowMs = now.toMSecsSinceEpoch();
        QDateTime target = now; // the same day and zone
        target.setTime(*r.m_target);
        // A target the machine slept past counts from its own instant (the ring may then be
        // over at once). A target with no instant today (in a skipped hour), or whose instant
        // lies ahead (a time the clock shows twice), counts from now.
        const bool usable = target.isValid() && target.toMSecsSinceEpoch() <= nowMs;
        r.m_ringStartMs = usable ? target.toMSecsSinceEpoch() : nowMs;
    }
    r.m_timeBoxEnabled = false;
    r.m_ringerOn = true;
    return true;
}

std::optional<RowEvent> AlarmEngine::ring(int k, const QDateTime& now, const QString& wavePath) {
    AlarmRow& r = mutableRow(k);
    if (!r.m_target) return std::nullopt;

    const qint64 nowMs = now.toMSecsSinceEpoch();
    const double elapsed = double(nowMs - r.m_ringStartMs.value_or(nowMs)) / 1000.0;
    if (elapsed > double(m_ringSeconds)) {
        r.m_ringerOn = false;
        stopRow(k);
        return RowEvent{k, RowEvent::Kind::Stopped, false, {}, false};
    }

    r.m_dark = !r.m_dark;
    r.m_lit = !r.m_dark;
    const bool beep = wavePath.isEmpty();
    if (beep) r.m_ringerInterval = kBeepRingerIntervalMs;
    return RowEvent{k, RowEvent::Kind::Rang, false, wavePath, beep};
}

void AlarmEngine::stopRow(int k) {
    AlarmRow& r = mutableRow(k);
    r.m_target.reset();
    r.m_ringerInterval = 0;
    r.m_lit = true;
}

void AlarmEngine::clearRow(int k) {
    AlarmRow& r = mutableRow(k);
    r.m_lit = false;
    r.m_displayCaption.clear();
    r.m_target.reset();
    r.m_watcherEnabled = false;
    r.m_ringerInterval = kRingerIntervalMs;
    r.m_ringerOn = false;
    r.m_ringStartMs.reset();
    r.m_nextRingMs.reset();
    r.m_timeBoxEnabled = true;
}

void AlarmEngine::clearAll() {
    for (int k = 1; k <= kAlarmRows; ++k)
        clearRow(k);
}

} // namespace qz
