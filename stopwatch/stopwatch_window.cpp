// SPDX-License-Identifier: MIT
#include "stopwatch_window.h"

#include "ui/clock.h"
#include "ui/clock_ticker.h"
#include "ui/look.h"

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

    const Qt::Alignment caption = Qt::AlignRight | Qt::AlignTop;
    m_clockCaption =
        addLabel(client, "Label3", {960, 165, 855, 375}, QStringLiteral("時刻："), caption);
    m_clockLabel = addLabel(client, "Label1", {1800, 120, 1695, 375});
    m_elapsedCaption = addLabel(client, "Label4", {0, 780, 1815, 375},
                                QStringLiteral("ストップウォッチ："), caption);
    m_elapsedLabel = addLabel(client, "Label2", {1800, 720, 1695, 375});
    for (QLabel* l : {m_clockLabel, m_elapsedLabel}) {
        l->setFont(uiFont(12, true));
        l->setIndent(4);
        setBackground(l, colors::white);
    }

    m_viewFrame = addControl<QGroupBox>(client, "Frame2", {1800, 1200, 1695, 735},
                                        QStringLiteral("時間表示"));
    m_normalViewOption = addControl<QRadioButton>(m_viewFrame, "Option1", {120, 200, 1335, 255},
                                                  QStringLiteral("通常表示"));
    m_bigViewOption = addControl<QRadioButton>(m_viewFrame, "Option2", {120, 440, 1335, 255},
                                               QStringLiteral("大きい表示"));
    // The buttons start below the frame's caption and border, whatever the font's height.
    m_viewFrame->ensurePolished();
    const int firstTop = std::max(m_normalViewOption->y(), m_viewFrame->contentsRect().top());
    m_normalViewOption->move(m_normalViewOption->x(), firstTop);
    m_bigViewOption->move(
        m_bigViewOption->x(),
        std::max(m_bigViewOption->y(), m_normalViewOption->geometry().bottom() + 1));
    m_viewFrame->resize(
        m_viewFrame->width(),
        std::max(m_viewFrame->height(), m_bigViewOption->geometry().bottom() + twips(60)));
    // A taller frame rises rather than reach the buttons' row below it.
    constexpr int kButtonsTop = 2040;
    m_viewFrame->move(m_viewFrame->x(),
                      std::min(m_viewFrame->y(), twips(kButtonsTop - 45) - m_viewFrame->height()));
    connect(m_normalViewOption, &QRadioButton::toggled, this, [this](bool on) {
        if (on) showNormalView();
    });
    connect(m_bigViewOption, &QRadioButton::toggled, this, [this](bool on) {
        if (on) showBigView();
    });

    auto button = [&](const char* name, const QString& text, int left, int top,
                      void (StopwatchWindow::*handler)()) {
        auto* b = addControl<QPushButton>(client, name, {left, top, 975, 375}, text);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    m_startButton =
        button("Command1", QStringLiteral("スタート"), 360, 2040, &StopwatchWindow::onStartClicked);
    m_pauseButton = button("Command2", QStringLiteral("一時停止"), 1440, 2040,
                           &StopwatchWindow::onPauseClicked);
    m_continueButton =
        button("Command5", QStringLiteral("CONT"), 2520, 2040, &StopwatchWindow::onContinueClicked);
    m_clearButton =
        button("Command3", QStringLiteral("クリア"), 360, 2520, &StopwatchWindow::onClearClicked);
    m_menuButton =
        button("Command6", QStringLiteral("ﾒﾆｭｰへ"), 1440, 2520, &StopwatchWindow::onMenuClicked);
    m_exitButton =
        button("Command4", QStringLiteral("終了"), 2520, 2520, &StopwatchWindow::onExitClicked);

    m_bigPanel = addControl<QWidget>(client, "Picture1", {3600, 120, 8620, 2440});
    setBackground(m_bigPanel, colors::black);
    m_bigElapsedLabel = addLabel(m_bigPanel, "Label5", {0, 0, 8620, 2440}, {}, Qt::AlignCenter,
                                 uiFont(kBigPointSize));
    fitBigDisplay();
    setForeground(m_bigElapsedLabel, colors::yellow);
    m_bigPanel->hide();

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
    m_normalViewOption->setChecked(true);
    showNormalView();
    fitBigDisplay();
    // Opened to be started: Enter does that, as after "クリア".
    m_startButton->setFocus();
}

// 120 points, unless this machine's face would not fit a whole reading into the panel.
void StopwatchWindow::fitBigDisplay() {
    QFont f = m_bigElapsedLabel->font();
    f.setPointSizeF(kBigPointSize);
    const QFontMetricsF m(f);
    const QSizeF room = QSizeF(m_bigPanel->size()) * 0.98;
    const double scale = std::min(
        {1.0, room.width() / m.horizontalAdvance(kWidestReading), room.height() / m.height()});
    if (scale < 1.0) f.setPointSizeF(std::floor(kBigPointSize * scale));
    m_bigElapsedLabel->setFont(f);
}

void StopwatchWindow::onClockTick() {
    m_clockLabel->setText(timeText(now().time()));
}

void StopwatchWindow::onRunTick() {
    showElapsed();
}

void StopwatchWindow::showElapsed() {
    const QString text = m_watch.displayText(now());
    m_elapsedLabel->setText(text);
    m_bigElapsedLabel->setText(text);
}

void StopwatchWindow::onStartClicked() {
    m_watch.start(now());
    m_runTicker->setEnabled(true);
    showElapsed();
    m_pauseButton->setFocus();
}

void StopwatchWindow::onPauseClicked() {
    if (!m_watch.pause(now())) return;
    m_runTicker->setEnabled(false);
    // Freeze the display at the banked time, even if no tick came since the last second.
    showElapsed();
    m_continueButton->setFocus();
}

void StopwatchWindow::onContinueClicked() {
    if (!m_watch.cont(now())) return;
    m_runTicker->setEnabled(true);
    showElapsed();
    m_pauseButton->setFocus();
}

void StopwatchWindow::onClearClicked() {
    m_watch.clear();
    m_runTicker->setEnabled(false);
    showElapsed(); // empty while idle
    m_startButton->setFocus();
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
    m_bigPanel->hide();
    setWindowSizeTwips(this, kNormalWidth, kHeight);
}

void StopwatchWindow::showBigView() {
    m_bigPanel->show();
    setWindowSizeTwips(this, kBigWidth, kHeight);
}

} // namespace qz
