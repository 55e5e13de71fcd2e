// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"
#include "sound/sound_settings_logic.h"

#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace qz {

class SoundPlayer;

// The sound settings window: overwrites one entry of the sound table at a time and writes the
// settings file at once. Number and name are typed into edit boxes that lie over their labels
// and hide when they lose the focus, so the labels look editable.
class SoundSettingsWindow : public QzWindow {
    Q_OBJECT
  public:
    explicit SoundSettingsWindow(AppContext& ctx);
    ~SoundSettingsWindow() override;
    Q_DISABLE_COPY_MOVE(SoundSettingsWindow)
    void onActivated() override;

    // The entry being put together, as the window last mirrored it.
    const PendingSoundEntry& pending() const { return m_pending; }
    // Whether the next key typed into the open box replaces its text.
    bool firstKeyClears() const { return m_firstKeyClears; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Keys in the number and the name box; true when the key was used.
    bool numberBoxKey(int key);
    bool nameBoxKey(int key);
    void onNumberEntered();
    void onNameEntered();
    void onChooseFileClicked();
    void onNoSoundClicked();
    void onResetClicked();
    void onSaveClicked();

    void openNumberBox();
    void openNameBox();
    void openBox(QLineEdit* box, QLabel* label);
    // The first key typed into a freshly opened box replaces its text.
    void clearOnFirstKey(QLineEdit* box);
    void firstKeyTyped(QLineEdit* box, QLabel* label, int key);
    void message(const QString& text);

    void setCell(int row, int col, const QString& text);
    void writeFixedCells();
    void writeTableRows();
    void rebuildGrid();

    PendingSoundEntry m_pending;
    bool m_firstKeyClears = false;
    std::unique_ptr<SoundPlayer> m_player;

    QLabel* m_numberCaption = nullptr;
    QLabel* m_numberLabel = nullptr;
    QLineEdit* m_numberBox = nullptr; // lies over the number label while it is open
    QLabel* m_nameCaption = nullptr;
    QLabel* m_nameLabel = nullptr;
    QLineEdit* m_nameBox = nullptr; // lies over the name label while it is open
    QLabel* m_fileLabel = nullptr;
    QPushButton* m_chooseFileButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_resetButton = nullptr;
    QTableWidget* m_grid = nullptr;
};

} // namespace qz
