// SPDX-License-Identifier: MIT
#pragma once

#include "files/record_format.h"

#include <QList>
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
    // The three fields as the file held them (number, name, path), so that an entry nobody
    // edited is written back byte for byte.
    std::array<std::optional<ReadField>, 3> asRead;
    QString name() const { return valueText(sourceName); }
    // As stored: a full path, or a bare file name in the program folder. Unset counts as
    // empty: the source beeps.
    QString path() const { return valueText(wavePath); }
    bool beepOnly() const { return path().isEmpty(); }
};

// Sources 1 to 10 at indexes 0 to 9.
using SoundTable = std::array<SoundSource, 10>;

// The default list. The waves that come with the program are stored as full paths in the
// program folder, as existing files have them; where the folder's name cannot be stored (a name
// code page 932 cannot hold), by file name alone, found in the program folder when played.
// Without a folder, every wave is given by file name alone.
SoundTable defaultSoundTable(const QString& programFolder = {});
// The file a stored wave path plays: a bare file name lies in the program folder; a path with a
// folder is used as it is; empty stays empty (beep).
QString resolveWavePath(const QString& programFolder, const QString& stored);
// What to store for a wave file chosen in a dialog: the full path, or the file name alone when
// the file lies in the program folder and only the folder's name cannot be written.
QString storableWavePath(const QString& chosen, const QString& programFolder);

QByteArray spansBytes(const Spans& s);
// Nothing when the bytes do not hold four numbers, or when either ring duration is under one
// second (a ring that could not sound). The two spare values are taken whatever they hold.
std::optional<Spans> parseSpans(const QByteArray& bytes);

// Fails (nothing, with a reason) when a name or path cannot be written faithfully.
std::optional<QByteArray> soundTableBytes(const SoundTable& t, QString* error = nullptr);

struct SoundTableRead {
    int entries = 0;           // whole entries read, in order
    QList<int> tooLongEntries; // entries (1 to 10) with a field refused for its length
    // Why the reading stopped short of ten entries, in the words of every reader; empty when
    // all ten were read.
    QString problem;
};
// Reads entries in order; stops at the first field the bytes do not hold, or that holds bytes
// that are no text where a number belongs, leaving the rest unset.
SoundTableRead parseSoundTable(const QByteArray& bytes, SoundTable& into);

} // namespace qz
