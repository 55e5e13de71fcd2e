// SPDX-License-Identifier: MIT
#pragma once

#include "settings/settings_files.h"

#include <QString>

namespace qz {

// The few values more than one window reads or writes.
class AppState {
  public:
    // programFolder: where the settings files, wave files and help live.
    explicit AppState(QString programFolder);

    // How long a ring of the notification timer and of the countdown lasts, in seconds.
    int alarmRingSeconds() const { return m_alarmRingSeconds; }
    void setAlarmRingSeconds(int seconds) { m_alarmRingSeconds = seconds; }
    int countdownRingSeconds() const { return m_countdownRingSeconds; }
    void setCountdownRingSeconds(int seconds) { m_countdownRingSeconds = seconds; }
    // Whether the help window was opened from a tool window (it closes with the tool).
    bool helpOpened() const { return m_helpOpened; }
    void setHelpOpened(bool opened) { m_helpOpened = opened; }

    // The ten sound sources, as ONGENDATA.DAT holds them once loaded.
    const SoundTable& soundTable() const { return m_soundTable; }
    void setSoundTable(const SoundTable& table) { m_soundTable = table; }

    QString programFolder() const { return m_folder; }
    // programFolder() joined with a file name, e.g. programFile("RING.WAV").
    QString programFile(const QString& name) const;

    // TONESPAN.DAT and ONGENDATA.DAT are kept in the program folder unless told otherwise.
    void setSettingsFolder(const QString& folder) { m_settingsFolder = folder; }
    QString settingsFolder() const { return m_settingsFolder; }
    QString settingsFile(const QString& name) const;
    // No folder can take the settings: the first loads read what the program folder holds,
    // later loads keep what is in memory, and saves only check that the values could be written;
    // the user was told once that changes last until the end.
    void keepSettingsInMemory() { m_memoryOnly = true; }
    bool settingsInMemoryOnly() const { return m_memoryOnly; }

    // Reads TONESPAN.DAT; a missing file, or one that does not hold four numbers, is replaced
    // by the defaults 60, 30, 0, 0. Values stay usable in memory when the file cannot be
    // written, and durations chosen in this run that the file could not take stay in force
    // for the rest of the run (each load tries to write them again). Returns false when the
    // file could not be read or written.
    bool loadSpans();
    // Writes the four values; *error gets the reason in Japanese when it fails.
    bool saveSpans(QString* error = nullptr);
    // Reads ONGENDATA.DAT; a missing file is replaced by the default list. Returns false when
    // the file exists but could not be read whole (the entries read so far are kept).
    bool loadSoundTable();
    bool saveSoundTable(QString* error = nullptr);
    // What the last loadSoundTable() has to tell the user (a field refused for its length);
    // empty when all went well.
    QString soundTableNotice() const { return m_soundTableNotice; }
    // The file source k (1 to 10) plays: stored file names lie in the program folder.
    QString wavePath(int k) const;

    Spans spans() const {
        return {m_alarmRingSeconds, m_countdownRingSeconds, m_spareSpan3, m_spareSpan4};
    }
    void setSpans(const Spans& s);

  private:
    bool writeSpans(QString* error);
    void removeStaleFilesOnce();

    int m_alarmRingSeconds = 60;
    int m_countdownRingSeconds = 30;
    bool m_helpOpened = false;
    // The two durations TONESPAN.DAT keeps beside the ring durations; no window uses them.
    int m_spareSpan3 = 0;
    int m_spareSpan4 = 0;
    SoundTable m_soundTable;
    QString m_folder;
    QString m_settingsFolder;
    bool m_memoryOnly = false;
    bool m_memorySpansSet = false;
    bool m_memorySoundsSet = false;
    bool m_spansUnsaved = false;
    bool m_staleFilesRemoved = false;
    QString m_soundTableNotice;
};

// The one message of every ring-duration menu whose choice TONESPAN.DAT could not take.
QString spansNotSavedMessage(const QString& reason);

} // namespace qz
