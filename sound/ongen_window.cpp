#include "ongen_window.h"

#include "sound/file_io.h"
#include "ui/dialogs.h"
#include "ui/look.h"
#include "ui/sound_player.h"

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
constexpr quint32 kLightCyan = 0xFFFFC0;
constexpr quint32 kFixedCells = 0xE0E0E0;
constexpr int kGridRows = 11;
constexpr int kGridColumns = 4;
constexpr int kColumnWidths[kGridColumns] = {500, 600, 800, 2000};
constexpr int kRowHeight = 240;

int vbKeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    default:
        return qtKey;
    }
}

bool isUnsetTable(const SoundTable& t) {
    return std::all_of(t.begin(), t.end(), [](const SoundSource& s) {
        return isUnset(s.sourceNo) && isUnset(s.sourceName) && isUnset(s.wavePath);
    });
}
} // namespace

ONGEN::ONGEN(AppContext& ctx)
    : QzWindow(ctx, WindowId::SoundSettings), m_player(ctx.platform.sounds->createPlayer()) {
    setWindowTitle(ongen_text::kTitle);
    // Normally the notification timer has just loaded the table; opened on its own it has not.
    if (isUnsetTable(state().soundTable)) {
        state().loadSoundTable();
        if (!state().soundTableNotice().isEmpty()) message(state().soundTableNotice());
    }

    auto* client = new QWidget(this);
    setCentralWidget(client);

    M3 = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    M3->setObjectName(QStringLiteral("M3"));
    M31 = M3->addAction(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    M31->setObjectName(QStringLiteral("M31"));
    connect(M31, &QAction::triggered, this, &ONGEN::M31_Click);

    Toolbar1 = addIndexedToolBar(this, {{helpIcon(), QStringLiteral("ﾍﾙﾌﾟ")}},
                                 [this](int i) { Toolbar1_ButtonClick(i); });
    placeTwips(Toolbar1, 0, 0, 480, 390);

    auto frame = [&](const char* name, const QString& title) {
        auto* f = new QGroupBox(title, client);
        f->setObjectName(QLatin1String(name));
        return f;
    };
    auto label = [&](QWidget* parent, const char* name, const QString& text) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto valueLabel = [&](QWidget* parent, const char* name, quint32 colour) {
        QLabel* l = label(parent, name, QString());
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setIndent(4);
        setBackground(l, colour);
        l->installEventFilter(this);
        return l;
    };
    auto editBox = [&](QWidget* parent, const char* name, QLabel* over) {
        auto* t = new QLineEdit(parent);
        t->setObjectName(QLatin1String(name));
        t->setGeometry(over->geometry());
        setBackground(t, kLightCyan);
        t->installEventFilter(this);
        t->hide();
        return t;
    };
    auto button = [&](QWidget* parent, const char* name, const QString& text,
                      void (ONGEN::*handler)()) {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };

    Frame1 = frame("Frame1", QStringLiteral("音源設定"));
    placeTwips(Frame1, 120, 480, 4440, 2640);
    Label4 = label(Frame1, "Label4", QStringLiteral("ＮＯ："));
    placeTwips(Label4, 120, 390, 1080, 300);
    Label4->installEventFilter(this);
    Label1 = valueLabel(Frame1, "Label1", colors::white);
    placeTwips(Label1, 1200, 360, 840, 345);
    Text1 = editBox(Frame1, "Text1", Label1);

    Label5 = label(Frame1, "Label5", QStringLiteral("音源名："));
    placeTwips(Label5, 120, 870, 1080, 300);
    Label5->installEventFilter(this);
    Label2 = valueLabel(Frame1, "Label2", colors::white);
    placeTwips(Label2, 1200, 840, 3120, 345);
    Text2 = editBox(Frame1, "Text2", Label2);

    Label6 = label(Frame1, "Label6", QStringLiteral("音源（wav）ファイル名："));
    placeTwips(Label6, 120, 1320, 4200, 300);
    Label3 = valueLabel(Frame1, "Label3", colors::paleYellow);
    placeTwips(Label3, 120, 1620, 4200, 345);

    Command2 = button(Frame1, "Command2", QStringLiteral("音源の選択"), &ONGEN::Command2_Click);
    placeTwips(Command2, 120, 2100, 1560, 375);
    Command3 = button(Frame1, "Command3", QStringLiteral("音源なし"), &ONGEN::Command3_Click);
    placeTwips(Command3, 1800, 2100, 1560, 375);

    Command1 = button(client, "Command1", QStringLiteral("保存設定"), &ONGEN::Command1_Click);
    placeTwips(Command1, 120, 3240, 1380, 375);
    Command4 = button(client, "Command4", QStringLiteral("ﾘｾｯﾄ"), &ONGEN::Command4_Click);
    placeTwips(Command4, 1650, 3240, 1380, 375);
    Command5 = button(client, "Command5", QStringLiteral("戻る"), &ONGEN::Command5_Click);
    placeTwips(Command5, 3180, 3240, 1380, 375);

    Frame2 = frame("Frame2", QStringLiteral("音源一覧表"));
    placeTwips(Frame2, 4680, 480, 4260, 3135);
    G1 = new QTableWidget(kGridRows, kGridColumns, Frame2);
    G1->setObjectName(QStringLiteral("G1"));
    placeTwips(G1, 120, 300, 4020, 2715);
    // Row 0 and column 0 are the grid's fixed cells, drawn like headers; the widget's own
    // headers are not used.
    G1->horizontalHeader()->hide();
    G1->verticalHeader()->hide();
    G1->verticalHeader()->setMinimumSectionSize(1);
    G1->verticalHeader()->setDefaultSectionSize(twips(kRowHeight));
    G1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    G1->horizontalHeader()->setMinimumSectionSize(1);
    for (int c = 0; c < kGridColumns; ++c)
        G1->setColumnWidth(c, twips(kColumnWidths[c]));
    G1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    G1->setSelectionMode(QAbstractItemView::NoSelection);
    G1->setFocusPolicy(Qt::NoFocus);
    G1->setWordWrap(false);
    writeFixedCells();

    setWindowSizeTwips(this, 9180, 4560);
}

ONGEN::~ONGEN() = default;

void ONGEN::formActivate() {
    writeTableRows();
    openNumberBox();
}

// --- edit boxes -------------------------------------------------------------------------------

void ONGEN::openBox(QLineEdit* box, QLabel* label) {
    // Only one box is open at a time, even when the focus cannot move (window not active).
    (box == Text1 ? Text2 : Text1)->hide();
    m_firstKeyClears = 1;
    box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    box->show();
    box->raise();
    box->setText(label->text());
    box->setFocus();
}

void ONGEN::openNumberBox() {
    openBox(Text1, Label1);
}

void ONGEN::openNameBox() {
    openBox(Text2, Label2);
}

void ONGEN::clearOnFirstKey(QLineEdit* box) {
    box->clear();
    m_firstKeyClears = 0;
}

void ONGEN::Label1_Click() {
    openNumberBox();
}

void ONGEN::Label2_Click() {
    openNameBox();
}

bool ONGEN::Text1_KeyDown(int keyCode) {
    if (keyCode == 40) {
        Text1->hide();
        openNameBox();
        return true;
    }
    if (m_firstKeyClears == 1 && keyCode == 46) {
        Text1->clear();
        Label1->clear();
        m_pending.clearNumber();
        Text1->setText(Label1->text());
    } else if (m_firstKeyClears == 1) {
        clearOnFirstKey(Text1);
    }
    return false;
}

bool ONGEN::Text1_KeyPress(int keyAscii) {
    if (keyAscii != 13) return false;
    switch (m_pending.enterNumber(Text1->text())) {
    case PendingSoundEntry::NumberResult::Empty:
        openNameBox();
        break;
    case PendingSoundEntry::NumberResult::OutOfRange:
        message(ongen_text::kNumberRange);
        Text1->setFocus();
        break;
    case PendingSoundEntry::NumberResult::Accepted:
        Label1->setText(m_pending.numberText());
        Text1->hide();
        openNameBox();
        break;
    }
    return true;
}

bool ONGEN::Text2_KeyDown(int keyCode) {
    if (keyCode == 38) {
        Text2->hide();
        openNumberBox();
        return true;
    }
    if (keyCode == 40) {
        Text2->hide();
        Command2->setFocus();
        return true;
    }
    if (m_firstKeyClears == 1 && keyCode == 46) {
        Text2->clear();
        Label2->clear();
        m_pending.clearName();
        Text2->setText(Label2->text());
    } else if (m_firstKeyClears == 1) {
        clearOnFirstKey(Text2);
    }
    return false;
}

bool ONGEN::Text2_KeyPress(int keyAscii) {
    if (keyAscii != 13) return false;
    switch (m_pending.enterName(Text2->text())) {
    case PendingSoundEntry::NameResult::Refused:
        message(m_pending.nameProblem());
        Text2->setFocus();
        return true;
    case PendingSoundEntry::NameResult::Accepted:
        Label2->setText(Text2->text());
        break;
    case PendingSoundEntry::NameResult::Empty:
        break;
    }
    Text2->hide();
    Command2->setFocus();
    return true;
}

bool ONGEN::eventFilter(QObject* watched, QEvent* event) {
    QLineEdit* box = watched == Text1 ? Text1 : watched == Text2 ? Text2 : nullptr;
    if (box) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto* k = static_cast<QKeyEvent*>(event);
            // Tab moves the focus on; it is not a key typed into the box.
            if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) break;
            const int code = vbKeyCode(k->key());
            if (box == Text1 ? Text1_KeyDown(code) : Text2_KeyDown(code)) return true;
            if (code == 13) return box == Text1 ? Text1_KeyPress(13) : Text2_KeyPress(13);
            break;
        }
        case QEvent::InputMethod: {
            // Text composed through an input method reaches the box without key events.
            const auto* im = static_cast<QInputMethodEvent*>(event);
            if (m_firstKeyClears == 1 &&
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
        if (watched == Label1 || watched == Label4)
            Label1_Click();
        else if (watched == Label2 || watched == Label5)
            Label2_Click();
    }
    return QzWindow::eventFilter(watched, event);
}

