// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QStringList>

namespace qz {

// Fonts: the proportional and the fixed-pitch Japanese faces with fallbacks that the set-up
// installs (ui/font_families.h), so every machine renders alike.
QFont uiFont(double pointSize = 9.0, bool bold = false);
QFont fixedFont(double pointSize = 9.0, bool bold = false);
// The first of the preferred families among `installed`, alone; all of them, for Qt's own
// substitutes, when none is installed.
QStringList familiesToRequest(const QStringList& preferred, const QStringList& installed);
void installApplicationFont();

} // namespace qz
