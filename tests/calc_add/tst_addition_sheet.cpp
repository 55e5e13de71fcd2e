// SPDX-License-Identifier: MIT
#include "calc_add/addition_sheet.h"

#include <QRandomGenerator>
#include <QTest>

using namespace qz;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(qz::EntryError)
Q_DECLARE_METATYPE(qz::RoundingMode)

namespace {

// Types each text and presses Enter, as the user does, from a fresh worksheet.
AdditionSheet typed(const QStringList& entries, RoundingMode mode = RoundingMode::None) {
    AdditionSheet s;
    chooseRoundingMode(s, mode);
    for (const QString& e : entries)
        pressEnter(s, e);
    return s;
}

// The box always stands over the current line, which is in view unless the grid was scrolled.
bool boxOnCurrentLine(const EditPosition& p) {
    return p.boxTop == kBoxTopFirst + (p.currentLine - p.topRow) * kGridLineTwips &&
           p.topRow >= 1 && p.topRow <= kLastTopRow && p.currentLine >= 1 &&
           p.currentLine <= kLineCount;
}
bool boxOverCurrentLine(const EditPosition& p) {
    return boxOnCurrentLine(p) && currentLineInView(p);
}

} // namespace

class TstAdditionSheet : public QObject {
    Q_OBJECT
  private slots:
    void evaluate_data();
    void evaluate();
    void format_data();
    void format();
    void rounding_data();
    void rounding();
    void lineTexts_data();
    void lineTexts();
    void runningTotals_data();
    void runningTotals();
    void pastedLines_data();
    void pastedLines();
    void editRefreshesLaterLines();
    void emptyLinesAboveCountAsNothing();
    void errorsStoreNothing_data();
    void errorsStoreNothing();
    void enterAndDownMoveOn();
    void scrollingFollowsTheBox();
    void line100StaysAt100();
    void upRules();
    void deleteOnlyOnLastLine();
    void clickAndScroll();
    void keysAfterScrollingStayOnTheirLine_data();
    void keysAfterScrollingStayOnTheirLine();
    void boxNeverLeavesItsLine();
    void modeTexts();
};

