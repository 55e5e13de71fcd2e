// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

namespace qz {

// The program's version number, as the build gives it (the CMake project's version).
QString programVersion();
// A version number as the version box shows it: its digits and points in their full-width
// forms ("2.55" shows as "２．５５"), anything else as it is.
QString fullWidthVersion(QStringView version);

} // namespace qz
