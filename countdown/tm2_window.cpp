#include "tm2_window.h"

#include "ui/click_label.h"
#include "ui/clock.h"
#include "ui/dialogs.h"
#include "ui/look.h"
#include "ui/platform.h"

#include <QActionGroup>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>

namespace qz {

namespace {

constexpr quint32 kStarRed = 0x0000FF;
constexpr int kBigPointSize = 120;
// "ﾒﾆｭｰへ" and "終了" stand at the right edge, narrow enough to leave the display frame room
// for both of its captions.
constexpr int kMenuButtonLeft = 6360;

QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top,
              int width, int height = 255) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    placeTwips(l, left, top, width, height);
    return l;
}

// A label that shows a value rather than a caption.
QLabel* valueLabel(QWidget* parent, const char* name, int left, int top, int width) {
    QLabel* l = label(parent, name, QString(), left, top, width, 285);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    setBackground(l, colors::white);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(true); // Enter on a focused button presses it
    placeTwips(b, left, top, width, height);
    return b;
}

QRadioButton* option(QWidget* parent, const char* name, const QString& caption, int left, int top,
                     int width) {
    auto* o = new QRadioButton(caption, parent);
    o->setObjectName(QLatin1String(name));
    placeTwips(o, left, top, width, 270);
    return o;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, int left, int top,
                 int width, int height) {
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(QLatin1String(name));
    placeTwips(f, left, top, width, height);
    return f;
}

