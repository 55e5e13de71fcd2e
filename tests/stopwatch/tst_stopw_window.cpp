#include "stopwatch/stopw_window.h"
#include "ui/clock.h"
#include "ui/clock_ticker.h"
#include "ui/look.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace qz;

namespace {
class OtherWindow : public QzWindow {
  public:
    OtherWindow(AppContext& c, WindowId id) : QzWindow(c, id) {}
};

QDateTime at(int h, int m, int s, QDate d = QDate(2010, 11, 8)) {
    return QDateTime(d, QTime(h, m, s));
}

// A stopwatch window opened the way the launcher opens it, with a stand-in launcher to return
// to.
struct Fixture {
    TestPlatform tp;
    QTemporaryDir dir;
    AppState state{dir.path()};
    int quits = 0;
    WindowManager wm{state, tp.platform(), [this] { ++quits; }};
    STOPW* w = nullptr;

    Fixture() {
        wm.registerWindow(WindowId::Stopwatch, [](AppContext& c) { return new STOPW(c); });
        wm.registerWindow(WindowId::Menu,
                          [](AppContext& c) { return new OtherWindow(c, WindowId::Menu); });
        tp.clock.set(at(10, 0, 0));
        w = static_cast<STOPW*>(wm.switchTo(WindowId::Stopwatch, nullptr));
    }
    // Moves the clock and lets the stopwatch tick, as its timer would.
    void after(int seconds) {
        tp.clock.advanceSeconds(seconds);
        if (w->Timer2->isEnabled()) w->Timer2_Timer();
    }
    QString shown() const {
        // Both views always show the same value.
        if (w->Label2->text() != w->Label5->text())
            return QStringLiteral("normal %1, big %2").arg(w->Label2->text(), w->Label5->text());
        return w->Label2->text();
    }
};
} // namespace

class TstStopwWindow : public QObject {
    Q_OBJECT
  private slots:
    void controls() {
        Fixture f;
        QCOMPARE(f.w->windowTitle(), QStringLiteral("ストップウォッチ"));
        const QList<QPair<QPushButton*, QString>> buttons = {
            {f.w->Command1, QStringLiteral("スタート")},
            {f.w->Command2, QStringLiteral("一時停止")},
            {f.w->Command5, QStringLiteral("CONT")},
            {f.w->Command3, QStringLiteral("クリア")},
            {f.w->Command6, QStringLiteral("ﾒﾆｭｰへ")},
            {f.w->Command4, QStringLiteral("終了")}};
        for (const auto& [b, text] : buttons)
            QCOMPARE(b->text(), text);
        QCOMPARE(f.w->Label3->text(), QStringLiteral("時刻："));
        QCOMPARE(f.w->Label4->text(), QStringLiteral("ストップウォッチ："));
        QCOMPARE(f.w->Frame2->title(), QStringLiteral("時間表示"));
        QCOMPARE(f.w->Option1->text(), QStringLiteral("通常表示"));
        QCOMPARE(f.w->Option2->text(), QStringLiteral("大きい表示"));
        QCOMPARE(f.w->Label2->text(), QString());
        QVERIFY(f.w->Timer1->isEnabled());
        QVERIFY(!f.w->Timer2->isEnabled());
        QCOMPARE(f.w->centralWidget()->palette().color(QPalette::Window), QColor(0x80, 0xFF, 0x80));
        for (QLabel* l : {f.w->Label1, f.w->Label2}) {
            QVERIFY(l->font().bold());
            QCOMPARE(l->font().pointSizeF(), 12.0);
            QCOMPARE(l->palette().color(QPalette::Window), QColor(Qt::white));
        }
        // 120 points, or less where the face would not fit a reading into the panel.
        const QFont big = f.w->Label5->font();
        QVERIFY(big.pointSizeF() <= 120.0 && big.pointSizeF() >= 60.0);
        QVERIFY(QFontMetrics(big).horizontalAdvance(QStringLiteral("00:00:00")) <=
                f.w->Picture1->width());
        QVERIFY(QFontMetrics(big).height() <= f.w->Picture1->height());
        const QList<QAction*> tools = f.w->Toolbar1->actions();
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
        QCOMPARE(f.w->Label5->geometry(), f.w->Picture1->rect());
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
        QVERIFY(frame->geometry().bottom() < f.w->Command1->y());
        QVERIFY(frame->y() > f.w->Label2->geometry().bottom());
    }