void TstAdditionSheet::evaluate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<EntryError>("error");
    QTest::addColumn<int>("sign");
    QTest::addColumn<double>("hours");
    QTest::addColumn<double>("minutes");
    const auto ok = EntryError::None;
    QTest::newRow("3.40") << "3.40" << ok << 1 << 3.0 << 40.0;
    QTest::newRow("12.05") << "12.05" << ok << 1 << 12.0 << 5.0;
    QTest::newRow("12.5 counts minutes") << "12.5" << ok << 1 << 12.0 << 5.0;
    QTest::newRow("0.45") << "0.45" << ok << 1 << 0.0 << 45.0;
    QTest::newRow(".45") << ".45" << ok << 1 << 0.0 << 45.0;
    QTest::newRow(".30") << ".30" << ok << 1 << 0.0 << 30.0;
    QTest::newRow("5") << "5" << ok << 1 << 5.0 << 0.0;
    QTest::newRow("1.75 normalised") << "1.75" << ok << 1 << 2.0 << 15.0;
    QTest::newRow("0.60") << "0.60" << ok << 1 << 1.0 << 0.0;
    QTest::newRow("-0.15") << "-0.15" << ok << -1 << 0.0 << 15.0;
    QTest::newRow("abc") << "abc" << ok << 1 << 0.0 << 0.0;
    QTest::newRow("empty") << "" << ok << 1 << 0.0 << 0.0;
    QTest::newRow("2.15*3") << "2.15*3" << ok << 1 << 6.0 << 45.0;
    QTest::newRow("1.10*1.5") << "1.10*1.5" << ok << 1 << 1.0 << 45.0;
    QTest::newRow("1.20*4") << "1.20*4" << ok << 1 << 5.0 << 20.0;
    QTest::newRow("1.30*1.5") << "1.30*1.5" << ok << 1 << 2.0 << 15.0;
    QTest::newRow("-2.15*3") << "-2.15*3" << ok << -1 << 6.0 << 45.0;
    QTest::newRow("0.07*2.5 keeps a fraction") << "0.07*2.5" << ok << 1 << 0.0 << 17.5;
    QTest::newRow("*3") << "*3" << ok << 1 << 0.0 << 0.0;
    QTest::newRow("blanks skipped") << "1 2.0 5" << ok << 1 << 12.0 << 5.0;
    QTest::newRow("full-width") << "１２．３０" << ok << 1 << 12.0 << 30.0;
    QTest::newRow("full-width sign, star, blank") << "－２．１５　＊３" << ok << -1 << 6.0 << 45.0;
    QTest::newRow("full-width colon") << "５：０５" << EntryError::Colon << 1 << 0.0 << 0.0;
    QTest::newRow("5:05") << "5:05" << EntryError::Colon << 1 << 0.0 << 0.0;
    QTest::newRow("colon before minus") << "3-1:2" << EntryError::Colon << 1 << 0.0 << 0.0;
    QTest::newRow("--1") << "--1" << EntryError::Minus << -1 << 0.0 << 0.0;
    QTest::newRow("3-1") << "3-1" << EntryError::Minus << 1 << 0.0 << 0.0;
    QTest::newRow("2.15*-3") << "2.15*-3" << EntryError::Minus << 1 << 0.0 << 0.0;
    QTest::newRow("minus before plus") << "1+2-3" << EntryError::Minus << 1 << 0.0 << 0.0;
    QTest::newRow("1+2") << "1+2" << EntryError::Operator << 1 << 0.0 << 0.0;
    QTest::newRow("6/2") << "6/2" << EntryError::Operator << 1 << 0.0 << 0.0;
    QTest::newRow("operator before second *")
        << "1*2*3/4" << EntryError::Operator << 1 << 0.0 << 0.0;
    QTest::newRow("2.15*3*2") << "2.15*3*2" << EntryError::SecondMultiplication << 1 << 0.0 << 0.0;
    QTest::newRow("overflowing product")
        << QString(400, u'9') + QStringLiteral("*9") << EntryError::TooLarge << 1 << 0.0 << 0.0;
    QTest::newRow("a billion hours") << "1000000000" << EntryError::TooLarge << 1 << 0.0 << 0.0;
}

void TstAdditionSheet::evaluate() {
    QFETCH(QString, text);
    QFETCH(EntryError, error);
    QFETCH(int, sign);
    QFETCH(double, hours);
    QFETCH(double, minutes);
    const EntryValue v = evaluateEntry(text);
    QCOMPARE(v.error, error);
    if (error != EntryError::None) {
        QVERIFY(!entryErrorMessage(error).isEmpty());
        return;
    }
    QCOMPARE(v.sign, sign);
    QCOMPARE(v.hours, hours);
    QCOMPARE(v.minutes, minutes);
}

void TstAdditionSheet::format_data() {
    QTest::addColumn<double>("hours");
    QTest::addColumn<double>("minutes");
    QTest::addColumn<QString>("text");
    QTest::newRow("5") << 5.0 << 0.0 << "05:00";
    QTest::newRow("123") << 123.0 << 7.0 << "123:07";
    QTest::newRow("-1") << -1.0 << 45.0 << "-01:45";
    QTest::newRow("negative zero") << -0.0 << 15.0 << "-00:15";
    QTest::newRow("17.5 minutes") << 0.0 << 17.5 << "00:18";
    QTest::newRow("16.5 minutes") << 0.0 << 16.5 << "00:17";
    QTest::newRow("huge") << 99999999999.0 << 1.0 << "99999999999:01";
}

void TstAdditionSheet::format() {
    QFETCH(double, hours);
    QFETCH(double, minutes);
    QFETCH(QString, text);
    QCOMPARE(formatHoursMinutes(hours, minutes), text);
}

