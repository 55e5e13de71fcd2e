#include "tm1_window.h"

#include "ui/click_label.h"
#include "ui/clock.h"
#include "ui/dialogs.h"
#include "ui/look.h"
#include "ui/sound_player.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QToolBar>

namespace qz {

namespace {

constexpr quint32 kLightGreenBack = 0x00C0FFC0;
constexpr quint32 kPaleBlue = 0x00FFC0C0;

constexpr int kNormalWidth = 6630;
constexpr int kWideWidth = 13640;
constexpr int kClientHeight = 7035;
constexpr int kCaptionTwips = 450; // what setWindowSizeTwips takes off for caption and frame

// Row k's control names, in row order.
constexpr const char* kTimeBoxes[] = {"Text1",  "Text2",  "Text3",  "Text4",  "Text5",
                                      "Text16", "Text17", "Text18", "Text19", "Text20"};
constexpr const char* kMemos[] = {"Text6",  "Text7",  "Text8",  "Text9",  "Text10",
                                  "Text11", "Text12", "Text13", "Text14", "Text15"};
constexpr const char* kDisplays[] = {"Label2",  "Label3",  "Label4",  "Label5",  "Label6",
                                     "Label21", "Label22", "Label23", "Label24", "Label25"};
constexpr const char* kNumbers[] = {"Label10", "Label11", "Label12", "Label13", "Label14",
                                    "Label19", "Label18", "Label17", "Label16", "Label15"};
constexpr const char* kSources[] = {"Label34", "Label35", "Label20", "Label26", "Label27",
                                    "Label28", "Label29", "Label36", "Label37", "Label38"};
constexpr const char* kStops[] = {"Command1",  "Command2",  "Command3",  "Command4",  "Command5",
                                  "Command20", "Command21", "Command22", "Command23", "Command24"};
constexpr const char* kClears[] = {"Command6",  "Command7",  "Command8",  "Command9",  "Command10",
                                   "Command15", "Command16", "Command17", "Command18", "Command19"};
constexpr const char16_t* kNumberCaptions[] = {u"１", u"２", u"３", u"４", u"５",
                                               u"６", u"７", u"８", u"９", u"10"};

struct RingSpan {
    const char* item;
    int seconds;
    const char16_t* menuText;
    const char16_t* shown;
};
constexpr RingSpan kRingSpans[] = {
    {"M211", 10, u"10秒間", u"10秒間"},         {"M212", 30, u"30秒間", u"30秒間"},
    {"M213", 60, u"１分間（既定）", u"１分間"}, {"M214", 120, u"２分間", u"２分間"},
    {"M215", 300, u"５分間", u"５分間"},        {"M216", 600, u"１０分間", u"１０分間"},
};

// Row layout, in twips.
constexpr int kFirstRowTop = 1680;
constexpr int kRowPitch = 465;

QString name(const char* n) {
    return QString::fromLatin1(n);
}

QLabel* makeLabel(QWidget* parent, const char* objectName, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name(objectName));
    return l;
}

QPushButton* makeButton(QWidget* parent, const char* objectName, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name(objectName));
    return b;
}

void whiteStrip(QLabel* l) {
    setBackground(l, colors::white);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
}

} // namespace

