// SPDX-License-Identifier: MIT
#include "notification_timer_window.h"

#include "ui/click_label.h"
#include "ui/clock.h"
#include "ui/clock_ticker.h"
#include "ui/dialogs.h"
#include "ui/look.h"
#include "ui/sound_player.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

namespace qz {

namespace {

constexpr int kNormalWidth = 6630;
constexpr int kWideWidth = 13640;
constexpr int kClientHeight = 7035;

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
constexpr const char* kLamps[] = {"Shape1", "Shape2", "Shape3", "Shape4", "Shape5",
                                  "Shape6", "Shape7", "Shape8", "Shape9", "Shape10"};
constexpr const char* kStops[] = {"Command1",  "Command2",  "Command3",  "Command4",  "Command5",
                                  "Command20", "Command21", "Command22", "Command23", "Command24"};
constexpr const char* kClears[] = {"Command6",  "Command7",  "Command8",  "Command9",  "Command10",
                                   "Command15", "Command16", "Command17", "Command18", "Command19"};
constexpr const char16_t* kNumberCaptions[] = {u"１", u"２", u"３", u"４", u"５",
                                               u"６", u"７", u"８", u"９", u"10"};

constexpr RingSpanItem kRingSpans[] = {
    {"M211", 10, u"10秒間", u"10秒間"},         {"M212", 30, u"30秒間", u"30秒間"},
    {"M213", 60, u"１分間（既定）", u"１分間"}, {"M214", 120, u"２分間", u"２分間"},
    {"M215", 300, u"５分間", u"５分間"},        {"M216", 600, u"１０分間", u"１０分間"},
};

// Row layout, in twips.
constexpr int kFirstRowTop = 1680;
constexpr int kRowPitch = 465;

void showRingSpan(QLabel* label, int seconds) {
    QString shown;
    for (const RingSpanItem& s : kRingSpans)
        if (s.seconds == seconds) shown = QString::fromUtf16(s.shown);
    label->setText(shown);
}

} // namespace

NotificationTimerWindow::NotificationTimerWindow(AppContext& c)
    : QzWindow(c, WindowId::Timer), m_player(platform().sounds->createPlayer()) {
    setObjectName(QStringLiteral("TM1"));
    setWindowTitle(QStringLiteral("お知らせタイマー"));
    setBackground(this, colors::paleGreen);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setBackground(client, colors::paleGreen);
    setCentralWidget(client);

    addImageToolBar(
        this,
        {{calculatorIcon(), QStringLiteral("QZ電卓"), [this] { windows().startCalculator(this); }},
         {helpIcon(), QStringLiteral("ﾍﾙﾌﾟ"), [this] { windows().openHelp(this); }}});

    setBackground(addLabel(client, "Label8", {90, 480, 1230, 360}, QStringLiteral("現在時間："),
                           Qt::AlignCenter, uiFont(11.25, true)),
                  colors::paleYellow);
    m_clockLabel =
        addLabel(client, "Label1", {1350, 480, 1560, 360}, {}, Qt::AlignCenter, uiFont(12, true));
    setValueLook(m_clockLabel);

    addLabel(client, "Label32", {3060, 480, 1290, 360}, QStringLiteral("ｱﾗｰﾑ音時間："),
             Qt::AlignRight | Qt::AlignVCenter);
    m_ringSpanLabel = addLabel(client, "Label31", {4380, 480, 1200, 360}, {}, Qt::AlignCenter);
    setValueLook(m_ringSpanLabel);

    m_minimizeButton = addControl<QPushButton>(client, "Command14", {90, 930, 1230, 375},
                                               QStringLiteral("最小化"));
    m_clearAllButton = addControl<QPushButton>(client, "Command11", {1350, 930, 1230, 375},
                                               QStringLiteral("全クリア"));
    m_wideButton = addControl<QPushButton>(client, "Command25", {2610, 930, 1380, 375},
                                           QStringLiteral("大きい表示"));
    m_narrowButton = addControl<QPushButton>(client, "Command26", {2610, 930, 1380, 375},
                                             QStringLiteral("小さい表示"));
    m_narrowButton->hide();
    connect(m_minimizeButton, &QPushButton::clicked, this,
            &NotificationTimerWindow::onMinimizeClicked);
    connect(m_clearAllButton, &QPushButton::clicked, this,
            &NotificationTimerWindow::onClearAllClicked);
    connect(m_wideButton, &QPushButton::clicked, this, [this] { setWide(true); });
    connect(m_narrowButton, &QPushButton::clicked, this, [this] { setWide(false); });

    struct Heading {
        const char* name;
        TwipsRect at;
        const char16_t* text;
    };
    for (const Heading& h :
         {Heading{"Label39", {90, 1380, 780, 270}, u"ＮＯ"},
          Heading{"Label9", {900, 1380, 2310, 270}, u"指定時間：(例 13：08：20)"},
          Heading{"Label7", {3240, 1380, 1500, 270}, u"メモ"}}) {
        setBackground(addLabel(client, h.name, h.at, QString::fromUtf16(h.text), Qt::AlignCenter),
                      colors::paleYellow);
    }

    buildRows(client);

    auto* hints = addControl<QGroupBox>(client, "Frame2", {90, 6360, 4650, 630});
    setBackground(hints, colors::paleGreen);
    addLabel(hints, "Label30", {90, 60, 4470, 255},
             QStringLiteral("● 指定時間入力例：13時8分20秒→ 13．08．20"));
    addLabel(hints, "Label33", {90, 315, 4470, 255},
             QStringLiteral("●　同時に３つ以上の音は鳴りません。"));

    m_menuButton = addControl<QPushButton>(client, "Command13", {4830, 6450, 780, 450},
                                           QStringLiteral("ﾒﾆｭｰへ"));
    m_exitButton = addControl<QPushButton>(client, "Command12", {5670, 6450, 780, 450},
                                           QStringLiteral("終了"));
    connect(m_menuButton, &QPushButton::clicked, this, &NotificationTimerWindow::onMenuClicked);
    connect(m_exitButton, &QPushButton::clicked, this, [this] { windows().exitProgram(this); });

    m_bigPanel = addControl<QWidget>(client, "Picture1", {6540, 480, 6930, 6510});
    setBackground(m_bigPanel, colors::paleBlue);
    m_bigTimeLabel = addLabel(m_bigPanel, "Label40", {60, 600, 6810, 2520}, {}, Qt::AlignCenter);
    setBackground(m_bigTimeLabel, colors::navy);
    setForeground(m_bigTimeLabel, colors::yellow);
    m_bigDateLabel = addLabel(m_bigPanel, "Label41", {60, 3540, 6810, 1080}, {}, Qt::AlignCenter);
    m_bigWeekdayLabel =
        addLabel(m_bigPanel, "Label42", {60, 4860, 6810, 1080}, {}, Qt::AlignCenter);
    m_bigPanel->hide();

    buildMenus();

    // Keyboard order follows the rows, then the window's buttons.
    QList<QWidget*> order;
    for (const Row& r : m_rows)
        order << r.timeBox << r.memo << r.stop << r.clear;
    order << m_minimizeButton << m_clearAllButton << m_wideButton << m_narrowButton << m_menuButton
          << m_exitButton;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    setWide(false);

    // 90 pt digits of the installed Japanese faces run wider than the panel; a narrower
    // stretch keeps the size while the whole time stays in view.
    QFont big = uiFont(90);
    big.setStretch(82);
    m_bigTimeLabel->setFont(big);
    m_bigDateLabel->setFont(uiFont(36));
    m_bigWeekdayLabel->setFont(uiFont(36));
    // A table that could not be read whole still gives the entries read so far.
    state().loadSoundTable();
    if (!state().soundTableNotice().isEmpty())
        platform().messages->exclamation(this, state().soundTableNotice(), QStringLiteral("CHECK"));

    m_clockTicker = new ClockTicker(*platform().clock, QStringLiteral("Timer21"), this);
    connect(m_clockTicker, &ClockTicker::timeout, this, &NotificationTimerWindow::onClockTick);
    m_bigClockTicker = new ClockTicker(*platform().clock, QStringLiteral("Timer22"), this);
    connect(m_bigClockTicker, &ClockTicker::timeout, this,
            &NotificationTimerWindow::onBigClockTick);
    onClockTick();
    onBigClockTick();
    m_clockTicker->setEnabled(true);
    m_bigClockTicker->setEnabled(true);
}

NotificationTimerWindow::~NotificationTimerWindow() = default;

void NotificationTimerWindow::buildRows(QWidget* client) {
    const QString sampleTip = QStringLiteral("ｻﾝﾌﾟﾙ音が鳴ります");
    for (int k = 1; k <= kAlarmRows; ++k) {
        Row& r = row(k);
        const size_t i = size_t(k - 1);
        const int top = kFirstRowTop + (k - 1) * kRowPitch;

        r.number = addControl<ClickLabel>(client, kNumbers[i], {90, top, 780, 210},
                                          QString::fromUtf16(kNumberCaptions[i]));
        r.number->setAlignment(Qt::AlignCenter);
        r.number->setFont(uiFont(9, true));
        r.source = addControl<ClickLabel>(client, kSources[i], {90, top + 210, 780, 225});
        r.source->setAlignment(Qt::AlignCenter);
        r.source->setFont(uiFont(8));
        for (ClickLabel* l : {r.number, r.source}) {
            l->setCursor(Qt::PointingHandCursor);
            l->setToolTip(sampleTip);
            connect(l, &ClickLabel::clicked, this, [this, k] { onNumberClicked(k); });
        }

        r.display = addControl<ClickLabel>(client, kDisplays[i], {900, top + 15, 2310, 405});
        r.display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        r.display->setFont(uiFont(11.25, true));
        setValueLook(r.display);
        connect(r.display, &ClickLabel::clicked, this, [this, k] { onDisplayClicked(k); });

        r.timeBox = addControl<QLineEdit>(r.display, kTimeBoxes[i], {45, 30, 1140, 345});
        r.timeBox->setFrame(false);
        r.timeBox->setFont(uiFont(11.25, true));
        r.timeBox->setAttribute(Qt::WA_InputMethodEnabled, false);
        r.timeBox->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText);
        setBackground(r.timeBox, colors::white);
        r.timeBox->installEventFilter(this);

        r.memo = addControl<QLineEdit>(client, kMemos[i], {3240, top + 15, 1500, 405});
        r.memo->setFont(uiFont(9.75));
        setBackground(r.memo, colors::white);
        r.memo->installEventFilter(this);

        r.lamp = addControl<QFrame>(client, kLamps[i], {4800, top + 112, 195, 195});
        r.lamp->setFrameShape(QFrame::Box);
        setBackground(r.lamp, colors::white);

        r.stop = addControl<QPushButton>(client, kStops[i], {5040, top + 15, 630, 405},
                                         QStringLiteral("停止"));
        r.clear = addControl<QPushButton>(client, kClears[i], {5700, top + 15, 750, 405},
                                          QStringLiteral("クリア"));
        // Ten rows of like controls: a screen reader says which row each one is in.
        const QString rowName = QStringLiteral("%1行目 ").arg(k);
        r.timeBox->setAccessibleName(rowName + QStringLiteral("指定時間"));
        r.memo->setAccessibleName(rowName + QStringLiteral("メモ"));
        r.stop->setAccessibleName(rowName + QStringLiteral("停止"));
        r.clear->setAccessibleName(rowName + QStringLiteral("クリア"));
        r.display->setAccessibleDescription(rowName + QStringLiteral("指定時間"));
        r.lamp->setAccessibleName(rowName + QStringLiteral("ランプ ") +
                                  lampStateText(m_engine.row(k)));
        connect(r.stop, &QPushButton::clicked, this, [this, k] { onStopClicked(k); });
        connect(r.clear, &QPushButton::clicked, this, [this, k] { onClearClicked(k); });
    }
    m_alarmTimer = new QTimer(this);
    m_alarmTimer->setObjectName(QStringLiteral("Timer1"));
    m_alarmTimer->setInterval(kWatcherIntervalMs);
    m_alarmTimer->setTimerType(Qt::PreciseTimer);
    connect(m_alarmTimer, &QTimer::timeout, this, &NotificationTimerWindow::onAlarmTick);
}

