// SPDX-License-Identifier: MIT
#pragma once

#include <QLatin1String>
#include <QRect>
#include <utility>

class QMainWindow;
class QWidget;

namespace qz {

// Sizes and positions come in twips (1/1440 inch); the screen's logical DPI turns them into
// pixels.
int twips(int tw);
QRect twipsRect(int left, int top, int width, int height);

// A control's place in its parent, in twips.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
void placeTwips(QWidget* w, TwipsRect at);

// Creates a control of type W from `args` and the parent, gives it its objectName (by which
// tests and screenshots find it) and places it.
template <class W, class... Args>
W* addControl(QWidget* parent, const char* objectName, TwipsRect at, Args&&... args) {
    auto* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(QLatin1String(objectName));
    placeTwips(w, at);
    return w;
}

// Sets a top-level window's outer size in twips (caption and frame included, as the layouts
// are given); the client area gets what is left.
void setWindowSizeTwips(QMainWindow* w, int width, int height);
// What setWindowSizeTwips takes off the height for the caption and the frame.
inline constexpr int kCaptionTwips = 450;

// Moves a window that grew past the edge of its screen's free area back inside it.
void keepOnScreen(QWidget* window);

} // namespace qz
