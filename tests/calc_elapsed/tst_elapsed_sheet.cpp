// SPDX-License-Identifier: MIT
#include "calc_elapsed/elapsed_sheet.h"

#include <QTest>

using namespace qz;
using namespace Qt::StringLiterals;

namespace {

ElapsedSheet sheetWith(const QList<QPair<QString, QString>>& rows) {
    ElapsedSheet s;
    SheetCursor c;
    for (const auto& [start, end] : rows) {
        confirmStart(s, c, start);
        confirmEnd(s, c, end);
    }
    return s;
}

} // namespace

class TstElapsedSheet : public QObject {
    Q_OBJECT
  private slots:
    void normalise_data();
    void normalise();
    void readable_data();
    void readable();
    void elapsedAndFormat_data();
    void elapsedAndFormat();
    void totals();
    void confirmStartCases_data();
    void confirmStartCases();
    void confirmEndCases_data();
    void confirmEndCases();
    void refusedEntryChangesNothing();
    void emptyStartCountsFromMidnight();
    void cursorMoves_data();
    void cursorMoves();
    void scrollingHidesAndShows();
    void keyTable_data();
    void keyTable();
    void deleteRecalculates();
    void resetKeepsDateAndReserved();
};

// "" as expected means refused with the given refusal.
void TstElapsedSheet::normalise_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("asEnd");
    QTest::addColumn<QString>("time");
    QTest::addColumn<TimeRefusal>("refusal");
    const auto ok = TimeRefusal::None;
    const auto sep = TimeRefusal::SeparatorMissing;
    const auto range = TimeRefusal::OutOfRange;
    const auto bad = TimeRefusal::Unreadable;
    struct Row {
        const char* name;
        const char* typed;
        bool end;
        const char* time;
        TimeRefusal refusal;
    };
    const Row rows[] = {
        {"13:15", "13:15", false, "13:15", ok},
        {"08.05", "08.05", false, "08:05", ok},
        {"8.5 is five past", "8.5", false, "08:05", ok},
        {"8.05", "8.05", false, "08:05", ok},
        {"6.35", "6.35", false, "06:35", ok},
        {"14:08", "14:08", false, "14:08", ok},
        {"7:5", "7:5", false, "07:05", ok},
        {"13.5", "13.5", false, "13:05", ok},
        {"13.5 end", "13.5", true, "13:05", ok},
        {"9", "9", false, "09:00", ok},
        {"24 end", "24", true, "24:00", ok},
        {"24 start", "24", false, "", range},
        {"24:00 end", "24:00", true, "24:00", ok},
        {"24:01 end", "24:01", true, "", range},
        {"24.0 end", "24.0", true, "24:00", ok},
        {"7:60", "7:60", false, "", range},
        {"7:60 end", "7:60", true, "", range},
        {"25", "25", false, "", sep},
        {"25 end", "25", true, "", sep},
        {"1315", "1315", false, "", sep},
        {"8a:30", "8a:30", false, "", bad},
        {"8a:30 end", "8a:30", true, "", bad},
        {"-5", "-5", false, "", bad},
        {"12.3.4", "12.3.4", false, "", bad},
        {"7:3x", "7:3x", false, "", bad},
        {"abc is midnight", "abc", false, "00:00", ok},
        {"empty is midnight", "", true, "00:00", ok},
        {"0", "0", false, "00:00", ok},
        {"0.00", "0.00", false, "00:00", ok},
        {"0.45", "0.45", false, "00:45", ok},
        {"0:45 like 0.45", "0:45", false, "00:45", ok},
        {"00:30", "00:30", false, "00:30", ok},
        {":30", ":30", false, "00:30", ok},
        {"colon wins", "8.30:15", false, "", range},
        {"last two hour digits", "123:45", false, "23:45", ok},
        {"blank before hour", " 8:30", false, "08:30", ok},
        {"blank after hour", "8 :30", false, "", range},
        {"blank in minutes", "8: 5", false, "08:05", ok},
        {"full-width", "１３：１５", false, "13:15", ok},
        {"full-width point", "８．５", false, "08:05", ok},
        {"full-width blank", "　８：３０", false, "08:30", ok},
        {"full-width minus", "－５", false, "", bad},
        {"pasted lines: the first", "8.30\n9.00", false, "08:30", ok},
        {"pasted CRLF lines", "25\r\n8.30", false, "", sep},
        {"letters after colon", "ab:30", false, "", bad},
    };
    for (const Row& r : rows)
        QTest::newRow(r.name) << QString::fromUtf8(r.typed) << r.end << QString::fromUtf8(r.time)
                              << r.refusal;
}

