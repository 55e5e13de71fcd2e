// SPDX-License-Identifier: MIT
#include "time_addition_window.h"

#include "calc_add/calc_print.h"
#include "calc_add/tim_file.h"
#include "files/file_io.h"
#include "files/read_number.h"
#include "ui/dialogs.h"
#include "ui/look.h"
#include "ui/platform.h"
#include "ui/printing/printing.h"
#include "ui/sound_player.h"

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
const QString kCheckTitle = QStringLiteral("Check");
constexpr const char* kOptionNames[kRoundingModeCount] = {"Option1", "Option2", "Option3",
                                                          "Option4", "Option5"};

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

    // The worksheet grid: the header row stays in view, line numbers scroll with their lines.
    m_grid =
        addControl<QTableWidget>(client, "G1", {120, 690, 7030, 2730}, kLineCount, kGridColumns);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setMinimumSectionSize(1);
    m_grid->verticalHeader()->setDefaultSectionSize(twips(kGridLineTwips));
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setMinimumSectionSize(1);
    m_grid->horizontalHeader()->setFixedHeight(twips(kGridLineTwips));
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_grid->horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < kGridColumns; ++c)
        m_grid->setColumnWidth(c, twips(kColumnWidths[c]));
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setFocusPolicy(Qt::NoFocus);
    // The entry box lies in the grid: Tab in it must move the focus on, not the grid's cell.
    m_grid->setTabKeyNavigation(false);
    m_grid->setAutoScroll(false);
    m_grid->setWordWrap(false);
    m_grid->setCornerButtonEnabled(false);
    m_grid->setFont(fixedFont(9));
    // Exactly the header and ten lines: a part-visible eleventh line would shift the lines
    // under the box when the grid is scrolled to its end.
    m_grid->resize(m_grid->width(),
                   2 * m_grid->frameWidth() + (kVisibleLines + 1) * twips(kGridLineTwips));
    for (int c = 0; c < kGridColumns; ++c)
        m_grid->setHorizontalHeaderItem(c, new QTableWidgetItem);
    for (int r = 0; r < kLineCount; ++r)
        for (int c = 0; c < kGridColumns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c == 0) {
                setCellBackground(item, colors::silver);
                item->setText(QString::number(r + 1) + u' ');
            }
            m_grid->setItem(r, c, item);
        }
    connect(m_grid, &QTableWidget::cellClicked, this, &TimeAdditionWindow::onGridCellClicked);
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TimeAdditionWindow::onGridScrolled);

    // Placed over the current line by showPosition(), on the grid's own rows. It lies in the
    // grid's viewport, so a line scrolled out of view takes the box with it while the box
    // keeps the focus.
    m_entryBox = new QLineEdit(m_grid->viewport());
    m_entryBox->setObjectName(QStringLiteral("Text1"));
    m_entryBox->setFont(fixedFont(9));
    m_entryBox->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_entryBox->setFrame(false);
    m_entryBox->setMaxLength(kMaxEntryLength);
    setBackground(m_entryBox, colors::paleCyan);
    m_entryBox->installEventFilter(this);
    // Lines pasted or dropped into the box are entered at once, each as if typed and confirmed.
    // Lines handed back after a refused one wait for Enter, so they can be mended first.
    connect(m_entryBox, &QLineEdit::textEdited, this, [this](const QString& text) {
        const qsizetype breaks = splitLines(text).size() - 1;
        const bool pasted = breaks > m_boxLineBreaks;
        m_boxLineBreaks = breaks;
        if (pasted) onEntryKey(Qt::Key_Return);
    });

    // The rounding choice, the current mode and the three buttons beside the grid.
    m_frames[1] = addControl<QGroupBox>(client, "Frame2", {7300, 690, 3000, 420});
    m_modeLabel =
        addLabel(m_frames[1], "Label1", {0, 0, 3000, 420}, {}, Qt::AlignCenter, uiFont(10, true));
    setColorOnOwnGround(m_modeLabel, colors::navy);

    m_frames[0] = addControl<QGroupBox>(client, "Frame1", {7300, 1170, 3000, 1620});
    for (int i = 0; i < kRoundingModeCount; ++i) {
        auto* o =
            addControl<QRadioButton>(m_frames[0], kOptionNames[i], {300, 120 + i * 290, 2600, 270},
                                     roundingModeTexts(RoundingMode(i)).optionCaption);
        connect(o, &QRadioButton::clicked, this,
                [this, i] { onRoundingOptionClicked(RoundingMode(i)); });
        m_modeOptions[size_t(i)] = o;
    }

    m_frames[5] = addControl<QGroupBox>(client, "Frame6", {7300, 2850, 3000, 570});
    m_resetButton = addControl<QPushButton>(m_frames[5], "Command1", {90, 90, 900, 390},
                                            QStringLiteral("ﾘｾｯﾄ"));
    m_menuButton = addControl<QPushButton>(m_frames[5], "Command2", {1050, 90, 900, 390},
                                           QStringLiteral("ﾒﾆｭｰへ"));
    m_exitButton = addControl<QPushButton>(m_frames[5], "Command3", {2010, 90, 900, 390},
                                           QStringLiteral("終了"));
    connect(m_resetButton, &QPushButton::clicked, this, &TimeAdditionWindow::onResetClicked);
    connect(m_menuButton, &QPushButton::clicked, this, &TimeAdditionWindow::onBackToMenuClicked);
    connect(m_exitButton, &QPushButton::clicked, this, &TimeAdditionWindow::onExitClicked);

    // How to type, under the grid. The examples line up in the fixed-pitch face. Each text
    // fills its frame inside a margin.
    m_frames[2] = addControl<QGroupBox>(client, "Frame3", {120, 3540, 3400, 1020});
    m_howToLabel = addLabel(m_frames[2], "Label4", {0, 0, 3400, 1020}, {},
                            Qt::AlignLeft | Qt::AlignTop, uiFont(9));
    m_frames[3] = addControl<QGroupBox>(client, "Frame4", {3580, 3540, 3700, 1020});
    m_exampleLabel = addLabel(m_frames[3], "Label2", {0, 0, 3700, 1020}, {},
                              Qt::AlignLeft | Qt::AlignTop, fixedFont(9));
    m_frames[4] = addControl<QGroupBox>(client, "Frame5", {7340, 3540, 2960, 1020});
    m_multiplyLabel = addLabel(m_frames[4], "Label3", {0, 0, 2960, 1020}, {},
                               Qt::AlignLeft | Qt::AlignTop, fixedFont(9));
    for (QLabel* l : {m_howToLabel, m_exampleLabel, m_multiplyLabel})
        l->setContentsMargins(twips(120), twips(90), 0, 0);

    // The print question, over the top of the grid while it is asked.
    m_printPanel = addControl<QFrame>(client, "Picture1", {2280, 120, 2415, 1095});
    m_printPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_printPanel->setLineWidth(2);
    setBackground(m_printPanel, colors::paleYellow);
    m_printQuestion =
        addLabel(m_printPanel, "Label5", {150, 120, 2100, 330}, QStringLiteral(" 印刷しますか？"));
    m_printQuestion->setFont(uiFont(10, true));
    m_printOkButton = addControl<QPushButton>(m_printPanel, "Command5", {180, 540, 960, 390},
                                              QStringLiteral("ＯＫ"));
    m_printCancelButton = addControl<QPushButton>(m_printPanel, "Command4", {1260, 540, 960, 390},
                                                  QStringLiteral("ｷｬﾝｾﾙ"));
    // Enter on a focused button presses it.
    for (QPushButton* b :
         {m_resetButton, m_menuButton, m_exitButton, m_printOkButton, m_printCancelButton})
        b->setAutoDefault(true);
    connect(m_printOkButton, &QPushButton::clicked, this, &TimeAdditionWindow::onPrintConfirmed);
    connect(m_printCancelButton, &QPushButton::clicked, this,
            &TimeAdditionWindow::onPrintCancelled);
    m_printPanel->hide();

    // Tab order, once for the window: the box, the rounding choice, the buttons.
    const QList<QWidget*> focusOrder = {m_entryBox,          m_modeOptions[0], m_modeOptions[1],
                                        m_modeOptions[2],    m_modeOptions[3], m_modeOptions[4],
                                        m_resetButton,       m_menuButton,     m_exitButton,
                                        m_printCancelButton, m_printOkButton};
    for (qsizetype i = 1; i < focusOrder.size(); ++i)
        setTabOrder(focusOrder[i - 1], focusOrder[i]);

    m_entryBox->raise();
    m_printPanel->raise();
}

