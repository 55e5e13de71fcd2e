// SPDX-License-Identifier: MIT
#include "launcher_window.h"

#include "about/version_box.h"
#include "app/settings_location.h"
#include "look/click_label.h"
#include "look/look.h"
#include "ui/clock.h"
#include "ui/clock_ticker.h"

#include <QAction>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

namespace qz {

namespace {

using K = ControlKind;
using W = LauncherWindow;

// The clock frame's caption and its face: measured before the window's first control too.
constexpr const char16_t* kClockCaption = u"現在時間";
constexpr double kCaptionPoints = 9;

constexpr ControlDecl kControls[] = {
    {.role = W::ClockFrame,
     .name = "Frame2",
     .kind = K::GroupBox,
     .at = {120, 420, 5040, 1260},
     .caption = kClockCaption,
     .points = kCaptionPoints,
     .bold = true,
     .ground = colors::lightBlue},
    {.role = W::Date,
     .name = "Label2",
     .at = {150, 330, 2760, 375},
     .within = W::ClockFrame,
     .align = Qt::AlignCenter,
     .points = 11.25,
     .bold = true,
     .valueLook = true},
    {.role = W::Weekday,
     .name = "Label3",
     .at = {3000, 330, 1890, 375},
     .within = W::ClockFrame,
     .align = Qt::AlignCenter,
     .points = 11.25,
     .valueLook = true},
    {.role = W::Time,
     .name = "Label1",
     .at = {150, 780, 4740, 375},
     .within = W::ClockFrame,
     .align = Qt::AlignCenter,
     .points = 11.25,
     .bold = true,
     .valueLook = true},
    // Its picture is drawn once the controls stand.
    {.role = W::BigClockPicture,
     .name = "Image1",
     .kind = K::ClickLabel,
     .at = {180, 1950, 1680, 1680}},
    {.role = W::ToolsFrame,
     .name = "Frame1",
     .kind = K::GroupBox,
     .at = {2040, 1800, 3120, 2700},
     .ground = colors::lightBlue},
    {.role = W::TimerButton,
     .name = "Command2",
     .kind = K::Button,
     .at = {180, 180, 2760, 420},
     .caption = u"お知らせアラーム",
     .within = W::ToolsFrame},
    {.role = W::CountdownButton,
     .name = "Command3",
     .kind = K::Button,
     .at = {180, 680, 2760, 420},
     .caption = u"カウントダウン",
     .within = W::ToolsFrame},
    {.role = W::StopwatchButton,
     .name = "Command1",
     .kind = K::Button,
     .at = {180, 1180, 2760, 420},
     .caption = u"ストップウォッチ",
     .within = W::ToolsFrame},
    {.role = W::AddButton,
     .name = "Command4",
     .kind = K::Button,
     .at = {180, 1680, 2760, 420},
     .caption = u"時間加算計算",
     .within = W::ToolsFrame},
    {.role = W::ElapsedButton,
     .name = "Command5",
     .kind = K::Button,
     .at = {180, 2180, 2760, 420},
     .caption = u"時間経過計算",
     .within = W::ToolsFrame},
    {.role = W::Exit,
     .name = "Command9",
     .kind = K::Button,
     .at = {3720, 4620, 1440, 420},
     .caption = u"終了"},
};

// The window each tool button opens.
constexpr std::pair<W::Role, WindowId> kTools[] = {
    {W::TimerButton, WindowId::Timer},         {W::CountdownButton, WindowId::Countdown},
    {W::StopwatchButton, WindowId::Stopwatch}, {W::AddButton, WindowId::CalcAdd},
    {W::ElapsedButton, WindowId::CalcElapsed},
};

} // namespace

LauncherWindow::LauncherWindow(AppContext& c) : QzWindow(c, WindowId::Launcher) {
    setObjectName(QStringLiteral("MENU"));
    setWindowTitle(QStringLiteral("ＱＺタイマー"));
    const QString fileTitle = QStringLiteral("ﾌｧｲﾙ(&F)");
    const QString toolsTitle = QStringLiteral("ﾂｰﾙ(&T)");
    const QString helpTitle = QStringLiteral("ﾍﾙﾌﾟ(&H)");
    // Qt's accessibility support waits for the session bus at the first control's text; where
    // the desktop gives no bus address, starting one takes several milliseconds. The menu bar's
    // titles and the frame's bold caption have to be measured before the window can show all
    // the same, so they are measured first: the two faces are set up, and FreeType analyses
    // the face at its first hinted glyph, while the bus is still starting.
    QFontMetrics(font()).horizontalAdvance(fileTitle + toolsTitle + helpTitle);
    QFontMetrics(uiFont(kCaptionPoints, true)).horizontalAdvance(QString::fromUtf16(kClockCaption));

    auto* client = new QWidget(this);
    setCentralWidget(client);

    addImageToolBar(this,
                    {{calculatorIcon(), QStringLiteral("QZ電卓"), [this] { startCalculator(); }},
                     {helpIcon(), QStringLiteral("ﾍﾙﾌﾟ"), [this] { openHelp(); }}});

    buildControls(client, kControls, m_controls);

    ClickLabel* picture = bigClockPicture();
    picture->setDrawnPicture(launcherPicture);
    picture->setCursor(Qt::PointingHandCursor);
    picture->setToolTip(QStringLiteral("大きい表示"));
    picture->setAccessibleName(QStringLiteral("大きい表示"));
    connect(picture, &ClickLabel::clicked, this, [this] { open(WindowId::BigClock); });
    for (const auto& [role, id] : kTools)
        connect(as<QPushButton>(role), &QPushButton::clicked, this, [this, id] { open(id); });
    connect(exitButton(), &QPushButton::clicked, this, &LauncherWindow::exitProgram);

    buildMenus(fileTitle, toolsTitle, helpTitle);

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

void LauncherWindow::buildMenus(const QString& fileTitle, const QString& toolsTitle,
                                const QString& helpTitle) {
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
}

void LauncherWindow::onActivated() {
    state().loadSpans();
}

void LauncherWindow::onClockTick() {
    showDateTime(platform().clock->now(), timeLabel(), dateLabel(), weekdayLabel());
}

void LauncherWindow::showVersionBox() {
    m_presentVersionBox(this);
    // Getting the focus back from the version box makes the launcher active again.
    onActivated();
}

} // namespace qz
