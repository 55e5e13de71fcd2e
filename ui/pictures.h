// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
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
QPixmap launcherPicture(QSize size);
QPixmap versionPicture();

} // namespace qz
