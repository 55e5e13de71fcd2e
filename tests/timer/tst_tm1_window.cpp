#include "app/app_state.h"
#include "app/window_manager.h"
#include "sound/file_io.h"
#include "sound/settings_files.h"
#include "tests/support/test_platform.h"
#include "timer/tm1_window.h"
#include "ui/click_label.h"
#include "ui/clock.h"
#include "ui/dialogs.h"
#include "ui/look.h"
#include "ui/sound_player.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace qz;

namespace {

const QDate kDay(2010, 11, 8);

QDateTime at(int h, int m, int s, int ms = 0, QDate day = kDay) {
    return QDateTime(day, QTime(h, m, s, ms));
}

// Stands in for the windows the notification timer switches to.
class OtherWindow : public QzWindow {
  public:
    OtherWindow(AppContext& c, WindowId id) : QzWindow(c, id) {}
};

struct Fixture {
    TestPlatform tp;
    QTemporaryDir dir;
    AppState state{dir.path()};
    int quits = 0;
    WindowManager wm{state, tp.platform(), [this] { ++quits; }};
    TM1* w = nullptr;

    explicit Fixture(const QDateTime& now = at(13, 8, 20)) {
        tp.clock.set(now);
        wm.registerWindow(WindowId::Timer, [](AppContext& c) { return new TM1(c); });
        for (WindowId id : {WindowId::Menu, WindowId::SoundSettings})
            wm.registerWindow(id, [id](AppContext& c) { return new OtherWindow(c, id); });
    }

    // Writes TONESPAN.DAT and reads it the way the launcher does before the timer opens.
    void spansFile(const Spans& s) {
        QVERIFY(writeFileAtomically(state.programFile(kSpansFile), spansBytes(s)));
        QVERIFY(state.loadSpans());
    }

    TM1* open() {
        w = static_cast<TM1*>(wm.switchTo(WindowId::Timer, nullptr));
        if (w && !QTest::qWaitForWindowActive(w)) qWarning("window not active");
        return w;
    }

    template <class T = QWidget> T* c(const char* name) const {
        T* found = w->findChild<T*>(QString::fromLatin1(name));
        if (!found) qFatal("no control %s", name);
        return found;
    }
    QLineEdit* box(const char* name) const { return c<QLineEdit>(name); }
    QAction* action(const char* name) const { return c<QAction>(name); }
    QWidget* focus() const { return QApplication::focusWidget(); }

    // Clicks into a box (its focus step runs), types and presses Enter.
    void enter(const char* boxName, const QString& text) {
        QLineEdit* b = box(boxName);
        if (QApplication::focusWidget() != b) QTest::mouseClick(b, Qt::LeftButton);
        b->selectAll();
        QTest::keyClicks(b, text);
        QTest::keyClick(b, Qt::Key_Return);
    }

    quint32 colour(QWidget* wdg, QPalette::ColorRole role) const {
        const QColor col = wdg->palette().color(role);
        return quint32(col.red()) | quint32(col.green()) << 8 | quint32(col.blue()) << 16;
    }
    quint32 lamp(int k) const {
        return colour(c(QStringLiteral("Shape%1").arg(k).toLatin1().constData()), QPalette::Window);
    }
    quint32 memoColour(const char* memo) const { return colour(box(memo), QPalette::Base); }

    // Runs the rows' timers in 100 ms steps of the test clock up to `end`, as their intervals
    // give: watchers every step, each ringer at its own interval from when it started.
    std::array<int, kAlarmRows> since{};
    std::array<bool, kAlarmRows> was{};
    void runUntil(const QDateTime& end) {
        while (tp.clock.now() < end) {
            tp.clock.advanceMs(100);
            for (int k = 1; k <= kAlarmRows; ++k) {
                const TM1::Row& r = w->row(k);
                if (r.watcher->isActive()) w->Watcher_Timer(k);
                if (!r.ringer->isActive()) {
                    was[k - 1] = false;
                    continue;
                }
                if (!was[k - 1]) {
                    was[k - 1] = true;
                    since[k - 1] = 0;
                    continue;
                }
                since[k - 1] += 100;
                if (since[k - 1] >= r.ringer->interval()) {
                    since[k - 1] = 0;
                    w->Ringer_Timer(k);
                }
            }
        }
    }
    QString wave(int k) const { return "wave:" + state.wavePath(k); }
};

} // namespace

class TestTM1 : public QObject {
    Q_OBJECT
  private slots:
    void loadAndActivate();
    void controlsAndCaptions();
    void entry_data();
    void entry();
    void emptyEnter();
    void tenSecondRing();
    void beepOnlyRow();
    void ringAcrossMidnight();
    void clickingArmedBoxDisarms();
    void labelClicks();
    void reArmAfterStopByDuration();
    void stopByHand();
    void clearAllWhileTwoRowsRing();
    void keyMoves_data();
    void keyMoves();
    void keyMovesSkipDisabledBoxes();
    void memoEnterSkipsRingingRow();
    void ringSpanMenu();
    void ringSpanFromFile45();
    void ringSpanSaveFails();
    void overlongSoundNameIsReported();
    void layoutButtonsKeepRow1Armed_data();
    void layoutButtonsKeepRow1Armed();
    void minimisedWhileRinging();
    void tenRowsRingingStayResponsive();
    void leavingStopsRows();
    void toolbarAndMenus();
    void enterPressesTheFocusedButton();
    void typingWhileARowRingsIsKept();
    void longSourceNameIsElided();
    void wideLayoutStaysOnScreen();
};