void TstElapsedSheet::normalise() {
    QFETCH(QString, typed);
    QFETCH(bool, asEnd);
    QFETCH(QString, time);
    QFETCH(TimeRefusal, refusal);
    const NormalisedTime n = normaliseTime(typed, asEnd ? TimeRole::End : TimeRole::Start);
    QCOMPARE(n.refusal, refusal);
    if (n.accepted()) QCOMPARE(n.time, time);
}

void TstElapsedSheet::readable_data() {
    QTest::addColumn<QString>("time");
    QTest::addColumn<bool>("readable");
    QTest::newRow("digits") << "07:02" << true;
    QTest::newRow("24:00") << "24:00" << true;
    QTest::newRow("letter") << "8a:30" << false;
    QTest::newRow("sign") << "-5:00" << false;
    QTest::newRow("blank") << " 8:30" << false;
    QTest::newRow("point") << "12:.4" << false;
    QTest::newRow("short") << "8:30" << false;
}

void TstElapsedSheet::readable() {
    QFETCH(QString, time);
    QFETCH(bool, readable);
    QCOMPARE(isReadableTime(time), readable);
}

void TstElapsedSheet::elapsedAndFormat_data() {
    QTest::addColumn<QString>("start"); // "-" for never set
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("08:30-17:15") << "08:30"
                                 << "17:15" << 525 << "08:45";
    QTest::newRow("09:00-24:00") << "09:00"
                                 << "24:00" << 900 << "15:00";
    QTest::newRow("00:00-24:00") << "00:00"
                                 << "24:00" << 1440 << "24:00";
    QTest::newRow("equal") << "10:10"
                           << "10:10" << 0 << "00:00";
    QTest::newRow("never set start") << "-"
                                     << "01:30" << 90 << "01:30";
    QTest::newRow("empty start") << ""
                                 << "00:05" << 5 << "00:05";
    QTest::newRow("reversed") << "10:00"
                              << "09:59" << -1 << "";
    QTest::newRow("23:59-24:00") << "23:59"
                                 << "24:00" << 1 << "00:01";
}

void TstElapsedSheet::elapsedAndFormat() {
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, minutes);
    QFETCH(QString, shown);
    const std::optional<QString> s = start == u"-"_s ? std::nullopt : std::optional<QString>(start);
    QCOMPARE(computeElapsed(s, end), minutes);
    if (minutes >= 0) QCOMPARE(formatElapsed(minutes), shown);
}

void TstElapsedSheet::totals() {
    QCOMPARE(formatElapsed(5), u"00:05"_s);
    QCOMPARE(formatElapsed(123 * 60), u"123:00"_s);
    ElapsedSheet s = sheetWith({{u"8.30"_s, u"17.15"_s}, {u"9"_s, u"24"_s}, {u"0"_s, u"24"_s}});
    QCOMPARE(s.totalText, std::optional<QString>(u"47:45"_s));
    ElapsedSheet full;
    SheetCursor c;
    for (int r = 1; r <= kSheetRowCount; ++r) {
        QCOMPARE(c.currentRow, r);
        confirmStart(full, c, u"0"_s);
        confirmEnd(full, c, u"24"_s);
    }
    QCOMPARE(full.totalText, std::optional<QString>(u"1680:00"_s));
    QCOMPARE(c.currentRow, 70); // Enter on row 70 stays there
    // A fresh sheet has no total; an end equal to its start gives 00:00.
    ElapsedSheet fresh;
    QVERIFY(!fresh.totalText);
    ElapsedSheet zero = sheetWith({{u"10:00"_s, u"10:00"_s}});
    QCOMPARE(zero.totalText, std::optional<QString>(u"00:00"_s));
}

