// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSizeF>

class QPainter;

namespace qz {

// The program's own picture, an alarm clock: the launcher shows it and the desktop icons are
// made from it. Paints into a square of `side` at the painter's origin. Icons ask for lines of
// at least `minimumLinePixels` and get a plainer face when small.
void paintAlarmClock(QPainter& p, double side, double minimumLinePixels = 0);

// The picture on a transparent square, `side` pixels wide.
QImage alarmClockImage(int side, double minimumLinePixels = 0);

} // namespace qz