void TestTM1::loadAndActivate() {
    Fixture f;
    TM1* w = f.open();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("お知らせタイマー"));
    QVERIFY(QFileInfo::exists(f.state.programFile(kSoundsFile))); // defaults written
    QCOMPARE(f.c<QLabel>("Label31")->text(), QString("１分間"));
    QVERIFY(f.action("M213")->isChecked());
    for (const char* other : {"M211", "M212", "M214", "M215", "M216"})
        QVERIFY(!f.action(other)->isChecked());
    QCOMPARE(w->engine().ringSecondsInUse, 60);
    QCOMPARE(f.c<QLabel>("Label20")->text(), QString("時間")); // row 3
    QCOMPARE(f.c<QLabel>("Label37")->text(), QString("BP"));   // row 9
    QCOMPARE(f.c<QLabel>("Label38")->text(), QString("BP"));   // row 10
    QCOMPARE(f.c<QLabel>("Label1")->text(), QString("13:08:20"));
    QCOMPARE(f.c<QLabel>("Label40")->text(), QString("13:08:20"));
    QCOMPARE(f.c<QLabel>("Label41")->text(), QString("2010/11/08"));
    QCOMPARE(f.c<QLabel>("Label42")->text(), weekdayName(kDay));
    QCOMPARE(f.c<QLabel>("Label40")->font().pointSizeF(), 90.0);
    QCOMPARE(f.c<QLabel>("Label41")->font().pointSizeF(), 36.0);
    QVERIFY(!f.c("Picture1")->isVisible());
    QVERIFY(f.c("Command25")->isVisible());
    QVERIFY(!f.c("Command26")->isVisible());
    QCOMPARE(w->width(), twips(6630 - 120));
    QCOMPARE(f.focus(), f.box("Text1"));

    // The clocks follow the clock, not the tick count.
    f.tp.clock.set(at(13, 9, 0));
    w->Timer21_Timer();
    w->Timer22_Timer();
    QCOMPARE(f.c<QLabel>("Label1")->text(), QString("13:09:00"));
    QCOMPARE(f.c<QLabel>("Label40")->text(), QString("13:09:00"));
}

