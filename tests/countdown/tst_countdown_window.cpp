// SPDX-License-Identifier: MIT
#include "countdown/countdown_window.h"

#include "app/app_state.h"
#include "files/file_io.h"

#include "audio/sound_player.h"
#include "tests/support/window_fixture.h"
#include "ui/clock.h"
#include "ui/dialogs.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <QToolBar>

using namespace qz;
using namespace Qt::StringLiterals;

namespace {

const QDate kDay(2010, 11, 8);
using W = CountdownWindow;

// One countdown window opened the way the launcher opens it, on a test platform.
struct Fixture : WindowFixture {
    explicit Fixture(int ringSeconds = 30, const QString& folder = QString())
        : WindowFixture(folder) {
        state.setCountdownRingSeconds(ringSeconds);
        tp.clock.set(QDateTime(kDay, QTime(10, 50, 30)));
        registerWindow<CountdownWindow>(WindowId::Countdown);
        w = open<CountdownWindow>(WindowId::Countdown);
    }
    template <class T = QWidget> T* get(const char* name) { return control<T>(w, name); }
    QString text(W::Role role) { return static_cast<QLabel*>(w->control(role))->text(); }
    QAction* action(const char* name) { return get<QAction>(name); }
    quint32 lamp() { return w->lamp()->fillColor(); }
    QTimer* timer2() { return get<QTimer>("Timer2"); }
    void at(int h, int m, int s, int ms = 0, int dayOffset = 0) {
        tp.clock.set(QDateTime(kDay.addDays(dayOffset), QTime(h, m, s, ms)));
    }
    void start(const QString& h, const QString& m, const QString& s) {
        w->hoursBox()->setText(h);
        w->minutesBox()->setText(m);
        w->secondsBox()->setText(s);
        w->startButton()->click();
    }
    QString checkedRingItem() {
        QString name;
        for (const char* n : {"M111", "M112", "M113", "M114", "M115", "M116"})
            if (action(n)->isChecked()) name += QLatin1String(n);
        return name;
    }

    CountdownWindow* w = nullptr;
};

} // namespace

class TstCountdownWindow : public QObject {
    Q_OBJECT
  private slots:
    void captions_data();
    void captions();
    void everyRoleHasItsOwnControl();
    void menus();
    void previewStars();
    void timers();
    void formLoadCheckMark_data();
    void formLoadCheckMark();
    void ringDurationMenu();
    void ringDurationSaveFails();
    void enterMovesThroughTheBoxes();
    void countdownToRing();
    void beepBlinksTheLamp();
    void ringEnds_data();
    void ringEnds();
    void stopWhileCounting();
    void clearResetsTheWindow();
    void bigDisplay();
    void longTimeLeftFits();
    void displayOptionsKeepApart();
    void previewsLeaveTheChoice();
    void activationStopsTheRing();
    void backToMenu();
    void exitAndClose();
    void toolbarAndTools();
};

void TstCountdownWindow::captions_data() {
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("caption");
    const struct {
        const char* row;
        W::Role role;
        const char* caption;
    } rows[] = {
        {"entry caption", W::EntryCaption, "経過時間指定："},
        {"hours caption", W::HoursCaption, "時"},
        {"minutes caption", W::MinutesCaption, "分"},
        {"seconds caption", W::SecondsCaption, "秒"},
        {"colon after hours", W::HoursColon, "："},
        {"colon after minutes", W::MinutesColon, "："},
        {"arrow", W::Arrow, "→"},
        {"clock caption", W::ClockCaption, "現在時間："},
        {"date caption", W::DateCaption, "本日："},
        {"time left caption", W::TimeLeftCaption, "カウントダウン："},
        {"ring span caption", W::RingSpanCaption, "ｱﾗｰﾑ音時間："},
        {"start frame", W::StartFrame, "スタート時間"},
        {"target frame", W::TargetFrame, "目的時間"},
        {"sound frame", W::SoundFrame, "音"},
        {"view frame", W::ViewFrame, "ｶｳﾝﾄﾀﾞｳﾝ表示"},
        {"ring", W::RingOption, "Ring"},
        {"bell", W::BellOption, "Bell"},
        {"beep", W::BeepOption, "BEEP"},
        {"normal view", W::NormalView, "通常表示"},
        {"big view", W::BigView, "大きい表示"},
        {"start", W::Start, "スタート"},
        {"stop", W::Stop, "停止"},
        {"clear", W::Clear, "クリア"},
        {"exit", W::Exit, "終了"},
        {"menu", W::Menu, "ﾒﾆｭｰへ"},
    };
    for (const auto& r : rows)
        QTest::newRow(r.row) << int(r.role) << QString::fromUtf8(r.caption);
}

