// SPDX-License-Identifier: MIT
#include "sound/cp932.h"
#include "sound/read_number.h"
#include "sound/record_format.h"

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

    // ASCII text skips the converter; it must read and write exactly as the converter does,
    // alone and beside double-byte characters, so a file reads the same whatever else it holds.
    void asciiReadsAsTheConverterReadsIt_data() {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray every;
        for (int b = 0; b < 0x80; ++b)
            every.append(char(b));
        QTest::newRow("every ASCII byte") << every;
        QTest::newRow("spans file") << QByteArray("60,30,0,0\r\n");
        QTest::newRow("swapped controls alone") << QByteArray("\x1A\x1C\x7F");
        QTest::newRow("one swapped control") << QByteArray("a\x7F");
        QTest::newRow("backslash and tilde") << QByteArray("C:\\WAV\\~1.WAV");
        QTest::newRow("beside kanji") << QByteArray(every + "\x8E\x9E\x8A\xD4");
        QTest::newRow("empty") << QByteArray();
    }
    void asciiReadsAsTheConverterReadsIt() {
        QFETCH(QByteArray, bytes);
        QStringDecoder converter("windows-31j");
        QVERIFY(converter.isValid());
        const QString expected = converter.decode(bytes);
        QCOMPARE(decodeCp932(bytes), expected);
        // And back: the bytes again, as the converter writes them.
        QStringEncoder back("windows-31j");
        QCOMPARE(QByteArray(back.encode(expected)), bytes);
        QCOMPARE(*encodeCp932(expected), bytes);
        for (int b = 0; b < bytes.size(); ++b) {
            const QString one = decodeCp932(bytes.mid(b, 1));
            if (uchar(bytes[b]) < 0x80) QCOMPARE(*encodeCp932(one), bytes.mid(b, 1));
        }
    }

    void encodingIsRecognised_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        const QByteArray name = QStringLiteral("時間ﾍﾞﾙ").toUtf8();
        QTest::newRow("code page 932")
            << QByteArray("1,\"" + sjis(QStringLiteral("時間ﾍﾞﾙ")) + "\"") << false;
        QTest::newRow("ascii") << QByteArray("60,30,0,0\r\n") << false;
        QTest::newRow("utf-8") << QByteArray("1,\"" + name + "\"") << true;
        QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF"
                                                       "1,\"" +
                                                       name + "\"")
                                         << true;
        QTest::newRow("mark alone") << QByteArray("\xEF\xBB\xBF"
                                                  "60,30,0,0")
                                    << true;
        QTest::newRow("invalid bytes") << QByteArray("1,\"\x81\x7F\xFF\x80\"") << false;
        QTest::newRow("overlong utf-8") << QByteArray("\"\xC0\xAF\"") << false;
        // Two half-width katakana are also one accented letter in UTF-8: the code page wins.
        QTest::newRow("katakana pair") << QByteArray("\"\xC3\xB1\"") << false;
        QTest::newRow("two-byte utf-8 the code page cannot read")
            << QByteArray("\"\xC2\x80\"") << true;
    }
    void encodingIsRecognised() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QCOMPARE(detectEncoding(bytes) == TextEncoding::Utf8, utf8);
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