void TstAdditionSheet::rounding_data() {
    QTest::addColumn<RoundingMode>("mode");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("m");
    QTest::addColumn<double>("rh");
    QTest::addColumn<double>("rm");
    using R = RoundingMode;
    QTest::newRow("none") << R::None << 1.0 << 17.0 << 1.0 << 17.0;
    QTest::newRow("30up 0:10") << R::HalfHourUp << 0.0 << 10.0 << 0.0 << 30.0;
    QTest::newRow("30up 1:31") << R::HalfHourUp << 1.0 << 31.0 << 2.0 << 0.0;
    QTest::newRow("30up 1:30") << R::HalfHourUp << 1.0 << 30.0 << 1.0 << 30.0;
    QTest::newRow("30up 2:00") << R::HalfHourUp << 2.0 << 0.0 << 2.0 << 0.0;
    QTest::newRow("30down 1:29") << R::HalfHourDown << 1.0 << 29.0 << 1.0 << 0.0;
    QTest::newRow("30down 1:59") << R::HalfHourDown << 1.0 << 59.0 << 1.0 << 30.0;
    QTest::newRow("30down 0:30") << R::HalfHourDown << 0.0 << 30.0 << 0.0 << 30.0;
    QTest::newRow("15up 0:46") << R::QuarterUp << 0.0 << 46.0 << 1.0 << 0.0;
    QTest::newRow("15up 0:45") << R::QuarterUp << 0.0 << 45.0 << 0.0 << 45.0;
    QTest::newRow("15up 0:01") << R::QuarterUp << 0.0 << 1.0 << 0.0 << 15.0;
    QTest::newRow("15up 0:16") << R::QuarterUp << 0.0 << 16.0 << 0.0 << 30.0;
    QTest::newRow("15up 0:31") << R::QuarterUp << 0.0 << 31.0 << 0.0 << 45.0;
    QTest::newRow("15up 0:00") << R::QuarterUp << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("15down 0:14") << R::QuarterDown << 0.0 << 14.0 << 0.0 << 0.0;
    QTest::newRow("15down 0:29") << R::QuarterDown << 0.0 << 29.0 << 0.0 << 15.0;
    QTest::newRow("15down 0:44") << R::QuarterDown << 0.0 << 44.0 << 0.0 << 30.0;
    QTest::newRow("15down 0:59") << R::QuarterDown << 0.0 << 59.0 << 0.0 << 45.0;
    QTest::newRow("15down 0:15") << R::QuarterDown << 0.0 << 15.0 << 0.0 << 15.0;
    QTest::newRow("15up fraction") << R::QuarterUp << 0.0 << 17.5 << 0.0 << 30.0;
}

void TstAdditionSheet::rounding() {
    QFETCH(RoundingMode, mode);
    QFETCH(double, h);
    QFETCH(double, m);
    QFETCH(double, rh);
    QFETCH(double, rm);
    QCOMPARE(roundMinutes(mode, h, m), (HoursMinutes{rh, rm}));
}

