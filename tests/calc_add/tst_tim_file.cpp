// SPDX-License-Identifier: MIT
#include "calc_add/addition_printout.h"
#include "calc_add/addition_sheet.h"
#include "calc_add/tim_file.h"

#include "files/cp932.h"
#include "files/record_format.h"

#include <QRandomGenerator>
#include <QTest>

using namespace qz;
using namespace Qt::StringLiterals;

namespace {

AdditionSheet typed(const QStringList& entries, RoundingMode mode = RoundingMode::None) {
    AdditionSheet s;
    chooseRoundingMode(s, mode);
    for (const QString& e : entries)
        pressEnter(s, e);
    return s;
}

const QByteArray kExample = "2,1,1470,1,3,2\r\n"
                            "\"2.15*3\",6,45,\"06:45\",\"06:45\"\r\n"
                            "7,0,\"07:00\",\"07:00\"\r\n"
                            "\"-1.15\",-1,-15,\"-01:15\",\"05:30\"\r\n"
                            "-1,-30,\"-01:30\",\"05:30\"\r\n";

const PrintOp* findText(const PrintDocument& doc, const QString& text, int page = 1) {
    int p = 1;
    for (const PrintOp& op : doc) {
        if (op.kind == PrintOp::Kind::NewPage) ++p;
        if (p == page && op.text == text &&
            (op.kind == PrintOp::Kind::Text || op.kind == PrintOp::Kind::RightText))
            return &op;
    }
    return nullptr;
}

AdditionSheet linesUpTo(int last, RoundingMode mode = RoundingMode::None) {
    AdditionSheet s;
    chooseRoundingMode(s, mode);
    for (int i = 1; i <= last; ++i)
        pressEnter(s, QStringLiteral("0.%1").arg(i % 60));
    return s;
}

QByteArray sjis(const QString& s) {
    return *encodeCp932(s);
}

// Bytes of no text at all, the same on every run.
QByteArray noise(qsizetype size) {
    QRandomGenerator rng(1);
    QByteArray out(size, '\0');
    for (char& c : out)
        c = char(rng.bounded(256));
    return out;
}

} // namespace

class TstTimFile : public QObject {
    Q_OBJECT
  private slots:
    void exampleWrittenByteForByte();
    void exampleReadBack();
    void roundTrips_data();
    void roundTrips();
    void neverEnteredLinesAreEmptyValues();
    void emptyWorksheet();
    void refusedEntries_data();
    void refusedEntries();
    void storedModeOutOfRange_data();
    void storedModeOutOfRange();
    void positionsBroughtIntoRange();
    void positionStoredInView_data();
    void positionStoredInView();
    void savedUnchangedKeepsBytes_data();
    void savedUnchangedKeepsBytes();
    void editedLineKeepsUntouchedBytes();
    void malformed_data();
    void malformed();
    void longValuesQuotedShort_data();
    void longValuesQuotedShort();
    void noiseNeverCrashes();
    void pagePlan_data();
    void pagePlan();
    void roundedColumns();
    void textsFitTheirColumns_data();
    void textsFitTheirColumns();
    void lineNumbersEndAtTenCells();
};

void TstTimFile::exampleWrittenByteForByte() {
    const AdditionSheet s = typed({u"2.15*3"_s, u"-1.15"_s}, RoundingMode::HalfHourUp);
    const TimBytes out = timFileBytes(s);
    QVERIFY(out.bytes);
    QCOMPARE(*out.bytes, kExample);
}

void TstTimFile::exampleReadBack() {
    const TimParse in = parseTimFile(kExample);
    QVERIFY2(in.sheet, qPrintable(in.error));
    const AdditionSheet& s = *in.sheet;
    QCOMPARE(s.mode, RoundingMode::HalfHourUp);
    QCOMPARE(s.lastLine, 2);
    QCOMPARE(s.pos, (EditPosition{3, 2, 1, 1470}));
    QVERIFY(s.roundingLocked);
    QCOMPARE(s.line(2).entry, QStringLiteral("-1.15"));
    QCOMPARE(s.line(2).minutes, -15.0);
    QCOMPARE(s.line(2).roundedLineText, QStringLiteral("-01:30"));
    QCOMPARE(s.line(1).runningText, QStringLiteral("06:45"));
    QCOMPARE(*timFileBytes(s).bytes, kExample);
}

