#include "menu_window.h"

#include "app/settings_location.h"

#include "about/ver_window.h"
#include "ui/click_label.h"
#include "ui/clock.h"
#include "ui/look.h"

#include <QMenuBar>

namespace qz {

static constexpr quint32 kLightBlue = 0x00FF8080;

static QLabel* whiteLabel(QWidget* parent, const char* name, double pt, bool bold) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAlignment(Qt::AlignCenter);
    l->setFont(uiFont(pt, bold));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    setBackground(l, colors::white);
    return l;
}

MENU::MENU(AppContext& c) : QzWindow(c, WindowId::Menu) {
    setObjectName(QStringLiteral("MENU"));
    setWindowTitle(QStringLiteral("ＱＺタイマー"));
    auto* client = new QWidget(this);
    setCentralWidget(client);

    addIndexedToolBar(
        this, {{calculatorIcon(), QStringLiteral("QZ電卓")}, {helpIcon(), QStringLiteral("ﾍﾙﾌﾟ")}},
        [this](int i) { Toolbar1_ButtonClick(i); });

    Frame2 = new QGroupBox(QStringLiteral("現在時間"), client);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    QFont frameFont = uiFont(9, true);
    Frame2->setFont(frameFont);
    setBackground(Frame2, kLightBlue);
    placeTwips(Frame2, 120, 420, 5040, 1260);
    Label2 = whiteLabel(Frame2, "Label2", 11.25, true);
    placeTwips(Label2, 150, 330, 2760, 375);
    Label3 = whiteLabel(Frame2, "Label3", 11.25, false);
    placeTwips(Label3, 3000, 330, 1890, 375);
    Label1 = whiteLabel(Frame2, "Label1", 11.25, true);
    placeTwips(Label1, 150, 780, 4740, 375);

    Image1 = new ClickLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    placeTwips(Image1, 180, 1950, 1680, 1680);
    Image1->setPixmap(launcherPicture(Image1->size()));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setToolTip(QStringLiteral("大きい表示"));
    connect(Image1, &ClickLabel::clicked, this, [this] { Image1_Click(); });

    Frame1 = new QGroupBox(client);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    setBackground(Frame1, kLightBlue);
    placeTwips(Frame1, 2040, 1800, 3120, 2700);
    struct Tool {
        QPushButton** button;
        const char* name;
        const char16_t* caption;
        void (MENU::*click)();
    };
    const Tool tools[] = {
        {&Command2, "Command2", u"お知らせアラーム", &MENU::Command2_Click},
        {&Command3, "Command3", u"カウントダウン", &MENU::Command3_Click},
        {&Command1, "Command1", u"ストップウォッチ", &MENU::Command1_Click},
        {&Command4, "Command4", u"時間加算計算", &MENU::Command4_Click},
        {&Command5, "Command5", u"時間経過計算", &MENU::Command5_Click},
    };
    int top = 180;
    for (const Tool& t : tools) {
        auto* b = new QPushButton(QString::fromUtf16(t.caption), Frame1);
        b->setObjectName(QString::fromLatin1(t.name));
        placeTwips(b, 180, top, 2760, 420);
        connect(b, &QPushButton::clicked, this, t.click);
        *t.button = b;
        top += 500;
    }

    Command9 = new QPushButton(QStringLiteral("終了"), client);
    Command9->setObjectName(QStringLiteral("Command9"));
    placeTwips(Command9, 3720, 4620, 1440, 420);
    connect(Command9, &QPushButton::clicked, this, &MENU::Command9_Click);

    QMenu* m1 = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    m1->setObjectName(QStringLiteral("M1"));
    QAction* m12 = m1->addAction(QStringLiteral("大きい表示(&Z)"), this, &MENU::Image1_Click);
    m12->setObjectName(QStringLiteral("M12"));
    QAction* m11 = m1->addAction(QStringLiteral("終了(&E)"), this, &MENU::Command9_Click);
    m11->setObjectName(QStringLiteral("M11"));
    QMenu* m2 = menuBar()->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
    m2->setObjectName(QStringLiteral("M2"));
    m2->addAction(QStringLiteral("QZ電卓(&D)"), this, [this] {
          Toolbar1_ButtonClick(1);
      })->setObjectName(QStringLiteral("M21"));
    QMenu* m3 = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    m3->setObjectName(QStringLiteral("M3"));
    m3->addAction(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this, [this] {
          Toolbar1_ButtonClick(2);
      })->setObjectName(QStringLiteral("M31"));
    m3->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&V)"), this, &MENU::M32_Click)
        ->setObjectName(QStringLiteral("M32"));

    showVersionBox = [this](QWidget* owner) {
        VER box(owner, settingsPlaceText(state().settingsFolder(), state().settingsInMemoryOnly()));
        box.exec();
    };

    // Load step: everything enabled, the height that ends just below "終了".
    for (QPushButton* b : {Command1, Command2, Command3, Command4, Command5, Command9})
        b->setEnabled(true);
    Frame1->setEnabled(true);
    setWindowSizeTwips(this, 5400, 6100);

    Timer1 = new ClockTicker(*platform().clock, QStringLiteral("Timer1"), this);
    connect(Timer1, &ClockTicker::timeout, this, &MENU::Timer1_Timer);
    Timer1_Timer();
    Timer1->setEnabled(true);
}

void MENU::formActivate() {
    state().loadSpans();
}

void MENU::Timer1_Timer() {
    const QDateTime now = platform().clock->now();
    Label1->setText(timeText(now.time()));
    Label2->setText(dateText(now.date()));
    Label3->setText(weekdayName(now.date()));
}

void MENU::Toolbar1_ButtonClick(int index) {
    if (index == 1)
        ctx.windows.startCalculator(this);
    else if (index == 2)
        ctx.windows.openHelp(this);
}

void MENU::M32_Click() {
    showVersionBox(this);
    // Getting the focus back from the version box makes the launcher active again.
    formActivate();
}

ShellWindow::ShellWindow(AppContext& c, WindowId id, const QString& name, const QString& caption)
    : QzWindow(c, id) {
    setObjectName(name);
    setWindowTitle(caption);
    auto* client = new QWidget(this);
    setCentralWidget(client);
    auto* note = new QLabel(QStringLiteral("「%1」は準備中です。").arg(caption), client);
    note->setObjectName(QStringLiteral("Label1"));
    note->setAlignment(Qt::AlignCenter);
    note->setFont(uiFont(11.25, true));
    placeTwips(note, 120, 360, 4800, 600);
    auto* back = new QPushButton(QStringLiteral("ﾒﾆｭｰへ"), client);
    back->setObjectName(QStringLiteral("Command2"));
    placeTwips(back, 1080, 1200, 1440, 420);
    connect(back, &QPushButton::clicked, this,
            [this] { ctx.windows.switchTo(WindowId::Menu, this); });
    auto* quit = new QPushButton(QStringLiteral("終了"), client);
    quit->setObjectName(QStringLiteral("Command1"));
    placeTwips(quit, 2640, 1200, 1440, 420);
    connect(quit, &QPushButton::clicked, this, [this] { ctx.windows.exitProgram(this); });
    setWindowSizeTwips(this, 5160, 2400);
}

} // namespace qz
