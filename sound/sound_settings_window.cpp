// SPDX-License-Identifier: MIT
#include "sound_settings_window.h"

#include "audio/sound_player.h"
#include "files/file_io.h"
#include "look/look.h"
#include "ui/dialogs.h"

#include <QAction>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>
#include <algorithm>

namespace qz {

namespace {
constexpr int kGridRows = 11;
constexpr int kGridColumns = 4;
constexpr int kColumnWidths[kGridColumns] = {500, 600, 800, 2000};
constexpr int kRowHeight = 240;

using K = ControlKind;
using W = SoundSettingsWindow;

// The window's controls, in twips. Each edit box lies exactly over its label.
constexpr ControlDecl kControls[] = {
    {.role = W::EntryFrame,
     .name = "Frame1",
     .kind = K::GroupBox,
     .at = {120, 480, 4440, 2640},
     .caption = u"音源設定"},
    {.role = W::NumberCaption,
     .name = "Label4",
     .kind = K::Label,
     .at = {120, 390, 1080, 300},
     .caption = u"ＮＯ：",
     .within = W::EntryFrame},
    {.role = W::Number,
     .name = "Label1",
     .kind = K::Label,
     .at = {1200, 360, 840, 345},
     .within = W::EntryFrame,
     .valueLook = true,
     .indent = 4},
    {.role = W::NumberBox,
     .name = "Text1",
     .kind = K::LineEdit,
     .at = {1200, 360, 840, 345},
     .within = W::EntryFrame,
     .ground = colors::lightCyan},
    {.role = W::NameCaption,
     .name = "Label5",
     .kind = K::Label,
     .at = {120, 870, 1080, 300},
     .caption = u"音源名：",
     .within = W::EntryFrame},
    {.role = W::Name,
     .name = "Label2",
     .kind = K::Label,
     .at = {1200, 840, 3120, 345},
     .within = W::EntryFrame,
     .valueLook = true,
     .indent = 4},
    {.role = W::NameBox,
     .name = "Text2",
     .kind = K::LineEdit,
     .at = {1200, 840, 3120, 345},
     .within = W::EntryFrame,
     .ground = colors::lightCyan},
    {.role = W::FileCaption,
     .name = "Label6",
     .kind = K::Label,
     .at = {120, 1320, 4200, 300},
     .caption = u"音源（wav）ファイル名：",
     .within = W::EntryFrame},
    {.role = W::File,
     .name = "Label3",
     .kind = K::Label,
     .at = {120, 1620, 4200, 345},
     .within = W::EntryFrame,
     .valueLook = true,
     .indent = 4,
     .ground = colors::paleYellow},
    {.role = W::ChooseFile,
     .name = "Command2",
     .kind = K::Button,
     .at = {120, 2100, 1560, 375},
     .caption = u"音源の選択",
     .within = W::EntryFrame},
    {.role = W::NoSound,
     .name = "Command3",
     .kind = K::Button,
     .at = {1800, 2100, 1560, 375},
     .caption = u"音源なし",
     .within = W::EntryFrame},
    {.role = W::Save,
     .name = "Command1",
     .kind = K::Button,
     .at = {120, 3240, 1380, 375},
     .caption = u"保存設定"},
    {.role = W::Reset,
     .name = "Command4",
     .kind = K::Button,
     .at = {1650, 3240, 1380, 375},
     .caption = u"ﾘｾｯﾄ"},
    {.role = W::Back,
     .name = "Command5",
     .kind = K::Button,
     .at = {3180, 3240, 1380, 375},
     .caption = u"戻る"},
    {.role = W::ListFrame,
     .name = "Frame2",
     .kind = K::GroupBox,
     .at = {4680, 480, 4260, 3135},
     .caption = u"音源一覧表"},
    {.role = W::Grid,
     .name = "G1",
     .kind = K::Grid,
     .at = {120, 300, 4020, 2715},
     .within = W::ListFrame},
};

bool isUnsetTable(const SoundTable& t) {
    return std::all_of(t.begin(), t.end(), [](const SoundSource& s) {
        return isUnset(s.sourceNo) && isUnset(s.sourceName) && isUnset(s.wavePath);
    });
}
} // namespace

SoundSettingsWindow::SoundSettingsWindow(AppContext& c)
    : QzWindow(c, WindowId::SoundSettings), m_player(c.platform.sounds->createPlayer()) {
    setWindowTitle(ongen_text::kTitle);
    // Normally the notification timer has just loaded the table; opened on its own it has not.
    if (isUnsetTable(state().soundTable())) {
        state().loadSoundTable();
        if (!state().soundTableNotice().isEmpty()) message(state().soundTableNotice());
    }

    auto* client = new QWidget(this);
    setCentralWidget(client);

    QMenu* help = addMenu(menuBar(), "M3", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    connect(addMenuItem(help, "M31", QStringLiteral("ﾍﾙﾌﾟ(&H)")), &QAction::triggered, this,
            [this] { windows().openHelp(this); });

    QToolBar* toolbar = addImageToolBar(
        this, {{helpIcon(), QStringLiteral("ﾍﾙﾌﾟ"), [this] { windows().openHelp(this); }}});
    placeTwips(toolbar, {0, 0, 480, 390});

    buildControls(client, kControls, m_controls);
    // The labels take clicks: one on the number or the name, or on its caption, opens its box.
    for (QLabel* l : {numberCaption(), numberLabel(), nameCaption(), nameLabel(), fileLabel()})
        l->installEventFilter(this);
    for (QLineEdit* box : {numberBox(), nameBox()}) {
        box->installEventFilter(this);
        box->hide();
    }
    numberBox()->setAccessibleName(QStringLiteral("ＮＯ"));
    nameBox()->setAccessibleName(QStringLiteral("音源名"));
    connect(chooseFileButton(), &QPushButton::clicked, this,
            &SoundSettingsWindow::onChooseFileClicked);
    connect(noSoundButton(), &QPushButton::clicked, this, &SoundSettingsWindow::onNoSoundClicked);
    connect(saveButton(), &QPushButton::clicked, this, &SoundSettingsWindow::onSaveClicked);
    connect(resetButton(), &QPushButton::clicked, this, &SoundSettingsWindow::onResetClicked);
    connect(backButton(), &QPushButton::clicked, this,
            [this] { windows().switchTo(WindowId::Timer, this); });

    QTableWidget* g = grid();
    g->setRowCount(kGridRows);
    g->setColumnCount(kGridColumns);
    // Row 0 and column 0 are the grid's fixed cells, drawn like headers; the widget's own
    // headers are not used.
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    g->verticalHeader()->setMinimumSectionSize(1);
    g->verticalHeader()->setDefaultSectionSize(twips(kRowHeight));
    g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    g->horizontalHeader()->setMinimumSectionSize(1);
    for (int c = 0; c < kGridColumns; ++c)
        g->setColumnWidth(c, twips(kColumnWidths[c]));
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::NoSelection);
    g->setFocusPolicy(Qt::NoFocus);
    g->setWordWrap(false);
    writeFixedCells();

    setWindowSizeTwips(this, 9180, 4560);
}

SoundSettingsWindow::~SoundSettingsWindow() = default;

void SoundSettingsWindow::onActivated() {
    writeTableRows();
    openNumberBox();
}

// --- edit boxes -------------------------------------------------------------------------------

void SoundSettingsWindow::openBox(QLineEdit* box, QLabel* label) {
    // Only one box is open at a time, even when the focus cannot move (window not active).
    (box == numberBox() ? nameBox() : numberBox())->hide();
    m_firstKeyClears = true;
    box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    box->show();
    box->raise();
    box->setText(label->text());
    box->setFocus();
}

void SoundSettingsWindow::openNumberBox() {
    openBox(numberBox(), numberLabel());
}

void SoundSettingsWindow::openNameBox() {
    openBox(nameBox(), nameLabel());
}

void SoundSettingsWindow::clearOnFirstKey(QLineEdit* box) {
    box->clear();
    m_firstKeyClears = false;
}

// Any key but the moves, Enter too, first empties a freshly opened box; Delete then empties
// the entry as well.
void SoundSettingsWindow::firstKeyTyped(QLineEdit* box, QLabel* label, int key) {
    if (!m_firstKeyClears) return;
    if (key != Qt::Key_Delete) {
        clearOnFirstKey(box);
        return;
    }
    box->clear();
    label->clear();
    if (box == numberBox())
        m_pending.clearNumber();
    else
        m_pending.clearName();
}

bool SoundSettingsWindow::numberBoxKey(int key) {
    if (key == Qt::Key_Down) {
        numberBox()->hide();
        openNameBox();
        return true;
    }
    firstKeyTyped(numberBox(), numberLabel(), key);
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    onNumberEntered();
    return true;
}

void SoundSettingsWindow::onNumberEntered() {
    switch (m_pending.enterNumber(numberBox()->text())) {
    case PendingSoundEntry::NumberResult::Empty:
        openNameBox();
        break;
    case PendingSoundEntry::NumberResult::OutOfRange:
        message(ongen_text::kNumberRange);
        numberBox()->setFocus();
        break;
    case PendingSoundEntry::NumberResult::Accepted:
        numberLabel()->setText(m_pending.numberText());
        numberBox()->hide();
        openNameBox();
        break;
    }
}

bool SoundSettingsWindow::nameBoxKey(int key) {
    if (key == Qt::Key_Up) {
        nameBox()->hide();
        openNumberBox();
        return true;
    }
    if (key == Qt::Key_Down) {
        nameBox()->hide();
        chooseFileButton()->setFocus();
        return true;
    }
    firstKeyTyped(nameBox(), nameLabel(), key);
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    onNameEntered();
    return true;
}

void SoundSettingsWindow::onNameEntered() {
    switch (m_pending.enterName(nameBox()->text())) {
    case PendingSoundEntry::NameResult::Refused:
        message(m_pending.nameProblem());
        nameBox()->setFocus();
        return;
    case PendingSoundEntry::NameResult::Accepted:
        nameLabel()->setText(nameBox()->text());
        break;
    case PendingSoundEntry::NameResult::Empty:
        break;
    }
    nameBox()->hide();
    chooseFileButton()->setFocus();
}

bool SoundSettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    QLineEdit* box = watched == numberBox() ? numberBox()
                     : watched == nameBox() ? nameBox()
                                            : nullptr;
    if (box) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // Tab moves the focus on; it is not a key typed into the box.
            if (key == Qt::Key_Tab || key == Qt::Key_Backtab) break;
            if (box == numberBox() ? numberBoxKey(key) : nameBoxKey(key)) return true;
            break;
        }
        case QEvent::InputMethod: {
            // Text composed through an input method reaches the box without key events.
            const auto* im = static_cast<QInputMethodEvent*>(event);
            if (m_firstKeyClears &&
                (!im->commitString().isEmpty() || !im->preeditString().isEmpty()))
                clearOnFirstKey(box);
            break;
        }
        case QEvent::FocusOut: {
            // A message box, a file dialog or another program taking the focus leaves the box
            // open; only a move to another control of this window closes it.
            const Qt::FocusReason r = static_cast<QFocusEvent*>(event)->reason();
            if (r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason) box->hide();
            break;
        }
        default:
            break;
        }
        return QzWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == numberLabel() || watched == numberCaption())
            openNumberBox();
        else if (watched == nameLabel() || watched == nameCaption())
            openNameBox();
    }
    return QzWindow::eventFilter(watched, event);
}

