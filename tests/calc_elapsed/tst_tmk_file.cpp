// SPDX-License-Identifier: MIT
#include "calc_elapsed/tmk_file.h"
#include "files/cp932.h"

#include <QRandomGenerator>
#include <QTest>

using namespace qz;
using namespace Qt::StringLiterals;

namespace {

QByteArray sjis(const QString& s) {
    return *encodeCp932(s);
}

// A file of the given header and first rows; every other row never touched.
QByteArray fileOf(const QByteArray& header, const QList<QByteArray>& rows) {
    QByteArray out = header + "\r\n";
    for (int r = 0; r < kSheetRowCount; ++r)
        out += (r < rows.size() ? rows[r] : QByteArray(",,,")) + "\r\n";
    return out;
}

// Bytes of no text at all, the same on every run.
QByteArray noise(qsizetype size) {
    QRandomGenerator rng(1);
    QByteArray out(size, '\0');
    for (char& c : out)
        c = char(rng.bounded(256));
    return out;
}

QList<QByteArray> lines(const QByteArray& bytes) {
    QList<QByteArray> out = bytes.split('\n');
    if (!out.isEmpty() && out.last().isEmpty()) out.removeLast();
    return out;
}

} // namespace

class TstTmkFile : public QObject {
    Q_OBJECT
  private slots:
    void rowLines_data();
    void rowLines();
    void headerOfFreshAndResetSheet();
    void roundTripKeepsUnsetApartFromEmpty();
    void reservedValuesCarried();
    void totalIsTakenAsWritten();
    void valuesSpreadOverLinesAlike();
    void savedUnchangedKeepsBytes_data();
    void savedUnchangedKeepsBytes();
    void editedSheetKeepsUntouchedBytes();
    void malformed_data();
    void malformed();
    void quotedValuesArePrintable_data();
    void quotedValuesArePrintable();
    void titleProblems_data();
    void titleProblems();
    void extension_data();
    void extension();
};

void TstTmkFile::rowLines_data() {
    QTest::addColumn<SheetRow>("row");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("complete") << SheetRow{u"08:30"_s, u"17:15"_s, u"08:45"_s, 525}
                              << QByteArray("\"08:30\",\"17:15\",\"08:45\",525\r");
    QTest::newRow("untouched") << SheetRow{} << QByteArray(",,,\r");
    QTest::newRow("start only") << SheetRow{u"08:30"_s, {}, {}, {}} << QByteArray("\"08:30\",,,\r");
    QTest::newRow("cleared") << SheetRow{QString(), QString(), QString(), 0}
                             << QByteArray("\"\",\"\",\"\",0\r");
    QTest::newRow("whole day") << SheetRow{u"00:00"_s, u"24:00"_s, u"24:00"_s, 1440}
                               << QByteArray("\"00:00\",\"24:00\",\"24:00\",1440\r");
}

void TstTmkFile::rowLines() {
    QFETCH(SheetRow, row);
    QFETCH(QByteArray, line);
    ElapsedSheet s;
    s.row(5) = row;
    const std::optional<QByteArray> bytes = tmkFileBytes(s).bytes;
    QVERIFY(bytes);
    const QList<QByteArray> ls = lines(*bytes);
    QCOMPARE(ls.size(), 71);
    QCOMPARE(ls[5], line);
    QCOMPARE(ls[4], QByteArray(",,,\r"));
    QVERIFY(bytes->endsWith(",,,\r\n"));
    const TmkParseResult back = parseTmkFile(*bytes);
    QVERIFY2(back.sheet, qPrintable(back.error));
    QCOMPARE(back.sheet->row(5), row);
}

