// SPDX-License-Identifier: MIT
#include "countdown/countdown_engine.h"
#include "files/read_number.h"
#include "tests/scoped_time_zone.h"

#include <QTest>

using namespace qz;
using namespace Qt::StringLiterals;

namespace {

const QDate kDay(2010, 11, 8);

QDateTime at(int h, int m, int s, int ms = 0, QDate d = kDay) {
    return QDateTime(d, QTime(h, m, s, ms));
}

// Starts a countdown and returns the state, with the entries typed as given.
CountdownState started(const QDateTime& now, const QString& h, const QString& m, const QString& s) {
    CountdownState st;
    startCountdown(st, h, m, s, now);
    return st;
}

// Ring ticks every 300 ms from `from` until the ring ends; returns the sounds requested.
QList<SoundRequest> ringUntilOver(CountdownState& st, QDateTime from, int ringSeconds,
                                  QList<bool>* lamps = nullptr, QDateTime* endedAt = nullptr) {
    QList<SoundRequest> sounds;
    for (int i = 0; i < 10000; ++i, from = from.addMSecs(300)) {
        const CountdownOutputs out = ringTick(st, from, ringSeconds);
        if (out.ringTimer == RingTimerRequest::Stop) {
            if (endedAt) *endedAt = from;
            return sounds;
        }
        sounds.append(out.sound);
        if (lamps && out.lampLit) lamps->append(*out.lampLit);
    }
    return sounds;
}

} // namespace

class TstCountdownEngine : public QObject {
    Q_OBJECT
  private slots:
    void leadingNumber_data();
    void leadingNumber();
    void entryValue_data();
    void entryValue();
    void start_data();
    void start();
    void startShowsWhatItSets();
    void timeLeftAcrossMidnight();
    void timeLeftCountsEveryDay();
    void zeroEntriesRingAtOnce();
    void firesOnLaterDateWithEarlierTimeOfDay();
    void lateTargetRingsInFull();
    void negativeSecondsWhileRinging();
    void ringDuration_data();
    void ringDuration();
    void ringEndsAcrossMidnight();
    void countsRealSecondsAcrossDaylightSaving_data();
    void countsRealSecondsAcrossDaylightSaving();
    void soundChoices_data();
    void soundChoices();
    void blinkPhaseCarriesOver();
    void stopWhileCounting();
    void startWhileRingingStopsTheRing();
    void clearAndReset();
};

void TstCountdownEngine::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("leading zero") << "05" << 5.0;
    QTest::newRow("trailing letters") << "12abc" << 12.0;
    QTest::newRow("letters only") << "abc" << 0.0;
    QTest::newRow("inner blank") << "1 2" << 12.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("negative fraction") << "-3.5x" << -3.5;
    QTest::newRow("tabs and line feeds") << "\t1\n5 " << 15.0;
    QTest::newRow("blank after sign") << "- 4" << -4.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("bare point") << "." << 0.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("double sign") << "--5" << 0.0;
    QTest::newRow("sign after digits stops") << "5-3" << 5.0;
    QTest::newRow("carriage return stops") << "1\r2" << 1.0;
    QTest::newRow("full-width digits") << "１２" << 0.0;
}

void TstCountdownEngine::leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(readLeadingNumber(text), value);
}

void TstCountdownEngine::entryValue_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<qint64>("value");
    QTest::newRow("one digit") << "5"
                               << "05" << qint64(5);
    QTest::newRow("half rounds up") << "1.5"
                                    << "02" << qint64(2);
    QTest::newRow("half away from zero") << "2.5"
                                         << "03" << qint64(3);
    QTest::newRow("negative half") << "-1.5"
                                   << "-02" << qint64(-2);
    QTest::newRow("below half") << "0.4"
                                << "00" << qint64(0);
    QTest::newRow("three digits") << "123"
                                  << "123" << qint64(123);
    QTest::newRow("blanks around") << " 7 "
                                   << "07" << qint64(7);
    QTest::newRow("not a number") << "12abc"
                                  << "12abc" << qint64(12);
    QTest::newRow("fraction with letters") << "2.5h"
                                           << "2.5h" << qint64(3);
    QTest::newRow("empty") << ""
                           << "" << qint64(0);
    QTest::newRow("letters") << "abc"
                             << "abc" << qint64(0);
    QTest::newRow("huge") << QString(40, u'9') << QString(40, u'9') << qint64(1000000000000);
}

