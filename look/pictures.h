// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>

namespace qz {

// The program's own pictures, drawn in code.
QIcon calculatorIcon();
QIcon helpIcon();
// The file commands of the calculators' toolbar.
QIcon openIcon();
QIcon saveIcon();
QIcon printIcon();
// The launcher's picture, centred in `size`; an image, so that it can be drawn on any thread.
QImage launcherPicture(QSize size);
QPixmap versionPicture();

} // namespace qz
