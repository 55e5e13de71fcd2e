#pragma once

#include "app/window_manager.h"
#include "sound/sound_settings_logic.h"

#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;
class QToolBar;

namespace qz {

class SoundPlayer;

// The sound settings window: overwrites one entry of the sound table at a time and writes the
// settings file at once. Number and name are typed into edit boxes that lie over their labels
// and hide when they lose the focus, so the labels look editable.
class ONGEN : public QzWindow {
    Q_OBJECT
  public:
    explicit ONGEN(AppContext& ctx);
    ~ONGEN() override;
    void formActivate() override;

    const PendingSoundEntry& pending() const { return m_pending; }
    int firstKeyClears() const { return m_firstKeyClears; }

    // Key handlers take the virtual-key code (40 down, 38 up, 46 Delete) and return true when
    // they used up the key; key presses take the character (13 Enter).
    bool Text1_KeyDown(int keyCode);
    bool Text1_KeyPress(int keyAscii);
    bool Text2_KeyDown(int keyCode);
    bool Text2_KeyPress(int keyAscii);
    void Label1_Click();   // also Label4
    void Label2_Click();   // also Label5
    void Command1_Click(); // 保存設定
    void Command2_Click(); // 音源の選択
    void Command3_Click(); // 音源なし
    void Command4_Click(); // ﾘｾｯﾄ
    void Command5_Click(); // 戻る
    void M31_Click();
    void Toolbar1_ButtonClick(int index);

    QGroupBox* Frame1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QTableWidget* G1 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QMenu* M3 = nullptr;
    QAction* M31 = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void openNumberBox();
    void openNameBox();
    void openBox(QLineEdit* box, QLabel* label);
    // The first key typed into a freshly opened box replaces its text.
    void clearOnFirstKey(QLineEdit* box);
    void message(const QString& text);

    void setCell(int row, int col, const QString& text);
    void writeFixedCells();
    void writeTableRows();
    void rebuildGrid();

    PendingSoundEntry m_pending;
    int m_firstKeyClears = 0;
    std::unique_ptr<SoundPlayer> m_player;
};

} // namespace qz
