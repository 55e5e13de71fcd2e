// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

class QWidget;

namespace qz {

// Runs `work` once, after `shown` has been painted the first time, or at once should `shown`
// go away unpainted. For work that must not hold back a window's first appearance: work queued
// with a zero timer still runs before Qt hands a newly shown window to the display.
void runAfterFirstPaint(QWidget* shown, std::function<void()> work);

} // namespace qz
