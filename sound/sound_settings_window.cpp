// SPDX-License-Identifier: MIT
#include "sound_settings_window.h"

#include "files/file_io.h"
#include "ui/dialogs.h"
#include "ui/look.h"
#include "ui/sound_player.h"

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
    if (isUnsetTable(state().soundTable)) {
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

    auto valueLabel = [&](QWidget* parent, const char* name, TwipsRect at, quint32 colour) {
        QLabel* l = addLabel(parent, name, at);
        setValueLook(l, colour);
        l->setIndent(4);
        l->installEventFilter(this);
        return l;
    };
    auto editBox = [&](QWidget* parent, const char* name, QLabel* over) {
        auto* t = new QLineEdit(parent);
        t->setObjectName(QLatin1String(name));
        t->setGeometry(over->geometry());
        setBackground(t, colors::lightCyan);
        t->installEventFilter(this);
        t->hide();
        return t;
    };
    auto button = [&](QWidget* parent, const char* name, TwipsRect at, const QString& text,
                      auto handler) {
        auto* b = addControl<QPushButton>(parent, name, at, text);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };

    auto* entryFrame =
        addControl<QGroupBox>(client, "Frame1", {120, 480, 4440, 2640}, QStringLiteral("音源設定"));
    m_numberCaption =
        addLabel(entryFrame, "Label4", {120, 390, 1080, 300}, QStringLiteral("ＮＯ："));
    m_numberCaption->installEventFilter(this); // a click opens the box, as on the label
    m_numberLabel = valueLabel(entryFrame, "Label1", {1200, 360, 840, 345}, colors::white);
    m_numberBox = editBox(entryFrame, "Text1", m_numberLabel);
    m_numberBox->setAccessibleName(QStringLiteral("ＮＯ"));

    m_nameCaption =
        addLabel(entryFrame, "Label5", {120, 870, 1080, 300}, QStringLiteral("音源名："));
    m_nameCaption->installEventFilter(this);
    m_nameLabel = valueLabel(entryFrame, "Label2", {1200, 840, 3120, 345}, colors::white);
    m_nameBox = editBox(entryFrame, "Text2", m_nameLabel);
    m_nameBox->setAccessibleName(QStringLiteral("音源名"));

    addLabel(entryFrame, "Label6", {120, 1320, 4200, 300},
             QStringLiteral("音源（wav）ファイル名："));
    m_fileLabel = valueLabel(entryFrame, "Label3", {120, 1620, 4200, 345}, colors::paleYellow);

    m_chooseFileButton =
        button(entryFrame, "Command2", {120, 2100, 1560, 375}, QStringLiteral("音源の選択"),
               &SoundSettingsWindow::onChooseFileClicked);
    button(entryFrame, "Command3", {1800, 2100, 1560, 375}, QStringLiteral("音源なし"),
           &SoundSettingsWindow::onNoSoundClicked);

    m_saveButton = button(client, "Command1", {120, 3240, 1380, 375}, QStringLiteral("保存設定"),
                          &SoundSettingsWindow::onSaveClicked);
    m_resetButton = button(client, "Command4", {1650, 3240, 1380, 375}, QStringLiteral("ﾘｾｯﾄ"),
                           &SoundSettingsWindow::onResetClicked);
    button(client, "Command5", {3180, 3240, 1380, 375}, QStringLiteral("戻る"),
           [this] { windows().switchTo(WindowId::Timer, this); });

    auto* listFrame = addControl<QGroupBox>(client, "Frame2", {4680, 480, 4260, 3135},
                                            QStringLiteral("音源一覧表"));
    m_grid =
        addControl<QTableWidget>(listFrame, "G1", {120, 300, 4020, 2715}, kGridRows, kGridColumns);
    // Row 0 and column 0 are the grid's fixed cells, drawn like headers; the widget's own
    // headers are not used.
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setMinimumSectionSize(1);
    m_grid->verticalHeader()->setDefaultSectionSize(twips(kRowHeight));
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setMinimumSectionSize(1);
    for (int c = 0; c < kGridColumns; ++c)
        m_grid->setColumnWidth(c, twips(kColumnWidths[c]));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setFocusPolicy(Qt::NoFocus);
    m_grid->setWordWrap(false);
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
    (box == m_numberBox ? m_nameBox : m_numberBox)->hide();
    m_firstKeyClears = true;
    box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    box->show();
    box->raise();
    box->setText(label->text());
    box->setFocus();
}

void SoundSettingsWindow::openNumberBox() {
    openBox(m_numberBox, m_numberLabel);
}

