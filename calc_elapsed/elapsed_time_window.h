// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"
#include "calc_elapsed/elapsed_sheet.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <array>
#include <memory>

class QAction;
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

    // The window's controls by what they are for.
    enum Role {
        DateCaption,
        Date,
        TitleCaption,
        Title,
        FileNameCaption,
        FileName,
        SheetFrame,
        Grid,
        StartBox, // floats over the grid on the cursor row
        EndBox,   // likewise
        TotalCaption,
        Total,
        HintFrame,
        Hint,
        Reset,
        Menu,
        Exit,
        PrintPanel, // the print question, over the top left corner until answered
        PrintQuestion,
        PrintOk,
        PrintCancel,
        RoleCount
    };
    QWidget* control(Role r) const { return m_controls[r]; }
    QLineEdit* dateBox() const { return as<QLineEdit>(Date); }
    QLineEdit* titleBox() const { return as<QLineEdit>(Title); }
    QLabel* fileNameLabel() const { return as<QLabel>(FileName); }
    QGroupBox* sheetFrame() const { return as<QGroupBox>(SheetFrame); }
    QTableWidget* grid() const { return as<QTableWidget>(Grid); }
    QLineEdit* startBox() const { return as<QLineEdit>(StartBox); }
    QLineEdit* endBox() const { return as<QLineEdit>(EndBox); }
    QLabel* totalLabel() const { return as<QLabel>(Total); }
    QGroupBox* hintFrame() const { return as<QGroupBox>(HintFrame); }
    QLabel* hintLabel() const { return as<QLabel>(Hint); }
    QPushButton* resetButton() const { return as<QPushButton>(Reset); }
    QPushButton* menuButton() const { return as<QPushButton>(Menu); }
    QPushButton* exitButton() const { return as<QPushButton>(Exit); }
    QFrame* printPanel() const { return as<QFrame>(PrintPanel); }
    QLabel* printQuestion() const { return as<QLabel>(PrintQuestion); }
    QPushButton* printOkButton() const { return as<QPushButton>(PrintOk); }
    QPushButton* printCancelButton() const { return as<QPushButton>(PrintCancel); }

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
    template <class T> T* as(Role r) const { return static_cast<T*>(m_controls[r]); }

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
    std::array<QWidget*, RoleCount> m_controls{};
    QAction* m_openAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_printAction = nullptr;
    QAction* m_exitAction = nullptr;
    QAction* m_calculatorAction = nullptr;
    QAction* m_helpAction = nullptr;
};

} // namespace qz
