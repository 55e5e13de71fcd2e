// SPDX-License-Identifier: MIT
#include "audio/sound_player.h"
#include "files/file_io.h"
#include "look/click_label.h"
#include "look/colors.h"
#include "settings/settings_files.h"
#include "tests/support/window_fixture.h"
#include "timer/notification_timer_window.h"
#include "ui/clock.h"
#include "ui/clock_ticker.h"
#include "ui/dialogs.h"
#include "ui/placement.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

using namespace qz;
using namespace Qt::StringLiterals;

namespace {

const QDate kDay(2010, 11, 8);

QDateTime at(int h, int m, int s, int ms = 0, QDate day = kDay) {
    return QDateTime(day, QTime(h, m, s, ms));
}

struct Fixture : WindowFixture {
    NotificationTimerWindow* w = nullptr;

    explicit Fixture(const QDateTime& now = at(13, 8, 20)) {
        tp.clock.set(now);
        registerWindow<NotificationTimerWindow>(WindowId::Timer);
    }

    // Writes TONESPAN.DAT and reads it the way the launcher does before the timer opens.
    void spansFile(const Spans& s) {
        QVERIFY(writeFileAtomically(state.programFile(QLatin1String(kSpansFile)), spansBytes(s)));
        QVERIFY(state.loadSpans());
    }

    NotificationTimerWindow* open() {
        w = WindowFixture::open<NotificationTimerWindow>(WindowId::Timer);
        if (w && !QTest::qWaitForWindowActive(w)) qWarning("window not active");
        return w;
    }

    template <class T = QWidget> T* c(const char* name) const { return control<T>(w, name); }
    QAction* action(const char* name) const { return c<QAction>(name); }
    QWidget* focus() const { return QApplication::focusWidget(); }
    QTimer* alarmTimer() const { return c<QTimer>("Timer1"); }
    bool watching(int k) const { return w->engine().armed(k); }
    bool ringing(int k) const { return w->engine().row(k).ringerTicking(); }
    int ringInterval(int k) const { return w->engine().row(k).ringerInterval(); }
    bool wide() const { return !w->bigPanel()->isHidden(); }

    // Clicks into row k's time box (its focus step runs), types and presses Enter.
    void enterTime(int k, const QString& text) const { clickTypeAndEnter(w->timeBox(k), text); }

    // A field of the window as the key tables name it: "time 3", "memo 3" or "minimize".
    QWidget* field(const QString& name) const {
        if (name == u"minimize"_s) return w->minimizeButton();
        const QStringList parts = name.split(u' ');
        const int k = parts.value(1).toInt();
        if (parts.value(0) == u"time"_s) return w->timeBox(k);
        if (parts.value(0) == u"memo"_s) return w->memoBox(k);
        qFatal("no field %s", qPrintable(name));
    }

    quint32 lamp(int k) const { return colourOf(w->lamp(k), QPalette::Window); }
    quint32 memoColour(int k) const { return colourOf(w->memoBox(k), QPalette::Base); }

    // Moves the test clock on to `end` in 100 ms steps, with the alarm timer firing at each
    // step while it runs.
    void runUntil(const QDateTime& end) {
        while (tp.clock.now() < end) {
            tp.clock.advanceMs(100);
            if (alarmTimer()->isActive()) fire(alarmTimer());
        }
    }
    QString wave(int k) const { return u"wave:"_s + state.wavePath(k); }
};

} // namespace

class TstNotificationTimerWindow : public QObject {
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
    void desktopNotification_data();
    void desktopNotification();
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

void TstNotificationTimerWindow::loadAndActivate() {
    Fixture f;
    NotificationTimerWindow* w = f.open();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), u"お知らせタイマー"_s);
    QVERIFY(QFileInfo::exists(f.state.programFile(QLatin1String(kSoundsFile)))); // defaults written
    QCOMPARE(f.w->ringSpanLabel()->text(), u"１分間"_s);
    QVERIFY(f.action("M213")->isChecked());
    for (const char* other : {"M211", "M212", "M214", "M215", "M216"})
        QVERIFY(!f.action(other)->isChecked());
    QCOMPARE(w->engine().ringSeconds(), 60);
    QCOMPARE(f.w->soundName(3)->text(), u"時間"_s); // row 3
    QCOMPARE(f.w->soundName(9)->text(), u"BP"_s);   // row 9
    QCOMPARE(f.w->soundName(10)->text(), u"BP"_s);  // row 10
    QCOMPARE(f.w->clockLabel()->text(), u"13:08:20"_s);
    QCOMPARE(f.w->bigTimeLabel()->text(), u"13:08:20"_s);
    QCOMPARE(f.w->bigDateLabel()->text(), u"2010/11/08"_s);
    QCOMPARE(f.w->bigWeekdayLabel()->text(), weekdayName(kDay));
    QCOMPARE(f.w->bigTimeLabel()->font().pointSizeF(), 90.0);
    QCOMPARE(f.w->bigDateLabel()->font().pointSizeF(), 36.0);
    QVERIFY(!f.w->bigPanel()->isVisible());
    QVERIFY(f.w->wideButton()->isVisible());
    QVERIFY(!f.w->narrowButton()->isVisible());
    QCOMPARE(w->width(), twips(6630 - 120));
    QCOMPARE(f.focus(), f.w->timeBox(1));

    // The clocks follow the clock, not the tick count.
    f.tp.clock.set(at(13, 9, 0));
    emit f.c<ClockTicker>("Timer21")->timeout();
    emit f.c<ClockTicker>("Timer22")->timeout();
    QCOMPARE(f.w->clockLabel()->text(), u"13:09:00"_s);
    QCOMPARE(f.w->bigTimeLabel()->text(), u"13:09:00"_s);
}

