// SPDX-License-Identifier: MIT
#include "file_io.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#endif

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

// What stops a file being written at path before anything is tried: a folder in its place, or
// no folder to hold it.
std::optional<FileFault> targetFault(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) return FileFault::IsFolder;
    if (!info.dir().exists()) return FileFault::NotFound;
    return std::nullopt;
}

// The reason for a failed open or write: errno where the system gave one, else what the path
// itself shows (platforms whose file calls leave errno alone).
FileFault classify(int error, const QString& path) {
    if (error != 0) return faultFromErrno(error);
    if (const auto fault = targetFault(path)) return *fault;
    const QFileInfo info(path);
    if (info.exists() ? !info.isWritable() : !QFileInfo(info.absolutePath()).isWritable())
        return FileFault::NoPermission;
    return FileFault::Other;
}

// Until this returns true the bytes may still be only in the system's cache, and a power cut
// could lose them after the program thought them saved.
bool syncToDisk(QFileDevice& f) {
#if defined(Q_OS_UNIX)
    return ::fsync(f.handle()) == 0;
#elif defined(Q_OS_WIN)
    return ::_commit(f.handle()) == 0;
#else
    return f.flush();
#endif
}

// A new or renamed name lasts only once its folder is synced.
void syncFolder(const QString& folder) {
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#else
    Q_UNUSED(folder);
#endif
}

struct WriteOutcome {
    bool complete = false;
    int error = 0; // errno of the failure, 0 when unknown
    QString systemText;
};

// All the bytes, or as far as the system (or an injected fault) lets them go.
WriteOutcome writeAll(QFileDevice& f, const QByteArray& bytes) {
    WriteOutcome out;
    qint64 limit = bytes.size();
    if (g_fault) limit = qBound<qint64>(0, g_fault->afterBytes, bytes.size());
    qint64 written = 0;
    while (written < limit) {
        errno = 0;
        const qint64 n = f.write(bytes.constData() + written, limit - written);
        if (n <= 0) {
            out.error = errno;
            out.systemText = out.error ? systemErrorText(out.error) : f.errorString();
            return out;
        }
        written += n;
    }
    if (g_fault) {
        out.error = g_fault->error;
        out.systemText = systemErrorText(out.error);
        return out;
    }
    out.complete = true;
    return out;
}

// What a write in place keeps until the new bytes are safe: the old bytes, and enough of the new
// ones to tell a finished write from a broken one.
struct Journal {
    QString target;
    QByteArray oldBytes;
    qint64 newSize = 0;
    QByteArray newHash;
};

constexpr quint32 kJournalMagic = 0x515A4A31;
constexpr auto kJournalSuffix = QLatin1StringView(".journal");
// A journal still being written: the file it guards has not been touched yet.
constexpr auto kPartSuffix = QLatin1StringView(".part");

QByteArray hashOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QByteArray journalBytes(const Journal& j) {
    QByteArray b;
    QDataStream s(&b, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    s << kJournalMagic << j.target << j.oldBytes << j.newSize << j.newHash;
    return b;
}

std::optional<Journal> parseJournal(const QByteArray& bytes) {
    QDataStream s(bytes);
    s.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    Journal j;
    s >> magic >> j.target >> j.oldBytes >> j.newSize >> j.newHash;
    if (s.status() != QDataStream::Ok || magic != kJournalMagic || !s.atEnd() || j.target.isEmpty())
        return std::nullopt;
    return j;
}

QString g_journalFolder;

// The journal's path once it is whole on disk; empty when it could not be kept.
QString writeJournal(const Journal& j) {
    if (g_journalFolder.isEmpty() || !QDir().mkpath(g_journalFolder)) return {};
    QTemporaryFile part(
        QDir(g_journalFolder)
            .filePath(QStringLiteral("save-%1-XXXXXX").arg(QCoreApplication::applicationPid()) +
                      kPartSuffix));
    if (!part.open()) return {};
    const QByteArray b = journalBytes(j);
    if (part.write(b) != b.size() || !part.flush() || !syncToDisk(part)) return {};
    QString path = part.fileName();
    path.chop(kPartSuffix.size());
    path += kJournalSuffix;
    // Renamed only when whole: a journal found at start is always complete.
    if (!part.rename(path)) return {};
    part.setAutoRemove(false);
    syncFolder(g_journalFolder);
    return path;
}

// Puts the old bytes back over a file a write in place left broken. True when the file holds
// them, synced.
bool restore(const QString& path, const QByteArray& old) {
    const ReadResult now = readWholeFile(path);
    if (now.status == ReadStatus::Ok && now.bytes == old) return true;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) return false;
    return f.write(old) == old.size() && syncToDisk(f);
}

// A journal named by a process still running is not ours to act on: a second copy of the
// program may be in the middle of that save. A process that ended (killed) is gone.
bool writerStillRuns(const QString& journalName) {
#ifdef Q_OS_UNIX
    const QStringList parts = journalName.split(u'-');
    bool ok = false;
    const qint64 pid = parts.size() == 3 ? parts[1].toLongLong(&ok) : 0;
    if (!ok || pid <= 0 || pid == QCoreApplication::applicationPid()) return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#else
    Q_UNUSED(journalName);
    return false;
#endif
}

} // namespace