// One entry on a fresh worksheet: the stored signed values and the four texts.
void TstAdditionSheet::lineTexts_data() {
    QTest::addColumn<RoundingMode>("mode");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("lineText");
    QTest::addColumn<QString>("rounded");
    QTest::addColumn<QString>("roundedRunning");
    using R = RoundingMode;
    QTest::newRow("-0.15 shows its sign") << R::None << "-0.15"
                                          << "-00:15"
                                          << "-00:15"
                                          << "-01:45";
    QTest::newRow("-0.15 up rounds away") << R::HalfHourUp << "-0.15"
                                          << "-00:15"
                                          << "-00:30"
                                          << "-01:30";
    QTest::newRow("-0.15 down to zero") << R::QuarterDown << "-0.14"
                                        << "-00:14"
                                        << "00:00"
                                        << "00:00";
    QTest::newRow("-0 has no sign") << R::None << "-0"
                                    << "00:00"
                                    << "00:00"
                                    << "00:00";
    QTest::newRow("mode 1 0.10") << R::HalfHourUp << "0.10"
                                 << "00:10"
                                 << "00:30"
                                 << "00:30";
    QTest::newRow("mode 1 1.31") << R::HalfHourUp << "1.31"
                                 << "01:31"
                                 << "02:00"
                                 << "02:00";
    QTest::newRow("mode 3 0.46") << R::QuarterUp << "0.46"
                                 << "00:46"
                                 << "01:00"
                                 << "01:00";
    QTest::newRow("mode 4 0.44") << R::QuarterDown << "0.44"
                                 << "00:44"
                                 << "00:30"
                                 << "00:30";
    // 17 x 3.5 = 59.5 minutes: shown as a full hour, never as 00:60.
    QTest::newRow("minutes rounding to an hour") << R::None << "0.17*3.5"
                                                 << "01:00"
                                                 << "01:00"
                                                 << "01:00";
}

void TstAdditionSheet::lineTexts() {
    QFETCH(RoundingMode, mode);
    QFETCH(QString, entry);
    QFETCH(QString, lineText);
    QFETCH(QString, rounded);
    QFETCH(QString, roundedRunning);
    const AdditionSheet s = typed({entry}, mode);
    const CalcLine& l = s.line(1);
    QCOMPARE(l.entry, entry);
    QCOMPARE(l.lineText, lineText);
    QCOMPARE(l.roundedLineText, rounded);
    QCOMPARE(l.roundedRunningText, roundedRunning);
    QCOMPARE(lineCells(s, 1)[3], mode == RoundingMode::None ? QString() : rounded);
    QCOMPARE(lineCells(s, 1)[4], mode == RoundingMode::None ? QString() : roundedRunning);
    QCOMPARE(s.lastLine, 1);
}

void TstAdditionSheet::runningTotals_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("running");
    QTest::newRow("1.00, -0.15") << QStringList{u"1.00"_s, u"-0.15"_s}
                                 << QStringList{u"01:00"_s, u"00:45"_s};
    QTest::newRow("-0.15 alone") << QStringList{u"-0.15"_s} << QStringList{u"-01:45"_s};
    QTest::newRow("1.50, 0.20") << QStringList{u"1.50"_s, u"0.20"_s}
                                << QStringList{u"01:50"_s, u"02:10"_s};
    QTest::newRow("into hundreds") << QStringList{u"99.59"_s, u"0.01"_s, u"0.30"_s}
                                   << QStringList{u"99:59"_s, u"100:00"_s, u"100:30"_s};
    QTest::newRow("negative total")
        << QStringList{u"1"_s, u"-2.30"_s} << QStringList{u"01:00"_s, u"-02:30"_s};
    QTest::newRow("fractions add up")
        << QStringList{u"0.07*2.5"_s, u"0.07*2.5"_s} << QStringList{u"00:18"_s, u"00:35"_s};
}

void TstAdditionSheet::runningTotals() {
    QFETCH(QStringList, entries);
    QFETCH(QStringList, running);
    const AdditionSheet s = typed(entries);
    for (int i = 0; i < running.size(); ++i)
        QCOMPARE(s.line(i + 1).runningText, running[i]);
}

void TstAdditionSheet::pastedLines_data() {
    QTest::addColumn<int>("startLine");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QStringList>("running");
    QTest::addColumn<EntryError>("error");
    QTest::addColumn<QString>("kept");
    const QStringList both{u"01:30"_s, u"03:30"_s};
    const auto ok = EntryError::None;
    QTest::newRow("two lines") << 1 << u"1.30\n2.00"_s << both << ok << QString();
    QTest::newRow("spreadsheet column") << 1 << u"1.30\r\n2.00\r\n"_s << both << ok << QString();
    QTest::newRow("blank lines skipped")
        << 1 << u"1.30\n\n　\n２.００"_s << both << ok << QString();
    QTest::newRow("refused line kept with the rest")
        << 1 << u"1.30\n5:05\n2.00"_s << QStringList{u"01:30"_s} << EntryError::Colon
        << u"5:05\n2.00"_s;
    QTest::newRow("no line past 100")
        << 99 << u"1\n2\n3\n4"_s << QStringList{u"01:00"_s, u"03:00"_s} << EntryError::NoMoreLines
        << u"3\n4"_s;
}

