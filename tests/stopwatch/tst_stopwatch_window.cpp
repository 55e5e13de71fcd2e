// SPDX-License-Identifier: MIT
#include "stopwatch/stopwatch_window.h"
#include "tests/support/window_fixture.h"
#include "ui/clock_ticker.h"
#include "ui/placement.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>

using namespace qz;

namespace {
QDateTime at(int h, int m, int s, QDate d = QDate(2010, 11, 8)) {
    return QDateTime(d, QTime(h, m, s));
}

// A stopwatch window opened the way the launcher opens it.
struct Fixture : WindowFixture {
    StopwatchWindow* w = nullptr;

    Fixture() {
        registerWindow<StopwatchWindow>(WindowId::Stopwatch);
        tp.clock.set(at(10, 0, 0));
        w = open<StopwatchWindow>(WindowId::Stopwatch);
    }
    template <class T = QWidget> T* c(const char* name) const { return control<T>(w, name); }
    static QString text(const QLabel* label) { return label->text(); }
    static void click(QAbstractButton* button) { button->click(); }
    void tick(const char* timer) { emit c<ClockTicker>(timer)->timeout(); }
    bool running() const { return c<ClockTicker>("Timer2")->isEnabled(); }
    // Moves the clock and lets the stopwatch tick, as its timer would.
    void after(int seconds) {
        tp.clock.advanceSeconds(seconds);
        if (running()) tick("Timer2");
    }
    QString shown() const {
        // Both views always show the same value.
        const QString normal = w->elapsedLabel()->text();
        const QString big = w->bigElapsedLabel()->text();
        if (normal != big) return QStringLiteral("normal %1, big %2").arg(normal, big);
        return normal;
    }
    QWidget* focus() const { return w->focusWidget(); }
    bool bigViewShown() const { return w->bigPanel()->isVisible(); }
};
} // namespace

class TstStopwatchWindow : public QObject {
    Q_OBJECT
  private slots:
    void controls() {
        Fixture f;
        QCOMPARE(f.w->windowTitle(), QStringLiteral("ストップウォッチ"));
        const QList<QPair<QAbstractButton*, QString>> captions = {
            {f.w->startButton(), QStringLiteral("スタート")},
            {f.w->pauseButton(), QStringLiteral("一時停止")},
            {f.w->continueButton(), QStringLiteral("CONT")},
            {f.w->clearButton(), QStringLiteral("クリア")},
            {f.w->menuButton(), QStringLiteral("ﾒﾆｭｰへ")},
            {f.w->exitButton(), QStringLiteral("終了")},
            {f.w->normalViewOption(), QStringLiteral("通常表示")},
            {f.w->bigViewOption(), QStringLiteral("大きい表示")}};
        for (const auto& [button, caption] : captions)
            QCOMPARE(button->text(), caption);
        QCOMPARE(f.text(f.w->clockCaption()), QStringLiteral("時刻："));
        QCOMPARE(f.text(f.w->elapsedCaption()), QStringLiteral("ストップウォッチ："));
        QCOMPARE(f.w->viewFrame()->title(), QStringLiteral("時間表示"));
        QCOMPARE(f.text(f.w->elapsedLabel()), QString());
        QVERIFY(f.c<ClockTicker>("Timer1")->isEnabled());
        QVERIFY(!f.running());
        QCOMPARE(f.w->centralWidget()->palette().color(QPalette::Window), QColor(0x80, 0xFF, 0x80));
        for (const QLabel* l : {f.w->clockLabel(), f.w->elapsedLabel()}) {
            QVERIFY(l->font().bold());
            QCOMPARE(l->font().pointSizeF(), 12.0);
            QCOMPARE(l->palette().color(QPalette::Window), QColor(Qt::white));
        }
        // 120 points, or less where the face would not fit a reading into the panel.
        const QFont big = f.w->bigElapsedLabel()->font();
        QVERIFY(big.pointSizeF() <= 120.0 && big.pointSizeF() >= 60.0);
        QVERIFY(QFontMetrics(big).horizontalAdvance(QStringLiteral("00:00:00")) <=
                f.w->bigPanel()->width());
        QVERIFY(QFontMetrics(big).height() <= f.w->bigPanel()->height());
        const QList<QAction*> tools = f.c<QToolBar>("Toolbar1")->actions();
        QCOMPARE(tools.size(), 2);
        QCOMPARE(tools[0]->toolTip(), QStringLiteral("QZ電卓"));
        QCOMPARE(tools[1]->toolTip(), QStringLiteral("ﾍﾙﾌﾟ"));
    }

