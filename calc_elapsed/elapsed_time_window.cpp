// SPDX-License-Identifier: MIT
#include "elapsed_time_window.h"

#include "audio/sound_player.h"
#include "calc_elapsed/elapsed_printout.h"
#include "calc_elapsed/tmk_file.h"
#include "files/file_io.h"
#include "files/read_number.h"
#include "look/look.h"
#include "ui/clock.h"
#include "ui/dialogs.h"
#include "ui/printing/printing.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolBar>
#include <algorithm>

namespace qz {

namespace {

// The cursor's cell and the entry box over it share one pale colour, so the box reads as part
// of the cell it fills only in part.
constexpr quint32 kCursorCell = colors::paleCyan;
constexpr int kColumnWidths[4] = {500, 1200, 1200, 1500};
constexpr int kRowHeight = 240;
constexpr int kStartBoxLeft = 700;
constexpr int kEndBoxLeft = 1890;
constexpr int kBoxWidth = 550;
constexpr int kBoxHeight = 200;

const QString kHint = QStringLiteral(" ● 時と分の間は必ず ｢：｣or ｢．｣を入れて下さい\r\n"
                                     "　　例：午後１時15分＝13:15　　８時５分＝08.05 or 8.5");

QString textOf(const std::optional<QString>& v) {
    return v.value_or(QString());
}

using K = ControlKind;
using W = ElapsedTimeWindow;
constexpr int kButtonsTop = 7800;

// The window's controls, in twips.
constexpr ControlDecl kControls[] = {
    {.role = W::DateCaption,
     .name = "Label4",
     .kind = K::Label,
     .at = {2865, 165, 855, 255},
     .caption = u"日付："},
    {.role = W::Date,
     .name = "Text4",
     .kind = K::LineEdit,
     .at = {3720, 120, 1335, 270},
     .ground = colors::white},
    {.role = W::TitleCaption,
     .name = "Label5",
     .kind = K::Label,
     .at = {2865, 450, 855, 255},
     .caption = u"タイトル："},
    {.role = W::Title,
     .name = "Text3",
     .kind = K::LineEdit,
     .at = {3720, 440, 1335, 270},
     .ground = colors::white},
    {.role = W::FileNameCaption,
     .name = "Label8",
     .kind = K::Label,
     .at = {105, 795, 855, 255},
     .caption = u"ﾌｧｲﾙ名："},
    {.role = W::FileName,
     .name = "Label7",
     .kind = K::Label,
     .at = {960, 765, 4095, 270},
     .valueLook = true,
     .indent = 3},
    {.role = W::SheetFrame,
     .name = "Frame1",
     .kind = K::GroupBox,
     .at = {120, 1065, 5000, 5960},
     .ground = colors::paleBlue},
    {.role = W::Grid,
     .name = "G1",
     .kind = K::Grid,
     .at = {120, 360, 4760, 5140},
     .within = W::SheetFrame},
    {.role = W::StartBox,
     .name = "Text1",
     .kind = K::LineEdit,
     .within = W::SheetFrame,
     .flat = true,
     .ground = kCursorCell},
    {.role = W::EndBox,
     .name = "Text2",
     .kind = K::LineEdit,
     .within = W::SheetFrame,
     .flat = true,
     .ground = kCursorCell},
    {.role = W::TotalCaption,
     .name = "Label2",
     .kind = K::Label,
     .at = {2595, 5580, 645, 255},
     .caption = u"合計：",
     .within = W::SheetFrame},
    {.role = W::Total,
     .name = "Label1",
     .kind = K::Label,
     .at = {3240, 5565, 1335, 255},
     .within = W::SheetFrame,
     .align = Qt::AlignRight | Qt::AlignVCenter,
     .valueLook = true,
     .indent = 3},
    {.role = W::HintFrame,
     .name = "Frame2",
     .kind = K::GroupBox,
     .at = {120, 7020, 5000, 675},
     .ground = colors::paleBlue},
    {.role = W::Hint,
     .name = "Label6",
     .kind = K::Label,
     .at = {120, 165, 4780, 405},
     .within = W::HintFrame,
     .points = 8.25},
    {.role = W::Reset,
     .name = "Command4",
     .kind = K::Button,
     .at = {2490, kButtonsTop, 855, 300},
     .caption = u"ﾘｾｯﾄ"},
    {.role = W::Menu,
     .name = "Command5",
     .kind = K::Button,
     .at = {3345, kButtonsTop, 855, 300},
     .caption = u"ﾒﾆｭｰへ"},
    {.role = W::Exit,
     .name = "Command1",
     .kind = K::Button,
     .at = {4200, kButtonsTop, 855, 300},
     .caption = u"終了"},
    {.role = W::PrintPanel,
     .name = "Picture1",
     .kind = K::RaisedPanel,
     .at = {0, 0, 2415, 1095},
     .ground = colors::paleYellow},
    {.role = W::PrintQuestion,
     .name = "Label3",
     .kind = K::Label,
     .at = {120, 120, 2175, 300},
     .caption = u"内容を印刷しますか？",
     .within = W::PrintPanel},
    {.role = W::PrintOk,
     .name = "Command2",
     .kind = K::Button,
     .at = {120, 480, 975, 375},
     .caption = u"OK",
     .within = W::PrintPanel},
    {.role = W::PrintCancel,
     .name = "Command3",
     .kind = K::Button,
     .at = {1200, 480, 975, 375},
     .caption = u"ｷｬﾝｾﾙ",
     .within = W::PrintPanel},
};

} // namespace

ElapsedTimeWindow::ElapsedTimeWindow(AppContext& c)
    : QzWindow(c, WindowId::CalcElapsed), m_player(c.platform.sounds->createPlayer()) {
    setObjectName(QStringLiteral("KEIKA"));
    setWindowTitle(QStringLiteral("時間経過計算"));
    buildMenus();
    buildControls();
    buildGrid();
    showCursor();
    setWindowSizeTwips(this, 5370, 9000);
}

ElapsedTimeWindow::~ElapsedTimeWindow() = default;

void ElapsedTimeWindow::buildMenus() {
    auto item = [this](QMenu* menu, const char* name, const QString& caption,
                       const QKeySequence& keys, void (ElapsedTimeWindow::*slot)()) {
        QAction* a = addMenuItem(menu, name, caption);
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };
    QMenu* file = addMenu(menuBar(), "M1", QStringLiteral("ﾌｧｲﾙ(&F)"));
    m_openAction = item(file, "M11", QStringLiteral("ﾌｧｲﾙを開く(&O)"),
                        QKeySequence(Qt::CTRL | Qt::Key_O), &ElapsedTimeWindow::onOpenTriggered);
    m_saveAction = item(file, "M12", QStringLiteral("名前を付けて保存(&S)"),
                        QKeySequence(Qt::CTRL | Qt::Key_S), &ElapsedTimeWindow::onSaveTriggered);
    separator(file, "M16");
    m_printAction = item(file, "M15", QStringLiteral("印刷(&P)"),
                         QKeySequence(Qt::CTRL | Qt::Key_P), &ElapsedTimeWindow::onPrintRequested);
    separator(file, "M13");
    m_exitAction = item(file, "M14", QStringLiteral("終了(&E)"), QKeySequence(Qt::CTRL | Qt::Key_E),
                        &ElapsedTimeWindow::onExitClicked);
    QMenu* tools = addMenu(menuBar(), "M2", QStringLiteral("ﾂｰﾙ(&T)"));
    m_calculatorAction =
        item(tools, "M21", QStringLiteral("QZ電卓(&D)"), QKeySequence(Qt::CTRL | Qt::Key_D),
             &ElapsedTimeWindow::onCalculatorTriggered);
    QMenu* help = addMenu(menuBar(), "M3", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    m_helpAction = item(help, "M31", QStringLiteral("ﾍﾙﾌﾟ(&H)"), QKeySequence(Qt::CTRL | Qt::Key_H),
                        &ElapsedTimeWindow::onHelpTriggered);
}

void ElapsedTimeWindow::buildControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);
    setBackground(client, colors::paleBlue);

