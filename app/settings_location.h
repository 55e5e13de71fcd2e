// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace qz {

// Where TONESPAN.DAT and ONGENDATA.DAT are kept.
enum class SettingsPlace {
    ProgramFolder, // beside the executable, as a copy the user owns
    ConfigFolder,  // the user's configuration folder, for an installed program
    MemoryOnly,    // no folder could take them: values last until the program ends
};

struct SettingsLocation {
    SettingsPlace place = SettingsPlace::ProgramFolder;
    QString folder;     // empty for MemoryOnly
    QStringList copied; // settings files copied from the program folder on this start
    QString message;    // for the user when the settings cannot be kept; empty otherwise
};

// What the choice is made from; the real values come from the running program, tests give
// their own.
struct SettingsFolders {
    QString programFolder;
    // The program folder can be written and is not an installed copy.
    bool programFolderWritable = false;
    QString configFolder;
};

// Keeps the settings beside the program when the user may write there; otherwise in the
// configuration folder, created when needed and seeded with the files the program folder
// holds (each file only when the configuration folder does not have it yet).
SettingsLocation chooseSettingsLocation(const SettingsFolders& folders);

// True when a file can be created in the folder (tried, not guessed from permission bits).
bool folderIsWritable(const QString& folder);

// The install places this file in the program folder: an installed copy keeps its settings
// in the user's configuration folder even when the folder is writable (by an administrator).
inline constexpr const char* kInstalledMarkerFile = "INSTALLED";

// The real inputs of this run: the executable's folder, its writability and the marker, and
// the configuration folder of the platform.
SettingsFolders runningProgramFolders(const QString& programFolder);

// Where saves in place keep the old bytes until they are done: a folder of its own in the
// configuration folder, which the user may write even when the program folder is locked.
QString inPlaceJournalFolderOf(const SettingsFolders& folders);

// A line for the version box naming where the settings are kept.
QString settingsPlaceText(const QString& folder, bool memoryOnly);

} // namespace qz
