// SPDX-License-Identifier: MIT
// Writes the desktop icons of the program, made from its own picture, into a hicolor theme
// tree: <out>/hicolor/<n>x<n>/apps/<id>.png, and the scalable <id>.svg when built with SVG.
#include "ui/app_picture.h"

#include <QDir>
#include <QPainter>
#include <cstdio>

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
    return 0;
}