// --- commands ---------------------------------------------------------------------------------

void SoundSettingsWindow::message(const QString& text) {
    platform().messages->exclamation(this, text, ongen_text::kTitle);
}

void SoundSettingsWindow::onChooseFileClicked() {
    if (!m_pending.hasNumber()) {
        message(ongen_text::kEnterNumber);
        openNumberBox();
        return;
    }
    const auto path =
        platform().files->openFile(this, state().programFolder(), ongen_text::kWaveFilter);
    if (!path) return;
    m_pending.chooseWave(storableWavePath(*path, state().programFolder()));
    fileLabel()->setText(filePart(*path));
    saveButton()->setFocus();
}

void SoundSettingsWindow::onNoSoundClicked() {
    m_pending.chooseNoSound();
    fileLabel()->setText(ongen_text::kNoSound);
    saveButton()->setFocus();
}

void SoundSettingsWindow::onResetClicked() {
    m_pending.reset();
    numberLabel()->clear();
    nameLabel()->clear();
    fileLabel()->clear();
    openNumberBox();
}

void SoundSettingsWindow::onSaveClicked() {
    const QString problem = m_pending.saveProblem();
    if (!problem.isEmpty()) {
        message(problem);
        if (m_pending.hasNumber())
            chooseFileButton()->setFocus();
        else
            openNumberBox();
        return;
    }
    SoundTable table = state().soundTable();
    const int k = m_pending.entryNumber();
    const std::optional<SoundSource> before = m_pending.storeInto(table);
    if (!before) return;
    state().setSoundTable(table);
    QString error;
    if (!state().saveSoundTable(&error)) {
        // The table keeps what the file holds, so the list does not promise a change that was
        // never written.
        table[k - 1] = *before;
        state().setSoundTable(table);
        rebuildGrid();
        message(QStringLiteral("音源設定ファイル（%1）に保存できませんでした。\n%2")
                    .arg(QLatin1String(kSoundsFile), error));
        return;
    }
    rebuildGrid();
    resetButton()->setFocus();
    m_player->beep();
}

