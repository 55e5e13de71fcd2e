#pragma once

#include <QByteArray>
#include <QString>

namespace qz {

enum class ReadStatus { Ok, Missing, Failed };

struct ReadResult {
    ReadStatus status = ReadStatus::Failed;
    QByteArray bytes;
};

ReadResult readWholeFile(const QString& path);

// Writes to a temporary file beside the target and renames it over the target, so the old file
// stays whole when anything fails. Returns false with a reason in *error.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Paths: built with the platform's separator, split at either "\" or "/".
QString joinPath(const QString& folder, const QString& fileName);
// The part after the last separator; a path without one whole.
QString filePart(const QString& path);

} // namespace qz