TM1::TM1(AppContext& c) : QzWindow(c, WindowId::Timer) {
    setObjectName(QStringLiteral("TM1"));
    setWindowTitle(QStringLiteral("お知らせタイマー"));
    setBackground(this, kLightGreenBack);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setBackground(client, kLightGreenBack);
    setCentralWidget(client);
    MMControl1 = platform().sounds->createPlayer();

    Toolbar1 = addIndexedToolBar(
        this, {{calculatorIcon(), QStringLiteral("QZ電卓")}, {helpIcon(), QStringLiteral("ﾍﾙﾌﾟ")}},
        [this](int i) { Toolbar1_ButtonClick(i); });

    Label8 = makeLabel(client, "Label8", QStringLiteral("現在時間："));
    Label8->setFont(uiFont(11.25, true));
    Label8->setAlignment(Qt::AlignCenter);
    setBackground(Label8, colors::paleYellow);
    placeTwips(Label8, 90, 480, 1230, 360);
    Label1 = makeLabel(client, "Label1", QString());
    Label1->setFont(uiFont(12, true));
    Label1->setAlignment(Qt::AlignCenter);
    whiteStrip(Label1);
    placeTwips(Label1, 1350, 480, 1560, 360);

    Label32 = makeLabel(client, "Label32", QStringLiteral("ｱﾗｰﾑ音時間："));
    Label32->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    placeTwips(Label32, 3060, 480, 1290, 360);
    Label31 = makeLabel(client, "Label31", QString());
    Label31->setAlignment(Qt::AlignCenter);
    whiteStrip(Label31);
    placeTwips(Label31, 4380, 480, 1200, 360);

    Command14 = makeButton(client, "Command14", QStringLiteral("最小化"));
    placeTwips(Command14, 90, 930, 1230, 375);
    Command11 = makeButton(client, "Command11", QStringLiteral("全クリア"));
    placeTwips(Command11, 1350, 930, 1230, 375);
    Command25 = makeButton(client, "Command25", QStringLiteral("大きい表示"));
    placeTwips(Command25, 2610, 930, 1380, 375);
    Command26 = makeButton(client, "Command26", QStringLiteral("小さい表示"));
    placeTwips(Command26, 2610, 930, 1380, 375);
    Command26->hide();
    connect(Command14, &QPushButton::clicked, this, &TM1::Command14_Click);
    connect(Command11, &QPushButton::clicked, this, &TM1::Command11_Click);
    connect(Command25, &QPushButton::clicked, this, &TM1::Command25_Click);
    connect(Command26, &QPushButton::clicked, this, &TM1::Command26_Click);

    Label39 = makeLabel(client, "Label39", QStringLiteral("ＮＯ"));
    Label39->setAlignment(Qt::AlignCenter);
    setBackground(Label39, colors::paleYellow);
    placeTwips(Label39, 90, 1380, 780, 270);
    Label9 = makeLabel(client, "Label9", QStringLiteral("指定時間：(例 13：08：20)"));
    Label9->setAlignment(Qt::AlignCenter);
    setBackground(Label9, colors::paleYellow);
    placeTwips(Label9, 900, 1380, 2310, 270);
    Label7 = makeLabel(client, "Label7", QStringLiteral("メモ"));
    Label7->setAlignment(Qt::AlignCenter);
    setBackground(Label7, colors::paleYellow);
    placeTwips(Label7, 3240, 1380, 1500, 270);

    buildRows(client);

    Frame2 = new QGroupBox(client);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    setBackground(Frame2, kLightGreenBack);
    placeTwips(Frame2, 90, 6360, 4650, 630);
    Label30 =
        makeLabel(Frame2, "Label30", QStringLiteral("● 指定時間入力例：13時8分20秒→ 13．08．20"));
    placeTwips(Label30, 90, 60, 4470, 255);
    Label33 = makeLabel(Frame2, "Label33", QStringLiteral("●　同時に３つ以上の音は鳴りません。"));
    placeTwips(Label33, 90, 315, 4470, 255);

    Command13 = makeButton(client, "Command13", QStringLiteral("ﾒﾆｭｰへ"));
    placeTwips(Command13, 4830, 6450, 780, 450);
    Command12 = makeButton(client, "Command12", QStringLiteral("終了"));
    placeTwips(Command12, 5670, 6450, 780, 450);
    connect(Command13, &QPushButton::clicked, this, &TM1::Command13_Click);
    connect(Command12, &QPushButton::clicked, this, &TM1::Command12_Click);

    Picture1 = new QWidget(client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    setBackground(Picture1, kPaleBlue);
    placeTwips(Picture1, 6540, 480, 6930, 6510);
    Label40 = makeLabel(Picture1, "Label40", QString());
    Label40->setAlignment(Qt::AlignCenter);
    setBackground(Label40, colors::navy);
    setForeground(Label40, colors::yellow);
    placeTwips(Label40, 60, 600, 6810, 2520);
    Label41 = makeLabel(Picture1, "Label41", QString());
    Label41->setAlignment(Qt::AlignCenter);
    placeTwips(Label41, 60, 3540, 6810, 1080);
    Label42 = makeLabel(Picture1, "Label42", QString());
    Label42->setAlignment(Qt::AlignCenter);
    placeTwips(Label42, 60, 4860, 6810, 1080);
    Picture1->hide();

    buildMenus();

    // Keyboard order follows the rows, then the window's buttons.
    QWidget* previous = nullptr;
    auto chain = [&previous](QWidget* w) {
        if (previous) setTabOrder(previous, w);
        previous = w;
    };
    for (const Row& r : m_rows) {
        chain(r.timeBox);
        chain(r.memo);
        chain(r.stop);
        chain(r.clear);
    }
    for (QWidget* w : {static_cast<QWidget*>(Command14), static_cast<QWidget*>(Command11),
                       static_cast<QWidget*>(Command25), static_cast<QWidget*>(Command26),
                       static_cast<QWidget*>(Command13), static_cast<QWidget*>(Command12)})
        chain(w);

    setWide(false);

    // Load step: the large clock's fonts, the sound table, the ring-duration check mark.
    // 90 pt digits of the installed Japanese faces run wider than the panel; a narrower
    // stretch keeps the size while the whole time stays in view.
    QFont big = uiFont(90);
    big.setStretch(82);
    Label40->setFont(big);
    Label41->setFont(uiFont(36));
    Label42->setFont(uiFont(36));
    // A table that could not be read whole still gives the entries read so far.
    state().loadSoundTable();
    if (!state().soundTableNotice().isEmpty())
        platform().messages->exclamation(this, state().soundTableNotice(), QStringLiteral("CHECK"));
    const int seconds = state().alarmRingSeconds;
    for (size_t i = 0; i < m_spanItems.size(); ++i)
        m_spanItems[i]->setChecked(kRingSpans[i].seconds == seconds ||
                                   (seconds == 0 && kRingSpans[i].seconds == 10));

    Timer21 = new ClockTicker(*platform().clock, QStringLiteral("Timer21"), this);
    connect(Timer21, &ClockTicker::timeout, this, &TM1::Timer21_Timer);
    Timer22 = new ClockTicker(*platform().clock, QStringLiteral("Timer22"), this);
    connect(Timer22, &ClockTicker::timeout, this, &TM1::Timer22_Timer);
    Timer21_Timer();
    Timer22_Timer();
    Timer21->setEnabled(true);
    Timer22->setEnabled(true);
}

TM1::~TM1() = default;

void TM1::buildRows(QWidget* client) {
    const QString sampleTip = QStringLiteral("ｻﾝﾌﾟﾙ音が鳴ります");
    for (int k = 1; k <= kAlarmRows; ++k) {
        Row& r = m_rows[size_t(k - 1)];
        const size_t i = size_t(k - 1);
        const int top = kFirstRowTop + (k - 1) * kRowPitch;

        r.number = new ClickLabel(QString::fromUtf16(kNumberCaptions[i]), client);
        r.number->setObjectName(name(kNumbers[i]));
        r.number->setAlignment(Qt::AlignCenter);
        r.number->setFont(uiFont(9, true));
        placeTwips(r.number, 90, top, 780, 210);
        r.source = new ClickLabel(client);
        r.source->setObjectName(name(kSources[i]));
        r.source->setAlignment(Qt::AlignCenter);
        r.source->setFont(uiFont(8));
        placeTwips(r.source, 90, top + 210, 780, 225);
        for (ClickLabel* l : {r.number, r.source}) {
            l->setCursor(Qt::PointingHandCursor);
            l->setToolTip(sampleTip);
        }
        connect(r.number, &ClickLabel::clicked, this, [this, k] { NumberLabel_Click(k); });
        connect(r.source, &ClickLabel::clicked, this, [this, k] { SourceLabel_Click(k); });

        r.display = new ClickLabel(client);
        r.display->setObjectName(name(kDisplays[i]));
        r.display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        r.display->setFont(uiFont(11.25, true));
        whiteStrip(r.display);
        placeTwips(r.display, 900, top + 15, 2310, 405);
        connect(r.display, &ClickLabel::clicked, this, [this, k] { DisplayLabel_Click(k); });

        r.timeBox = new QLineEdit(r.display);
        r.timeBox->setObjectName(name(kTimeBoxes[i]));
        r.timeBox->setFrame(false);
        r.timeBox->setFont(uiFont(11.25, true));
        r.timeBox->setAttribute(Qt::WA_InputMethodEnabled, false);
        r.timeBox->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText);
        setBackground(r.timeBox, colors::white);
        placeTwips(r.timeBox, 45, 30, 1140, 345);
        r.timeBox->installEventFilter(this);

        r.memo = new QLineEdit(client);
        r.memo->setObjectName(name(kMemos[i]));
        r.memo->setFont(uiFont(9.75));
        setBackground(r.memo, kAlarmWhite);
        placeTwips(r.memo, 3240, top + 15, 1500, 405);
        r.memo->installEventFilter(this);

        r.lamp = new QFrame(client);
        r.lamp->setObjectName(QStringLiteral("Shape%1").arg(k));
        r.lamp->setFrameShape(QFrame::Box);
        setBackground(r.lamp, kAlarmWhite);
        placeTwips(r.lamp, 4800, top + 112, 195, 195);

        r.stop = makeButton(client, kStops[i], QStringLiteral("停止"));
        placeTwips(r.stop, 5040, top + 15, 630, 405);
        r.clear = makeButton(client, kClears[i], QStringLiteral("クリア"));
        placeTwips(r.clear, 5700, top + 15, 750, 405);
        connect(r.stop, &QPushButton::clicked, this, [this, k] { StopButton_Click(k); });
        connect(r.clear, &QPushButton::clicked, this, [this, k] { ClearButton_Click(k); });

        r.watcher = new QTimer(this);
        r.watcher->setObjectName(QStringLiteral("Timer%1").arg(2 * k - 1));
        r.watcher->setInterval(kWatcherIntervalMs);
        connect(r.watcher, &QTimer::timeout, this, [this, k] { Watcher_Timer(k); });
        r.ringer = new QTimer(this);
        r.ringer->setObjectName(QStringLiteral("Timer%1").arg(2 * k));
        r.ringer->setInterval(kRingerIntervalMs);
        connect(r.ringer, &QTimer::timeout, this, [this, k] { Ringer_Timer(k); });
    }
}