void TestTM1::controlsAndCaptions() {
    Fixture f;
    TM1* w = f.open();
    const char* numbers[] = {"Label10", "Label11", "Label12", "Label13", "Label14",
                             "Label19", "Label18", "Label17", "Label16", "Label15"};
    const char* boxes[] = {"Text1",  "Text2",  "Text3",  "Text4",  "Text5",
                           "Text16", "Text17", "Text18", "Text19", "Text20"};
    const char* memos[] = {"Text6",  "Text7",  "Text8",  "Text9",  "Text10",
                           "Text11", "Text12", "Text13", "Text14", "Text15"};
    const char* displays[] = {"Label2",  "Label3",  "Label4",  "Label5",  "Label6",
                              "Label21", "Label22", "Label23", "Label24", "Label25"};
    const char* stops[] = {"Command1",  "Command2",  "Command3",  "Command4",  "Command5",
                           "Command20", "Command21", "Command22", "Command23", "Command24"};
    const QStringList captions = {"１", "２", "３", "４", "５", "６", "７", "８", "９", "10"};
    for (int k = 1; k <= kAlarmRows; ++k) {
        const TM1::Row& r = w->row(k);
        QCOMPARE(r.number, f.c<ClickLabel>(numbers[k - 1]));
        QCOMPARE(r.timeBox, f.box(boxes[k - 1]));
        QCOMPARE(r.memo, f.box(memos[k - 1]));
        QCOMPARE(r.display, f.c<ClickLabel>(displays[k - 1]));
        QCOMPARE(r.stop, f.c<QPushButton>(stops[k - 1]));
        QCOMPARE(r.watcher->objectName(), QString("Timer%1").arg(2 * k - 1));
        QCOMPARE(r.ringer->objectName(), QString("Timer%1").arg(2 * k));
        QCOMPARE(r.number->text(), captions[k - 1]);
        QCOMPARE(r.number->toolTip(), QString("ｻﾝﾌﾟﾙ音が鳴ります"));
        QCOMPARE(r.source->toolTip(), QString("ｻﾝﾌﾟﾙ音が鳴ります"));
        QCOMPARE(r.source->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(r.stop->text(), QString("停止"));
        QCOMPARE(r.clear->text(), QString("クリア"));
        QCOMPARE(r.timeBox->parentWidget(), r.display);
        QVERIFY(!r.timeBox->hasFrame());
        QVERIFY(r.timeBox->font().bold());
        QCOMPARE(r.timeBox->font().pointSizeF(), 11.25);
        QVERIFY(!r.timeBox->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(r.memo->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(!r.watcher->isActive());
        QVERIFY(!r.ringer->isActive());
        QCOMPARE(r.ringer->interval(), 100);
    }
    QCOMPARE(f.c<QLabel>("Label30")->text(), QString("● 指定時間入力例：13時8分20秒→ 13．08．20"));
    QCOMPARE(f.c<QLabel>("Label33")->text(), QString("●　同時に３つ以上の音は鳴りません。"));
    QCOMPARE(f.c<QLabel>("Label9")->text(), QString("指定時間：(例 13：08：20)"));
    QCOMPARE(f.c<QPushButton>("Command13")->text(), QString("ﾒﾆｭｰへ"));
    QCOMPARE(f.action("M213")->text(), QString("１分間（既定）"));
    QCOMPARE(f.action("M22")->text(), QString("音源設定(&G)"));
    QCOMPARE(f.action("M12")->text(), QString("時刻の大きい表示(&Z)"));
    QCOMPARE(f.c<QToolBar>("Toolbar1")->actions().size(), 2);
    QCOMPARE(f.c<QToolBar>("Toolbar1")->actions().at(1)->toolTip(), QString("ﾍﾙﾌﾟ"));
}

void TestTM1::entry_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("armedFor"); // empty: refused
    QTest::addColumn<QString>("message");
    const QString passed = "時間既に経過しています！";
    const QString invalid = "時間の入力が正しくありません！\n入力例：13時8分20秒→ 13．08．20";
    QTest::newRow("now exactly") << at(13, 8, 20) << "13.08.20"
                                 << "" << passed;
    QTest::newRow("one second ahead") << at(13, 8, 20) << "13.08.21"
                                      << "13:08:21"
                                      << "";
    QTest::newRow("colons") << at(7, 0, 0) << "7:30"
                            << "07:30:00"
                            << "";
    QTest::newRow("bare hour") << at(12, 0, 0) << "13"
                               << "13:00:00"
                               << "";
    QTest::newRow("after midnight") << at(23, 59, 50) << "0.0.10"
                                    << "" << passed;
    QTest::newRow("hour 24") << at(1, 0, 0) << "24"
                             << "" << invalid;
    QTest::newRow("letters") << at(1, 0, 0) << "abc"
                             << "" << invalid;
    QTest::newRow("four fields") << at(1, 0, 0) << "2.3.4.5"
                                 << "" << invalid;
}

void TestTM1::entry() {
    QFETCH(QDateTime, now);
    QFETCH(QString, typed);
    QFETCH(QString, armedFor);
    QFETCH(QString, message);
    Fixture f(now);
    TM1* w = f.open();
    f.enter("Text3", typed);
    QVERIFY(f.box("Text3")->text().isEmpty());
    if (armedFor.isEmpty()) {
        QCOMPARE(f.tp.messages.shown.size(), 1);
        QCOMPARE(f.tp.messages.shown[0].text, message);
        QCOMPARE(f.tp.messages.shown[0].title, QString("CHECK"));
        QVERIFY(!w->engine().armed(3));
        QVERIFY(f.c<QLabel>("Label4")->text().isEmpty());
        QVERIFY(!w->row(3).watcher->isActive());
        QCOMPARE(f.focus(), f.box("Text3"));
    } else {
        QVERIFY(f.tp.messages.shown.isEmpty());
        QCOMPARE(f.c<QLabel>("Label4")->text(), armedFor + " ");
        QVERIFY(w->row(3).watcher->isActive());
        QCOMPARE(w->row(3).watcher->interval(), 100);
        QCOMPARE(f.focus(), f.box("Text8"));
    }
}

void TestTM1::emptyEnter() {
    Fixture f(at(10, 0, 0));
    TM1* w = f.open();
    f.enter("Text2", "");
    QCOMPARE(f.tp.sounds.requests, QStringList{"beep"});
    QCOMPARE(f.focus(), f.box("Text2"));
    f.enter("Text2", "11");
    QCOMPARE(f.focus(), f.box("Text7"));
    // Back into the box without its focus step (the layout flag), then an empty Enter: the
    // row is armed, so the focus moves on to the memo.
    w->row(2).timeBox->setFocus(Qt::ActiveWindowFocusReason);
    QCOMPARE(f.focus(), f.box("Text2"));
    QVERIFY(w->engine().armed(2));
    QTest::keyClick(f.box("Text2"), Qt::Key_Return);
    QCOMPARE(f.focus(), f.box("Text7"));
    QCOMPARE(f.tp.sounds.requests.size(), 1);
}

void TestTM1::tenSecondRing() {
    Fixture f(at(11, 59, 0));
    f.spansFile({10, 30, 0, 0});
    TM1* w = f.open();
    QVERIFY(f.action("M211")->isChecked());
    QCOMPARE(f.c<QLabel>("Label31")->text(), QString("10秒間"));
    f.enter("Text1", "12");
    f.runUntil(at(11, 59, 59, 900));
    QVERIFY(f.tp.sounds.requests.isEmpty());
    QCOMPARE(f.tp.windows.raises, 0);

    f.runUntil(at(12, 0, 0, 100));
    QCOMPARE(f.tp.windows.raises, 1);
    QVERIFY(!f.box("Text1")->isEnabled());
    QVERIFY(w->row(1).ringer->isActive());
    QCOMPARE(f.focus(), f.c("Command1"));
    QVERIFY(w->engine().ringerEnabled(1));

    // Blinks white/red with the memo white/light green, sounding row 1's source each tick.
    QCOMPARE(f.tp.sounds.requests, QStringList{f.wave(1)});
    QCOMPARE(f.lamp(1), kAlarmWhite);
    QCOMPARE(f.memoColour("Text6"), kAlarmWhite);
    f.runUntil(at(12, 0, 0, 200));
    QCOMPARE(f.lamp(1), kAlarmRed);
    QCOMPARE(f.memoColour("Text6"), kAlarmLightGreen);

    f.runUntil(at(12, 0, 10));
    const QStringList rang = f.tp.sounds.requests;
    QVERIFY(rang.size() >= 99);
    QCOMPARE(rang, QStringList(rang.size(), f.wave(1)));
    QVERIFY(w->row(1).ringer->isActive());

    f.runUntil(at(12, 0, 10, 100));
    QVERIFY(!w->row(1).ringer->isActive());
    QVERIFY(!w->engine().ringerEnabled(1));
    QCOMPARE(f.lamp(1), kAlarmRed);
    QCOMPARE(f.memoColour("Text6"), kAlarmLightGreen);
    QCOMPARE(f.c<QLabel>("Label2")->text(), QString("12:00:00 "));
    QVERIFY(!f.box("Text1")->isEnabled());
    f.runUntil(at(12, 0, 20));
    QCOMPARE(f.tp.sounds.requests.size(), rang.size());
}

void TestTM1::beepOnlyRow() {
    Fixture f(at(8, 0, 0));
    TM1* w = f.open();
    f.enter("Text19", "8.0.1"); // row 9, "BP"
    f.runUntil(at(8, 0, 1, 100));
    f.runUntil(at(8, 0, 1, 200));
    QCOMPARE(f.tp.sounds.requests, QStringList{"beep"});
    QCOMPARE(w->row(9).ringer->interval(), 800);
    f.runUntil(at(8, 0, 5));
    QCOMPARE(f.tp.sounds.requests, QStringList(5, "beep"));
    QCOMPARE(w->row(9).ringer->interval(), 800);
    w->ClearButton_Click(9);
    QCOMPARE(w->row(9).ringer->interval(), 100);
    QVERIFY(!w->row(9).ringer->isActive());
    QCOMPARE(f.focus(), f.box("Text19"));
}

void TestTM1::ringAcrossMidnight() {
    Fixture f(at(23, 59, 0));
    TM1* w = f.open();
    f.enter("Text2", "23.59.30");
    const QDate next = kDay.addDays(1);
    f.runUntil(at(0, 0, 30, 0, next));
    QVERIFY(w->row(2).ringer->isActive());
    f.runUntil(at(0, 0, 30, 100, next));
    QVERIFY(!w->row(2).ringer->isActive());
    QCOMPARE(f.lamp(2), kAlarmRed);
    const qsizetype n = f.tp.sounds.requests.size();
    f.runUntil(at(0, 5, 0, 0, next));
    QCOMPARE(f.tp.sounds.requests.size(), n);
}

void TestTM1::clickingArmedBoxDisarms() {
    Fixture f(at(9, 0, 0));
    TM1* w = f.open();
    f.enter("Text4", "9.30");
    QCOMPARE(f.c<QLabel>("Label5")->text(), QString("09:30:00 "));
    f.box("Text9")->setText("会議");
    QTest::mouseClick(f.box("Text4"), Qt::LeftButton);
    QVERIFY(f.c<QLabel>("Label5")->text().isEmpty());
    QVERIFY(!w->row(4).watcher->isActive());
    QCOMPARE(f.box("Text9")->text(), QString("会議"));
    f.runUntil(at(9, 31, 0));
    QVERIFY(f.tp.sounds.requests.isEmpty());
    QCOMPARE(f.tp.windows.raises, 0);
}

void TestTM1::labelClicks() {
    Fixture f(at(9, 0, 0));
    TM1* w = f.open();
    // Ringing row: one sample, then cleared.
    f.enter("Text2", "9.0.1");
    f.box("Text7")->setText("memo");
    f.runUntil(at(9, 0, 2));
    QVERIFY(w->engine().ringerEnabled(2));
    f.tp.sounds.clear();
    QTest::mouseClick(f.c("Label11"), Qt::LeftButton);
    QCOMPARE(f.tp.sounds.requests, QStringList{f.wave(2)});
    QVERIFY(!w->engine().ringerEnabled(2));
    QVERIFY(!w->row(2).ringer->isActive());
    QCOMPARE(f.lamp(2), kAlarmWhite);
    QVERIFY(f.box("Text7")->text().isEmpty());
    QVERIFY(f.c<QLabel>("Label3")->text().isEmpty());
    QVERIFY(f.box("Text2")->isEnabled());
    QCOMPARE(f.focus(), f.box("Text2"));

    // Armed row's source label: sample, focus in the box, disarmed.
    f.enter("Text5", "10");
    f.tp.sounds.clear();
    QTest::mouseClick(f.c("Label27"), Qt::LeftButton);
    QCOMPARE(f.tp.sounds.requests, QStringList{f.wave(5)});
    QCOMPARE(f.focus(), f.box("Text5"));
    QVERIFY(!w->engine().armed(5));
    QVERIFY(f.c<QLabel>("Label6")->text().isEmpty());

    // Beep-only source: a beep as sample.
    f.tp.sounds.clear();
    QTest::mouseClick(f.c("Label15"), Qt::LeftButton);
    QCOMPARE(f.tp.sounds.requests, QStringList{"beep"});
    QCOMPARE(f.focus(), f.box("Text20"));

    // Idle row's display label: focus, no sample.
    f.tp.sounds.clear();
    QTest::mouseClick(f.c("Label22"), Qt::LeftButton, {}, QPoint(f.c("Label22")->width() - 5, 5));
    QVERIFY(f.tp.sounds.requests.isEmpty());
    QCOMPARE(f.focus(), f.box("Text17"));
}

void TestTM1::reArmAfterStopByDuration() {
    Fixture f(at(12, 0, 0));
    f.spansFile({10, 30, 0, 0});
    TM1* w = f.open();
    f.enter("Text1", "12.00.05");
    f.runUntil(at(12, 0, 20));
    QVERIFY(!w->engine().ringerEnabled(1));
    QVERIFY(!f.box("Text1")->isEnabled());

    // The display label opens the box again (no clear): the stopped colours stay.
    QTest::mouseClick(f.c("Label2"), Qt::LeftButton, {}, QPoint(f.c("Label2")->width() - 5, 5));
    QVERIFY(f.box("Text1")->isEnabled());
    QCOMPARE(f.focus(), f.box("Text1"));
    QVERIFY(f.c<QLabel>("Label2")->text().isEmpty());
    QCOMPARE(f.lamp(1), kAlarmRed);

    f.enter("Text1", "12.01");
    f.tp.sounds.clear();
    f.runUntil(at(12, 1, 2));
    QVERIFY(f.tp.sounds.requests.size() >= 19);
    QVERIFY(w->row(1).ringer->isActive());
    f.runUntil(at(12, 1, 11));
    QVERIFY(!w->row(1).ringer->isActive());
}

void TestTM1::stopByHand() {
    Fixture f(at(12, 0, 0));
    TM1* w = f.open();
    f.enter("Text3", "12.00.01");
    f.runUntil(at(12, 0, 3));
    QTest::mouseClick(f.c("Command3"), Qt::LeftButton);
    QCOMPARE(f.lamp(3), kAlarmRed);
    QCOMPARE(f.memoColour("Text8"), kAlarmLightGreen);
    QVERIFY(w->engine().ringerEnabled(3));
    QVERIFY(!w->row(3).ringer->isActive()); // interval 0: no more ticks
    QCOMPARE(w->row(3).ringer->interval(), 0);
    QCOMPARE(f.c<QLabel>("Label4")->text(), QString("12:00:01 "));
    const qsizetype n = f.tp.sounds.requests.size();
    f.runUntil(at(12, 0, 30));
    QCOMPARE(f.tp.sounds.requests.size(), n);
    // The number label now clears the row (ringer still enabled).
    QTest::mouseClick(f.c("Label12"), Qt::LeftButton);
    QCOMPARE(f.lamp(3), kAlarmWhite);
    QCOMPARE(w->row(3).ringer->interval(), 100);
    QVERIFY(f.box("Text3")->isEnabled());
}

void TestTM1::clearAllWhileTwoRowsRing() {
    Fixture f(at(12, 0, 0));
    TM1* w = f.open();
    f.enter("Text1", "12.00.01");
    f.enter("Text20", "12.00.01"); // beep-only row
    f.enter("Text4", "13");
    f.box("Text6")->setText("a");
    f.runUntil(at(12, 0, 4));
    QVERIFY(w->row(1).ringer->isActive());
    QVERIFY(w->row(10).ringer->isActive());
    QCOMPARE(w->row(10).ringer->interval(), 800);

    QTest::mouseClick(f.c("Command11"), Qt::LeftButton);
    for (int k = 1; k <= kAlarmRows; ++k) {
        QVERIFY(!w->row(k).watcher->isActive());
        QVERIFY(!w->row(k).ringer->isActive());
        QCOMPARE(w->row(k).ringer->interval(), 100);
        QVERIFY(w->row(k).timeBox->isEnabled());
        QVERIFY(w->row(k).display->text().isEmpty());
        QVERIFY(w->row(k).memo->text().isEmpty());
        QCOMPARE(f.lamp(k), kAlarmWhite);
        QCOMPARE(f.colour(w->row(k).memo, QPalette::Base), kAlarmWhite);
    }
    QCOMPARE(f.focus(), f.box("Text1"));
    f.tp.sounds.clear();
    f.runUntil(at(13, 0, 5));
    QVERIFY(f.tp.sounds.requests.isEmpty());

    f.enter("Text20", "13.01");
    f.runUntil(at(13, 1, 0, 200));
    QCOMPARE(f.tp.sounds.requests, QStringList{"beep"});
}

void TestTM1::keyMoves_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");
    QTest::newRow("down") << "Text1" << int(Qt::Key_Down) << "Text2";
    QTest::newRow("down 5 to 6") << "Text5" << int(Qt::Key_Down) << "Text16";
    QTest::newRow("up 6 to 5") << "Text16" << int(Qt::Key_Up) << "Text5";
    QTest::newRow("up in row 1") << "Text1" << int(Qt::Key_Up) << "Text1";
    QTest::newRow("down in row 10") << "Text20" << int(Qt::Key_Down) << "Text15";
    QTest::newRow("memo left") << "Text12" << int(Qt::Key_Left) << "Text17";
    QTest::newRow("memo enter") << "Text8" << int(Qt::Key_Return) << "Text4";
    QTest::newRow("memo enter 5 to 6") << "Text10" << int(Qt::Key_Return) << "Text16";
    QTest::newRow("memo enter row 10") << "Text15" << int(Qt::Key_Return) << "Command14";
    QTest::newRow("memo keypad enter") << "Text6" << int(Qt::Key_Enter) << "Text2";
}

void TestTM1::keyMoves() {
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(QString, to);
    Fixture f(at(9, 0, 0));
    TM1* w = f.open();
    f.enter("Text2", "10"); // row 2 armed: moving into its box disarms it
    QWidget* start = f.c(from.toLatin1().constData());
    start->setFocus(Qt::TabFocusReason);
    QTest::keyClick(start, Qt::Key(key));
    QCOMPARE(f.focus()->objectName(), to);
    QCOMPARE(w->engine().armed(2), to != "Text2");
    QVERIFY(f.tp.messages.shown.isEmpty());
}

void TestTM1::keyMovesSkipDisabledBoxes() {
    Fixture f(at(9, 0, 0));
    TM1* w = f.open();
    f.enter("Text3", "9.0.1");
    f.enter("Text20", "9.0.1");
    f.runUntil(at(9, 0, 2));
    QVERIFY(!f.box("Text3")->isEnabled());
    QVERIFY(!f.box("Text20")->isEnabled());

    QLineEdit* t2 = f.box("Text2");
    t2->setFocus(Qt::TabFocusReason);
    QTest::keyClick(t2, Qt::Key_Down);
    QCOMPARE(f.focus(), f.box("Text4"));
    QTest::keyClick(f.box("Text4"), Qt::Key_Up);
    QCOMPARE(f.focus(), t2);
    // Nothing enabled below row 9: the key does nothing.
    f.box("Text19")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f.box("Text19"), Qt::Key_Down);
    QCOMPARE(f.focus(), f.box("Text19"));
    // A ringing row's memo: Left cannot reach the closed box and stays a caret move.
    f.box("Text8")->setText("ab");
    f.box("Text8")->setFocus(Qt::TabFocusReason);
    f.box("Text8")->setCursorPosition(2);
    QTest::keyClick(f.box("Text8"), Qt::Key_Left);
    QCOMPARE(f.focus(), f.box("Text8"));
    QCOMPARE(f.box("Text8")->cursorPosition(), 1);
    QVERIFY(w->engine().ringerEnabled(3));
}

