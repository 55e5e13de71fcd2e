// SPDX-License-Identifier: MIT
#include "launcher_window.h"

#include "about/version_box.h"
#include "app/settings_location.h"
#include "ui/click_label.h"
#include "ui/clock.h"
#include "ui/clock_ticker.h"
#include "ui/look.h"

#include <QAction>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

namespace qz {

LauncherWindow::LauncherWindow(AppContext& c) : QzWindow(c, WindowId::Launcher) {
    setObjectName(QStringLiteral("MENU"));
    setWindowTitle(QStringLiteral("ＱＺタイマー"));
    const QString fileTitle = QStringLiteral("ﾌｧｲﾙ(&F)");
    const QString toolsTitle = QStringLiteral("ﾂｰﾙ(&T)");
    const QString helpTitle = QStringLiteral("ﾍﾙﾌﾟ(&H)");
    const QString clockCaption = QStringLiteral("現在時間");
    const QFont captionFont = uiFont(9, true);
    // Qt's accessibility support waits for the session bus at the first control's text; where
    // the desktop gives no bus address, starting one takes several milliseconds. The menu bar's
    // titles and the frame's bold caption have to be measured before the window can show all
    // the same, so they are measured first: the two faces are set up, and FreeType analyses
    // the face at its first hinted glyph, while the bus is still starting.
    QFontMetrics(font()).horizontalAdvance(fileTitle + toolsTitle + helpTitle);
    QFontMetrics(captionFont).horizontalAdvance(clockCaption);

    auto* client = new QWidget(this);
    setCentralWidget(client);

    addImageToolBar(this,
                    {{calculatorIcon(), QStringLiteral("QZ電卓"), [this] { startCalculator(); }},
                     {helpIcon(), QStringLiteral("ﾍﾙﾌﾟ"), [this] { openHelp(); }}});

    m_clockFrame = addControl<QGroupBox>(client, "Frame2", {120, 420, 5040, 1260}, clockCaption);
    m_clockFrame->setFont(captionFont);
    setBackground(m_clockFrame, colors::lightBlue);
    const QFont clockFont = uiFont(11.25, true);
    m_dateLabel =
        addLabel(m_clockFrame, "Label2", {150, 330, 2760, 375}, {}, Qt::AlignCenter, clockFont);
    m_weekdayLabel = addLabel(m_clockFrame, "Label3", {3000, 330, 1890, 375}, {}, Qt::AlignCenter,
                              uiFont(11.25, false));
    m_timeLabel =
        addLabel(m_clockFrame, "Label1", {150, 780, 4740, 375}, {}, Qt::AlignCenter, clockFont);
    for (QLabel* l : {m_dateLabel, m_weekdayLabel, m_timeLabel})
        setValueLook(l);

    m_bigClockPicture = addControl<ClickLabel>(client, "Image1", {180, 1950, 1680, 1680});
    m_bigClockPicture->setDrawnPicture(launcherPicture);
    m_bigClockPicture->setCursor(Qt::PointingHandCursor);
    m_bigClockPicture->setToolTip(QStringLiteral("大きい表示"));
    m_bigClockPicture->setAccessibleName(QStringLiteral("大きい表示"));
    connect(m_bigClockPicture, &ClickLabel::clicked, this, [this] { open(WindowId::BigClock); });

    m_toolsFrame = addControl<QGroupBox>(client, "Frame1", {2040, 1800, 3120, 2700});
    setBackground(m_toolsFrame, colors::lightBlue);
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
        auto* b = addControl<QPushButton>(m_toolsFrame, t.name, {180, top, 2760, 420},
                                          QString::fromUtf16(t.caption));
        connect(b, &QPushButton::clicked, this, [this, id = t.opens] { open(id); });
        top += 500;
    }

    m_exitButton = addControl<QPushButton>(client, "Command9", {3720, 4620, 1440, 420},
                                           QStringLiteral("終了"));
    connect(m_exitButton, &QPushButton::clicked, this, &LauncherWindow::exitProgram);

    QMenu* fileMenu = addMenu(menuBar(), "M1", fileTitle);
    connect(addMenuItem(fileMenu, "M12", QStringLiteral("大きい表示(&Z)")), &QAction::triggered,
            this, [this] { open(WindowId::BigClock); });
    connect(addMenuItem(fileMenu, "M11", QStringLiteral("終了(&E)")), &QAction::triggered, this,
            &LauncherWindow::exitProgram);
    QMenu* toolsMenu = addMenu(menuBar(), "M2", toolsTitle);
    connect(addMenuItem(toolsMenu, "M21", QStringLiteral("QZ電卓(&D)")), &QAction::triggered, this,
            [this] { startCalculator(); });
    QMenu* helpMenu = addMenu(menuBar(), "M3", helpTitle);
    connect(addMenuItem(helpMenu, "M31", QStringLiteral("ﾍﾙﾌﾟ(&H)")), &QAction::triggered, this,
            [this] { openHelp(); });
    connect(addMenuItem(helpMenu, "M32", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&V)")), &QAction::triggered,
            this, &LauncherWindow::showVersionBox);

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
    showDateTime(platform().clock->now(), m_timeLabel, m_dateLabel, m_weekdayLabel);
}

void LauncherWindow::showVersionBox() {
    m_presentVersionBox(this);
    // Getting the focus back from the version box makes the launcher active again.
    onActivated();
}

} // namespace qz
