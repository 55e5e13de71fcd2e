// SPDX-License-Identifier: MIT
#include "countdown_window.h"

#include "audio/sound_player.h"
#include "look/click_label.h"
#include "look/declared_controls.h"
#include "look/look.h"
#include "ui/clock.h"
#include "ui/dialogs.h"
#include "ui/platform.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace qz {

namespace {

constexpr int kBigPointSize = 120;
// "ﾒﾆｭｰへ" and "終了" stand at the right edge, narrow enough to leave the display frame room
// for both of its captions.
constexpr int kMenuButtonLeft = 6360;

constexpr RingSpanItem kRingSpans[] = {
    {"M111", 5, u"5秒間", u"5秒間"},    {"M112", 10, u"10秒間", u"10秒間"},
    {"M113", 20, u"20秒間", u"20秒間"}, {"M114", 30, u"30秒間（既定）", u"30秒間"},
    {"M115", 60, u"１分間", u"１分間"}, {"M116", 120, u"２分間", u"２分間"},
};

using K = ControlKind;
using W = CountdownWindow;
constexpr auto kRight = Qt::AlignRight | Qt::AlignVCenter;

// The controls above and beside the lamp, in twips, in the order they are made (which is the
// keyboard's order).
constexpr ControlDecl kUpperControls[] = {
    // Ring duration, beside the toolbar.
    {.role = W::RingSpanCaption,
     .name = "Label18",
     .at = {4400, 90, 1300, 255},
     .caption = u"ｱﾗｰﾑ音時間：",
     .align = kRight},
    {.role = W::RingSpan,
     .name = "Label19",
     .at = {5750, 75, 1200, 285},
     .align = Qt::AlignCenter,
     .valueLook = true,
     .ground = colors::paleYellow},
    // Duration entry.
    {.role = W::EntryCaption,
     .name = "Label12",
     .at = {120, 710, 1300, 255},
     .caption = u"経過時間指定："},
    {.role = W::HoursCaption,
     .name = "Label7",
     .at = {1400, 420, 650, 240},
     .caption = u"時",
     .align = Qt::AlignCenter},
    {.role = W::MinutesCaption,
     .name = "Label8",
     .at = {2300, 420, 650, 240},
     .caption = u"分",
     .align = Qt::AlignCenter},
    {.role = W::SecondsCaption,
     .name = "Label9",
     .at = {3200, 420, 650, 240},
     .caption = u"秒",
     .align = Qt::AlignCenter},
    {.role = W::Hours,
     .name = "Text1",
     .kind = K::LineEdit,
     .at = {1400, 660, 650, 345},
     .align = Qt::AlignRight,
     .points = 10.5,
     .fixedPitch = true},
    {.role = W::HoursColon,
     .name = "Label5",
     .at = {2050, 710, 250, 255},
     .caption = u"：",
     .align = Qt::AlignCenter},
    {.role = W::Minutes,
     .name = "Text2",
     .kind = K::LineEdit,
     .at = {2300, 660, 650, 345},
     .align = Qt::AlignRight,
     .points = 10.5,
     .fixedPitch = true},
    {.role = W::MinutesColon,
     .name = "Label6",
     .at = {2950, 710, 250, 255},
     .caption = u"：",
     .align = Qt::AlignCenter},
    {.role = W::Seconds,
     .name = "Text3",
     .kind = K::LineEdit,
     .at = {3200, 660, 650, 345},
     .align = Qt::AlignRight,
     .points = 10.5,
     .fixedPitch = true},
    {.role = W::Arrow,
     .name = "Label13",
     .at = {3900, 710, 300, 255},
     .caption = u"→",
     .align = Qt::AlignCenter},
    {.role = W::Start,
     .name = "Command1",
     .kind = K::Button,
     .at = {4300, 600, 1000, 450},
     .caption = u"スタート"},
    {.role = W::Stop,
     .name = "Command2",
     .kind = K::Button,
     .at = {5350, 600, 1000, 450},
     .caption = u"停止"},
    {.role = W::Clear,
     .name = "Command3",
     .kind = K::Button,
     .at = {6400, 600, 960, 450},
     .caption = u"クリア"},
    // Clock and time left.
    {.role = W::ClockCaption,
     .name = "Label10",
     .at = {120, 1190, 1400, 255},
     .caption = u"現在時間：",
     .align = kRight},
    {.role = W::Clock,
     .name = "Label4",
     .at = {1550, 1160, 1350, 285},
     .align = Qt::AlignCenter,
     .valueLook = true},
    {.role = W::DateCaption,
     .name = "Label11",
     .at = {120, 1520, 1400, 255},
     .caption = u"本日：",
     .align = kRight},
    {.role = W::Date,
     .name = "Label15",
     .at = {1550, 1490, 1350, 285},
     .align = Qt::AlignCenter,
     .valueLook = true},
    {.role = W::TimeLeftCaption,
     .name = "Label17",
     .at = {120, 1870, 1400, 255},
     .caption = u"カウントダウン：",
     .align = kRight},
    {.role = W::TimeLeft,
     .name = "Label16",
     .at = {1550, 1820, 1350, 345},
     .align = Qt::AlignCenter,
     .points = 12,
     .bold = true,
     .fixedPitch = true,
     .valueLook = true,
     .ink = colors::navy},
};

// Where the lamp, a shape of this window's own, stands: made between the two tables.
constexpr TwipsRect kLampAt = {3080, 1370, 480, 480};

// The controls after the lamp.
constexpr ControlDecl kLowerControls[] = {
    {.role = W::StartFrame,
     .name = "Frame2",
     .kind = K::GroupBox,
     .at = {3700, 1100, 1780, 1050},
     .caption = u"スタート時間"},
    {.role = W::StartDate,
     .name = "Label14",
     .at = {120, 330, 1540, 285},
     .within = W::StartFrame,
     .align = Qt::AlignCenter,
     .valueLook = true},
    {.role = W::StartTime,
     .name = "Label1",
     .at = {120, 680, 1540, 285},
     .within = W::StartFrame,
     .align = Qt::AlignCenter,
     .valueLook = true},
    {.role = W::TargetFrame,
     .name = "Frame1",
     .kind = K::GroupBox,
     .at = {5580, 1100, 1780, 1050},
     .caption = u"目的時間"},
    {.role = W::TargetDate,
     .name = "Label3",
     .at = {120, 330, 1540, 285},
     .within = W::TargetFrame,
     .align = Qt::AlignCenter,
     .valueLook = true},
    {.role = W::TargetTime,
     .name = "Label2",
     .at = {120, 680, 1540, 285},
     .within = W::TargetFrame,
     .align = Qt::AlignCenter,
     .valueLook = true},
    // Sound choice with a preview star beside each option.
    {.role = W::SoundFrame,
     .name = "Frame3",
     .kind = K::GroupBox,
     .at = {120, 2250, 3450, 620},
     .caption = u"音"},
    {.role = W::RingOption,
     .name = "Option1",
     .kind = K::Option,
     .at = {120, 270, 700, 270},
     .caption = u"Ring",
     .within = W::SoundFrame},
    {.role = W::RingStar,
     .name = "Label20",
     .kind = K::ClickLabel,
     .at = {800, 270, 270, 270},
     .caption = u"★",
     .within = W::SoundFrame},
    {.role = W::BellOption,
     .name = "Option2",
     .kind = K::Option,
     .at = {1200, 270, 700, 270},
     .caption = u"Bell",
     .within = W::SoundFrame},
    {.role = W::BellStar,
     .name = "Label21",
     .kind = K::ClickLabel,
     .at = {1880, 270, 270, 270},
     .caption = u"★",
     .within = W::SoundFrame},
    {.role = W::BeepOption,
     .name = "Option3",
     .kind = K::Option,
     .at = {2280, 270, 800, 270},
     .caption = u"BEEP",
     .within = W::SoundFrame},
    {.role = W::BeepStar,
     .name = "Label22",
     .kind = K::ClickLabel,
     .at = {3060, 270, 270, 270},
     .caption = u"★",
     .within = W::SoundFrame},
    {.role = W::ViewFrame,
     .name = "Frame5",
     .kind = K::GroupBox,
     .at = {3650, 2250, 2400, 620},
     .caption = u"ｶｳﾝﾄﾀﾞｳﾝ表示"},
    {.role = W::NormalView,
     .name = "Option4",
     .kind = K::Option,
     .at = {80, 270, 1020, 270},
     .caption = u"通常表示",
     .within = W::ViewFrame},
    {.role = W::BigView,
     .name = "Option5",
     .kind = K::Option,
     .at = {1110, 270, 1200, 270},
     .caption = u"大きい表示",
     .within = W::ViewFrame},
    {.role = W::Menu,
     .name = "Command5",
     .kind = K::Button,
     .at = {kMenuButtonLeft, 2280, 7360 - kMenuButtonLeft, 300},
     .caption = u"ﾒﾆｭｰへ"},
    {.role = W::Exit,
     .name = "Command4",
     .kind = K::Button,
     .at = {kMenuButtonLeft, 2600, 7360 - kMenuButtonLeft, 300},
     .caption = u"終了"},
    // Big display of the time left.
    {.role = W::BigPanel,
     .name = "Picture1",
     .kind = K::Panel,
     .at = {120, 3000, 8580, 2580},
     .ground = colors::navy},
    {.role = W::BigTimeLeft,
     .name = "Label23",
     .at = {0, 0, 8580, 2580},
     .within = W::BigPanel,
     .align = Qt::AlignCenter,
     .points = kBigPointSize,
     .ink = colors::yellow},
};

// The preview stars' colours; a click on one plays its option's sound.
constexpr std::pair<W::Role, quint32> kStarColours[] = {
    {W::RingStar, colors::red}, {W::BellStar, colors::yellow}, {W::BeepStar, colors::black}};

// What a screen reader says for each entry box.
constexpr std::pair<W::Role, const char16_t*> kEntryNames[] = {{W::Hours, u"経過時間指定 時"},
                                                               {W::Minutes, u"経過時間指定 分"},
                                                               {W::Seconds, u"経過時間指定 秒"}};

} // namespace