void TestTM1::memoEnterSkipsRingingRow() {
    Fixture f(at(9, 0, 0));
    TM1* w = f.open();
    f.enter("Text3", "9.0.1");
    f.runUntil(at(9, 0, 2));
    QLineEdit* memo2 = f.box("Text7");
    memo2->setFocus(Qt::TabFocusReason);
    QTest::keyClick(memo2, Qt::Key_Return);
    QCOMPARE(f.focus(), f.box("Text4"));
    QVERIFY(w->engine().armed(3));
    QVERIFY(w->row(3).ringer->isActive());
}

void TestTM1::ringSpanMenu() {
    Fixture f;
    f.spansFile({60, 45, 7, 8});
    TM1* w = f.open();
    f.action("M215")->trigger();
    QVERIFY(f.action("M215")->isChecked());
    for (const char* other : {"M211", "M212", "M213", "M214", "M216"})
        QVERIFY(!f.action(other)->isChecked());
    QCOMPARE(f.c<QLabel>("Label31")->text(), QString("５分間"));
    QCOMPARE(w->engine().ringSecondsInUse, 300);
    QCOMPARE(f.state.alarmRingSeconds, 300);
    const ReadResult r = readWholeFile(f.state.programFile(kSpansFile));
    QCOMPARE(r.status, ReadStatus::Ok);
    QCOMPARE(parseSpans(r.bytes), std::optional<Spans>(Spans{300, 45, 7, 8}));
    // Choosing the checked item again keeps it checked.
    f.action("M215")->trigger();
    QVERIFY(f.action("M215")->isChecked());
    f.action("M211")->trigger();
    QVERIFY(!f.action("M215")->isChecked());
    QCOMPARE(parseSpans(readWholeFile(f.state.programFile(kSpansFile)).bytes),
             std::optional<Spans>(Spans{10, 45, 7, 8}));
}

