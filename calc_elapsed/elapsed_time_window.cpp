// SPDX-License-Identifier: MIT
#include "elapsed_time_window.h"

#include "calc_elapsed/elapsed_printout.h"
#include "calc_elapsed/tmk_file.h"
#include "files/file_io.h"
#include "files/read_number.h"
#include "ui/clock.h"
#include "ui/dialogs.h"
#include "ui/look.h"
#include "ui/printing/printing.h"
#include "ui/sound_player.h"

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

    auto lineEdit = [&](QWidget* parent, const char* name, TwipsRect at) {
        auto* e = addControl<QLineEdit>(parent, name, at);
        setBackground(e, colors::white);
        return e;
    };
    auto button = [&](const char* name, const QString& text, int left,
                      void (ElapsedTimeWindow::*slot)()) {
        auto* b = addControl<QPushButton>(client, name, {left, 7800, 855, 300}, text);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };

    addLabel(client, "Label4", {2865, 165, 855, 255}, QStringLiteral("日付："));
    m_dateBox = lineEdit(client, "Text4", {3720, 120, 1335, 270});
    m_dateBox->installEventFilter(this);
    m_dateBox->setAccessibleName(QStringLiteral("日付"));
    addLabel(client, "Label5", {2865, 450, 855, 255}, QStringLiteral("タイトル："));
    m_titleBox = lineEdit(client, "Text3", {3720, 440, 1335, 270});
    m_titleBox->installEventFilter(this);
    m_titleBox->setAccessibleName(QStringLiteral("タイトル"));
    addLabel(client, "Label8", {105, 795, 855, 255}, QStringLiteral("ﾌｧｲﾙ名："));
    m_fileNameLabel = addLabel(client, "Label7", {960, 765, 4095, 270});

    m_sheetFrame = addControl<QGroupBox>(client, "Frame1", {120, 1065, 5000, 5960});
    setBackground(m_sheetFrame, colors::paleBlue);

    m_grid =
        addControl<QTableWidget>(m_sheetFrame, "G1", {120, 360, 4760, 5140}, kSheetRowCount, 4);
    m_grid->setAccessibleName(QStringLiteral("経過時間表"));

    // Placed on the current row by showCursor().
    m_startBox = lineEdit(m_sheetFrame, "Text1", {});
    m_endBox = lineEdit(m_sheetFrame, "Text2", {});
    for (QLineEdit* b : {m_startBox, m_endBox}) {
        b->setFrame(false);
        setBackground(b, kCursorCell);
        b->setTextMargins(2, 0, 0, 0);
        b->installEventFilter(this);
        b->raise();
        // Of lines pasted into a box, the first is the time; the rest would only run into it.
        connect(b, &QLineEdit::textEdited, this, [b](const QString& text) {
            if (hasLineBreak(text)) b->setText(splitLines(text).first());
        });
    }

    addLabel(m_sheetFrame, "Label2", {2595, 5580, 645, 255}, QStringLiteral("合計："));
    m_totalLabel = addLabel(m_sheetFrame, "Label1", {3240, 5565, 1335, 255}, {},
                            Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* l : {m_fileNameLabel, m_totalLabel}) {
        setValueLook(l);
        l->setIndent(3);
    }

    m_hintFrame = addControl<QGroupBox>(client, "Frame2", {120, 7020, 5000, 675});
    setBackground(m_hintFrame, colors::paleBlue);
    m_hintLabel = addLabel(m_hintFrame, "Label6", {120, 165, 4780, 405});
    m_hintLabel->setFont(uiFont(8.25));

    m_resetButton =
        button("Command4", QStringLiteral("ﾘｾｯﾄ"), 2490, &ElapsedTimeWindow::onResetClicked);
    m_menuButton =
        button("Command5", QStringLiteral("ﾒﾆｭｰへ"), 3345, &ElapsedTimeWindow::onMenuClicked);
    m_exitButton =
        button("Command1", QStringLiteral("終了"), 4200, &ElapsedTimeWindow::onExitClicked);

    // The print question covers the top left corner until it is answered.
    m_printPanel = addControl<QFrame>(client, "Picture1", {0, 0, 2415, 1095});
    m_printPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_printPanel->setLineWidth(2);
    setBackground(m_printPanel, colors::paleYellow);
    addLabel(m_printPanel, "Label3", {120, 120, 2175, 300}, QStringLiteral("内容を印刷しますか？"));
    m_printOkButton = addControl<QPushButton>(m_printPanel, "Command2", {120, 480, 975, 375},
                                              QStringLiteral("OK"));
    connect(m_printOkButton, &QPushButton::clicked, this, &ElapsedTimeWindow::onPrintConfirmed);
    m_printCancelButton = addControl<QPushButton>(m_printPanel, "Command3", {1200, 480, 975, 375},
                                                  QStringLiteral("ｷｬﾝｾﾙ"));
    connect(m_printCancelButton, &QPushButton::clicked, this, &ElapsedTimeWindow::onPrintCancelled);
    // Enter presses the focused button.
    for (QPushButton* b :
         {m_resetButton, m_menuButton, m_exitButton, m_printOkButton, m_printCancelButton})
        b->setAutoDefault(true);
    m_printPanel->hide();

    setTabOrder(m_startBox, m_endBox);
}