void LampShape::setFillColor(quint32 bbggrr) {
    if (m_fill == bbggrr) return;
    m_fill = bbggrr;
    update();
}

void LampShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(vbColor(m_fill));
    p.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
}

CountdownWindow::CountdownWindow(AppContext& c)
    : QzWindow(c, WindowId::Countdown), m_player(c.platform.sounds->createPlayer()) {
    setObjectName(QStringLiteral("TM2"));
    setWindowTitle(QStringLiteral("カウントダウン："));
    buildMenus();
    buildControls();
    connectControls();
    ringOption()->setChecked(true);
    normalViewOption()->setChecked(true);
    showNormalView();
}

CountdownWindow::~CountdownWindow() = default;

void CountdownWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* settings = addMenu(bar, "M1", QStringLiteral("設定(&S)"));
    addRingSpanMenu(settings, QStringLiteral("アラーム音が鳴り続ける時間を設定(&S)"), "M11",
                    kRingSpans, state().countdownRingSeconds(), [this](const RingSpanItem& span) {
                        state().setCountdownRingSeconds(span.seconds);
                        ringSpanLabel()->setText(QString::fromUtf16(span.shown));
                    });
    connect(addMenuItem(addMenu(bar, "M2", QStringLiteral("ﾂｰﾙ(&T)")), "M21",
                        QStringLiteral("QZ電卓(&D)")),
            &QAction::triggered, this, [this] { windows().startCalculator(this); });
    connect(addMenuItem(addMenu(bar, "M3", QStringLiteral("ﾍﾙﾌﾟ(&H)")), "M31",
                        QStringLiteral("ﾍﾙﾌﾟ(&H)")),
            &QAction::triggered, this, [this] { windows().openHelp(this); });
}