// Lines pasted into the box count as typed and confirmed one by one; what cannot be entered
// stays in the box.
void TstAdditionSheet::pastedLines() {
    QFETCH(int, startLine);
    QFETCH(QString, pasted);
    QFETCH(QStringList, running);
    QFETCH(EntryError, error);
    QFETCH(QString, kept);
    AdditionSheet s;
    clickGridLine(s, startLine);
    const KeyResult r = pressEnter(s, pasted);
    QCOMPARE(r.error, error);
    QCOMPARE(r.keptText, kept);
    QVERIFY(r.clearBox);
    for (int i = 0; i < running.size(); ++i)
        QCOMPARE(s.line(startLine + i).runningText, running[i]);
    QCOMPARE(s.lastLine, startLine + running.size() - 1);
    QCOMPARE(r.firstChanged, startLine);
    QVERIFY(r.lastChanged >= s.lastLine);
}

void TstAdditionSheet::editRefreshesLaterLines() {
    AdditionSheet s = typed({u"1.50"_s, u"0.20"_s, u"1"_s}, RoundingMode::HalfHourUp);
    QCOMPARE(s.line(3).roundedRunningText, QStringLiteral("03:30"));
    clickGridLine(s, 1);
    const KeyResult r = pressEnter(s, QStringLiteral("0.30"));
    QCOMPARE(r.firstChanged, 1);
    QCOMPARE(r.lastChanged, 3);
    QCOMPARE(s.line(2).lineText, QStringLiteral("00:20"));
    QCOMPARE(s.line(2).runningText, QStringLiteral("00:50"));
    QCOMPARE(s.line(3).runningText, QStringLiteral("01:50"));
    QCOMPARE(s.line(2).roundedRunningText, QStringLiteral("01:00"));
    QCOMPARE(s.line(3).roundedRunningText, QStringLiteral("02:00"));
    QCOMPARE(s.pos.currentLine, 2);

    // Without rounding the rounded totals are kept up to date as well, though not shown.
    AdditionSheet plain = typed({u"1.50"_s, u"0.20"_s});
    clickGridLine(plain, 1);
    pressEnter(plain, QStringLiteral("0.30"));
    QCOMPARE(plain.line(2).roundedRunningText, QStringLiteral("00:50"));
    QCOMPARE(lineCells(plain, 2)[4], QString());
}

void TstAdditionSheet::emptyLinesAboveCountAsNothing() {
    AdditionSheet s = typed({u"1"_s});
    clickGridLine(s, 5);
    pressEnter(s, QStringLiteral("2"));
    QCOMPARE(s.lastLine, 5);
    QCOMPARE(s.line(5).runningText, QStringLiteral("03:00"));
    // Re-entering line 1 refreshes line 5 but leaves the lines never entered empty.
    clickGridLine(s, 1);
    pressEnter(s, QStringLiteral("0.30"));
    QCOMPARE(s.line(5).runningText, QStringLiteral("02:30"));
    for (int i = 2; i <= 4; ++i)
        QVERIFY(s.line(i) == CalcLine{});
}

void TstAdditionSheet::errorsStoreNothing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("withDown");
    QTest::addColumn<EntryError>("error");
    for (bool down : {false, true}) {
        const char* key = down ? " Down" : " Enter";
        QTest::addRow("colon%s", key) << "5:05" << down << EntryError::Colon;
        QTest::addRow("minus%s", key) << "3-1" << down << EntryError::Minus;
        QTest::addRow("operator%s", key) << "6/2" << down << EntryError::Operator;
        QTest::addRow("second *%s", key) << "1*2*3" << down << EntryError::SecondMultiplication;
    }
}

