// SPDX-License-Identifier: MIT
#include "notification_timer_window.h"

#include "audio/sound_player.h"
#include "look/click_label.h"
#include "look/look.h"
#include "ui/clock.h"
#include "ui/clock_ticker.h"
#include "ui/dialogs.h"

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

using K = ControlKind;
using W = NotificationTimerWindow;

// The controls above the rows, in twips.
constexpr ControlDecl kTopControls[] = {
    {.role = W::ClockCaption,
     .name = "Label8",
     .kind = K::Label,
     .at = {90, 480, 1230, 360},
     .caption = u"現在時間：",
     .align = Qt::AlignCenter,
     .points = 11.25,
     .bold = true,
     .ground = colors::paleYellow},
    {.role = W::Clock,
     .name = "Label1",
     .kind = K::Label,
     .at = {1350, 480, 1560, 360},
     .align = Qt::AlignCenter,
     .points = 12,
     .bold = true,
     .valueLook = true},
    {.role = W::RingSpanCaption,
     .name = "Label32",
     .kind = K::Label,
     .at = {3060, 480, 1290, 360},
     .caption = u"ｱﾗｰﾑ音時間：",
     .align = Qt::AlignRight | Qt::AlignVCenter},
    {.role = W::RingSpan,
     .name = "Label31",
     .kind = K::Label,
     .at = {4380, 480, 1200, 360},
     .align = Qt::AlignCenter,
     .valueLook = true},
    {.role = W::Minimize,
     .name = "Command14",
     .kind = K::Button,
     .at = {90, 930, 1230, 375},
     .caption = u"最小化"},
    {.role = W::ClearAll,
     .name = "Command11",
     .kind = K::Button,
     .at = {1350, 930, 1230, 375},
     .caption = u"全クリア"},
    {.role = W::Wide,
     .name = "Command25",
     .kind = K::Button,
     .at = {2610, 930, 1380, 375},
     .caption = u"大きい表示"},
    {.role = W::Narrow,
     .name = "Command26",
     .kind = K::Button,
     .at = {2610, 930, 1380, 375},
     .caption = u"小さい表示"},
    {.name = "Label39",
     .kind = K::Label,
     .at = {90, 1380, 780, 270},
     .caption = u"ＮＯ",
     .align = Qt::AlignCenter,
     .ground = colors::paleYellow},
    {.role = W::TimeHeading,
     .name = "Label9",
     .kind = K::Label,
     .at = {900, 1380, 2310, 270},
     .caption = u"指定時間：(例 13：08：20)",
     .align = Qt::AlignCenter,
     .ground = colors::paleYellow},
    {.name = "Label7",
     .kind = K::Label,
     .at = {3240, 1380, 1500, 270},
     .caption = u"メモ",
     .align = Qt::AlignCenter,
     .ground = colors::paleYellow},
};

// The controls below and beside the rows.
constexpr ControlDecl kBottomControls[] = {
    {.role = W::Hints,
     .name = "Frame2",
     .kind = K::GroupBox,
     .at = {90, 6360, 4650, 630},
     .ground = colors::paleGreen},
    {.role = W::Hint1,
     .name = "Label30",
     .kind = K::Label,
     .at = {90, 60, 4470, 255},
     .caption = u"● 指定時間入力例：13時8分20秒→ 13．08．20",
     .within = W::Hints},
    {.role = W::Hint2,
     .name = "Label33",
     .kind = K::Label,
     .at = {90, 315, 4470, 255},
     .caption = u"●　同時に３つ以上の音は鳴りません。",
     .within = W::Hints},
    {.role = W::Menu,
     .name = "Command13",
     .kind = K::Button,
     .at = {4830, 6450, 780, 450},
     .caption = u"ﾒﾆｭｰへ"},
    {.role = W::Exit,
     .name = "Command12",
     .kind = K::Button,
     .at = {5670, 6450, 780, 450},
     .caption = u"終了"},
    {.role = W::BigPanel,
     .name = "Picture1",
     .kind = K::Panel,
     .at = {6540, 480, 6930, 6510},
     .ground = colors::paleBlue},
    {.role = W::BigTime,
     .name = "Label40",
     .kind = K::Label,
     .at = {60, 600, 6810, 2520},
     .within = W::BigPanel,
     .align = Qt::AlignCenter,
     .ground = colors::navy,
     .ink = colors::yellow},
    {.role = W::BigDate,
     .name = "Label41",
     .kind = K::Label,
     .at = {60, 3540, 6810, 1080},
     .within = W::BigPanel,
     .align = Qt::AlignCenter},
    {.role = W::BigWeekday,
     .name = "Label42",
     .kind = K::Label,
     .at = {60, 4860, 6810, 1080},
     .within = W::BigPanel,
     .align = Qt::AlignCenter},
};

