// SPDX-License-Identifier: MIT
#include "pictures.h"

#include "app_picture.h"
#include "ui/fonts.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <functional>

namespace qz {

// An antialiased painter on a transparent 32-pixel square.
static QIcon drawnIcon(const std::function<void(QPainter&)>& draw) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return QIcon(pm);
}

QIcon calculatorIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 70), 1.5));
        p.setBrush(QColor(200, 205, 215));
        p.drawRoundedRect(QRectF(5, 2, 22, 28), 3, 3);
        p.setBrush(QColor(170, 230, 170));
        p.drawRect(QRectF(8, 5, 16, 7));
        p.setPen(Qt::NoPen);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                p.setBrush(c == 2 && r == 2 ? QColor(230, 120, 40) : QColor(90, 90, 100));
                p.drawRect(QRectF(8 + c * 6, 15 + r * 5, 4, 3.5));
            }
    });
}

QIcon helpIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(20, 60, 150), 1.5));
        p.setBrush(QColor(60, 120, 220));
        p.drawEllipse(QRectF(2, 2, 28, 28));
        // The question mark is drawn, not typeset: a font of its own, loaded only for this icon,
        // would cost the launcher's start more than all its other pictures.
        QPainterPath hook;
        hook.moveTo(11, 12.5);
        hook.arcTo(QRectF(11, 7, 10, 10), 180, -225);
        hook.quadTo(16, 17.5, 16, 20);
        p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(hook);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 24.5), 2, 2);
    });
}

QIcon openIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(130, 90, 10), 1.5));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(3, 8, 24, 19));
        p.setBrush(QColor(250, 225, 130));
        p.drawPolygon(QPolygonF({{3, 27}, {9, 14}, {30, 14}, {27, 27}}));
    });
}

QIcon saveIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(20, 40, 110), 1.5));
        p.setBrush(QColor(60, 90, 190));
        p.drawRect(QRectF(4, 4, 24, 24));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 4, 16, 10));
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(QRectF(9, 19, 14, 9));
    });
}

QIcon printIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(50, 50, 60), 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));
        p.setBrush(QColor(150, 155, 165));
        p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 20, 14, 9));
    });
}

QImage launcherPicture(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const double side = std::min(size.width(), size.height());
    p.translate((size.width() - side) / 2.0, (size.height() - side) / 2.0);
    paintAlarmClock(p, side);
    p.end();
    return image;
}

QPixmap versionPicture() {
    QPixmap pm(185, 39);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 185, 0);
    g.setColorAt(0, QColor(0, 0, 96));
    g.setColorAt(1, QColor(40, 90, 200));
    p.fillRect(pm.rect(), g);
    p.drawImage(3, 2, launcherPicture(QSize(35, 35)));
    QFont f = uiFont(14, true);
    f.setPixelSize(20);
    p.setFont(f);
    p.setPen(QColor(255, 255, 0));
    p.drawText(QRect(44, 0, 141, 39), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("ＱＺタイマー"));
    return pm;
}

} // namespace qz