void TestTM1::ringSpanFromFile45() {
    Fixture f(at(12, 0, 0));
    f.spansFile({45, 30, 0, 0});
    TM1* w = f.open();
    for (const char* item : {"M211", "M212", "M213", "M214", "M215", "M216"})
        QVERIFY(!f.action(item)->isChecked());
    QVERIFY(f.c<QLabel>("Label31")->text().isEmpty());
    QCOMPARE(w->engine().ringSecondsInUse, 45);
    f.enter("Text1", "12.00.10");
    f.runUntil(at(12, 0, 55));
    QVERIFY(w->row(1).ringer->isActive());
    f.runUntil(at(12, 0, 55, 100));
    QVERIFY(!w->row(1).ringer->isActive());
    QCOMPARE(f.lamp(1), kAlarmRed);
}

void TestTM1::ringSpanSaveFails() {
    Fixture f;
    TM1* w = f.open();
    // A folder where the file should be: it cannot be written.
    QVERIFY(QDir(f.dir.path()).mkpath(kSpansFile + QString("/x")));
    f.action("M212")->trigger();
    QCOMPARE(f.tp.messages.shown.size(), 1);
    QCOMPARE(f.tp.messages.shown[0].title, QString("CHECK"));
    // The countdown's menu says the same, in the same words.
    QCOMPARE(f.tp.messages.shown[0].text, spansNotSavedMessage(fileFaultText(FileFault::IsFolder)));
    QCOMPARE(w->engine().ringSecondsInUse, 30);
    QCOMPARE(f.state.alarmRingSeconds, 30);
    QVERIFY(f.action("M212")->isChecked());
    QCOMPARE(f.c<QLabel>("Label31")->text(), QString("30秒間"));
}

