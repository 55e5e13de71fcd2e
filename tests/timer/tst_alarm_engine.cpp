// SPDX-License-Identifier: MIT
#include "tests/scoped_time_zone.h"
#include "timer/alarm_engine.h"

#include <QTest>

using namespace qz;
using namespace Qt::StringLiterals;

namespace {

QDateTime at(int h, int m, int s, int ms = 0, QDate day = QDate(2010, 11, 8)) {
    return QDateTime(day, QTime(h, m, s, ms));
}

// Moves the engine on in the window timer's 100 ms steps and records what it reports.
struct Drive {
    AlarmEngine e;
    QDateTime now;
    std::array<QString, kAlarmRows> paths;
    QStringList sounds;    // "wave:<path>" / "beep", in order
    QStringList fileNames; // what each ring hands the player first, a beep's too
    QList<QDateTime> stops;
    int fires = 0;  // every look that finds a target come, while the row rings too
    int starts = 0; // rows that began to ring
    QDateTime firstFire;

    Drive() {
        for (int k = 1; k <= kAlarmRows; ++k)
            paths[k - 1] = QStringLiteral("/w/%1.WAV").arg(k);
    }

    void step() {
        now = now.addMSecs(100);
        for (const RowEvent& ev : e.advanceTo(now, [this](int k) { return paths[k - 1]; })) {
            switch (ev.kind) {
            case RowEvent::Kind::Due:
                if (++fires == 1) firstFire = now;
                if (ev.firstDue) ++starts;
                break;
            case RowEvent::Kind::Rang:
                sounds << (ev.beep ? QStringLiteral("beep") : u"wave:"_s + ev.fileName);
                fileNames << ev.fileName;
                break;
            case RowEvent::Kind::Stopped:
                stops << now;
                break;
            }
        }
    }
    void runUntil(const QDateTime& end) {
        while (now < end)
            step();
    }
};

} // namespace

class TestAlarmEngine : public QObject {
    Q_OBJECT
  private slots:
    void tenSecondRingStopsByItself();
    void blinkAlternates();
    void clockSetBackKeepsRinging();
    void beepOnlyRowsTickAt800();
    void zeroDurationStopsOnFirstTick_data();
    void zeroDurationStopsOnFirstTick();
    void stopByHandKeepsRingerEnabled();
    void ringAcrossMidnightEnds();
    void reArmAfterStopByDuration();
    void reArmAfterStopWhileArmed();
    void clearAllWhileTwoRowsRing();
    void durationChangeAppliesToRingingRow();
    void ringsKeepRealTimeAcrossDaylightSaving_data();
    void ringsKeepRealTimeAcrossDaylightSaving();
};

void TestAlarmEngine::tenSecondRingStopsByItself() {
    Drive d;
    d.e.setRingSeconds(10);
    d.now = at(11, 59, 0);
    QVERIFY(!d.e.busy());
    QCOMPARE(d.e.enter(1, u"12"_s, d.now), EntryOutcome::Armed);
    d.runUntil(at(11, 59, 59, 900));
    QCOMPARE(d.fires, 0);
    QVERIFY(d.sounds.isEmpty());
    QVERIFY(d.e.busy());

    d.runUntil(at(12, 0, 10));
    QVERIFY(d.fires > 1);
    QCOMPARE(d.starts, 1);
    QVERIFY(!d.e.row(1).timeBoxEnabled());
    QVERIFY(d.e.ringerEnabled(1));
    QVERIFY(d.stops.isEmpty());
    // Ringing from 12:00:00.1 up to and including 12:00:10.0.
    QCOMPARE(d.sounds.size(), 100);
    QCOMPARE(d.sounds.first(), u"wave:/w/1.WAV"_s);

    d.runUntil(at(12, 0, 12));
    QCOMPARE(d.stops, QList<QDateTime>{at(12, 0, 10, 100)});
    QCOMPARE(d.sounds.size(), 100);
    const AlarmRow& r = d.e.row(1);
    QVERIFY(r.lit());
    QCOMPARE(r.displayCaption(), u"12:00:00 "_s);
    QVERIFY(!r.timeBoxEnabled());
    QVERIFY(!d.e.ringerEnabled(1));
    QCOMPARE(r.ringerInterval(), 0);
    QVERIFY(!d.e.armed(1));
    // Nothing is left to do: the window's timer may stop.
    QVERIFY(!d.e.busy());
    const int fires = d.fires;
    d.runUntil(at(12, 0, 20));
    QCOMPARE(d.fires, fires);
}