    void layout_data() {
        QTest::addColumn<int>("role"); // -1: the toolbar
        QTest::addColumn<QRect>("twipsRect");
        QTest::newRow("toolbar") << -1 << QRect(0, 0, 720, 390);
        QTest::newRow("clock caption")
            << int(StopwatchWindow::ClockCaption) << QRect(960, 165, 855, 375);
        QTest::newRow("clock") << int(StopwatchWindow::Clock) << QRect(1800, 120, 1695, 375);
        QTest::newRow("stopwatch caption")
            << int(StopwatchWindow::ElapsedCaption) << QRect(0, 780, 1815, 375);
        QTest::newRow("stopwatch") << int(StopwatchWindow::Elapsed) << QRect(1800, 720, 1695, 375);
        QTest::newRow("start") << int(StopwatchWindow::Start) << QRect(360, 2040, 975, 375);
        QTest::newRow("pause") << int(StopwatchWindow::Pause) << QRect(1440, 2040, 975, 375);
        QTest::newRow("continue") << int(StopwatchWindow::Continue) << QRect(2520, 2040, 975, 375);
        QTest::newRow("clear") << int(StopwatchWindow::Clear) << QRect(360, 2520, 975, 375);
        QTest::newRow("menu") << int(StopwatchWindow::Menu) << QRect(1440, 2520, 975, 375);
        QTest::newRow("exit") << int(StopwatchWindow::Exit) << QRect(2520, 2520, 975, 375);
        QTest::newRow("big view") << int(StopwatchWindow::BigPanel) << QRect(3600, 120, 8620, 2440);
    }
    void layout() {
        QFETCH(int, role);
        QFETCH(QRect, twipsRect);
        Fixture f;
        QWidget* control =
            role < 0 ? f.c<QToolBar>("Toolbar1") : f.w->control(StopwatchWindow::Role(role));
        QVERIFY(control);
        QCOMPARE(control->geometry(), qz::twipsRect(twipsRect.x(), twipsRect.y(), twipsRect.width(),
                                                    twipsRect.height()));
        QCOMPARE(f.w->bigElapsedLabel()->geometry(), f.w->bigPanel()->rect());
    }

    // The view buttons sit below the frame's caption and border, one under the other, and the
    // frame stays between the elapsed reading and the buttons' row.
    void viewFrameHoldsItsButtons() {
        Fixture f;
        QGroupBox* frame = f.w->viewFrame();
        QVERIFY(frame);
        QRadioButton* normal = f.w->normalViewOption();
        QRadioButton* big = f.w->bigViewOption();
        QVERIFY(normal && big);
        QCOMPARE(frame->x(), qz::twips(1800));
        QVERIFY(normal->y() >= frame->contentsRect().top());
        QVERIFY(big->y() > normal->geometry().bottom());
        QVERIFY(big->geometry().bottom() < frame->height());
        QVERIFY(normal->width() >= normal->sizeHint().width());
        QVERIFY(frame->geometry().bottom() < f.w->startButton()->y());
        QVERIFY(frame->y() > f.w->elapsedLabel()->geometry().bottom());
    }