void TstAdditionSheet::errorsStoreNothing() {
    QFETCH(QString, text);
    QFETCH(bool, withDown);
    QFETCH(EntryError, error);
    AdditionSheet s = typed({u"1"_s, u"2"_s});
    clickGridLine(s, 2);
    const AdditionSheet before = s;
    const KeyResult r = withDown ? pressDown(s, text) : pressEnter(s, text);
    QCOMPARE(r.error, error);
    QVERIFY(r.clearBox);
    QVERIFY(s.lines == before.lines);
    QCOMPARE(s.pos.currentLine, before.pos.currentLine);
    QCOMPARE(s.pos.boxTop, before.pos.boxTop);
    QCOMPARE(s.lastLine, 2);
}

void TstAdditionSheet::enterAndDownMoveOn() {
    AdditionSheet s;
    // Enter in an empty box changes nothing.
    KeyResult r = pressEnter(s, QString());
    QVERIFY(r.consumed);
    QCOMPARE(s.pos, EditPosition{});
    QCOMPARE(s.lastLine, 0);

    // Down in an empty box on a line never entered stores a 0:00 line with an empty entry.
    r = pressDown(s, QString());
    QCOMPARE(s.line(1).lineText, QStringLiteral("00:00"));
    QCOMPARE(s.line(1).entry, QString());
    QCOMPARE(s.lastLine, 1);
    QCOMPARE(s.pos, (EditPosition{2, 1, 1, 1230}));

    pressEnter(s, QStringLiteral("3.40"));
    QCOMPARE(s.pos, (EditPosition{3, 2, 1, 1470}));
    QCOMPARE(s.line(2).runningText, QStringLiteral("03:40"));

    // Back up; Down over a line with an entry moves on without evaluating the empty box.
    pressUp(s);
    QCOMPARE(s.pos, (EditPosition{2, 2, 1, 1230}));
    const auto lines = s.lines;
    r = pressDown(s, QString());
    QVERIFY(s.lines == lines);
    QCOMPARE(s.pos, (EditPosition{3, 3, 1, 1470}));

    // A text typed before Up is committed to the earlier line by the next Enter.
    pressUp(s);
    pressEnter(s, QStringLiteral("1"));
    QCOMPARE(s.line(2).lineText, QStringLiteral("01:00"));
    QCOMPARE(s.line(2).runningText, QStringLiteral("01:00"));
}

void TstAdditionSheet::scrollingFollowsTheBox() {
    AdditionSheet s;
    for (int i = 1; i <= 9; ++i)
        pressEnter(s, QStringLiteral("1"));
    QCOMPARE(s.pos, (EditPosition{10, 9, 1, kBoxTopLast}));
    pressEnter(s, QStringLiteral("1"));
    QCOMPARE(s.pos, (EditPosition{11, 10, 2, kBoxTopLast}));
}

void TstAdditionSheet::line100StaysAt100() {
    AdditionSheet s;
    for (int i = 1; i <= 100; ++i)
        pressEnter(s, QString::number(i % 7));
    QCOMPARE(s.pos.currentLine, 100);
    QCOMPARE(s.pos.topRow, kLastTopRow);
    QCOMPARE(s.pos.boxTop, kBoxTopLast);
    QCOMPARE(s.line(100).entry, QStringLiteral("2"));
    pressEnter(s, QStringLiteral("5"));
    QCOMPARE(s.pos.currentLine, 100);
    QCOMPARE(s.line(100).entry, QStringLiteral("5"));
    QCOMPARE(s.line(99).entry, QStringLiteral("1"));
    // Held from the first element on: line 1 first, line 100 last.
    QCOMPARE(s.lines.front().entry, QStringLiteral("1"));
    QCOMPARE(s.lines.back().entry, QStringLiteral("5"));
    QCOMPARE(s.lastLine, 100);
    pressDown(s, QString());
    QCOMPARE(s.pos.currentLine, 100);
    QVERIFY(boxOverCurrentLine(s.pos));
}

