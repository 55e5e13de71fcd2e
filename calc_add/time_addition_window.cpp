// SPDX-License-Identifier: MIT
#include "calc_add/time_addition_window.h"

#include "audio/sound_player.h"
#include "calc_add/addition_printout.h"
#include "calc_add/tim_file.h"
#include "files/file_io.h"
#include "files/read_number.h"
#include "look/look.h"
#include "ui/dialogs.h"
#include "ui/platform.h"
#include "ui/printing/printing.h"

#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>

namespace qz {

namespace {

constexpr int kGridColumns = 6;
constexpr int kColumnWidths[kGridColumns] = {500, 1800, 1100, 1100, 1100, 1100};
using K = ControlKind;
using W = TimeAdditionWindow;
constexpr TwipsRect kRoundingOption = {300, 120, 2600, 270}; // the first; the others below it
constexpr int kRoundingOptionPitch = 290;
constexpr Qt::Alignment kTopLeft = Qt::AlignLeft | Qt::AlignTop;
constexpr ControlDecl roundingOptionDecl(int i, const char* name) {
    return shiftedDecl({.kind = K::Option, .at = kRoundingOption, .within = W::RoundingFrame},
                       i * kRoundingOptionPitch, name, W::Rounding0 + i);
}

// The window's controls in the client area, in twips; the options take the modes' captions.
constexpr ControlDecl kControls[] = {
    // The worksheet grid (set up by buildGrid()).
    {.role = W::Grid,
     .name = "G1",
     .kind = K::Grid,
     .at = {120, 690, 7030, 2730},
     .points = 9,
     .fixedPitch = true},
    // Placed over the current line by showPosition(), on the grid's own rows. It lies in the
    // grid's viewport, so a line scrolled out of view takes the box with it while the box
    // keeps the focus.
    {.role = W::EntryBox,
     .name = "Text1",
     .kind = K::LineEdit,
     .within = W::Grid,
     .align = Qt::AlignRight | Qt::AlignVCenter,
     .points = 9,
     .fixedPitch = true,
     .flat = true,
     .ground = colors::paleCyan},
    // The rounding choice, the current mode and the three buttons beside the grid.
    {.role = W::ModeFrame, .name = "Frame2", .kind = K::GroupBox, .at = {7300, 690, 3000, 420}},
    {.role = W::Mode,
     .name = "Label1",
     .kind = K::Label,
     .at = {0, 0, 3000, 420},
     .within = W::ModeFrame,
     .align = Qt::AlignCenter,
     .points = 10,
     .bold = true},
    {.role = W::RoundingFrame,
     .name = "Frame1",
     .kind = K::GroupBox,
     .at = {7300, 1170, 3000, 1620}},
    roundingOptionDecl(0, "Option1"),
    roundingOptionDecl(1, "Option2"),
    roundingOptionDecl(2, "Option3"),
    roundingOptionDecl(3, "Option4"),
    roundingOptionDecl(4, "Option5"),
    {.role = W::ButtonsFrame, .name = "Frame6", .kind = K::GroupBox, .at = {7300, 2850, 3000, 570}},
    {.role = W::Reset,
     .name = "Command1",
     .kind = K::Button,
     .at = {90, 90, 900, 390},
     .caption = u"ﾘｾｯﾄ",
     .within = W::ButtonsFrame},
    {.role = W::Menu,
     .name = "Command2",
     .kind = K::Button,
     .at = {1050, 90, 900, 390},
     .caption = u"ﾒﾆｭｰへ",
     .within = W::ButtonsFrame},
    {.role = W::Exit,
     .name = "Command3",
     .kind = K::Button,
     .at = {2010, 90, 900, 390},
     .caption = u"終了",
     .within = W::ButtonsFrame},
    // How to type, under the grid. The examples line up in the fixed-pitch face.
    {.role = W::HowToFrame, .name = "Frame3", .kind = K::GroupBox, .at = {120, 3540, 3400, 1020}},
    {.role = W::HowTo,
     .name = "Label4",
     .kind = K::Label,
     .at = {0, 0, 3400, 1020},
     .within = W::HowToFrame,
     .align = kTopLeft,
     .points = 9},
    {.role = W::ExampleFrame,
     .name = "Frame4",
     .kind = K::GroupBox,
     .at = {3580, 3540, 3700, 1020}},
    {.role = W::Example,
     .name = "Label2",
     .kind = K::Label,
     .at = {0, 0, 3700, 1020},
     .within = W::ExampleFrame,
     .align = kTopLeft,
     .points = 9,
     .fixedPitch = true},
    {.role = W::MultiplyFrame,
     .name = "Frame5",
     .kind = K::GroupBox,
     .at = {7340, 3540, 2960, 1020}},
    {.role = W::Multiply,
     .name = "Label3",
     .kind = K::Label,
     .at = {0, 0, 2960, 1020},
     .within = W::MultiplyFrame,
     .align = kTopLeft,
     .points = 9,
     .fixedPitch = true},
    // The print question, over the top of the grid while it is asked.
    {.role = W::PrintPanel,
     .name = "Picture1",
     .kind = K::RaisedPanel,
     .at = {2280, 120, 2415, 1095},
     .ground = colors::paleYellow},
    {.role = W::PrintQuestion,
     .name = "Label5",
     .kind = K::Label,
     .at = {150, 120, 2100, 330},
     .caption = u" 印刷しますか？",
     .within = W::PrintPanel,
     .points = 10,
     .bold = true},
    {.role = W::PrintOk,
     .name = "Command5",
     .kind = K::Button,
     .at = {180, 540, 960, 390},
     .caption = u"ＯＫ",
     .within = W::PrintPanel},
    {.role = W::PrintCancel,
     .name = "Command4",
     .kind = K::Button,
     .at = {1260, 540, 960, 390},
     .caption = u"ｷｬﾝｾﾙ",
     .within = W::PrintPanel},
};

QString joinedLines(std::initializer_list<const char16_t*> lines) {
    QStringList out;
    for (const char16_t* l : lines)
        out << QString::fromUtf16(l);
    return out.join(u'\n');
}

// Keys that move the focus or only modify another key are not typing.
bool isTyping(const QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
        return false;
    default:
        return true;
    }
}

} // namespace

