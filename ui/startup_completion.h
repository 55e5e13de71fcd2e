// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QWidget;

namespace qz {

// A later start that handed over to this program showed no window of its own, so the desktop's
// startup notice for it is ended here: the window it brings forward takes the start's ID, from
// which the window manager learns when the user asked for it and lets it take the focus, and the
// notice is removed. Only X11 has such notices; elsewhere, or with no ID, nothing happens.
// Call before the window is raised; window may be null (the notice is still removed).
void completeHandedOverStartup(QWidget* window, const QString& startupId);

} // namespace qz
