// SPDX-License-Identifier: MIT
#include "timer/alarm_engine.h"
#include "timer/alarm_entry.h"

#include <QTest>

using namespace qz;
using namespace Qt::StringLiterals;

class TestAlarmEntry : public QObject {
    Q_OBJECT
  private slots:
    void parse_data();
    void parse();
    void passed_data();
    void passed();
    void enterOutcomes();
    void refusedEntryLeavesRowUnarmed();
    void focusDisarmsUnlessSkipped();
};

void TestAlarmEntry::parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // empty: refused

    QTest::newRow("dots") << "13.08.20"
                          << "13:08:20";
    QTest::newRow("colons") << "13:08:20"
                            << "13:08:20";
    QTest::newRow("mixed") << "13:8.2"
                           << "13:08:02";
    QTest::newRow("hour and minute") << "7.5"
                                     << "07:05:00";
    QTest::newRow("bare hour") << "13"
                               << "13:00:00";
    QTest::newRow("midnight") << "0"
                              << "00:00:00";
    QTest::newRow("last second") << "23.59.59"
                                 << "23:59:59";
    QTest::newRow("leading zeros") << "007.005"
                                   << "07:05:00";
    QTest::newRow("outer blanks") << " 7.30 "
                                  << "07:30:00";
    QTest::newRow("hour 24") << "24"
                             << "";
    QTest::newRow("minute 60") << "12.60"
                               << "";
    QTest::newRow("second 60") << "12.00.60"
                               << "";
    QTest::newRow("letters") << "ab"
                             << "";
    QTest::newRow("letter in field") << "12.3a"
                                     << "";
    QTest::newRow("four fields") << "1.2.3.4"
                                 << "";
    QTest::newRow("empty minute") << "12..30"
                                  << "";
    QTest::newRow("trailing dot") << "12."
                                  << "";
    QTest::newRow("leading dot") << ".30"
                                 << "";
    QTest::newRow("sign") << "-1.30"
                          << "";
    QTest::newRow("inner blank") << "1 2.30"
                                 << "";
    QTest::newRow("full-width digits") << QString::fromUtf8("１３") << "";
    QTest::newRow("huge") << "99999999999999999999"
                          << "";
}

void TestAlarmEntry::parse() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const auto got = parseAlarmTime(text);
    if (expected.isEmpty()) {
        QVERIFY2(!got, qPrintable(alarmText(got.value_or(QTime()))));
    } else {
        QVERIFY(got);
        QCOMPARE(alarmText(*got), expected);
        QCOMPARE(*got, QTime::fromString(expected, u"HH:mm:ss"_s));
    }
}

void TestAlarmEntry::passed_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("now");
    QTest::addColumn<bool>("passed");
    QTest::newRow("equal") << "13:08:20"
                           << "13:08:20" << true;
    QTest::newRow("one second ahead") << "13:08:21"
                                      << "13:08:20" << false;
    QTest::newRow("earlier") << "09:00:00"
                             << "13:08:20" << true;
    QTest::newRow("after midnight seen before") << "00:00:10"
                                                << "23:59:50" << true;
    // The clock is read to the millisecond; the target comes with the second it names.
    QTest::newRow("a tenth before") << "13:08:20"
                                    << "13:08:19.900" << false;
    QTest::newRow("within its second") << "13:08:20"
                                       << "13:08:20.500" << true;
}

void TestAlarmEntry::passed() {
    QFETCH(QString, target);
    QFETCH(QString, now);
    QFETCH(bool, passed);
    QCOMPARE(
        isPassed(QTime::fromString(target, Qt::ISODate), QTime::fromString(now, Qt::ISODateWithMs)),
        passed);
}

static QDateTime at(int h, int m, int s, int ms = 0) {
    return QDateTime(QDate(2010, 11, 8), QTime(h, m, s, ms));
}

static QString noSound(int) {
    return {};
}

void TestAlarmEntry::enterOutcomes() {
    AlarmEngine e;
    QCOMPARE(e.enter(1, u""_s, at(13, 8, 20)), EntryOutcome::Beep);
    QCOMPARE(e.enter(1, u"13.08.20"_s, at(13, 8, 20)), EntryOutcome::Passed);
    QVERIFY(!e.armed(1));
    QCOMPARE(e.enter(1, u"13.08.21"_s, at(13, 8, 20)), EntryOutcome::Armed);
    QCOMPARE(e.row(1).target(), QTime(13, 8, 21));
    QCOMPARE(e.row(1).displayCaption(), u"13:08:21 "_s);
    QVERIFY(e.row(1).watcherEnabled());
    // An empty box of an armed row moves on to the memo and keeps the alarm.
    QCOMPARE(e.enter(1, u""_s, at(13, 8, 20)), EntryOutcome::MoveToMemo);
    QVERIFY(e.armed(1));

    // After midnight cannot be set before midnight.
    QCOMPARE(e.enter(2, u"0.0.10"_s, at(23, 59, 50)), EntryOutcome::Passed);
    QCOMPARE(e.enter(2, u"13"_s, at(12, 0, 0)), EntryOutcome::Armed);
    QCOMPARE(e.row(2).target(), QTime(13, 0, 0));
}

void TestAlarmEntry::refusedEntryLeavesRowUnarmed() {
    AlarmEngine e;
    // Row 1 kept armed through a skipped focus, then a bad time typed over it: the display
    // must not go on showing a time that will never ring.
    QCOMPARE(e.enter(1, u"14.00"_s, at(13, 0, 0)), EntryOutcome::Armed);
    e.setKeepRowOnNextFocus(true);
    e.timeBoxFocused(1);
    QVERIFY(e.armed(1));
    QCOMPARE(e.enter(1, u"25.00"_s, at(13, 0, 0)), EntryOutcome::Invalid);
    QVERIFY(!e.armed(1));
    QVERIFY(!e.row(1).watcherEnabled());
    QVERIFY(e.row(1).displayCaption().isEmpty());
    QVERIFY(e.advanceTo(at(14, 0, 0), noSound).isEmpty());
}

void TestAlarmEntry::focusDisarmsUnlessSkipped() {
    AlarmEngine e;
    QCOMPARE(e.enter(3, u"7.30"_s, at(7, 0, 0)), EntryOutcome::Armed);
    e.timeBoxFocused(3);
    QVERIFY(!e.armed(3));
    QVERIFY(!e.row(3).watcherEnabled());
    QVERIFY(e.row(3).displayCaption().isEmpty());
    QVERIFY(e.advanceTo(at(7, 30, 0), noSound).isEmpty());

    QCOMPARE(e.enter(3, u"7.30"_s, at(7, 0, 0)), EntryOutcome::Armed);
    e.setKeepRowOnNextFocus(true);
    e.timeBoxFocused(3);
    QVERIFY(!e.keepsRowOnNextFocus());
    QVERIFY(e.armed(3));
    e.timeBoxFocused(3); // the flag is used up
    QVERIFY(!e.armed(3));
}

QTEST_GUILESS_MAIN(TestAlarmEntry)
#include "tst_alarm_entry.moc"