void TstCountdownWindow::captions() {
    QFETCH(int, role);
    QFETCH(QString, caption);
    Fixture f;
    QCOMPARE(f.w->windowTitle(), u"カウントダウン："_s);
    QWidget* c = f.w->control(W::Role(role));
    QVERIFY(c);
    QString shown;
    if (auto* l = qobject_cast<QLabel*>(c))
        shown = l->text();
    else if (auto* b = qobject_cast<QAbstractButton*>(c))
        shown = b->text();
    else if (auto* g = qobject_cast<QGroupBox*>(c))
        shown = g->title();
    QCOMPARE(shown, caption);
    QVERIFY(c->isVisibleTo(f.w));
}

// A role the tables leave out, or give twice, would leave the window's code holding nothing or
// the wrong control.
void TstCountdownWindow::everyRoleHasItsOwnControl() {
    Fixture f;
    QSet<QWidget*> seen;
    for (int r = 0; r < W::RoleCount; ++r) {
        QWidget* c = f.w->control(W::Role(r));
        QVERIFY2(c, qPrintable(QString::number(r)));
        QVERIFY2(f.w->isAncestorOf(c), qPrintable(c->objectName()));
        QVERIFY2(!seen.contains(c), qPrintable(c->objectName()));
        seen.insert(c);
    }
}

void TstCountdownWindow::menus() {
    Fixture f;
    const QList<QPair<const char*, const char*>> items = {
        {"M111", "5秒間"},  {"M112", "10秒間"}, {"M113", "20秒間"},    {"M114", "30秒間（既定）"},
        {"M115", "１分間"}, {"M116", "２分間"}, {"M21", "QZ電卓(&D)"}, {"M31", "ﾍﾙﾌﾟ(&H)"},
    };
    for (const auto& [name, text] : items)
        QCOMPARE(f.action(name)->text(), QString::fromUtf8(text));
    QCOMPARE(f.get<QMenu>("M1")->title(), u"設定(&S)"_s);
    QCOMPARE(f.get<QMenu>("M11")->title(), u"アラーム音が鳴り続ける時間を設定(&S)"_s);
    QCOMPARE(f.get<QMenu>("M2")->title(), u"ﾂｰﾙ(&T)"_s);
    QCOMPARE(f.get<QMenu>("M3")->title(), u"ﾍﾙﾌﾟ(&H)"_s);
    QVERIFY(f.get<QMenu>("M11")->actions().contains(f.action("M116")));
    QVERIFY(f.get<QMenu>("M1")->actions().contains(f.get<QMenu>("M11")->menuAction()));
}

void TstCountdownWindow::previewStars() {
    Fixture f;
    const QList<QPair<W::Role, QColor>> stars = {
        {W::RingStar, Qt::red}, {W::BellStar, Qt::yellow}, {W::BeepStar, Qt::black}};
    for (const auto& [role, colour] : stars) {
        auto* l = qobject_cast<QLabel*>(f.w->control(role));
        QVERIFY(l);
        QCOMPARE(l->text(), u"★"_s);
        QCOMPARE(l->toolTip(), u"ｸﾘｯｸすると音が出ます"_s);
        QCOMPARE(l->palette().color(QPalette::WindowText), colour);
    }
    QCOMPARE(f.w->ringSpanLabel()->palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0xC0));
    for (QLineEdit* box : {f.w->hoursBox(), f.w->minutesBox(), f.w->secondsBox()}) {
        const QFontMetrics fm(box->font());
        QCOMPARE(fm.horizontalAdvance(u"1"_s), fm.horizontalAdvance(u"W"_s));
    }
}

