// SPDX-License-Identifier: MIT
#include "stopwatch/stopwatch.h"

#include <QTest>

using qz::Stopwatch;

namespace {
QDateTime at(int h, int m, int s, int ms = 0, QDate d = QDate(2010, 11, 8)) {
    return QDateTime(d, QTime(h, m, s, ms));
}
} // namespace

class TstStopwatch : public QObject {
    Q_OBJECT
  private slots:
    void formatElapsed_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "00:00:00";
        QTest::newRow("minute and a half") << qint64(90) << "00:01:30";
        QTest::newRow("last second of a day") << qint64(86399) << "23:59:59";
        QTest::newRow("a day and an hour") << qint64(90003) << "25:00:03";
        QTest::newRow("three digit hours") << qint64(360000) << "100:00:00";
    }
    void formatElapsed() {
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(Stopwatch::formatElapsed(seconds), text);
    }

    void workedValues() {
        Stopwatch w;
        w.start(at(10, 0, 0));
        QVERIFY(w.pause(at(10, 1, 30)));
        QCOMPARE(w.accumulatedSeconds(), 90);
        QCOMPARE(w.pauseTime(), at(10, 1, 30));
        QVERIFY(w.cont(at(10, 5, 0)));
        QCOMPARE(w.runStart(), at(10, 5, 0));
        QCOMPARE(w.displayText(at(10, 5, 20)), QStringLiteral("00:01:50"));
    }

    void pauseFreezesAndContinueAddsOn() {
        Stopwatch w;
        w.start(at(9, 0, 0));
        QVERIFY(w.pause(at(9, 0, 5)));
        QCOMPARE(w.displayText(at(9, 0, 5)), QStringLiteral("00:00:05"));
        // Paused: the clock moving on does not move the display.
        QCOMPARE(w.displayText(at(9, 7, 0)), QStringLiteral("00:00:05"));
        QVERIFY(w.cont(at(9, 7, 0)));
        QCOMPARE(w.displayText(at(9, 7, 3)), QStringLiteral("00:00:08"));
    }

    void startWhileRunningRestarts() {
        Stopwatch w;
        w.start(at(9, 0, 0));
        w.pause(at(9, 0, 10));
        w.cont(at(9, 0, 20));
        w.start(at(9, 0, 30));
        QCOMPARE(w.accumulatedSeconds(), 0);
        QCOMPARE(w.displayText(at(9, 0, 30)), QStringLiteral("00:00:00"));
        QCOMPARE(w.displayText(at(9, 0, 34)), QStringLiteral("00:00:04"));
    }

    void clearEmptiesTheDisplay() {
        Stopwatch w;
        w.start(at(9, 0, 0));
        w.clear();
        QCOMPARE(w.state(), Stopwatch::State::Idle);
        QCOMPARE(w.displayText(at(9, 0, 9)), QString());
        QVERIFY(w.runStart().isNull());
        QCOMPARE(w.accumulatedSeconds(), 0);
    }

    // The clock is read in whole seconds, so the display changes exactly at each second of the
    // clock, whatever the milliseconds at Start.
    void readsWholeSeconds() {
        Stopwatch w;
        w.start(at(9, 0, 0, 900));
        QCOMPARE(w.displayText(at(9, 0, 0, 999)), QStringLiteral("00:00:00"));
        QCOMPARE(w.displayText(at(9, 0, 1, 0)), QStringLiteral("00:00:01"));
    }

    void runAcrossMidnight() {
        Stopwatch w;
        w.start(at(23, 59, 50));
        QCOMPARE(w.displayText(at(0, 0, 15, 0, QDate(2010, 11, 9))), QStringLiteral("00:00:25"));
        QVERIFY(w.pause(at(0, 0, 20, 0, QDate(2010, 11, 9))));
        QCOMPARE(w.accumulatedSeconds(), 30);
    }

    void runOfMoreThanADayKeepsCounting() {
        Stopwatch w;
        w.start(at(8, 0, 0));
        QCOMPARE(w.displayText(at(9, 0, 3, 0, QDate(2010, 11, 9))), QStringLiteral("25:00:03"));
    }

    void clockSetBackShowsNoNegativeTime() {
        Stopwatch w;
        w.start(at(9, 0, 10));
        w.pause(at(9, 0, 20));
        w.cont(at(9, 0, 30));
        QCOMPARE(w.displayText(at(9, 0, 0)), QStringLiteral("00:00:10"));
    }

    void pauseWhenNotRunningIsIgnored() {
        Stopwatch w;
        QVERIFY(!w.pause(at(9, 0, 0)));
        QCOMPARE(w.state(), Stopwatch::State::Idle);
        QCOMPARE(w.displayText(at(9, 0, 0)), QString());

        w.start(at(9, 0, 0));
        QVERIFY(w.pause(at(9, 0, 5)));
        // A second pause must not bank the run again.
        QVERIFY(!w.pause(at(9, 0, 40)));
        QCOMPARE(w.accumulatedSeconds(), 5);
        QCOMPARE(w.pauseTime(), at(9, 0, 5));
        QVERIFY(w.cont(at(9, 1, 0)));
        QCOMPARE(w.displayText(at(9, 1, 1)), QStringLiteral("00:00:06"));
    }

    void continueWithoutAPausedRun() {
        // Before any Start it starts from zero.
        Stopwatch w;
        QVERIFY(w.cont(at(9, 0, 0)));
        QVERIFY(w.running());
        QCOMPARE(w.displayText(at(9, 0, 7)), QStringLiteral("00:00:07"));
        // While running it changes nothing.
        QVERIFY(!w.cont(at(9, 0, 5)));
        QCOMPARE(w.runStart(), at(9, 0, 0));
        QCOMPARE(w.displayText(at(9, 0, 7)), QStringLiteral("00:00:07"));
        // After Clear, as after opening.
        w.clear();
        QVERIFY(w.cont(at(9, 1, 0)));
        QCOMPARE(w.displayText(at(9, 1, 2)), QStringLiteral("00:00:02"));
    }
};

QTEST_GUILESS_MAIN(TstStopwatch)
#include "tst_stopwatch.moc"
