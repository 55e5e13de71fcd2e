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
    QString text(const char* label) const { return c<QLabel>(label)->text(); }
    void click(const char* button) { c<QAbstractButton>(button)->click(); }
    void tick(const char* timer) { emit c<ClockTicker>(timer)->timeout(); }
    bool running() const { return c<ClockTicker>("Timer2")->isEnabled(); }
    // Moves the clock and lets the stopwatch tick, as its timer would.
    void after(int seconds) {
        tp.clock.advanceSeconds(seconds);
        if (running()) tick("Timer2");
    }
    QString shown() const {
        // Both views always show the same value.
        if (text("Label2") != text("Label5"))
            return QStringLiteral("normal %1, big %2").arg(text("Label2"), text("Label5"));
        return text("Label2");
    }
    QString focus() const { return w->focusWidget() ? w->focusWidget()->objectName() : QString(); }
    bool bigViewShown() const { return c("Picture1")->isVisible(); }
};
} // namespace

class TstStopwatchWindow : public QObject {
    Q_OBJECT
  private slots:
    void controls() {
        Fixture f;
        QCOMPARE(f.w->windowTitle(), QStringLiteral("ストップウォッチ"));
        const QList<QPair<const char*, QString>> captions = {
            {"Command1", QStringLiteral("スタート")}, {"Command2", QStringLiteral("一時停止")},
            {"Command5", QStringLiteral("CONT")},     {"Command3", QStringLiteral("クリア")},
            {"Command6", QStringLiteral("ﾒﾆｭｰへ")},   {"Command4", QStringLiteral("終了")},
            {"Option1", QStringLiteral("通常表示")},  {"Option2", QStringLiteral("大きい表示")}};
        for (const auto& [name, caption] : captions)
            QCOMPARE(f.c<QAbstractButton>(name)->text(), caption);
        QCOMPARE(f.text("Label3"), QStringLiteral("時刻："));
        QCOMPARE(f.text("Label4"), QStringLiteral("ストップウォッチ："));
        QCOMPARE(f.c<QGroupBox>("Frame2")->title(), QStringLiteral("時間表示"));
        QCOMPARE(f.text("Label2"), QString());
        QVERIFY(f.c<ClockTicker>("Timer1")->isEnabled());
        QVERIFY(!f.running());
        QCOMPARE(f.w->centralWidget()->palette().color(QPalette::Window), QColor(0x80, 0xFF, 0x80));
        for (const char* name : {"Label1", "Label2"}) {
            const QLabel* l = f.c<QLabel>(name);
            QVERIFY(l->font().bold());
            QCOMPARE(l->font().pointSizeF(), 12.0);
            QCOMPARE(l->palette().color(QPalette::Window), QColor(Qt::white));
        }
        // 120 points, or less where the face would not fit a reading into the panel.
        const QFont big = f.c("Label5")->font();
        QVERIFY(big.pointSizeF() <= 120.0 && big.pointSizeF() >= 60.0);
        QVERIFY(QFontMetrics(big).horizontalAdvance(QStringLiteral("00:00:00")) <=
                f.c("Picture1")->width());
        QVERIFY(QFontMetrics(big).height() <= f.c("Picture1")->height());
        const QList<QAction*> tools = f.c<QToolBar>("Toolbar1")->actions();
        QCOMPARE(tools.size(), 2);
        QCOMPARE(tools[0]->toolTip(), QStringLiteral("QZ電卓"));
        QCOMPARE(tools[1]->toolTip(), QStringLiteral("ﾍﾙﾌﾟ"));
    }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twipsRect");
        QTest::newRow("Toolbar1") << "Toolbar1" << QRect(0, 0, 720, 390);
        QTest::newRow("Label3") << "Label3" << QRect(960, 165, 855, 375);
        QTest::newRow("Label1") << "Label1" << QRect(1800, 120, 1695, 375);
        QTest::newRow("Label4") << "Label4" << QRect(0, 780, 1815, 375);
        QTest::newRow("Label2") << "Label2" << QRect(1800, 720, 1695, 375);
        QTest::newRow("Command1") << "Command1" << QRect(360, 2040, 975, 375);
        QTest::newRow("Command2") << "Command2" << QRect(1440, 2040, 975, 375);
        QTest::newRow("Command5") << "Command5" << QRect(2520, 2040, 975, 375);
        QTest::newRow("Command3") << "Command3" << QRect(360, 2520, 975, 375);
        QTest::newRow("Command6") << "Command6" << QRect(1440, 2520, 975, 375);
        QTest::newRow("Command4") << "Command4" << QRect(2520, 2520, 975, 375);
        QTest::newRow("Picture1") << "Picture1" << QRect(3600, 120, 8620, 2440);
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QRect, twipsRect);
        Fixture f;
        auto* control = f.w->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), qz::twipsRect(twipsRect.x(), twipsRect.y(), twipsRect.width(),
                                                    twipsRect.height()));
        QCOMPARE(f.c("Label5")->geometry(), f.c("Picture1")->rect());
    }

    // The view buttons sit below the frame's caption and border, one under the other, and the
    // frame stays between the elapsed reading and the buttons' row.
    void viewFrameHoldsItsButtons() {
        Fixture f;
        QGroupBox* frame = f.w->findChild<QGroupBox*>(QStringLiteral("Frame2"));
        QVERIFY(frame);
        auto* normal = f.w->findChild<QRadioButton*>(QStringLiteral("Option1"));
        auto* big = f.w->findChild<QRadioButton*>(QStringLiteral("Option2"));
        QVERIFY(normal && big);
        QCOMPARE(frame->x(), qz::twips(1800));
        QVERIFY(normal->y() >= frame->contentsRect().top());
        QVERIFY(big->y() > normal->geometry().bottom());
        QVERIFY(big->geometry().bottom() < frame->height());
        QVERIFY(normal->width() >= normal->sizeHint().width());
        QVERIFY(frame->geometry().bottom() < f.c("Command1")->y());
        QVERIFY(frame->y() > f.c("Label2")->geometry().bottom());
    }

    // Enter presses the focused button, as Space does.
    void enterPressesTheFocusedButton() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.w));
        // The window opens with "スタート" focused: the first Enter starts the run.
        QCOMPARE(f.focus(), QStringLiteral("Command1"));
        QTest::keyClick(f.w->focusWidget(), Qt::Key_Return);
        QVERIFY(f.running());
        f.c("Command2")->setFocus();
        QTest::keyClick(f.c("Command2"), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!f.running());
    }

    void clockLine() {
        Fixture f;
        f.tp.clock.set(at(13, 8, 20));
        f.tick("Timer1");
        QCOMPARE(f.text("Label1"), QStringLiteral("13:08:20"));
    }

    void startPauseContinue() {
        Fixture f;
        f.click("Command1");
        QVERIFY(f.running());
        QCOMPARE(f.shown(), QStringLiteral("00:00:00"));
        QCOMPARE(f.focus(), QStringLiteral("Command2"));
        f.after(5);
        f.click("Command2");
        QVERIFY(!f.running());
        QCOMPARE(f.shown(), QStringLiteral("00:00:05"));
        QCOMPARE(f.focus(), QStringLiteral("Command5"));
        f.after(30);
        QCOMPARE(f.shown(), QStringLiteral("00:00:05"));
        f.click("Command5");
        QVERIFY(f.running());
        QCOMPARE(f.focus(), QStringLiteral("Command2"));
        f.after(3);
        QCOMPARE(f.shown(), QStringLiteral("00:00:08"));
    }

    void startWhileRunningRestarts() {
        Fixture f;
        f.click("Command1");
        f.after(42);
        f.click("Command1");
        QCOMPARE(f.shown(), QStringLiteral("00:00:00"));
        f.after(2);
        QCOMPARE(f.shown(), QStringLiteral("00:00:02"));
    }

    void clearEmptiesBothDisplaysAtOnce() {
        Fixture f;
        f.click("Command1");
        f.after(7);
        QCOMPARE(f.shown(), QStringLiteral("00:00:07"));
        f.click("Command3");
        QCOMPARE(f.text("Label2"), QString());
        QCOMPARE(f.text("Label5"), QString());
        QVERIFY(!f.running());
        QCOMPARE(f.focus(), QStringLiteral("Command1"));
    }

    void switchingViewsKeepsARunGoing() {
        Fixture f;
        const QSize normal = f.w->size();
        f.click("Command1");
        f.after(3);
        f.click("Option2");
        QVERIFY(f.bigViewShown());
        QVERIFY(f.w->width() > normal.width());
        QCOMPARE(f.w->width() - normal.width(), twips(12400) - twips(3700));
        QVERIFY(f.running());
        f.after(2);
        QCOMPARE(f.text("Label5"), QStringLiteral("00:00:05"));
        f.click("Option1");
        QVERIFY(!f.bigViewShown());
        QCOMPARE(f.w->size(), normal);
        QVERIFY(f.running());
        f.after(1);
        QCOMPARE(f.shown(), QStringLiteral("00:00:06"));
    }

    void activationReturnsToTheNormalView() {
        Fixture f;
        f.click("Option2");
        QVERIFY(f.bigViewShown());
        f.w->onActivated();
        QVERIFY(f.c<QRadioButton>("Option1")->isChecked());
        QVERIFY(!f.bigViewShown());
    }

    void runAcrossMidnight() {
        Fixture f;
        f.tp.clock.set(at(23, 59, 58));
        f.click("Command1");
        f.tp.clock.set(at(0, 0, 3, QDate(2010, 11, 9)));
        f.tick("Timer2");
        QCOMPARE(f.shown(), QStringLiteral("00:00:05"));
    }

    void pauseAndContinueMisuse() {
        Fixture f;
        // Pause before any Start: nothing happens.
        f.click("Command2");
        QCOMPARE(f.shown(), QString());
        QVERIFY(!f.running());
        // CONT before any Start starts.
        f.click("Command5");
        QVERIFY(f.running());
        f.after(4);
        QCOMPARE(f.shown(), QStringLiteral("00:00:04"));
        // A second Pause does not bank the run twice.
        f.click("Command2");
        f.after(10);
        f.click("Command2");
        QCOMPARE(f.shown(), QStringLiteral("00:00:04"));
        f.click("Command5");
        f.after(1);
        QCOMPARE(f.shown(), QStringLiteral("00:00:05"));
    }

    // The tick is driven by the clock ticker, not by the test.
    void tickerDrivesTheDisplay() {
        Fixture f;
        f.click("Command1");
        f.tp.clock.advanceSeconds(9);
        QTRY_COMPARE_WITH_TIMEOUT(f.text("Label2"), QStringLiteral("00:00:09"), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(f.text("Label1"), QStringLiteral("10:00:09"), 3000);
    }

    void menuButtonReturnsToTheLauncher() {
        Fixture f;
        f.click("Command1");
        f.click("Command6");
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
        QCOMPARE(f.state.helpOpened, true);
        f.click("Command4");
        QCOMPARE(f.quits, 1);
        QCOMPARE(f.tp.help.closeAlls, 1);
    }
};

QTEST_MAIN(TstStopwatchWindow)
#include "tst_stopwatch_window.moc"