    // Enter presses the focused button, as Space does.
    void enterPressesTheFocusedButton() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.w));
        // The window opens with "スタート" focused: the first Enter starts the run.
        QCOMPARE(f.focus(), f.w->startButton());
        QTest::keyClick(f.w->focusWidget(), Qt::Key_Return);
        QVERIFY(f.running());
        f.w->pauseButton()->setFocus();
        QTest::keyClick(f.w->pauseButton(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!f.running());
    }

    void clockLine() {
        Fixture f;
        f.tp.clock.set(at(13, 8, 20));
        f.tick("Timer1");
        QCOMPARE(f.text(f.w->clockLabel()), QStringLiteral("13:08:20"));
    }

    void startPauseContinue() {
        Fixture f;
        f.click(f.w->startButton());
        QVERIFY(f.running());
        QCOMPARE(f.shown(), QStringLiteral("00:00:00"));
        QCOMPARE(f.focus(), f.w->pauseButton());
        f.after(5);
        f.click(f.w->pauseButton());
        QVERIFY(!f.running());
        QCOMPARE(f.shown(), QStringLiteral("00:00:05"));
        QCOMPARE(f.focus(), f.w->continueButton());
        f.after(30);
        QCOMPARE(f.shown(), QStringLiteral("00:00:05"));
        f.click(f.w->continueButton());
        QVERIFY(f.running());
        QCOMPARE(f.focus(), f.w->pauseButton());
        f.after(3);
        QCOMPARE(f.shown(), QStringLiteral("00:00:08"));
    }

    void startWhileRunningRestarts() {
        Fixture f;
        f.click(f.w->startButton());
        f.after(42);
        f.click(f.w->startButton());
        QCOMPARE(f.shown(), QStringLiteral("00:00:00"));
        f.after(2);
        QCOMPARE(f.shown(), QStringLiteral("00:00:02"));
    }

    void clearEmptiesBothDisplaysAtOnce() {
        Fixture f;
        f.click(f.w->startButton());
        f.after(7);
        QCOMPARE(f.shown(), QStringLiteral("00:00:07"));
        f.click(f.w->clearButton());
        QCOMPARE(f.text(f.w->elapsedLabel()), QString());
        QCOMPARE(f.text(f.w->bigElapsedLabel()), QString());
        QVERIFY(!f.running());
        QCOMPARE(f.focus(), f.w->startButton());
    }

    void switchingViewsKeepsARunGoing() {
        Fixture f;
        const QSize normal = f.w->size();
        f.click(f.w->startButton());
        f.after(3);
        f.click(f.w->bigViewOption());
        QVERIFY(f.bigViewShown());
        QVERIFY(f.w->width() > normal.width());
        QCOMPARE(f.w->width() - normal.width(), twips(12400) - twips(3700));
        QVERIFY(f.running());
        f.after(2);
        QCOMPARE(f.text(f.w->bigElapsedLabel()), QStringLiteral("00:00:05"));
        f.click(f.w->normalViewOption());
        QVERIFY(!f.bigViewShown());
        QCOMPARE(f.w->size(), normal);
        QVERIFY(f.running());
        f.after(1);
        QCOMPARE(f.shown(), QStringLiteral("00:00:06"));
    }

    void activationReturnsToTheNormalView() {
        Fixture f;
        f.click(f.w->bigViewOption());
        QVERIFY(f.bigViewShown());
        f.w->onActivated();
        QVERIFY(f.w->normalViewOption()->isChecked());
        QVERIFY(!f.bigViewShown());
    }

    void runAcrossMidnight() {
        Fixture f;
        f.tp.clock.set(at(23, 59, 58));
        f.click(f.w->startButton());
        f.tp.clock.set(at(0, 0, 3, QDate(2010, 11, 9)));
        f.tick("Timer2");
        QCOMPARE(f.shown(), QStringLiteral("00:00:05"));
    }

    void pauseAndContinueMisuse() {
        Fixture f;
        // Pause before any Start: nothing happens.
        f.click(f.w->pauseButton());
        QCOMPARE(f.shown(), QString());
        QVERIFY(!f.running());
        // CONT before any Start starts.
        f.click(f.w->continueButton());
        QVERIFY(f.running());
        f.after(4);
        QCOMPARE(f.shown(), QStringLiteral("00:00:04"));
        // A second Pause does not bank the run twice.
        f.click(f.w->pauseButton());
        f.after(10);
        f.click(f.w->pauseButton());
        QCOMPARE(f.shown(), QStringLiteral("00:00:04"));
        f.click(f.w->continueButton());
        f.after(1);
        QCOMPARE(f.shown(), QStringLiteral("00:00:05"));
    }

    // The tick is driven by the clock ticker, not by the test.
    void tickerDrivesTheDisplay() {
        Fixture f;
        f.click(f.w->startButton());
        f.tp.clock.advanceSeconds(9);
        QTRY_COMPARE_WITH_TIMEOUT(f.text(f.w->elapsedLabel()), QStringLiteral("00:00:09"), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(f.text(f.w->clockLabel()), QStringLiteral("10:00:09"), 3000);
    }

    void menuButtonReturnsToTheLauncher() {
        Fixture f;
        f.click(f.w->startButton());
        f.click(f.w->menuButton());
        QCOMPARE(f.wm.current()->windowId(), WindowId::Launcher);
        QCOMPARE(f.quits, 0);
    }

    void exitAndTools() {
        Fixture f;
        const QList<QAction*> tools = f.c<QToolBar>("Toolbar1")->actions();
        tools[0]->trigger();
        QCOMPARE(f.tp.calculator.folders, QStringList{f.state.programFolder()});
        tools[1]->trigger();
        QCOMPARE(f.tp.help.displays, 1);
        QCOMPARE(f.state.helpOpened(), true);
        f.click(f.w->exitButton());
        QCOMPARE(f.quits, 1);
        QCOMPARE(f.tp.help.closeAlls, 1);
    }
};

QTEST_MAIN(TstStopwatchWindow)
#include "tst_stopwatch_window.moc"