void TstCountdownWindow::timers() {
    Fixture f;
    auto* t1 = f.get<QTimer>("Timer1");
    QCOMPARE(t1->interval(), 300);
    QVERIFY(t1->isActive());
    QVERIFY(!f.timer2()->isActive());
    // The clock timer shows the time on its own.
    f.at(10, 50, 31, 200);
    QTRY_COMPARE(f.text(W::Clock), u"10:50:31"_s);
    QCOMPARE(f.text(W::Date), u"2010/11/08"_s);
}

void TstCountdownWindow::formLoadCheckMark_data() {
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("checked");
    QTest::newRow("0") << 0 << "M111";
    QTest::newRow("5") << 5 << "M111";
    QTest::newRow("10") << 10 << "M112";
    QTest::newRow("20") << 20 << "M113";
    QTest::newRow("30") << 30 << "M114";
    QTest::newRow("60") << 60 << "M115";
    QTest::newRow("120") << 120 << "M116";
    QTest::newRow("7") << 7 << "";
}

void TstCountdownWindow::formLoadCheckMark() {
    QFETCH(int, seconds);
    QFETCH(QString, checked);
    Fixture f(seconds);
    QCOMPARE(f.checkedRingItem(), checked);
    QCOMPARE(f.text(W::RingSpan), QString::number(seconds) + u"秒間"_s);
}

void TstCountdownWindow::ringDurationMenu() {
    Fixture f(60);
    QCOMPARE(f.text(W::RingSpan), u"60秒間"_s);
    f.action("M115")->trigger();
    QCOMPARE(f.text(W::RingSpan), u"１分間"_s);
    QCOMPARE(f.checkedRingItem(), u"M115"_s);
    QFile file(f.state.programFile(u"TONESPAN.DAT"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("60,60,0,0\r\n"));
    file.close();

    f.action("M111")->trigger();
    QCOMPARE(f.state.countdownRingSeconds(), 5);
    QCOMPARE(f.text(W::RingSpan), u"5秒間"_s);
    QCOMPARE(f.checkedRingItem(), u"M111"_s);
    // Choosing the checked item again keeps its mark.
    f.action("M111")->trigger();
    QCOMPARE(f.checkedRingItem(), u"M111"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("60,5,0,0\r\n"));
    QVERIFY(f.tp.messages.shown.isEmpty());
}

void TstCountdownWindow::ringDurationSaveFails() {
    QTemporaryDir parent;
    Fixture f(30, parent.path() + u"/missing/folder"_s);
    f.action("M116")->trigger();
    QCOMPARE(f.tp.messages.shown.size(), 1);
    QCOMPARE(f.tp.messages.lastText(), spansNotSavedMessage(fileFaultText(FileFault::NotFound)));
    QCOMPARE(f.tp.messages.shown[0].title, u"CHECK"_s);
    QCOMPARE(f.state.countdownRingSeconds(), 120);
    QCOMPARE(f.text(W::RingSpan), u"２分間"_s);
    QCOMPARE(f.checkedRingItem(), u"M116"_s);
}

void TstCountdownWindow::enterMovesThroughTheBoxes() {
    Fixture f;
    f.w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.w));
    auto* t1 = f.w->hoursBox();
    auto* t2 = f.w->minutesBox();
    auto* t3 = f.w->secondsBox();
    QCOMPARE(QApplication::focusWidget(), t1);
    QTest::keyClicks(t1, u"1"_s);
    QTest::keyClick(t1, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), t2);
    QTest::keyClicks(t2, u"2"_s);
    QTest::keyClick(t2, Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), t3);
    QTest::keyClicks(t3, u"3"_s);
    QTest::keyClick(t3, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), f.w->startButton());
    QCOMPARE(t1->text() + t2->text() + t3->text(), u"123"_s);
    QVERIFY(f.text(W::TargetTime).isEmpty()); // moving on does not start anything
    // Enter on the focused start button starts.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(f.text(W::TargetTime), u"11:52:33"_s);
}