    // Enter presses the focused button, as Space does.
    void enterPressesTheFocusedButton() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.w));
        f.w->Command1->setFocus();
        QTest::keyClick(f.w->Command1, Qt::Key_Return);
        QVERIFY(f.w->Timer2->isEnabled());
        f.w->Command2->setFocus();
        QTest::keyClick(f.w->Command2, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!f.w->Timer2->isEnabled());
    }

    void clockLine() {
        Fixture f;
        f.tp.clock.set(at(13, 8, 20));
        f.w->Timer1_Timer();
        QCOMPARE(f.w->Label1->text(), QStringLiteral("13:08:20"));
    }

    void startPauseContinue() {
        Fixture f;
        f.w->Command1->click();
        QVERIFY(f.w->Timer2->isEnabled());
        QCOMPARE(f.shown(), QStringLiteral("00:00:00"));
        QCOMPARE(f.w->focusWidget(), f.w->Command2);
        f.after(5);
        f.w->Command2->click();
        QVERIFY(!f.w->Timer2->isEnabled());
        QCOMPARE(f.shown(), QStringLiteral("00:00:05"));
        QCOMPARE(f.w->focusWidget(), f.w->Command5);
        f.after(30);
        QCOMPARE(f.shown(), QStringLiteral("00:00:05"));
        f.w->Command5->click();
        QVERIFY(f.w->Timer2->isEnabled());
        QCOMPARE(f.w->focusWidget(), f.w->Command2);
        f.after(3);
        QCOMPARE(f.shown(), QStringLiteral("00:00:08"));
    }

    void startWhileRunningRestarts() {
        Fixture f;
        f.w->Command1_Click();
        f.after(42);
        f.w->Command1_Click();
        QCOMPARE(f.shown(), QStringLiteral("00:00:00"));
        f.after(2);
        QCOMPARE(f.shown(), QStringLiteral("00:00:02"));
    }

    void clearEmptiesBothDisplaysAtOnce() {
        Fixture f;
        f.w->Command1_Click();
        f.after(7);
        QCOMPARE(f.shown(), QStringLiteral("00:00:07"));
        f.w->Command3->click();
        QCOMPARE(f.w->Label2->text(), QString());
        QCOMPARE(f.w->Label5->text(), QString());
        QVERIFY(!f.w->Timer2->isEnabled());
        QCOMPARE(f.w->focusWidget(), f.w->Command1);
    }

    void switchingViewsKeepsARunGoing() {
        Fixture f;
        const QSize normal = f.w->size();
        f.w->Command1_Click();
        f.after(3);
        f.w->Option2->click();
        QVERIFY(f.w->Picture1->isVisible());
        QVERIFY(f.w->width() > normal.width());
        QCOMPARE(f.w->width() - normal.width(), twips(12400) - twips(3700));
        QVERIFY(f.w->Timer2->isEnabled());
        f.after(2);
        QCOMPARE(f.w->Label5->text(), QStringLiteral("00:00:05"));
        f.w->Option1->click();
        QVERIFY(!f.w->Picture1->isVisible());
        QCOMPARE(f.w->size(), normal);
        QVERIFY(f.w->Timer2->isEnabled());
        f.after(1);
        QCOMPARE(f.shown(), QStringLiteral("00:00:06"));
    }

    void activationReturnsToTheNormalView() {
        Fixture f;
        f.w->Option2->click();
        QVERIFY(f.w->Picture1->isVisible());
        f.w->formActivate();
        QVERIFY(f.w->Option1->isChecked());
        QVERIFY(!f.w->Picture1->isVisible());
    }

    void runAcrossMidnight() {
        Fixture f;
        f.tp.clock.set(at(23, 59, 58));
        f.w->Command1_Click();
        f.tp.clock.set(at(0, 0, 3, QDate(2010, 11, 9)));
        f.w->Timer2_Timer();
        QCOMPARE(f.shown(), QStringLiteral("00:00:05"));
    }

    void pauseAndContinueMisuse() {
        Fixture f;
        // Pause before any Start: nothing happens.
        f.w->Command2_Click();
        QCOMPARE(f.shown(), QString());
        QVERIFY(!f.w->Timer2->isEnabled());
        // CONT before any Start starts.
        f.w->Command5_Click();
        QVERIFY(f.w->Timer2->isEnabled());
        f.after(4);
        QCOMPARE(f.shown(), QStringLiteral("00:00:04"));
        // A second Pause does not bank the run twice.
        f.w->Command2_Click();
        f.after(10);
        f.w->Command2_Click();
        QCOMPARE(f.shown(), QStringLiteral("00:00:04"));
        f.w->Command5_Click();
        f.after(1);
        QCOMPARE(f.shown(), QStringLiteral("00:00:05"));
    }

    // The tick is driven by the clock ticker, not by the test.
    void tickerDrivesTheDisplay() {
        Fixture f;
        f.w->Command1_Click();
        f.tp.clock.advanceSeconds(9);
        QTRY_COMPARE_WITH_TIMEOUT(f.w->Label2->text(), QStringLiteral("00:00:09"), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(f.w->Label1->text(), QStringLiteral("10:00:09"), 3000);
    }

    void menuButtonReturnsToTheLauncher() {
        Fixture f;
        f.w->Command1_Click();
        f.w->Command6->click();
        QCOMPARE(f.wm.current()->windowId(), WindowId::Menu);
        QCOMPARE(f.quits, 0);
    }

    void exitAndTools() {
        Fixture f;
        f.w->Toolbar1_ButtonClick(1);
        QCOMPARE(f.tp.calculator.folders, QStringList{f.state.programFolder()});
        f.w->Toolbar1_ButtonClick(2);
        QCOMPARE(f.tp.help.displays, 1);
        QCOMPARE(f.state.helpOpened, 1);
        f.w->Command4->click();
        QCOMPARE(f.quits, 1);
        QCOMPARE(f.tp.help.closeAlls, 1);
    }
};

QTEST_MAIN(TstStopwWindow)
#include "tst_stopw_window.moc"