void TstCountdownEngine::entryValue() {
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(qint64, value);
    if (pattern.size() < 30) QCOMPARE(formatEntry00(text), pattern);
    QCOMPARE(countdownEntryValue(text), value);
}

void TstCountdownEngine::start_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("h");
    QTest::addColumn<QString>("m");
    QTest::addColumn<QString>("s");
    QTest::addColumn<QString>("targetDate");
    QTest::addColumn<QString>("targetTime");
    QTest::addColumn<qint64>("addHours");

    QTest::newRow("0,0,0") << at(13, 8, 20) << "0"
                           << "0"
                           << "0"
                           << "2010/11/08"
                           << "13:08:20" << qint64(0);
    QTest::newRow("90 minutes carry") << at(10, 50, 30) << ""
                                      << "90"
                                      << ""
                                      << "2010/11/08"
                                      << "12:20:30" << qint64(0);
    QTest::newRow("1.5 hours") << at(10, 0, 0) << "1.5"
                               << ""
                               << ""
                               << "2010/11/08"
                               << "12:00:00" << qint64(2);
    QTest::newRow("seconds carry twice") << at(10, 59, 30) << ""
                                         << ""
                                         << "3630"
                                         << "2010/11/08"
                                         << "12:00:00" << qint64(0);
    QTest::newRow("over midnight") << at(23, 59, 0) << ""
                                   << "2"
                                   << ""
                                   << "2010/11/09"
                                   << "00:01:00" << qint64(0);
    QTest::newRow("25 hours") << at(9, 0, 0) << "25"
                              << "0"
                              << "0"
                              << "2010/11/09"
                              << "10:00:00" << qint64(25);
    QTest::newRow("year end") << at(23, 0, 0, 0, QDate(2010, 12, 31)) << "2"
                              << ""
                              << ""
                              << "2011/01/01"
                              << "01:00:00" << qint64(2);
    QTest::newRow("leap day") << at(12, 0, 0, 0, QDate(2012, 2, 28)) << "24"
                              << ""
                              << ""
                              << "2012/02/29"
                              << "12:00:00" << qint64(24);
    QTest::newRow("milliseconds dropped") << at(10, 0, 0, 999) << ""
                                          << ""
                                          << "1"
                                          << "2010/11/08"
                                          << "10:00:01" << qint64(0);
    QTest::newRow("negative minutes") << at(10, 0, 0) << ""
                                      << "-10"
                                      << ""
                                      << "2010/11/08"
                                      << "09:50:00" << qint64(0);
    QTest::newRow("negative hours before midnight") << at(0, 30, 0) << "-1"
                                                    << ""
                                                    << ""
                                                    << "2010/11/07"
                                                    << "23:30:00" << qint64(-1);
    QTest::newRow("negative seconds and positive minutes") << at(10, 0, 0) << ""
                                                           << "1"
                                                           << "-90"
                                                           << "2010/11/08"
                                                           << "09:59:30" << qint64(0);
    QTest::newRow("beyond the calendar") << at(10, 0, 0) << "99999999999"
                                         << ""
                                         << ""
                                         << "9999/12/31"
                                         << "23:59:59" << qint64(99999999999);
}

void TstCountdownEngine::start() {
    QFETCH(QDateTime, now);
    QFETCH(QString, h);
    QFETCH(QString, m);
    QFETCH(QString, s);
    QFETCH(QString, targetDate);
    QFETCH(QString, targetTime);
    QFETCH(qint64, addHours);

    const CountdownState st = started(now, h, m, s);
    QCOMPARE(st.targetDate, targetDate);
    QCOMPARE(st.targetTime, targetTime);
    QCOMPARE(st.addHours, addHours);
    QVERIFY(st.running);
    QCOMPARE(st.startDate, now.toString(u"yyyy/MM/dd"_s));
    QCOMPARE(st.startHour, now.time().hour());
    QCOMPARE(st.startMinute, now.time().minute());
    QCOMPARE(st.startSecond, now.time().second());
}

