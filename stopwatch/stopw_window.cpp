#include "stopw_window.h"

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
constexpr quint32 kLightGreen = 0x80FF80;
constexpr double kBigPointSize = 120;
const QString kWidestReading = QStringLiteral("00:00:00");

// Only the window colour: the look helper's button and text-field colours would be inherited by
// every child and tint the buttons too.
void paintClientArea(QWidget* w, quint32 bbggrr) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, vbColor(bbggrr));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}
} // namespace

STOPW::STOPW(AppContext& ctx) : QzWindow(ctx, WindowId::Stopwatch) {
    setWindowTitle(QStringLiteral("ストップウォッチ"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    paintClientArea(client, kLightGreen);

    Toolbar1 = addIndexedToolBar(
        this, {{calculatorIcon(), QStringLiteral("QZ電卓")}, {helpIcon(), QStringLiteral("ﾍﾙﾌﾟ")}},
        [this](int i) { Toolbar1_ButtonClick(i); });
    // Both buttons inside the 720-twip frame, without the overflow arrow.
    Toolbar1->layout()->setSpacing(0);
    Toolbar1->layout()->setContentsMargins(0, 0, 0, 0);
    placeTwips(Toolbar1, 0, 0, 720, 390);

    auto label = [&](const char* name, const QString& text, Qt::Alignment align) {
        auto* l = new QLabel(text, client);
        l->setObjectName(QLatin1String(name));
        l->setAlignment(align);
        return l;
    };
    const Qt::Alignment caption = Qt::AlignRight | Qt::AlignTop;
    const Qt::Alignment value = Qt::AlignLeft | Qt::AlignVCenter;
    Label3 = label("Label3", QStringLiteral("時刻："), caption);
    placeTwips(Label3, 960, 165, 855, 375);
    Label1 = label("Label1", QString(), value);
    placeTwips(Label1, 1800, 120, 1695, 375);
    Label4 = label("Label4", QStringLiteral("ストップウォッチ："), caption);
    placeTwips(Label4, 0, 780, 1815, 375);
    Label2 = label("Label2", QString(), value);
    placeTwips(Label2, 1800, 720, 1695, 375);
    for (QLabel* l : {Label1, Label2}) {
        l->setFont(uiFont(12, true));
        l->setIndent(4);
        setBackground(l, colors::white);
    }

    Frame2 = new QGroupBox(QStringLiteral("時間表示"), client);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    placeTwips(Frame2, 1800, 1200, 1695, 735);
    Option1 = new QRadioButton(QStringLiteral("通常表示"), Frame2);
    Option1->setObjectName(QStringLiteral("Option1"));
    placeTwips(Option1, 120, 200, 1335, 255);
    Option2 = new QRadioButton(QStringLiteral("大きい表示"), Frame2);
    Option2->setObjectName(QStringLiteral("Option2"));
    placeTwips(Option2, 120, 440, 1335, 255);
    // The buttons start below the frame's caption and border, whatever the font's height.
    Frame2->ensurePolished();
    const int firstTop = std::max(Option1->y(), Frame2->contentsRect().top());
    Option1->move(Option1->x(), firstTop);
    Option2->move(Option2->x(), std::max(Option2->y(), Option1->geometry().bottom() + 1));
    Frame2->resize(Frame2->width(),
                   std::max(Frame2->height(), Option2->geometry().bottom() + twips(60)));
    // A taller frame rises rather than reach the buttons' row below it.
    constexpr int kButtonsTop = 2040;
    Frame2->move(Frame2->x(), std::min(Frame2->y(), twips(kButtonsTop - 45) - Frame2->height()));
    connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option1_Click();
    });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option2_Click();
    });

    auto button = [&](const char* name, const QString& text, int left, int top,
                      void (STOPW::*handler)()) {
        auto* b = new QPushButton(text, client);
        b->setObjectName(QLatin1String(name));
        placeTwips(b, left, top, 975, 375);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    Command1 = button("Command1", QStringLiteral("スタート"), 360, 2040, &STOPW::Command1_Click);
    Command2 = button("Command2", QStringLiteral("一時停止"), 1440, 2040, &STOPW::Command2_Click);
    Command5 = button("Command5", QStringLiteral("CONT"), 2520, 2040, &STOPW::Command5_Click);
    Command3 = button("Command3", QStringLiteral("クリア"), 360, 2520, &STOPW::Command3_Click);
    Command6 = button("Command6", QStringLiteral("ﾒﾆｭｰへ"), 1440, 2520, &STOPW::Command6_Click);
    Command4 = button("Command4", QStringLiteral("終了"), 2520, 2520, &STOPW::Command4_Click);

    Picture1 = new QWidget(client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    placeTwips(Picture1, 3600, 120, 8620, 2440);
    setBackground(Picture1, colors::black);
    Label5 = new QLabel(Picture1);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setGeometry(Picture1->rect());
    Label5->setAlignment(Qt::AlignCenter);
    Label5->setFont(uiFont(kBigPointSize));
    fitBigDisplay();
    setForeground(Label5, colors::yellow);
    Picture1->hide();

    Timer1 = new ClockTicker(*platform().clock, QStringLiteral("Timer1"), this);
    connect(Timer1, &ClockTicker::timeout, this, &STOPW::Timer1_Timer);
    Timer2 = new ClockTicker(*platform().clock, QStringLiteral("Timer2"), this);
    connect(Timer2, &ClockTicker::timeout, this, &STOPW::Timer2_Timer);

    setWindowSizeTwips(this, kNormalWidth, kHeight);
    Timer1->setEnabled(true);
}

QDateTime STOPW::now() const {
    return ctx.platform.clock->now();
}

void STOPW::formActivate() {
    Option1->setChecked(true);
    Option1_Click();
    fitBigDisplay();
}

// 120 points, unless this machine's face would not fit a whole reading into the panel.
void STOPW::fitBigDisplay() {
    QFont f = Label5->font();
    f.setPointSizeF(kBigPointSize);
    const QFontMetricsF m(f);
    const QSizeF room = QSizeF(Picture1->size()) * 0.98;
    const double scale = std::min(
        {1.0, room.width() / m.horizontalAdvance(kWidestReading), room.height() / m.height()});
    if (scale < 1.0) f.setPointSizeF(std::floor(kBigPointSize * scale));
    Label5->setFont(f);
}

void STOPW::Timer1_Timer() {
    Label1->setText(timeText(now().time()));
}

void STOPW::Timer2_Timer() {
    showElapsed();
}

void STOPW::showElapsed() {
    const QString text = m_watch.displayText(now());
    Label2->setText(text);
    Label5->setText(text);
}

void STOPW::Command1_Click() {
    m_watch.start(now());
    Timer2->setEnabled(true);
    showElapsed();
    Command2->setFocus();
}

void STOPW::Command2_Click() {
    if (!m_watch.pause(now())) return;
    Timer2->setEnabled(false);
    // Freeze the display at the banked time, even if no tick came since the last second.
    showElapsed();
    Command5->setFocus();
}

void STOPW::Command5_Click() {
    if (!m_watch.cont(now())) return;
    Timer2->setEnabled(true);
    showElapsed();
    Command2->setFocus();
}

void STOPW::Command3_Click() {
    m_watch.clear();
    Timer2->setEnabled(false);
    showElapsed(); // empty while idle
    Command1->setFocus();
}

void STOPW::Command6_Click() {
    Timer2->setEnabled(false);
    m_watch.clear();
    ctx.windows.switchTo(WindowId::Menu, this);
}

void STOPW::Command4_Click() {
    ctx.windows.exitProgram(this);
}

void STOPW::Option1_Click() {
    Picture1->hide();
    setWindowSizeTwips(this, kNormalWidth, kHeight);
}

void STOPW::Option2_Click() {
    Picture1->show();
    setWindowSizeTwips(this, kBigWidth, kHeight);
}

void STOPW::Toolbar1_ButtonClick(int index) {
    if (index == 1)
        ctx.windows.startCalculator(this);
    else if (index == 2)
        ctx.windows.openHelp(this);
}

} // namespace qz