    m_toolBar =
        addSheetToolBar(this, {[this] { onOpenTriggered(); }, [this] { onSaveTriggered(); },
                               [this] { onPrintRequested(); }, [this] { onCalculatorTriggered(); },
                               [this] { onHelpTriggered(); }});
    // Five buttons need a little more than the frame's 1760 twips in some styles; nothing else
    // stands left of the date label, so the bar may grow up to it.
    m_toolBar->setContentsMargins(0, 0, 0, 0);
    placeTwips(m_toolBar, {0, 0, 1760, 390});
    m_toolBar->resize(std::max(m_toolBar->width(), m_toolBar->sizeHint().width()),
                      m_toolBar->height());

    qz::buildControls(client, kControls, m_controls);
    for (QLineEdit* b : {dateBox(), titleBox()})
        b->installEventFilter(this);
    dateBox()->setAccessibleName(QStringLiteral("日付"));
    titleBox()->setAccessibleName(QStringLiteral("タイトル"));
    grid()->setRowCount(kSheetRowCount);
    grid()->setColumnCount(4);
    grid()->setAccessibleName(QStringLiteral("経過時間表"));
    // Placed on the current row by showCursor().
    for (QLineEdit* b : {startBox(), endBox()}) {
        b->setTextMargins(2, 0, 0, 0);
        b->installEventFilter(this);
        b->raise();
        // Of lines pasted into a box, the first is the time; the rest would only run into it.
        connect(b, &QLineEdit::textEdited, this, [b](const QString& text) {
            if (hasLineBreak(text)) b->setText(splitLines(text).first());
        });
    }
    connect(resetButton(), &QPushButton::clicked, this, &ElapsedTimeWindow::onResetClicked);
    connect(menuButton(), &QPushButton::clicked, this, &ElapsedTimeWindow::onMenuClicked);
    connect(exitButton(), &QPushButton::clicked, this, &ElapsedTimeWindow::onExitClicked);
    connect(printOkButton(), &QPushButton::clicked, this, &ElapsedTimeWindow::onPrintConfirmed);
    connect(printCancelButton(), &QPushButton::clicked, this, &ElapsedTimeWindow::onPrintCancelled);
    // Enter presses the focused button.
    for (QPushButton* b :
         {resetButton(), menuButton(), exitButton(), printOkButton(), printCancelButton()})
        b->setAutoDefault(true);
    printPanel()->hide();