void TstTmkFile::headerOfFreshAndResetSheet() {
    ElapsedSheet s;
    s.row(1) = {u"09:00"_s, {}, {}, {}};
    s.sheetTitle = QStringLiteral("会議, 午後");
    s.sheetDate = QStringLiteral("2010/11/08");
    QByteArray expected =
        ",\"" + sjis(QStringLiteral("会議, 午後")) + "\",\"2010/11/08\",\"\",\"\",\"\",\"\",\"\"\r";
    QCOMPARE(lines(*tmkFileBytes(s).bytes)[0], expected);
    SheetCursor c;
    resetSheet(s, c);
    s.row(1).startText = u"09:00"_s;
    QVERIFY(lines(*tmkFileBytes(s).bytes)[0].startsWith("\"\",\"\",\"2010/11/08\","));
    // The title with its comma comes back whole.
    s.sheetTitle = QStringLiteral("会議, 午後");
    QCOMPARE(parseTmkFile(*tmkFileBytes(s).bytes).sheet->sheetTitle, s.sheetTitle);
}

void TstTmkFile::roundTripKeepsUnsetApartFromEmpty() {
    ElapsedSheet s;
    s.totalText = u"10:05"_s;
    s.sheetTitle = QStringLiteral("ﾃｽﾄ 表");
    s.sheetDate = QString();
    s.row(1) = {u"08:30"_s, u"17:15"_s, u"08:45"_s, 525};
    s.row(2) = {QString(), QString(), QString(), 0};
    s.row(3) = {u"09:00"_s, {}, {}, {}};
    s.row(4) = {{}, u"01:20"_s, u"01:20"_s, 80};
    s.row(70) = {u"00:00"_s, u"24:00"_s, u"24:00"_s, 1440};
    const TmkParseResult back = parseTmkFile(*tmkFileBytes(s).bytes);
    QVERIFY2(back.sheet, qPrintable(back.error));
    QVERIFY(*back.sheet == s);
    QCOMPARE(*tmkFileBytes(*back.sheet).bytes, *tmkFileBytes(s).bytes);
}

void TstTmkFile::reservedValuesCarried() {
    const QByteArray file =
        fileOf("\"01:00\",\"t\",\"d\",12,\"x\",,-3.5,\"" + sjis(QStringLiteral("予備")) + "\"",
               {"\"08:00\",\"09:00\",\"01:00\",60"});
    const TmkParseResult r = parseTmkFile(file);
    QVERIFY2(r.sheet, qPrintable(r.error));
    QCOMPARE(r.sheet->reservedValues[0], RecordValue(12.0));
    QCOMPARE(r.sheet->reservedValues[1], RecordValue(u"x"_s));
    QVERIFY(isUnset(r.sheet->reservedValues[2]));
    QCOMPARE(r.sheet->reservedValues[3], RecordValue(-3.5));
    QCOMPARE(r.sheet->reservedValues[4], RecordValue(QStringLiteral("予備")));
    QCOMPARE(*tmkFileBytes(*r.sheet).bytes, file); // written back byte for byte
}

void TstTmkFile::totalIsTakenAsWritten() {
    // The rows add up to 01:00, the file says 99:99: the file's total is what is shown.
    const TmkParseResult r = parseTmkFile(fileOf("\"99:99\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"",
                                                 {"\"08:00\",\"09:00\",\"01:00\",60"}));
    QVERIFY2(r.sheet, qPrintable(r.error));
    QCOMPARE(r.sheet->totalText, std::optional<QString>(u"99:99"_s));
    ElapsedSheet s = *r.sheet;
    recalculateTotal(s);
    QCOMPARE(s.totalText, std::optional<QString>(u"01:00"_s));
}

void TstTmkFile::valuesSpreadOverLinesAlike() {
    QByteArray oneLine = "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"08:00\",\"09:00\",\"01:00\",60";
    for (int r = 1; r < kSheetRowCount; ++r)
        oneLine += ",,,,";
    const TmkParseResult r = parseTmkFile(oneLine + "\r\n");
    QVERIFY2(r.sheet, qPrintable(r.error));
    QCOMPARE(r.sheet->row(1).elapsedMinutes, std::optional<int>(60));
    QCOMPARE(r.sheet->row(70), SheetRow{});
}

