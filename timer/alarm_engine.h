// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>
#include <array>
#include <functional>
#include <optional>

namespace qz {

inline constexpr int kAlarmRows = 10;
inline constexpr int kWatcherIntervalMs = 100;
inline constexpr int kRingerIntervalMs = 100;
inline constexpr int kBeepRingerIntervalMs = 800;

// One alarm row: its target, its two timers and what its controls show. The memo text itself
// belongs to the window (the user types it); clearing a row empties it there. Only the engine
// changes a row; everyone else reads it.
class AlarmRow {
  public:
    // The clock time the row waits for, when armed.
    const std::optional<QTime>& target() const { return m_target; }
    bool watcherEnabled() const { return m_watcherEnabled; }
    bool ringerOn() const { return m_ringerOn; }
    // The ringer's period; 0 after a stop: no more ticks.
    int ringerInterval() const { return m_ringerInterval; }
    // Lit: the row shows it rang (its lamp on, its memo marked). It blinks while the row
    // rings and stays lit once the ring is stopped, until the row is cleared.
    bool lit() const { return m_lit; }
    const QString& displayCaption() const { return m_displayCaption; }
    bool timeBoxEnabled() const { return m_timeBoxEnabled; }
    // Whether the ringer's periodic timer actually runs.
    bool ringerTicking() const { return m_ringerOn && m_ringerInterval > 0; }

  private:
    friend class AlarmEngine;

    std::optional<QTime> m_target;
    bool m_dark = false; // the last ring put the lamp out; the next one lights it

    bool m_watcherEnabled = false;
    bool m_ringerOn = false;
    int m_ringerInterval = kRingerIntervalMs;
    // The real instant (milliseconds since the epoch) the ring began: the target's own instant,
    // or the tick that found the target passed when the clock never showed the target (a time in
    // the hour skipped when the clocks go forward). Rings are measured from it in real time, so
    // one ends after its duration across midnight and daylight-saving changes alike.
    std::optional<qint64> m_ringStartMs;
    // When the next ring falls due (milliseconds since the epoch), while the ringer runs.
    std::optional<qint64> m_nextRingMs;

    bool m_lit = false;
    QString m_displayCaption;
    bool m_timeBoxEnabled = true;
};

// What a row's lamp shows, in words for a screen reader: 鳴動中 while the row rings (the lamp
// blinks), 停止 once it stopped (the lamp stays red until クリア), セット中 while armed, else 消灯.
QString lampStateText(const AlarmRow& r);

// What Enter in a row's time box leads to.
enum class EntryOutcome {
    Armed,      // focus to the memo box
    Passed,     // "already passed" message; box emptied
    Invalid,    // entry-form message; box emptied
    MoveToMemo, // empty box of an armed row
    Beep,       // empty box of an unarmed row
};

// What happened to one row when the engine was moved on to a new instant: the one report of a
// step. On Due the window comes back to the front with the focus on the row's stop button.
struct RowEvent {
    enum class Kind {
        Due,     // the target has come; repeats on every advance while the row rings
        Rang,    // blinked; play fileName, or beep
        Stopped, // the ring duration has run out
    };
    int row = 0;
    Kind kind = Kind::Due;
    bool firstDue = false; // Due: the row has just begun to ring
    QString fileName;      // Rang: set on the player before the request, even when empty
    bool beep = false;     // Rang: beep instead of playing fileName
};

// The ten rows of the notification timer. Rows are numbered 1 to 10. The engine never reads
// the clock and never plays anything: callers pass the time in and act on the results.
class AlarmEngine {
  public:
    // The window's copy of the alarm ring duration; a change applies to a row ringing now.
    int ringSeconds() const { return m_ringSeconds; }
    void setRingSeconds(int seconds) { m_ringSeconds = seconds; }
    // Set around the wide-layout commands: the next time-box focus then leaves its row alone.
    void setKeepRowOnNextFocus(bool keep) { m_keepRowOnNextFocus = keep; }
    bool keepsRowOnNextFocus() const { return m_keepRowOnNextFocus; }

    const AlarmRow& row(int k) const;

    // A row's time box got the focus: the row is disarmed unless setKeepRowOnNextFocus says not to.
    void timeBoxFocused(int k);
    // Enter in a row's time box holding `text`, at `now`.
    EntryOutcome enter(int k, const QString& text, const QDateTime& now);

    // Moves every row on to `now`: looks for the targets that have come and rings the rows
    // whose next ring falls due. A ringing row rings one interval after it began, then at its
    // own interval. wavePath(k) is row k's sound, read when the row rings.
    QList<RowEvent> advanceTo(const QDateTime& now, const std::function<QString(int)>& wavePath);
    // Whether a row waits for its target or rings; the engine need not be advanced otherwise.
    bool busy() const;

    void stopRow(int k);
    void clearRow(int k);
    bool ringerEnabled(int k) const { return row(k).ringerOn(); }
    void clearAll();
    // The row's number, source or display label was clicked on a row whose ringer is off.
    void enableTimeBox(int k) { mutableRow(k).m_timeBoxEnabled = true; }

    bool armed(int k) const { return row(k).target().has_value(); }

  private:
    AlarmRow& mutableRow(int k);
    void disarm(AlarmRow& r);
    // Whether the row's target has come (it then rings); repeats while the row rings.
    bool targetCome(AlarmRow& r, const QDateTime& now);
    // One ring of row k: what it did, if anything.
    std::optional<RowEvent> ring(int k, const QDateTime& now, const QString& wavePath);

    std::array<AlarmRow, kAlarmRows> m_rows;
    int m_ringSeconds = 60;
    bool m_keepRowOnNextFocus = false;
};

} // namespace qz