    setTabOrder(startBox(), endBox());
}

void ElapsedTimeWindow::buildGrid() {
    QTableWidget* g = grid();
    // The widget's own header row stands for the grid's fixed row 0, so it stays in view while
    // the 70 sheet rows scroll; column 0 holds the row numbers.
    g->setHorizontalHeaderLabels({QStringLiteral("NO"), QStringLiteral("開始時間"),
                                  QStringLiteral("終了時間"), QStringLiteral("経過時間")});
    g->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    g->horizontalHeader()->setFixedHeight(twips(kRowHeight));
    g->horizontalHeader()->setMinimumSectionSize(1);
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    g->horizontalHeader()->setHighlightSections(false);
    g->verticalHeader()->hide();
    g->verticalHeader()->setMinimumSectionSize(1);
    g->verticalHeader()->setDefaultSectionSize(twips(kRowHeight));
    g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int col = 0; col < 4; ++col)
        g->setColumnWidth(col, twips(kColumnWidths[col]));
    g->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setAutoScroll(false); // the cursor decides the top row
    g->setFocusPolicy(Qt::ClickFocus);
    g->setWordWrap(false);
    g->setCornerButtonEnabled(false);
    QPalette p = g->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Highlight, vbColor(kCursorCell));
        p.setColor(group, QPalette::HighlightedText, Qt::black);
    }
    g->setPalette(p);
    for (int r = 0; r < kSheetRowCount; ++r)
        for (int col = 0; col < 4; ++col) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setTextAlignment(col == 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
            if (col == 0) setCellBackground(item, colors::lightGrey);
            g->setItem(r, col, item);
        }
    writeFixedCells();
    g->installEventFilter(this);
    connect(g, &QTableWidget::cellClicked, this, &ElapsedTimeWindow::onGridClicked);
    connect(g->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ElapsedTimeWindow::onGridScrolled);
}