void NotificationTimerWindow::buildMenus() {
    auto item = [this](QMenu* m, const char* name, const QString& text, auto handler) {
        connect(addMenuItem(m, name, text), &QAction::triggered, this, handler);
    };
    QMenu* file = addMenu(menuBar(), "M1", QStringLiteral("ﾌｧｲﾙ(&F)"));
    item(file, "M12", QStringLiteral("時刻の大きい表示(&Z)"), [this] { setWide(true); });
    item(file, "M11", QStringLiteral("終了(&E)"), [this] { windows().exitProgram(this); });

    QMenu* settings = addMenu(menuBar(), "M2", QStringLiteral("設定(&S)"));
    addRingSpanMenu(settings, QStringLiteral("ｱﾗｰﾑ音の鳴り続ける時間を設定"), "M21", kRingSpans,
                    state().alarmRingSeconds,
                    [this](const RingSpanItem& span) { onRingSpanChosen(span.seconds); });
    item(settings, "M22", QStringLiteral("音源設定(&G)"),
         [this] { leaveWindow(WindowId::SoundSettings); });

    QMenu* tools = addMenu(menuBar(), "M3", QStringLiteral("ﾂｰﾙ(&T)"));
    item(tools, "M31", QStringLiteral("QZ電卓"), [this] { windows().startCalculator(this); });
    QMenu* help = addMenu(menuBar(), "M4", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    item(help, "M41", QStringLiteral("ﾍﾙﾌﾟ(&H)"), [this] { windows().openHelp(this); });
}

void NotificationTimerWindow::onActivated() {
    m_engine.ringSecondsInUse = state().alarmRingSeconds;
    showRingSpan(m_ringSpanLabel, m_engine.ringSecondsInUse);
    for (int k = 1; k <= kAlarmRows; ++k)
        setElidedText(row(k).source, state().soundTable[size_t(k - 1)].name(),
                      QStringLiteral("ｻﾝﾌﾟﾙ音が鳴ります"));
    m_engine.enableTimeBox(1);
    applyRow(1);
    focusTimeBox(1);
}

QString NotificationTimerWindow::sourcePath(int k) const {
    return state().wavePath(k);
}

void NotificationTimerWindow::onRingSpanChosen(int seconds) {
    state().alarmRingSeconds = seconds;
    m_engine.ringSecondsInUse = seconds;
    showRingSpan(m_ringSpanLabel, seconds);
}

// Mirrors row k of the engine into its controls.
void NotificationTimerWindow::applyRow(int k) {
    const AlarmRow& e = m_engine.row(k);
    Row& r = row(k);
    const quint32 lampColor = e.lit ? colors::red : colors::white;
    const quint32 memoColor = e.lit ? colors::lightGreen : colors::white;
    if (r.lamp->palette().color(QPalette::Window) != vbColor(lampColor))
        setBackground(r.lamp, lampColor);
    const QString lampName = QStringLiteral("%1行目 ランプ %2").arg(k).arg(lampStateText(e));
    if (r.lamp->accessibleName() != lampName) r.lamp->setAccessibleName(lampName);
    if (r.memo->palette().color(QPalette::Base) != vbColor(memoColor))
        setBackground(r.memo, memoColor);
    if (r.display->text() != e.displayCaption) r.display->setText(e.displayCaption);
    if (r.timeBox->isEnabled() != e.timeBoxEnabled) {
        // Disabling the focused box would hand the focus to the next box in the tab order
        // and so disarm another row; "停止" is where a ringing row wants it anyway.
        if (!e.timeBoxEnabled && focusWidget() == r.timeBox) r.stop->setFocus(Qt::OtherFocusReason);
        r.timeBox->setEnabled(e.timeBoxEnabled);
    }
    // The desktop shows the ring too, for as long as it lasts.
    RingNotice& notice = m_notices[size_t(k - 1)];
    if (!e.ringerTicking())
        notice.withdraw();
    else if (!notice.shown())
        notice.show(platform().notifier, windowTitle(),
                    r.memo->text().trimmed().isEmpty() ? QStringLiteral("%1行目のお知らせ").arg(k)
                                                       : r.memo->text(),
                    [this, k] { onStopClicked(k); });
    if (m_engine.busy() != m_alarmTimer->isActive()) {
        if (m_engine.busy())
            m_alarmTimer->start();
        else
            m_alarmTimer->stop();
    }
}

// Puts the focus in row k's time box. The row's focus step runs once, whether the focus
// event arrives now (active window) or not (window not yet active).
void NotificationTimerWindow::focusTimeBox(int k) {
    QLineEdit* box = row(k).timeBox;
    if (!box->isEnabled()) return;
    const bool alreadyThere = focusWidget() == box && (box->hasFocus() || !isActiveWindow());
    m_focusStepRan = false;
    box->setFocus(Qt::OtherFocusReason);
    if (!alreadyThere && !m_focusStepRan) onTimeBoxFocused(k);
}

// On to the next time box up (step -1) or down (+1) that takes input; a row that is ringing
// or has stopped keeps its box closed, since focusing it would silence the row.
void NotificationTimerWindow::moveToTimeBox(int from, int step) {
    for (int j = from + step; j >= 1 && j <= kAlarmRows; j += step)
        if (m_engine.row(j).timeBoxEnabled) {
            focusTimeBox(j);
            return;
        }
}

bool NotificationTimerWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::FocusIn && type != QEvent::KeyPress)
        return QzWindow::eventFilter(watched, event);
    for (int k = 1; k <= kAlarmRows; ++k) {
        const Row& r = row(k);
        if (watched != r.timeBox && watched != r.memo) continue;
        const bool isTimeBox = watched == r.timeBox;
        if (type == QEvent::FocusIn) {
            // Coming back from another window, a message box or a menu is not a move
            // into the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (isTimeBox && reason != Qt::ActiveWindowFocusReason &&
                reason != Qt::PopupFocusReason) {
                m_focusStepRan = true;
                onTimeBoxFocused(k);
            }
            return false;
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        return isTimeBox ? timeBoxKey(k, key) : memoKey(k, key);
    }
    return QzWindow::eventFilter(watched, event);
}