void CountdownWindow::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    addImageToolBar(
        this,
        {{calculatorIcon(), QStringLiteral("QZ電卓"), [this] { windows().startCalculator(this); }},
         {helpIcon(), QStringLiteral("ﾍﾙﾌﾟ"), [this] { windows().openHelp(this); }}});

    qz::buildControls(client, kUpperControls, m_controls);
    m_controls[Lamp] = addControl<LampShape>(client, "Shape1", kLampAt);
    lamp()->setAccessibleName(QStringLiteral("ランプ 消灯"));
    qz::buildControls(client, kLowerControls, m_controls);

    for (const auto& [role, name] : kEntryNames) {
        control(role)->installEventFilter(this);
        control(role)->setAccessibleName(QString::fromUtf16(name));
    }
    m_timeLeftFont = timeLeftLabel()->font();
    for (const auto& [role, colour] : kStarColours) {
        QWidget* star = control(role);
        star->setToolTip(QStringLiteral("ｸﾘｯｸすると音が出ます"));
        star->setCursor(Qt::PointingHandCursor);
        setColorOnOwnGround(star, colour);
    }

    fitViewOptions();

    // Enter on a focused button presses it.
    for (QPushButton* b : {startButton(), stopButton(), clearButton(), menuButton(), exitButton()})
        b->setAutoDefault(true);

    m_bigFont = bigTimeLeftLabel()->font();
    bigPanel()->hide();

    m_entryOrder = {hoursBox(), minutesBox(), secondsBox(), startButton()};
    for (size_t i = 1; i < m_entryOrder.size(); ++i)
        setTabOrder(m_entryOrder[i - 1], m_entryOrder[i]);
}