void TstCountdownEngine::startShowsWhatItSets() {
    CountdownState st;
    st.blinkPhase = 1;
    const CountdownOutputs out = startCountdown(st, u""_s, u"5"_s, u""_s, at(9, 5, 3));
    QCOMPARE(out.startTime, u"9:05:03"_s);
    QCOMPARE(out.startDate, u"2010/11/08"_s);
    QCOMPARE(out.targetTime, u"09:10:03"_s);
    QCOMPARE(out.targetDate, u"2010/11/08"_s);
    QCOMPARE(out.lampLit, false);
    QVERIFY(!out.timeLeft);
    QCOMPARE(st.blinkPhase, 1);
}

void TstCountdownEngine::timeLeftAcrossMidnight() {
    CountdownState st = started(at(23, 59, 0), u""_s, u"2"_s, u""_s);
    const QDate next = kDay.addDays(1);
    struct Step {
        QDateTime now;
        QString left;
        bool fires;
    };
    const Step steps[] = {
        {at(23, 59, 0), u"00:02:00"_s, false},        {at(23, 59, 59, 900), u"00:01:01"_s, false},
        {at(0, 0, 0, 0, next), u"00:01:00"_s, false}, {at(0, 0, 59, 0, next), u"00:00:01"_s, false},
        {at(0, 1, 0, 0, next), u"00:00:00"_s, true},
    };
    for (const Step& step : steps) {
        const CountdownOutputs out = clockTick(st, step.now);
        QCOMPARE(out.timeLeft, step.left);
        QCOMPARE(out.currentTime, step.now.time().toString(u"hh:mm:ss"_s));
        QCOMPARE(out.currentDate, step.now.date().toString(u"yyyy/MM/dd"_s));
        QCOMPARE(out.raiseWindow, step.fires);
        QCOMPARE(out.ringTimer == RingTimerRequest::Start, step.fires);
    }
}

void TstCountdownEngine::timeLeftCountsEveryDay() {
    CountdownState st = started(at(9, 0, 0), u"25"_s, u"0"_s, u"0"_s);
    QCOMPARE(clockTick(st, at(9, 0, 0)).timeLeft, u"25:00:00"_s);

    // Two dates ahead: every day counts, not just one.
    st = started(at(9, 0, 0), u"50"_s, u""_s, u""_s);
    QCOMPARE(st.targetDate, u"2010/11/10"_s);
    QCOMPARE(clockTick(st, at(9, 0, 0)).timeLeft, u"50:00:00"_s);
    QCOMPARE(clockTick(st, at(23, 0, 0)).timeLeft, u"36:00:00"_s);
    QCOMPARE(clockTick(st, at(9, 0, 0, 0, kDay.addDays(1))).timeLeft, u"26:00:00"_s);
    QCOMPARE(clockTick(st, at(10, 59, 59, 0, kDay.addDays(2))).timeLeft, u"00:00:01"_s);
}

void TstCountdownEngine::zeroEntriesRingAtOnce() {
    CountdownState st = started(at(13, 8, 20, 500), u"0"_s, u"0"_s, u"0"_s);
    CountdownOutputs out = clockTick(st, at(13, 8, 20, 800));
    QCOMPARE(out.timeLeft, u"00:00:00"_s);
    QVERIFY(out.raiseWindow);
    QCOMPARE(out.ringTimer, RingTimerRequest::Start);
    out = clockTick(st, at(13, 8, 21, 100));
    QCOMPARE(out.timeLeft, u"-1"_s);
    QCOMPARE(out.ringTimer, RingTimerRequest::Start); // repeated while the target stays reached
}

void TstCountdownEngine::firesOnLaterDateWithEarlierTimeOfDay() {
    // The machine slept past the target: a later date counts even at an earlier hour.
    CountdownState st = started(at(23, 59, 0), u""_s, u"2"_s, u""_s);
    const CountdownOutputs out = clockTick(st, at(0, 0, 30, 0, kDay.addDays(2)));
    QCOMPARE(out.ringTimer, RingTimerRequest::Start);
    QCOMPARE(out.timeLeft, QString::number(-(86400 - 60 + 30)));

    // A negative duration lands in the past and fires at the first tick.
    st = started(at(10, 0, 0), u""_s, u""_s, u"-5"_s);
    const CountdownOutputs neg = clockTick(st, at(10, 0, 0, 300));
    QCOMPARE(neg.ringTimer, RingTimerRequest::Start);
    QCOMPARE(neg.timeLeft, u"-5"_s);
}