ClickLabel* star(QWidget* parent, const char* name, quint32 colour, int left, int top) {
    auto* l = new ClickLabel(QStringLiteral("★"), parent);
    l->setObjectName(QLatin1String(name));
    l->setToolTip(QStringLiteral("ｸﾘｯｸすると音が出ます"));
    l->setCursor(Qt::PointingHandCursor);
    setForeground(l, colour);
    placeTwips(l, left, top, 270, 270);
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

TM2::TM2(AppContext& c) : QzWindow(c, WindowId::Countdown) {
    setObjectName(QStringLiteral("TM2"));
    setWindowTitle(QStringLiteral("カウントダウン："));
    m_player = ctx.platform.sounds->createPlayer();

    buildMenus();
    buildControls();

    // Form_Load: the check mark follows the duration in force; 0 shows as the shortest item.
    for (QAction* a : m_ringGroup->actions())
        a->setChecked(false);
    switch (ctx.state.countdownRingSeconds) {
    case 0:
    case 5:
        M111->setChecked(true);
        break;
    case 10:
        M112->setChecked(true);
        break;
    case 20:
        M113->setChecked(true);
        break;
    case 30:
        M114->setChecked(true);
        break;
    case 60:
        M115->setChecked(true);
        break;
    case 120:
        M116->setChecked(true);
        break;
    default:
        break;
    }

    Option1->setChecked(true);
    Option4->setChecked(true);
    Option4_Click();
}

TM2::~TM2() = default;

void TM2::buildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* m1 = bar->addMenu(QStringLiteral("設定(&S)"));
    m1->setObjectName(QStringLiteral("M1"));
    m1->menuAction()->setObjectName(QStringLiteral("M1"));
    QMenu* m11 = m1->addMenu(QStringLiteral("アラーム音が鳴り続ける時間を設定(&S)"));
    m11->setObjectName(QStringLiteral("M11"));
    m11->menuAction()->setObjectName(QStringLiteral("M11"));
    m_ringGroup = new QActionGroup(this);
    m_ringGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    auto item = [&](const char* name, const QString& text, void (TM2::*handler)()) {
        QAction* a = m11->addAction(text);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        m_ringGroup->addAction(a);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    M111 = item("M111", QStringLiteral("5秒間"), &TM2::M111_Click);
    M112 = item("M112", QStringLiteral("10秒間"), &TM2::M112_Click);
    M113 = item("M113", QStringLiteral("20秒間"), &TM2::M113_Click);
    M114 = item("M114", QStringLiteral("30秒間（既定）"), &TM2::M114_Click);
    M115 = item("M115", QStringLiteral("１分間"), &TM2::M115_Click);
    M116 = item("M116", QStringLiteral("２分間"), &TM2::M116_Click);

    QMenu* m2 = bar->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
    m2->setObjectName(QStringLiteral("M2"));
    m2->menuAction()->setObjectName(QStringLiteral("M2"));
    M21 = m2->addAction(QStringLiteral("QZ電卓(&D)"));
    M21->setObjectName(QStringLiteral("M21"));
    connect(M21, &QAction::triggered, this, &TM2::M21_Click);

    QMenu* m3 = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    m3->setObjectName(QStringLiteral("M3"));
    m3->menuAction()->setObjectName(QStringLiteral("M3"));
    M31 = m3->addAction(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    M31->setObjectName(QStringLiteral("M31"));
    connect(M31, &QAction::triggered, this, &TM2::M31_Click);
}

void TM2::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    Toolbar1 = addIndexedToolBar(
        this, {{calculatorIcon(), QStringLiteral("QZ電卓")}, {helpIcon(), QStringLiteral("ﾍﾙﾌﾟ")}},
        [this](int index) { Toolbar1_ButtonClick(index); });

    // Ring duration, beside the toolbar.
    Label18 = label(client, "Label18", QStringLiteral("ｱﾗｰﾑ音時間："), 4400, 90, 1300);
    Label18->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label19 = label(client, "Label19", QString(), 5750, 75, 1200, 285);
    Label19->setAlignment(Qt::AlignCenter);
    Label19->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setBackground(Label19, colors::paleYellow);

    // Duration entry.
    Label12 = label(client, "Label12", QStringLiteral("経過時間指定："), 120, 710, 1300);
    Label7 = label(client, "Label7", QStringLiteral("時"), 1400, 420, 650, 240);
    Label8 = label(client, "Label8", QStringLiteral("分"), 2300, 420, 650, 240);
    Label9 = label(client, "Label9", QStringLiteral("秒"), 3200, 420, 650, 240);
    for (QLabel* l : {Label7, Label8, Label9})
        l->setAlignment(Qt::AlignCenter);
    auto entry = [&](const char* name, int left) {
        auto* t = new QLineEdit(client);
        t->setObjectName(QLatin1String(name));
        t->setFont(fixedFont(10.5));
        t->setAlignment(Qt::AlignRight);
        placeTwips(t, left, 660, 650, 345);
        t->installEventFilter(this);
        return t;
    };
    Text1 = entry("Text1", 1400);
    Label5 = label(client, "Label5", QStringLiteral("："), 2050, 710, 250);
    Text2 = entry("Text2", 2300);
    Label6 = label(client, "Label6", QStringLiteral("："), 2950, 710, 250);
    Text3 = entry("Text3", 3200);
    Label13 = label(client, "Label13", QStringLiteral("→"), 3900, 710, 300);
    for (QLabel* l : {Label5, Label6, Label13})
        l->setAlignment(Qt::AlignCenter);

    Command1 = button(client, "Command1", QStringLiteral("スタート"), 4300, 600, 1000, 450);
    Command2 = button(client, "Command2", QStringLiteral("停止"), 5350, 600, 1000, 450);
    Command3 = button(client, "Command3", QStringLiteral("クリア"), 6400, 600, 960, 450);

    // Clock and time left.
    Label10 = label(client, "Label10", QStringLiteral("現在時間："), 120, 1190, 1400);
    Label4 = valueLabel(client, "Label4", 1550, 1160, 1350);
    Label11 = label(client, "Label11", QStringLiteral("本日："), 120, 1520, 1400);
    Label15 = valueLabel(client, "Label15", 1550, 1490, 1350);
    Label17 = label(client, "Label17", QStringLiteral("カウントダウン："), 120, 1870, 1400);
    Label16 = valueLabel(client, "Label16", 1550, 1820, 1350);
    placeTwips(Label16, 1550, 1820, 1350, 345);
    Label16->setFont(fixedFont(12, true));
    m_timeLeftFont = Label16->font();
    setForeground(Label16, 0x800000);
    for (QLabel* l : {Label10, Label11, Label17})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Shape1 = new LampShape(client);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    placeTwips(Shape1, 3080, 1370, 480, 480);

    Frame2 = frame(client, "Frame2", QStringLiteral("スタート時間"), 3700, 1100, 1780, 1050);
    Label14 = valueLabel(Frame2, "Label14", 120, 330, 1540);
    Label1 = valueLabel(Frame2, "Label1", 120, 680, 1540);
    Frame1 = frame(client, "Frame1", QStringLiteral("目的時間"), 5580, 1100, 1780, 1050);
    Label3 = valueLabel(Frame1, "Label3", 120, 330, 1540);
    Label2 = valueLabel(Frame1, "Label2", 120, 680, 1540);

    // Sound choice with a preview star beside each option.
    Frame3 = frame(client, "Frame3", QStringLiteral("音"), 120, 2250, 3450, 620);
    Option1 = option(Frame3, "Option1", QStringLiteral("Ring"), 120, 270, 700);
    Label20 = star(Frame3, "Label20", kStarRed, 800, 270);
    Option2 = option(Frame3, "Option2", QStringLiteral("Bell"), 1200, 270, 700);
    Label21 = star(Frame3, "Label21", colors::yellow, 1880, 270);
    Option3 = option(Frame3, "Option3", QStringLiteral("BEEP"), 2280, 270, 800);
    Label22 = star(Frame3, "Label22", colors::black, 3060, 270);

    Frame5 = frame(client, "Frame5", QStringLiteral("ｶｳﾝﾄﾀﾞｳﾝ表示"), 3650, 2250, 2400, 620);
    Option4 = option(Frame5, "Option4", QStringLiteral("通常表示"), 80, 270, 1020);
    Option5 = option(Frame5, "Option5", QStringLiteral("大きい表示"), 1110, 270, 1200);
    // The captions take what the font needs, so "通常表示" never runs into the second button;
    // the frame grows towards "ﾒﾆｭｰへ" when it must.
    Option4->resize(std::max(Option4->width(), Option4->sizeHint().width()), Option4->height());
    Option5->move(Option4->geometry().right() + twips(90), Option5->y());
    Option5->resize(std::max(Option5->width(), Option5->sizeHint().width()), Option5->height());
    Frame5->resize(std::min(std::max(Frame5->width(), Option5->geometry().right() + twips(80)),
                            twips(kMenuButtonLeft - 60 - 3650)),
                   Frame5->height());

    Command5 = button(client, "Command5", QStringLiteral("ﾒﾆｭｰへ"), kMenuButtonLeft, 2280,
                      7360 - kMenuButtonLeft, 300);
    Command4 = button(client, "Command4", QStringLiteral("終了"), kMenuButtonLeft, 2600,
                      7360 - kMenuButtonLeft, 300);

    // Big display of the time left.
    Picture1 = new QWidget(client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    setBackground(Picture1, colors::navy);
    placeTwips(Picture1, 120, 3000, 8580, 2580);
    Label23 = new QLabel(Picture1);
    Label23->setObjectName(QStringLiteral("Label23"));
    Label23->setAlignment(Qt::AlignCenter);
    Label23->setGeometry(QRect(QPoint(0, 0), Picture1->size()));
    setForeground(Label23, colors::yellow);
    Label23->setFont(uiFont(kBigPointSize));
    m_bigFont = Label23->font();
    Picture1->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kCountdownTimerMs);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(kCountdownTimerMs);

    connect(Command1, &QPushButton::clicked, this, &TM2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &TM2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &TM2::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &TM2::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &TM2::Command5_Click);
    connect(Timer1, &QTimer::timeout, this, &TM2::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &TM2::Timer2_Timer);
    auto onSelect = [this](QRadioButton* o, void (TM2::*handler)()) {
        connect(o, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on) (this->*handler)();
        });
    };
    onSelect(Option1, &TM2::Option1_Click);
    onSelect(Option2, &TM2::Option2_Click);
    onSelect(Option3, &TM2::Option3_Click);
    onSelect(Option4, &TM2::Option4_Click);
    onSelect(Option5, &TM2::Option5_Click);
    connect(Label20, &ClickLabel::clicked, this, &TM2::Label20_Click);
    connect(Label21, &ClickLabel::clicked, this, &TM2::Label21_Click);
    connect(Label22, &ClickLabel::clicked, this, &TM2::Label22_Click);

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
    setTabOrder(Text3, Command1);

    Timer1->start();
}