void TstCountdownWindow::countdownToRing() {
    Fixture f;
    f.start(u""_s, u"90"_s, u""_s);
    QCOMPARE(f.text(W::StartTime), u"10:50:30"_s);
    QCOMPARE(f.text(W::StartDate), u"2010/11/08"_s);
    QCOMPARE(f.text(W::TargetTime), u"12:20:30"_s);
    QCOMPARE(f.text(W::TargetDate), u"2010/11/08"_s);

    f.at(10, 50, 31, 250);
    fire(f.get<QTimer>("Timer1"));
    QCOMPARE(f.text(W::TimeLeft), u"01:29:59"_s);
    QCOMPARE(f.text(W::BigTimeLeft), u"01:29:59"_s);
    QCOMPARE(f.tp.windows.raises, 0);

    f.at(12, 20, 30, 100);
    fire(f.get<QTimer>("Timer1"));
    QCOMPARE(f.text(W::TimeLeft), u"00:00:00"_s);
    QCOMPARE(f.tp.windows.raises, 1);
    QVERIFY(f.timer2()->isActive());
    QCOMPARE(f.timer2()->interval(), 300);

    f.at(12, 20, 30, 200);
    fire(f.timer2());
    f.at(12, 20, 30, 500);
    fire(f.timer2());
    const QString ring = u"wave:"_s + f.state.programFile(u"RING.WAV"_s);
    QCOMPARE(f.tp.sounds.requests, (QStringList{ring, ring}));

    // Switching to Bell mid-ring takes effect at the next tick.
    f.w->bellOption()->click();
    fire(f.timer2());
    QCOMPARE(f.tp.sounds.requests.last(), u"wave:"_s + f.state.programFile(u"1min07A.WAV"_s));

    f.at(12, 20, 33, 0);
    fire(f.get<QTimer>("Timer1"));
    QCOMPARE(f.text(W::TimeLeft), u"-3"_s);
    QCOMPARE(f.text(W::BigTimeLeft), u"-3"_s);
    QCOMPARE(f.tp.windows.raises, 2);
}

void TstCountdownWindow::beepBlinksTheLamp() {
    Fixture f;
    f.w->beepOption()->click();
    QCOMPARE(f.w->countdown().soundChoice, SoundChoice::Beep);
    f.start(u""_s, u""_s, u"1"_s);
    QCOMPARE(f.lamp(), colors::white);
    f.at(10, 50, 31, 0);
    fire(f.get<QTimer>("Timer1"));
    QList<quint32> lamps;
    for (int i = 0; i < 4; ++i) {
        f.tp.clock.advanceMs(300);
        fire(f.timer2());
        lamps.append(f.lamp());
    }
    QCOMPARE(f.tp.sounds.requests, QStringList(4, u"beep"_s));
    QCOMPARE(lamps, (QList<quint32>{colors::white, colors::red, colors::white, colors::red}));
}

void TstCountdownWindow::ringEnds_data() {
    QTest::addColumn<int>("ringSeconds");
    QTest::addColumn<int>("sounds");
    QTest::addColumn<bool>("stopOnDesktop"); // "停止" on the desktop's notification
    QTest::newRow("5 s") << 5 << 17 << false;
    QTest::newRow("0 s") << 0 << 0 << false;
    QTest::newRow("停止 on the desktop") << 5 << 0 << true;
}

void TstCountdownWindow::ringEnds() {
    QFETCH(int, ringSeconds);
    QFETCH(int, sounds);
    QFETCH(bool, stopOnDesktop);
    Fixture f(ringSeconds);
    f.start(u""_s, u""_s, u"10"_s);
    f.at(10, 50, 40, 0);
    fire(f.get<QTimer>("Timer1"));
    QVERIFY(f.timer2()->isActive());
    QCOMPARE(f.tp.notifier.shown.size(), 1);
    QCOMPARE(f.tp.notifier.shown[0].text, u"カウントダウン終了"_s);
    if (stopOnDesktop) f.tp.notifier.stop(0);
    f.at(10, 50, 40, 100);
    int ticks = 0;
    while (f.timer2()->isActive() && ticks < 100) {
        fire(f.timer2());
        fire(f.get<QTimer>("Timer1"));
        f.tp.clock.advanceMs(300);
        ++ticks;
    }
    QCOMPARE(f.tp.sounds.requests.size(), sounds);
    QCOMPARE(f.timer2()->interval(), 0);
    QCOMPARE(f.tp.notifier.shown.size(), 1);
    QCOMPARE(f.tp.notifier.open(), 0);
    const QString frozen = f.text(W::TimeLeft);
    const quint32 lamp = f.lamp();
    f.tp.clock.advanceMs(5000);
    fire(f.get<QTimer>("Timer1"));
    QCOMPARE(f.text(W::TimeLeft), frozen);
    QCOMPARE(f.lamp(), lamp);
    QVERIFY(!f.timer2()->isActive());
    QCOMPARE(f.text(W::Clock), f.tp.clock.now().toString(u"hh:mm:ss"_s));
}