void TestTM1::overlongSoundNameIsReported() {
    Fixture f;
    QByteArray bytes;
    for (int k = 1; k <= 10; ++k)
        bytes += QByteArray::number(k) + ",\"" +
                 (k == 2 ? QByteArray(20000, 'x') : "S" + QByteArray::number(k)) + "\",\"\"\r\n";
    QVERIFY(writeFileAtomically(f.state.programFile(kSoundsFile), bytes));
    f.open();
    QCOMPARE(f.tp.messages.shown.size(), 1);
    QCOMPARE(f.tp.messages.shown[0].text, f.state.soundTableNotice());
    QVERIFY(f.tp.messages.shown[0].text.contains(QStringLiteral("音源 2 ")));
    // The other sources are there as usual.
    QCOMPARE(f.state.soundTable[2].name(), QString("S3"));
}

void TestTM1::layoutButtonsKeepRow1Armed_data() {
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("button") << false;
    QTest::newRow("menu") << true;
}

void TestTM1::layoutButtonsKeepRow1Armed() {
    QFETCH(bool, byMenu);
    Fixture f(at(9, 0, 0));
    TM1* w = f.open();
    f.enter("Text1", "10");
    QPushButton* big = f.c<QPushButton>("Command25");
    QPushButton* small = f.c<QPushButton>("Command26");
    if (byMenu) {
        f.action("M12")->trigger();
    } else {
        big->setFocus(Qt::TabFocusReason);
        QTest::keyClick(big, Qt::Key_Space);
        QCOMPARE(f.focus(), small);
    }
    QVERIFY(w->wideLayout());
    QCOMPARE(w->width(), twips(13640 - 120));
    QVERIFY(f.c("Picture1")->isVisible());
    QVERIFY(!big->isVisible());
    QVERIFY(small->isVisible());
    QVERIFY(w->engine().armed(1));

    small->setFocus(Qt::TabFocusReason);
    QTest::keyClick(small, Qt::Key_Space);
    QVERIFY(!w->wideLayout());
    QCOMPARE(w->width(), twips(6630 - 120));
    QVERIFY(!f.c("Picture1")->isVisible());
    QCOMPARE(f.focus(), big);
    QVERIFY(w->engine().armed(1));

    // No leftover flag: clicking into the box still disarms the row.
    QCOMPARE(w->engine().skipNextFocusClear, 0);
    QTest::mouseClick(f.box("Text1"), Qt::LeftButton);
    QVERIFY(!w->engine().armed(1));
}

