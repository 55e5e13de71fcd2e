// SPDX-License-Identifier: MIT
#include "app/after_first_paint.h"
#include "app/launcher_window.h"
#include "files/file_io.h"
#include "tests/support/window_fixture.h"
#include "timer/big_clock_window.h"
#include "ui/clock_ticker.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTest>

using namespace qz;

// The launcher, the big clock and the switching between the program's windows.
class TestApp : public QObject {
    Q_OBJECT

    struct Fixture : WindowFixture {
        Fixture() {
            registerWindow<LauncherWindow>(WindowId::Launcher);
            registerWindow<BigClockWindow>(WindowId::BigClock);
        }
        LauncherWindow* start() { return open<LauncherWindow>(WindowId::Launcher); }
        QByteArray spansFile() {
            QFile f(state.programFile(QLatin1String(kSpansFile)));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }
    };

    static void click(QWidget* button) { qobject_cast<QPushButton*>(button)->click(); }
    static void trigger(QWidget* w, const char* name) { control<QAction>(w, name)->trigger(); }
    static void tick(QWidget* w) { emit control<ClockTicker>(w, "Timer1")->timeout(); }
    static int visibleProgramWindows() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QzWindow*>(w) && w->isVisible()) ++n;
        return n;
    }

    // Each of a window's roles, by the window's control(); the window is the one open.
    template <class W> static QList<QWidget*> byRole(QzWindow* w) {
        QList<QWidget*> controls;
        for (int r = 0; r < W::RoleCount; ++r)
            controls << static_cast<W*>(w)->control(typename W::Role(r));
        return controls;
    }

  private slots:
    void everyRoleHasItsOwnControl_data() {
        QTest::addColumn<WindowId>("id");
        QTest::newRow("launcher") << WindowId::Launcher;
        QTest::newRow("big clock") << WindowId::BigClock;
    }
    // A role the tables leave out, or give twice, would leave the window's code holding nothing
    // or the wrong control.
    void everyRoleHasItsOwnControl() {
        QFETCH(WindowId, id);
        Fixture f;
        QzWindow* w = f.wm.switchTo(id, nullptr);
        const QList<QWidget*> controls =
            id == WindowId::Launcher ? byRole<LauncherWindow>(w) : byRole<BigClockWindow>(w);
        QSet<QWidget*> seen;
        for (QWidget* c : controls) {
            QVERIFY(c);
            QVERIFY2(w->isAncestorOf(c), qPrintable(c->objectName()));
            QVERIFY2(!seen.contains(c), qPrintable(c->objectName()));
            seen.insert(c);
        }
    }

    void launcherShowsTheClockAndWritesDefaultSpans() {
        Fixture f;
        LauncherWindow* menu = f.start();
        QCOMPARE(menu->timeLabel()->text(), QStringLiteral("13:08:20"));
        QCOMPARE(menu->dateLabel()->text(), QStringLiteral("2010/11/08"));
        QCOMPARE(menu->weekdayLabel()->text(), QStringLiteral("月曜日"));
        QCOMPARE(f.spansFile(), QByteArray("60,30,0,0\r\n"));
        QCOMPARE(menu->windowTitle(), QStringLiteral("ＱＺタイマー"));
    }

    void startReadsTheSettingsAfterTheFirstFrame_data() {
        QTest::addColumn<bool>("leftUnpainted");
        QTest::newRow("painted") << false;
        QTest::newRow("left before its first paint") << true;
    }
    // At the program's start the launcher is shown at once and reads the settings once it is
    // on the screen: the defaults are written after its first paint, not before. Left before
    // that, it reads them before the next window takes its own activation step.
    void startReadsTheSettingsAfterTheFirstFrame() {
        QFETCH(bool, leftUnpainted);
        Fixture f;
        auto* menu = static_cast<LauncherWindow*>(f.wm.showFirst(WindowId::Launcher));
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->timeLabel()->text(), QStringLiteral("13:08:20"));
        QCOMPARE(f.spansFile(), QByteArray());
        if (leftUnpainted) {
            f.state.setAlarmRingSeconds(1);
            QCOMPARE(f.wm.switchTo(WindowId::BigClock, menu)->windowId(), WindowId::BigClock);
            QCOMPARE(f.spansFile(), QByteArray("60,30,0,0\r\n"));
            QCOMPARE(f.state.alarmRingSeconds(), 60);
        } else {
            QTRY_COMPARE(f.spansFile(), QByteArray("60,30,0,0\r\n"));
            QCOMPARE(f.wm.current(), menu);
        }
    }

    void dateAndWeekdayChangeOnTheFirstTickAfterMidnight() {
        Fixture f;
        f.tp.clock.set(QDateTime(QDate(2010, 11, 13), QTime(23, 59, 59, 900)));
        LauncherWindow* menu = f.start();
        QCOMPARE(menu->weekdayLabel()->text(), QStringLiteral("土曜日"));
        f.tp.clock.advanceMs(150);
        tick(menu);
        QCOMPARE(menu->timeLabel()->text(), QStringLiteral("00:00:00"));
        QCOMPARE(menu->dateLabel()->text(), QStringLiteral("2010/11/14"));
        QCOMPARE(menu->weekdayLabel()->text(), QStringLiteral("日曜日"));

        auto* big = static_cast<BigClockWindow*>(f.wm.switchTo(WindowId::BigClock, menu));
        f.tp.clock.set(QDateTime(QDate(2010, 11, 14), QTime(23, 59, 59)));
        tick(big);
        QCOMPARE(big->weekdayLabel()->text(), QStringLiteral("日曜日"));
        f.tp.clock.advanceSeconds(1);
        tick(big);
        QCOMPARE(big->timeLabel()->text(), QStringLiteral("00:00:00"));
        QCOMPARE(big->dateLabel()->text(), QStringLiteral("2010/11/15"));
        QCOMPARE(big->weekdayLabel()->text(), QStringLiteral("月曜日"));
    }

    void exactlyOneWindowAfterEverySwitch() {
        Fixture f;
        QzWindow* w = f.start();
        QCOMPARE(visibleProgramWindows(), 1);
        using L = LauncherWindow;
        const std::pair<L::Role, WindowId> buttons[] = {{L::TimerButton, WindowId::Timer},
                                                        {L::CountdownButton, WindowId::Countdown},
                                                        {L::StopwatchButton, WindowId::Stopwatch},
                                                        {L::AddButton, WindowId::CalcAdd},
                                                        {L::ElapsedButton, WindowId::CalcElapsed}};
        for (const auto& [button, tool] : buttons) {
            click(static_cast<L*>(w)->control(button));
            QCOMPARE(visibleProgramWindows(), 1);
            QVERIFY(f.wm.current() != w);
            w = f.wm.current();
            QCOMPARE(w->windowId(), tool);
            f.wm.switchTo(WindowId::Launcher, w); // the tool's "ﾒﾆｭｰへ"
            QCOMPARE(visibleProgramWindows(), 1);
            w = f.wm.current();
            QCOMPARE(w->windowId(), WindowId::Launcher);
        }
        QTest::mouseClick(static_cast<LauncherWindow*>(w)->bigClockPicture(), Qt::LeftButton);
        QCOMPARE(f.wm.current()->windowId(), WindowId::BigClock);
        click(static_cast<BigClockWindow*>(f.wm.current())->closeButton());
        QCOMPARE(f.wm.current()->windowId(), WindowId::Launcher);
        QCOMPARE(visibleProgramWindows(), 1);
        QCOMPARE(f.quits, 0);
    }

    // A tool twice the launcher's width, opened from a launcher at the screen's right edge,
    // must still fit on the screen.
    void aWiderWindowStaysOnTheScreen() {
        struct WideWindow : QzWindow {
            explicit WideWindow(AppContext& c) : QzWindow(c, WindowId::CalcAdd) {
                setFixedSize(700, 300);
            }
        };
        Fixture f;
        f.registerWindow<WideWindow>(WindowId::CalcAdd);
        LauncherWindow* menu = f.start();
        const QRect free = menu->screen()->availableGeometry();
        menu->move(free.right() - menu->frameGeometry().width() + 1, free.top() + 10);
        const QRect at = f.wm.switchTo(WindowId::CalcAdd, menu)->frameGeometry();
        QVERIFY2(free.contains(at), qPrintable(QStringLiteral("x %1..%2 outside %3..%4")
                                                   .arg(at.left())
                                                   .arg(at.right())
                                                   .arg(free.left())
                                                   .arg(free.right())));
        QCOMPARE(at.top(), free.top() + 10); // only as far as it must
    }

    void returningToTheLauncherReloadsTheSpans() {
        Fixture f;
        LauncherWindow* menu = f.start();
        click(menu->control(LauncherWindow::TimerButton));
        // What the notification timer's "２分間" writes.
        f.state.setAlarmRingSeconds(120);
        QVERIFY(f.state.saveSpans());
        f.state.setAlarmRingSeconds(1);
        f.wm.switchTo(WindowId::Launcher, f.wm.current());
        QCOMPARE(f.state.alarmRingSeconds(), 120);
    }

    void versionBoxMakesTheLauncherActiveAgain() {
        Fixture f;
        LauncherWindow* menu = f.start();
        int shown = 0;
        menu->setVersionBoxPresenter([&](QWidget*) {
            ++shown;
            QVERIFY(writeFileAtomically(f.state.programFile(QLatin1String(kSpansFile)),
                                        "10,20,0,0\r\n"));
        });
        trigger(menu, "M32");
        QCOMPARE(shown, 1);
        QCOMPARE(f.state.alarmRingSeconds(), 10);
        QCOMPARE(f.state.countdownRingSeconds(), 20);
        QCOMPARE(f.wm.current(), menu);
    }

    // Without a window manager nobody hands the focus back when a message box or file dialog
    // closes; the window takes it, so that its Ctrl shortcuts work at once.
    void windowTakesTheFocusBackWhenADialogCloses() {
        Fixture f;
        LauncherWindow* menu = f.start();
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!menu->isActiveWindow());
        QEvent unblocked(QEvent::WindowUnblocked);
        QCoreApplication::sendEvent(menu, &unblocked);
        QTRY_VERIFY(menu->isActiveWindow());
    }

    void exitClosesHelpOnlyWhenItWasOpened() {
        {
            Fixture f;
            LauncherWindow* menu = f.start();
            trigger(menu, "M11");
            QCOMPARE(f.quits, 1);
            QCOMPARE(f.tp.help.closeAlls, 0);
        }
        {
            // Help opened in one window, the program ended from another.
            Fixture f;
            LauncherWindow* menu = f.start();
            trigger(menu, "M31");
            QCOMPARE(f.tp.help.displays, 1);
            QCOMPARE(f.state.helpOpened(), true);
            auto* big = static_cast<BigClockWindow*>(f.wm.switchTo(WindowId::BigClock, menu));
            click(big->exitButton());
            QCOMPARE(f.tp.help.closeAlls, 1);
            QCOMPARE(f.state.helpOpened(), false);
            QCOMPARE(f.quits, 1);
        }
    }

    void closingTheWindowFromItsFrameEndsTheProgram() {
        Fixture f;
        LauncherWindow* menu = f.start();
        trigger(menu, "Toolbar1_2");
        menu->close();
        QCOMPARE(f.quits, 1);
        QCOMPARE(f.tp.help.closeAlls, 1);
    }

    void calculatorStartsOrSaysWhyNot() {
        Fixture f;
        LauncherWindow* menu = f.start();
        trigger(menu, "M21");
        QCOMPARE(f.tp.calculator.folders, QStringList{f.dir.path()});
        QVERIFY(f.tp.messages.shown.isEmpty());
        f.tp.calculator.succeed = false;
        trigger(menu, "Toolbar1_1");
        QCOMPARE(f.tp.messages.shown.size(), 1);
        QVERIFY(f.tp.messages.lastText().contains(QStringLiteral("電卓")));
        QCOMPARE(f.tp.calculator.folders.size(), 2);
        QCOMPARE(f.quits, 0);
    }

    // The window icon is drawn once the launcher has been painted: not before, not twice, and
    // still when the window goes away before it was ever painted.
    void workAfterTheFirstPaintRunsOnceThePaintIsDone() {
        struct Painted : QWidget {
            bool painted = false;
            void paintEvent(QPaintEvent*) override { painted = true; }
        };
        auto* shown = new Painted;
        int runs = 0;
        bool paintedFirst = false;
        runAfterFirstPaint(shown, [&] {
            paintedFirst = shown->painted;
            ++runs;
        });
        QCoreApplication::processEvents();
        QCOMPARE(runs, 0);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QTRY_COMPARE(runs, 1);
        QVERIFY(paintedFirst);
        shown->repaint();
        QCoreApplication::processEvents();
        delete shown;
        QCOMPARE(runs, 1);

        auto* unpainted = new QWidget;
        int unpaintedRuns = 0;
        runAfterFirstPaint(unpainted, [&] { ++unpaintedRuns; });
        delete unpainted;
        QCOMPARE(unpaintedRuns, 1);
    }

    void launcherPlaysNoSound() {
        Fixture f;
        f.start();
        QVERIFY(f.tp.sounds.requests.isEmpty());
    }
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