void ElapsedTimeWindow::onActivated() {
    hintLabel()->setText(QString(kHint).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    dateBox()->setText(todayText());
    focusBox(EntryBox::Start);
}

QString ElapsedTimeWindow::todayText() const {
    return dateText(platform().clock->now().date());
}

// --- the sheet on the screen -----------------------------------------------------------------

void ElapsedTimeWindow::writeFixedCells() {
    for (int r = 1; r <= kSheetRowCount; ++r)
        grid()->item(r - 1, 0)->setText(QString::number(r));
}

void ElapsedTimeWindow::showRow(int row) {
    const SheetRow& r = m_sheet.row(row);
    grid()->item(row - 1, 1)->setText(textOf(r.startText));
    grid()->item(row - 1, 2)->setText(textOf(r.endText));
    grid()->item(row - 1, 3)->setText(textOf(r.elapsedText));
}

void ElapsedTimeWindow::showAllRows() {
    for (int r = 1; r <= kSheetRowCount; ++r)
        showRow(r);
}

void ElapsedTimeWindow::showTotal() {
    totalLabel()->setText(textOf(m_sheet.totalText));
}

void ElapsedTimeWindow::setTopRow(int topRow) {
    m_settingTopRow = true;
    grid()->verticalScrollBar()->setValue(topRow - 1);
    m_settingTopRow = false;
}

// Puts both boxes on the cursor row, scrolled into view, with the grid's current cell there.
void ElapsedTimeWindow::showCursor() {
    setTopRow(m_cursor.topRow);
    const int top = placeEntryBoxes(m_cursor);
    placeTwips(startBox(), {kStartBoxLeft, top, kBoxWidth, kBoxHeight});
    placeTwips(endBox(), {kEndBoxLeft, top, kBoxWidth, kBoxHeight});
    // The boxes move from row to row; a screen reader says which row they are on.
    const QString row = QStringLiteral("%1行目 ").arg(m_cursor.currentRow);
    if (startBox()->accessibleName() != row + QStringLiteral("開始時間")) {
        startBox()->setAccessibleName(row + QStringLiteral("開始時間"));
        endBox()->setAccessibleName(row + QStringLiteral("終了時間"));
    }
    const int column = grid()->currentColumn() < 1 ? 1 : grid()->currentColumn();
    grid()->setCurrentCell(m_cursor.currentRow - 1, column);
}

void ElapsedTimeWindow::setBoxesVisible(bool visible) {
    // A focused widget that hides passes the focus on along the tab chain, which leads to the
    // buttons under the grid: Enter would then reset the sheet. The grid keeps it instead.
    if (!visible && (startBox()->hasFocus() || endBox()->hasFocus()))
        grid()->setFocus(Qt::OtherFocusReason);
    startBox()->setVisible(visible);
    endBox()->setVisible(visible);
}

QLineEdit* ElapsedTimeWindow::box(EntryBox which) const {
    return which == EntryBox::Start ? startBox() : endBox();
}

void ElapsedTimeWindow::focusBox(EntryBox which) {
    // While the cursor row is scrolled out of view nothing may be typed into it unseen; the
    // focus comes back to the box when the row is scrolled into view.
    if (box(which)->isHidden()) {
        grid()->setFocus(Qt::OtherFocusReason);
        return;
    }
    box(which)->setFocus(Qt::OtherFocusReason);
}

void ElapsedTimeWindow::checkMessage(const QString& text) {
    platform().messages->exclamation(this, text, kCalculatorCheckTitle);
}

void ElapsedTimeWindow::resetSheet() {
    qz::resetSheet(m_sheet, m_cursor);
    grid()->setCurrentCell(0, 0);
    showAllRows();
    writeFixedCells();
    setBoxesVisible(true);
    startBox()->clear();
    endBox()->clear();
    titleBox()->clear();
    dateBox()->setText(todayText());
    totalLabel()->clear();
    fileNameLabel()->clear();
    showCursor();
}

// --- typing times ----------------------------------------------------------------------------

bool ElapsedTimeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && isMenuShortcut(*event)) {
        // The boxes' own Ctrl keys (end of line, delete a character ...) give way to the menus.
        event->ignore();
        return true;
    }
    if (watched == grid() && event->type() == QEvent::KeyPress && startBox()->isHidden())
        return true; // the grid holds the focus only for the hidden boxes: keys go nowhere
    if (watched != startBox() && watched != endBox()) return QzWindow::eventFilter(watched, event);
    const EntryBox which = watched == startBox() ? EntryBox::Start : EntryBox::End;
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (handleBoxKey(which, key->key(), key->text())) return true;
    } else if (event->type() == QEvent::InputMethod) {
        // Text composed through an input method arrives without key events.
        const auto* im = static_cast<QInputMethodEvent*>(event);
        if (!im->commitString().isEmpty() || !im->preeditString().isEmpty())
            grid()->setCurrentCell(m_cursor.currentRow - 1, which == EntryBox::Start ? 1 : 2);
    } else if (event->type() == QEvent::FocusOut && which == EntryBox::Start) {
        // A start typed and left unconfirmed is dropped when the focus moves on within the
        // window; a message box or a dialog taking the focus for a moment keeps it.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            startBox()->clear();
    }
    return QzWindow::eventFilter(watched, event);
}