void TstNotificationTimerWindow::controlsAndCaptions() {
    Fixture f;
    f.open();
    const QStringList captions = {u"１"_s, u"２"_s, u"３"_s, u"４"_s, u"５"_s,
                                  u"６"_s, u"７"_s, u"８"_s, u"９"_s, u"10"_s};
    for (int k = 1; k <= kAlarmRows; ++k) {
        const ClickLabel* number = f.w->rowNumber(k);
        QLineEdit* timeBox = f.w->timeBox(k);
        QCOMPARE(number->text(), captions[k - 1]);
        QCOMPARE(number->toolTip(), u"ｻﾝﾌﾟﾙ音が鳴ります"_s);
        QCOMPARE(f.w->stopButton(k)->text(), u"停止"_s);
        QCOMPARE(f.w->clearButton(k)->text(), u"クリア"_s);
        QCOMPARE(timeBox->parentWidget(), f.w->timeDisplay(k));
        QVERIFY(!timeBox->hasFrame());
        QVERIFY(timeBox->font().bold());
        QCOMPARE(timeBox->font().pointSizeF(), 11.25);
        QVERIFY(!timeBox->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(f.w->memoBox(k)->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(!f.watching(k));
        QVERIFY(!f.ringing(k));
        QCOMPARE(f.ringInterval(k), 100);
    }
    QCOMPARE(f.w->hintLine(1)->text(), u"● 指定時間入力例：13時8分20秒→ 13．08．20"_s);
    QCOMPARE(f.w->hintLine(2)->text(), u"●　同時に３つ以上の音は鳴りません。"_s);
    QCOMPARE(f.w->timeHeading()->text(), u"指定時間：(例 13：08：20)"_s);
    QCOMPARE(f.w->menuButton()->text(), u"ﾒﾆｭｰへ"_s);
    QCOMPARE(f.action("M213")->text(), u"１分間（既定）"_s);
    QCOMPARE(f.action("M22")->text(), u"音源設定(&G)"_s);
    QCOMPARE(f.action("M12")->text(), u"時刻の大きい表示(&Z)"_s);
    QCOMPARE(f.c<QToolBar>("Toolbar1")->actions().size(), 2);
    QCOMPARE(f.c<QToolBar>("Toolbar1")->actions().at(1)->toolTip(), u"ﾍﾙﾌﾟ"_s);
}

void TstNotificationTimerWindow::entry_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("armedFor"); // empty: refused
    QTest::addColumn<QString>("message");
    const QString passed = u"時間既に経過しています！"_s;
    const QString invalid = u"時間の入力が正しくありません！\n入力例：13時8分20秒→ 13．08．20"_s;
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

void TstNotificationTimerWindow::entry() {
    QFETCH(QDateTime, now);
    QFETCH(QString, typed);
    QFETCH(QString, armedFor);
    QFETCH(QString, message);
    Fixture f(now);
    NotificationTimerWindow* w = f.open();
    f.enterTime(3, typed);
    QVERIFY(f.w->timeBox(3)->text().isEmpty());
    if (armedFor.isEmpty()) {
        QCOMPARE(f.tp.messages.shown.size(), 1);
        QCOMPARE(f.tp.messages.shown[0].text, message);
        QCOMPARE(f.tp.messages.shown[0].title, u"CHECK"_s);
        QVERIFY(!w->engine().armed(3));
        QVERIFY(f.w->timeDisplay(3)->text().isEmpty());
        QVERIFY(!f.watching(3));
        QCOMPARE(f.focus(), f.w->timeBox(3));
    } else {
        QVERIFY(f.tp.messages.shown.isEmpty());
        QCOMPARE(f.w->timeDisplay(3)->text(), armedFor + u" "_s);
        QVERIFY(f.watching(3));
        QVERIFY(f.alarmTimer()->isActive());
        QCOMPARE(f.alarmTimer()->interval(), 100);
        QCOMPARE(f.focus(), f.w->memoBox(3));
    }
}

void TstNotificationTimerWindow::emptyEnter() {
    Fixture f(at(10, 0, 0));
    NotificationTimerWindow* w = f.open();
    f.enterTime(2, u""_s);
    QCOMPARE(f.tp.sounds.requests, QStringList{u"beep"_s});
    QCOMPARE(f.focus(), f.w->timeBox(2));
    f.enterTime(2, u"11"_s);
    QCOMPARE(f.focus(), f.w->memoBox(2));
    // Back into the box without its focus step (the layout flag), then an empty Enter: the
    // row is armed, so the focus moves on to the memo.
    f.w->timeBox(2)->setFocus(Qt::ActiveWindowFocusReason);
    QCOMPARE(f.focus(), f.w->timeBox(2));
    QVERIFY(w->engine().armed(2));
    QTest::keyClick(f.w->timeBox(2), Qt::Key_Return);
    QCOMPARE(f.focus(), f.w->memoBox(2));
    QCOMPARE(f.tp.sounds.requests.size(), 1);
}

void TstNotificationTimerWindow::tenSecondRing() {
    Fixture f(at(11, 59, 0));
    f.spansFile({10, 30, 0, 0});
    NotificationTimerWindow* w = f.open();
    QVERIFY(f.action("M211")->isChecked());
    QCOMPARE(f.w->ringSpanLabel()->text(), u"10秒間"_s);
    f.enterTime(1, u"12"_s);
    f.runUntil(at(11, 59, 59, 900));
    QVERIFY(f.tp.sounds.requests.isEmpty());
    QCOMPARE(f.tp.windows.raises, 0);

    f.runUntil(at(12, 0, 0, 100));
    QCOMPARE(f.tp.windows.raises, 1);
    QVERIFY(!f.w->timeBox(1)->isEnabled());
    QVERIFY(f.ringing(1));
    QCOMPARE(f.focus(), f.w->stopButton(1));
    QVERIFY(w->engine().ringerEnabled(1));

    // Blinks white/red with the memo white/light green, sounding row 1's source each tick.
    QCOMPARE(f.tp.sounds.requests, QStringList{f.wave(1)});
    QCOMPARE(f.lamp(1), colors::white);
    QCOMPARE(f.memoColour(1), colors::white);
    f.runUntil(at(12, 0, 0, 200));
    QCOMPARE(f.lamp(1), colors::red);
    QCOMPARE(f.memoColour(1), colors::lightGreen);

    f.runUntil(at(12, 0, 10));
    const QStringList rang = f.tp.sounds.requests;
    QVERIFY(rang.size() >= 99);
    QCOMPARE(rang, QStringList(rang.size(), f.wave(1)));
    QVERIFY(f.ringing(1));

    f.runUntil(at(12, 0, 10, 100));
    QVERIFY(!f.ringing(1));
    QVERIFY(!w->engine().ringerEnabled(1));
    QCOMPARE(f.lamp(1), colors::red);
    QCOMPARE(f.memoColour(1), colors::lightGreen);
    QCOMPARE(f.w->timeDisplay(1)->text(), u"12:00:00 "_s);
    QVERIFY(!f.w->timeBox(1)->isEnabled());
    f.runUntil(at(12, 0, 20));
    QCOMPARE(f.tp.sounds.requests.size(), rang.size());
}

void TstNotificationTimerWindow::beepOnlyRow() {
    Fixture f(at(8, 0, 0));
    f.open();
    f.enterTime(9, u"8.0.1"_s); // row 9, u"BP"_s
    f.runUntil(at(8, 0, 1, 100));
    f.runUntil(at(8, 0, 1, 200));
    QCOMPARE(f.tp.sounds.requests, QStringList{u"beep"_s});
    QCOMPARE(f.ringInterval(9), 800);
    f.runUntil(at(8, 0, 5));
    QCOMPARE(f.tp.sounds.requests, QStringList(5, u"beep"_s));
    QCOMPARE(f.ringInterval(9), 800);
    f.w->clearButton(9)->click();
    QCOMPARE(f.ringInterval(9), 100);
    QVERIFY(!f.ringing(9));
    QCOMPARE(f.focus(), f.w->timeBox(9));
}

void TstNotificationTimerWindow::ringAcrossMidnight() {
    Fixture f(at(23, 59, 0));
    f.open();
    f.enterTime(2, u"23.59.30"_s);
    const QDate next = kDay.addDays(1);
    f.runUntil(at(0, 0, 30, 0, next));
    QVERIFY(f.ringing(2));
    f.runUntil(at(0, 0, 30, 100, next));
    QVERIFY(!f.ringing(2));
    QCOMPARE(f.lamp(2), colors::red);
    const qsizetype n = f.tp.sounds.requests.size();
    f.runUntil(at(0, 5, 0, 0, next));
    QCOMPARE(f.tp.sounds.requests.size(), n);
}

void TstNotificationTimerWindow::clickingArmedBoxDisarms() {
    Fixture f(at(9, 0, 0));
    f.open();
    f.enterTime(4, u"9.30"_s);
    QCOMPARE(f.w->timeDisplay(4)->text(), u"09:30:00 "_s);
    f.w->memoBox(4)->setText(u"会議"_s);
    QTest::mouseClick(f.w->timeBox(4), Qt::LeftButton);
    QVERIFY(f.w->timeDisplay(4)->text().isEmpty());
    QVERIFY(!f.watching(4));
    QCOMPARE(f.w->memoBox(4)->text(), u"会議"_s);
    f.runUntil(at(9, 31, 0));
    QVERIFY(f.tp.sounds.requests.isEmpty());
    QCOMPARE(f.tp.windows.raises, 0);
}

void TstNotificationTimerWindow::labelClicks() {
    Fixture f(at(9, 0, 0));
    NotificationTimerWindow* w = f.open();
    // Ringing row: one sample, then cleared.
    f.enterTime(2, u"9.0.1"_s);
    f.w->memoBox(2)->setText(u"memo"_s);
    f.runUntil(at(9, 0, 2));
    QVERIFY(w->engine().ringerEnabled(2));
    f.tp.sounds.clear();
    QTest::mouseClick(f.w->rowNumber(2), Qt::LeftButton);
    QCOMPARE(f.tp.sounds.requests, QStringList{f.wave(2)});
    QVERIFY(!w->engine().ringerEnabled(2));
    QVERIFY(!f.ringing(2));
    QCOMPARE(f.lamp(2), colors::white);
    QVERIFY(f.w->memoBox(2)->text().isEmpty());
    QVERIFY(f.w->timeDisplay(2)->text().isEmpty());
    QVERIFY(f.w->timeBox(2)->isEnabled());
    QCOMPARE(f.focus(), f.w->timeBox(2));

    // Armed row's source label: sample, focus in the box, disarmed.
    f.enterTime(5, u"10"_s);
    f.tp.sounds.clear();
    QTest::mouseClick(f.w->soundName(5), Qt::LeftButton);
    QCOMPARE(f.tp.sounds.requests, QStringList{f.wave(5)});
    QCOMPARE(f.focus(), f.w->timeBox(5));
    QVERIFY(!w->engine().armed(5));
    QVERIFY(f.w->timeDisplay(5)->text().isEmpty());

    // Beep-only source: a beep as sample.
    f.tp.sounds.clear();
    QTest::mouseClick(f.w->rowNumber(10), Qt::LeftButton);
    QCOMPARE(f.tp.sounds.requests, QStringList{u"beep"_s});
    QCOMPARE(f.focus(), f.w->timeBox(10));

    // Idle row's display label: focus, no sample.
    f.tp.sounds.clear();
    QTest::mouseClick(f.w->timeDisplay(7), Qt::LeftButton, {},
                      QPoint(f.w->timeDisplay(7)->width() - 5, 5));
    QVERIFY(f.tp.sounds.requests.isEmpty());
    QCOMPARE(f.focus(), f.w->timeBox(7));
}

void TstNotificationTimerWindow::reArmAfterStopByDuration() {
    Fixture f(at(12, 0, 0));
    f.spansFile({10, 30, 0, 0});
    NotificationTimerWindow* w = f.open();
    f.enterTime(1, u"12.00.05"_s);
    f.runUntil(at(12, 0, 20));
    QVERIFY(!w->engine().ringerEnabled(1));
    QVERIFY(!f.w->timeBox(1)->isEnabled());

    // The display label opens the box again (no clear): the stopped colours stay.
    QTest::mouseClick(f.w->timeDisplay(1), Qt::LeftButton, {},
                      QPoint(f.w->timeDisplay(1)->width() - 5, 5));
    QVERIFY(f.w->timeBox(1)->isEnabled());
    QCOMPARE(f.focus(), f.w->timeBox(1));
    QVERIFY(f.w->timeDisplay(1)->text().isEmpty());
    QCOMPARE(f.lamp(1), colors::red);

    f.enterTime(1, u"12.01"_s);
    f.tp.sounds.clear();
    f.runUntil(at(12, 1, 2));
    QVERIFY(f.tp.sounds.requests.size() >= 19);
    QVERIFY(f.ringing(1));
    f.runUntil(at(12, 1, 11));
    QVERIFY(!f.ringing(1));
}

void TstNotificationTimerWindow::stopByHand() {
    Fixture f(at(12, 0, 0));
    NotificationTimerWindow* w = f.open();
    f.enterTime(3, u"12.00.01"_s);
    // The lamp tells a screen reader in words what its colour shows.
    auto lampName = [&] { return f.w->lamp(3)->accessibleName(); };
    QCOMPARE(lampName(), u"3行目 ランプ セット中"_s);
    f.runUntil(at(12, 0, 3));
    QCOMPARE(lampName(), u"3行目 ランプ 鳴動中"_s);
    QTest::mouseClick(f.w->stopButton(3), Qt::LeftButton);
    QCOMPARE(lampName(), u"3行目 ランプ 停止"_s);
    QCOMPARE(f.lamp(3), colors::red);
    QCOMPARE(f.memoColour(3), colors::lightGreen);
    QVERIFY(w->engine().ringerEnabled(3));
    QVERIFY(!f.ringing(3)); // interval 0: no more ticks
    QCOMPARE(f.ringInterval(3), 0);
    QCOMPARE(f.w->timeDisplay(3)->text(), u"12:00:01 "_s);
    const qsizetype n = f.tp.sounds.requests.size();
    f.runUntil(at(12, 0, 30));
    QCOMPARE(f.tp.sounds.requests.size(), n);
    // The number label now clears the row (ringer still enabled).
    QTest::mouseClick(f.w->rowNumber(3), Qt::LeftButton);
    QCOMPARE(f.lamp(3), colors::white);
    QCOMPARE(lampName(), u"3行目 ランプ 消灯"_s);
    QCOMPARE(f.ringInterval(3), 100);
    QVERIFY(f.w->timeBox(3)->isEnabled());
}

// One notification per ring, withdrawn however the ring ends; its "停止" stops the row.
void TstNotificationTimerWindow::desktopNotification_data() {
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("end"); // desktop, open, button, duration, clear all, menu
    QTest::newRow("memo, stopped from the desktop") << u"会議"_s << u"会議"_s << u"desktop"_s;
    QTest::newRow("no memo, 停止 button") << QString() << u"3行目のお知らせ"_s << u"button"_s;
    QTest::newRow("blank memo, runs out") << u"  "_s << u"3行目のお知らせ"_s << u"duration"_s;
    QTest::newRow("bubble clicked, runs out") << u"会議"_s << u"会議"_s << u"open"_s;
    QTest::newRow("全クリア") << u"x"_s << u"x"_s << u"clear all"_s;
    QTest::newRow("back to the launcher") << u"x"_s << u"x"_s << u"menu"_s;
}

void TstNotificationTimerWindow::desktopNotification() {
    QFETCH(QString, memo);
    QFETCH(QString, text);
    QFETCH(QString, end);
    Fixture f(at(12, 0, 0));
    f.spansFile({10, 30, 0, 0});
    NotificationTimerWindow* w = f.open();
    f.enterTime(3, u"12.00.01"_s);
    f.w->memoBox(3)->setText(memo);
    f.runUntil(at(12, 0, 3));
    QCOMPARE(f.tp.notifier.shown.size(), 1);
    QCOMPARE(f.tp.notifier.shown[0].title, u"お知らせタイマー"_s);
    QCOMPARE(f.tp.notifier.shown[0].text, text);
    QCOMPARE(f.tp.notifier.open(), 1);

    QPointer<NotificationTimerWindow> guard(w);
    if (end == u"desktop"_s) f.tp.notifier.stop(0);
    if (end == u"button"_s) QTest::mouseClick(f.w->stopButton(3), Qt::LeftButton);
    if (end == u"open"_s) {
        // The window comes forward; the ring goes on.
        const int raises = f.tp.windows.raises;
        f.tp.notifier.shown[0].onOpen();
        QCOMPARE(f.tp.windows.raises, raises + 1);
        QVERIFY(f.ringing(3));
    }
    if (end == u"duration"_s || end == u"open"_s) f.runUntil(at(12, 0, 12));
    if (end == u"clear all"_s) QTest::mouseClick(f.w->clearAllButton(), Qt::LeftButton);
    if (end == u"menu"_s) QTest::mouseClick(f.w->menuButton(), Qt::LeftButton);
    QTRY_VERIFY(guard.isNull() || !f.ringing(3));
    QCOMPARE(f.tp.notifier.shown.size(), 1);
    QCOMPARE(f.tp.notifier.open(), 0);
}

void TstNotificationTimerWindow::clearAllWhileTwoRowsRing() {
    Fixture f(at(12, 0, 0));
    f.open();
    f.enterTime(1, u"12.00.01"_s);
    f.enterTime(10, u"12.00.01"_s); // beep-only row
    f.enterTime(4, u"13"_s);
    f.w->memoBox(1)->setText(u"a"_s);
    f.runUntil(at(12, 0, 4));
    QVERIFY(f.ringing(1));
    QVERIFY(f.ringing(10));
    QCOMPARE(f.ringInterval(10), 800);

    QTest::mouseClick(f.w->clearAllButton(), Qt::LeftButton);
    for (int k = 1; k <= kAlarmRows; ++k) {
        QVERIFY(!f.watching(k));
        QVERIFY(!f.ringing(k));
        QCOMPARE(f.ringInterval(k), 100);
        QVERIFY(f.w->timeBox(k)->isEnabled());
        QVERIFY(f.w->timeDisplay(k)->text().isEmpty());
        QVERIFY(f.w->memoBox(k)->text().isEmpty());
        QCOMPARE(f.lamp(k), colors::white);
        QCOMPARE(f.memoColour(k), colors::white);
    }
    QCOMPARE(f.focus(), f.w->timeBox(1));
    f.tp.sounds.clear();
    f.runUntil(at(13, 0, 5));
    QVERIFY(f.tp.sounds.requests.isEmpty());

    f.enterTime(10, u"13.01"_s);
    f.runUntil(at(13, 1, 0, 200));
    QCOMPARE(f.tp.sounds.requests, QStringList{u"beep"_s});
}

void TstNotificationTimerWindow::keyMoves_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");
    QTest::newRow("down") << "time 1" << int(Qt::Key_Down) << "time 2";
    QTest::newRow("down 5 to 6") << "time 5" << int(Qt::Key_Down) << "time 6";
    QTest::newRow("up 6 to 5") << "time 6" << int(Qt::Key_Up) << "time 5";
    QTest::newRow("up in row 1") << "time 1" << int(Qt::Key_Up) << "time 1";
    QTest::newRow("down in row 10") << "time 10" << int(Qt::Key_Down) << "memo 10";
    QTest::newRow("memo left") << "memo 7" << int(Qt::Key_Left) << "time 7";
    QTest::newRow("memo enter") << "memo 3" << int(Qt::Key_Return) << "time 4";
    QTest::newRow("memo enter 5 to 6") << "memo 5" << int(Qt::Key_Return) << "time 6";
    QTest::newRow("memo enter row 10") << "memo 10" << int(Qt::Key_Return) << "minimize";
    QTest::newRow("memo keypad enter") << "memo 1" << int(Qt::Key_Enter) << "time 2";
}

void TstNotificationTimerWindow::keyMoves() {
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(QString, to);
    Fixture f(at(9, 0, 0));
    NotificationTimerWindow* w = f.open();
    f.enterTime(2, u"10"_s); // row 2 armed: moving into its box disarms it
    QWidget* start = f.field(from);
    start->setFocus(Qt::TabFocusReason);
    QTest::keyClick(start, Qt::Key(key));
    QCOMPARE(f.focus()->objectName(), f.field(to)->objectName());
    QCOMPARE(w->engine().armed(2), to != u"time 2"_s);
    QVERIFY(f.tp.messages.shown.isEmpty());
}

void TstNotificationTimerWindow::keyMovesSkipDisabledBoxes() {
    Fixture f(at(9, 0, 0));
    NotificationTimerWindow* w = f.open();
    f.enterTime(3, u"9.0.1"_s);
    f.enterTime(10, u"9.0.1"_s);
    f.runUntil(at(9, 0, 2));
    QVERIFY(!f.w->timeBox(3)->isEnabled());
    QVERIFY(!f.w->timeBox(10)->isEnabled());

    QLineEdit* t2 = f.w->timeBox(2);
    t2->setFocus(Qt::TabFocusReason);
    QTest::keyClick(t2, Qt::Key_Down);
    QCOMPARE(f.focus(), f.w->timeBox(4));
    QTest::keyClick(f.w->timeBox(4), Qt::Key_Up);
    QCOMPARE(f.focus(), t2);
    // Nothing enabled below row 9: the key does nothing.
    f.w->timeBox(9)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f.w->timeBox(9), Qt::Key_Down);
    QCOMPARE(f.focus(), f.w->timeBox(9));
    // A ringing row's memo: Left cannot reach the closed box and stays a caret move.
    f.w->memoBox(3)->setText(u"ab"_s);
    f.w->memoBox(3)->setFocus(Qt::TabFocusReason);
    f.w->memoBox(3)->setCursorPosition(2);
    QTest::keyClick(f.w->memoBox(3), Qt::Key_Left);
    QCOMPARE(f.focus(), f.w->memoBox(3));
    QCOMPARE(f.w->memoBox(3)->cursorPosition(), 1);
    QVERIFY(w->engine().ringerEnabled(3));
}