void TstTimFile::roundTrips_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("mode");
    QTest::newRow("comma inside an entry") << QStringList{u"1,5"_s, u"2.15*3"_s} << 0;
    QTest::newRow("-0.15 keeps its sign") << QStringList{u"-0.15"_s} << 4;
    QTest::newRow("fraction of a minute") << QStringList{u"0.07*2.5"_s, u"1"_s} << 3;
    QTest::newRow("half-width kana") << QStringList{u"ｱ1.30"_s} << 2;
    QTest::newRow("hundred lines") << QStringList(100, QStringLiteral("1.01")) << 1;
    // The longest entries the box takes, each character two bytes in the file: still opens.
    QTest::newRow("hundred longest entries")
        << QStringList(100, QString(kMaxEntryLength - 5, u'あ') + u"-1.15"_s) << 1;
}

void TstTimFile::roundTrips() {
    QFETCH(QStringList, entries);
    QFETCH(int, mode);
    const AdditionSheet s = typed(entries, RoundingMode(mode));
    const TimBytes out = timFileBytes(s);
    QVERIFY2(out.bytes, qPrintable(out.error));
    QVERIFY(out.bytes->size() <= kMaxTimFileBytes);
    const TimParse in = parseTimFile(*out.bytes);
    QVERIFY2(in.sheet, qPrintable(in.error));
    QVERIFY(in.sheet->lines == s.lines);
    for (int i = 1; i <= s.lastLine; ++i) {
        QCOMPARE(in.sheet->line(i).entry, s.line(i).entry);
        QCOMPARE(in.sheet->line(i).lineText, s.line(i).lineText);
        QCOMPARE(in.sheet->line(i).roundedRunningText, s.line(i).roundedRunningText);
    }
    QCOMPARE(in.sheet->pos, s.pos);
    QCOMPARE(*timFileBytes(*in.sheet).bytes, *out.bytes);
}

void TstTimFile::neverEnteredLinesAreEmptyValues() {
    AdditionSheet s;
    clickGridLine(s, 4);
    pressEnter(s, QStringLiteral("-0.15"));
    const QByteArray bytes = *timFileBytes(s).bytes;
    const QList<QByteArray> records = bytes.split('\n');
    QCOMPARE(records.size(), 1 + 2 * 4 + 1);
    QCOMPARE(records[0], QByteArray("4,1,1950,0,5,4\r"));
    for (int i = 1; i <= 6; i += 2) {
        QCOMPARE(records[i], QByteArray(",,,,\r"));
        QCOMPARE(records[i + 1], QByteArray(",,,\r"));
    }
    QCOMPARE(records[7], QByteArray("\"-0.15\",0,-15,\"-00:15\",\"-01:45\"\r"));
    const TimParse in = parseTimFile(bytes);
    QVERIFY2(in.sheet, qPrintable(in.error));
    QVERIFY(in.sheet->line(2) == CalcLine{});
    QCOMPARE(in.sheet->line(4).lineText, QStringLiteral("-00:15"));
}

void TstTimFile::emptyWorksheet() {
    AdditionSheet s;
    clickGridLine(s, 3);
    const QByteArray bytes = *timFileBytes(s).bytes;
    QCOMPARE(bytes, QByteArray("3,1,1470,0,3,0\r\n"));
    const TimParse in = parseTimFile(bytes);
    QVERIFY(in.sheet);
    QCOMPARE(in.sheet->lastLine, 0);
    QCOMPARE(in.sheet->pos.currentLine, 3);
}

