// SPDX-License-Identifier: MIT
// Writes the desktop icons of the program, made from its own picture, into a hicolor theme
// tree: <out>/hicolor/<n>x<n>/apps/<id>.png, and the scalable <id>.svg when built with SVG;
// and <out>/<id>.ico, the icon the Windows executable carries.
#include "look/app_picture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QtEndian>
#include <cstdio>

// An icon file of PNG images (as Windows takes them since Vista): a header, one directory
// entry per size, then the images. A side of 256 is written as 0.
static bool writeIco(const QString& path) {
    const int sides[] = {16, 24, 32, 48, 64, 256};
    QByteArray head(6, '\0');
    qToLittleEndian<quint16>(1, head.data() + 2); // type: icon
    qToLittleEndian<quint16>(quint16(std::size(sides)), head.data() + 4);
    QByteArray entries;
    QByteArray images;
    const int firstImage = int(head.size() + 16 * std::size(sides));
    for (int side : sides) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!qz::alarmClockImage(side, 1.0).save(&buffer, "PNG")) return false;
        QByteArray entry(16, '\0');
        entry[0] = char(side & 0xff);
        entry[1] = char(side & 0xff);
        qToLittleEndian<quint16>(1, entry.data() + 4);  // colour planes
        qToLittleEndian<quint16>(32, entry.data() + 6); // bits per pixel
        qToLittleEndian<quint32>(quint32(png.size()), entry.data() + 8);
        qToLittleEndian<quint32>(quint32(firstImage + images.size()), entry.data() + 12);
        entries += entry;
        images += png;
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(head + entries + images) > 0 && f.flush();
}

#ifdef QZ_WITH_SVG
#include <QSvgGenerator>
#endif

#ifdef QZ_WITH_SVG
static bool writeSvg(const QString& path) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(100, 100));
    svg.setViewBox(QRect(0, 0, 100, 100));
    svg.setTitle(QStringLiteral("QZ Timer"));
    QPainter p;
    if (!p.begin(&svg)) return false;
    qz::paintAlarmClock(p, 100);
    return p.end();
}
#endif

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <output folder> <icon name>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(side);
        const QString path = out.filePath(folder + u'/' + name + QStringLiteral(".png"));
        if (!out.mkpath(folder) || !qz::alarmClockImage(side, 1.0).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
#ifdef QZ_WITH_SVG
    const QString folder = QStringLiteral("hicolor/scalable/apps");
    const QString path = out.filePath(folder + u'/' + name + QStringLiteral(".svg"));
    if (!out.mkpath(folder) || !writeSvg(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
#endif
    const QString ico = out.filePath(name + QStringLiteral(".ico"));
    if (!writeIco(ico)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(ico));
        return 1;
    }
    return 0;
}