void TstElapsedSheet::confirmStartCases_data() {
    QTest::addColumn<QString>("storedStart"); // "-" never set
    QTest::addColumn<QString>("storedEnd");   // "-" never set
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focusEnd");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("elapsed"); // "-" never set
    QTest::newRow("plain") << "-"
                           << "-"
                           << "8.30"
                           << "" << 1 << "08:30"
                           << "-";
    QTest::newRow("enter on empty, no start") << "-"
                                              << "-"
                                              << "" << elapsed_text::kStartMissing << 0 << "-"
                                              << "-";
    QTest::newRow("enter on empty, deleted start") << ""
                                                   << ""
                                                   << "" << elapsed_text::kStartMissing << 0 << ""
                                                   << "";
    QTest::newRow("enter on empty keeps start") << "09:00"
                                                << "-"
                                                << ""
                                                << "" << 1 << "09:00"
                                                << "-";
    QTest::newRow("with end computes") << "-"
                                       << "17:15"
                                       << "8.30"
                                       << "" << 1 << "08:30"
                                       << "08:45";
    QTest::newRow("after end reversed") << "08:00"
                                        << "17:15"
                                        << "18" << elapsed_text::kReversed << 0 << "08:00"
                                        << "09:15";
    QTest::newRow("24 refused") << "-"
                                << "-"
                                << "24" << elapsed_text::kOutOfRange << 0 << "-"
                                << "-";
    QTest::newRow("unreadable") << "07:00"
                                << "-"
                                << "8a:30" << elapsed_text::kUnreadable << 0 << "07:00"
                                << "-";
    QTest::newRow("no separator") << "-"
                                  << "-"
                                  << "1315" << elapsed_text::kSeparatorMissing << 0 << "-"
                                  << "-";
}

void TstElapsedSheet::confirmStartCases() {
    QFETCH(QString, storedStart);
    QFETCH(QString, storedEnd);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(int, focusEnd);
    QFETCH(QString, start);
    QFETCH(QString, elapsed);
    auto opt = [](const QString& s) {
        return s == u"-"_s ? std::nullopt : std::optional<QString>(s);
    };
    ElapsedSheet s;
    SheetCursor c;
    s.row(1).startText = opt(storedStart);
    s.row(1).endText = opt(storedEnd);
    if (storedStart == u"08:00"_s) storeElapsed(s.row(1), computeElapsed(u"08:00"_s, storedEnd));
    if (storedStart == u""_s) s.row(1).elapsedText = QString();
    const SheetEntryOutcome out = confirmStart(s, c, typed);
    QCOMPARE(out.message, message);
    QCOMPARE(out.focus, focusEnd ? EntryBox::End : EntryBox::Start);
    QCOMPARE(s.row(1).startText, opt(start));
    QCOMPARE(s.row(1).elapsedText, opt(elapsed));
    QCOMPARE(c.currentRow, 1);
}

void TstElapsedSheet::confirmEndCases_data() {
    QTest::addColumn<QString>("storedStart");
    QTest::addColumn<QString>("storedEnd"); // "-" never set
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("elapsed");
    QTest::addColumn<int>("rowAfter");
    QTest::newRow("plain") << "08:30"
                           << "-"
                           << "17:15"
                           << ""
                           << "17:15"
                           << "08:45" << 2;
    QTest::newRow("24 as end") << "09:00"
                               << "-"
                               << "24"
                               << ""
                               << "24:00"
                               << "15:00" << 2;
    QTest::newRow("equal") << "09:00"
                           << "-"
                           << "9"
                           << ""
                           << "09:00"
                           << "00:00" << 2;
    QTest::newRow("one minute before") << "09:00"
                                       << "-"
                                       << "8.59" << elapsed_text::kReversed << "-"
                                       << "-" << 1;
    QTest::newRow("enter on empty reads 00:00") << "09:00"
                                                << "-"
                                                << "" << elapsed_text::kReversed << "-"
                                                << "-" << 1;
    QTest::newRow("enter on empty keeps end") << "09:00"
                                              << "10:30"
                                              << ""
                                              << ""
                                              << "10:30"
                                              << "01:30" << 2;
    QTest::newRow("out of range") << "09:00"
                                  << "-"
                                  << "7:60" << elapsed_text::kOutOfRange << "-"
                                  << "-" << 1;
    QTest::newRow("24:01") << "09:00"
                           << "-"
                           << "24:01" << elapsed_text::kOutOfRange << "-"
                           << "-" << 1;
    QTest::newRow("unreadable") << "09:00"
                                << "-"
                                << "8a:30" << elapsed_text::kUnreadable << "-"
                                << "-" << 1;
    QTest::newRow("25") << "09:00"
                        << "-"
                        << "25" << elapsed_text::kSeparatorMissing << "-"
                        << "-" << 1;
}

