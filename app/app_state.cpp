// SPDX-License-Identifier: MIT
#include "app_state.h"

#include "files/file_io.h"

#include <QStringList>

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
    m_alarmRingSeconds = s.alarmRingSeconds;
    m_countdownRingSeconds = s.countdownRingSeconds;
    m_spareSpan3 = s.spareSpan3;
    m_spareSpan4 = s.spareSpan4;
}

void AppState::removeStaleFilesOnce() {
    // The first touch of the settings in a run: what an earlier run killed during a save left
    // behind goes.
    if (m_staleFilesRemoved) return;
    m_staleFilesRemoved = true;
    removeStaleTemporaryFiles(m_settingsFolder,
                              {QLatin1String(kSpansFile), QLatin1String(kSoundsFile)});
}

bool AppState::loadSpans() {
    if (m_memoryOnly) {
        // The program folder's file still holds the user's choice: it is read once, and what
        // is chosen in this run stays in force until the end.
        if (!m_memorySpansSet) {
            m_memorySpansSet = true;
            const ReadResult r = readWholeFile(programFile(QLatin1String(kSpansFile)));
            const auto s = r.status == ReadStatus::Ok ? parseSpans(r.bytes) : std::nullopt;
            setSpans(s.value_or(Spans{}));
        }
        return true;
    }
    removeStaleFilesOnce();
    if (m_spansUnsaved) {
        // A duration chosen in this run that the file could not take stays in force; the file
        // gets it as soon as it can be written.
        m_spansUnsaved = !writeSpans(nullptr);
        return !m_spansUnsaved;
    }
    const QString path = settingsFile(QLatin1String(kSpansFile));
    const ReadResult r = readWholeFile(path);
    if (r.status == ReadStatus::Ok) {
        if (auto s = parseSpans(r.bytes)) {
            setSpans(*s);
            return true;
        }
    } else if (r.status != ReadStatus::Missing) {
        // Unreadable: keep what is in memory rather than overwrite a file we cannot see.
        return false;
    }
    // Missing, or not four numbers: the defaults are written and used.
    setSpans(Spans{});
    if (!writeSpans(nullptr)) return false;
    const ReadResult back = readWholeFile(path);
    if (back.status == ReadStatus::Ok)
        if (auto s = parseSpans(back.bytes)) setSpans(*s);
    return true;
}

bool AppState::writeSpans(QString* error) {
    if (m_memoryOnly) return true;
    return writeFileAtomically(settingsFile(QLatin1String(kSpansFile)), spansBytes(spans()), error);
}

bool AppState::saveSpans(QString* error) {
    if (m_memoryOnly) m_memorySpansSet = true;
    m_spansUnsaved = !writeSpans(error);
    return !m_spansUnsaved;
}

bool AppState::loadSoundTable() {
    // Without a folder to keep them, the program folder's sources are read once and edits
    // last for the run.
    if (m_memoryOnly && m_memorySoundsSet) return true;
    if (!m_memoryOnly) removeStaleFilesOnce();
    m_soundTable = SoundTable{};
    m_soundTableNotice.clear();
    const QString path = m_memoryOnly ? programFile(QLatin1String(kSoundsFile))
                                      : settingsFile(QLatin1String(kSoundsFile));
    ReadResult r = readWholeFile(path);
    if (r.status == ReadStatus::Missing) {
        m_soundTable = defaultSoundTable(m_folder);
        if (m_memoryOnly) m_memorySoundsSet = true;
        if (m_memoryOnly || !saveSoundTable()) return true; // defaults stay usable in memory
        m_soundTable = SoundTable{};
        r = readWholeFile(path);
    }
    if (r.status != ReadStatus::Ok) return false;
    if (m_memoryOnly) m_memorySoundsSet = true;
    const SoundTableRead read = parseSoundTable(r.bytes, m_soundTable);
    if (!read.tooLongEntries.isEmpty()) {
        QStringList numbers;
        for (int k : read.tooLongEntries)
            numbers << QString::number(k);
        m_soundTableNotice =
            QStringLiteral("音源設定ファイル（%1）の音源 %2 の名前またはファイル名が長すぎるため、"
                           "読み込みませんでした。\nほかの音源はそのまま使えます。")
                .arg(QLatin1String(kSoundsFile), numbers.join(QStringLiteral("、")));
    }
    // Entries after the point where the file stopped being a table are left unset: say why.
    if (!read.problem.isEmpty()) {
        if (!m_soundTableNotice.isEmpty()) m_soundTableNotice += QStringLiteral("\n\n");
        m_soundTableNotice +=
            QStringLiteral("音源設定ファイル（%1）を最後まで読めませんでした。\n%2\n"
                           "読めた音源はそのまま使えます。")
                .arg(QLatin1String(kSoundsFile), read.problem);
    }
    return read.entries == 10;
}

bool AppState::saveSoundTable(QString* error) {
    const auto bytes = soundTableBytes(m_soundTable, error);
    if (!bytes) return false;
    if (m_memoryOnly) {
        m_memorySoundsSet = true;
        return true;
    }
    return writeFileAtomically(settingsFile(QLatin1String(kSoundsFile)), *bytes, error);
}

QString AppState::wavePath(int k) const {
    if (k < 1 || k > int(m_soundTable.size())) return {};
    return resolveWavePath(m_folder, m_soundTable[size_t(k - 1)].path());
}

QString spansNotSavedMessage(const QString& reason) {
    return QStringLiteral(
               "鳴る時間の設定をファイル（%1）に保存できませんでした。\n%2\n"
               "選んだ時間はプログラムを終了するまで使われます。次回の起動時には、"
               "ファイルに保存されている設定（ファイルがなければ既定の設定）に戻ります。")
        .arg(QLatin1String(kSpansFile), reason);
}

} // namespace qz
