// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace qz {

enum class ReadStatus { Ok, Missing, Failed, NotRegularFile, TooLarge };

struct ReadResult {
    ReadStatus status = ReadStatus::Failed;
    QByteArray bytes;
};

// Far above any settings or sheet file, far below what would hurt to hold in memory.
inline constexpr qint64 kMaxReadBytes = 16 * 1024 * 1024;
// Only regular files are read: a pipe would block the program until someone writes to it and a
// device could be read for ever.
ReadResult readWholeFile(const QString& path, qint64 maxBytes = kMaxReadBytes);
// Why a file could not be read, in words the user reads (empty for Ok); `kind` names what the
// file should have been ("時間計算ﾌｧｲﾙ"), for one too large to be that.
QString readFaultText(ReadStatus status, const QString& kind);

// Why a file could not be written, in words the user reads.
enum class FileFault { NotFound, NoPermission, DiskFull, IsFolder, Other };
// The Japanese reason; Other carries the system's own text after it.
QString fileFaultText(FileFault fault, const QString& systemText = {});
// The fault an errno value stands for (0 and unknown values: Other).
FileFault faultFromErrno(int error);

// Writes to a temporary file beside the target and renames it over the target, so the old file
// stays whole when anything fails (a full disk included). Where the folder takes no new file but
// the file itself may be written, the file is written in place (writeFileInPlace). Returns false
// with the Japanese reason in *error.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Overwrites an existing file in place, for a folder that takes no new file. The old bytes are
// first kept in the journal folder, synced, and dropped only once the new bytes are synced: a
// save cut short by a crash or a kill is undone by recoverInterruptedWrites() at the next start.
// A failed write puts the old bytes back at once. Without a journal folder that can be written
// the old bytes are kept in memory only (a failure is undone, a kill is not).
bool writeFileInPlace(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Where writes in place keep the old bytes: a folder the user may write, away from the files
// saved (the program's configuration folder). Set once at start; created when first needed.
void setInPlaceJournalFolder(const QString& folder);
QString inPlaceJournalFolder();

// Called at start, before any file is read: each file a write in place left neither as it was
// nor as it was to become gets its old bytes back. Returns the paths put back. A file that cannot
// be put back keeps its journal for the next start.
QStringList recoverInterruptedWrites();

// Removes what a save killed half-way leaves beside the file: "<name>.XXXXXX" temporary
// files of the given names. Returns the names removed.
QStringList removeStaleTemporaryFiles(const QString& folder, const QStringList& fileNames);
// The same for the one file a save is about to write.
QStringList removeStaleTemporaryFilesOf(const QString& path);

// Paths: built with the platform's separator, split at either "\" or "/".
QString joinPath(const QString& folder, const QString& fileName);
// The part after the last separator; a path without one whole.
QString filePart(const QString& path);

// Test seam: makes the next writes fail as the system would after writing `afterBytes` bytes
// of the new content, with `error` as errno (ENOSPC for a full disk). Nothing: writes work.
// `killed`: a write in place stops there as a killed program would, leaving the file and the
// journal as they are for recoverInterruptedWrites().
struct InjectedWriteFault {
    qint64 afterBytes = 0;
    int error = 0;
    bool killed = false;
};
void injectWriteFault(std::optional<InjectedWriteFault> fault);

} // namespace qz