void TstTimFile::refusedEntries_data() {
    QTest::addColumn<QString>("entry");
    QTest::newRow("double quote") << "1\".30";
    QTest::newRow("outside code page 932") << QStringLiteral("1.30 \U0001F600");
}

void TstTimFile::refusedEntries() {
    QFETCH(QString, entry);
    const AdditionSheet s = typed({u"1"_s, u"2"_s, entry});
    const TimBytes out = timFileBytes(s);
    QVERIFY(!out.bytes);
    QVERIFY2(out.error.contains(QStringLiteral("3行目")), qPrintable(out.error));
}

void TstTimFile::storedModeOutOfRange_data() {
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<RoundingMode>("expected");
    QTest::newRow("4") << QByteArray("4") << RoundingMode::QuarterDown;
    QTest::newRow("5") << QByteArray("5") << RoundingMode::None;
    QTest::newRow("-1") << QByteArray("-1") << RoundingMode::None;
    QTest::newRow("2.5") << QByteArray("2.5") << RoundingMode::None;
}

void TstTimFile::storedModeOutOfRange() {
    QFETCH(QByteArray, mode);
    QFETCH(RoundingMode, expected);
    const TimParse in = parseTimFile("1,1,990," + mode + ",1,0\r\n");
    QVERIFY2(in.sheet, qPrintable(in.error));
    QCOMPARE(in.sheet->mode, expected);
}

void TstTimFile::positionsBroughtIntoRange() {
    // A box top that does not match the lines in view, rows past the grid: the box ends over
    // the current line, in view.
    const TimParse in = parseTimFile("500,-3,99999,0,150,0\r\n");
    QVERIFY2(in.sheet, qPrintable(in.error));
    QCOMPARE(in.sheet->pos, (EditPosition{100, 100, kLastTopRow, kBoxTopLast}));
    const TimParse shifted = parseTimFile("5,1,990,0,5,0\r\n");
    QCOMPARE(shifted.sheet->pos, (EditPosition{5, 5, 1, 1950}));
}

// The stored position has the line being edited in view, however the grid was scrolled.
void TstTimFile::positionStoredInView_data() {
    QTest::addColumn<int>("scrollTo");
    QTest::addColumn<QByteArray>("header");
    QTest::newRow("unscrolled") << 1 << QByteArray("2,1,1470,1,3,2\r\n");
    QTest::newRow("line still in view") << 2 << QByteArray("2,2,1230,1,3,2\r\n");
    QTest::newRow("line scrolled away") << 50 << QByteArray("2,3,990,1,3,2\r\n");
}

void TstTimFile::positionStoredInView() {
    QFETCH(int, scrollTo);
    QFETCH(QByteArray, header);
    AdditionSheet s = typed({u"2.15*3"_s, u"-1.15"_s}, RoundingMode::HalfHourUp);
    scrollGridTo(s, scrollTo);
    const TimBytes out = timFileBytes(s);
    QVERIFY2(out.bytes, qPrintable(out.error));
    QVERIFY2(out.bytes->startsWith(header), out.bytes->constData());
    QCOMPARE(out.bytes->mid(header.size()), kExample.mid(kExample.indexOf('\n') + 1));
}