// A loaded sheet saved without edits gives back the file it was read from.
void TstTmkFile::savedUnchangedKeepsBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("saved"); // empty: the bytes read; "!": refused
    const QByteArray row = "\"08:00\",\"09:00\",\"01:00\",60";
    auto header = [](const QByteArray& title, const QByteArray& reserved) {
        return "\"01:00\",\"" + title + "\",\"2010/11/08\"," + reserved + ",\"\",\"\",\"\",\"\"";
    };
    // Code page 932 stores some kanji and signs twice; the copy the file used stays.
    QTest::newRow("NEC-selected kanji in the title")
        << fileOf(header("\xED\x40", "\"\""), {row}) << QByteArray();
    QTest::newRow("NEC row 13 sign in the title")
        << fileOf(header("\x87\x90", "\"\""), {row}) << QByteArray();
    QTest::newRow("bytes no character starts in the title") << fileOf(header("a\x80\xA0"
                                                                             "b\x82",
                                                                             "\"\""),
                                                                      {row})
                                                            << QByteArray();
    // The window cannot edit these: were they re-encoded, no save could ever succeed.
    QTest::newRow("invalid bytes in a reserved value")
        << fileOf(header("t", "\"\xFD\xFE\xFF\""), {row}) << QByteArray();
    QTest::newRow("emoji bytes in a reserved value")
        << fileOf(header("\x95\x5C", "\"\xF0\x9F\x98\x80\""), {row}) << QByteArray();
    // From a file in UTF-8 the title goes to code page 932; the reserved value it cannot hold
    // keeps the bytes it came with.
    const QByteArray emoji = u"\U0001F600"_s.toUtf8();
    QTest::newRow("emoji in a reserved value of a UTF-8 file")
        << fileOf(header(u"予定"_s.toUtf8(), '"' + emoji + '"'), {row})
        << fileOf(header(sjis(u"予定"_s), '"' + emoji + '"'), {row});
    // Unless the file would then be read as UTF-8 (痼ア in code page 932 is also UTF-8): the
    // save is refused, naming the character.
    QTest::newRow("emoji in a UTF-8 file whose title reads as UTF-8")
        << fileOf(header(u"痼ア"_s.toUtf8(), '"' + emoji + '"'), {row}) << QByteArray("!");
    QTest::newRow("invalid bytes in the total")
        << fileOf("\"01:00\x80\",\"t\",\"d\",\"\",\"\",\"\",\"\",\"\"", {row}) << QByteArray();
    QTest::newRow("numbers spelt otherwise")
        << fileOf(header("t", "012"), {"\"08:00\",\"09:00\",\"01:00\",060"}) << QByteArray();
    QTest::newRow("elapsed text as a bare number")
        << fileOf(header("t", "\"\""), {"\"08:00\",\"09:00\",100,60"}) << QByteArray();
    // Saved from the first byte on, they would open the file like a byte order mark.
    QTest::newRow("total beginning with the bytes of a byte order mark")
        << fileOf(" \xEF\xBB\xBF\x95\x5C,\"t\",\"d\",\"\",\"\",\"\",\"\",\"\"", {row})
        << QByteArray();
    QTest::newRow("last line end missing")
        << fileOf(header("t", "\"\""), {row}).chopped(2) << fileOf(header("t", "\"\""), {row});
    // Re-saved by an editor in UTF-8, with its mark or without: the texts open as written and
    // go back in code page 932.
    const QByteArray planned = fileOf(header(u"予定"_s.toUtf8(), "\"\""), {row});
    QTest::newRow("UTF-8 with a byte order mark")
        << "\xEF\xBB\xBF" + planned << fileOf(header(sjis(u"予定"_s), "\"\""), {row});
    QTest::newRow("UTF-8 without a mark")
        << planned << fileOf(header(sjis(u"予定"_s), "\"\""), {row});
}