// A target the program sees pass late (an hour's negative entry, a machine that slept past
// it) still rings for the whole duration, counted from the first sound.
void TstCountdownEngine::lateTargetRingsInFull() {
    const QDateTime starts[] = {at(10, 0, 0), at(23, 59, 0)};
    const QString hours[] = {u"-1"_s, u""_s};
    const QDateTime seen[] = {at(10, 0, 0, 200), at(1, 0, 0, 0, kDay.addDays(1))};
    for (int k = 0; k < 2; ++k) {
        CountdownState st = started(starts[k], hours[k], k ? u"2"_s : u""_s, u""_s);
        QCOMPARE(clockTick(st, seen[k]).ringTimer, RingTimerRequest::Start);
        int sounds = 0;
        QDateTime t = seen[k];
        for (;; t = t.addMSecs(300)) {
            const CountdownOutputs out = ringTick(st, t, 5);
            if (out.ringTimer == RingTimerRequest::Stop) break;
            if (out.sound.kind != SoundRequest::Kind::None) ++sounds;
        }
        QVERIFY2(seen[k].msecsTo(t) >= 4000, qPrintable(QString::number(seen[k].msecsTo(t))));
        QVERIFY(seen[k].msecsTo(t) <= 5400);
        QVERIFY(sounds >= 14);
    }
}

void TstCountdownEngine::negativeSecondsWhileRinging() {
    CountdownState st = started(at(10, 0, 0), u""_s, u""_s, u"10"_s);
    QCOMPARE(clockTick(st, at(10, 0, 10)).ringTimer, RingTimerRequest::Start);
    ringTick(st, at(10, 0, 10, 100), 5);
    QCOMPARE(clockTick(st, at(10, 0, 13, 200)).timeLeft, u"-3"_s);
    QDateTime ended;
    ringUntilOver(st, at(10, 0, 13, 400), 5, nullptr, &ended);
    // After the ring the count is over: no more time left, no second ring.
    const CountdownOutputs after = clockTick(st, ended.addSecs(1));
    QVERIFY(!after.timeLeft);
    QCOMPARE(after.ringTimer, RingTimerRequest::Keep);
    QVERIFY(!after.raiseWindow);
}

void TstCountdownEngine::ringDuration_data() {
    QTest::addColumn<int>("ringSeconds");
    QTest::addColumn<int>("startMs"); // first ring tick, after the target
    QTest::addColumn<int>("sounds");
    QTest::addColumn<int>("endMs");
    // Ticks at 100, 400, ..., 4900 ms sound; the one at 5200 ms is the first with 5 whole
    // seconds passed.
    QTest::newRow("5 s") << 5 << 100 << 17 << 5200;
    QTest::newRow("5 s, ticks on the second") << 5 << 0 << 17 << 5100;
    QTest::newRow("0 s ends at once") << 0 << 100 << 0 << 100;
    QTest::newRow("30 s") << 30 << 100 << 100 << 30100;
}

void TstCountdownEngine::ringDuration() {
    QFETCH(int, ringSeconds);
    QFETCH(int, startMs);
    QFETCH(int, sounds);
    QFETCH(int, endMs);
    CountdownState st = started(at(12, 0, 0), u""_s, u"1"_s, u""_s);
    const QDateTime target = at(12, 1, 0);
    QDateTime ended;
    const QList<SoundRequest> played =
        ringUntilOver(st, target.addMSecs(startMs), ringSeconds, nullptr, &ended);
    QCOMPARE(played.size(), sounds);
    QCOMPARE(target.msecsTo(ended), qint64(endMs));
    QVERIFY(st.targetTime.isEmpty());
    QVERIFY(!st.running);
}

void TstCountdownEngine::ringEndsAcrossMidnight() {
    CountdownState st = started(at(23, 59, 0), u""_s, u""_s, u"58"_s);
    QCOMPARE(st.targetTime, u"23:59:58"_s);
    QDateTime ended;
    const auto played = ringUntilOver(st, at(23, 59, 58, 100), 5, nullptr, &ended);
    QCOMPARE(played.size(), 17);
    QCOMPARE(ended, at(0, 0, 3, 200, kDay.addDays(1)));
}