// One alarm row, its tops taken from the first row's; the rows lie kRowPitch apart.
enum RowRole { Number, Source, Display, TimeBox, Memo, Lamp, Stop, Clear, RowRoleCount };
constexpr double kDisplayPoints = 11.25;
constexpr int kRowPitch = 465;
constexpr ControlDecl kRowControls[RowRoleCount] = {
    {.kind = K::ClickLabel,
     .at = {90, 1680, 780, 210},
     .align = Qt::AlignCenter,
     .points = 9,
     .bold = true},
    {.kind = K::ClickLabel, .at = {90, 1890, 780, 225}, .align = Qt::AlignCenter, .points = 8},
    {.kind = K::ClickLabel,
     .at = {900, 1695, 2310, 405},
     .align = Qt::AlignRight | Qt::AlignVCenter,
     .points = kDisplayPoints,
     .bold = true,
     .valueLook = true},
    // In the display; its place is the display's, not the row's.
    {.kind = K::LineEdit,
     .at = {45, 30, 1140, 345},
     .within = Display,
     .points = 11.25,
     .bold = true,
     .flat = true,
     .ground = colors::white},
    {.kind = K::LineEdit, .at = {3240, 1695, 1500, 405}, .points = 9.75, .ground = colors::white},
    {.kind = K::Lamp, .at = {4800, 1792, 195, 195}, .ground = colors::white},
    {.kind = K::Button, .at = {5040, 1695, 630, 405}, .caption = u"停止"},
    {.kind = K::Button, .at = {5700, 1695, 750, 405}, .caption = u"クリア"},
};
// Each row's control names, in RowRole order.
constexpr const char* kRowNames[kAlarmRows][RowRoleCount] = {
    {"Label10", "Label34", "Label2", "Text1", "Text6", "Shape1", "Command1", "Command6"},
    {"Label11", "Label35", "Label3", "Text2", "Text7", "Shape2", "Command2", "Command7"},
    {"Label12", "Label20", "Label4", "Text3", "Text8", "Shape3", "Command3", "Command8"},
    {"Label13", "Label26", "Label5", "Text4", "Text9", "Shape4", "Command4", "Command9"},
    {"Label14", "Label27", "Label6", "Text5", "Text10", "Shape5", "Command5", "Command10"},
    {"Label19", "Label28", "Label21", "Text16", "Text11", "Shape6", "Command20", "Command15"},
    {"Label18", "Label29", "Label22", "Text17", "Text12", "Shape7", "Command21", "Command16"},
    {"Label17", "Label36", "Label23", "Text18", "Text13", "Shape8", "Command22", "Command17"},
    {"Label16", "Label37", "Label24", "Text19", "Text14", "Shape9", "Command23", "Command18"},
    {"Label15", "Label38", "Label25", "Text20", "Text15", "Shape10", "Command24", "Command19"},
};
constexpr const char16_t* kNumberCaptions[] = {u"１", u"２", u"３", u"４", u"５",
                                               u"６", u"７", u"８", u"９", u"10"};