void TstTmkFile::savedUnchangedKeepsBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, saved);
    const TmkParseResult r = parseTmkFile(bytes);
    QVERIFY2(r.sheet, qPrintable(r.error));
    // Neither title nor date stops the save: they go back as they came.
    QCOMPARE(sheetTextProblem(*r.sheet), QString());
    const TmkBytes out = tmkFileBytes(*r.sheet);
    if (saved == "!") {
        QVERIFY(!out.bytes);
        QVERIFY2(out.error.contains(u"\U0001F600"_s), qPrintable(out.error));
        return;
    }
    QVERIFY2(out.bytes, qPrintable(out.error));
    QCOMPARE(*out.bytes, saved.isEmpty() ? bytes : saved);
}

void TstTmkFile::editedSheetKeepsUntouchedBytes() {
    const QByteArray file =
        fileOf("\"01:00\",\"\xED\x40\x80\",\"d\",\"\xFD\",\"\",\"\",\"\",\"\"",
               {"\"08:00\",\"09:00\",\"01:00\",060", "\"10:00\",\"11:00\",\"01:00\",60"});
    const TmkParseResult r = parseTmkFile(file);
    QVERIFY2(r.sheet, qPrintable(r.error));
    ElapsedSheet s = *r.sheet;
    SheetCursor c;
    c.currentRow = 2;
    QVERIFY(confirmEnd(s, c, u"12:00"_s).message.isEmpty());
    s.sheetDate = u"2011/01/01"_s;
    const QList<QByteArray> out = lines(*tmkFileBytes(s).bytes);
    QCOMPARE(
        out[0],
        QByteArray("\"03:00\",\"\xED\x40\x80\",\"2011/01/01\",\"\xFD\",\"\",\"\",\"\",\"\"\r"));
    QCOMPARE(out[1], QByteArray("\"08:00\",\"09:00\",\"01:00\",060\r"));
    QCOMPARE(out[2], QByteArray("\"10:00\",\"12:00\",\"02:00\",120\r"));
    // A title changed into something code page 932 cannot hold is refused, naming the title.
    s.sheetTitle = *s.sheetTitle + u"\U0001F600"_s;
    bool inTitle = false;
    QVERIFY(sheetTextProblem(s, &inTitle).contains(u"タイトル"_s));
    QVERIFY(inTitle);
}