// An opened worksheet saved without edits gives back the file it was read from.
void TstTimFile::savedUnchangedKeepsBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("saved"); // empty: the bytes read
    const QByteArray lines = kExample.mid(kExample.indexOf('\n') + 1);
    auto withEntry = [&](const QByteArray& entry) {
        return QByteArray(kExample).replace("\"2.15*3\"", "\"" + entry + "\"");
    };
    // Code page 932 stores some kanji and signs twice; the copy the file used stays.
    QTest::newRow("NEC-selected kanji") << withEntry("2.15*3\xED\x40") << QByteArray();
    QTest::newRow("NEC row 13 sign") << withEntry("\x87\x90 2.15*3") << QByteArray();
    QTest::newRow("byte no character starts") << withEntry("2.15*3\x80\xA0") << QByteArray();
    QTest::newRow("lead byte at the end") << withEntry("2.15*3\x82") << QByteArray();
    QTest::newRow("DEL byte") << withEntry("2.15*3\x7F") << QByteArray();
    QTest::newRow("SUB byte") << withEntry("2.15*3\x1A") << QByteArray();
    QTest::newRow("numbers spelt otherwise")
        << QByteArray(kExample).replace(",6,45,", ",06,45.0,") << QByteArray();
    QTest::newRow("header spelt otherwise") << "02,1,1470,1,3,2.0\r\n" + lines << QByteArray();
    QTest::newRow("empty values of a line never entered")
        << QByteArray("1,1,990,0,1,2\r\n\"\",0,0,\"\",\"\"\r\n0,0,\"\",\"\"\r\n,,,,\r\n,,,\r\n")
        << QByteArray();
    QTest::newRow("last line end missing") << kExample.chopped(2) << kExample;
    QTest::newRow("never-entered last line, line end missing")
        << QByteArray("1,1,990,0,1,1\r\n,,,,\r\n,,,")
        << QByteArray("1,1,990,0,1,1\r\n,,,,\r\n,,,\r\n");
    // A text carries what it holds as read, quoted or not.
    QTest::newRow("unquoted entry with a lead byte at its end")
        << QByteArray(kExample).replace("\"2.15*3\"", "2.15*3\x82") << QByteArray();
    // Re-saved by an editor in UTF-8, with its mark or without: the texts open as written and
    // go back in code page 932.
    const QByteArray planned = withEntry(u"予定2.15*3"_s.toUtf8());
    QTest::newRow("UTF-8 with a byte order mark")
        << "\xEF\xBB\xBF" + planned << withEntry(sjis(u"予定2.15*3"_s));
    QTest::newRow("UTF-8 without a mark") << planned << withEntry(sjis(u"予定2.15*3"_s));
    // What code page 932 cannot hold opens, but refuses the save naming its line and text.
    QTest::newRow("UTF-8 entry code page 932 cannot hold")
        << withEntry(u"予定\U0001F6002.15*3"_s.toUtf8()) << QByteArray("!");
    QTest::newRow("UTF-8 result code page 932 cannot hold")
        << QString::fromLatin1(kExample)
               .replace(u"\"06:45\",\"06:45\""_s, u"\"06:45\",\"\U0001F60006:45\""_s)
               .toUtf8()
        << QByteArray("!");
}

void TstTimFile::savedUnchangedKeepsBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, saved);
    const TimParse in = parseTimFile(bytes);
    QVERIFY2(in.sheet, qPrintable(in.error));
    const TimBytes out = timFileBytes(*in.sheet);
    if (saved == "!") {
        QVERIFY(!out.bytes);
        QVERIFY2(out.error.startsWith(u"1行目の"_s), qPrintable(out.error));
        QVERIFY2(out.error.contains(u"\U0001F600"_s), qPrintable(out.error));
        return;
    }
    QVERIFY2(out.bytes, qPrintable(out.error));
    QCOMPARE(*out.bytes, saved.isEmpty() ? bytes : saved);
}

void TstTimFile::editedLineKeepsUntouchedBytes() {
    const QByteArray nec = "\xED\x40";
    const QByteArray file = QByteArray(kExample).replace("\"-1.15\"", "\"-1.15" + nec + "\"");
    const TimParse in = parseTimFile(file);
    QVERIFY2(in.sheet, qPrintable(in.error));
    AdditionSheet s = *in.sheet;
    clickGridLine(s, 1);
    pressEnter(s, QStringLiteral("1"));
    const QByteArray out = *timFileBytes(s).bytes;
    // Line 2's totals follow line 1; its entry keeps the bytes it was read with.
    const QByteArray typedOut = timFileBytes(typed({u"1"_s, u"-1.15"_s}, RoundingMode::HalfHourUp))
                                    .bytes->replace("\"-1.15\"", "\"-1.15" + nec + "\"");
    QCOMPARE(out.mid(out.indexOf('\n')), typedOut.mid(typedOut.indexOf('\n')));
}