TimeAdditionWindow::TimeAdditionWindow(AppContext& c) : QzWindow(c, WindowId::CalcAdd) {
    setObjectName(QStringLiteral("TMK"));
    setWindowTitle(QStringLiteral("時間加算計算"));
    m_player = platform().sounds->createPlayer();
    buildMenus();
    buildControls();
    setWindowSizeTwips(this, 10540, 5460);
}

TimeAdditionWindow::~TimeAdditionWindow() = default;

void TimeAdditionWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = addMenu(bar, "M1", QStringLiteral("ﾌｧｲﾙ"));
    connect(addMenuItem(file, "M11", QStringLiteral("ﾌｧｲﾙを開く")), &QAction::triggered, this,
            &TimeAdditionWindow::onOpenTriggered);
    connect(addMenuItem(file, "M12", QStringLiteral("名前を付けて保存する")), &QAction::triggered,
            this, &TimeAdditionWindow::onSaveTriggered);
    file->addSeparator()->setObjectName(QStringLiteral("M13"));
    connect(addMenuItem(file, "M14", QStringLiteral("印刷")), &QAction::triggered, this,
            &TimeAdditionWindow::onPrintRequested);
    file->addSeparator()->setObjectName(QStringLiteral("M15"));
    connect(addMenuItem(file, "M16", QStringLiteral("時間加算計算の終了")), &QAction::triggered,
            this, &TimeAdditionWindow::onLeaveCalculatorTriggered);
    connect(addMenuItem(file, "M17", QStringLiteral("終了")), &QAction::triggered, this,
            &TimeAdditionWindow::onExitClicked);

    QMenu* tools = addMenu(bar, "M2", QStringLiteral("ﾂｰﾙ(&T)"));
    connect(addMenuItem(tools, "M21", QStringLiteral("QZ電卓(&D)")), &QAction::triggered, this,
            &TimeAdditionWindow::onCalculatorTriggered);
    QMenu* help = addMenu(bar, "M3", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    connect(addMenuItem(help, "M31", QStringLiteral("ﾍﾙﾌﾟ(&H)")), &QAction::triggered, this,
            &TimeAdditionWindow::onHelpTriggered);
}