void TstCountdownWindow::stopWhileCounting() {
    Fixture f;
    f.start(u""_s, u"5"_s, u""_s);
    f.at(10, 51, 30);
    fire(f.get<QTimer>("Timer1"));
    QCOMPARE(f.text(W::TimeLeft), u"00:04:00"_s);
    f.w->stopButton()->click();
    QCOMPARE(f.lamp(), colors::red);
    f.at(10, 56, 0);
    fire(f.get<QTimer>("Timer1"));
    QCOMPARE(f.text(W::TimeLeft), u"00:04:00"_s);
    QCOMPARE(f.text(W::TargetTime), u"10:55:30"_s);
    QVERIFY(!f.timer2()->isActive());
    QCOMPARE(f.tp.windows.raises, 0);
}

void TstCountdownWindow::clearResetsTheWindow() {
    Fixture f;
    f.w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.w));
    f.w->bellOption()->click();
    f.start(u"1"_s, u"2"_s, u"3"_s);
    fire(f.get<QTimer>("Timer1"));
    f.w->stopButton()->click();
    f.w->clearButton()->click();
    for (W::Role r :
         {W::StartTime, W::TargetTime, W::TargetDate, W::StartDate, W::TimeLeft, W::BigTimeLeft})
        QVERIFY2(f.text(r).isEmpty(), qPrintable(f.w->control(r)->objectName()));
    for (QLineEdit* box : {f.w->hoursBox(), f.w->minutesBox(), f.w->secondsBox()})
        QVERIFY(box->text().isEmpty());
    QVERIFY(f.w->ringOption()->isChecked());
    QCOMPARE(f.w->countdown().soundChoice, SoundChoice::Ring);
    QCOMPARE(f.lamp(), colors::white);
    QCOMPARE(QApplication::focusWidget(), f.w->hoursBox());
    f.tp.clock.advanceMs(60000);
    fire(f.get<QTimer>("Timer1"));
    QVERIFY(f.text(W::TimeLeft).isEmpty());
}

void TstCountdownWindow::bigDisplay() {
    Fixture f;
    QWidget* picture = f.w->bigPanel();
    QVERIFY(!picture->isVisible());
    const QSize normal = f.w->size();
    f.start(u"25"_s, u""_s, u""_s);
    f.w->bigViewOption()->click();
    QVERIFY(picture->isVisible());
    QVERIFY(f.w->width() > normal.width() && f.w->height() > normal.height());
    QVERIFY(f.w->rect().contains(picture->mapTo(f.w, picture->rect().bottomRight())));
    fire(f.get<QTimer>("Timer1"));
    QCOMPARE(f.text(W::BigTimeLeft), u"25:00:00"_s);
    QCOMPARE(f.text(W::BigTimeLeft), f.text(W::TimeLeft));
    QCOMPARE(f.w->bigTimeLeftLabel()->font().pointSize(), 120);
    f.w->normalViewOption()->click();
    QVERIFY(!picture->isVisible());
    QCOMPARE(f.w->size(), normal);
}