bool NotificationTimerWindow::timeBoxKey(int k, int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        onTimeEntered(k);
        return true;
    case Qt::Key_Up:
        if (k == 1) return false;
        moveToTimeBox(k, -1);
        return true;
    case Qt::Key_Down:
        if (k == kAlarmRows)
            row(k).memo->setFocus(Qt::OtherFocusReason);
        else
            moveToTimeBox(k, +1);
        return true;
    default:
        return false;
    }
}

bool NotificationTimerWindow::memoKey(int k, int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        for (int j = k + 1; j <= kAlarmRows; ++j)
            if (m_engine.row(j).timeBoxEnabled) {
                focusTimeBox(j);
                return true;
            }
        m_minimizeButton->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Left:
        if (!m_engine.row(k).timeBoxEnabled) return false;
        focusTimeBox(k);
        return true;
    default:
        return false;
    }
}

void NotificationTimerWindow::onTimeBoxFocused(int k) {
    m_engine.timeBoxFocused(k);
    applyRow(k);
}

void NotificationTimerWindow::onTimeEntered(int k) {
    Row& r = row(k);
    const QString title = QStringLiteral("CHECK");
    switch (m_engine.enter(k, r.timeBox->text(), platform().clock->now())) {
    case EntryOutcome::Beep:
        m_player->beep();
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
}

void NotificationTimerWindow::onNumberClicked(int k) {
    m_player->playSource(sourcePath(k));
    onDisplayClicked(k);
}

void NotificationTimerWindow::onDisplayClicked(int k) {
    if (m_engine.ringerEnabled(k)) {
        onClearClicked(k);
        return;
    }
    m_engine.enableTimeBox(k);
    applyRow(k);
    focusTimeBox(k);
}

void NotificationTimerWindow::onStopClicked(int k) {
    m_engine.stopRow(k);
    applyRow(k);
    // Show the stopped look at once, even while other rows keep the event loop busy.
    row(k).lamp->repaint();
    row(k).memo->repaint();
}

void NotificationTimerWindow::onClearClicked(int k) {
    m_engine.clearRow(k);
    row(k).memo->clear();
    applyRow(k);
    focusTimeBox(k);
}

void NotificationTimerWindow::onAlarmTick() {
    const QList<RowEvent> events =
        m_engine.advanceTo(platform().clock->now(), [this](int k) { return sourcePath(k); });
    for (const RowEvent& event : events) {
        const int k = event.row;
        switch (event.kind) {
        case RowEvent::Kind::Due:
            onRowDue(k, event.firstDue);
            break;
        case RowEvent::Kind::Rang:
            m_player->setFileName(event.fileName);
            if (event.beep)
                m_player->beep();
            else
                m_player->sound();
            applyRow(k);
            break;
        case RowEvent::Kind::Stopped:
            applyRow(k);
            row(k).lamp->repaint();
            row(k).memo->repaint();
            break;
        }
    }
}

// Row k's target has come; `first` when the row has just begun to ring.
void NotificationTimerWindow::onRowDue(int k, bool first) {
    // The focus goes to "停止" when the row fires and when the window comes back while it
    // rings, never on every tick: a time typed meanwhile into another row must not be lost.
    // Hidden: minimised, or another program in front (our own message box does not count).
    const bool hidden = isMinimized() || QApplication::activeWindow() == nullptr;
    if (first) m_lastFired = k;
    if (first || hidden) platform().windows->restoreAndRaise(this);
    QPushButton* stop = row(k).stop;
    if ((first || hidden) && focusWidget() != stop) stop->setFocus(Qt::OtherFocusReason);
    applyRow(k);
}

QPushButton* NotificationTimerWindow::ringingStop() const {
    if (m_lastFired >= 1 && m_engine.row(m_lastFired).ringerTicking())
        return m_rows[size_t(m_lastFired - 1)].stop;
    for (int k = 1; k <= kAlarmRows; ++k)
        if (m_engine.row(k).ringerTicking()) return m_rows[size_t(k - 1)].stop;
    return nullptr;
}

void NotificationTimerWindow::changeEvent(QEvent* event) {
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

void NotificationTimerWindow::onClockTick() {
    m_clockLabel->setText(timeText(platform().clock->now().time()));
}

void NotificationTimerWindow::onBigClockTick() {
    showDateTime(platform().clock->now(), m_bigTimeLabel, m_bigDateLabel, m_bigWeekdayLabel);
}

void NotificationTimerWindow::onClearAllClicked() {
    m_engine.clearAll();
    for (int k = 1; k <= kAlarmRows; ++k) {
        row(k).memo->clear();
        applyRow(k);
    }
    focusTimeBox(1);
}

void NotificationTimerWindow::onMenuClicked() {
    m_engine.skipNextFocusClear = 0;
    leaveWindow(WindowId::Launcher);
}

void NotificationTimerWindow::onMinimizeClicked() {
    platform().windows->minimize(this);
}

// Either layout button hides itself when pressed. The focus goes to its twin in the same
// place rather than on down the tab order into the first time box, whose focus step would
// disarm row 1; the flag guards the switch in case the platform moves the focus anyway.
void NotificationTimerWindow::setWide(bool wide) {
    m_engine.skipNextFocusClear = 1;
    QPushButton* showing = wide ? m_narrowButton : m_wideButton;
    QPushButton* hiding = wide ? m_wideButton : m_narrowButton;
    showing->show();
    if (focusWidget() == hiding) showing->setFocus(Qt::OtherFocusReason);
    hiding->hide();
    m_bigPanel->setVisible(wide);
    setWindowSizeTwips(this, wide ? kWideWidth : kNormalWidth, kClientHeight + kCaptionTwips);
    setFixedHeight(height() + menuBar()->sizeHint().height());
    // The wide layout grows to the right; it must not run off the screen.
    if (wide) keepOnScreen(this);
    m_engine.skipNextFocusClear = 0;
}

void NotificationTimerWindow::leaveWindow(WindowId target) {
    if (!windows().switchTo(target, this)) return;
    // Every armed or ringing row ends with the window.
    m_alarmTimer->stop();
}

} // namespace qz
