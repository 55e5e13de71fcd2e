#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace qz {

// The version box, shown modally over the launcher.
class VER : public QDialog {
    Q_OBJECT
  public:
    // settingsPlace: a line naming where the settings are kept; no line when empty.
    explicit VER(QWidget* owner, const QString& settingsPlace = {});
    void Command1_Click() { accept(); }

  private:
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* Command1;
    QLabel* m_settingsPlaceLabel = nullptr;
};

} // namespace qz