void TM1::buildMenus() {
    QMenu* m1 = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    m1->setObjectName(QStringLiteral("M1"));
    m1->addAction(QStringLiteral("時刻の大きい表示(&Z)"), this, &TM1::M12_Click)
        ->setObjectName(QStringLiteral("M12"));
    m1->addAction(QStringLiteral("終了(&E)"), this, &TM1::M11_Click)
        ->setObjectName(QStringLiteral("M11"));

    QMenu* m2 = menuBar()->addMenu(QStringLiteral("設定(&S)"));
    m2->setObjectName(QStringLiteral("M2"));
    QMenu* m21 = m2->addMenu(QStringLiteral("ｱﾗｰﾑ音の鳴り続ける時間を設定"));
    m21->setObjectName(QStringLiteral("M21"));
    m21->menuAction()->setObjectName(QStringLiteral("M21"));
    m_spanGroup = new QActionGroup(this);
    m_spanGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (size_t i = 0; i < m_spanItems.size(); ++i) {
        QAction* a = m21->addAction(QString::fromUtf16(kRingSpans[i].menuText));
        a->setObjectName(name(kRingSpans[i].item));
        a->setCheckable(true);
        m_spanGroup->addAction(a);
        const int index = int(i) + 1;
        connect(a, &QAction::triggered, this, [this, index] { RingSpan_Click(index); });
        m_spanItems[i] = a;
    }
    m2->addAction(QStringLiteral("音源設定(&G)"), this, &TM1::M22_Click)
        ->setObjectName(QStringLiteral("M22"));

    QMenu* m3 = menuBar()->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
    m3->setObjectName(QStringLiteral("M3"));
    m3->addAction(QStringLiteral("QZ電卓"), this, &TM1::M31_Click)
        ->setObjectName(QStringLiteral("M31"));

    QMenu* m4 = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    m4->setObjectName(QStringLiteral("M4"));
    m4->addAction(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this, &TM1::M41_Click)
        ->setObjectName(QStringLiteral("M41"));
}