void TstElapsedSheet::confirmEndCases() {
    QFETCH(QString, storedStart);
    QFETCH(QString, storedEnd);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, end);
    QFETCH(QString, elapsed);
    QFETCH(int, rowAfter);
    auto opt = [](const QString& s) {
        return s == u"-"_s ? std::nullopt : std::optional<QString>(s);
    };
    ElapsedSheet s;
    SheetCursor c;
    s.row(1).startText = storedStart;
    s.row(1).endText = opt(storedEnd);
    const SheetEntryOutcome out = confirmEnd(s, c, typed);
    QCOMPARE(out.message, message);
    QCOMPARE(out.focus, message.isEmpty() ? EntryBox::Start : EntryBox::End);
    QCOMPARE(s.row(1).endText, opt(storedEnd == u"-"_s ? end : storedEnd));
    QCOMPARE(s.row(1).elapsedText, opt(elapsed));
    QCOMPARE(c.currentRow, rowAfter);
    QCOMPARE(s.totalText.has_value(), message.isEmpty());
}

void TstElapsedSheet::refusedEntryChangesNothing() {
    ElapsedSheet s = sheetWith({{u"8.30"_s, u"17.15"_s}});
    SheetCursor c; // back on row 1
    const ElapsedSheet before = s;
    for (const char* typed : {"8a:30", "25", "7:60", "18"}) {
        confirmStart(s, c, QString::fromUtf8(typed));
        QVERIFY2(s == before, typed);
    }
    for (const char* typed : {"8a:30", "25", "24:01", "8"}) {
        confirmEnd(s, c, QString::fromUtf8(typed));
        QVERIFY2(s == before, typed);
        QCOMPARE(c.currentRow, 1);
    }
}

void TstElapsedSheet::emptyStartCountsFromMidnight() {
    ElapsedSheet s;
    SheetCursor c;
    QVERIFY(confirmEnd(s, c, u"1.30"_s).message.isEmpty());
    QCOMPARE(s.row(1).elapsedMinutes, std::optional<int>(90));
    // A deleted start (the empty text) counts from midnight too.
    clearSheetRow(s.row(2));
    QVERIFY(confirmEnd(s, c, u"0.45"_s).message.isEmpty());
    QCOMPARE(s.row(2).elapsedText, std::optional<QString>(u"00:45"_s));
    QCOMPARE(s.totalText, std::optional<QString>(u"02:15"_s));
}

void TstElapsedSheet::cursorMoves_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("top");
    QTest::addColumn<bool>("down");
    QTest::addColumn<int>("rowAfter");
    QTest::addColumn<int>("slotAfter");
    QTest::addColumn<int>("topAfter");
    QTest::newRow("down inside") << 5 << 5 << 1 << true << 6 << 6 << 1;
    QTest::newRow("down from slot 20 scrolls") << 20 << 20 << 1 << true << 21 << 20 << 2;
    QTest::newRow("down at row 70 stays") << 70 << 20 << 51 << true << 70 << 20 << 51;
    QTest::newRow("down onto 70") << 69 << 20 << 50 << true << 70 << 20 << 51;
    QTest::newRow("up inside") << 6 << 6 << 1 << false << 5 << 5 << 1;
    QTest::newRow("up from top row scrolls") << 30 << 1 << 30 << false << 29 << 1 << 29;
    QTest::newRow("up at row 1 stays") << 1 << 1 << 1 << false << 1 << 1 << 1;
}

void TstElapsedSheet::cursorMoves() {
    QFETCH(int, row);
    QFETCH(int, slot);
    QFETCH(int, top);
    QFETCH(bool, down);
    QFETCH(int, rowAfter);
    QFETCH(int, slotAfter);
    QFETCH(int, topAfter);
    SheetCursor c{row, slot, top};
    down ? cursorDown(c) : cursorUp(c);
    QCOMPARE(c, (SheetCursor{rowAfter, slotAfter, topAfter}));
    QCOMPARE(placeEntryBoxes(c), 420 + 240 * slotAfter);
}

void TstElapsedSheet::scrollingHidesAndShows() {
    SheetCursor c;
    for (int i = 0; i < 24; ++i)
        cursorDown(c);
    QCOMPARE(c, (SheetCursor{25, 20, 6}));
    QVERIFY(!scrollTo(c, 26)); // row 25 above the view
    QVERIFY(!scrollTo(c, 1));  // rows 1..20: below the view
    QVERIFY(scrollTo(c, 6));   // row 25 is the last visible row again
    QCOMPARE(c.visibleSlot, 20);
    QVERIFY(scrollTo(c, 25)); // now the first
    QCOMPARE(c.visibleSlot, 1);
    QCOMPARE(placeEntryBoxes(c), 660);
    clickRow(c, 40, 30);
    QCOMPARE(c, (SheetCursor{40, 11, 30}));
    clickRow(c, 21, 1); // the part of row 21 below row 20
    QCOMPARE(c, (SheetCursor{21, 20, 2}));
}

