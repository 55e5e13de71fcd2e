#include "app/menu_window.h"
#include "sound/file_io.h"
#include "tests/support/window_fixture.h"
#include "timer/big_window.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace qz;

// The launcher, the big clock and the switching between the program's windows.
class TestApp : public QObject {
    Q_OBJECT

    struct Fixture : WindowFixture {
        Fixture() {
            registerWindow<MENU>(WindowId::Menu);
            registerWindow<BIG>(WindowId::BigClock);
            for (WindowId id : {WindowId::Timer, WindowId::Countdown, WindowId::Stopwatch,
                                WindowId::CalcAdd, WindowId::CalcElapsed})
                wm.registerWindow(id, [id](AppContext& c) {
                    return new ShellWindow(c, id, QStringLiteral("Shell"), QStringLiteral("道具"));
                });
        }
        MENU* start() { return open<MENU>(WindowId::Menu); }
        QByteArray spansFile() {
            QFile f(state.programFile(kSpansFile));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }
    };

    static QString text(QWidget* w, const char* name) {
        return w->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    static int visibleProgramWindows() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QzWindow*>(w) && w->isVisible())
                ++n;
        return n;
    }

private slots:
    void launcherShowsTheClockAndWritesDefaultSpans() {
        Fixture f;
        MENU* menu = f.start();
        QCOMPARE(text(menu, "Label1"), QStringLiteral("13:08:20"));
        QCOMPARE(text(menu, "Label2"), QStringLiteral("2010/11/08"));
        QCOMPARE(text(menu, "Label3"), QStringLiteral("月曜日"));
        QCOMPARE(f.spansFile(), QByteArray("60,30,0,0\r\n"));
        QCOMPARE(menu->windowTitle(), QStringLiteral("ＱＺタイマー"));
    }

    void dateAndWeekdayChangeOnTheFirstTickAfterMidnight() {
        Fixture f;
        f.tp.clock.set(QDateTime(QDate(2010, 11, 13), QTime(23, 59, 59, 900)));
        MENU* menu = f.start();
        QCOMPARE(text(menu, "Label3"), QStringLiteral("土曜日"));
        f.tp.clock.advanceMs(150);
        menu->Timer1_Timer();
        QCOMPARE(text(menu, "Label1"), QStringLiteral("00:00:00"));
        QCOMPARE(text(menu, "Label2"), QStringLiteral("2010/11/14"));
        QCOMPARE(text(menu, "Label3"), QStringLiteral("日曜日"));

        auto* big = static_cast<BIG*>(f.wm.switchTo(WindowId::BigClock, menu));
        f.tp.clock.set(QDateTime(QDate(2010, 11, 14), QTime(23, 59, 59)));
        big->Timer1_Timer();
        QCOMPARE(text(big, "Label3"), QStringLiteral("日曜日"));
        f.tp.clock.advanceSeconds(1);
        big->Timer1_Timer();
        QCOMPARE(text(big, "Label1"), QStringLiteral("00:00:00"));
        QCOMPARE(text(big, "Label2"), QStringLiteral("2010/11/15"));
        QCOMPARE(text(big, "Label3"), QStringLiteral("月曜日"));
    }

    void exactlyOneWindowAfterEverySwitch() {
        Fixture f;
        QzWindow* w = f.start();
        QCOMPARE(visibleProgramWindows(), 1);
        const char* buttons[] = {"Command1", "Command2", "Command3", "Command4", "Command5"};
        for (const char* b : buttons) {
            w->findChild<QPushButton*>(QString::fromLatin1(b))->click();
            QCOMPARE(visibleProgramWindows(), 1);
            QVERIFY(f.wm.current() != w);
            w = f.wm.current();
            QCOMPARE(w->windowTitle(), QStringLiteral("道具"));
            w->findChild<QPushButton*>(QStringLiteral("Command2"))->click(); // "ﾒﾆｭｰへ"
            QCOMPARE(visibleProgramWindows(), 1);
            w = f.wm.current();
            QCOMPARE(w->windowId(), WindowId::Menu);
        }
        static_cast<MENU*>(w)->Image1_Click();
        QCOMPARE(f.wm.current()->windowId(), WindowId::BigClock);
        f.wm.current()->findChild<QPushButton*>(QStringLiteral("Command1"))->click(); // "閉じる"
        QCOMPARE(f.wm.current()->windowId(), WindowId::Menu);
        QCOMPARE(visibleProgramWindows(), 1);
        QCOMPARE(f.quits, 0);
    }

    void returningToTheLauncherReloadsTheSpans() {
        Fixture f;
        MENU* menu = f.start();
        menu->Command2_Click();
        // What the notification timer's "２分間" writes.
        f.state.alarmRingSeconds = 120;
        QVERIFY(f.state.saveSpans());
        f.state.alarmRingSeconds = 1;
        f.wm.switchTo(WindowId::Menu, f.wm.current());
        QCOMPARE(f.state.alarmRingSeconds, 120);
    }

    void versionBoxMakesTheLauncherActiveAgain() {
        Fixture f;
        MENU* menu = f.start();
        int shown = 0;
        menu->showVersionBox = [&](QWidget*) {
            ++shown;
            QVERIFY(writeFileAtomically(f.state.programFile(kSpansFile), "10,20,0,0\r\n"));
        };
        menu->findChild<QAction*>(QStringLiteral("M32"))->trigger();
        QCOMPARE(shown, 1);
        QCOMPARE(f.state.alarmRingSeconds, 10);
        QCOMPARE(f.state.countdownRingSeconds, 20);
        QCOMPARE(f.wm.current(), menu);
    }

    void exitClosesHelpOnlyWhenItWasOpened() {
        {
            Fixture f;
            MENU* menu = f.start();
            menu->findChild<QAction*>(QStringLiteral("M11"))->trigger();
            QCOMPARE(f.quits, 1);
            QCOMPARE(f.tp.help.closeAlls, 0);
        }
        {
            // Help opened in one window, the program ended from another.
            Fixture f;
            MENU* menu = f.start();
            menu->findChild<QAction*>(QStringLiteral("M31"))->trigger();
            QCOMPARE(f.tp.help.displays, 1);
            QCOMPARE(f.state.helpOpened, 1);
            auto* big = f.wm.switchTo(WindowId::BigClock, menu);
            big->findChild<QPushButton*>(QStringLiteral("Command2"))->click(); // "終了"
            QCOMPARE(f.tp.help.closeAlls, 1);
            QCOMPARE(f.state.helpOpened, 0);
            QCOMPARE(f.quits, 1);
        }
    }

    void closingTheWindowFromItsFrameEndsTheProgram() {
        Fixture f;
        MENU* menu = f.start();
        menu->Toolbar1_ButtonClick(2);
        menu->close();
        QCOMPARE(f.quits, 1);
        QCOMPARE(f.tp.help.closeAlls, 1);
    }

    void calculatorStartsOrSaysWhyNot() {
        Fixture f;
        MENU* menu = f.start();
        menu->findChild<QAction*>(QStringLiteral("M21"))->trigger();
        QCOMPARE(f.tp.calculator.folders, QStringList{f.dir.path()});
        QVERIFY(f.tp.messages.shown.isEmpty());
        f.tp.calculator.succeed = false;
        menu->Toolbar1_ButtonClick(1);
        QCOMPARE(f.tp.messages.shown.size(), 1);
        QVERIFY(f.tp.messages.lastText().contains(QStringLiteral("電卓")));
        menu->Toolbar1_ButtonClick(3); // no such button: nothing happens
        QCOMPARE(f.tp.calculator.folders.size(), 2);
        QCOMPARE(f.quits, 0);
    }

    void launcherPlaysNoSound() {
        Fixture f;
        f.start();
        QVERIFY(f.tp.sounds.requests.isEmpty());
    }
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
