#include "app_state.h"

#include "sound/file_io.h"

namespace qz {

AppState::AppState(QString programFolder)
    : m_folder(std::move(programFolder)), m_settingsFolder(m_folder) {}

QString AppState::programFile(const QString& name) const {
    return joinPath(m_folder, name);
}

QString AppState::settingsFile(const QString& name) const {
    return joinPath(m_settingsFolder, name);
}

void AppState::setSpans(const Spans& s) {
    alarmRingSeconds = s.alarmRingSeconds;
    countdownRingSeconds = s.countdownRingSeconds;
    spareSpan3 = s.spareSpan3;
    spareSpan4 = s.spareSpan4;
}

bool AppState::loadSpans() {
    if (m_memoryOnly) return true;
    const QString path = settingsFile(kSpansFile);
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
    if (!saveSpans()) return false;
    const ReadResult back = readWholeFile(path);
    if (back.status == ReadStatus::Ok)
        if (auto s = parseSpans(back.bytes)) setSpans(*s);
    return true;
}

bool AppState::saveSpans(QString* error) {
    if (m_memoryOnly) return true;
    return writeFileAtomically(settingsFile(kSpansFile), spansBytes(spans()), error);
}

bool AppState::loadSoundTable() {
    if (m_memoryOnly) {
        if (!m_memorySoundsSet) soundTable = defaultSoundTable(m_folder);
        m_memorySoundsSet = true;
        return true;
    }
    soundTable = SoundTable{};
    const QString path = settingsFile(kSoundsFile);
    ReadResult r = readWholeFile(path);
    if (r.status == ReadStatus::Missing) {
        soundTable = defaultSoundTable(m_folder);
        if (!saveSoundTable()) return true; // defaults stay usable in memory
        soundTable = SoundTable{};
        r = readWholeFile(path);
    }
    if (r.status != ReadStatus::Ok) return false;
    return parseSoundTable(r.bytes, soundTable) == 10;
}

bool AppState::saveSoundTable(QString* error) {
    const auto bytes = soundTableBytes(soundTable, error);
    if (!bytes) return false;
    if (m_memoryOnly) {
        m_memorySoundsSet = true;
        return true;
    }
    return writeFileAtomically(settingsFile(kSoundsFile), *bytes, error);
}

} // namespace qz