constexpr RingSpanItem kRingSpans[] = {
    {"M211", 10, u"10秒間", u"10秒間"},         {"M212", 30, u"30秒間", u"30秒間"},
    {"M213", 60, u"１分間（既定）", u"１分間"}, {"M214", 120, u"２分間", u"２分間"},
    {"M215", 300, u"５分間", u"５分間"},        {"M216", 600, u"１０分間", u"１０分間"},
};

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

    buildControls(client, kTopControls, m_controls);
    buildRows(client);
    buildControls(client, kBottomControls, m_controls);
    narrowButton()->hide();
    bigPanel()->hide();
    connect(minimizeButton(), &QPushButton::clicked, this,
            &NotificationTimerWindow::onMinimizeClicked);
    connect(clearAllButton(), &QPushButton::clicked, this,
            &NotificationTimerWindow::onClearAllClicked);
    connect(wideButton(), &QPushButton::clicked, this, [this] { setWide(true); });
    connect(narrowButton(), &QPushButton::clicked, this, [this] { setWide(false); });
    connect(menuButton(), &QPushButton::clicked, this, &NotificationTimerWindow::onMenuClicked);
    connect(exitButton(), &QPushButton::clicked, this, [this] { windows().exitProgram(this); });

    buildMenus();

    // Keyboard order follows the rows, then the window's buttons.
    QList<QWidget*> order;
    for (const Row& r : m_rows)
        order << r.timeBox << r.memo << r.stop << r.clear;
    order << minimizeButton() << clearAllButton() << wideButton() << narrowButton() << menuButton()
          << exitButton();
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    setWide(false);

    // 90 pt digits of the installed Japanese faces run wider than the panel; a narrower
    // stretch keeps the size while the whole time stays in view.
    QFont big = uiFont(90);
    big.setStretch(82);
    bigTimeLabel()->setFont(big);
    bigDateLabel()->setFont(uiFont(36));
    bigWeekdayLabel()->setFont(uiFont(36));
    // A table that could not be read whole still gives the entries read so far.
    state().loadSoundTable();
    if (!state().soundTableNotice().isEmpty())
        platform().messages->exclamation(this, state().soundTableNotice(), kCheckTitle);

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

namespace {
template <class T> T* as(QWidget* w) {
    return static_cast<T*>(w);
}
} // namespace

QLabel* NotificationTimerWindow::clockLabel() const {
    return as<QLabel>(m_controls[Clock]);
}
QLabel* NotificationTimerWindow::ringSpanLabel() const {
    return as<QLabel>(m_controls[RingSpan]);
}
QPushButton* NotificationTimerWindow::minimizeButton() const {
    return as<QPushButton>(m_controls[Minimize]);
}
QPushButton* NotificationTimerWindow::clearAllButton() const {
    return as<QPushButton>(m_controls[ClearAll]);
}
QPushButton* NotificationTimerWindow::wideButton() const {
    return as<QPushButton>(m_controls[Wide]);
}
QPushButton* NotificationTimerWindow::narrowButton() const {
    return as<QPushButton>(m_controls[Narrow]);
}
QPushButton* NotificationTimerWindow::menuButton() const {
    return as<QPushButton>(m_controls[Menu]);
}
QPushButton* NotificationTimerWindow::exitButton() const {
    return as<QPushButton>(m_controls[Exit]);
}
QWidget* NotificationTimerWindow::hintsFrame() const {
    return as<QWidget>(m_controls[Hints]);
}
QLabel* NotificationTimerWindow::timeHeading() const {
    return as<QLabel>(m_controls[TimeHeading]);
}
QLabel* NotificationTimerWindow::hintLine(int i) const {
    return as<QLabel>(m_controls[size_t(Hint1 + i - 1)]);
}
QWidget* NotificationTimerWindow::bigPanel() const {
    return as<QWidget>(m_controls[BigPanel]);
}
QLabel* NotificationTimerWindow::bigTimeLabel() const {
    return as<QLabel>(m_controls[BigTime]);
}
QLabel* NotificationTimerWindow::bigDateLabel() const {
    return as<QLabel>(m_controls[BigDate]);
}
QLabel* NotificationTimerWindow::bigWeekdayLabel() const {
    return as<QLabel>(m_controls[BigWeekday]);
}

