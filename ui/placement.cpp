// SPDX-License-Identifier: MIT
#include "placement.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace qz {

static double logicalDpi() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInch() : 96.0;
}

int twips(int tw) {
    return int(std::lround(tw * logicalDpi() / 1440.0));
}

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

void placeTwips(QWidget* w, TwipsRect at) {
    w->setGeometry(twipsRect(at.left, at.top, at.width, at.height));
}

// Window sizes are given with the caption and the frame; the menu bar, as on the system the
// layouts come from, stays inside what is left.
static constexpr int kFrameWidthTwips = 120;

void setWindowSizeTwips(QMainWindow* w, int width, int height) {
    w->setFixedSize(twips(width - kFrameWidthTwips), twips(height - kCaptionTwips));
}

void keepOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen || !window->isVisible()) return;
    const QRect free = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    QPoint to = frame.topLeft();
    if (frame.right() > free.right()) to.rx() -= frame.right() - free.right();
    if (frame.bottom() > free.bottom()) to.ry() -= frame.bottom() - free.bottom();
    to.rx() = std::max(to.x(), free.left());
    to.ry() = std::max(to.y(), free.top());
    if (to != frame.topLeft()) window->move(to); // move() places the frame's top-left corner
}

} // namespace qz