// The worksheet grid: the header row stays in view, line numbers scroll with their lines.
void TimeAdditionWindow::buildGrid() {
    QTableWidget* g = grid();
    g->setRowCount(kLineCount);
    g->setColumnCount(kGridColumns);
    g->verticalHeader()->hide();
    g->verticalHeader()->setMinimumSectionSize(1);
    g->verticalHeader()->setDefaultSectionSize(twips(kGridLineTwips));
    g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    g->horizontalHeader()->setMinimumSectionSize(1);
    g->horizontalHeader()->setFixedHeight(twips(kGridLineTwips));
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    g->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    g->horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < kGridColumns; ++c)
        g->setColumnWidth(c, twips(kColumnWidths[c]));
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    g->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::NoSelection);
    g->setFocusPolicy(Qt::NoFocus);
    // The entry box lies in the grid: Tab in it must move the focus on, not the grid's cell.
    g->setTabKeyNavigation(false);
    g->setAutoScroll(false);
    g->setWordWrap(false);
    g->setCornerButtonEnabled(false);
    // Exactly the header and ten lines: a part-visible eleventh line would shift the lines
    // under the box when the grid is scrolled to its end.
    g->resize(g->width(), 2 * g->frameWidth() + (kVisibleLines + 1) * twips(kGridLineTwips));
    for (int c = 0; c < kGridColumns; ++c)
        g->setHorizontalHeaderItem(c, new QTableWidgetItem);
    for (int r = 0; r < kLineCount; ++r)
        for (int c = 0; c < kGridColumns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c == 0) {
                setCellBackground(item, colors::silver);
                item->setText(QString::number(r + 1) + u' ');
            }
            g->setItem(r, c, item);
        }
    connect(g, &QTableWidget::cellClicked, this, &TimeAdditionWindow::onGridCellClicked);
    connect(g->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TimeAdditionWindow::onGridScrolled);
}