// Millions of hours left: both time-left texts are condensed to fit their boxes, not cut.
void TstCountdownWindow::longTimeLeftFits() {
    Fixture f;
    f.start(u"69890449"_s, u""_s, u"29"_s);
    fire(f.get<QTimer>("Timer1"));
    auto* normal = f.w->timeLeftLabel();
    QCOMPARE(normal->text(), u"69890449:00:29"_s);
    QVERIFY(QFontMetrics(normal->font()).horizontalAdvance(normal->text()) <=
            normal->contentsRect().width());
    QCOMPARE(normal->font().pointSizeF(), 12.0);
    QVERIFY(normal->font().bold());
    f.w->bigViewOption()->click();
    auto* big = f.w->bigTimeLeftLabel();
    QVERIFY(QFontMetrics(big->font()).horizontalAdvance(big->text()) <= big->width());
    // A short value again has the full width.
    f.start(u"1"_s, u""_s, u""_s);
    fire(f.get<QTimer>("Timer1"));
    QCOMPARE(normal->text(), u"01:00:00"_s);
    QCOMPARE(normal->font().stretch(), int(QFont::Unstretched));
}

void TstCountdownWindow::displayOptionsKeepApart() {
    Fixture f;
    auto* frame = f.w->viewFrame();
    auto* normal = f.w->normalViewOption();
    auto* big = f.w->bigViewOption();
    QVERIFY(normal->width() >= normal->sizeHint().width());
    QVERIFY(big->width() >= big->sizeHint().width());
    QVERIFY(normal->geometry().right() < big->x());
    QVERIFY(big->geometry().right() < frame->width());
    QVERIFY(frame->geometry().right() < f.w->menuButton()->x());
}

void TstCountdownWindow::previewsLeaveTheChoice() {
    Fixture f;
    f.w->beepOption()->click();
    QTest::mouseClick(f.w->control(W::RingStar), Qt::LeftButton);
    QTest::mouseClick(f.w->control(W::BellStar), Qt::LeftButton);
    QTest::mouseClick(f.w->control(W::BeepStar), Qt::LeftButton);
    QCOMPARE(f.tp.sounds.requests,
             (QStringList{u"wave:"_s + f.state.programFile(u"RING.WAV"_s),
                          u"wave:"_s + f.state.programFile(u"1min07A.WAV"_s), u"beep"_s}));
    QCOMPARE(f.w->countdown().soundChoice, SoundChoice::Beep);
}

void TstCountdownWindow::activationStopsTheRing() {
    Fixture f;
    f.w->beepOption()->click();
    f.w->bigViewOption()->click();
    f.start(u""_s, u""_s, u""_s);
    fire(f.get<QTimer>("Timer1"));
    QVERIFY(f.timer2()->isActive());
    f.w->onActivated();
    QVERIFY(!f.timer2()->isActive());
    QVERIFY(f.w->ringOption()->isChecked());
    QVERIFY(f.w->normalViewOption()->isChecked());
    QVERIFY(!f.w->bigPanel()->isVisible());
    QCOMPARE(f.w->countdown().soundChoice, SoundChoice::Ring);
    QCOMPARE(f.text(W::Clock), u"10:50:30"_s);
}

void TstCountdownWindow::backToMenu() {
    Fixture f;
    QPointer<CountdownWindow> window = f.w;
    f.start(u""_s, u"1"_s, u""_s);
    f.w->menuButton()->click();
    QCOMPARE(f.wm.current()->windowId(), WindowId::Launcher);
    QTRY_VERIFY(!window);
    QCOMPARE(f.quits, 0);
}

void TstCountdownWindow::exitAndClose() {
    {
        Fixture f;
        f.state.setHelpOpened(true);
        f.w->exitButton()->click();
        QCOMPARE(f.quits, 1);
        QCOMPARE(f.tp.help.closeAlls, 1);
    }
    {
        Fixture f;
        f.w->close();
        QCOMPARE(f.quits, 1);
        QCOMPARE(f.tp.help.closeAlls, 0);
    }
}

void TstCountdownWindow::toolbarAndTools() {
    Fixture f;
    QCOMPARE(f.get<QToolBar>("Toolbar1")->actions().size(), 2);
    f.action("Toolbar1_1")->trigger();
    f.action("M21")->trigger();
    QCOMPARE(f.tp.calculator.folders, QStringList(2, f.state.programFolder()));
    f.action("Toolbar1_2")->trigger();
    f.action("M31")->trigger();
    QCOMPARE(f.tp.help.displays, 2);
    QCOMPARE(f.state.helpOpened(), true);
}

QTEST_MAIN(TstCountdownWindow)
#include "tst_countdown_window.moc"