// A clock set back while a row rings (a time server's correction) does not silence the row.
void TestAlarmEngine::clockSetBackKeepsRinging() {
    Drive d;
    d.now = at(12, 0, 0);
    QCOMPARE(d.e.enter(1, u"12.00.01"_s, d.now), EntryOutcome::Armed);
    d.runUntil(at(12, 0, 2));
    const qsizetype rung = d.sounds.size();
    QVERIFY(rung > 0);
    d.now = at(12, 0, 1, 500);
    d.runUntil(at(12, 0, 2));
    QCOMPARE(d.sounds.size(), rung + 5);
}

void TestAlarmEngine::blinkAlternates() {
    Drive d;
    d.now = at(11, 59, 59, 800);
    QCOMPARE(d.e.enter(4, u"12"_s, d.now), EntryOutcome::Armed);
    d.step(); // 11:59:59.900
    QCOMPARE(d.fires, 0);
    d.step(); // 12:00:00.000
    QCOMPARE(d.fires, 1);
    QCOMPARE(d.starts, 1);

    const bool lit[] = {false, true, false, true};
    for (int i = 0; i < 4; ++i) {
        d.step();
        QCOMPARE(d.fires, 2 + i); // the look repeats while the row rings
        QCOMPARE(d.starts, 1);
        QCOMPARE(d.sounds.size(), i + 1);
        QCOMPARE(d.sounds.last(), u"wave:/w/4.WAV"_s);
        QCOMPARE(d.e.row(4).lit(), lit[i]);
    }
}

void TestAlarmEngine::beepOnlyRowsTickAt800() {
    Drive d;
    d.paths[8] = QString(); // row 9: "BP"
    d.now = at(8, 0, 0);
    QCOMPARE(d.e.enter(9, u"8.0.1"_s, d.now), EntryOutcome::Armed);
    d.runUntil(at(8, 0, 1));
    d.runUntil(at(8, 0, 5, 0));
    // First tick 100 ms after firing, then every 800 ms: 1.1, 1.9, 2.7, 3.5, 4.3.
    QCOMPARE(d.sounds, QStringList(5, u"beep"_s));
    QCOMPARE(d.e.row(9).ringerInterval(), kBeepRingerIntervalMs);

    // The player is still handed the (empty) file name first.
    QCOMPARE(d.fileNames, QStringList(5, QString()));

    d.e.stopRow(9);
    QCOMPARE(d.e.row(9).ringerInterval(), 0);
    d.e.clearRow(9);
    QCOMPARE(d.e.row(9).ringerInterval(), kRingerIntervalMs);
}

void TestAlarmEngine::zeroDurationStopsOnFirstTick_data() {
    QTest::addColumn<int>("ringSeconds");
    QTest::addColumn<QDateTime>("firstWatcherTick");
    QTest::newRow("duration 0") << 0 << at(12, 0, 0);
    QTest::newRow("started late (suspended)") << 60 << at(12, 5, 0);
}

void TestAlarmEngine::zeroDurationStopsOnFirstTick() {
    QFETCH(int, ringSeconds);
    QFETCH(QDateTime, firstWatcherTick);
    Drive d;
    d.e.setRingSeconds(ringSeconds);
    QCOMPARE(d.e.enter(2, u"12"_s, at(11, 0, 0)), EntryOutcome::Armed);
    d.now = firstWatcherTick.addMSecs(-100);
    d.step();
    QCOMPARE(d.fires, 1);
    d.runUntil(firstWatcherTick.addSecs(2));
    QVERIFY(d.sounds.isEmpty());
    QCOMPARE(d.stops, QList<QDateTime>{firstWatcherTick.addMSecs(100)});
    QVERIFY(d.e.row(2).lit());
}