void TimeAdditionWindow::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    m_toolbar =
        addSheetToolBar(this, {[this] { onOpenTriggered(); }, [this] { onSaveTriggered(); },
                               [this] { onPrintRequested(); }, [this] { onCalculatorTriggered(); },
                               [this] { onHelpTriggered(); }});
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolbar->adjustSize();

    qz::buildControls(client, kControls, m_controls);
    buildGrid();
    entryBox()->setMaxLength(kMaxEntryLength);
    entryBox()->installEventFilter(this);
    // Lines pasted or dropped into the box are entered at once, each as if typed and confirmed.
    // Lines handed back after a refused one wait for Enter, so they can be mended first.
    connect(entryBox(), &QLineEdit::textEdited, this, [this](const QString& text) {
        const qsizetype breaks = splitLines(text).size() - 1;
        const bool pasted = breaks > m_boxLineBreaks;
        m_boxLineBreaks = breaks;
        if (pasted) onEntryKey(Qt::Key_Return);
    });

    // Navy on a ground of its own, which it reads on whatever the desktop's colours.
    setColorOnOwnGround(modeLabel(), colors::navy);
    for (int i = 0; i < kRoundingModeCount; ++i) {
        QRadioButton* o = roundingOption(RoundingMode(i));
        o->setText(roundingModeTexts(RoundingMode(i)).optionCaption);
        connect(o, &QRadioButton::clicked, this,
                [this, i] { onRoundingOptionClicked(RoundingMode(i)); });
    }
    connect(resetButton(), &QPushButton::clicked, this, &TimeAdditionWindow::onResetClicked);
    connect(menuButton(), &QPushButton::clicked, this, &TimeAdditionWindow::onBackToMenuClicked);
    connect(exitButton(), &QPushButton::clicked, this, &TimeAdditionWindow::onExitClicked);
    // Each text fills its frame inside a margin.
    for (QLabel* l : {howToLabel(), exampleLabel(), multiplyLabel()})
        l->setContentsMargins(twips(120), twips(90), 0, 0);

    // Enter on a focused button presses it.
    for (QPushButton* b :
         {resetButton(), menuButton(), exitButton(), printOkButton(), printCancelButton()})
        b->setAutoDefault(true);
    connect(printOkButton(), &QPushButton::clicked, this, &TimeAdditionWindow::onPrintConfirmed);
    connect(printCancelButton(), &QPushButton::clicked, this,
            &TimeAdditionWindow::onPrintCancelled);
    printPanel()->hide();

    // Tab order, once for the window: the box, the rounding choice, the buttons.
    QList<QWidget*> focusOrder = {entryBox()};
    for (int i = 0; i < kRoundingModeCount; ++i)
        focusOrder << roundingOption(RoundingMode(i));
    focusOrder << resetButton() << menuButton() << exitButton() << printCancelButton()
               << printOkButton();
    for (qsizetype i = 1; i < focusOrder.size(); ++i)
        setTabOrder(focusOrder[i - 1], focusOrder[i]);

    entryBox()->raise();
    printPanel()->raise();
}

void TimeAdditionWindow::onActivated() {
    howToLabel()->setText(
        joinedLines({u"● 最初に切上・切捨を選択します", u"● 「時間 ．分」で入力します",
                     u"● 入力・ｴﾝﾀｰすると次へ進みます", u"● 「↑」キーで戻ります"}));
    exampleLabel()->setText(
        joinedLines({u"● 入力例： 3時間40分～  3.40", u"　 　　　　12時間 5分～ 12.05",
                     u"　 　　　　  　　45分～  0.45", u"　 　　　　 ﾏｲﾅｽ 15分～ -0.15"}));
    multiplyLabel()->setText(
        joinedLines({u"● かけ算は一度だけできます", u"", u"　2時間15分×3 ～ 2.15*3"}));
    grid()->horizontalHeaderItem(1)->setText(QStringLiteral("入力"));
    grid()->horizontalHeaderItem(2)->setText(QStringLiteral("分単位計算"));
    grid()->horizontalHeaderItem(3)->setText(QStringLiteral("分単位累計"));
    clearWorksheet();
    entryBox()->setFocus();
}

// --- the worksheet in the grid ----------------------------------------------------------------

void TimeAdditionWindow::setCell(int row, int column, const QString& text) {
    QTableWidgetItem* item = grid()->item(row - 1, column);
    if (item->text() != text) item->setText(text);
}

void TimeAdditionWindow::showLines(int first, int last) {
    for (int i = std::max(first, 1); i <= std::min(last, kLineCount); ++i) {
        const auto cells = lineCells(m_sheet, i);
        for (int c = 0; c < 5; ++c)
            setCell(i, c + 1, cells[size_t(c)]);
    }
}

void TimeAdditionWindow::showAllLines() {
    showLines(1, kLineCount);
}

void TimeAdditionWindow::showRoundingMode() {
    const RoundingModeTexts texts = roundingModeTexts(m_sheet.mode);
    roundingOption(m_sheet.mode)->setChecked(true);
    modeLabel()->setText(texts.label);
    grid()->horizontalHeaderItem(4)->setText(texts.roundedLineHeader);
    grid()->horizontalHeaderItem(5)->setText(texts.roundedRunningHeader);
    for (int i = 0; i < kRoundingModeCount; ++i)
        roundingOption(RoundingMode(i))->setEnabled(!m_sheet.roundingLocked);
}