void TimeAdditionWindow::onActivated() {
    m_howToLabel->setText(
        joinedLines({u"● 最初に切上・切捨を選択します", u"● 「時間 ．分」で入力します",
                     u"● 入力・ｴﾝﾀｰすると次へ進みます", u"● 「↑」キーで戻ります"}));
    m_exampleLabel->setText(
        joinedLines({u"● 入力例： 3時間40分～  3.40", u"　 　　　　12時間 5分～ 12.05",
                     u"　 　　　　  　　45分～  0.45", u"　 　　　　 ﾏｲﾅｽ 15分～ -0.15"}));
    m_multiplyLabel->setText(
        joinedLines({u"● かけ算は一度だけできます", u"", u"　2時間15分×3 ～ 2.15*3"}));
    m_grid->horizontalHeaderItem(1)->setText(QStringLiteral("入力"));
    m_grid->horizontalHeaderItem(2)->setText(QStringLiteral("分単位計算"));
    m_grid->horizontalHeaderItem(3)->setText(QStringLiteral("分単位累計"));
    clearWorksheet();
    m_entryBox->setFocus();
}

// --- the worksheet in the grid ----------------------------------------------------------------

void TimeAdditionWindow::setCell(int row, int column, const QString& text) {
    QTableWidgetItem* item = m_grid->item(row - 1, column);
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
    m_modeOptions[size_t(roundingModeNumber(m_sheet.mode))]->setChecked(true);
    m_modeLabel->setText(texts.label);
    m_grid->horizontalHeaderItem(4)->setText(texts.roundedLineHeader);
    m_grid->horizontalHeaderItem(5)->setText(texts.roundedRunningHeader);
    for (QRadioButton* o : m_modeOptions)
        o->setEnabled(!m_sheet.roundingLocked);
}

