#pragma once

#include <QDialog>

namespace qz {

// The version box, shown modally over the launcher.
class VersionBox : public QDialog {
    Q_OBJECT
  public:
    explicit VersionBox(QWidget* owner);
    Q_DISABLE_COPY_MOVE(VersionBox)
};

} // namespace qz
