// SPDX-License-Identifier: MIT
#include "files/cp932.h"
#include "files/read_number.h"
#include "files/record_format.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace qz;

Q_DECLARE_METATYPE(qz::RecordValue)

class TestRecordFormat : public QObject {
    Q_OBJECT

  private:
    static QByteArray sjis(const QString& s) { return *encodeCp932(s); }

  private slots:
    void numbersAreWrittenBare_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << 60.0 << "60";
        QTest::newRow("negative") << -15.0 << "-15";
        QTest::newRow("half") << 17.5 << "17.5";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("fraction") << 0.25 << "0.25";
        QTest::newRow("negative fraction") << -1.75 << "-1.75";
        QTest::newRow("tiny") << 1e-11 << "0";
        QTest::newRow("tiny negative") << -1e-11 << "0";
        QTest::newRow("smallest kept") << 1e-10 << "0.0000000001";
    }
    void numbersAreWrittenBare() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(formatNumber(value), text);
    }

    void recordBytesAreExact() {
        RecordWriter w;
        w.number(1).text(QStringLiteral("ﾍﾞﾙ")).text(QString()).unset().number(-15).endRecord();
        w.text(QStringLiteral("a,b")).endRecord();
        QByteArray expected = "1,\"" + sjis(QStringLiteral("ﾍﾞﾙ")) + "\",\"\",,-15\r\n\"a,b\"\r\n";
        QVERIFY(w.ok());
        QCOMPARE(w.bytes(), expected);
        // Half-width katakana are one byte each in the code page.
        QCOMPARE(sjis(QStringLiteral("ﾍﾞﾙ")).size(), 3);
        QCOMPARE(sjis(QStringLiteral("時間")).size(), 4);
    }

    void textsTheFormatCannotHoldFailTheWriter_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("emoji") << QString::fromUtf8("ベル\xF0\x9F\x94\x94");
        QTest::newRow("double quote") << QStringLiteral("say \"hi\"");
        QTest::newRow("hangul") << QString::fromUtf8("\xEC\x95\x88");
        // What stands for unreadable bytes must never be written as some other character.
        QTest::newRow("replacement character") << QString(QChar::ReplacementCharacter);
        QTest::newRow("yen sign") << QString(QChar(0xA5));
        QTest::newRow("overline") << QString(QChar(0x203E));
        QTest::newRow("private use the converter maps one way") << QString(QChar(0xF86F));
        QTest::newRow("lone surrogate") << QString(QChar(0xD800));
    }
    void textsTheFormatCannotHoldFailTheWriter() {
        QFETCH(QString, text);
        RecordWriter w;
        w.number(1).text(text).endRecord();
        QVERIFY(!w.ok());
        QVERIFY(!w.error().isEmpty());
        QVERIFY(!cp932CanHold(text) || text.contains(u'"'));
    }

    void roundTripKeepsUnsetApartFromEmpty() {
        const QList<RecordValue> values = {
            RecordValue(7.0),
            RecordValue(QStringLiteral("時間ですよ")),
            RecordValue(Unset{}),
            RecordValue(QString()),
            RecordValue(QStringLiteral("x, y")),
            RecordValue(-0.5),
            RecordValue(QStringLiteral("～－￢")), // characters with vendor mappings
        };
        RecordWriter w;
        for (const auto& v : values)
            w.value(v);
        w.endRecord();
        QVERIFY(w.ok());
        FieldReader r(w.bytes());
        for (const auto& v : values) {
            const auto got = r.next();
            QVERIFY(got.has_value());
            QCOMPARE(*got, v);
        }
        QVERIFY(r.atEnd());
        QVERIFY(!r.next().has_value());
    }

    // A file the program wrote reads back as written, and a second save writes the same bytes.
    void writtenTextsReadBackAsWritten_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("kanji and katakana that are UTF-8 too") << QString::fromUtf16(u"痼ア");
        QTest::newRow("twice") << QString::fromUtf16(u"痼ア痼ア");
        QTest::newRow("half-width pair") << QStringLiteral("ﾃｱ");
        QTest::newRow("control codes") << QString::fromUtf16(u"a\u001A\u001C\u007F");
        QTest::newRow("horizontal bar") << QString(QChar(0x2015));
        QTest::newRow("user-defined") << QString(QChar(0xE000));
        QTest::newRow("vendor signs") << QStringLiteral("～－￢");
    }
    void writtenTextsReadBackAsWritten() {
        QFETCH(QString, text);
        RecordWriter w;
        w.number(1).text(text).endRecord();
        QVERIFY(w.ok());
        FieldReader r(w.bytes());
        QCOMPARE(r.encoding(), TextEncoding::Cp932);
        QCOMPARE(*r.next(), RecordValue(1.0));
        const auto field = r.nextField();
        QCOMPARE(field->value, RecordValue(text));
        RecordWriter again;
        again.number(1).text(std::get<QString>(field->value)).endRecord();
        QCOMPARE(again.bytes(), w.bytes());
    }

    // Level-2 kanji with lead byte 0xE1 to 0xEA and a trail byte 0x80 to 0xBF, followed by a
    // katakana 0x8340 to 0x837E, are well-formed UTF-8: 613 of them.
    void everyKanjiBeforeKatakanaReadsBack() {
        int kanji = 0;
        for (int lead = 0xE1; lead <= 0xEA; ++lead) {
            for (int trail = 0x80; trail <= 0xBF; ++trail) {
                const QByteArray code = QByteArray(1, char(lead)) + char(trail);
                const Cp932Decoded c = decodeCp932Checked(code);
                if (!c.valid()) continue;
                ++kanji;
                const QString text = c.text + QStringLiteral("ア");
                RecordWriter w;
                w.text(text).endRecord();
                QVERIFY(isValidUtf8(w.bytes()));
                QCOMPARE(*FieldReader(w.bytes()).next(), RecordValue(text));
            }
        }
        QCOMPARE(kanji, 613);
    }

    void readerTreatsLineEndsAsSeparators() {
        // Same six fields, spread over lines differently.
        const QByteArray a = "1,\"A\",\"p\"\r\n2,\"B\",\"\"\r\n";
        const QByteArray b = "1,\"A\",\"p\",2,\"B\",\"\"\r\n";
        const QByteArray c = "1\r\n\"A\"\r\n\"p\"\n2,\"B\"\r\n\"\"";
        for (const QByteArray& bytes : {a, b, c}) {
            FieldReader r(bytes);
            QList<RecordValue> got;
            while (auto v = r.next())
                got.append(*v);
            QCOMPARE(got.size(), 6);
            QCOMPARE(got[0], RecordValue(1.0));
            QCOMPARE(got[4], RecordValue(QStringLiteral("B")));
            QCOMPARE(got[5], RecordValue(QString()));
        }
    }

    void readerFieldRules() {
        // Blanks before a field are skipped, text after a closing quote is dropped, unquoted
        // non-numbers are text, an empty field is unset.
        FieldReader r(QByteArray("  12 , \"q\"junk,abc,,\r\n"));
        QCOMPARE(*r.next(), RecordValue(12.0));
        QCOMPARE(*r.next(), RecordValue(QStringLiteral("q")));
        QCOMPARE(*r.next(), RecordValue(QStringLiteral("abc")));
        QCOMPARE(*r.next(), RecordValue(Unset{}));
        QCOMPARE(*r.next(), RecordValue(Unset{}));
        QVERIFY(!r.next().has_value());
    }

    void readerSurvivesBrokenInput() {
        FieldReader r(QByteArray("\"never closed, 1\r\n\x81"));
        const auto v = r.next();
        QVERIFY(v.has_value());
        QVERIFY(std::holds_alternative<QString>(*v));
        QVERIFY(!r.next().has_value());
    }

    void inputMethodSignsAreWrittenAsTheirTwins_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("wave dash")
            << QString(QChar(0x301C)) << QByteArray("\x81\x60") << QString(QChar(0xFF5E));
        QTest::newRow("minus sign")
            << QString(QChar(0x2212)) << QByteArray("\x81\x7C") << QString(QChar(0xFF0D));
        QTest::newRow("double vertical line")
            << QString(QChar(0x2016)) << QByteArray("\x81\x61") << QString(QChar(0x2225));
        QTest::newRow("cent") << QString(QChar(0xA2)) << QByteArray("\x81\x91")
                              << QString(QChar(0xFFE0));
        QTest::newRow("pound") << QString(QChar(0xA3)) << QByteArray("\x81\x92")
                               << QString(QChar(0xFFE1));
        QTest::newRow("not sign") << QString(QChar(0xAC)) << QByteArray("\x81\xCA")
                                  << QString(QChar(0xFFE2));
        QTest::newRow("em dash") << QString(QChar(0x2014)) << QByteArray("\x81\x5C")
                                 << QString(QChar(0x2015));
        QTest::newRow("in a name") << QString::fromUtf16(u"9\u301C5時")
                                   << QByteArray("9\x81\x60"
                                                 "5\x8E\x9E")
                                   << QString::fromUtf16(u"9\uFF5E5時");
    }
    void inputMethodSignsAreWrittenAsTheirTwins() {
        QFETCH(QString, typed);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, readBack);
        QVERIFY(cp932CanHold(typed));
        QCOMPARE(*encodeCp932(typed), bytes);
        QCOMPARE(decodeCp932(bytes), readBack);
        // The twins themselves are written the same way.
        QCOMPARE(*encodeCp932(readBack), bytes);
    }

    // Expected values from glibc's and CPython's CP932, not from this codec. Rows whose text
    // holds U+FFFD cannot be written from the text (writtenBack empty).
    void bytesReadAndWriteAsWindowsDoes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("invalid");
        QTest::addColumn<int>("firstInvalidAt");
        QTest::addColumn<QByteArray>("writtenBack");
        const QString bad(QChar::ReplacementCharacter);
        auto row = [](const char* name, const QByteArray& bytes, const QString& text,
                      const QByteArray& invalid = {}, int at = -1, const QByteArray& back = {}) {
            QTest::newRow(name) << bytes << text << invalid << at
                                << (invalid.isEmpty() && back.isEmpty() ? bytes : back);
        };
        row("controls as themselves", "\x1A\x1C\x7F", QString::fromUtf16(u"\u001A\u001C\u007F"));
        row("DEL beside kana", "\x82\xA0\x7F", QString::fromUtf16(u"あ\u007F"));
        row("spans file", "60,30,0,0\r\n", QStringLiteral("60,30,0,0\r\n"));
        row("backslash and tilde", "C:\\WAV\\~1.WAV", QStringLiteral("C:\\WAV\\~1.WAV"));
        row("kanji", "\x8E\x9E\x8A\xD4", QStringLiteral("時間"));
        row("kanji and katakana that are UTF-8 too", "\xE1\x80\x83\x41",
            QString::fromUtf16(u"\u75FC\u30A2"));
        row("half-width katakana", "\xCD\xDE\xD9", QStringLiteral("ﾍﾞﾙ"));
        row("horizontal bar", "\x81\x5C", QString(QChar(0x2015)));
        row("numero", "\x87\x82", QString(QChar(0x2116)));
        row("user-defined area", "\xF0\x40\xF9\xFC", QString::fromUtf16(u"\uE000\uE757"));
        // Several codes read as one character; Windows writes one of them.
        row("NEC-selected IBM kanji", "\xED\x40", QString(QChar(0x7E8A)), {}, -1, "\xFA\x5C");
        row("NEC-selected IBM numeral", "\xEE\xEF", QString(QChar(0x2170)), {}, -1, "\xFA\x40");
        row("IBM numeral of NEC row 13", "\xFA\x4A", QString(QChar(0x2160)), {}, -1, "\x87\x54");
        row("IBM not sign", "\xFA\x54", QString(QChar(0xFFE2)), {}, -1, "\x81\xCA");
        row("NEC because", "\x87\x9A", QString(QChar(0x2235)), {}, -1, "\x81\xE6");
        // No character: never one that writes back as other bytes.
        row("invalid byte after kana", "\x82\xA0\xA0\x41", QStringLiteral("あ") + bad + u'A',
            "\xA0", 2);
        row("lead byte at the end", "\x82\xA0\x81", QStringLiteral("あ") + bad, "\x81", 2);
        row("lead byte before a tab", "\x81\x09", bad + u'\t', "\x81", 0);
        row("lead byte before DEL", "\x81\x7F", bad + QChar(0x7F), "\x81", 0);
        row("empty pair", "\x85\x41", bad + u'A', "\x85", 0);
        row("empty pair, high trail", "\x85\x80", bad + bad, "\x85\x80", 0);
        row("byte order mark", "\xEF\xBB\xBF", bad + QStringLiteral("ｻｿ"), "\xEF", 0);
        row("vendor bytes", "a\x80\xA0\xFD\xFE\xFF\xA0", u'a' + bad.repeated(6),
            "\x80\xA0\xFD\xFE\xFF", 1);
        // Every single byte: ASCII and the control codes as themselves, 0xA1 to 0xDF as
        // half-width katakana; 0x80, 0xA0, 0xFD to 0xFF and a lead byte with nothing after it
        // are no character.
        for (int b = 0; b <= 0xFF; ++b) {
            const QByteArray byte(1, char(b));
            const QString name = QStringLiteral("byte 0x%1").arg(b, 2, 16, QLatin1Char('0'));
            if (b < 0x80 || (b >= 0xA1 && b <= 0xDF))
                row(qPrintable(name), byte, QChar(b < 0x80 ? b : 0xFF61 + (b - 0xA1)));
            else
                row(qPrintable(name), byte, bad, byte, 0);
        }
    }
    void bytesReadAndWriteAsWindowsDoes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QByteArray, invalid);
        QFETCH(int, firstInvalidAt);
        QFETCH(QByteArray, writtenBack);
        const Cp932Decoded got = decodeCp932Checked(bytes);
        QCOMPARE(got.text, text);
        QCOMPARE(got.invalidBytes, invalid);
        QCOMPARE(got.firstInvalidAt, qsizetype(firstInvalidAt));
        QCOMPARE(isValidCp932(bytes), invalid.isEmpty());
        QCOMPARE(decodeCp932(bytes), text);
        const auto written = encodeCp932(text);
        if (invalid.isEmpty()) {
            QVERIFY(written);
            QCOMPARE(*written, writtenBack);
        } else {
            QVERIFY(!written);
        }
    }

    // The references write 9275 characters of the Basic Multilingual Plane beyond ASCII
    // (glibc and CPython agree on them); the EM DASH twin makes 9276. Whatever is written must
    // read back as itself, or as the twin it was written as.
    void everyWrittenCharacterReadsBack() {
        int written = 0;
        for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
            if (QChar::isSurrogate(c)) continue;
            const QString one{QChar(char16_t(c))};
            const auto bytes = encodeCp932(one);
            if (!bytes) continue;
            ++written;
            const Cp932Decoded back = decodeCp932Checked(*bytes);
            QVERIFY2(back.valid(), qPrintable(one));
            QCOMPARE(back.text, QString(cp932Twin(QChar(char16_t(c)))));
        }
        QCOMPARE(written, 9276);
    }

    // Which encoding a file is read in, and the first text the reader then finds in it.
    void encodingIsRecognised_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("text");
        const QString kanji = QStringLiteral("時間ﾍﾞﾙ");
        const QByteArray name = kanji.toUtf8();
        const QByteArray mark = "\xEF\xBB\xBF";
        const QString bad(QChar::ReplacementCharacter);
        QTest::newRow("code page 932") << QByteArray("1,\"" + sjis(kanji) + "\"") << false << kanji;
        QTest::newRow("ascii") << QByteArray("60,30,0,0\r\n") << false << QString();
        QTest::newRow("utf-8") << QByteArray("1,\"" + name + "\"") << true << kanji;
        QTest::newRow("utf-8 with mark")
            << QByteArray(mark + "1,\"" + name + "\"") << true << kanji;
        QTest::newRow("mark alone") << QByteArray(mark + "60,30,0,0") << true << QString();
        // Code page 932 kanji and katakana that form well-formed UTF-8 (U+1003 "ဃ" and "A").
        QTest::newRow("kanji and katakana that are UTF-8 too")
            << QByteArray("1,\"\xE1\x80\x83\x41\"") << false << QString::fromUtf16(u"痼ア");
        QTest::newRow("code page 932 with mark")
            << QByteArray(mark + "1,\"" + sjis(kanji) + "\"") << false << kanji;
        QTest::newRow("mark before bytes both encodings read")
            << QByteArray(mark + "1,\"\xE1\x80\x83\x41\"") << true
            << QString::fromUtf16(u"\u1003A");
        QTest::newRow("utf-8 kana") << QByteArray("\"" + QStringLiteral("カタカナ").toUtf8() + "\"")
                                    << true << QStringLiteral("カタカナ");
        // Short kanji runs in UTF-8 are often code page 932 too ("ゴング" as 繧ｴ繝ｳ繧ｰ);
        // without a mark the code page wins.
        QTest::newRow("utf-8 kana the code page reads too")
            << QByteArray("\"" + QStringLiteral("ゴング").toUtf8() + "\"") << false
            << QStringLiteral("繧ｴ繝ｳ繧ｰ");
        QTest::newRow("invalid bytes")
            << QByteArray("1,\"\x81\x7F\xFF\x80\"") << false << bad + QChar(0x7F) + bad + bad;
        QTest::newRow("overlong utf-8")
            << QByteArray("\"\xC0\xAF\"") << false << QStringLiteral("ﾀｯ");
        // Two half-width katakana are also one accented letter in UTF-8: the code page wins.
        QTest::newRow("katakana pair")
            << QByteArray("\"\xC3\xB1\"") << false << QStringLiteral("ﾃｱ");
        QTest::newRow("two-byte utf-8 the code page cannot read")
            << QByteArray("\"\xC2\x80\"") << true << QString(QChar(0x80));
    }
    void encodingIsRecognised() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QFETCH(QString, text);
        QCOMPARE(detectEncoding(bytes) == TextEncoding::Utf8, utf8);
        FieldReader r(bytes);
        QCOMPARE(r.encoding(), detectEncoding(bytes));
        QString first;
        while (const auto f = r.nextField()) {
            if (const auto* s = std::get_if<QString>(&f->value)) {
                first = *s;
                // Only code page bytes are written back as read.
                QCOMPARE(f->raw.has_value(), !utf8);
                break;
            }
        }
        QCOMPARE(first, text);
    }

    void utf8FilesReadAsUtf8() {
        const QByteArray text = "\xEF\xBB\xBF"
                                "3,\"" +
                                QStringLiteral("時間").toUtf8() + "\",\"" +
                                QStringLiteral("時間ですよ.WAV").toUtf8() + "\"\r\n";
        FieldReader r(text);
        QCOMPARE(*r.next(), RecordValue(3.0));
        const auto name = r.nextField();
        QCOMPARE(name->value, RecordValue(QStringLiteral("時間")));
        // UTF-8 bytes are never written back into a code page 932 file.
        QVERIFY(!name->raw);
        QCOMPARE(*r.next(), RecordValue(QStringLiteral("時間ですよ.WAV")));
        QVERIFY(r.atEnd());
    }

    void untouchedFieldsAreWrittenAsRead() {
        // Bytes the code page has no character for, a number written oddly, junk after a quote.
        const QByteArray fields[] = {QByteArray("\"\x81\x7F\xFF\x80\""), QByteArray("3.0"),
                                     QByteArray("\"a\"junk"), QByteArray("\"\xA0\xFD\xFE\""),
                                     QByteArray("abc")};
        QByteArray file;
        for (const QByteArray& f : fields)
            file += f + ",";
        FieldReader r(file);
        RecordWriter w;
        for (const QByteArray& f : fields) {
            const auto field = r.nextField();
            QVERIFY(field);
            QCOMPARE(*field->raw, f);
            w.value(field->value, *field);
        }
        QCOMPARE(w.bytes() + ",", file);

        // A changed value is written from the value; an unchanged one from its bytes.
        FieldReader again(file);
        const auto first = again.nextField();
        RecordWriter changed;
        changed.value(RecordValue(QStringLiteral("new")), *first).value(first->value, *first);
        QCOMPARE(changed.bytes(), QByteArray("\"new\"," + fields[0]));

        // An edit that leaves the unreadable bytes in place cannot be written, and the message
        // says which bytes they were.
        QString edited = std::get<QString>(first->value);
        edited.prepend(u'x');
        RecordWriter refused;
        refused.value(RecordValue(edited), *first);
        QVERIFY(!refused.ok());
        QVERIFY2(refused.error().endsWith(
                     QStringLiteral("（0x81、0xFF、0x80 はコードページ932の文字ではありません）")),
                 qPrintable(refused.error()));
    }

    // A file written from the fields as read reads back as the same fields.
    void keptBytesReadBackAsKept_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("mark bytes after a blank line") << QByteArray("\r\n\xEF\xBB\xBF"
                                                                     "1,\"\x82\xA0\"");
        QTest::newRow("a second mark") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                                                     "1,\"\x82\xA0\x81\"");
        QTest::newRow("unreadable bytes that are UTF-8")
            << QByteArray("\"\xC2\x80\",\"\x82\xA0\xA0\"");
    }
    void keptBytesReadBackAsKept() {
        QFETCH(QByteArray, file);
        FieldReader r(file);
        QCOMPARE(r.encoding(), TextEncoding::Cp932);
        RecordWriter w;
        QList<RecordValue> values;
        while (const auto field = r.nextField()) {
            QVERIFY(field->raw);
            values << field->value;
            w.value(field->value, field);
        }
        QVERIFY(w.ok());
        FieldReader back(w.bytes());
        QCOMPARE(back.encoding(), TextEncoding::Cp932);
        for (const RecordValue& v : values)
            QCOMPARE(*back.next(), v);
        QVERIFY(back.atEnd());
    }

    void unclosedTextIsNotWrittenBackAsRead() {
        FieldReader r(QByteArray("1,\"never closed"));
        QVERIFY(r.nextField()->raw);
        const auto open = r.nextField();
        QVERIFY(!open->raw);
        QCOMPARE(open->value, RecordValue(QStringLiteral("never closed")));
    }

    void overlongFieldsAreRefusedAndTheRestRead_data() {
        QTest::addColumn<bool>("quoted");
        QTest::newRow("quoted") << true;
        QTest::newRow("bare") << false;
    }
    void overlongFieldsAreRefusedAndTheRestRead() {
        QFETCH(bool, quoted);
        const QByteArray huge(10 * 1024 * 1024, 'x');
        const QByteArray field = quoted ? "\"" + huge + "\"" : huge;
        FieldReader r("1,\"ok\"," + field + "\r\n2,\"next\",\"\"\r\n");
        QCOMPARE(*r.next(), RecordValue(1.0));
        QCOMPARE(*r.next(), RecordValue(QStringLiteral("ok")));
        const auto big = r.nextField();
        QVERIFY(big->tooLong);
        QVERIFY(isUnset(big->value));
        QCOMPARE(big->raw->size(), field.size()); // kept, to be written back untouched
        QCOMPARE(*r.next(), RecordValue(2.0));
        QCOMPARE(*r.next(), RecordValue(QStringLiteral("next")));
        QCOMPARE(*r.next(), RecordValue(QString()));
        QVERIFY(r.atEnd());

        const QByteArray limit(FieldReader::kMaxFieldBytes, 'y');
        FieldReader atLimit("\"" + limit + "\"");
        const auto kept = atLimit.nextField();
        QVERIFY(!kept->tooLong);
        QCOMPARE(valueText(kept->value).size(), limit.size());
    }

    void leadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("padded") << "05" << 5.0;
        QTest::newRow("trailing letters") << "12abc" << 12.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("blank inside") << "1 2" << 12.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("negative fraction") << "-3.5x" << -3.5;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("sign after digits stops") << "3-4" << 3.0;
        QTest::newRow("lone sign") << "-" << 0.0;
    }
    void leadingNumber() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(readLeadingNumber(text), value);
    }
};

QTEST_GUILESS_MAIN(TestRecordFormat)
#include "tst_record_format.moc"