// The box stands over column 1 of the current line; its top in twips counts grid lines from
// the first one in view (above or below the view while the line is scrolled away), placed on
// the grid's own rows so it lines up at any resolution.
void TimeAdditionWindow::showPosition() {
    const EditPosition& p = m_sheet.pos;
    m_syncingScroll = true;
    m_grid->verticalScrollBar()->setValue(p.topRow - 1);
    m_syncingScroll = false;
    const int linesDown = (p.boxTop - kBoxTopFirst) / kGridLineTwips;
    const int rowHeight = m_grid->rowHeight(0);
    m_entryBox->setGeometry(m_grid->columnViewportPosition(1), linesDown * rowHeight,
                            m_grid->columnWidth(1), rowHeight);
    // The box moves from line to line; a screen reader says which line it is on.
    const QString name = QStringLiteral("%1行目 入力").arg(p.currentLine);
    if (m_entryBox->accessibleName() != name) m_entryBox->setAccessibleName(name);
}

void TimeAdditionWindow::clearWorksheet() {
    resetWorksheet(m_sheet);
    showRoundingMode();
    showAllLines();
    showPosition();
}

void TimeAdditionWindow::resetWorksheetAndGrid() {
    clearWorksheet();
    m_player->beep();
    m_entryBox->setFocus();
}

// --- the entry box ----------------------------------------------------------------------------

bool TimeAdditionWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_entryBox && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isTyping(key)) return onEntryKey(key->key());
    }
    // The box lies over the grid: the wheel over it scrolls the grid, as anywhere else on it.
    if (watched == m_entryBox && event->type() == QEvent::Wheel)
        return QCoreApplication::sendEvent(m_grid->viewport(), event);
    return QzWindow::eventFilter(watched, event);
}

bool TimeAdditionWindow::onEscapePressed() {
    if (!m_printPanel->isVisible()) return false;
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
        result = pressDown(m_sheet, m_entryBox->text());
        break;
    case Qt::Key_Delete:
        result = pressDelete(m_sheet);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        result = pressEnter(m_sheet, m_entryBox->text());
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
        platform().messages->exclamation(this, entryErrorMessage(result.error), kCheckTitle);
    }
    if (result.clearBox) {
        m_entryBox->setText(result.keptText);
        m_boxLineBreaks = splitLines(result.keptText).size() - 1;
    }
    showLines(result.firstChanged, result.lastChanged);
    showPosition();
    m_entryBox->setFocus();
}

void TimeAdditionWindow::onRoundingOptionClicked(RoundingMode mode) {
    if (m_sheet.roundingLocked) return;
    chooseRoundingMode(m_sheet, mode);
    showRoundingMode();
    showAllLines();
    // After the option button's own handling, which keeps the focus when chosen by arrow key.
    QTimer::singleShot(0, m_entryBox, [box = m_entryBox] { box->setFocus(); });
}

void TimeAdditionWindow::onGridCellClicked(int row, int) {
    clickGridLine(m_sheet, row + 1);
    showPosition();
    m_entryBox->setFocus();
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
            kCheckTitle);
        m_entryBox->setFocus();
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
    m_entryBox->setFocus();
}

void TimeAdditionWindow::onSaveTriggered() {
    m_sheet.lastLine = findLastLine(m_sheet);
    // Refused before a name is asked for: nothing is written.
    const TimBytes bytes = timFileBytes(m_sheet);
    if (!bytes.bytes) {
        platform().messages->exclamation(
            this, bytes.error + QStringLiteral("\n入力を直してから保存してください。"),
            kCheckTitle);
        m_entryBox->setFocus();
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
            kCheckTitle);
    m_entryBox->setFocus();
}

// --- printing ---------------------------------------------------------------------------------

void TimeAdditionWindow::onPrintRequested() {
    m_printPanel->show();
    m_printPanel->raise();
    m_printCancelButton->setFocus();
}

void TimeAdditionWindow::onPrintCancelled() {
    m_printPanel->hide();
    m_entryBox->setFocus();
}

void TimeAdditionWindow::onPrintConfirmed() {
    printOrOfferPdf(this, *platform().printer, *platform().messages, *platform().files,
                    state().programFolder(), QStringLiteral("時間計算"), timPrintDocument(m_sheet));
    m_printPanel->hide();
    m_entryBox->setFocus();
}

} // namespace qz