void TestTM1::minimisedWhileRinging() {
    Fixture f(at(9, 0, 0));
    TM1* w = f.open();
    f.enter("Text2", "9.0.1");
    f.runUntil(at(9, 0, 2));
    QCOMPARE(f.tp.windows.raises, 1);
    QTest::mouseClick(f.c("Command14"), Qt::LeftButton);
    QCOMPARE(f.tp.windows.minimizes, 1);
    w->showMinimized(); // what the real window control does
    f.runUntil(at(9, 0, 2, 100));
    QCOMPARE(f.tp.windows.raises, 2);
}

void TestTM1::tenRowsRingingStayResponsive() {
    Fixture f(at(9, 0, 0));
    TM1* w = f.open();
    const char* boxes[] = {"Text1",  "Text2",  "Text3",  "Text4",  "Text5",
                           "Text16", "Text17", "Text18", "Text19", "Text20"};
    for (const char* b : boxes)
        f.enter(b, "9.0.1");
    f.tp.clock.set(at(9, 0, 1));
    // Real timers now: every watcher fires, every ringer rings, and the event loop still
    // answers at once.
    QElapsedTimer clock;
    clock.start();
    qint64 worstLatency = 0;
    while (clock.elapsed() < 1200) {
        QElapsedTimer posted;
        posted.start();
        bool ran = false;
        QTimer::singleShot(0, w, [&ran] { ran = true; });
        QTRY_VERIFY_WITH_TIMEOUT(ran, 1000);
        worstLatency = std::max(worstLatency, posted.elapsed());
        QTest::qWait(20);
    }
    QVERIFY2(worstLatency < 100, qPrintable(QString::number(worstLatency)));
    for (int k = 1; k <= kAlarmRows; ++k)
        QVERIFY(w->engine().ringerEnabled(k));
    QVERIFY(f.tp.sounds.waves() >= 8 * 5);
    QVERIFY(f.tp.sounds.beeps() >= 2);
    QTest::mouseClick(f.c("Command11"), Qt::LeftButton);
    for (int k = 1; k <= kAlarmRows; ++k)
        QVERIFY(!w->row(k).ringer->isActive());
}

