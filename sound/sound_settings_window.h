// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"
#include "sound/sound_settings_logic.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <array>
#include <memory>

class QAction;

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

    // The window's controls by what they are for.
    enum Role {
        EntryFrame,
        NumberCaption,
        Number,
        NumberBox, // lies over the number while it is open
        NameCaption,
        Name,
        NameBox, // lies over the name while it is open
        FileCaption,
        File,
        ChooseFile,
        NoSound,
        Save,
        Reset,
        Back,
        ListFrame,
        Grid,
        RoleCount
    };
    QWidget* control(Role r) const { return m_controls[r]; }
    QGroupBox* entryFrame() const { return as<QGroupBox>(EntryFrame); }
    QLabel* numberCaption() const { return as<QLabel>(NumberCaption); }
    QLabel* numberLabel() const { return as<QLabel>(Number); }
    QLineEdit* numberBox() const { return as<QLineEdit>(NumberBox); }
    QLabel* nameCaption() const { return as<QLabel>(NameCaption); }
    QLabel* nameLabel() const { return as<QLabel>(Name); }
    QLineEdit* nameBox() const { return as<QLineEdit>(NameBox); }
    QLabel* fileCaption() const { return as<QLabel>(FileCaption); }
    QLabel* fileLabel() const { return as<QLabel>(File); }
    QPushButton* chooseFileButton() const { return as<QPushButton>(ChooseFile); }
    QPushButton* noSoundButton() const { return as<QPushButton>(NoSound); }
    QPushButton* saveButton() const { return as<QPushButton>(Save); }
    QPushButton* resetButton() const { return as<QPushButton>(Reset); }
    QPushButton* backButton() const { return as<QPushButton>(Back); }
    QGroupBox* listFrame() const { return as<QGroupBox>(ListFrame); }
    QTableWidget* grid() const { return as<QTableWidget>(Grid); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    template <class T> T* as(Role r) const { return static_cast<T*>(m_controls[r]); }

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

    std::array<QWidget*, RoleCount> m_controls{};
};

} // namespace qz
