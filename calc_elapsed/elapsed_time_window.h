// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"
#include "calc_elapsed/elapsed_sheet.h"

#include <memory>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QToolBar;

namespace qz {

class SoundPlayer;

// The elapsed-time calculator: a sheet of 70 rows of start and end times with their elapsed
// times and total. Times are typed into two boxes that float over the grid on the cursor row;
// the grid itself is never edited.
class ElapsedTimeWindow final : public QzWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ElapsedTimeWindow)
  public:
    explicit ElapsedTimeWindow(AppContext& ctx);
    ~ElapsedTimeWindow() override;
    void onActivated() override;

    const ElapsedSheet& sheet() const { return m_sheet; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool onEscapePressed() override;

  private slots:
    void onOpenTriggered();
    void onSaveTriggered();
    void onPrintRequested();
    void onPrintConfirmed();
    void onPrintCancelled();
    void onResetClicked();
    void onMenuClicked();
    void onExitClicked();
    void onCalculatorTriggered();
    void onHelpTriggered();
    void onGridClicked(int gridRow, int column);
    void onGridScrolled(int value);

  private:
    // Empties the sheet and the window (the date box gets today's date, the sheet's date stays).
    void resetSheet();
    void buildControls();
    void buildMenus();
    void buildGrid();
    bool isMenuShortcut(const QEvent& event) const;
    bool handleBoxKey(EntryBox box, int key, const QString& typed);
    void confirmEntry(EntryBox box);
    void showOutcome(const SheetEntryOutcome& outcome);
    void writeFixedCells();
    void showRow(int row);
    void showAllRows();
    void showTotal();
    void showCursor();
    void setTopRow(int topRow);
    void setBoxesVisible(bool visible);
    void focusBox(EntryBox box);
    QLineEdit* box(EntryBox which) const;
    void checkMessage(const QString& text);
    QString todayText() const;

    ElapsedSheet m_sheet;
    SheetCursor m_cursor;
    std::unique_ptr<SoundPlayer> m_player;
    bool m_settingTopRow = false;

    QToolBar* m_toolBar = nullptr;
    QLineEdit* m_dateBox = nullptr;
    QLineEdit* m_titleBox = nullptr;
    QLabel* m_fileNameLabel = nullptr;
    QGroupBox* m_sheetFrame = nullptr;
    QTableWidget* m_grid = nullptr;
    QLineEdit* m_startBox = nullptr;
    QLineEdit* m_endBox = nullptr;
    QLabel* m_totalLabel = nullptr;
    QGroupBox* m_hintFrame = nullptr;
    QLabel* m_hintLabel = nullptr;
    QPushButton* m_resetButton = nullptr;
    QPushButton* m_menuButton = nullptr;
    QPushButton* m_exitButton = nullptr;
    QFrame* m_printPanel = nullptr;
    QPushButton* m_printOkButton = nullptr;
    QPushButton* m_printCancelButton = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_printAction = nullptr;
    QAction* m_exitAction = nullptr;
    QAction* m_calculatorAction = nullptr;
    QAction* m_helpAction = nullptr;
};

} // namespace qz