void TstCountdownEngine::soundChoices_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("file");
    QTest::newRow("Ring") << int(SoundChoice::Ring) << int(SoundRequest::Kind::Wave) << "RING.WAV";
    QTest::newRow("Bell") << int(SoundChoice::Bell) << int(SoundRequest::Kind::Wave)
                          << "1min07A.WAV";
    QTest::newRow("BEEP") << int(SoundChoice::Beep) << int(SoundRequest::Kind::Beep) << "";
}

void TstCountdownEngine::soundChoices() {
    QFETCH(int, choice);
    QFETCH(int, kind);
    QFETCH(QString, file);
    CountdownState st = started(at(12, 0, 0), u""_s, u""_s, u""_s);
    st.soundChoice = SoundChoice(choice);
    QList<bool> lamps;
    const auto played = ringUntilOver(st, at(12, 0, 0, 100), 2, &lamps);
    QCOMPARE(played.size(), 7); // 100 ms to 1900 ms
    for (const SoundRequest& r : played)
        QCOMPARE(r, (SoundRequest{SoundRequest::Kind(kind), file}));
    // The lamp blinks at the ring's pace, whatever the sound.
    QCOMPARE(lamps, (QList<bool>{false, true, false, true, false, true, false}));
}

void TstCountdownEngine::blinkPhaseCarriesOver() {
    // Three ring ticks leave the lamp lit at the next; neither Clear nor Start resets it.
    CountdownState st = started(at(12, 0, 0), u""_s, u""_s, u""_s);
    QList<bool> lamps;
    ringUntilOver(st, at(12, 0, 0, 200), 1, &lamps); // 200, 500, 800 ms; 1100 ms ends
    QCOMPARE(lamps, (QList<bool>{false, true, false}));
    clearCountdown(st);
    startCountdown(st, u""_s, u""_s, u""_s, at(12, 5, 0));
    QCOMPARE(ringTick(st, at(12, 5, 0, 100), 30).lampLit, true);
}

void TstCountdownEngine::stopWhileCounting() {
    CountdownState st = started(at(10, 0, 0), u""_s, u"5"_s, u""_s);
    QCOMPARE(clockTick(st, at(10, 1, 0)).timeLeft, u"00:04:00"_s);
    const CountdownOutputs out = stopRinging(st);
    QCOMPARE(out.lampLit, true);
    QCOMPARE(out.ringTimer, RingTimerRequest::Stop);
    QVERIFY(!out.timeLeft && !out.targetTime); // frozen as they were
    QVERIFY(!st.running);
    QVERIFY(st.targetTime.isEmpty());
    for (const QDateTime& t : {at(10, 2, 0), at(10, 5, 0), at(10, 6, 0)}) {
        const CountdownOutputs tick = clockTick(st, t);
        QVERIFY(!tick.timeLeft);
        QCOMPARE(tick.ringTimer, RingTimerRequest::Keep);
    }
}

void TstCountdownEngine::startWhileRingingStopsTheRing() {
    CountdownState st = started(at(10, 0, 0), u""_s, u""_s, u""_s);
    QCOMPARE(clockTick(st, at(10, 0, 0, 300)).ringTimer, RingTimerRequest::Start);
    ringTick(st, at(10, 0, 0, 400), 30);
    const CountdownOutputs out = startCountdown(st, u""_s, u"1"_s, u""_s, at(10, 0, 2));
    QCOMPARE(out.ringTimer, RingTimerRequest::Stop);
    QCOMPARE(out.lampLit, false);
    const CountdownOutputs tick = clockTick(st, at(10, 0, 2, 300));
    QCOMPARE(tick.timeLeft, u"00:01:00"_s);
    QCOMPARE(tick.ringTimer, RingTimerRequest::Keep);
}