void NotificationTimerWindow::buildRows(QWidget* client) {
    const QString sampleTip = QStringLiteral("ｻﾝﾌﾟﾙ音が鳴ります");
    for (int k = 1; k <= kAlarmRows; ++k) {
        std::array<ControlDecl, RowRoleCount> decls{};
        for (int role = 0; role < RowRoleCount; ++role) {
            const ControlDecl& d = kRowControls[role];
            decls[size_t(role)] = shiftedDecl(d, d.within < 0 ? (k - 1) * kRowPitch : 0,
                                              kRowNames[k - 1][role], role);
        }
        decls[Number].caption = kNumberCaptions[k - 1];
        std::array<QWidget*, RowRoleCount> made{};
        buildControls(client, decls, made);
        Row& r = row(k);
        r.number = static_cast<ClickLabel*>(made[Number]);
        r.source = static_cast<ClickLabel*>(made[Source]);
        r.display = static_cast<ClickLabel*>(made[Display]);
        r.timeBox = static_cast<QLineEdit*>(made[TimeBox]);
        r.memo = static_cast<QLineEdit*>(made[Memo]);
        r.lamp = static_cast<QFrame*>(made[Lamp]);
        r.stop = static_cast<QPushButton*>(made[Stop]);
        r.clear = static_cast<QPushButton*>(made[Clear]);

        for (ClickLabel* l : {r.number, r.source}) {
            l->setCursor(Qt::PointingHandCursor);
            l->setToolTip(sampleTip);
            connect(l, &ClickLabel::clicked, this, [this, k] { onNumberClicked(k); });
        }
        connect(r.display, &ClickLabel::clicked, this, [this, k] { onDisplayClicked(k); });
        r.timeBox->setAttribute(Qt::WA_InputMethodEnabled, false);
        r.timeBox->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText);
        r.timeBox->installEventFilter(this);
        r.memo->installEventFilter(this);

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
                    state().alarmRingSeconds(),
                    [this](const RingSpanItem& span) { onRingSpanChosen(span.seconds); });
    item(settings, "M22", QStringLiteral("音源設定(&G)"),
         [this] { leaveWindow(WindowId::SoundSettings); });

    QMenu* tools = addMenu(menuBar(), "M3", QStringLiteral("ﾂｰﾙ(&T)"));
    item(tools, "M31", QStringLiteral("QZ電卓"), [this] { windows().startCalculator(this); });
    QMenu* help = addMenu(menuBar(), "M4", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    item(help, "M41", QStringLiteral("ﾍﾙﾌﾟ(&H)"), [this] { windows().openHelp(this); });
}

void NotificationTimerWindow::onActivated() {
    m_engine.setRingSeconds(state().alarmRingSeconds());
    showRingSpan(ringSpanLabel(), m_engine.ringSeconds());
    for (int k = 1; k <= kAlarmRows; ++k)
        setElidedText(row(k).source, state().soundTable()[size_t(k - 1)].name(),
                      QStringLiteral("ｻﾝﾌﾟﾙ音が鳴ります"));
    m_engine.enableTimeBox(1);
    applyRow(1);
    focusTimeBox(1);
}

QString NotificationTimerWindow::sourcePath(int k) const {
    return state().wavePath(k);
}

void NotificationTimerWindow::onRingSpanChosen(int seconds) {
    state().setAlarmRingSeconds(seconds);
    m_engine.setRingSeconds(seconds);
    showRingSpan(ringSpanLabel(), seconds);
}