void TstAdditionSheet::upRules() {
    AdditionSheet s;
    pressUp(s);
    QCOMPARE(s.pos, EditPosition{});
    for (int i = 0; i < 15; ++i)
        pressEnter(s, QStringLiteral("1"));
    QCOMPARE(s.pos, (EditPosition{16, 15, 7, kBoxTopLast}));
    for (int i = 0; i < 9; ++i)
        pressUp(s);
    QCOMPARE(s.pos, (EditPosition{7, 7, 7, kBoxTopFirst}));
    pressUp(s); // at the top of the view: the grid scrolls back, the box stays
    QCOMPARE(s.pos, (EditPosition{6, 6, 6, kBoxTopFirst}));
}

void TstAdditionSheet::deleteOnlyOnLastLine() {
    AdditionSheet s = typed({u"1"_s, u"2"_s, u"3"_s});
    clickGridLine(s, 2);
    KeyResult r = pressDelete(s);
    QVERIFY(!r.consumed);
    QCOMPARE(s.lastLine, 3);
    QCOMPARE(s.line(2).entry, QStringLiteral("2"));
    clickGridLine(s, 3);
    r = pressDelete(s);
    QVERIFY(!r.consumed); // the box still deletes a character of its own
    QCOMPARE(r.firstChanged, 3);
    QVERIFY(s.line(3) == CalcLine{});
    QCOMPARE(s.lastLine, 2);
    QCOMPARE(s.pos.currentLine, 3);
    // Lines never entered above the deleted one do not count as the last line.
    AdditionSheet gap = typed({u"1"_s});
    clickGridLine(gap, 6);
    pressEnter(gap, QStringLiteral("1"));
    clickGridLine(gap, 6);
    pressDelete(gap);
    QCOMPARE(gap.lastLine, 1);
}

void TstAdditionSheet::clickAndScroll() {
    AdditionSheet s;
    // Scrolling does not change the line being edited: the box goes out of view with it.
    scrollGridTo(s, 35);
    QCOMPARE(s.pos, (EditPosition{1, 1, 35, kBoxTopFirst - 34 * kGridLineTwips}));
    QVERIFY(!currentLineInView(s.pos));
    clickGridLine(s, 40);
    QCOMPARE(s.pos, (EditPosition{40, 40, 35, 2190}));
    scrollGridTo(s, 33);
    QCOMPARE(s.pos, (EditPosition{40, 40, 33, 2670}));
    scrollGridTo(s, 500);
    QCOMPARE(s.pos, (EditPosition{40, 40, kLastTopRow, kBoxTopFirst - 51 * kGridLineTwips}));
    // The next key brings line 40 back into view (at the top, the least scrolling) and goes to
    // it.
    pressEnter(s, QStringLiteral("1"));
    QCOMPARE(s.lastLine, 40);
    QCOMPARE(s.line(40).entry, QStringLiteral("1"));
    QCOMPARE(s.pos, (EditPosition{41, 40, 40, kBoxTopFirst + kGridLineTwips}));
}

// Whatever the scrolling, a key lands on the line chosen before it, and afterwards that line is
// in view with the box over it.
void TstAdditionSheet::keysAfterScrollingStayOnTheirLine_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("scrollTo");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("expectedTop");
    QTest::newRow("down, Enter") << 3 << 10 << u"Enter"_s << 3;
    QTest::newRow("up, Enter") << 60 << 20 << u"Enter"_s << 52;
    QTest::newRow("down, Up") << 3 << 50 << u"Up"_s << 2;
    QTest::newRow("up, Down") << 60 << 1 << u"Down"_s << 52;
    QTest::newRow("down, Delete") << 3 << 91 << u"Delete"_s << 3;
    QTest::newRow("down, a character") << 3 << 10 << u"7"_s << 3;
    QTest::newRow("still in view") << 5 << 2 << u"Enter"_s << 2;
}