void ElapsedTimeWindow::buildGrid() {
    QTableWidget* g = m_grid;
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
    m_hintLabel->setText(QString(kHint).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_dateBox->setText(todayText());
    focusBox(EntryBox::Start);
}

QString ElapsedTimeWindow::todayText() const {
    return dateText(platform().clock->now().date());
}

// --- the sheet on the screen -----------------------------------------------------------------

void ElapsedTimeWindow::writeFixedCells() {
    for (int r = 1; r <= kSheetRowCount; ++r)
        m_grid->item(r - 1, 0)->setText(QString::number(r));
}

void ElapsedTimeWindow::showRow(int row) {
    const SheetRow& r = m_sheet.row(row);
    m_grid->item(row - 1, 1)->setText(textOf(r.startText));
    m_grid->item(row - 1, 2)->setText(textOf(r.endText));
    m_grid->item(row - 1, 3)->setText(textOf(r.elapsedText));
}

void ElapsedTimeWindow::showAllRows() {
    for (int r = 1; r <= kSheetRowCount; ++r)
        showRow(r);
}

void ElapsedTimeWindow::showTotal() {
    m_totalLabel->setText(textOf(m_sheet.totalText));
}

void ElapsedTimeWindow::setTopRow(int topRow) {
    m_settingTopRow = true;
    m_grid->verticalScrollBar()->setValue(topRow - 1);
    m_settingTopRow = false;
}

// Puts both boxes on the cursor row, scrolled into view, with the grid's current cell there.
void ElapsedTimeWindow::showCursor() {
    setTopRow(m_cursor.topRow);
    const int top = placeEntryBoxes(m_cursor);
    placeTwips(m_startBox, {kStartBoxLeft, top, kBoxWidth, kBoxHeight});
    placeTwips(m_endBox, {kEndBoxLeft, top, kBoxWidth, kBoxHeight});
    // The boxes move from row to row; a screen reader says which row they are on.
    const QString row = QStringLiteral("%1行目 ").arg(m_cursor.currentRow);
    if (m_startBox->accessibleName() != row + QStringLiteral("開始時間")) {
        m_startBox->setAccessibleName(row + QStringLiteral("開始時間"));
        m_endBox->setAccessibleName(row + QStringLiteral("終了時間"));
    }
    const int column = m_grid->currentColumn() < 1 ? 1 : m_grid->currentColumn();
    m_grid->setCurrentCell(m_cursor.currentRow - 1, column);
}

void ElapsedTimeWindow::setBoxesVisible(bool visible) {
    // A focused widget that hides passes the focus on along the tab chain, which leads to the
    // buttons under the grid: Enter would then reset the sheet. The grid keeps it instead.
    if (!visible && (m_startBox->hasFocus() || m_endBox->hasFocus()))
        m_grid->setFocus(Qt::OtherFocusReason);
    m_startBox->setVisible(visible);
    m_endBox->setVisible(visible);
}

QLineEdit* ElapsedTimeWindow::box(EntryBox which) const {
    return which == EntryBox::Start ? m_startBox : m_endBox;
}

void ElapsedTimeWindow::focusBox(EntryBox which) {
    // While the cursor row is scrolled out of view nothing may be typed into it unseen; the
    // focus comes back to the box when the row is scrolled into view.
    if (box(which)->isHidden()) {
        m_grid->setFocus(Qt::OtherFocusReason);
        return;
    }
    box(which)->setFocus(Qt::OtherFocusReason);
}

void ElapsedTimeWindow::checkMessage(const QString& text) {
    platform().messages->exclamation(this, text, elapsed_text::kCheckTitle);
}

void ElapsedTimeWindow::resetSheet() {
    CL(m_sheet, m_cursor);
    m_grid->setCurrentCell(0, 0);
    showAllRows();
    writeFixedCells();
    setBoxesVisible(true);
    m_startBox->clear();
    m_endBox->clear();
    m_titleBox->clear();
    m_dateBox->setText(todayText());
    m_totalLabel->clear();
    m_fileNameLabel->clear();
    showCursor();
}

// --- typing times ----------------------------------------------------------------------------

bool ElapsedTimeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && isMenuShortcut(*event)) {
        // The boxes' own Ctrl keys (end of line, delete a character ...) give way to the menus.
        event->ignore();
        return true;
    }
    if (watched == m_grid && event->type() == QEvent::KeyPress && m_startBox->isHidden())
        return true; // the grid holds the focus only for the hidden boxes: keys go nowhere
    if (watched != m_startBox && watched != m_endBox) return QzWindow::eventFilter(watched, event);
    const EntryBox which = watched == m_startBox ? EntryBox::Start : EntryBox::End;
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (handleBoxKey(which, key->key(), key->text())) return true;
    } else if (event->type() == QEvent::InputMethod) {
        // Text composed through an input method arrives without key events.
        const auto* im = static_cast<QInputMethodEvent*>(event);
        if (!im->commitString().isEmpty() || !im->preeditString().isEmpty())
            m_grid->setCurrentCell(m_cursor.currentRow - 1, which == EntryBox::Start ? 1 : 2);
    } else if (event->type() == QEvent::FocusOut && which == EntryBox::Start) {
        // A start typed and left unconfirmed is dropped when the focus moves on within the
        // window; a message box or a dialog taking the focus for a moment keeps it.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            m_startBox->clear();
    }
    return QzWindow::eventFilter(watched, event);
}

