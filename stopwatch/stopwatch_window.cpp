// SPDX-License-Identifier: MIT
#include "stopwatch_window.h"

#include "look/look.h"
#include "ui/clock.h"
#include "ui/clock_ticker.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <algorithm>
#include <cmath>

namespace qz {

namespace {
constexpr int kNormalWidth = 3700;
constexpr int kBigWidth = 12400;
// Room for the lower row of buttons (they end at 2895) and a margin, plus the caption.
constexpr int kHeight = 3480;
constexpr double kBigPointSize = 120;
const QString kWidestReading = QStringLiteral("00:00:00");

using K = ControlKind;
using W = StopwatchWindow;
constexpr Qt::Alignment kCaptionAlign = Qt::AlignRight | Qt::AlignTop;
constexpr int kButtonsTop = 2040;

// The window's controls, in twips.
constexpr ControlDecl kControls[] = {
    {.role = W::ClockCaption,
     .name = "Label3",
     .kind = K::Label,
     .at = {960, 165, 855, 375},
     .caption = u"時刻：",
     .align = kCaptionAlign},
    {.role = W::Clock,
     .name = "Label1",
     .kind = K::Label,
     .at = {1800, 120, 1695, 375},
     .points = 12,
     .bold = true,
     .indent = 4,
     .ground = colors::white},
    {.role = W::ElapsedCaption,
     .name = "Label4",
     .kind = K::Label,
     .at = {0, 780, 1815, 375},
     .caption = u"ストップウォッチ：",
     .align = kCaptionAlign},
    {.role = W::Elapsed,
     .name = "Label2",
     .kind = K::Label,
     .at = {1800, 720, 1695, 375},
     .points = 12,
     .bold = true,
     .indent = 4,
     .ground = colors::white},
    {.role = W::ViewFrame,
     .name = "Frame2",
     .kind = K::GroupBox,
     .at = {1800, 1200, 1695, 735},
     .caption = u"時間表示"},
    {.role = W::NormalView,
     .name = "Option1",
     .kind = K::Option,
     .at = {120, 200, 1335, 255},
     .caption = u"通常表示",
     .within = W::ViewFrame},
    {.role = W::BigView,
     .name = "Option2",
     .kind = K::Option,
     .at = {120, 440, 1335, 255},
     .caption = u"大きい表示",
     .within = W::ViewFrame},
    {.role = W::Start,
     .name = "Command1",
     .kind = K::Button,
     .at = {360, kButtonsTop, 975, 375},
     .caption = u"スタート"},
    {.role = W::Pause,
     .name = "Command2",
     .kind = K::Button,
     .at = {1440, kButtonsTop, 975, 375},
     .caption = u"一時停止"},
    {.role = W::Continue,
     .name = "Command5",
     .kind = K::Button,
     .at = {2520, kButtonsTop, 975, 375},
     .caption = u"CONT"},
    {.role = W::Clear,
     .name = "Command3",
     .kind = K::Button,
     .at = {360, 2520, 975, 375},
     .caption = u"クリア"},
    {.role = W::Menu,
     .name = "Command6",
     .kind = K::Button,
     .at = {1440, 2520, 975, 375},
     .caption = u"ﾒﾆｭｰへ"},
    {.role = W::Exit,
     .name = "Command4",
     .kind = K::Button,
     .at = {2520, 2520, 975, 375},
     .caption = u"終了"},
    {.role = W::BigPanel,
     .name = "Picture1",
     .kind = K::Panel,
     .at = {3600, 120, 8620, 2440},
     .ground = colors::black},
    {.role = W::BigElapsed,
     .name = "Label5",
     .kind = K::Label,
     .at = {0, 0, 8620, 2440},
     .within = W::BigPanel,
     .align = Qt::AlignCenter,
     .points = kBigPointSize,
     .ink = colors::yellow},
};
} // namespace

StopwatchWindow::StopwatchWindow(AppContext& c) : QzWindow(c, WindowId::Stopwatch) {
    setWindowTitle(QStringLiteral("ストップウォッチ"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    setWindowBackground(client, colors::lightGreen);

    m_toolbar = addImageToolBar(
        this,
        {{calculatorIcon(), QStringLiteral("QZ電卓"), [this] { windows().startCalculator(this); }},
         {helpIcon(), QStringLiteral("ﾍﾙﾌﾟ"), [this] { windows().openHelp(this); }}});
    // Both buttons inside the 720-twip frame, without the overflow arrow.
    m_toolbar->layout()->setSpacing(0);
    m_toolbar->layout()->setContentsMargins(0, 0, 0, 0);
    placeTwips(m_toolbar, {0, 0, 720, 390});

    buildControls(client, kControls, m_controls);

    // The buttons start below the frame's caption and border, whatever the font's height.
    QGroupBox* frame = viewFrame();
    QRadioButton* normal = normalViewOption();
    QRadioButton* big = bigViewOption();
    frame->ensurePolished();
    const int firstTop = std::max(normal->y(), frame->contentsRect().top());
    normal->move(normal->x(), firstTop);
    big->move(big->x(), std::max(big->y(), normal->geometry().bottom() + 1));
    frame->resize(frame->width(), std::max(frame->height(), big->geometry().bottom() + twips(60)));
    // A taller frame rises rather than reach the buttons' row below it.
    frame->move(frame->x(), std::min(frame->y(), twips(kButtonsTop - 45) - frame->height()));
    connect(normal, &QRadioButton::toggled, this, [this](bool on) {
        if (on) showNormalView();
    });
    connect(big, &QRadioButton::toggled, this, [this](bool on) {
        if (on) showBigView();
    });
    connect(startButton(), &QPushButton::clicked, this, &StopwatchWindow::onStartClicked);
    connect(pauseButton(), &QPushButton::clicked, this, &StopwatchWindow::onPauseClicked);
    connect(continueButton(), &QPushButton::clicked, this, &StopwatchWindow::onContinueClicked);
    connect(clearButton(), &QPushButton::clicked, this, &StopwatchWindow::onClearClicked);
    connect(menuButton(), &QPushButton::clicked, this, &StopwatchWindow::onMenuClicked);
    connect(exitButton(), &QPushButton::clicked, this, &StopwatchWindow::onExitClicked);

    fitBigDisplay();
    bigPanel()->hide();

    m_clockTicker = new ClockTicker(*platform().clock, QStringLiteral("Timer1"), this);
    connect(m_clockTicker, &ClockTicker::timeout, this, &StopwatchWindow::onClockTick);
    m_runTicker = new ClockTicker(*platform().clock, QStringLiteral("Timer2"), this);
    connect(m_runTicker, &ClockTicker::timeout, this, &StopwatchWindow::onRunTick);

    setWindowSizeTwips(this, kNormalWidth, kHeight);
    m_clockTicker->setEnabled(true);
}

QDateTime StopwatchWindow::now() const {
    return platform().clock->now();
}

void StopwatchWindow::onActivated() {
    normalViewOption()->setChecked(true);
    showNormalView();
    fitBigDisplay();
    // Opened to be started: Enter does that, as after "クリア".
    startButton()->setFocus();
}

// 120 points, unless this machine's face would not fit a whole reading into the panel.
void StopwatchWindow::fitBigDisplay() {
    QFont f = bigElapsedLabel()->font();
    f.setPointSizeF(kBigPointSize);
    const QFontMetricsF m(f);
    const QSizeF room = QSizeF(bigPanel()->size()) * 0.98;
    const double scale = std::min(
        {1.0, room.width() / m.horizontalAdvance(kWidestReading), room.height() / m.height()});
    if (scale < 1.0) f.setPointSizeF(std::floor(kBigPointSize * scale));
    bigElapsedLabel()->setFont(f);
}

void StopwatchWindow::onClockTick() {
    clockLabel()->setText(timeText(now().time()));
}

void StopwatchWindow::onRunTick() {
    showElapsed();
}

void StopwatchWindow::showElapsed() {
    const QString text = m_watch.displayText(now());
    elapsedLabel()->setText(text);
    bigElapsedLabel()->setText(text);
}

void StopwatchWindow::onStartClicked() {
    m_watch.start(now());
    m_runTicker->setEnabled(true);
    showElapsed();
    pauseButton()->setFocus();
}

void StopwatchWindow::onPauseClicked() {
    if (!m_watch.pause(now())) return;
    m_runTicker->setEnabled(false);
    // Freeze the display at the banked time, even if no tick came since the last second.
    showElapsed();
    continueButton()->setFocus();
}

void StopwatchWindow::onContinueClicked() {
    if (!m_watch.cont(now())) return;
    m_runTicker->setEnabled(true);
    showElapsed();
    pauseButton()->setFocus();
}

void StopwatchWindow::onClearClicked() {
    m_watch.clear();
    m_runTicker->setEnabled(false);
    showElapsed(); // empty while idle
    startButton()->setFocus();
}

void StopwatchWindow::onMenuClicked() {
    m_runTicker->setEnabled(false);
    m_watch.clear();
    windows().switchTo(WindowId::Launcher, this);
}

void StopwatchWindow::onExitClicked() {
    windows().exitProgram(this);
}

void StopwatchWindow::showNormalView() {
    bigPanel()->hide();
    setWindowSizeTwips(this, kNormalWidth, kHeight);
}

void StopwatchWindow::showBigView() {
    bigPanel()->show();
    setWindowSizeTwips(this, kBigWidth, kHeight);
}

} // namespace qz