void TestAlarmEngine::stopByHandKeepsRingerEnabled() {
    Drive d;
    d.now = at(9, 59, 59);
    QCOMPARE(d.e.enter(5, u"10"_s, d.now), EntryOutcome::Armed);
    d.runUntil(at(10, 0, 1));
    QVERIFY(!d.sounds.isEmpty());
    d.e.stopRow(5);
    const qsizetype sounded = d.sounds.size();
    d.runUntil(at(10, 3, 0));
    QCOMPARE(d.sounds.size(), sounded);
    QVERIFY(d.stops.isEmpty());
    QVERIFY(d.e.ringerEnabled(5));
    QVERIFY(!d.e.row(5).ringerTicking());
    QCOMPARE(d.e.row(5).displayCaption(), u"10:00:00 "_s);
    QVERIFY(!d.e.row(5).timeBoxEnabled());

    d.e.clearRow(5);
    const AlarmRow& r = d.e.row(5);
    QVERIFY(!r.lit());
    QVERIFY(r.displayCaption().isEmpty());
    QVERIFY(r.timeBoxEnabled());
    QVERIFY(!d.e.ringerEnabled(5));
    QVERIFY(!r.watcherEnabled());
    QCOMPARE(r.ringerInterval(), kRingerIntervalMs);
}

void TestAlarmEngine::ringAcrossMidnightEnds() {
    Drive d;
    d.e.setRingSeconds(60);
    d.now = at(23, 0, 0);
    QCOMPARE(d.e.enter(1, u"23.59.30"_s, d.now), EntryOutcome::Armed);
    d.runUntil(at(23, 59, 29, 900));
    QVERIFY(d.sounds.isEmpty());
    const QDate next = QDate(2010, 11, 9);
    d.runUntil(at(0, 0, 30, 0, next));
    QVERIFY(d.stops.isEmpty());
    QCOMPARE(d.sounds.size(), 600);
    d.runUntil(at(0, 1, 0, 0, next));
    QCOMPARE(d.stops, QList<QDateTime>{at(0, 0, 30, 100, next)});
    QCOMPARE(d.sounds.size(), 600);
}

void TestAlarmEngine::reArmAfterStopByDuration() {
    Drive d;
    d.e.setRingSeconds(10);
    d.now = at(12, 0, 0);
    QCOMPARE(d.e.enter(6, u"12.00.05"_s, d.now), EntryOutcome::Armed);
    d.runUntil(at(12, 0, 30));
    QCOMPARE(d.stops.size(), 1);
    QVERIFY(!d.e.ringerEnabled(6));
    QCOMPARE(d.e.row(6).ringerInterval(), 0);

    // The row's label: time box enabled and focused, then a new time.
    d.e.enableTimeBox(6);
    d.e.timeBoxFocused(6);
    QVERIFY(d.e.row(6).lit()); // a stopped row stays lit until it rings again
    QCOMPARE(d.e.enter(6, u"12.01"_s, d.now), EntryOutcome::Armed);
    QCOMPARE(d.e.row(6).ringerInterval(), kRingerIntervalMs);
    d.sounds.clear();
    d.runUntil(at(12, 1, 5));
    QCOMPARE(d.sounds.size(), 50);
    d.runUntil(at(12, 1, 20));
    QCOMPARE(d.stops.size(), 2);
    QCOMPARE(d.sounds.size(), 100);
}

void TestAlarmEngine::reArmAfterStopWhileArmed() {
    // "停止" pressed on a row that has not rung yet leaves its ringer at interval 0.
    Drive d;
    d.now = at(12, 0, 0);
    QCOMPARE(d.e.enter(7, u"12.00.05"_s, d.now), EntryOutcome::Armed);
    d.e.stopRow(7);
    QVERIFY(!d.e.armed(7));
    d.e.timeBoxFocused(7);
    QCOMPARE(d.e.enter(7, u"12.00.10"_s, d.now), EntryOutcome::Armed);
    d.runUntil(at(12, 0, 11));
    QCOMPARE(d.sounds.size(), 10);
}