bool ElapsedTimeWindow::onEscapePressed() {
    if (!m_printPanel->isVisible()) return false;
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
        m_grid->setCurrentCell(m_cursor.currentRow - 1, which == EntryBox::Start ? 1 : 2);
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
    m_grid->setCurrentCell(m_cursor.currentRow - 1, outcome.focus == EntryBox::Start ? 1 : 2);
    focusBox(outcome.focus);
}

// --- the grid --------------------------------------------------------------------------------

void ElapsedTimeWindow::onGridClicked(int gridRow, int column) {
    const int topRow = m_grid->verticalScrollBar()->value() + 1;
    clickRow(m_cursor, gridRow + 1, topRow);
    setBoxesVisible(true);
    showCursor(); // scrolls a row that was only partly in view into it
    m_grid->setCurrentCell(gridRow, column);
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
    placeTwips(m_startBox, {kStartBoxLeft, top, kBoxWidth, kBoxHeight});
    placeTwips(m_endBox, {kEndBoxLeft, top, kBoxWidth, kBoxHeight});
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
    m_sheet.sheetTitle = m_titleBox->text();
    m_sheet.sheetDate = m_dateBox->text();
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
        (inTitle ? m_titleBox : m_dateBox)->setFocus(Qt::OtherFocusReason);
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
            elapsed_text::kCheckTitle))
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
    m_fileNameLabel->setText(filePart(path));
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
    m_titleBox->setText(textOf(m_sheet.sheetTitle));
    m_dateBox->setText(textOf(m_sheet.sheetDate));
    m_player->beep();
    m_fileNameLabel->setText(name);
    focusBox(EntryBox::Start);
}

// --- printing --------------------------------------------------------------------------------

void ElapsedTimeWindow::onPrintRequested() {
    m_printPanel->show();
    m_printPanel->raise();
    // The focus on "ｷｬﾝｾﾙ", so that Enter alone does not print.
    m_printCancelButton->setFocus(Qt::OtherFocusReason);
}

void ElapsedTimeWindow::onPrintCancelled() {
    m_printOkButton->setAutoDefault(true);
    m_printCancelButton->setAutoDefault(true);
    m_printPanel->hide();
    focusBox(EntryBox::Start);
}

void ElapsedTimeWindow::onPrintConfirmed() {
    // Let the panel be drawn before the printer keeps the program busy.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    Printer& printer = *platform().printer;
    const PrintDocument doc =
        elapsedSheetPrintout(m_sheet, m_dateBox->text(),
                             printer.pageHeightInCells({kElapsedPrintFamily, kElapsedPrintPoints}));
    if (printOrOfferPdf(this, printer, *platform().messages, *platform().files,
                        state().programFolder(), windowTitle(), doc))
        m_player->beep();
    m_printOkButton->setAutoDefault(true);
    m_printCancelButton->setAutoDefault(true);
    m_printPanel->hide();
    focusBox(EntryBox::Start);
}

} // namespace qz