void TM2::formActivate() {
    Label23->setFont(uiFont(kBigPointSize));
    m_bigFont = Label23->font();
    Timer2->setInterval(0);
    Timer2->stop();
    m_cd.soundChoice = SoundRing;
    Option1->setChecked(true);
    Option4->setChecked(true);
    Option4_Click();
    showNowInSystemFormat();
    Label19->setText(QString::number(ctx.state.countdownRingSeconds) + QStringLiteral("秒間"));
    Text1->setFocus();
}

void TM2::showNowInSystemFormat() {
    const QDateTime now = ctx.platform.clock->now();
    Label4->setText(startTimeText(now.time()));
    Label15->setText(dateText(now.date()));
}

bool TM2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        (watched == Text1 || watched == Text2 || watched == Text3)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            int keyAscii = 13;
            if (watched == Text1)
                Text1_KeyPress(keyAscii);
            else if (watched == Text2)
                Text2_KeyPress(keyAscii);
            else
                Text3_KeyPress(keyAscii);
            if (keyAscii == 0) return true;
        }
    }
    return QzWindow::eventFilter(watched, event);
}

void TM2::Text1_KeyPress(int& keyAscii) {
    if (keyAscii == 13) {
        keyAscii = 0;
        Text2->setFocus();
    }
}