void TstNotificationTimerWindow::memoEnterSkipsRingingRow() {
    Fixture f(at(9, 0, 0));
    NotificationTimerWindow* w = f.open();
    f.enterTime(3, u"9.0.1"_s);
    f.runUntil(at(9, 0, 2));
    QLineEdit* memo2 = f.w->memoBox(2);
    memo2->setFocus(Qt::TabFocusReason);
    QTest::keyClick(memo2, Qt::Key_Return);
    QCOMPARE(f.focus(), f.w->timeBox(4));
    QVERIFY(w->engine().armed(3));
    QVERIFY(f.ringing(3));
}

void TstNotificationTimerWindow::ringSpanMenu() {
    Fixture f;
    f.spansFile({60, 45, 7, 8});
    NotificationTimerWindow* w = f.open();
    f.action("M215")->trigger();
    QVERIFY(f.action("M215")->isChecked());
    for (const char* other : {"M211", "M212", "M213", "M214", "M216"})
        QVERIFY(!f.action(other)->isChecked());
    QCOMPARE(f.w->ringSpanLabel()->text(), u"５分間"_s);
    QCOMPARE(w->engine().ringSeconds(), 300);
    QCOMPARE(f.state.alarmRingSeconds(), 300);
    const ReadResult r = readWholeFile(f.state.programFile(QLatin1String(kSpansFile)));
    QCOMPARE(r.status, ReadStatus::Ok);
    QCOMPARE(parseSpans(r.bytes), std::optional<Spans>(Spans{300, 45, 7, 8}));
    // Choosing the checked item again keeps it checked.
    f.action("M215")->trigger();
    QVERIFY(f.action("M215")->isChecked());
    f.action("M211")->trigger();
    QVERIFY(!f.action("M215")->isChecked());
    QCOMPARE(parseSpans(readWholeFile(f.state.programFile(QLatin1String(kSpansFile))).bytes),
             std::optional<Spans>(Spans{10, 45, 7, 8}));
}