void TM1::formActivate() {
    m_engine.ringSecondsInUse = state().alarmRingSeconds;
    showRingSpan(m_engine.ringSecondsInUse);
    for (int k = 1; k <= kAlarmRows; ++k)
        setElidedText(m_rows[size_t(k - 1)].source, state().soundTable[size_t(k - 1)].name(),
                      QStringLiteral("ｻﾝﾌﾟﾙ音が鳴ります"));
    m_engine.enableTimeBox(1);
    applyRow(1);
    focusTimeBox(1);
}

QString TM1::sourcePath(int k) const {
    return ctx.state.wavePath(k);
}

void TM1::showRingSpan(int seconds) {
    QString shown;
    for (const RingSpan& s : kRingSpans)
        if (s.seconds == seconds) shown = QString::fromUtf16(s.shown);
    Label31->setText(shown);
}

// Mirrors row k of the engine into its controls.
void TM1::applyRow(int k) {
    const AlarmRow& e = m_engine.row(k);
    Row& r = m_rows[size_t(k - 1)];
    if (r.lamp->palette().color(QPalette::Window) != vbColor(e.lamp)) setBackground(r.lamp, e.lamp);
    if (r.memo->palette().color(QPalette::Base) != vbColor(e.memoBackground))
        setBackground(r.memo, e.memoBackground);
    if (r.display->text() != e.displayCaption) r.display->setText(e.displayCaption);
    if (r.timeBox->isEnabled() != e.timeBoxEnabled) {
        // Disabling the focused box would hand the focus to the next box in the tab order
        // and so disarm another row; "停止" is where a ringing row wants it anyway.
        if (!e.timeBoxEnabled && focusWidget() == r.timeBox) r.stop->setFocus(Qt::OtherFocusReason);
        r.timeBox->setEnabled(e.timeBoxEnabled);
    }
    if (e.watcherEnabled != r.watcher->isActive()) {
        if (e.watcherEnabled)
            r.watcher->start();
        else
            r.watcher->stop();
    }
    // A QTimer at interval 0 would fire on every pass of the event loop; here 0 means silent.
    const bool ticking = e.ringerTicking();
    if (!ticking && r.ringer->isActive()) r.ringer->stop();
    if (r.ringer->interval() != e.ringerInterval) r.ringer->setInterval(e.ringerInterval);
    if (ticking && !r.ringer->isActive()) r.ringer->start();
}