bool ElapsedTimeWindow::onEscapePressed() {
    if (!printPanel()->isVisible()) return false;
    onPrintCancelled();
    return true;
}

bool ElapsedTimeWindow::isMenuShortcut(const QEvent& event) const {
    const QKeySequence pressed(static_cast<const QKeyEvent&>(event).keyCombination());
    for (const QAction* a : {m_openAction, m_saveAction, m_printAction, m_exitAction,
                             m_calculatorAction, m_helpAction})
        if (a->shortcut() == pressed) return true;
    return false;
}

bool ElapsedTimeWindow::handleBoxKey(EntryBox which, int key, const QString& typed) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        confirmEntry(which);
        return true;
    }
    if (const std::optional<EntryKeyAction> action = entryKeyAction(which, key)) {
        box(which)->clear();
        showOutcome(applyEntryKey(m_sheet, m_cursor, *action));
        return true;
    }
    // The grid's highlighted cell follows the box being typed in.
    if (!typed.isEmpty() && typed[0].isPrint())
        grid()->setCurrentCell(m_cursor.currentRow - 1, which == EntryBox::Start ? 1 : 2);
    return false;
}

void ElapsedTimeWindow::confirmEntry(EntryBox which) {
    const QString typed = box(which)->text();
    const SheetEntryOutcome outcome = which == EntryBox::Start
                                          ? confirmStart(m_sheet, m_cursor, typed)
                                          : confirmEnd(m_sheet, m_cursor, typed);
    box(which)->clear();
    if (!outcome.message.isEmpty()) checkMessage(outcome.message);
    showOutcome(outcome);
}

void ElapsedTimeWindow::showOutcome(const SheetEntryOutcome& outcome) {
    if (outcome.changedRow > 0) showRow(outcome.changedRow);
    if (outcome.totalChanged) showTotal();
    showCursor();
    grid()->setCurrentCell(m_cursor.currentRow - 1, outcome.focus == EntryBox::Start ? 1 : 2);
    focusBox(outcome.focus);
}

// --- the grid --------------------------------------------------------------------------------

void ElapsedTimeWindow::onGridClicked(int gridRow, int column) {
    const int topRow = grid()->verticalScrollBar()->value() + 1;
    clickRow(m_cursor, gridRow + 1, topRow);
    setBoxesVisible(true);
    showCursor(); // scrolls a row that was only partly in view into it
    grid()->setCurrentCell(gridRow, column);
    if (column == 1 || column == 3)
        focusBox(EntryBox::Start);
    else if (column == 2)
        focusBox(EntryBox::End);
}

void ElapsedTimeWindow::onGridScrolled(int value) {
    if (m_settingTopRow) return;
    if (!scrollTo(m_cursor, value + 1)) {
        setBoxesVisible(false);
        return;
    }
    setBoxesVisible(true);
    const int top = placeEntryBoxes(m_cursor);
    placeTwips(startBox(), {kStartBoxLeft, top, kBoxWidth, kBoxHeight});
    placeTwips(endBox(), {kEndBoxLeft, top, kBoxWidth, kBoxHeight});
    focusBox(EntryBox::Start);
}

// --- commands --------------------------------------------------------------------------------

void ElapsedTimeWindow::onResetClicked() {
    resetSheet();
    m_player->beep();
    focusBox(EntryBox::Start);
}

void ElapsedTimeWindow::onMenuClicked() {
    windows().switchTo(WindowId::Launcher, this);
}

void ElapsedTimeWindow::onExitClicked() {
    windows().exitProgram(this);
}

void ElapsedTimeWindow::onCalculatorTriggered() {
    windows().startCalculator(this);
}

void ElapsedTimeWindow::onHelpTriggered() {
    windows().openHelp(this);
}