void TstNotificationTimerWindow::ringSpanFromFile45() {
    Fixture f(at(12, 0, 0));
    f.spansFile({45, 30, 0, 0});
    NotificationTimerWindow* w = f.open();
    for (const char* item : {"M211", "M212", "M213", "M214", "M215", "M216"})
        QVERIFY(!f.action(item)->isChecked());
    QVERIFY(f.w->ringSpanLabel()->text().isEmpty());
    QCOMPARE(w->engine().ringSeconds(), 45);
    f.enterTime(1, u"12.00.10"_s);
    f.runUntil(at(12, 0, 55));
    QVERIFY(f.ringing(1));
    f.runUntil(at(12, 0, 55, 100));
    QVERIFY(!f.ringing(1));
    QCOMPARE(f.lamp(1), colors::red);
}

void TstNotificationTimerWindow::ringSpanSaveFails() {
    Fixture f;
    NotificationTimerWindow* w = f.open();
    // A folder where the file should be: it cannot be written.
    QVERIFY(QDir(f.dir.path()).mkpath(QLatin1String(kSpansFile) + u"/x"_s));
    f.action("M212")->trigger();
    QCOMPARE(f.tp.messages.shown.size(), 1);
    QCOMPARE(f.tp.messages.shown[0].title, u"CHECK"_s);
    // The countdown's menu says the same, in the same words.
    QCOMPARE(f.tp.messages.shown[0].text, spansNotSavedMessage(fileFaultText(FileFault::IsFolder)));
    QCOMPARE(w->engine().ringSeconds(), 30);
    QCOMPARE(f.state.alarmRingSeconds(), 30);
    QVERIFY(f.action("M212")->isChecked());
    QCOMPARE(f.w->ringSpanLabel()->text(), u"30秒間"_s);
}

