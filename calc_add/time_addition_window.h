// SPDX-License-Identifier: MIT
#pragma once

#include "app/window_manager.h"
#include "calc_add/addition_sheet.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <array>
#include <memory>

class QAction;
class QToolBar;

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

    // The window's controls by what they are for.
    enum Role {
        Grid,
        EntryBox, // floats over the current line, in the grid's viewport
        ModeFrame,
        Mode,
        RoundingFrame,
        Rounding0, // one option per rounding mode, in the modes' order
        Rounding1,
        Rounding2,
        Rounding3,
        Rounding4,
        ButtonsFrame,
        Reset,
        Menu,
        Exit,
        HowToFrame,
        HowTo,
        ExampleFrame,
        Example,
        MultiplyFrame,
        Multiply,
        PrintPanel, // the print question, over the top of the grid while it is asked
        PrintQuestion,
        PrintOk,
        PrintCancel,
        RoleCount
    };
    QWidget* control(Role r) const { return m_controls[r]; }
    QTableWidget* grid() const { return as<QTableWidget>(Grid); }
    QLineEdit* entryBox() const { return as<QLineEdit>(EntryBox); }
    QLabel* modeLabel() const { return as<QLabel>(Mode); }
    QRadioButton* roundingOption(RoundingMode m) const {
        return as<QRadioButton>(Role(Rounding0 + roundingModeNumber(m)));
    }
    QPushButton* resetButton() const { return as<QPushButton>(Reset); }
    QPushButton* menuButton() const { return as<QPushButton>(Menu); }
    QPushButton* exitButton() const { return as<QPushButton>(Exit); }
    QLabel* howToLabel() const { return as<QLabel>(HowTo); }
    QLabel* exampleLabel() const { return as<QLabel>(Example); }
    QLabel* multiplyLabel() const { return as<QLabel>(Multiply); }
    QFrame* printPanel() const { return as<QFrame>(PrintPanel); }
    QLabel* printQuestion() const { return as<QLabel>(PrintQuestion); }
    QPushButton* printOkButton() const { return as<QPushButton>(PrintOk); }
    QPushButton* printCancelButton() const { return as<QPushButton>(PrintCancel); }

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
    template <class T> T* as(Role r) const { return static_cast<T*>(m_controls[r]); }

    void buildMenus();
    void buildControls();
    void buildGrid();
    bool onEntryKey(int key);
    void apply(const KeyResult& result);
    void showLines(int first, int last);
    void showAllLines();
    void showRoundingMode();
    void showPosition();
    void setCell(int row, int column, const QString& text);
    void clearWorksheet();
    void resetWorksheetAndGrid();

    AdditionSheet m_sheet;
    std::unique_ptr<SoundPlayer> m_player;
    bool m_syncingScroll = false;
    qsizetype m_boxLineBreaks = 0; // in the box's text, to tell a paste from an edit

    std::array<QWidget*, RoleCount> m_controls{};
    QToolBar* m_toolbar = nullptr;
};

} // namespace qz