// Puts the focus in row k's time box. The row's focus step runs once, whether the focus
// event arrives now (active window) or not (window not yet active).
void TM1::focusTimeBox(int k) {
    QLineEdit* box = m_rows[size_t(k - 1)].timeBox;
    if (!box->isEnabled()) return;
    const bool alreadyThere = focusWidget() == box && (box->hasFocus() || !isActiveWindow());
    m_focusStepRan = false;
    box->setFocus(Qt::OtherFocusReason);
    if (!alreadyThere && !m_focusStepRan) TimeBox_GotFocus(k);
}

void TM1::moveToTimeBox(int from, int step) {
    for (int j = from + step; j >= 1 && j <= kAlarmRows; j += step)
        if (m_engine.row(j).timeBoxEnabled) {
            focusTimeBox(j);
            return;
        }
}

bool TM1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::FocusIn && type != QEvent::KeyPress)
        return QzWindow::eventFilter(watched, event);
    for (int k = 1; k <= kAlarmRows; ++k) {
        const Row& r = m_rows[size_t(k - 1)];
        if (watched != r.timeBox && watched != r.memo) continue;
        const bool isTimeBox = watched == r.timeBox;
        if (type == QEvent::FocusIn) {
            // Coming back from another window, a message box or a menu is not a move
            // into the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (isTimeBox && reason != Qt::ActiveWindowFocusReason &&
                reason != Qt::PopupFocusReason) {
                m_focusStepRan = true;
                TimeBox_GotFocus(k);
            }
            return false;
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (isTimeBox) {
            if (enter) return TimeBox_KeyPress(k, kKeyEnter);
            if (key == Qt::Key_Up) return TimeBox_KeyDown(k, kKeyUp);
            if (key == Qt::Key_Down) return TimeBox_KeyDown(k, kKeyDown);
        } else {
            if (enter) return Memo_KeyPress(k, kKeyEnter);
            if (key == Qt::Key_Left) return Memo_KeyDown(k, kKeyLeft);
        }
        return false;
    }
    return QzWindow::eventFilter(watched, event);
}

void TM1::TimeBox_GotFocus(int k) {
    m_engine.timeBoxFocused(k);
    applyRow(k);
}