void TstElapsedSheet::keyTable_data() {
    QTest::addColumn<int>("box"); // 0 start, 1 end
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("rowBefore");
    QTest::addColumn<int>("rowAfter");
    QTest::addColumn<int>("focus");
    QTest::newRow("start down") << 0 << int(Qt::Key_Down) << 5 << 6 << 0;
    QTest::newRow("start down on 70") << 0 << int(Qt::Key_Down) << 70 << 70 << 0;
    QTest::newRow("start up") << 0 << int(Qt::Key_Up) << 5 << 4 << 0;
    QTest::newRow("start up on 1") << 0 << int(Qt::Key_Up) << 1 << 1 << 0;
    QTest::newRow("start right") << 0 << int(Qt::Key_Right) << 5 << 5 << 1;
    QTest::newRow("start left") << 0 << int(Qt::Key_Left) << 5 << 4 << 1;
    QTest::newRow("start left on 1") << 0 << int(Qt::Key_Left) << 1 << 1 << 1;
    QTest::newRow("end up") << 1 << int(Qt::Key_Up) << 5 << 4 << 1;
    QTest::newRow("end down") << 1 << int(Qt::Key_Down) << 5 << 6 << 1;
    QTest::newRow("end right") << 1 << int(Qt::Key_Right) << 5 << 6 << 0;
    QTest::newRow("end right on 70") << 1 << int(Qt::Key_Right) << 70 << 70 << 0;
    QTest::newRow("end left") << 1 << int(Qt::Key_Left) << 5 << 5 << 0;
}

void TstElapsedSheet::keyTable() {
    QFETCH(int, box);
    QFETCH(int, key);
    QFETCH(int, rowBefore);
    QFETCH(int, rowAfter);
    QFETCH(int, focus);
    ElapsedSheet s = sheetWith({{u"8"_s, u"9"_s}});
    const ElapsedSheet before = s;
    SheetCursor c;
    while (c.currentRow < rowBefore)
        cursorDown(c);
    const auto action = entryKeyAction(box ? EntryBox::End : EntryBox::Start, key);
    QVERIFY(action);
    const SheetEntryOutcome out = applyEntryKey(s, c, *action);
    QCOMPARE(c.currentRow, rowAfter);
    QCOMPARE(out.focus, focus ? EntryBox::End : EntryBox::Start);
    QVERIFY(s == before); // moving never changes the sheet
}

void TstElapsedSheet::deleteRecalculates() {
    for (EntryBox box : {EntryBox::Start, EntryBox::End}) {
        ElapsedSheet s = sheetWith({{u"8"_s, u"9.30"_s}, {u"10"_s, u"10.45"_s}});
        SheetCursor c;
        const auto del = entryKeyAction(box, Qt::Key_Delete);
        QVERIFY(del && del->clearRow);
        const SheetEntryOutcome out = applyEntryKey(s, c, *del);
        QCOMPARE(out.focus, box);
        QCOMPARE(s.row(1), (SheetRow{QString(), QString(), QString(), 0}));
        QCOMPARE(s.totalText, std::optional<QString>(u"00:45"_s));
    }
    // Delete on a sheet without computed rows shows 00:00.
    ElapsedSheet empty;
    SheetCursor c;
    applyEntryKey(empty, c, *entryKeyAction(EntryBox::Start, Qt::Key_Delete));
    QCOMPARE(empty.totalText, std::optional<QString>(u"00:00"_s));
    QVERIFY(!entryKeyAction(EntryBox::Start, Qt::Key_A));
    QVERIFY(!entryKeyAction(EntryBox::End, Qt::Key_Backspace));
}

void TstElapsedSheet::resetKeepsDateAndReserved() {
    ElapsedSheet s = sheetWith({{u"8"_s, u"9"_s}});
    s.sheetTitle = u"題"_s;
    s.sheetDate = u"2010/11/08"_s;
    s.reservedValues[0] = 7.0;
    SheetCursor c{30, 10, 21};
    resetSheet(s, c);
    QCOMPARE(c, SheetCursor{});
    QCOMPARE(s.row(1), SheetRow{});
    QCOMPARE(s.totalText, std::optional<QString>(QString()));
    QCOMPARE(s.sheetTitle, std::optional<QString>(QString()));
    QCOMPARE(s.sheetDate, std::optional<QString>(u"2010/11/08"_s));
    QCOMPARE(s.reservedValues[0], RecordValue(7.0));
    QVERIFY(!hasAnyStart(s));
}

QTEST_APPLESS_MAIN(TstElapsedSheet)
#include "tst_elapsed_sheet.moc"