void TestTM1::leavingStopsRows() {
    Fixture f(at(9, 0, 0));
    TM1* w = f.open();
    f.enter("Text1", "9.0.1");
    f.runUntil(at(9, 0, 2));
    QPointer<TM1> guard(w);
    std::array<QTimer*, kAlarmRows> ringers{};
    for (int k = 1; k <= kAlarmRows; ++k)
        ringers[k - 1] = w->row(k).ringer;
    QTest::mouseClick(f.c("Command13"), Qt::LeftButton);
    QCOMPARE(f.wm.current()->windowId(), WindowId::Menu);
    QVERIFY(!ringers[0]->isActive());
    QTRY_VERIFY(guard.isNull());

    // Back in, the rows start idle and the sound table is read again.
    QVERIFY(QFile::remove(f.state.programFile(kSoundsFile)));
    f.state.soundTable = SoundTable{};
    w = static_cast<TM1*>(f.wm.switchTo(WindowId::Timer, f.wm.current()));
    QVERIFY(QFileInfo::exists(f.state.programFile(kSoundsFile)));
    QCOMPARE(f.state.soundTable[2].name(), QString("時間"));
    QVERIFY(!w->engine().armed(1));

    w->M22_Click();
    QCOMPARE(f.wm.current()->windowId(), WindowId::SoundSettings);
}

void TestTM1::toolbarAndMenus() {
    Fixture f;
    TM1* w = f.open();
    w->Toolbar1_ButtonClick(1);
    QCOMPARE(f.tp.calculator.folders, QStringList{f.state.programFolder()});
    f.action("M31")->trigger();
    QCOMPARE(f.tp.calculator.folders.size(), 2);
    w->Toolbar1_ButtonClick(2);
    f.action("M41")->trigger();
    QCOMPARE(f.tp.help.displays, 2);
    QCOMPARE(f.state.helpOpened, 1);
    f.action("M11")->trigger();
    QCOMPARE(f.quits, 1);
    QCOMPARE(f.tp.help.closeAlls, 1);
}

void TestTM1::enterPressesTheFocusedButton() {
    Fixture f(at(12, 0, 0));
    TM1* w = f.open();
    f.enter("Text3", "12.00.01");
    f.runUntil(at(12, 0, 2));
    QCOMPARE(f.focus(), f.c("Command3"));
    QTest::keyClick(f.c("Command3"), Qt::Key_Return);
    QCOMPARE(w->row(3).ringer->interval(), 0);
    QCOMPARE(f.lamp(3), kAlarmRed);
    f.c("Command14")->setFocus();
    QTest::keyClick(f.c("Command14"), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f.tp.windows.minimizes, 1);
}

// The ring puts the focus on "停止" when it starts, and again when the window comes back
// from being minimised, but never takes it from a box the user is typing in.
void TestTM1::typingWhileARowRingsIsKept() {
    Fixture f(at(12, 0, 0));
    TM1* w = f.open();
    f.enter("Text1", "12.00.01");
    f.runUntil(at(12, 0, 2));
    QCOMPARE(f.focus(), f.c("Command1"));
    QLineEdit* box = f.box("Text2");
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClicks(box, "12.3");
    f.runUntil(at(12, 0, 5));
    QCOMPARE(f.focus(), box);
    QTest::keyClicks(box, "0");
    QCOMPARE(box->text(), QString("12.30"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(w->engine().armed(2));
    QVERIFY(w->row(1).ringer->isActive());
    w->showMinimized();
    f.runUntil(at(12, 0, 5, 100));
    QCOMPARE(w->focusWidget(), f.c("Command1"));
}

void TestTM1::longSourceNameIsElided() {
    Fixture f;
    TM1* w = f.open();
    const QString name = QString("とても長い音源の名前").repeated(4);
    f.state.soundTable[0].sourceName = name;
    w->formActivate();
    auto* label = f.c<QLabel>("Label34");
    QVERIFY(label->text().endsWith(QChar(0x2026)));
    QVERIFY(name.startsWith(label->text().chopped(1)));
    QVERIFY(QFontMetrics(label->font()).horizontalAdvance(label->text()) <=
            label->contentsRect().width());
    QVERIFY(label->toolTip().startsWith(name + "\n"));
    // A name that fits is shown whole, with the sample tip alone.
    auto* fits = f.c<QLabel>("Label35");
    QCOMPARE(fits->text(), f.state.soundTable[1].name());
    QCOMPARE(fits->toolTip(), QString("ｻﾝﾌﾟﾙ音が鳴ります"));
}

void TestTM1::wideLayoutStaysOnScreen() {
    Fixture f;
    TM1* w = f.open();
    if (w->wideLayout()) QTest::mouseClick(f.c("Command26"), Qt::LeftButton);
    QVERIFY(!w->wideLayout());
    const QRect free = w->screen()->availableGeometry();
    w->move(free.right() - w->frameGeometry().width() - 4, free.top() + 20);
    QTest::mouseClick(f.c("Command25"), Qt::LeftButton);
    QVERIFY(w->wideLayout());
    const QRect frame = w->frameGeometry();
    // As far right as fits, never left of the screen.
    QCOMPARE(frame.left(), std::max(free.left(), free.right() + 1 - frame.width()));
    QCOMPARE(frame.top(), free.top() + 20);
}

QTEST_MAIN(TestTM1)
#include "tst_tm1_window.moc"