void CountdownWindow::fitViewOptions() {
    // The captions take what the font needs, so "通常表示" never runs into the second button;
    // the frame grows towards "ﾒﾆｭｰへ" when it must.
    QRadioButton* normal = normalViewOption();
    QRadioButton* big = bigViewOption();
    QGroupBox* frame = viewFrame();
    normal->resize(std::max(normal->width(), normal->sizeHint().width()), normal->height());
    big->move(normal->geometry().right() + twips(90), big->y());
    big->resize(std::max(big->width(), big->sizeHint().width()), big->height());
    frame->resize(std::min(std::max(frame->width(), big->geometry().right() + twips(80)),
                           twips(kMenuButtonLeft - 60 - 3650)),
                  frame->height());
}

void CountdownWindow::connectControls() {
    m_clockTimer = new QTimer(this);
    m_clockTimer->setObjectName(QStringLiteral("Timer1"));
    m_clockTimer->setInterval(kCountdownTimerMs);
    m_ringTimer = new QTimer(this);
    m_ringTimer->setObjectName(QStringLiteral("Timer2"));
    m_ringTimer->setInterval(kCountdownTimerMs);

    connect(startButton(), &QPushButton::clicked, this, &CountdownWindow::onStartClicked);
    connect(stopButton(), &QPushButton::clicked, this, [this] { apply(stopRinging(m_cd)); });
    connect(clearButton(), &QPushButton::clicked, this, [this] { apply(clearCountdown(m_cd)); });
    connect(exitButton(), &QPushButton::clicked, this, [this] { windows().exitProgram(this); });
    connect(menuButton(), &QPushButton::clicked, this, &CountdownWindow::onMenuClicked);
    connect(m_clockTimer, &QTimer::timeout, this, &CountdownWindow::onClockTick);
    connect(m_ringTimer, &QTimer::timeout, this, &CountdownWindow::onRingTick);
    auto onSelect = [this](QRadioButton* option, auto handler) {
        connect(option, &QRadioButton::toggled, this, [handler](bool on) {
            if (on) handler();
        });
    };
    onSelect(ringOption(), [this] { m_cd.soundChoice = SoundChoice::Ring; });
    onSelect(bellOption(), [this] { m_cd.soundChoice = SoundChoice::Bell; });
    onSelect(beepOption(), [this] { m_cd.soundChoice = SoundChoice::Beep; });
    onSelect(normalViewOption(), [this] { showNormalView(); });
    onSelect(bigViewOption(), [this] { showBigView(); });
    auto onStar = [this](Role star, auto handler) {
        connect(as<ClickLabel>(star), &ClickLabel::clicked, this, handler);
    };
    onStar(RingStar, [this] { m_player->playWave(state().programFile(QLatin1String(kRingWave))); });
    onStar(BellStar, [this] { m_player->playWave(state().programFile(QLatin1String(kBellWave))); });
    onStar(BeepStar, [this] { m_player->beep(); });

    m_clockTimer->start();
}

void CountdownWindow::onActivated() {
    bigTimeLeftLabel()->setFont(uiFont(kBigPointSize));
    m_bigFont = bigTimeLeftLabel()->font();
    m_ringTimer->setInterval(0);
    m_ringTimer->stop();
    m_notice.withdraw();
    m_cd.soundChoice = SoundChoice::Ring;
    ringOption()->setChecked(true);
    normalViewOption()->setChecked(true);
    showNormalView();
    showNowInSystemFormat();
    ringSpanLabel()->setText(QString::number(state().countdownRingSeconds()) +
                             QStringLiteral("秒間"));
    hoursBox()->setFocus();
}