// --- grid -------------------------------------------------------------------------------------

void SoundSettingsWindow::setCell(int row, int col, const QString& text) {
    QTableWidgetItem* item = grid()->item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled);
        const bool fixed = row == 0 || col == 0;
        if (fixed) {
            item->setTextAlignment(Qt::AlignCenter);
            setCellBackground(item, colors::lightGrey);
        } else if (col == 1) {
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        } else {
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        }
        grid()->setItem(row, col, item);
    }
    item->setText(text);
}

void SoundSettingsWindow::writeFixedCells() {
    const QString headers[kGridColumns] = {QStringLiteral("NO"), QStringLiteral("ＮＯ"),
                                           QStringLiteral("音源名"), QStringLiteral("ﾌｧｲﾙ名")};
    for (int c = 0; c < kGridColumns; ++c)
        setCell(0, c, headers[c]);
    for (int r = 1; r < kGridRows; ++r)
        setCell(r, 0, soundRowLabel(r));
}

void SoundSettingsWindow::writeTableRows() {
    const SoundTable& table = state().soundTable();
    for (int r = 1; r < kGridRows; ++r) {
        const QStringList cells = soundRowCells(table[r - 1]);
        for (int c = 1; c < kGridColumns; ++c)
            setCell(r, c, cells[c - 1]);
    }
}

void SoundSettingsWindow::rebuildGrid() {
    grid()->clearContents();
    writeFixedCells();
    writeTableRows();
}

} // namespace qz