bool TM1::TimeBox_KeyDown(int k, int keyCode) {
    if (keyCode == kKeyUp) {
        if (k == 1) return false;
        moveToTimeBox(k, -1);
        return true;
    }
    if (keyCode == kKeyDown) {
        if (k == kAlarmRows)
            m_rows[size_t(k - 1)].memo->setFocus(Qt::OtherFocusReason);
        else
            moveToTimeBox(k, +1);
        return true;
    }
    return false;
}

bool TM1::TimeBox_KeyPress(int k, int ch) {
    if (ch != kKeyEnter) return false;
    Row& r = m_rows[size_t(k - 1)];
    const QString title = QStringLiteral("CHECK");
    switch (m_engine.enter(k, r.timeBox->text(), platform().clock->now())) {
    case EntryOutcome::Beep:
        MMControl1->beep();
        break;
    case EntryOutcome::MoveToMemo:
        r.memo->setFocus(Qt::OtherFocusReason);
        break;
    case EntryOutcome::Passed:
        applyRow(k);
        platform().messages->exclamation(this, QStringLiteral("時間既に経過しています！"), title);
        r.timeBox->clear();
        break;
    case EntryOutcome::Invalid:
        applyRow(k);
        platform().messages->exclamation(
            this, QStringLiteral("時間の入力が正しくありません！\n入力例：13時8分20秒→ 13．08．20"),
            title);
        r.timeBox->clear();
        break;
    case EntryOutcome::Armed:
        r.timeBox->clear();
        r.memo->setFocus(Qt::OtherFocusReason);
        applyRow(k);
        break;
    }
    return true;
}

bool TM1::Memo_KeyPress(int k, int ch) {
    if (ch != kKeyEnter) return false;
    // On to the next time box that takes input; a row that is ringing or has stopped keeps
    // its box closed, since focusing it would silence the row.
    for (int j = k + 1; j <= kAlarmRows; ++j)
        if (m_engine.row(j).timeBoxEnabled) {
            focusTimeBox(j);
            return true;
        }
    Command14->setFocus(Qt::OtherFocusReason);
    return true;
}

bool TM1::Memo_KeyDown(int k, int keyCode) {
    if (keyCode != kKeyLeft || !m_engine.row(k).timeBoxEnabled) return false;
    focusTimeBox(k);
    return true;
}

void TM1::NumberLabel_Click(int k) {
    MMControl1->playSource(sourcePath(k));
    DisplayLabel_Click(k);
}

void TM1::DisplayLabel_Click(int k) {
    if (m_engine.ringerEnabled(k)) {
        ClearButton_Click(k);
        return;
    }
    m_engine.enableTimeBox(k);
    applyRow(k);
    focusTimeBox(k);
}

void TM1::StopButton_Click(int k) {
    m_engine.stopRow(k);
    applyRow(k);
    // Show the stopped look at once, even while other rows keep the event loop busy.
    m_rows[size_t(k - 1)].lamp->repaint();
    m_rows[size_t(k - 1)].memo->repaint();
}

void TM1::ClearButton_Click(int k) {
    m_engine.clearRow(k);
    m_rows[size_t(k - 1)].memo->clear();
    applyRow(k);
    focusTimeBox(k);
}

void TM1::Watcher_Timer(int k) {
    const bool wasRinging = m_engine.ringerEnabled(k);
    if (!m_engine.watcherTick(k, platform().clock->now())) return;
    // The focus goes to "停止" when the row fires and when the window comes back while it
    // rings, never on every tick: a time typed meanwhile into another row must not be lost.
    const bool fired = !wasRinging;
    // Hidden: minimised, or another program in front (our own message box does not count).
    const bool hidden = isMinimized() || QApplication::activeWindow() == nullptr;
    if (fired) m_lastFired = k;
    if (fired || hidden) platform().windows->restoreAndRaise(this);
    QPushButton* stop = m_rows[size_t(k - 1)].stop;
    if ((fired || hidden) && focusWidget() != stop) stop->setFocus(Qt::OtherFocusReason);
    applyRow(k);
}