void TstAdditionSheet::keysAfterScrollingStayOnTheirLine() {
    QFETCH(int, line);
    QFETCH(int, scrollTo);
    QFETCH(QString, key);
    QFETCH(int, expectedTop);
    AdditionSheet s;
    for (int i = 1; i <= 70; ++i)
        pressEnter(s, QStringLiteral("1"));
    scrollGridTo(s, 1);
    clickGridLine(s, 1);
    for (int i = 1; i < line; ++i)
        pressDown(s, QString());
    QCOMPARE(s.pos.currentLine, line);
    scrollGridTo(s, scrollTo);
    QCOMPARE(s.pos.currentLine, line);
    QVERIFY(boxOnCurrentLine(s.pos));
    if (key == u"Enter") {
        pressEnter(s, QStringLiteral("2"));
        QCOMPARE(s.line(line).entry, QStringLiteral("2"));
        QCOMPARE(s.pos.currentLine, line + 1);
    } else if (key == u"Up") {
        pressUp(s);
        QCOMPARE(s.pos.currentLine, line - 1);
    } else if (key == u"Down") {
        pressDown(s, QString());
        QCOMPARE(s.pos.currentLine, line + 1);
    } else if (key == u"Delete") {
        pressDelete(s);
        QCOMPARE(s.line(line).entry, QStringLiteral("1")); // not the last line
        QCOMPARE(s.pos.currentLine, line);
    } else {
        noteKeyInEntryBox(s);
        QCOMPARE(s.pos.currentLine, line);
    }
    QCOMPARE(s.pos.topRow, expectedTop);
    QVERIFY(boxOverCurrentLine(s.pos));
    QCOMPARE(s.lastLine, 70);
}

// Whatever the keys, the box stays over the line being edited, inside the view after every key.
void TstAdditionSheet::boxNeverLeavesItsLine() {
    QRandomGenerator rng(20101108);
    for (int run = 0; run < 40; ++run) {
        AdditionSheet s;
        for (int step = 0; step < 400; ++step) {
            const quint32 action = rng.bounded(7);
            const bool scrolled = action == 6;
            switch (action) {
            case 0:
            case 1:
                pressEnter(s, QString::number(rng.bounded(5)));
                break;
            case 2:
                pressDown(s, rng.bounded(2) ? QString() : QStringLiteral("0.30"));
                break;
            case 3:
                pressUp(s);
                break;
            case 4:
                pressDelete(s);
                break;
            case 5:
                clickGridLine(s, s.pos.topRow + int(rng.bounded(kVisibleLines)));
                break;
            default:
                scrollGridTo(s, s.pos.topRow + int(rng.bounded(7)) - 3);
                break;
            }
            QVERIFY2(boxOnCurrentLine(s.pos) && (scrolled || currentLineInView(s.pos)),
                     qPrintable(QStringLiteral("run %1 step %2: line %3 top %4 box %5")
                                    .arg(run)
                                    .arg(step)
                                    .arg(s.pos.currentLine)
                                    .arg(s.pos.topRow)
                                    .arg(s.pos.boxTop)));
            QCOMPARE(s.lastLine, findLastLine(s));
        }
    }
}

void TstAdditionSheet::modeTexts() {
    QCOMPARE(roundingModeTexts(RoundingMode::None).label, QStringLiteral("分単位"));
    QCOMPARE(roundingModeTexts(RoundingMode::QuarterDown).roundedLineHeader,
             QStringLiteral("15分/切捨"));
    QCOMPARE(roundingModeFromNumber(3), RoundingMode::QuarterUp);
    for (double n : {-1.0, 5.0, 1.5, qQNaN()})
        QCOMPARE(roundingModeFromNumber(n), RoundingMode::None);
}

QTEST_GUILESS_MAIN(TstAdditionSheet)
#include "tst_addition_sheet.moc"