// The box stands over column 1 of the current line; its top in twips counts grid lines from
// the first one in view (above or below the view while the line is scrolled away), placed on
// the grid's own rows so it lines up at any resolution.
void TimeAdditionWindow::showPosition() {
    const EditPosition& p = m_sheet.pos;
    m_syncingScroll = true;
    grid()->verticalScrollBar()->setValue(p.topRow - 1);
    m_syncingScroll = false;
    const int linesDown = (p.boxTop - kBoxTopFirst) / kGridLineTwips;
    const int rowHeight = grid()->rowHeight(0);
    entryBox()->setGeometry(grid()->columnViewportPosition(1), linesDown * rowHeight,
                            grid()->columnWidth(1), rowHeight);
    // The box moves from line to line; a screen reader says which line it is on.
    const QString name = QStringLiteral("%1行目 入力").arg(p.currentLine);
    if (entryBox()->accessibleName() != name) entryBox()->setAccessibleName(name);
}

void TimeAdditionWindow::clearWorksheet() {
    resetSheet(m_sheet);
    showRoundingMode();
    showAllLines();
    showPosition();
}

void TimeAdditionWindow::resetWorksheetAndGrid() {
    clearWorksheet();
    m_player->beep();
    entryBox()->setFocus();
}

// --- the entry box ----------------------------------------------------------------------------

bool TimeAdditionWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == entryBox() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isTyping(key)) return onEntryKey(key->key());
    }
    // The box lies over the grid: the wheel over it scrolls the grid, as anywhere else on it.
    if (watched == entryBox() && event->type() == QEvent::Wheel)
        return QCoreApplication::sendEvent(grid()->viewport(), event);
    return QzWindow::eventFilter(watched, event);
}

bool TimeAdditionWindow::onEscapePressed() {
    if (!printPanel()->isVisible()) return false;
    onPrintCancelled();
    return true;
}

// Returns true when the box must not see the key.
bool TimeAdditionWindow::onEntryKey(int key) {
    const bool wasLocked = m_sheet.roundingLocked;
    const EditPosition wasAt = m_sheet.pos;
    noteKeyInEntryBox(m_sheet);
    if (!wasLocked) showRoundingMode();
    // Typing on a line scrolled out of view brings it back first, so the user sees it.
    if (m_sheet.pos != wasAt) showPosition();
    KeyResult result;
    switch (key) {
    case Qt::Key_Up:
        result = pressUp(m_sheet);
        break;
    case Qt::Key_Down:
        result = pressDown(m_sheet, entryBox()->text());
        break;
    case Qt::Key_Delete:
        result = pressDelete(m_sheet);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        result = pressEnter(m_sheet, entryBox()->text());
        break;
    default:
        return false;
    }
    apply(result);
    return result.consumed;
}

void TimeAdditionWindow::apply(const KeyResult& result) {
    if (result.error != EntryError::None) {
        m_player->beep();
        platform().messages->exclamation(this, entryErrorMessage(result.error),
                                         kCalculatorCheckTitle);
    }
    if (result.clearBox) {
        entryBox()->setText(result.keptText);
        m_boxLineBreaks = splitLines(result.keptText).size() - 1;
    }
    showLines(result.firstChanged, result.lastChanged);
    showPosition();
    entryBox()->setFocus();
}

void TimeAdditionWindow::onRoundingOptionClicked(RoundingMode mode) {
    if (m_sheet.roundingLocked) return;
    chooseRoundingMode(m_sheet, mode);
    showRoundingMode();
    showAllLines();
    // After the option button's own handling, which keeps the focus when chosen by arrow key.
    QTimer::singleShot(0, entryBox(), [box = entryBox()] { box->setFocus(); });
}

void TimeAdditionWindow::onGridCellClicked(int row, int) {
    clickGridLine(m_sheet, row + 1);
    showPosition();
    entryBox()->setFocus();
}