void TestAlarmEngine::clearAllWhileTwoRowsRing() {
    Drive d;
    d.now = at(12, 0, 0);
    QCOMPARE(d.e.enter(1, u"12.00.01"_s, d.now), EntryOutcome::Armed);
    QCOMPARE(d.e.enter(10, u"12.00.02"_s, d.now), EntryOutcome::Armed);
    QCOMPARE(d.e.enter(5, u"13"_s, d.now), EntryOutcome::Armed);
    d.paths[9] = QString();
    d.runUntil(at(12, 0, 5));
    QVERIFY(d.sounds.contains(u"wave:/w/1.WAV"_s));
    QVERIFY(d.sounds.contains(u"beep"_s));

    d.e.clearAll();
    d.sounds.clear();
    d.runUntil(at(12, 0, 30));
    QVERIFY(d.sounds.isEmpty());
    for (int k = 1; k <= kAlarmRows; ++k) {
        const AlarmRow& r = d.e.row(k);
        QVERIFY(!r.lit());
        QVERIFY(r.displayCaption().isEmpty());
        QVERIFY(r.timeBoxEnabled());
        QVERIFY(!r.watcherEnabled());
        QVERIFY(!r.ringerOn());
        QCOMPARE(r.ringerInterval(), kRingerIntervalMs);
        QVERIFY(!d.e.armed(k));
    }
    // Ready to ring again, the former beep row at its 100 ms start.
    QCOMPARE(d.e.enter(10, u"12.01"_s, d.now), EntryOutcome::Armed);
    d.runUntil(at(12, 1, 0, 200));
    QCOMPARE(d.sounds, QStringList{u"beep"_s});
}

void TestAlarmEngine::durationChangeAppliesToRingingRow() {
    Drive d;
    d.e.setRingSeconds(600);
    d.now = at(12, 0, 0);
    QCOMPARE(d.e.enter(3, u"12.00.01"_s, d.now), EntryOutcome::Armed);
    d.runUntil(at(12, 0, 20));
    QVERIFY(d.stops.isEmpty());
    d.e.setRingSeconds(10);
    d.step();
    QCOMPARE(d.stops.size(), 1);
}

void TestAlarmEngine::ringsKeepRealTimeAcrossDaylightSaving_data() {
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("ringSeconds");
    QTest::addColumn<QDateTime>("fireUtc");
    const QDate spring(2026, 3, 29), autumn(2026, 10, 25);
    auto utc = [](QDate d, int h, int m, int s) { return QDateTime(d, QTime(h, m, s), Qt::UTC); };
    // 02:00:05 is never shown: the clock goes from 01:59:59 to 03:00:00 (01:00:00 UTC).
    QTest::newRow("spring, target in the skipped hour")
        << spring << "2.00.05" << 10 << utc(spring, 1, 0, 0);
    QTest::newRow("spring, ring across the change")
        << spring << "1.59.50" << 30 << utc(spring, 0, 59, 50);
    // 02:59:30 summer time; thirty seconds later the clock shows 02:00:00 again.
    QTest::newRow("autumn, ring across the change")
        << autumn << "2.59.30" << 60 << utc(autumn, 0, 59, 30);
    QTest::newRow("autumn, target in the repeated hour")
        << autumn << "2.30" << 10 << utc(autumn, 0, 30, 0);
}

void TestAlarmEngine::ringsKeepRealTimeAcrossDaylightSaving() {
    QFETCH(QDate, day);
    QFETCH(QString, entry);
    QFETCH(int, ringSeconds);
    QFETCH(QDateTime, fireUtc);
    const ScopedTimeZone zone(ScopedTimeZone::kBerlin);
    if (!ScopedTimeZone::berlinInForce()) QSKIP("the local time zone cannot be set here");
    Drive d;
    d.e.setRingSeconds(ringSeconds);
    d.now = QDateTime(day, QTime(1, 50, 0));
    QCOMPARE(d.e.enter(1, entry, d.now), EntryOutcome::Armed);
    d.runUntil(d.now.addSecs(3 * 3600));

    QCOMPARE(d.firstFire.toMSecsSinceEpoch(), fireUtc.toMSecsSinceEpoch());
    // One ring, as long as its duration in real time, and nothing when the clock shows the
    // target a second time.
    QCOMPARE(d.stops.size(), 1);
    const qint64 length = d.stops.first().toMSecsSinceEpoch() - fireUtc.toMSecsSinceEpoch();
    QVERIFY2(length > ringSeconds * 1000 && length <= ringSeconds * 1000 + 200,
             qPrintable(QString::number(length)));
    QCOMPARE(d.sounds.size(), ringSeconds * 10);
}

QTEST_GUILESS_MAIN(TestAlarmEngine)
#include "tst_alarm_engine.moc"