void TstNotificationTimerWindow::overlongSoundNameIsReported() {
    Fixture f;
    QByteArray bytes;
    for (int k = 1; k <= 10; ++k)
        bytes += QByteArray::number(k) + ",\"" +
                 (k == 2 ? QByteArray(20000, 'x') : "S" + QByteArray::number(k)) + "\",\"\"\r\n";
    QVERIFY(writeFileAtomically(f.state.programFile(QLatin1String(kSoundsFile)), bytes));
    f.open();
    QCOMPARE(f.tp.messages.shown.size(), 1);
    QCOMPARE(f.tp.messages.shown[0].text, f.state.soundTableNotice());
    QVERIFY(f.tp.messages.shown[0].text.contains(QStringLiteral("音源 2 ")));
    // The other sources are there as usual.
    QCOMPARE(f.state.soundTable()[2].name(), u"S3"_s);
}

void TstNotificationTimerWindow::layoutButtonsKeepRow1Armed_data() {
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("button") << false;
    QTest::newRow("menu") << true;
}

void TstNotificationTimerWindow::layoutButtonsKeepRow1Armed() {
    QFETCH(bool, byMenu);
    Fixture f(at(9, 0, 0));
    NotificationTimerWindow* w = f.open();
    f.enterTime(1, u"10"_s);
    QPushButton* big = f.w->wideButton();
    QPushButton* small = f.w->narrowButton();
    if (byMenu) {
        f.action("M12")->trigger();
    } else {
        big->setFocus(Qt::TabFocusReason);
        QTest::keyClick(big, Qt::Key_Space);
        QCOMPARE(f.focus(), small);
    }
    QVERIFY(f.wide());
    QCOMPARE(w->width(), twips(13640 - 120));
    QVERIFY(f.w->bigPanel()->isVisible());
    QVERIFY(!big->isVisible());
    QVERIFY(small->isVisible());
    QVERIFY(w->engine().armed(1));

    small->setFocus(Qt::TabFocusReason);
    QTest::keyClick(small, Qt::Key_Space);
    QVERIFY(!f.wide());
    QCOMPARE(w->width(), twips(6630 - 120));
    QVERIFY(!f.w->bigPanel()->isVisible());
    QCOMPARE(f.focus(), big);
    QVERIFY(w->engine().armed(1));

    // No leftover flag: clicking into the box still disarms the row.
    QCOMPARE(w->engine().keepsRowOnNextFocus(), false);
    QTest::mouseClick(f.w->timeBox(1), Qt::LeftButton);
    QVERIFY(!w->engine().armed(1));
}