void TstTmkFile::malformed_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reasonPart");
    const QByteArray header = "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"";
    QByteArray shortFile = fileOf(header, {});
    shortFile.chop(5); // the last row line loses its minutes
    shortFile += "\"08:00\",\"09:00\",\"01:00\"\r\n";
    QTest::newRow("empty") << QByteArray() << QStringLiteral("ファイルが空です");
    QTest::newRow("header only") << header + "\r\n"
                                 << QStringLiteral(
                                        "途中で終わっています（1 行目のデータが足りません）");
    QTest::newRow("short") << shortFile << QStringLiteral("70 行目のデータが足りません");
    QTest::newRow("start not a time")
        << fileOf(header, {"\"8:30\",,,"}) << QStringLiteral("1 行目の開始時間「8:30」");
    QTest::newRow("start 24:00") << fileOf(header, {"\"24:00\",,,"})
                                 << QStringLiteral("開始時間「24:00」");
    QTest::newRow("end out of range")
        << fileOf(header, {",,,", "\"08:00\",\"25:00\",,"}) << QStringLiteral("2 行目の終了時間");
    QTest::newRow("start as a number") << fileOf(header, {"8.5,,,"}) << QStringLiteral("8.5");
    QTest::newRow("minutes text") << fileOf(header, {"\"08:00\",\"09:00\",\"01:00\",abc"})
                                  << QStringLiteral("経過分「abc」");
    QTest::newRow("minutes negative")
        << fileOf(header, {"\"08:00\",\"09:00\",\"01:00\",-1"}) << QStringLiteral("経過分");
    QTest::newRow("minutes fraction")
        << fileOf(header, {"\"08:00\",\"09:00\",\"01:00\",1.5"}) << QStringLiteral("経過分");
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                            << QStringLiteral("");
    QTest::newRow("huge") << QByteArray(kTmkMaxBytes + 1, ',') << QStringLiteral("大きすぎ");
    // Rows past the seventieth would be dropped by the next save.
    QTest::newRow("row 71") << fileOf(header, {}) + "\"08:00\",\"09:00\",\"01:00\",60\r\n"
                            << QStringLiteral("70 行目の後に余分なデータ");
    QTest::newRow("one value more") << fileOf(header, {}).chopped(2) + ",\r\n"
                                    << QStringLiteral("余分なデータ");
    // Left unset by the reader, it would vanish without a word.
    QTest::newRow("title longer than a field can be")
        << fileOf("\"\",\"" + QByteArray(FieldReader::kMaxFieldBytes + 1, 't') +
                      "\",\"\",\"\",\"\",\"\",\"\",\"\"",
                  {})
        << QStringLiteral("8192バイトを超える長い値があります（先頭の記録のタイトル）");
    QTest::newRow("elapsed text longer than a field can be")
        << fileOf(header,
                  {",,,", ",,\"" + QByteArray(FieldReader::kMaxFieldBytes + 1, '0') + "\","})
        << QStringLiteral("長い値があります（2 行目の経過時間）");
    // Bytes that are no text where a time or a number belongs are named by their place, never
    // quoted.
    const QString unreadable = u"シフトJIS（コードページ932）の文字として読めない部分があります"_s;
    QTest::newRow("binary file") << noise(4096) << unreadable + u"（1 行目の開始時間）"_s;
    QTest::newRow("lead byte cut off in a time")
        << fileOf(header, {"\"08:0\x82\",,,"}) << unreadable + u"（1 行目の開始時間）"_s;
    QTest::newRow("no character in the minutes")
        << fileOf(header, {",,,", "\"08:00\",\"09:00\",\"01:00\",6\xA0"})
        << unreadable + u"（2 行目の経過分）"_s;
    QTest::newRow("not code page 932 after the last row") << fileOf(header, {}) + "\x82\r\n"
                                                          << unreadable + u"（70 行目の後）"_s;
    QTest::newRow("header cut short")
        << QByteArray("\"01:00\",\"t\"\r\n")
        << u"ファイルが途中で終わっています（先頭の記録が足りません）"_s;
}

void TstTmkFile::malformed() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reasonPart);
    const TmkParseResult r = parseTmkFile(bytes);
    QVERIFY(!r.sheet);
    QVERIFY(!r.error.isEmpty());
    QVERIFY2(r.error.contains(reasonPart), qPrintable(r.error));
    QVERIFY2(!r.error.contains(QChar::ReplacementCharacter), qPrintable(r.error));
}