void TM2::Text2_KeyPress(int& keyAscii) {
    if (keyAscii == 13) {
        keyAscii = 0;
        Text3->setFocus();
    }
}

void TM2::Text3_KeyPress(int& keyAscii) {
    if (keyAscii == 13) {
        keyAscii = 0;
        Command1->setFocus();
    }
}

void TM2::apply(const CountdownOutputs& out) {
    if (out.currentTime) Label4->setText(*out.currentTime);
    if (out.currentDate) Label15->setText(*out.currentDate);
    if (out.timeLeft) showTimeLeft(*out.timeLeft);
    if (out.startTime) Label1->setText(*out.startTime);
    if (out.startDate) Label14->setText(*out.startDate);
    if (out.targetTime) Label2->setText(*out.targetTime);
    if (out.targetDate) Label3->setText(*out.targetDate);
    if (out.lamp) Shape1->setFillColor(*out.lamp);

    switch (out.sound.kind) {
    case SoundRequest::Wave:
        m_player->playWave(ctx.state.programFile(out.sound.fileName));
        break;
    case SoundRequest::Beep:
        m_player->beep();
        break;
    case SoundRequest::None:
        break;
    }

    switch (out.ringTimer) {
    case RingTimerRequest::Start:
        if (!Timer2->isActive()) {
            Timer2->setInterval(kCountdownTimerMs);
            Timer2->start();
        }
        break;
    case RingTimerRequest::Stop:
        Timer2->setInterval(0);
        Timer2->stop();
        break;
    case RingTimerRequest::Keep:
        break;
    }
    if (out.raiseWindow) ctx.platform.windows->restoreAndRaise(this);

    if (out.resetEntries) {
        Option1->setChecked(true);
        Text1->clear();
        Text2->clear();
        Text3->clear();
        Text1->setFocus();
    }
}

void TM2::showTimeLeft(const QString& text) {
    Label16->setText(text);
    Label23->setText(text);
    fitBigLabel();
}