// Mirrors row k of the engine into its controls.
void NotificationTimerWindow::applyRow(int k) {
    const AlarmRow& e = m_engine.row(k);
    Row& r = row(k);
    const quint32 lampColor = e.lit() ? colors::red : colors::white;
    const quint32 memoColor = e.lit() ? colors::lightGreen : colors::white;
    if (r.lamp->palette().color(QPalette::Window) != vbColor(lampColor))
        setBackground(r.lamp, lampColor);
    const QString lampName = QStringLiteral("%1行目 ランプ %2").arg(k).arg(lampStateText(e));
    if (r.lamp->accessibleName() != lampName) r.lamp->setAccessibleName(lampName);
    if (r.memo->palette().color(QPalette::Base) != vbColor(memoColor))
        setBackground(r.memo, memoColor);
    if (r.display->text() != e.displayCaption()) {
        r.display->setText(e.displayCaption());
        // The entry box lies over the display's left part: the time keeps to the room beside
        // it, condensed where a wider face (another system's) would run under the box.
        const int room = r.display->contentsRect().right() - r.timeBox->geometry().right() -
                         2 * r.display->frameWidth();
        condenseToFit(r.display, uiFont(kDisplayPoints, true), room);
    }
    if (r.timeBox->isEnabled() != e.timeBoxEnabled()) {
        // Disabling the focused box would hand the focus to the next box in the tab order
        // and so disarm another row; "停止" is where a ringing row wants it anyway.
        if (!e.timeBoxEnabled() && focusWidget() == r.timeBox)
            r.stop->setFocus(Qt::OtherFocusReason);
        r.timeBox->setEnabled(e.timeBoxEnabled());
    }
    // The desktop shows the ring too, for as long as it lasts.
    RingNotice& notice = m_notices[size_t(k - 1)];
    if (!e.ringerTicking())
        notice.withdraw();
    else if (!notice.shown())
        notice.show(
            platform().notifier, windowTitle(),
            r.memo->text().trimmed().isEmpty() ? QStringLiteral("%1行目のお知らせ").arg(k)
                                               : r.memo->text(),
            [this, k] { onStopClicked(k); }, [this] { platform().windows->restoreAndRaise(this); });
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
        if (m_engine.row(j).timeBoxEnabled()) {
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
            if (m_engine.row(j).timeBoxEnabled()) {
                focusTimeBox(j);
                return true;
            }
        minimizeButton()->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Left:
        if (!m_engine.row(k).timeBoxEnabled()) return false;
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
    switch (m_engine.enter(k, r.timeBox->text(), platform().clock->now())) {
    case EntryOutcome::Beep:
        m_player->beep();
        break;
    case EntryOutcome::MoveToMemo:
        r.memo->setFocus(Qt::OtherFocusReason);
        break;
    case EntryOutcome::Passed:
        applyRow(k);
        platform().messages->exclamation(this, QStringLiteral("時間既に経過しています！"),
                                         kCheckTitle);
        r.timeBox->clear();
        break;
    case EntryOutcome::Invalid:
        applyRow(k);
        platform().messages->exclamation(
            this, QStringLiteral("時間の入力が正しくありません！\n入力例：13時8分20秒→ 13．08．20"),
            kCheckTitle);
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
    clockLabel()->setText(timeText(platform().clock->now().time()));
}

void NotificationTimerWindow::onBigClockTick() {
    showDateTime(platform().clock->now(), bigTimeLabel(), bigDateLabel(), bigWeekdayLabel());
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
    m_engine.setKeepRowOnNextFocus(false);
    leaveWindow(WindowId::Launcher);
}

void NotificationTimerWindow::onMinimizeClicked() {
    platform().windows->minimize(this);
}

// Either layout button hides itself when pressed. The focus goes to its twin in the same
// place rather than on down the tab order into the first time box, whose focus step would
// disarm row 1; the flag guards the switch in case the platform moves the focus anyway.
void NotificationTimerWindow::setWide(bool wide) {
    m_engine.setKeepRowOnNextFocus(true);
    QPushButton* showing = wide ? narrowButton() : wideButton();
    QPushButton* hiding = wide ? wideButton() : narrowButton();
    showing->show();
    if (focusWidget() == hiding) showing->setFocus(Qt::OtherFocusReason);
    hiding->hide();
    bigPanel()->setVisible(wide);
    setWindowSizeTwips(this, wide ? kWideWidth : kNormalWidth, kClientHeight + kCaptionTwips);
    setFixedHeight(height() + menuBar()->sizeHint().height());
    // The wide layout grows to the right; it must not run off the screen.
    if (wide) keepOnScreen(this);
    m_engine.setKeepRowOnNextFocus(false);
}

void NotificationTimerWindow::leaveWindow(WindowId target) {
    if (!windows().switchTo(target, this)) return;
    // Every armed or ringing row ends with the window.
    m_alarmTimer->stop();
}

} // namespace qz
