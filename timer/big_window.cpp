#include "big_window.h"

#include "ui/clock.h"
#include "ui/look.h"

namespace qz {

BIG::BIG(AppContext& c) : QzWindow(c, WindowId::BigClock) {
    setObjectName(QStringLiteral("BIG"));
    setWindowTitle(QStringLiteral("ＱＺタイマー／現在時間"));
    auto* client = new QWidget(this);
    setCentralWidget(client);

    Label2 = new QLabel(client);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    placeTwips(Label2, 120, 120, 7440, 1080);
    Label3 = new QLabel(client);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignCenter);
    placeTwips(Label3, 7680, 120, 4560, 1080);

    Picture1 = new QWidget(client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    setBackground(Picture1, colors::navy);
    placeTwips(Picture1, 120, 1320, 12120, 3240);
    Label1 = new QLabel(Picture1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    setBackground(Label1, colors::navy);
    setForeground(Label1, colors::yellow);
    Label1->setGeometry(Picture1->rect());

    Command1 = new QPushButton(QStringLiteral("閉じる"), client);
    Command1->setObjectName(QStringLiteral("Command1"));
    placeTwips(Command1, 8880, 4740, 1560, 450);
    connect(Command1, &QPushButton::clicked, this, &BIG::Command1_Click);
    Command2 = new QPushButton(QStringLiteral("終了"), client);
    Command2->setObjectName(QStringLiteral("Command2"));
    placeTwips(Command2, 10680, 4740, 1560, 450);
    connect(Command2, &QPushButton::clicked, this, &BIG::Command2_Click);

    setWindowSizeTwips(this, 12480, 5790);

    // Load step: the font sizes.
    Label1->setFont(uiFont(120, true));
    Label2->setFont(uiFont(48));
    Label3->setFont(uiFont(48));

    Timer1 = new ClockTicker(*platform().clock, QStringLiteral("Timer1"), this);
    connect(Timer1, &ClockTicker::timeout, this, &BIG::Timer1_Timer);
    Timer1_Timer();
    Timer1->setEnabled(true);
}

void BIG::Timer1_Timer() {
    const QDateTime now = platform().clock->now();
    Label1->setText(timeText(now.time()));
    Label2->setText(dateText(now.date()));
    Label3->setText(weekdayName(now.date()));
}

} // namespace qz