void TstCountdownEngine::clearAndReset() {
    CountdownState st = started(at(10, 0, 0), u"1"_s, u"2"_s, u"3"_s);
    st.soundChoice = SoundChoice::Beep;
    st.blinkPhase = 1;
    const CountdownOutputs out = clearCountdown(st);
    for (const auto& text :
         {out.timeLeft, out.startTime, out.startDate, out.targetTime, out.targetDate})
        QCOMPARE(text, QString());
    QCOMPARE(out.lampLit, false);
    QCOMPARE(out.ringTimer, RingTimerRequest::Stop);
    QVERIFY(out.resetEntries);
    CountdownState fresh;
    fresh.blinkPhase = 1;
    QCOMPARE(st.running, fresh.running);
    QCOMPARE(st.addHours + st.addMinutes + st.addSeconds, 0);
    QCOMPARE(st.startHour + st.startMinute + st.startSecond, 0);
    QVERIFY(st.targetDate.isEmpty() && st.targetTime.isEmpty() && st.startDate.isEmpty());
    QCOMPARE(st.soundChoice, SoundChoice::Ring);
    QCOMPARE(st.blinkPhase, 1);
    QVERIFY(!clockTick(st, at(10, 0, 1)).timeLeft);

    st = started(at(10, 0, 0), u"1"_s, u"2"_s, u"3"_s);
    st.soundChoice = SoundChoice::Bell;
    resetCountdown(st);
    QVERIFY(!st.running);
    QVERIFY(st.targetTime.isEmpty() && st.targetDate.isEmpty());
    QCOMPARE(st.soundChoice, SoundChoice::Ring);
}

void TstCountdownEngine::countsRealSecondsAcrossDaylightSaving_data() {
    QTest::addColumn<QDateTime>("startUtc");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("targetDate");
    QTest::addColumn<QString>("targetTime");
    QTest::addColumn<int>("length");
    auto utc = [](int y, int mo, int d, int h, int m, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, m, s), Qt::UTC);
    };
    // Started at 01:59:43 winter time; the clock skips from 01:59:59 to 03:00:00.
    QTest::newRow("spring, end in the skipped hour") << utc(2026, 3, 29, 0, 59, 43) << ""
                                                     << "25"
                                                     << "2026/03/29"
                                                     << "03:00:08" << 25;
    QTest::newRow("spring, two hours") << utc(2026, 3, 29, 0, 30, 0) << "2"
                                       << ""
                                       << "2026/03/29"
                                       << "04:30:00" << 7200;
    // Started at 02:59:50 summer time; ten seconds later the clock shows 02:00:00.
    QTest::newRow("autumn, end after the change") << utc(2026, 10, 25, 0, 59, 50) << ""
                                                  << "25"
                                                  << "2026/10/25"
                                                  << "02:00:15" << 25;
    QTest::newRow("autumn, two hours") << utc(2026, 10, 24, 23, 30, 0) << "2"
                                       << ""
                                       << "2026/10/25"
                                       << "02:30:00" << 7200;
}

void TstCountdownEngine::countsRealSecondsAcrossDaylightSaving() {
    QFETCH(QDateTime, startUtc);
    QFETCH(QString, hours);
    QFETCH(QString, seconds);
    QFETCH(QString, targetDate);
    QFETCH(QString, targetTime);
    QFETCH(int, length);
    const ScopedTimeZone zone(ScopedTimeZone::kBerlin);
    if (!ScopedTimeZone::berlinInForce()) QSKIP("the local time zone cannot be set here");
    const QDateTime start = startUtc.toLocalTime();
    CountdownState st = started(start, hours, u""_s, seconds);
    QCOMPARE(st.targetDate, targetDate);
    QCOMPARE(st.targetTime, targetTime);
    QCOMPARE(clockTick(st, start).timeLeft, timeLeftText(length));

    const CountdownOutputs before = clockTick(st, start.addSecs(length - 1));
    QCOMPARE(before.timeLeft, u"00:00:01"_s);
    QCOMPARE(before.ringTimer, RingTimerRequest::Keep);
    const QDateTime target = start.addSecs(length);
    QCOMPARE(target.time().toString(u"hh:mm:ss"_s), targetTime);
    const CountdownOutputs due = clockTick(st, target);
    QCOMPARE(due.timeLeft, u"00:00:00"_s);
    QCOMPARE(due.ringTimer, RingTimerRequest::Start);

    // The ring lasts its duration in real seconds.
    QDateTime ended;
    const QList<SoundRequest> sounds = ringUntilOver(st, target.addMSecs(300), 5, nullptr, &ended);
    QVERIFY(!sounds.isEmpty());
    const qint64 ringMs = target.msecsTo(ended);
    QVERIFY2(ringMs >= 5000 && ringMs <= 5300, qPrintable(QString::number(ringMs)));
}

QTEST_GUILESS_MAIN(TstCountdownEngine)
#include "tst_countdown_engine.moc"
