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
// the file itself may be written, the file is written in place, and put back as it was when the
// write fails. Returns false with the Japanese reason in *error.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Removes what a save killed half-way leaves beside the file: "<name>.XXXXXX" temporary
// files of the given names. Returns the names removed.
QStringList removeStaleTemporaryFiles(const QString& folder, const QStringList& fileNames);

// Paths: built with the platform's separator, split at either "\" or "/".
QString joinPath(const QString& folder, const QString& fileName);
// The part after the last separator; a path without one whole.
QString filePart(const QString& path);

// Test seam: makes the next writes fail as the system would after writing `afterBytes` bytes
// of the new content, with `error` as errno (ENOSPC for a full disk). Nothing: writes work.
struct InjectedWriteFault {
    qint64 afterBytes = 0;
    int error = 0;
};
void injectWriteFault(std::optional<InjectedWriteFault> fault);

} // namespace qz