void setInPlaceJournalFolder(const QString& folder) {
    g_journalFolder = folder;
}

QString inPlaceJournalFolder() {
    return g_journalFolder;
}

bool writeFileInPlace(const QString& path, const QByteArray& bytes, QString* error) {
    auto fail = [&](FileFault fault, const QString& systemText) {
        if (error) *error = fileFaultText(fault, systemText);
        return false;
    };
    if (const auto fault = targetFault(path)) return fail(*fault, {});
    const QFileInfo info(path);

    std::optional<QByteArray> old;
    if (info.exists()) {
        const ReadResult r = readWholeFile(path);
        if (r.status == ReadStatus::Ok) old = r.bytes;
    }
    // Without a journal a kill during the write cannot be undone; the save still goes ahead, as
    // refusing it would keep the user from saving at all.
    const QString journal =
        old ? writeJournal({info.absoluteFilePath(), *old, bytes.size(), hashOf(bytes)})
            : QString();

    QFile f(path);
    errno = 0;
    // Not truncated on opening: the file is never empty while the new bytes are on their way.
    const QIODevice::OpenMode mode = old ? QIODevice::ReadWrite | QIODevice::Unbuffered
                                         : QIODevice::WriteOnly | QIODevice::Unbuffered;
    if (!f.open(mode)) {
        const int e = errno;
        if (!journal.isEmpty()) QFile::remove(journal);
        return fail(classify(e, path), e ? systemErrorText(e) : f.errorString());
    }
    WriteOutcome out = writeAll(f, bytes);
    if (g_fault && g_fault->killed) return fail(FileFault::Other, {});
    if (out.complete) {
        errno = 0;
        if (!f.resize(bytes.size()) || !syncToDisk(f)) {
            out.complete = false;
            out.error = errno;
            out.systemText = out.error ? systemErrorText(out.error) : f.errorString();
        }
    }
    f.close();
    if (!out.complete) {
        const FileFault fault = classify(out.error, path);
        // A journal whose file could not be put back now stays for the next start.
        if (!old || restore(path, *old)) {
            if (!journal.isEmpty()) QFile::remove(journal);
        }
        return fail(fault, out.systemText);
    }
    if (!journal.isEmpty()) QFile::remove(journal);
    return true;
}

QStringList recoverInterruptedWrites() {
    QStringList restored;
    if (g_journalFolder.isEmpty()) return restored;
    const QDir dir(g_journalFolder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        const QString journalPath = dir.filePath(name);
        if (writerStillRuns(name)) continue;
        if (name.endsWith(kPartSuffix)) {
            // Killed while keeping the old bytes: the file itself was not touched yet.
            QFile::remove(journalPath);
            continue;
        }
        if (!name.endsWith(kJournalSuffix)) continue;
        const ReadResult read = readWholeFile(journalPath, 2 * kMaxReadBytes + 4096);
        const std::optional<Journal> j =
            read.status == ReadStatus::Ok ? parseJournal(read.bytes) : std::nullopt;
        if (!j) {
            if (read.status != ReadStatus::Failed) QFile::remove(journalPath);
            continue;
        }
        const ReadResult now = readWholeFile(j->target);
        if (now.status == ReadStatus::Missing) {
            // Removed since by someone else: nothing of ours to put back.
            QFile::remove(journalPath);
            continue;
        }
        const bool whole = now.status == ReadStatus::Ok &&
                           (now.bytes == j->oldBytes ||
                            (now.bytes.size() == j->newSize && hashOf(now.bytes) == j->newHash));
        if (whole) {
            QFile::remove(journalPath);
            continue;
        }
        if (restore(j->target, j->oldBytes)) {
            QFile::remove(journalPath);
            restored << j->target;
        }
    }
    return restored;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    auto fail = [&](FileFault fault, const QString& systemText) {
        if (error) *error = fileFaultText(fault, systemText);
        return false;
    };
    if (const auto fault = targetFault(path)) return fail(*fault, {});
    const QFileInfo info(path);

    QSaveFile f(path);
    errno = 0;
    // Unbuffered: a full disk shows at the write below, not in the flush inside commit(),
    // which some library versions ignore and then rename an empty file over the old one.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int e = errno;
        // A folder the user may not write can still hold a file the user may write.
        if ((e == EACCES || e == EPERM) && info.isFile() && info.isWritable())
            return writeFileInPlace(path, bytes, error);
        return fail(classify(e, path), e ? systemErrorText(e) : f.errorString());
    }
    const WriteOutcome out = writeAll(f, bytes);
    if (!out.complete) {
        // The reason is taken before cancelling, which resets the device's error.
        const FileFault fault = classify(out.error, path);
        f.cancelWriting();
        return fail(fault, out.systemText);
    }
    errno = 0;
    if (!f.commit()) {
        const int e = errno;
        return fail(classify(e, path), e ? systemErrorText(e) : f.errorString());
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

QStringList removeStaleTemporaryFilesOf(const QString& path) {
    const QFileInfo info(path);
    return removeStaleTemporaryFiles(info.absolutePath(), {info.fileName()});
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