void TstTmkFile::quotedValuesArePrintable_data() {
    QTest::addColumn<QByteArray>("firstRow");
    QTest::addColumn<QString>("error");
    const QString x20(20, u'x');
    QTest::newRow("controls") << QByteArray("\"\x01\x02\t08\x7f\",,,")
                              << u"1 行目の開始時間「???08?」は時刻ではありません。"_s;
    QTest::newRow("nul bytes") << QByteArray("D\0U\0>,,,", 8)
                               << u"1 行目の開始時間「D?U?>」は時刻ではありません。"_s;
    QTest::newRow("user-defined character")
        << QByteArray("\"\xF0\x40\",,,") << u"1 行目の開始時間「?」は時刻ではありません。"_s;
    QTest::newRow("twenty kept") << "\"" + x20.toLatin1() + "\",,,"
                                 << u"1 行目の開始時間「%1」は時刻ではありません。"_s.arg(x20);
    QTest::newRow("long cut") << "\"" + x20.toLatin1() + "yyyyy\",,,"
                              << u"1 行目の開始時間「%1…」は時刻ではありません。"_s.arg(x20);
    QTest::newRow("long japanese cut")
        << QByteArray("\"08:00\",\"") + sjis(QString(30, u'時')) + "\",,"
        << u"1 行目の終了時間「%1…」は時刻ではありません。"_s.arg(QString(20, u'時'));
    QTest::newRow("minutes")
        << QByteArray("\"08:00\",\"09:00\",\"01:00\",\x1b[2J")
        << u"1 行目の経過分「?[2J」は 0 から 1440 までの整数ではありません。"_s;
    QTest::newRow("replacement character written in a UTF-8 file")
        << QByteArray("\"\xEF\xBF\xBD"
                      "08\",,,")
        << u"1 行目の開始時間「?08」は時刻ではありません。"_s;
    QTest::newRow("bytes no character of the code page")
        << QByteArray("\"\x80"
                      "08:00\",,,")
        << u"シフトJIS（コードページ932）の文字として読めない部分があります（1 行目の開始時間）。"_s;
}

// A file that is not a sheet at all shows a piece of itself in the message: only as much as
// can be read, and never a character that would upset the message box.
void TstTmkFile::quotedValuesArePrintable() {
    QFETCH(QByteArray, firstRow);
    QFETCH(QString, error);
    const TmkParseResult r =
        parseTmkFile(fileOf("\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"", {firstRow}));
    QVERIFY(!r.sheet);
    QCOMPARE(r.error, error);
}

void TstTmkFile::titleProblems_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("reasonPart"); // empty: no problem
    QTest::newRow("fine") << QStringLiteral("会議, ﾃｽﾄ") << "2010/11/08"
                          << "";
    QTest::newRow("quote in title") << "a\"b"
                                    << "" << QStringLiteral("タイトルに「\"」");
    QTest::newRow("quote in date") << ""
                                   << "\"" << QStringLiteral("日付に「\"」");
    QTest::newRow("emoji in title") << QStringLiteral("会議😀") << "" << QStringLiteral("「😀」");
    QTest::newRow("hangul in date") << "" << QStringLiteral("한") << QStringLiteral("日付の「한」");
}

void TstTmkFile::titleProblems() {
    QFETCH(QString, title);
    QFETCH(QString, date);
    QFETCH(QString, reasonPart);
    const QString problem = sheetTextProblem(title, date);
    QCOMPARE(problem.isEmpty(), reasonPart.isEmpty());
    QVERIFY2(problem.contains(reasonPart), qPrintable(problem));
    // What is refused here would also make the writer fail.
    ElapsedSheet s;
    s.sheetTitle = title;
    s.sheetDate = date;
    QCOMPARE(tmkFileBytes(s).bytes.has_value(), reasonPart.isEmpty());
}

void TstTmkFile::extension_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("saved");
    QTest::newRow("none") << "/x/day"
                          << "/x/day.TMK";
    QTest::newRow("kept") << "/x/day.tmk"
                          << "/x/day.tmk";
    QTest::newRow("other kept") << "/x/day.txt"
                                << "/x/day.txt";
    QTest::newRow("dot in folder") << "/x.y/day"
                                   << "/x.y/day.TMK";
    QTest::newRow("windows folder") << "C:\\a.b\\day"
                                    << "C:\\a.b\\day.TMK";
    QTest::newRow("trailing dot") << "/x/day."
                                  << "/x/day.TMK";
}

void TstTmkFile::extension() {
    QFETCH(QString, chosen);
    QFETCH(QString, saved);
    QCOMPARE(withTmkExtension(chosen), saved);
}

QTEST_APPLESS_MAIN(TstTmkFile)
#include "tst_tmk_file.moc"