void ElapsedTimeWindow::onSaveTriggered() {
    m_sheet.sheetTitle = titleBox()->text();
    m_sheet.sheetDate = dateBox()->text();
    if (!hasAnyStart(m_sheet)) {
        checkMessage(elapsed_text::kNothingToSave);
        focusBox(EntryBox::Start);
        return;
    }
    // Refused before a file is chosen: the format cannot carry these characters.
    bool inTitle = false;
    const QString problem = sheetTextProblem(m_sheet, &inTitle);
    if (!problem.isEmpty()) {
        checkMessage(problem);
        (inTitle ? titleBox() : dateBox())->setFocus(Qt::OtherFocusReason);
        return;
    }
    const std::optional<QString> chosen =
        platform().files->saveFile(this, state().programFolder(), kTmkFilter);
    if (!chosen) return;
    const QString path = withTmkExtension(*chosen);
    // The dialog asked about the name as typed; the name with its extension may exist too.
    if (path != *chosen && QFileInfo::exists(path) &&
        !platform().messages->confirm(
            this, QStringLiteral("%1 は既にあります。\n上書きしますか？").arg(filePart(path)),
            kCalculatorCheckTitle))
        return;
    // What an earlier save killed half-way left beside the file goes with this one.
    removeStaleTemporaryFilesOf(path);
    const TmkBytes bytes = tmkFileBytes(m_sheet);
    QString error = bytes.error;
    if (!bytes.bytes || !writeFileAtomically(path, *bytes.bytes, &error)) {
        checkMessage(QStringLiteral("%1 に保存できませんでした。\n%2").arg(filePart(path), error));
        focusBox(EntryBox::Start);
        return;
    }
    fileNameLabel()->setText(filePart(path));
    focusBox(EntryBox::Start);
}

void ElapsedTimeWindow::onOpenTriggered() {
    const std::optional<QString> chosen =
        platform().files->openFile(this, state().programFolder(), kTmkFilter);
    if (!chosen) {
        focusBox(EntryBox::Start);
        return;
    }
    const QString name = filePart(*chosen);
    // Everything is read and checked before the sheet is touched: a file that turns out not to
    // be a sheet leaves the one on the screen as it was.
    auto fail = [&](const QString& why) {
        checkMessage(QStringLiteral("%1 を読み込めませんでした。\n%2").arg(name, why));
        focusBox(EntryBox::Start);
    };
    const ReadResult read = readWholeFile(*chosen, kTmkMaxBytes);
    if (read.status != ReadStatus::Ok)
        return fail(readFaultText(read.status, QStringLiteral("経過時間計算ﾌｧｲﾙ")));
    TmkParseResult parsed = parseTmkFile(read.bytes);
    if (!parsed.sheet) return fail(parsed.error);
    resetSheet();
    m_sheet = std::move(*parsed.sheet);
    showAllRows();
    showTotal(); // as the file says, not recomputed
    titleBox()->setText(textOf(m_sheet.sheetTitle));
    dateBox()->setText(textOf(m_sheet.sheetDate));
    m_player->beep();
    fileNameLabel()->setText(name);
    focusBox(EntryBox::Start);
}

// --- printing --------------------------------------------------------------------------------

void ElapsedTimeWindow::onPrintRequested() {
    printPanel()->show();
    printPanel()->raise();
    // The focus on "ｷｬﾝｾﾙ", so that Enter alone does not print.
    printCancelButton()->setFocus(Qt::OtherFocusReason);
}

void ElapsedTimeWindow::onPrintCancelled() {
    printOkButton()->setAutoDefault(true);
    printCancelButton()->setAutoDefault(true);
    printPanel()->hide();
    focusBox(EntryBox::Start);
}

void ElapsedTimeWindow::onPrintConfirmed() {
    // Let the panel be drawn before the printer keeps the program busy.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    Printer& printer = *platform().printer;
    const PrintDocument doc =
        elapsedSheetPrintout(m_sheet, dateBox()->text(),
                             printer.pageHeightInCells({kElapsedPrintFamily, kElapsedPrintPoints}));
    if (printOrOfferPdf(this, printer, *platform().messages, *platform().files,
                        state().programFolder(), windowTitle(), doc))
        m_player->beep();
    printOkButton()->setAutoDefault(true);
    printCancelButton()->setAutoDefault(true);
    printPanel()->hide();
    focusBox(EntryBox::Start);
}

} // namespace qz