QPushButton* TM1::ringingStop() const {
    if (m_lastFired >= 1 && m_engine.row(m_lastFired).ringerTicking())
        return m_rows[size_t(m_lastFired - 1)].stop;
    for (int k = 1; k <= kAlarmRows; ++k)
        if (m_engine.row(k).ringerTicking()) return m_rows[size_t(k - 1)].stop;
    return nullptr;
}

void TM1::changeEvent(QEvent* event) {
    QzWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    if (!isActiveWindow()) {
        // Our own message box or dialog takes over; coming back from it is no return.
        m_leftForOwnWindow = QApplication::activeWindow() != nullptr;
        return;
    }
    const bool returning = !m_leftForOwnWindow;
    m_leftForOwnWindow = false;
    // Restored or brought back from another program while a row rings: its "停止" is what
    // the user wants.
    if (QPushButton* stop = ringingStop(); returning && stop && focusWidget() != stop)
        stop->setFocus(Qt::OtherFocusReason);
}

void TM1::Ringer_Timer(int k) {
    const RingerResult res = m_engine.ringerTick(k, platform().clock->now(), sourcePath(k));
    if (res.kind == RingerResult::Kind::Rang) {
        MMControl1->setFileName(res.fileName);
        if (res.beep)
            MMControl1->beep();
        else
            MMControl1->sound();
    }
    applyRow(k);
    if (res.kind == RingerResult::Kind::Stopped) {
        m_rows[size_t(k - 1)].lamp->repaint();
        m_rows[size_t(k - 1)].memo->repaint();
    }
}

void TM1::Timer21_Timer() {
    Label1->setText(timeText(platform().clock->now().time()));
}

void TM1::Timer22_Timer() {
    const QDateTime now = platform().clock->now();
    Label40->setText(timeText(now.time()));
    Label41->setText(dateText(now.date()));
    Label42->setText(weekdayName(now.date()));
}

void TM1::Command11_Click() {
    m_engine.clearAll();
    for (int k = 1; k <= kAlarmRows; ++k) {
        m_rows[size_t(k - 1)].memo->clear();
        applyRow(k);
    }
    focusTimeBox(1);
}

void TM1::Command13_Click() {
    m_engine.skipNextFocusClear = 0;
    leaveWindow(WindowId::Menu);
}

void TM1::Command14_Click() {
    platform().windows->minimize(this);
}

void TM1::Command25_Click() {
    setWide(true);
}

void TM1::Command26_Click() {
    setWide(false);
}

// Either layout button hides itself when pressed. The focus goes to its twin in the same
// place rather than on down the tab order into Text1, whose focus step would disarm row 1;
// the flag guards the switch in case the platform moves the focus anyway.
void TM1::setWide(bool wide) {
    m_engine.skipNextFocusClear = 1;
    QPushButton* showing = wide ? Command26 : Command25;
    QPushButton* hiding = wide ? Command25 : Command26;
    showing->show();
    if (focusWidget() == hiding) showing->setFocus(Qt::OtherFocusReason);
    hiding->hide();
    Picture1->setVisible(wide);
    m_wide = wide;
    setWindowSizeTwips(this, wide ? kWideWidth : kNormalWidth, kClientHeight + kCaptionTwips);
    setFixedHeight(height() + menuBar()->sizeHint().height());
    // The wide layout grows to the right; it must not run off the screen.
    if (wide) keepOnScreen(this);
    m_engine.skipNextFocusClear = 0;
}

void TM1::RingSpan_Click(int index) {
    const RingSpan& span = kRingSpans[index - 1];
    state().alarmRingSeconds = span.seconds;
    m_engine.ringSecondsInUse = span.seconds;
    saveRingSpans();
    for (size_t i = 0; i < m_spanItems.size(); ++i)
        m_spanItems[i]->setChecked(int(i) + 1 == index);
    Label31->setText(QString::fromUtf16(span.shown));
}

void TM1::M22_Click() {
    leaveWindow(WindowId::SoundSettings);
}

void TM1::Toolbar1_ButtonClick(int index) {
    if (index == 1)
        M31_Click();
    else if (index == 2)
        M41_Click();
}

void TM1::leaveWindow(WindowId target) {
    if (!ctx.windows.switchTo(target, this)) return;
    // Every armed or ringing row ends with the window.
    for (Row& r : m_rows) {
        r.watcher->stop();
        r.ringer->stop();
    }
}

} // namespace qz