void TstTimFile::malformed_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty file") << QByteArray() << "空";
    QTest::newRow("short header") << QByteArray("2,1,1470\r\n") << "先頭";
    QTest::newRow("fewer lines than announced")
        << kExample.left(kExample.lastIndexOf("-1,-30")) << "2行目";
    QTest::newRow("extra fields at the end") << kExample + "1,2\r\n"
                                             << "ﾜｰｸｼｰﾄの2行目の後に余分なデータがあります";
    QTest::newRow("extra field in a record")
        << QByteArray(kExample).replace("\"06:45\",\"06:45\"", "\"06:45\",\"06:45\",9") << "文字";
    QTest::newRow("letters in a number")
        << QByteArray(kExample).replace(",6,45,", ",6,4x5,") << "1行目";
    QTest::newRow("letters in the header") << QByteArray("2,1,abc,1,3,0\r\n") << "先頭";
    QTest::newRow("last line past 100") << QByteArray("1,1,990,0,1,101\r\n") << "行数";
    QTest::newRow("last line not whole") << QByteArray("1,1,990,0,1,1.5\r\n") << "行数";
    QTest::newRow("unset header value") << QByteArray("1,,990,0,1,0\r\n") << "数値";
    QTest::newRow("infinite number") << QByteArray("1,1,inf,0,1,0\r\n") << "先頭";
    QTest::newRow("not code page 932") << QByteArray("1,1,990,0,1,0\r\n\x82\r\n") << "932";
    QTest::newRow("not code page 932 in a number")
        << QByteArray(kExample).replace(",6,45,", ",6\x82,45,") << "932";
    // Its bytes cannot be kept: the text would be written anew, changed.
    QTest::newRow("not code page 932 in a text never closed") << kExample.chopped(3) + "\x80"
                                                              << "932";
    QTest::newRow("names the worksheet line")
        << kExample.left(kExample.lastIndexOf("-1,-30")) << "ﾜｰｸｼｰﾄの2行目のデータが足りません";
    // Left unset by the reader, it would open as an empty line and be lost by the next save.
    QTest::newRow("entry longer than a field can be")
        << QByteArray(kExample).replace("2.15*3", QByteArray(FieldReader::kMaxFieldBytes + 1, '1'))
        << "8192バイトを超える長い値があります（ﾜｰｸｼｰﾄの1行目のデータ）";
    // Bytes that are no text where a number belongs are named by their place, never quoted.
    const QString unreadable = u"シフトJIS（コードページ932）の文字として読めない部分があります"_s;
    QTest::newRow("binary file") << noise(4096) << unreadable + u"（先頭の記録）"_s;
    QTest::newRow("lead byte cut off in the header")
        << QByteArray("1,1,990,0,1\x82,0\r\n") << unreadable + u"（先頭の記録）"_s;
    QTest::newRow("not code page 932 after the last line")
        << kExample + "\x82\r\n"
        << unreadable + u"（ﾜｰｸｼｰﾄの2行目の後）"_s;
    QTest::newRow("header cut short")
        << QByteArray("2,1,1470\r\n")
        << u"ファイルが途中で終わっています（先頭の記録が足りません）"_s;
}

void TstTimFile::malformed() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const TimParse in = parseTimFile(bytes);
    QVERIFY(!in.sheet);
    QVERIFY2(in.error.contains(reason), qPrintable(in.error));
    QVERIFY2(!in.error.contains(QChar::ReplacementCharacter), qPrintable(in.error));
}

