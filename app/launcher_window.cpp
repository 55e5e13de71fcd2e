// SPDX-License-Identifier: MIT
#include "launcher_window.h"

#include "about/version_box.h"
#include "app/settings_location.h"
#include "ui/click_label.h"
#include "ui/clock.h"
#include "ui/clock_ticker.h"
#include "ui/look.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

namespace qz {

namespace {
QLabel* whiteLabel(QWidget* parent, const char* name, double pt, bool bold) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAlignment(Qt::AlignCenter);
    l->setFont(uiFont(pt, bold));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    setBackground(l, colors::white);
    return l;
}
} // namespace

LauncherWindow::LauncherWindow(AppContext& c) : QzWindow(c, WindowId::Launcher) {
    setObjectName(QStringLiteral("MENU"));
    setWindowTitle(QStringLiteral("ＱＺタイマー"));
    auto* client = new QWidget(this);
    setCentralWidget(client);

    addIndexedToolBar(
        this, {{calculatorIcon(), QStringLiteral("QZ電卓")}, {helpIcon(), QStringLiteral("ﾍﾙﾌﾟ")}},
        [this](int i) { onToolbarButton(i); });

    m_clockFrame = new QGroupBox(QStringLiteral("現在時間"), client);
    m_clockFrame->setObjectName(QStringLiteral("Frame2"));
    m_clockFrame->setFont(uiFont(9, true));
    setBackground(m_clockFrame, colors::lightBlue);
    placeTwips(m_clockFrame, 120, 420, 5040, 1260);
    m_dateLabel = whiteLabel(m_clockFrame, "Label2", 11.25, true);
    placeTwips(m_dateLabel, 150, 330, 2760, 375);
    m_weekdayLabel = whiteLabel(m_clockFrame, "Label3", 11.25, false);
    placeTwips(m_weekdayLabel, 3000, 330, 1890, 375);
    m_timeLabel = whiteLabel(m_clockFrame, "Label1", 11.25, true);
    placeTwips(m_timeLabel, 150, 780, 4740, 375);

    m_bigClockPicture = new ClickLabel(client);
    m_bigClockPicture->setObjectName(QStringLiteral("Image1"));
    placeTwips(m_bigClockPicture, 180, 1950, 1680, 1680);
    m_bigClockPicture->setPixmap(launcherPicture(m_bigClockPicture->size()));
    m_bigClockPicture->setCursor(Qt::PointingHandCursor);
    m_bigClockPicture->setToolTip(QStringLiteral("大きい表示"));
    connect(m_bigClockPicture, &ClickLabel::clicked, this, [this] { open(WindowId::BigClock); });

    m_toolsFrame = new QGroupBox(client);
    m_toolsFrame->setObjectName(QStringLiteral("Frame1"));
    setBackground(m_toolsFrame, colors::lightBlue);
    placeTwips(m_toolsFrame, 2040, 1800, 3120, 2700);
    struct Tool {
        const char* name;
        const char16_t* caption;
        WindowId opens;
    };
    const Tool tools[] = {
        {"Command2", u"お知らせアラーム", WindowId::Timer},
        {"Command3", u"カウントダウン", WindowId::Countdown},
        {"Command1", u"ストップウォッチ", WindowId::Stopwatch},
        {"Command4", u"時間加算計算", WindowId::CalcAdd},
        {"Command5", u"時間経過計算", WindowId::CalcElapsed},
    };
    int top = 180;
    for (const Tool& t : tools) {
        auto* b = new QPushButton(QString::fromUtf16(t.caption), m_toolsFrame);
        b->setObjectName(QString::fromLatin1(t.name));
        placeTwips(b, 180, top, 2760, 420);
        connect(b, &QPushButton::clicked, this, [this, id = t.opens] { open(id); });
        top += 500;
    }

    m_exitButton = new QPushButton(QStringLiteral("終了"), client);
    m_exitButton->setObjectName(QStringLiteral("Command9"));
    placeTwips(m_exitButton, 3720, 4620, 1440, 420);
    connect(m_exitButton, &QPushButton::clicked, this, &LauncherWindow::exitProgram);

    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    fileMenu->setObjectName(QStringLiteral("M1"));
    fileMenu
        ->addAction(QStringLiteral("大きい表示(&Z)"), this, [this] { open(WindowId::BigClock); })
        ->setObjectName(QStringLiteral("M12"));
    fileMenu->addAction(QStringLiteral("終了(&E)"), this, &LauncherWindow::exitProgram)
        ->setObjectName(QStringLiteral("M11"));
    QMenu* toolsMenu = menuBar()->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
    toolsMenu->setObjectName(QStringLiteral("M2"));
    toolsMenu->addAction(QStringLiteral("QZ電卓(&D)"), this, [this] { onToolbarButton(1); })
        ->setObjectName(QStringLiteral("M21"));
    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    helpMenu->setObjectName(QStringLiteral("M3"));
    helpMenu->addAction(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this, [this] { onToolbarButton(2); })
        ->setObjectName(QStringLiteral("M31"));
    helpMenu->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&V)"), this, &LauncherWindow::showVersionBox)
        ->setObjectName(QStringLiteral("M32"));

    m_presentVersionBox = [this](QWidget* owner) {
        VersionBox box(owner,
                       settingsPlaceText(state().settingsFolder(), state().settingsInMemoryOnly()));
        box.exec();
    };

    // The height that ends just below "終了".
    setWindowSizeTwips(this, 5400, 6100);

    m_clockTicker = new ClockTicker(*platform().clock, QStringLiteral("Timer1"), this);
    connect(m_clockTicker, &ClockTicker::timeout, this, &LauncherWindow::onClockTick);
    onClockTick();
    m_clockTicker->setEnabled(true);
}

void LauncherWindow::onActivated() {
    state().loadSpans();
}

void LauncherWindow::onClockTick() {
    const QDateTime now = platform().clock->now();
    m_timeLabel->setText(timeText(now.time()));
    m_dateLabel->setText(dateText(now.date()));
    m_weekdayLabel->setText(weekdayName(now.date()));
}

void LauncherWindow::onToolbarButton(int index) {
    if (index == 1)
        ctx.windows.startCalculator(this);
    else if (index == 2)
        ctx.windows.openHelp(this);
}

void LauncherWindow::showVersionBox() {
    m_presentVersionBox(this);
    // Getting the focus back from the version box makes the launcher active again.
    onActivated();
}

} // namespace qz