void TimeAdditionWindow::onGridScrolled(int value) {
    if (m_syncingScroll) return;
    scrollGridTo(m_sheet, value + 1);
    showPosition();
}

// --- buttons and menus ------------------------------------------------------------------------

void TimeAdditionWindow::onResetClicked() {
    resetWorksheetAndGrid();
}

void TimeAdditionWindow::onBackToMenuClicked() {
    clearWorksheet();
    windows().switchTo(WindowId::Launcher, this);
}

void TimeAdditionWindow::onLeaveCalculatorTriggered() {
    windows().switchTo(WindowId::Launcher, this);
}

void TimeAdditionWindow::onExitClicked() {
    windows().exitProgram(this);
}

void TimeAdditionWindow::onCalculatorTriggered() {
    windows().startCalculator(this);
}

void TimeAdditionWindow::onHelpTriggered() {
    windows().openHelp(this);
}

// --- files ------------------------------------------------------------------------------------

void TimeAdditionWindow::onOpenTriggered() {
    const std::optional<QString> path =
        platform().files->openFile(this, state().programFolder(), QString::fromUtf16(kTimFilter));
    if (!path) return;
    // Read and checked before anything is touched: a file that is not a worksheet loses nothing
    // of the one on screen.
    auto refuse = [&](const QString& why) {
        platform().messages->exclamation(
            this,
            QStringLiteral("ファイル「%1」を開けませんでした。\n%2").arg(filePart(*path), why),
            kCalculatorCheckTitle);
        entryBox()->setFocus();
    };
    const ReadResult read = readWholeFile(*path, kMaxTimFileBytes);
    if (read.status != ReadStatus::Ok)
        return refuse(readFaultText(read.status, QStringLiteral("時間計算ﾌｧｲﾙ")));
    const TimParse parsed = parseTimFile(read.bytes);
    if (!parsed.sheet) return refuse(parsed.error);
    // The reset (with its beep) and then the stored worksheet.
    resetWorksheetAndGrid();
    m_sheet = *parsed.sheet;
    showRoundingMode();
    showAllLines();
    showPosition();
    entryBox()->setFocus();
}

void TimeAdditionWindow::onSaveTriggered() {
    m_sheet.lastLine = findLastLine(m_sheet);
    // Refused before a name is asked for: nothing is written.
    const TimBytes bytes = timFileBytes(m_sheet);
    if (!bytes.bytes) {
        platform().messages->exclamation(
            this, bytes.error + QStringLiteral("\n入力を直してから保存してください。"),
            kCalculatorCheckTitle);
        entryBox()->setFocus();
        return;
    }
    const std::optional<QString> path =
        platform().files->saveFile(this, state().programFolder(), QString::fromUtf16(kTimFilter));
    if (!path) return;
    // What an earlier save killed half-way left beside the file goes with this one.
    removeStaleTemporaryFilesOf(*path);
    QString error;
    if (!writeFileAtomically(*path, *bytes.bytes, &error))
        platform().messages->exclamation(
            this,
            QStringLiteral("ファイル「%1」に保存できませんでした。\n%2")
                .arg(filePart(*path), error),
            kCalculatorCheckTitle);
    entryBox()->setFocus();
}

// --- printing ---------------------------------------------------------------------------------

void TimeAdditionWindow::onPrintRequested() {
    printPanel()->show();
    printPanel()->raise();
    printCancelButton()->setFocus();
}

void TimeAdditionWindow::onPrintCancelled() {
    printPanel()->hide();
    entryBox()->setFocus();
}

void TimeAdditionWindow::onPrintConfirmed() {
    printOrOfferPdf(this, *platform().printer, *platform().messages, *platform().files,
                    state().programFolder(), QStringLiteral("時間計算"),
                    additionSheetPrintout(m_sheet));
    printPanel()->hide();
    entryBox()->setFocus();
}

} // namespace qz