// A value quoted back to the user is cut short, so the message fits its box.
void TstTimFile::longValuesQuotedShort_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("huge number in the header")
        << QByteArray("1,1,1e300,0,1,0\r\n") << QStringLiteral("数値「1e+300」が大きすぎます");
    QTest::newRow("huge negative number in a line")
        << QByteArray(kExample).replace(",6,45,", ",-1e300,45,")
        << QStringLiteral("数値「-1e+300」が大きすぎます");
    QTest::newRow("just too large") << QByteArray("1,1,1000000000001,0,1,0\r\n")
                                    << QStringLiteral("数値「1000000000001」が大きすぎます");
    QTest::newRow("long word for a number")
        << QByteArray("1,1,\"" + QByteArray(300, 'x') + "\",0,1,0\r\n")
        << QStringLiteral("文字「%1…」").arg(QString(20, u'x'));
    // A sound file renamed: its control bytes are not put into the message as they are.
    QTest::newRow("control characters")
        << QByteArray("RIFF\x24\x08\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0", 24)
        << QStringLiteral("文字「RIFF$???WAVEfmt ????…」");
}

void TstTimFile::longValuesQuotedShort() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, quoted);
    const TimParse in = parseTimFile(bytes);
    QVERIFY(!in.sheet);
    QVERIFY2(in.error.contains(quoted), qPrintable(in.error));
    QVERIFY2(in.error.size() < 60, qPrintable(in.error));
}

void TstTimFile::noiseNeverCrashes() {
    QRandomGenerator rng(42);
    QByteArray noise(1024 * 1024, '\0');
    for (char& c : noise)
        c = char(rng.bounded(256));
    TimParse in = parseTimFile(noise);
    QVERIFY(!in.sheet);
    QVERIFY(!in.error.isEmpty());
    // Noise made only of the format's own characters gets past the code page check.
    const char alphabet[] = "0123456789,.\"-\r\n :*";
    for (int round = 0; round < 200; ++round) {
        QByteArray b = "1,1,990,1,1," + QByteArray::number(rng.bounded(101)) + "\r\n";
        const int n = int(rng.bounded(3000));
        for (int i = 0; i < n; ++i)
            b += alphabet[rng.bounded(int(sizeof alphabet) - 1)];
        in = parseTimFile(b);
        QVERIFY(in.sheet || !in.error.isEmpty());
    }
}

void TstTimFile::pagePlan_data() {
    QTest::addColumn<int>("lastLine");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("rowsOnLastPage");
    QTest::newRow("0") << 0 << 1 << 0;
    QTest::newRow("50") << 50 << 1 << 50;
    QTest::newRow("51") << 51 << 2 << 1;
    QTest::newRow("100") << 100 << 2 << 50;
}

void TstTimFile::pagePlan() {
    QFETCH(int, lastLine);
    QFETCH(int, pages);
    QFETCH(int, rowsOnLastPage);
    const PrintDocument doc = additionSheetPrintout(linesUpTo(lastLine));
    QCOMPARE(doc.first(), setFontOp(QStringLiteral("ＭＳ ゴシック"), 10));
    QCOMPARE(pageCount(doc), pages);
    for (int p = 1; p <= pages; ++p) {
        const QString label = QStringLiteral("P: %1/%2").arg(p).arg(pages);
        const PrintOp* op = findText(doc, label, p);
        QVERIFY2(op, qPrintable(label));
        QCOMPARE(op->x, 70.0);
        QCOMPARE(op->y, 3.0);
        QVERIFY(findText(doc, QStringLiteral("■■　時間計算　■■　　"), p));
        QVERIFY(findText(doc, QStringLiteral("分単位累計"), p));
    }
    // Rows on the last page: numbered from the page's first line, first row at 7.2 cells.
    int page = 1;
    QList<const PrintOp*> numbers;
    QList<const PrintOp*> rules;
    for (const PrintOp& op : doc) {
        if (op.kind == PrintOp::Kind::NewPage) ++page;
        if (page != pages) continue;
        if (op.kind == PrintOp::Kind::RightText && op.x == 6) numbers.append(&op);
        if (op.kind == PrintOp::Kind::Rule) rules.append(&op);
    }
    QCOMPARE(numbers.size(), rowsOnLastPage);
    if (rowsOnLastPage > 0) {
        QCOMPARE(numbers.first()->text, QString::number((pages - 1) * 50 + 1));
        QCOMPARE(numbers.first()->y, 7.2);
        QCOMPARE(numbers.last()->y, 6 + 1.2 * rowsOnLastPage);
    }
    QCOMPARE(rules.size(), 2);
    QCOMPARE(*rules[0], ruleOp(5, 78, 4.5, 2));
    QCOMPARE(*rules[1], ruleOp(5, 78, 6.5, 2));
}

