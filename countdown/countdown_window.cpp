// SPDX-License-Identifier: MIT
#include "countdown_window.h"

#include "ui/click_label.h"
#include "ui/clock.h"
#include "ui/dialogs.h"
#include "ui/look.h"
#include "ui/platform.h"
#include "ui/sound_player.h"

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

// A star beside a sound option; a click plays that sound.
ClickLabel* star(QWidget* parent, const char* name, quint32 colour, int left, int top) {
    auto* l = addControl<ClickLabel>(parent, name, {left, top, 270, 270}, QStringLiteral("★"));
    l->setToolTip(QStringLiteral("ｸﾘｯｸすると音が出ます"));
    l->setCursor(Qt::PointingHandCursor);
    setColorOnOwnGround(l, colour);
    return l;
}

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
    m_ringOption->setChecked(true);
    m_normalViewOption->setChecked(true);
    showNormalView();
}

CountdownWindow::~CountdownWindow() = default;

void CountdownWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* settings = addMenu(bar, "M1", QStringLiteral("設定(&S)"));
    addRingSpanMenu(settings, QStringLiteral("アラーム音が鳴り続ける時間を設定(&S)"), "M11",
                    kRingSpans, state().countdownRingSeconds, [this](const RingSpanItem& span) {
                        state().countdownRingSeconds = span.seconds;
                        m_ringSpanLabel->setText(QString::fromUtf16(span.shown));
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

    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    // Ring duration, beside the toolbar.
    addLabel(client, "Label18", {4400, 90, 1300, 255}, QStringLiteral("ｱﾗｰﾑ音時間："), right);
    m_ringSpanLabel =
        addLabel(client, "Label19", {5750, 75, 1200, 285}, QString(), Qt::AlignCenter);
    setValueLook(m_ringSpanLabel, colors::paleYellow);

    // Duration entry.
    addLabel(client, "Label12", {120, 710, 1300, 255}, QStringLiteral("経過時間指定："));
    addLabel(client, "Label7", {1400, 420, 650, 240}, QStringLiteral("時"), Qt::AlignCenter);
    addLabel(client, "Label8", {2300, 420, 650, 240}, QStringLiteral("分"), Qt::AlignCenter);
    addLabel(client, "Label9", {3200, 420, 650, 240}, QStringLiteral("秒"), Qt::AlignCenter);
    auto entry = [&](const char* name, int left) {
        auto* t = addControl<QLineEdit>(client, name, {left, 660, 650, 345});
        t->setFont(fixedFont(10.5));
        t->setAlignment(Qt::AlignRight);
        t->installEventFilter(this);
        return t;
    };
    m_hoursBox = entry("Text1", 1400);
    m_hoursBox->setAccessibleName(QStringLiteral("経過時間指定 時"));
    addLabel(client, "Label5", {2050, 710, 250, 255}, QStringLiteral("："), Qt::AlignCenter);
    m_minutesBox = entry("Text2", 2300);
    m_minutesBox->setAccessibleName(QStringLiteral("経過時間指定 分"));
    addLabel(client, "Label6", {2950, 710, 250, 255}, QStringLiteral("："), Qt::AlignCenter);
    m_secondsBox = entry("Text3", 3200);
    m_secondsBox->setAccessibleName(QStringLiteral("経過時間指定 秒"));
    addLabel(client, "Label13", {3900, 710, 300, 255}, QStringLiteral("→"), Qt::AlignCenter);

    m_startButton = addControl<QPushButton>(client, "Command1", {4300, 600, 1000, 450},
                                            QStringLiteral("スタート"));
    auto* stopButton =
        addControl<QPushButton>(client, "Command2", {5350, 600, 1000, 450}, QStringLiteral("停止"));
    auto* clearButton = addControl<QPushButton>(client, "Command3", {6400, 600, 960, 450},
                                                QStringLiteral("クリア"));

    // Clock and time left.
    addLabel(client, "Label10", {120, 1190, 1400, 255}, QStringLiteral("現在時間："), right);
    m_clockLabel = addLabel(client, "Label4", {1550, 1160, 1350, 285}, {}, Qt::AlignCenter);
    addLabel(client, "Label11", {120, 1520, 1400, 255}, QStringLiteral("本日："), right);
    m_dateLabel = addLabel(client, "Label15", {1550, 1490, 1350, 285}, {}, Qt::AlignCenter);
    addLabel(client, "Label17", {120, 1870, 1400, 255}, QStringLiteral("カウントダウン："), right);
    m_timeLeftLabel = addLabel(client, "Label16", {1550, 1820, 1350, 345}, {}, Qt::AlignCenter);
    m_timeLeftLabel->setFont(fixedFont(12, true));
    m_timeLeftFont = m_timeLeftLabel->font();

    m_lamp = addControl<LampShape>(client, "Shape1", {3080, 1370, 480, 480});
    m_lamp->setAccessibleName(QStringLiteral("ランプ 消灯"));

    auto* startFrame = addControl<QGroupBox>(client, "Frame2", {3700, 1100, 1780, 1050},
                                             QStringLiteral("スタート時間"));
    m_startDateLabel = addLabel(startFrame, "Label14", {120, 330, 1540, 285}, {}, Qt::AlignCenter);
    m_startTimeLabel = addLabel(startFrame, "Label1", {120, 680, 1540, 285}, {}, Qt::AlignCenter);
    auto* targetFrame = addControl<QGroupBox>(client, "Frame1", {5580, 1100, 1780, 1050},
                                              QStringLiteral("目的時間"));
    m_targetDateLabel = addLabel(targetFrame, "Label3", {120, 330, 1540, 285}, {}, Qt::AlignCenter);
    m_targetTimeLabel = addLabel(targetFrame, "Label2", {120, 680, 1540, 285}, {}, Qt::AlignCenter);
    for (QLabel* l : {m_clockLabel, m_dateLabel, m_timeLeftLabel, m_startDateLabel,
                      m_startTimeLabel, m_targetDateLabel, m_targetTimeLabel})
        setValueLook(l);
    setForeground(m_timeLeftLabel, colors::navy); // over the value look's black

    // Sound choice with a preview star beside each option.
    auto* soundFrame =
        addControl<QGroupBox>(client, "Frame3", {120, 2250, 3450, 620}, QStringLiteral("音"));
    m_ringOption = addControl<QRadioButton>(soundFrame, "Option1", {120, 270, 700, 270},
                                            QStringLiteral("Ring"));
    auto* ringStar = star(soundFrame, "Label20", colors::red, 800, 270);
    auto* bellOption = addControl<QRadioButton>(soundFrame, "Option2", {1200, 270, 700, 270},
                                                QStringLiteral("Bell"));
    auto* bellStar = star(soundFrame, "Label21", colors::yellow, 1880, 270);
    auto* beepOption = addControl<QRadioButton>(soundFrame, "Option3", {2280, 270, 800, 270},
                                                QStringLiteral("BEEP"));
    auto* beepStar = star(soundFrame, "Label22", colors::black, 3060, 270);

    auto* viewFrame = addControl<QGroupBox>(client, "Frame5", {3650, 2250, 2400, 620},
                                            QStringLiteral("ｶｳﾝﾄﾀﾞｳﾝ表示"));
    m_normalViewOption = addControl<QRadioButton>(viewFrame, "Option4", {80, 270, 1020, 270},
                                                  QStringLiteral("通常表示"));
    auto* bigViewOption = addControl<QRadioButton>(viewFrame, "Option5", {1110, 270, 1200, 270},
                                                   QStringLiteral("大きい表示"));
    // The captions take what the font needs, so "通常表示" never runs into the second button;
    // the frame grows towards "ﾒﾆｭｰへ" when it must.
    m_normalViewOption->resize(
        std::max(m_normalViewOption->width(), m_normalViewOption->sizeHint().width()),
        m_normalViewOption->height());
    bigViewOption->move(m_normalViewOption->geometry().right() + twips(90), bigViewOption->y());
    bigViewOption->resize(std::max(bigViewOption->width(), bigViewOption->sizeHint().width()),
                          bigViewOption->height());
    viewFrame->resize(
        std::min(std::max(viewFrame->width(), bigViewOption->geometry().right() + twips(80)),
                 twips(kMenuButtonLeft - 60 - 3650)),
        viewFrame->height());

    auto* menuButton = addControl<QPushButton>(client, "Command5",
                                               {kMenuButtonLeft, 2280, 7360 - kMenuButtonLeft, 300},
                                               QStringLiteral("ﾒﾆｭｰへ"));
    auto* exitButton = addControl<QPushButton>(client, "Command4",
                                               {kMenuButtonLeft, 2600, 7360 - kMenuButtonLeft, 300},
                                               QStringLiteral("終了"));
    // Enter on a focused button presses it.
    for (QPushButton* b : {m_startButton, stopButton, clearButton, menuButton, exitButton})
        b->setAutoDefault(true);

    // Big display of the time left.
    m_bigPanel = addControl<QWidget>(client, "Picture1", {120, 3000, 8580, 2580});
    setBackground(m_bigPanel, colors::navy);
    m_bigTimeLeftLabel = addLabel(m_bigPanel, "Label23", {0, 0, 8580, 2580}, {}, Qt::AlignCenter,
                                  uiFont(kBigPointSize));
    setForeground(m_bigTimeLeftLabel, colors::yellow);
    m_bigFont = m_bigTimeLeftLabel->font();
    m_bigPanel->hide();

    m_clockTimer = new QTimer(this);
    m_clockTimer->setObjectName(QStringLiteral("Timer1"));
    m_clockTimer->setInterval(kCountdownTimerMs);
    m_ringTimer = new QTimer(this);
    m_ringTimer->setObjectName(QStringLiteral("Timer2"));
    m_ringTimer->setInterval(kCountdownTimerMs);

    connect(m_startButton, &QPushButton::clicked, this, &CountdownWindow::onStartClicked);
    connect(stopButton, &QPushButton::clicked, this, [this] { apply(stopRinging(m_cd)); });
    connect(clearButton, &QPushButton::clicked, this, [this] { apply(clearCountdown(m_cd)); });
    connect(exitButton, &QPushButton::clicked, this, [this] { windows().exitProgram(this); });
    connect(menuButton, &QPushButton::clicked, this, &CountdownWindow::onMenuClicked);
    connect(m_clockTimer, &QTimer::timeout, this, &CountdownWindow::onClockTick);
    connect(m_ringTimer, &QTimer::timeout, this, &CountdownWindow::onRingTick);
    auto onSelect = [this](QRadioButton* option, auto handler) {
        connect(option, &QRadioButton::toggled, this, [handler](bool on) {
            if (on) handler();
        });
    };
    onSelect(m_ringOption, [this] { m_cd.soundChoice = SoundChoice::Ring; });
    onSelect(bellOption, [this] { m_cd.soundChoice = SoundChoice::Bell; });
    onSelect(beepOption, [this] { m_cd.soundChoice = SoundChoice::Beep; });
    onSelect(m_normalViewOption, [this] { showNormalView(); });
    onSelect(bigViewOption, [this] { showBigView(); });
    connect(ringStar, &ClickLabel::clicked, this,
            [this] { m_player->playWave(state().programFile(QLatin1String(kRingWave))); });
    connect(bellStar, &ClickLabel::clicked, this,
            [this] { m_player->playWave(state().programFile(QLatin1String(kBellWave))); });
    connect(beepStar, &ClickLabel::clicked, this, [this] { m_player->beep(); });

    m_entryOrder = {m_hoursBox, m_minutesBox, m_secondsBox, m_startButton};
    for (size_t i = 1; i < m_entryOrder.size(); ++i)
        setTabOrder(m_entryOrder[i - 1], m_entryOrder[i]);

    m_clockTimer->start();
}

void CountdownWindow::onActivated() {
    m_bigTimeLeftLabel->setFont(uiFont(kBigPointSize));
    m_bigFont = m_bigTimeLeftLabel->font();
    m_ringTimer->setInterval(0);
    m_ringTimer->stop();
    m_notice.withdraw();
    m_cd.soundChoice = SoundChoice::Ring;
    m_ringOption->setChecked(true);
    m_normalViewOption->setChecked(true);
    showNormalView();
    showNowInSystemFormat();
    m_ringSpanLabel->setText(QString::number(state().countdownRingSeconds) +
                             QStringLiteral("秒間"));
    m_hoursBox->setFocus();
}

void CountdownWindow::showNowInSystemFormat() {
    const QDateTime now = platform().clock->now();
    m_clockLabel->setText(startTimeText(now.time()));
    m_dateLabel->setText(dateText(now.date()));
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
    if (out.currentTime) m_clockLabel->setText(*out.currentTime);
    if (out.currentDate) m_dateLabel->setText(*out.currentDate);
    if (out.timeLeft) showTimeLeft(*out.timeLeft);
    if (out.startTime) m_startTimeLabel->setText(*out.startTime);
    if (out.startDate) m_startDateLabel->setText(*out.startDate);
    if (out.targetTime) m_targetTimeLabel->setText(*out.targetTime);
    if (out.targetDate) m_targetDateLabel->setText(*out.targetDate);
    if (out.lampLit) m_lamp->setFillColor(*out.lampLit ? colors::red : colors::white);
    // The lamp says in words what its colour shows.
    const QString lampName = QStringLiteral("ランプ ") +
                             (m_cd.ringFromSeconds                   ? QStringLiteral("鳴動中")
                              : m_lamp->fillColor() == colors::white ? QStringLiteral("消灯")
                                                                     : QStringLiteral("停止"));
    if (m_lamp->accessibleName() != lampName) m_lamp->setAccessibleName(lampName);

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
            m_notice.show(platform().notifier, QStringLiteral("カウントダウン"),
                          QStringLiteral("カウントダウン終了"),
                          [this] { apply(stopRinging(m_cd)); });
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
        m_ringOption->setChecked(true);
        m_hoursBox->clear();
        m_minutesBox->clear();
        m_secondsBox->clear();
        m_hoursBox->setFocus();
    }
}

void CountdownWindow::showTimeLeft(const QString& text) {
    m_timeLeftLabel->setText(text);
    m_bigTimeLeftLabel->setText(text);
    fitBigLabel();
}

void CountdownWindow::fitBigLabel() {
    condenseToFit(m_timeLeftLabel, m_timeLeftFont,
                  m_timeLeftLabel->contentsRect().width() - twips(60));
    condenseToFit(m_bigTimeLeftLabel, m_bigFont, m_bigPanel->width() - twips(120));
}

void CountdownWindow::onStartClicked() {
    apply(startCountdown(m_cd, m_hoursBox->text(), m_minutesBox->text(), m_secondsBox->text(),
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
    apply(ringTick(m_cd, platform().clock->now(), state().countdownRingSeconds));
}

void CountdownWindow::showNormalView() {
    setWindowSizeTwips(this, 7600, 3915);
    m_bigPanel->hide();
}

void CountdownWindow::showBigView() {
    setWindowSizeTwips(this, 8940, 6450);
    m_bigPanel->show();
    fitBigLabel();
}

} // namespace qz
