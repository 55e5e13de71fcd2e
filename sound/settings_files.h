#pragma once

#include "record_format.h"

#include <QString>
#include <array>
#include <optional>

namespace qz {

inline constexpr const char* kSpansFile = "TONESPAN.DAT";
inline constexpr const char* kSoundsFile = "ONGENDATA.DAT";

// The four ring-duration values, in file order.
struct Spans {
    int alarmRingSeconds = 60;
    int countdownRingSeconds = 30;
    int spareSpan3 = 0;
    int spareSpan4 = 0;
    bool operator==(const Spans&) const = default;
};

struct SoundSource {
    RecordValue sourceNo;
    RecordValue sourceName;
    RecordValue wavePath;
    QString name() const { return valueText(sourceName); }
    // Unset counts as empty: the source beeps.
    QString path() const { return valueText(wavePath); }
    bool beepOnly() const { return path().isEmpty(); }
};

// Sources 1 to 10 at indexes 0 to 9.
using SoundTable = std::array<SoundSource, 10>;

SoundTable defaultSoundTable(const QString& programFolder);

QByteArray spansBytes(const Spans& s);
// Nothing when the bytes do not hold four numbers.
std::optional<Spans> parseSpans(const QByteArray& bytes);

// Fails (nothing, with a reason) when a name or path cannot be written faithfully.
std::optional<QByteArray> soundTableBytes(const SoundTable& t, QString* error = nullptr);
// Reads entries in order; stops at the first field the bytes do not hold, leaving the rest
// unset. Returns the number of whole entries read.
int parseSoundTable(const QByteArray& bytes, SoundTable& into);

} // namespace qz
