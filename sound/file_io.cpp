#include "file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qz {

ReadResult readWholeFile(const QString& path) {
    QFile f(path);
    if (!f.exists())
        return {ReadStatus::Missing, {}};
    if (!f.open(QIODevice::ReadOnly))
        return {ReadStatus::Failed, {}};
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return {ReadStatus::Failed, {}};
    return {ReadStatus::Ok, bytes};
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile f(path);
    auto fail = [&](const QString& what) {
        if (error)
            *error = what;
        f.cancelWriting();
        return false;
    };
    if (!f.open(QIODevice::WriteOnly))
        return fail(f.errorString());
    if (f.write(bytes) != bytes.size())
        return fail(f.errorString());
    if (!f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

QString joinPath(const QString& folder, const QString& fileName) {
    QString f = QDir::toNativeSeparators(folder);
    if (f.endsWith(QDir::separator()))
        f.chop(1);
    return f + QDir::separator() + fileName;
}

QString filePart(const QString& path) {
    const qsizetype cut = qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return cut < 0 ? path : path.mid(cut + 1);
}

} // namespace qz