void TstNotificationTimerWindow::minimisedWhileRinging() {
    Fixture f(at(9, 0, 0));
    NotificationTimerWindow* w = f.open();
    f.enterTime(2, u"9.0.1"_s);
    f.runUntil(at(9, 0, 2));
    QCOMPARE(f.tp.windows.raises, 1);
    QTest::mouseClick(f.w->minimizeButton(), Qt::LeftButton);
    QCOMPARE(f.tp.windows.minimizes, 1);
    w->showMinimized(); // what the real window control does
    f.runUntil(at(9, 0, 2, 100));
    QCOMPARE(f.tp.windows.raises, 2);
}

void TstNotificationTimerWindow::tenRowsRingingStayResponsive() {
    Fixture f(at(9, 0, 0));
    NotificationTimerWindow* w = f.open();
    for (int k = 1; k <= kAlarmRows; ++k)
        f.enterTime(k, u"9.0.1"_s);
    f.tp.clock.set(at(9, 0, 1));
    // The real timer now: every row fires and rings, and the event loop still
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
        f.tp.clock.set(at(9, 0, 1).addMSecs(clock.elapsed())); // the clock keeps real time
    }
    QVERIFY2(worstLatency < 100, qPrintable(QString::number(worstLatency)));
    for (int k = 1; k <= kAlarmRows; ++k)
        QVERIFY(w->engine().ringerEnabled(k));
    QVERIFY(f.tp.sounds.waves() >= 8 * 5);
    QVERIFY(f.tp.sounds.beeps() >= 2);
    QTest::mouseClick(f.w->clearAllButton(), Qt::LeftButton);
    for (int k = 1; k <= kAlarmRows; ++k)
        QVERIFY(!f.ringing(k));
}

