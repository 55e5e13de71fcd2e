// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace qz {

inline constexpr int kCountdownTimerMs = 300;

// The two fixed sounds, in the program folder.
inline constexpr const char* kRingWave = "RING.WAV";
inline constexpr const char* kBellWave = "1min07A.WAV";

enum class SoundChoice { Ring, Bell, Beep };

// Lives as long as the countdown window.
struct CountdownState {
    bool running = false;
    int startHour = 0;
    int startMinute = 0;
    int startSecond = 0;
    qint64 addHours = 0;
    qint64 addMinutes = 0;
    qint64 addSeconds = 0;
    QString targetDate; // "yyyy/mm/dd"
    QString targetTime; // "hh:mm:ss"; empty: nothing to ring for
    // The target as real seconds since the epoch; the two texts show it on the local clock.
    qint64 targetSeconds = 0;
    // The real second the ring began: the target, or later when the program only saw the
    // target pass late (a negative entry, a machine woken from sleep). Unset: not ringing yet.
    std::optional<qint64> ringFromSeconds;
    QString startDate;
    SoundChoice soundChoice = SoundChoice::Ring;
    int blinkPhase = 0; // survives resets, so a new ring may begin with either colour
};

struct SoundRequest {
    enum class Kind { None, Wave, Beep };
    Kind kind = Kind::None;
    QString fileName; // bare name in the program folder, for Wave
    bool operator==(const SoundRequest&) const = default;
};

enum class RingTimerRequest { Keep, Start, Stop };

// What one operation asks the window to show and do. Unset texts are left as they are.
struct CountdownOutputs {
    std::optional<QString> currentTime;
    std::optional<QString> currentDate;
    std::optional<QString> timeLeft; // in the window and in the big view
    std::optional<QString> startTime;
    std::optional<QString> startDate;
    std::optional<QString> targetTime;
    std::optional<QString> targetDate;
    // Lit: the countdown shows it rang; it blinks while ringing and stays lit once stopped.
    std::optional<bool> lampLit;
    SoundRequest sound;
    RingTimerRequest ringTimer = RingTimerRequest::Keep;
    bool raiseWindow = false;
    // Entry boxes emptied, "Ring" selected, focus to the hours box.
    bool resetEntries = false;
};

// One entry box as a whole number: a plain number is rounded with the two-digit pattern (halves
// away from zero), anything else is read for its leading number. Empty is 0.
qint64 countdownEntryValue(const QString& text);
// The two-digit pattern: "5" -> "05", "1.5" -> "02", "-5" -> "-05", "123" -> "123"; a text that
// is not a plain number is returned unchanged.
QString formatEntry00(const QString& text);

// The start time as the system shows a time by default ("9:05:03").
QString startTimeText(QTime t);
// Time left: "hh:mm:ss" with hours unlimited, or the signed seconds once the target has passed.
QString timeLeftText(qint64 remainingSeconds);

CountdownOutputs startCountdown(CountdownState& s, const QString& hoursText,
                                const QString& minutesText, const QString& secondsText,
                                const QDateTime& now);
CountdownOutputs clockTick(CountdownState& s, const QDateTime& now);
CountdownOutputs ringTick(CountdownState& s, const QDateTime& now, int countdownRingSeconds);
CountdownOutputs stopRinging(CountdownState& s);
CountdownOutputs clearCountdown(CountdownState& s);
void resetCountdown(CountdownState& s);

// Real seconds from now (whole seconds) to the target; nothing without a target.
std::optional<qint64> secondsToTarget(const CountdownState& s, const QDateTime& now);
// Whether the target has been reached (date and time).
bool targetReached(const CountdownState& s, const QDateTime& now);

} // namespace qz
