#pragma once

#include "sound/settings_files.h"

#include <QString>

namespace qz {

// The few values more than one window reads or writes.
class AppState {
public:
    // programFolder: where the settings files, wave files and help live.
    explicit AppState(QString programFolder);

    int alarmRingSeconds = 60;
    int countdownRingSeconds = 30;
    int spareSpan3 = 0;
    int spareSpan4 = 0;
    SoundTable soundTable;
    bool helpOpened = false;

    QString programFolder() const { return m_folder; }
    // programFolder() joined with a file name, e.g. programFile("RING.WAV").
    QString programFile(const QString& name) const;

    // Reads TONESPAN.DAT; a missing file, or one that does not hold four numbers, is replaced
    // by the defaults 60, 30, 0, 0. Values stay usable in memory when the file cannot be
    // written. Returns false when the file could not be read or written.
    bool loadSpans();
    bool saveSpans(QString* error = nullptr);
    // Reads ONGENDATA.DAT; a missing file is replaced by the default list. Returns false when
    // the file exists but could not be read whole (the entries read so far are kept).
    bool loadSoundTable();
    bool saveSoundTable(QString* error = nullptr);

    Spans spans() const { return {alarmRingSeconds, countdownRingSeconds, spareSpan3, spareSpan4}; }
    void setSpans(const Spans& s);

private:
    QString m_folder;
};

} // namespace qz