void TstNotificationTimerWindow::leavingStopsRows() {
    Fixture f(at(9, 0, 0));
    NotificationTimerWindow* w = f.open();
    f.enterTime(1, u"9.0.1"_s);
    f.runUntil(at(9, 0, 2));
    QPointer<NotificationTimerWindow> guard(w);
    QTimer* alarm = f.alarmTimer();
    QTest::mouseClick(f.w->menuButton(), Qt::LeftButton);
    QCOMPARE(f.wm.current()->windowId(), WindowId::Launcher);
    QVERIFY(!alarm->isActive());
    QTRY_VERIFY(guard.isNull());

    // Back in, the rows start idle and the sound table is read again.
    QVERIFY(QFile::remove(f.state.programFile(QLatin1String(kSoundsFile))));
    f.state.setSoundTable(SoundTable{});
    w = f.w = static_cast<NotificationTimerWindow*>(f.wm.switchTo(WindowId::Timer, f.wm.current()));
    QVERIFY(QFileInfo::exists(f.state.programFile(QLatin1String(kSoundsFile))));
    QCOMPARE(f.state.soundTable()[2].name(), u"時間"_s);
    QVERIFY(!w->engine().armed(1));

    f.action("M22")->trigger();
    QCOMPARE(f.wm.current()->windowId(), WindowId::SoundSettings);
}

