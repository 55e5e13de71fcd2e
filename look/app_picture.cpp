// SPDX-License-Identifier: MIT
#include "app_picture.h"

#include <QPainter>
#include <algorithm>

namespace qz {

// Two bells, a round face with hour marks and hands at ten past ten, drawn on a 100 x 100 grid.
void paintAlarmClock(QPainter& p, double side, double minimumLinePixels) {
    const double unit = side / 100.0;
    // Thin lines vanish at icon sizes: widen them to what a pixel needs.
    auto pen = [&](const QColor& c, double width, Qt::PenCapStyle cap = Qt::SquareCap) {
        return QPen(c, std::max(width, minimumLinePixels / unit), Qt::SolidLine, cap);
    };
    const bool small = minimumLinePixels > 0 && side < 32;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(unit, unit);
    p.setPen(pen(QColor(90, 40, 20), 2));
    p.setBrush(QColor(230, 180, 40));
    p.drawPie(QRectF(8, 6, 30, 30), 45 * 16, 180 * 16);
    p.drawPie(QRectF(62, 6, 30, 30), -45 * 16, 180 * 16);
    p.drawLine(QPointF(28, 84), QPointF(18, 96));
    p.drawLine(QPointF(72, 84), QPointF(82, 96));
    p.setBrush(QColor(200, 40, 40));
    p.drawEllipse(QRectF(12, 14, 76, 76));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(19, 21, 62, 62));
    p.translate(50, 52);
    p.setPen(pen(QColor(40, 40, 40), 2));
    for (int i = 0; i < 12; ++i) {
        if (!small || i % 3 == 0) p.drawLine(QPointF(0, -27), QPointF(0, i % 3 == 0 ? -22 : -25));
        p.rotate(30);
    }
    p.setPen(pen(QColor(20, 20, 20), 3.5, Qt::RoundCap));
    p.save();
    p.rotate(-60);
    p.drawLine(QPointF(0, 0), QPointF(0, -16));
    p.restore();
    p.save();
    p.rotate(60);
    p.drawLine(QPointF(0, 0), QPointF(0, -23));
    p.restore();
    p.setBrush(QColor(200, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0, 0), 3, 3);
    p.restore();
}

QImage alarmClockImage(int side, double minimumLinePixels) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    paintAlarmClock(p, side, minimumLinePixels);
    p.end();
    return image;
}

} // namespace qz