// --- commands ---------------------------------------------------------------------------------

void ONGEN::message(const QString& text) {
    ctx.platform.messages->exclamation(this, text, ongen_text::kTitle);
}

void ONGEN::Command2_Click() {
    if (!m_pending.hasNumber()) {
        message(ongen_text::kEnterNumber);
        openNumberBox();
        return;
    }
    const auto path =
        ctx.platform.files->openFile(this, state().programFolder(), ongen_text::kWaveFilter);
    if (!path) return;
    m_pending.chooseWave(storableWavePath(*path, state().programFolder()));
    Label3->setText(filePart(*path));
    Command1->setFocus();
}

void ONGEN::Command3_Click() {
    m_pending.chooseNoSound();
    Label3->setText(ongen_text::kNoSound);
    Command1->setFocus();
}

void ONGEN::Command4_Click() {
    m_pending.reset();
    Label1->clear();
    Label2->clear();
    Label3->clear();
    openNumberBox();
}

void ONGEN::Command1_Click() {
    const QString problem = m_pending.saveProblem();
    if (!problem.isEmpty()) {
        message(problem);
        if (m_pending.hasNumber())
            Command2->setFocus();
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
    Command4->setFocus();
    m_player->beep();
}

void ONGEN::Command5_Click() {
    ctx.windows.switchTo(WindowId::Timer, this);
}

void ONGEN::M31_Click() {
    ctx.windows.openHelp(this);
}

void ONGEN::Toolbar1_ButtonClick(int index) {
    if (index == 1) ctx.windows.openHelp(this);
}

// --- grid -------------------------------------------------------------------------------------

void ONGEN::setCell(int row, int col, const QString& text) {
    QTableWidgetItem* item = G1->item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled);
        const bool fixed = row == 0 || col == 0;
        if (fixed) {
            item->setTextAlignment(Qt::AlignCenter);
            item->setBackground(vbColor(kFixedCells));
        } else if (col == 1) {
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        } else {
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        }
        G1->setItem(row, col, item);
    }
    item->setText(text);
}

void ONGEN::writeFixedCells() {
    const QString headers[kGridColumns] = {QStringLiteral("NO"), QStringLiteral("ＮＯ"),
                                           QStringLiteral("音源名"), QStringLiteral("ﾌｧｲﾙ名")};
    for (int c = 0; c < kGridColumns; ++c)
        setCell(0, c, headers[c]);
    for (int r = 1; r < kGridRows; ++r)
        setCell(r, 0, soundRowLabel(r));
}

void ONGEN::writeTableRows() {
    const SoundTable& table = state().soundTable;
    for (int r = 1; r < kGridRows; ++r) {
        const QStringList cells = soundRowCells(table[r - 1]);
        for (int c = 1; c < kGridColumns; ++c)
            setCell(r, c, cells[c - 1]);
    }
}

void ONGEN::rebuildGrid() {
    G1->clearContents();
    writeFixedCells();
    writeTableRows();
}

} // namespace qz