void CountdownWindow::showNowInSystemFormat() {
    const QDateTime now = platform().clock->now();
    clockLabel()->setText(startTimeText(now.time()));
    dateLabel()->setText(dateText(now.date()));
}

bool CountdownWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const auto box = std::find(m_entryOrder.begin(), m_entryOrder.end() - 1, watched);
        if (box != m_entryOrder.end() - 1 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            (*(box + 1))->setFocus();
            return true;
        }
    }
    return QzWindow::eventFilter(watched, event);
}

void CountdownWindow::apply(const CountdownOutputs& out) {
    if (out.currentTime) clockLabel()->setText(*out.currentTime);
    if (out.currentDate) dateLabel()->setText(*out.currentDate);
    if (out.timeLeft) showTimeLeft(*out.timeLeft);
    if (out.startTime) startTimeLabel()->setText(*out.startTime);
    if (out.startDate) startDateLabel()->setText(*out.startDate);
    if (out.targetTime) targetTimeLabel()->setText(*out.targetTime);
    if (out.targetDate) targetDateLabel()->setText(*out.targetDate);
    if (out.lampLit) lamp()->setFillColor(*out.lampLit ? colors::red : colors::white);
    // The lamp says in words what its colour shows.
    const QString lampName = QStringLiteral("ランプ ") +
                             (m_cd.ringFromSeconds                   ? QStringLiteral("鳴動中")
                              : lamp()->fillColor() == colors::white ? QStringLiteral("消灯")
                                                                     : QStringLiteral("停止"));
    if (lamp()->accessibleName() != lampName) lamp()->setAccessibleName(lampName);

    switch (out.sound.kind) {
    case SoundRequest::Kind::Wave:
        m_player->playWave(state().programFile(out.sound.fileName));
        break;
    case SoundRequest::Kind::Beep:
        m_player->beep();
        break;
    case SoundRequest::Kind::None:
        break;
    }

    switch (out.ringTimer) {
    case RingTimerRequest::Start:
        if (!m_ringTimer->isActive()) {
            m_ringTimer->setInterval(kCountdownTimerMs);
            m_ringTimer->start();
            m_notice.show(
                platform().notifier, QStringLiteral("カウントダウン"),
                QStringLiteral("カウントダウン終了"), [this] { apply(stopRinging(m_cd)); },
                [this] { platform().windows->restoreAndRaise(this); });
        }
        break;
    case RingTimerRequest::Stop:
        m_ringTimer->setInterval(0);
        m_ringTimer->stop();
        m_notice.withdraw();
        break;
    case RingTimerRequest::Keep:
        break;
    }
    if (out.raiseWindow) platform().windows->restoreAndRaise(this);

    if (out.resetEntries) {
        ringOption()->setChecked(true);
        hoursBox()->clear();
        minutesBox()->clear();
        secondsBox()->clear();
        hoursBox()->setFocus();
    }
}

void CountdownWindow::showTimeLeft(const QString& text) {
    timeLeftLabel()->setText(text);
    bigTimeLeftLabel()->setText(text);
    fitBigLabel();
}

void CountdownWindow::fitBigLabel() {
    condenseToFit(timeLeftLabel(), m_timeLeftFont,
                  timeLeftLabel()->contentsRect().width() - twips(60));
    condenseToFit(bigTimeLeftLabel(), m_bigFont, bigPanel()->width() - twips(120));
}

void CountdownWindow::onStartClicked() {
    apply(startCountdown(m_cd, hoursBox()->text(), minutesBox()->text(), secondsBox()->text(),
                         platform().clock->now()));
    if (!m_clockTimer->isActive()) m_clockTimer->start();
}

void CountdownWindow::onMenuClicked() {
    resetCountdown(m_cd);
    windows().switchTo(WindowId::Launcher, this);
}

void CountdownWindow::onClockTick() {
    apply(clockTick(m_cd, platform().clock->now()));
}

void CountdownWindow::onRingTick() {
    apply(ringTick(m_cd, platform().clock->now(), state().countdownRingSeconds()));
}

void CountdownWindow::showNormalView() {
    setWindowSizeTwips(this, 7600, 3915);
    bigPanel()->hide();
}

void CountdownWindow::showBigView() {
    setWindowSizeTwips(this, 8940, 6450);
    bigPanel()->show();
    fitBigLabel();
}

} // namespace qz