void TstTimFile::roundedColumns() {
    // Without rounding nothing is printed past the running total, though the texts are kept.
    const PrintDocument plain = additionSheetPrintout(linesUpTo(3));
    for (const PrintOp& op : plain)
        if (op.kind != PrintOp::Kind::Rule && op.y != 3) QVERIFY2(op.x < 50, qPrintable(op.text));

    const AdditionSheet s = typed({u"0.10"_s, u"1"_s}, RoundingMode::QuarterDown);
    const PrintDocument doc = additionSheetPrintout(s);
    QCOMPARE(findText(doc, QStringLiteral("15分/切捨"))->x, 56.0);
    QCOMPARE(findText(doc, QStringLiteral("切捨/累計"))->x, 68.0);
    const PrintOp* entry = findText(doc, QStringLiteral("0.10"));
    QCOMPARE(*entry, textOp(15, 7.2, QStringLiteral("0.10")));
    QCOMPARE(*findText(doc, QStringLiteral("00:10")), rightTextOp(30, 10, 7.2, u"00:10"_s));
    QCOMPARE(*findText(doc, QStringLiteral("01:00")), rightTextOp(30, 10, 8.4, u"01:00"_s));
    QCOMPARE(*findText(doc, QStringLiteral("01:10")), rightTextOp(42, 10, 8.4, u"01:10"_s));
    QCOMPARE(*findText(doc, QStringLiteral("00:00")), rightTextOp(54, 10, 7.2, u"00:00"_s));
}

// An entry has the 15 cells up to the line total's field, a total its 10-cell field; longer
// texts are cut with "…" (two cells) instead of running into the next column.
void TstTimFile::textsFitTheirColumns_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("printed");
    QTest::newRow("15-character entry")
        << QStringList{u"000000000001.30"_s} << 15.0 << u"000000000001.30"_s;
    QTest::newRow("16-character entry")
        << QStringList{u"0000000000001.30"_s} << 15.0 << u"0000000000001…"_s;
    QTest::newRow("10-character total") << QStringList{u"9999999"_s} << 30.0 << u"9999999:00"_s;
    QTest::newRow("huge line total") << QStringList{u"999999999"_s} << 30.0 << u"99999999…"_s;
    QTest::newRow("huge running total")
        << QStringList{u"999999999"_s, u"999999999"_s} << 42.0 << u"19999999…"_s;
}

void TstTimFile::textsFitTheirColumns() {
    QFETCH(QStringList, entries);
    QFETCH(double, x);
    QFETCH(QString, printed);
    const PrintDocument doc = additionSheetPrintout(typed(entries));
    const PrintOp* op = findText(doc, printed);
    QVERIFY2(op, qPrintable(printed));
    QCOMPARE(op->x, x);
}

void TstTimFile::lineNumbersEndAtTenCells() {
    AdditionSheet s = linesUpTo(100);
    clickGridLine(s, 99);
    pressDelete(s); // not the last line: nothing happens
    const PrintDocument doc = additionSheetPrintout(s);
    for (const QString& n : {QStringLiteral("7"), QStringLiteral("100")}) {
        const PrintOp* op = findText(doc, n, n == QStringLiteral("7") ? 1 : 2);
        QVERIFY(op);
        QCOMPARE(op->kind, PrintOp::Kind::RightText);
        QCOMPARE(op->x + op->fieldWidth, 10.0);
    }
    QCOMPARE(findText(doc, QStringLiteral("100"), 2)->y, 6 + 1.2 * 50);
}

QTEST_GUILESS_MAIN(TstTimFile)
#include "tst_tim_file.moc"
