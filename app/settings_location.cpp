// SPDX-License-Identifier: MIT
#include "settings_location.h"

#include "files/file_io.h"
#include "settings/settings_files.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace qz {

namespace {

QString cannotKeepMessage(const QString& folder, bool created) {
    const QString reason =
        created ? QStringLiteral("設定ファイルを保存するフォルダに書き込めません。")
                : QStringLiteral("設定ファイルを保存するフォルダを作成できませんでした。");
    return reason +
           QStringLiteral(
               "\n%1\n\n"
               "アラーム音の時間と音源の設定は、プログラムを終了するまでの間だけ有効です。")
               .arg(QDir::toNativeSeparators(folder));
}

} // namespace

bool folderIsWritable(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".qztimer-probe-XXXXXX")));
    return probe.open();
}

SettingsLocation chooseSettingsLocation(const SettingsFolders& folders) {
    SettingsLocation loc;
    if (folders.programFolderWritable) {
        loc.place = SettingsPlace::ProgramFolder;
        loc.folder = folders.programFolder;
        return loc;
    }
    const QString config = folders.configFolder;
    const bool created = !config.isEmpty() && QDir().mkpath(config);
    if (!created || !folderIsWritable(config)) {
        loc.place = SettingsPlace::MemoryOnly;
        loc.message = cannotKeepMessage(config, created);
        return loc;
    }
    loc.place = SettingsPlace::ConfigFolder;
    loc.folder = QDir::toNativeSeparators(config);
    for (const char* name : {kSpansFile, kSoundsFile}) {
        const QString file = QString::fromLatin1(name);
        const QString target = joinPath(loc.folder, file);
        if (QFileInfo::exists(target)) continue;
        const ReadResult source = readWholeFile(joinPath(folders.programFolder, file));
        // A file that is not there or cannot be read is simply not a starting point: the
        // defaults are written on first use, as they would be beside the program.
        if (source.status == ReadStatus::Ok && writeFileAtomically(target, source.bytes))
            loc.copied.append(file);
    }
    return loc;
}

SettingsFolders runningProgramFolders(const QString& programFolder) {
    SettingsFolders f;
    f.programFolder = programFolder;
    const bool installed =
        QFileInfo::exists(QDir(programFolder).filePath(QLatin1String(kInstalledMarkerFile)));
    f.programFolderWritable = !installed && folderIsWritable(programFolder);
#ifdef Q_OS_WIN
    // %APPDATA%\<program>: the roaming folder, where Windows programs keep what the user chose.
    f.configFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
#else
    f.configFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
#endif
    return f;
}

QString inPlaceJournalFolderOf(const SettingsFolders& folders) {
    if (folders.configFolder.isEmpty()) return {};
    return QDir(folders.configFolder).filePath(QStringLiteral("unfinished-saves"));
}

QString settingsPlaceText(const QString& folder, bool memoryOnly) {
    if (memoryOnly) return QStringLiteral("設定の保存先：なし（終了まで有効）");
    return QStringLiteral("設定の保存先：%1").arg(QDir::toNativeSeparators(folder));
}

} // namespace qz
