// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"
#include "calc_add/calc_sheet.h"

#include <array>
#include <memory>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QToolBar;
class QWidget;

namespace qz {

struct KeyResult;
class SoundPlayer;

// The time-addition calculator: a worksheet grid of a hundred lines with an entry box that
// floats over the line being edited, the rounding choice, files and printing.
class TimeAdditionWindow : public QzWindow {
    Q_OBJECT
  public:
    explicit TimeAdditionWindow(AppContext& ctx);
    ~TimeAdditionWindow() override;
    Q_DISABLE_COPY_MOVE(TimeAdditionWindow)

    void onActivated() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool onEscapePressed() override;

  private slots:
    void onRoundingOptionClicked(RoundingMode mode);
    void onGridCellClicked(int row, int column);
    void onGridScrolled(int value);
    void onResetClicked();
    void onBackToMenuClicked();
    void onLeaveCalculatorTriggered();
    void onExitClicked();
    void onOpenTriggered();
    void onSaveTriggered();
    void onPrintRequested();
    void onPrintConfirmed();
    void onPrintCancelled();
    void onCalculatorTriggered();
    void onHelpTriggered();

  private:
    void buildMenus();
    void buildControls();
    bool onEntryKey(int key);
    void apply(const KeyResult& result);
    void showLines(int first, int last);
    void showAllLines();
    void showRoundingMode();
    void showPosition();
    void setCell(int row, int column, const QString& text);
    void clearWorksheet();
    void resetWorksheetAndGrid();

    Worksheet m_sheet;
    std::unique_ptr<SoundPlayer> m_player;
    bool m_syncingScroll = false;
    qsizetype m_boxLineBreaks = 0; // in the box's text, to tell a paste from an edit

    QTableWidget* m_grid = nullptr;
    QLineEdit* m_entryBox = nullptr;
    std::array<QRadioButton*, kRoundingModeCount> m_modeOptions{};
    QLabel* m_modeLabel = nullptr;
    QLabel* m_exampleLabel = nullptr;
    QLabel* m_multiplyLabel = nullptr;
    QLabel* m_howToLabel = nullptr;
    QPushButton* m_resetButton = nullptr;
    QPushButton* m_menuButton = nullptr;
    QPushButton* m_exitButton = nullptr;
    QFrame* m_printPanel = nullptr;
    QLabel* m_printQuestion = nullptr;
    QPushButton* m_printOkButton = nullptr;
    QPushButton* m_printCancelButton = nullptr;
    QToolBar* m_toolbar = nullptr;
    std::array<QGroupBox*, 6> m_frames{};
};

} // namespace qz
