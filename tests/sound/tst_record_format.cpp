#include "sound/cp932.h"
#include "sound/read_number.h"
#include "sound/record_format.h"

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
