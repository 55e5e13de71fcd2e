#include "app_state.h"

#include "sound/file_io.h"

namespace qz {

AppState::AppState(QString programFolder) : m_folder(std::move(programFolder)) {}

QString AppState::programFile(const QString& name) const { return joinPath(m_folder, name); }

void AppState::setSpans(const Spans& s) {
    alarmRingSeconds = s.alarmRingSeconds;
    countdownRingSeconds = s.countdownRingSeconds;
    spareSpan3 = s.spareSpan3;
    spareSpan4 = s.spareSpan4;
}

bool AppState::loadSpans() {
    const QString path = programFile(QLatin1String(kSpansFile));
    const ReadResult r = readWholeFile(path);
    if (r.status == ReadStatus::Ok) {
        if (auto s = parseSpans(r.bytes)) {
            setSpans(*s);
            return true;
        }
    } else if (r.status == ReadStatus::Failed) {
        // Unreadable: keep what is in memory rather than overwrite a file we cannot see.
        return false;
    }
    // Missing, or not four numbers: the defaults are written and used.
    setSpans(Spans{});
    if (!saveSpans())
        return false;
    const ReadResult back = readWholeFile(path);
    if (back.status == ReadStatus::Ok)
        if (auto s = parseSpans(back.bytes))
            setSpans(*s);
    return true;
}

bool AppState::saveSpans(QString* error) {
    return writeFileAtomically(programFile(QLatin1String(kSpansFile)), spansBytes(spans()), error);
}

bool AppState::loadSoundTable() {
    soundTable = SoundTable{};
    const QString path = programFile(QLatin1String(kSoundsFile));
    ReadResult r = readWholeFile(path);
    if (r.status == ReadStatus::Missing) {
        soundTable = defaultSoundTable(m_folder);
        if (!saveSoundTable())
            return true; // defaults stay usable in memory
        soundTable = SoundTable{};
        r = readWholeFile(path);
    }
    if (r.status != ReadStatus::Ok)
        return false;
    return parseSoundTable(r.bytes, soundTable) == 10;
}

bool AppState::saveSoundTable(QString* error) {
    const auto bytes = soundTableBytes(soundTable, error);
    if (!bytes)
        return false;
    return writeFileAtomically(programFile(QLatin1String(kSoundsFile)), *bytes, error);
}

} // namespace qz
