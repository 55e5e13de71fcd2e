// SPDX-License-Identifier: MIT
#include "file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace qz {

namespace {
std::optional<InjectedWriteFault> g_fault;

QString systemErrorText(int error) {
    return error ? QString::fromLocal8Bit(std::strerror(error)) : QString();
}
} // namespace

void injectWriteFault(std::optional<InjectedWriteFault> fault) {
    g_fault = fault;
}

ReadResult readWholeFile(const QString& path, qint64 maxBytes) {
    const QFileInfo info(path);
    if (!info.exists()) return {ReadStatus::Missing, {}};
    if (!info.isFile()) return {ReadStatus::NotRegularFile, {}};
    if (info.size() > maxBytes) return {ReadStatus::TooLarge, {}};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {ReadStatus::Failed, {}};
    // readAll sizes its buffer by the file; read(maxBytes) would reserve the whole cap for
    // every small settings file.
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return {ReadStatus::Failed, {}};
    if (bytes.size() > maxBytes) return {ReadStatus::TooLarge, {}}; // grown since measured
    return {ReadStatus::Ok, bytes};
}

QString readFaultText(ReadStatus status, const QString& kind) {
    switch (status) {
    case ReadStatus::Ok:
        return {};
    case ReadStatus::Missing:
        return QStringLiteral("ファイルが見つかりません。");
    case ReadStatus::NotRegularFile:
        return QStringLiteral("通常のファイルではありません。");
    case ReadStatus::TooLarge:
        return kind + QStringLiteral("としては大きすぎます。");
    case ReadStatus::Failed:
        break;
    }
    return QStringLiteral("ファイルを読み込めません。");
}

FileFault faultFromErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return FileFault::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileFault::NoPermission;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return FileFault::DiskFull;
    case EISDIR:
        return FileFault::IsFolder;
    default:
        return FileFault::Other;
    }
}

QString fileFaultText(FileFault fault, const QString& systemText) {
    switch (fault) {
    case FileFault::NotFound:
        return QStringLiteral("保存先のフォルダが見つかりません。");
    case FileFault::NoPermission:
        return QStringLiteral("ファイルに書き込む権限がありません。");
    case FileFault::DiskFull:
        return QStringLiteral("ディスクの空き容量が足りません。");
    case FileFault::IsFolder:
        return QStringLiteral("同じ名前のフォルダがあるため、ファイルを書き込めません。");
    case FileFault::Other:
        break;
    }
    return systemText.isEmpty()
               ? QStringLiteral("ファイルを書き込めませんでした。")
               : QStringLiteral("ファイルを書き込めませんでした：%1").arg(systemText);
}

namespace {

// The reason for a failed open or write: errno where the system gave one, else what the path
// itself shows (platforms whose file calls leave errno alone).
FileFault classify(int error, const QString& path) {
    if (error != 0) return faultFromErrno(error);
    const QFileInfo info(path);
    if (info.isDir()) return FileFault::IsFolder;
    if (!info.dir().exists()) return FileFault::NotFound;
    if (info.exists() ? !info.isWritable() : !QFileInfo(info.absolutePath()).isWritable())
        return FileFault::NoPermission;
    return FileFault::Other;
}

// After a failed write in place the file may be cut short: put back what it held.
void restore(const QString& path, const std::optional<QByteArray>& old) {
    if (!old) return;
    const ReadResult now = readWholeFile(path);
    if (now.status == ReadStatus::Ok && now.bytes == *old) return;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) f.write(*old);
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    auto fail = [&](FileFault fault, const QString& systemText) {
        if (error) *error = fileFaultText(fault, systemText);
        return false;
    };
    const QFileInfo info(path);
    if (info.isDir()) return fail(FileFault::IsFolder, {});
    if (!info.dir().exists()) return fail(FileFault::NotFound, {});

    std::optional<QByteArray> old;
    if (info.exists()) {
        const ReadResult r = readWholeFile(path);
        if (r.status == ReadStatus::Ok) old = r.bytes;
    }

    QSaveFile f(path);
    // A folder the user may not write can still hold a file the user may write.
    f.setDirectWriteFallback(true);
    errno = 0;
    // Unbuffered: a full disk shows at the write below, not in the flush inside commit(),
    // which some library versions ignore and then rename an empty file over the old one.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int e = errno;
        return fail(classify(e, path), e ? systemErrorText(e) : f.errorString());
    }

    qint64 limit = bytes.size();
    if (g_fault) limit = qBound<qint64>(0, g_fault->afterBytes, bytes.size());
    qint64 written = 0;
    int writeError = 0;
    QString systemText;
    while (written < limit) {
        errno = 0;
        const qint64 n = f.write(bytes.constData() + written, limit - written);
        if (n <= 0) {
            writeError = errno;
            systemText = writeError ? systemErrorText(writeError) : f.errorString();
            break;
        }
        written += n;
    }
    const bool injected = g_fault && written == limit;
    if (injected) {
        writeError = g_fault->error;
        systemText = systemErrorText(writeError);
    }
    if (written < bytes.size() || injected) {
        // The reason is taken before cancelling, which resets the device's error.
        const FileFault fault = classify(writeError, path);
        f.cancelWriting();
        restore(path, old);
        return fail(fault, systemText);
    }
    errno = 0;
    if (!f.commit()) {
        const int e = errno;
        const QString text = e ? systemErrorText(e) : f.errorString();
        restore(path, old);
        return fail(classify(e, path), text);
    }
    return true;
}

QStringList removeStaleTemporaryFiles(const QString& folder, const QStringList& fileNames) {
    // The temporary file of a save is the file's own name, a dot and six letters or digits.
    // Matched by hand: name filters and patterns would compile regular expressions at every
    // start for a folder that almost never holds one.
    const auto isTemporaryOf = [](const QString& f, const QString& name) {
        if (f.size() != name.size() + 7 || !f.startsWith(name) || f[name.size()] != u'.')
            return false;
        for (qsizetype i = name.size() + 1; i < f.size(); ++i) {
            const char16_t c = f[i].unicode();
            if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')))
                return false;
        }
        return true;
    };
    QStringList removed;
    const QDir dir(folder);
    for (const QString& f : dir.entryList(QDir::Files | QDir::Hidden, QDir::NoSort))
        for (const QString& name : fileNames)
            if (isTemporaryOf(f, name) && QFile::remove(dir.filePath(f))) removed << f;
    return removed;
}

QString joinPath(const QString& folder, const QString& fileName) {
    QString f = QDir::toNativeSeparators(folder);
    if (f.endsWith(QDir::separator())) f.chop(1);
    return f + QDir::separator() + fileName;
}

QString filePart(const QString& path) {
    const qsizetype cut = qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return cut < 0 ? path : path.mid(cut + 1);
}

} // namespace qz