void TstNotificationTimerWindow::toolbarAndMenus() {
    Fixture f;
    f.open();
    f.action("Toolbar1_1")->trigger();
    QCOMPARE(f.tp.calculator.folders, QStringList{f.state.programFolder()});
    f.action("M31")->trigger();
    QCOMPARE(f.tp.calculator.folders.size(), 2);
    f.action("Toolbar1_2")->trigger();
    f.action("M41")->trigger();
    QCOMPARE(f.tp.help.displays, 2);
    QCOMPARE(f.state.helpOpened(), true);
    f.action("M11")->trigger();
    QCOMPARE(f.quits, 1);
    QCOMPARE(f.tp.help.closeAlls, 1);
}

void TstNotificationTimerWindow::enterPressesTheFocusedButton() {
    Fixture f(at(12, 0, 0));
    f.open();
    f.enterTime(3, u"12.00.01"_s);
    f.runUntil(at(12, 0, 2));
    QCOMPARE(f.focus(), f.w->stopButton(3));
    QTest::keyClick(f.w->stopButton(3), Qt::Key_Return);
    QCOMPARE(f.ringInterval(3), 0);
    QCOMPARE(f.lamp(3), colors::red);
    f.w->minimizeButton()->setFocus();
    QTest::keyClick(f.w->minimizeButton(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f.tp.windows.minimizes, 1);
}

// The ring puts the focus on "停止" when it starts, and again when the window comes back
// from being minimised, but never takes it from a box the user is typing in.
void TstNotificationTimerWindow::typingWhileARowRingsIsKept() {
    Fixture f(at(12, 0, 0));
    NotificationTimerWindow* w = f.open();
    f.enterTime(1, u"12.00.01"_s);
    f.runUntil(at(12, 0, 2));
    QCOMPARE(f.focus(), f.w->stopButton(1));
    QLineEdit* box = f.w->timeBox(2);
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClicks(box, u"12.3"_s);
    f.runUntil(at(12, 0, 5));
    QCOMPARE(f.focus(), box);
    QTest::keyClicks(box, u"0"_s);
    QCOMPARE(box->text(), u"12.30"_s);
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(w->engine().armed(2));
    QVERIFY(f.ringing(1));
    w->showMinimized();
    f.runUntil(at(12, 0, 5, 100));
    QCOMPARE(w->focusWidget(), f.w->stopButton(1));
}

void TstNotificationTimerWindow::longSourceNameIsElided() {
    Fixture f;
    NotificationTimerWindow* w = f.open();
    const QString name = u"とても長い音源の名前"_s.repeated(4);
    {
        SoundTable t = f.state.soundTable();
        t[0].sourceName = name;
        f.state.setSoundTable(t);
    }
    w->onActivated();
    auto* label = f.w->soundName(1);
    QVERIFY(label->text().endsWith(QChar(0x2026)));
    QVERIFY(name.startsWith(label->text().chopped(1)));
    QVERIFY(QFontMetrics(label->font()).horizontalAdvance(label->text()) <=
            label->contentsRect().width());
    QVERIFY(label->toolTip().startsWith(name + u"\n"_s));
    // A name that fits is shown whole, with the sample tip alone.
    auto* fits = f.w->soundName(2);
    QCOMPARE(fits->text(), f.state.soundTable()[1].name());
    QCOMPARE(fits->toolTip(), u"ｻﾝﾌﾟﾙ音が鳴ります"_s);
}

void TstNotificationTimerWindow::wideLayoutStaysOnScreen() {
    Fixture f;
    NotificationTimerWindow* w = f.open();
    if (f.wide()) QTest::mouseClick(f.w->narrowButton(), Qt::LeftButton);
    QVERIFY(!f.wide());
    const QRect free = w->screen()->availableGeometry();
    w->move(free.right() - w->frameGeometry().width() - 4, free.top() + 20);
    QTest::mouseClick(f.w->wideButton(), Qt::LeftButton);
    QVERIFY(f.wide());
    const QRect frame = w->frameGeometry();
    // As far right as fits, never left of the screen.
    QCOMPARE(frame.left(), std::max(free.left(), free.right() + 1 - frame.width()));
    QCOMPARE(frame.top(), free.top() + 20);
}

QTEST_MAIN(TstNotificationTimerWindow)
#include "tst_notification_timer_window.moc"
