// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

namespace qz {

// The version box, shown modally over the launcher.
class VersionBox : public QDialog {
    Q_OBJECT
  public:
    // settingsPlace: a line naming where the settings are kept; no line when empty.
    explicit VersionBox(QWidget* owner, const QString& settingsPlace = {});
    Q_DISABLE_COPY_MOVE(VersionBox)
};

} // namespace qz