namespace {
// Keeps the label's font size; a text wider than `room` is drawn condensed instead of being
// cut off, and when even the narrowest letters do not fit the size gives way too.
void condenseToFit(QLabel* label, QFont f, int room) {
    f.setStretch(QFont::Unstretched);
    const int needed = QFontMetrics(f).horizontalAdvance(label->text());
    if (needed > room && room > 0) {
        const int stretch = 100 * room / needed;
        f.setStretch(std::max(25, stretch));
        if (stretch < 25 && f.pointSizeF() > 0)
            f.setPointSizeF(std::max(4.0, f.pointSizeF() * stretch / 25.0));
    }
    if (label->font() != f) label->setFont(f);
}
} // namespace

void TM2::fitBigLabel() {
    condenseToFit(Label16, m_timeLeftFont, Label16->contentsRect().width() - twips(60));
    condenseToFit(Label23, m_bigFont, Picture1->width() - twips(120));
}

void TM2::Command1_Click() {
    apply(startCountdown(m_cd, Text1->text(), Text2->text(), Text3->text(),
                         ctx.platform.clock->now()));
    if (!Timer1->isActive()) Timer1->start();
}

void TM2::Command2_Click() {
    apply(stopRinging(m_cd));
}

void TM2::Command3_Click() {
    apply(clearCountdown(m_cd));
}

void TM2::Command4_Click() {
    ctx.windows.exitProgram(this);
}

void TM2::Command5_Click() {
    resetCountdown(m_cd);
    ctx.windows.switchTo(WindowId::Menu, this);
}

void TM2::Timer1_Timer() {
    apply(clockTick(m_cd, ctx.platform.clock->now()));
}

void TM2::Timer2_Timer() {
    apply(ringTick(m_cd, ctx.platform.clock->now(), ctx.state.countdownRingSeconds));
}

void TM2::Option1_Click() {
    m_cd.soundChoice = SoundRing;
}
void TM2::Option2_Click() {
    m_cd.soundChoice = SoundBell;
}
void TM2::Option3_Click() {
    m_cd.soundChoice = SoundBeep;
}

void TM2::Option4_Click() {
    setWindowSizeTwips(this, 7600, 3915);
    Picture1->hide();
}

void TM2::Option5_Click() {
    setWindowSizeTwips(this, 8940, 6450);
    Picture1->show();
    fitBigLabel();
}

void TM2::Label20_Click() {
    m_player->playWave(ctx.state.programFile(QLatin1String(kRingWave)));
}
void TM2::Label21_Click() {
    m_player->playWave(ctx.state.programFile(QLatin1String(kBellWave)));
}
void TM2::Label22_Click() {
    m_player->beep();
}

void TM2::chooseRingSeconds(QAction* item, int seconds, const QString& text) {
    ctx.state.countdownRingSeconds = seconds;
    for (QAction* a : m_ringGroup->actions())
        a->setChecked(a == item);
    Label19->setText(text);
    // The choice stays in force for this run even when it cannot be kept for the next one.
    saveRingSpans();
}

void TM2::M111_Click() {
    chooseRingSeconds(M111, 5, QStringLiteral("5秒間"));
}
void TM2::M112_Click() {
    chooseRingSeconds(M112, 10, QStringLiteral("10秒間"));
}
void TM2::M113_Click() {
    chooseRingSeconds(M113, 20, QStringLiteral("20秒間"));
}
void TM2::M114_Click() {
    chooseRingSeconds(M114, 30, QStringLiteral("30秒間"));
}
void TM2::M115_Click() {
    chooseRingSeconds(M115, 60, QStringLiteral("１分間"));
}
void TM2::M116_Click() {
    chooseRingSeconds(M116, 120, QStringLiteral("２分間"));
}

void TM2::M21_Click() {
    ctx.windows.startCalculator(this);
}
void TM2::M31_Click() {
    ctx.windows.openHelp(this);
}

void TM2::Toolbar1_ButtonClick(int index) {
    if (index == 1)
        M21_Click();
    else if (index == 2)
        M31_Click();
}

} // namespace qz