void SoundSettingsWindow::openNameBox() {
    openBox(m_nameBox, m_nameLabel);
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
    if (box == m_numberBox)
        m_pending.clearNumber();
    else
        m_pending.clearName();
}

bool SoundSettingsWindow::numberBoxKey(int key) {
    if (key == Qt::Key_Down) {
        m_numberBox->hide();
        openNameBox();
        return true;
    }
    firstKeyTyped(m_numberBox, m_numberLabel, key);
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    onNumberEntered();
    return true;
}

void SoundSettingsWindow::onNumberEntered() {
    switch (m_pending.enterNumber(m_numberBox->text())) {
    case PendingSoundEntry::NumberResult::Empty:
        openNameBox();
        break;
    case PendingSoundEntry::NumberResult::OutOfRange:
        message(ongen_text::kNumberRange);
        m_numberBox->setFocus();
        break;
    case PendingSoundEntry::NumberResult::Accepted:
        m_numberLabel->setText(m_pending.numberText());
        m_numberBox->hide();
        openNameBox();
        break;
    }
}

bool SoundSettingsWindow::nameBoxKey(int key) {
    if (key == Qt::Key_Up) {
        m_nameBox->hide();
        openNumberBox();
        return true;
    }
    if (key == Qt::Key_Down) {
        m_nameBox->hide();
        m_chooseFileButton->setFocus();
        return true;
    }
    firstKeyTyped(m_nameBox, m_nameLabel, key);
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    onNameEntered();
    return true;
}

void SoundSettingsWindow::onNameEntered() {
    switch (m_pending.enterName(m_nameBox->text())) {
    case PendingSoundEntry::NameResult::Refused:
        message(m_pending.nameProblem());
        m_nameBox->setFocus();
        return;
    case PendingSoundEntry::NameResult::Accepted:
        m_nameLabel->setText(m_nameBox->text());
        break;
    case PendingSoundEntry::NameResult::Empty:
        break;
    }
    m_nameBox->hide();
    m_chooseFileButton->setFocus();
}

bool SoundSettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    QLineEdit* box = watched == m_numberBox ? m_numberBox
                     : watched == m_nameBox ? m_nameBox
                                            : nullptr;
    if (box) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // Tab moves the focus on; it is not a key typed into the box.
            if (key == Qt::Key_Tab || key == Qt::Key_Backtab) break;
            if (box == m_numberBox ? numberBoxKey(key) : nameBoxKey(key)) return true;
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
        if (watched == m_numberLabel || watched == m_numberCaption)
            openNumberBox();
        else if (watched == m_nameLabel || watched == m_nameCaption)
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
    m_fileLabel->setText(filePart(*path));
    m_saveButton->setFocus();
}

void SoundSettingsWindow::onNoSoundClicked() {
    m_pending.chooseNoSound();
    m_fileLabel->setText(ongen_text::kNoSound);
    m_saveButton->setFocus();
}

void SoundSettingsWindow::onResetClicked() {
    m_pending.reset();
    m_numberLabel->clear();
    m_nameLabel->clear();
    m_fileLabel->clear();
    openNumberBox();
}

void SoundSettingsWindow::onSaveClicked() {
    const QString problem = m_pending.saveProblem();
    if (!problem.isEmpty()) {
        message(problem);
        if (m_pending.hasNumber())
            m_chooseFileButton->setFocus();
        else
            openNumberBox();
        return;
    }
    SoundTable& table = state().soundTable;
    const int k = m_pending.entryNumber();
    const std::optional<SoundSource> before = m_pending.storeInto(table);
    if (!before) return;
    QString error;
    if (!state().saveSoundTable(&error)) {
        // The table keeps what the file holds, so the list does not promise a change that was
        // never written.
        table[k - 1] = *before;
        rebuildGrid();
        message(QStringLiteral("音源設定ファイル（%1）に保存できませんでした。\n%2")
                    .arg(QLatin1String(kSoundsFile), error));
        return;
    }
    rebuildGrid();
    m_resetButton->setFocus();
    m_player->beep();
}

// --- grid -------------------------------------------------------------------------------------

void SoundSettingsWindow::setCell(int row, int col, const QString& text) {
    QTableWidgetItem* item = m_grid->item(row, col);
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
        m_grid->setItem(row, col, item);
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
    const SoundTable& table = state().soundTable;
    for (int r = 1; r < kGridRows; ++r) {
        const QStringList cells = soundRowCells(table[r - 1]);
        for (int c = 1; c < kGridColumns; ++c)
            setCell(r, c, cells[c - 1]);
    }
}

void SoundSettingsWindow::rebuildGrid() {
    m_grid->clearContents();
    writeFixedCells();
    writeTableRows();
}

} // namespace qz
