// SPDX-License-Identifier: MIT
#include "sound/sound_settings_logic.h"

#include <QTest>

using namespace qz;
using namespace Qt::StringLiterals;
using Number = PendingSoundEntry::NumberResult;
using Name = PendingSoundEntry::NameResult;

Q_DECLARE_METATYPE(PendingSoundEntry::NumberResult)

class TstSoundSettingsLogic : public QObject {
    Q_OBJECT
  private slots:
    void roundsHalfToEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("entry");
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("9.5") << 9.5 << 10;
        QTest::newRow("3.5") << 3.5 << 4;
        QTest::newRow("3.49") << 3.49 << 3;
        QTest::newRow("4.51") << 4.51 << 5;
        QTest::newRow("whole") << 7.0 << 7;
    }
    void roundsHalfToEven() {
        QFETCH(double, value);
        QFETCH(int, entry);
        QCOMPARE(roundHalfEven(value), entry);
    }

    void enterNumber_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Number>("result");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("entry");
        QTest::newRow("empty") << "" << Number::Empty << "" << 0;
        QTest::newRow("0") << "0" << Number::OutOfRange << "" << 0;
        QTest::newRow("11") << "11" << Number::OutOfRange << "" << 0;
        QTest::newRow("abc") << "abc" << Number::OutOfRange << "" << 0;
        QTest::newRow("10.4") << "10.4" << Number::OutOfRange << "" << 0;
        QTest::newRow("negative") << "-3" << Number::OutOfRange << "" << 0;
        QTest::newRow("just below 1") << "0.99" << Number::OutOfRange << "" << 0;
        QTest::newRow("3abc") << "3abc" << Number::Accepted << "3" << 3;
        QTest::newRow("9.5") << "9.5" << Number::Accepted << "9.5" << 10;
        QTest::newRow("2.5") << "2.5" << Number::Accepted << "2.5" << 2;
        QTest::newRow("leading zero") << "05" << Number::Accepted << "5" << 5;
        QTest::newRow("blank inside") << "1 0" << Number::Accepted << "10" << 10;
        QTest::newRow("1") << "1" << Number::Accepted << "1" << 1;
    }
    void enterNumber() {
        QFETCH(QString, typed);
        QFETCH(Number, result);
        QFETCH(QString, shown);
        QFETCH(int, entry);
        PendingSoundEntry p;
        QCOMPARE(p.enterNumber(typed), result);
        QCOMPARE(p.hasNumber(), result == Number::Accepted);
        QCOMPARE(p.entryNumber(), entry);
        if (result == Number::Accepted) QCOMPARE(p.numberText(), shown);

        // A refused or empty entry leaves an earlier number alone.
        PendingSoundEntry q;
        QCOMPARE(q.enterNumber(QStringLiteral("4")), Number::Accepted);
        q.enterNumber(typed);
        QCOMPARE(q.entryNumber(), result == Number::Accepted ? entry : 4);
    }

    void enterName() {
        PendingSoundEntry p;
        QCOMPARE(p.enterName(QStringLiteral("Chime")), Name::Accepted);
        QCOMPARE(p.enterName(QString()), Name::Empty);
        QCOMPARE(p.editName(), QStringLiteral("Chime"));
        QCOMPARE(p.enterName(QStringLiteral("ﾍﾞﾙ, 鐘")), Name::Accepted);
        QCOMPARE(p.editName(), QStringLiteral("ﾍﾞﾙ, 鐘"));

        QCOMPARE(p.enterName(QStringLiteral("say \"hi\"")), Name::Refused);
        QVERIFY(p.nameProblem().contains(u'"'));
        QCOMPARE(p.editName(), QStringLiteral("ﾍﾞﾙ, 鐘"));

        // Hangul and emoji are outside code page 932; the message names them.
        QCOMPARE(p.enterName(QStringLiteral("벨 🔔 bell")), Name::Refused);
        QVERIFY(p.nameProblem().contains(QStringLiteral("벨")));
        QVERIFY(p.nameProblem().contains(QStringLiteral("🔔")));
        QVERIFY(!p.nameProblem().contains(u'b'));
        QCOMPARE(p.editName(), QStringLiteral("ﾍﾞﾙ, 鐘"));
    }

    void saveProblems() {
        PendingSoundEntry p;
        QCOMPARE(p.saveProblem(), ongen_text::kEnterNumber);
        p.enterNumber(QStringLiteral("2"));
        QCOMPARE(p.saveProblem(), QString());
        p.chooseWave(QStringLiteral("/sounds/a\"b.wav"));
        QVERIFY(!p.saveProblem().isEmpty());
        p.chooseWave(QStringLiteral("/sounds/벨.wav"));
        QVERIFY(p.saveProblem().contains(QStringLiteral("벨")));
        SoundTable t = defaultSoundTable();
        const SoundTable before = t;
        QVERIFY(!p.storeInto(t));
        QCOMPARE(t[1].name(), before[1].name());
        QCOMPARE(t[1].path(), before[1].path());
        p.chooseNoSound();
        QCOMPARE(p.saveProblem(), QString());
    }

    void storesNameAndPathKeepingTheNumber() {
        SoundTable t = defaultSoundTable();
        t[9].sourceNo = 42.0; // whatever the file held stays
        PendingSoundEntry p;
        p.enterNumber(QStringLiteral("9.5"));
        p.enterName(QStringLiteral("Chime"));
        p.chooseWave(QStringLiteral("D:\\snd\\chime.wav"));
        const auto before = p.storeInto(t);
        QVERIFY(before);
        QCOMPARE(before->name(), QStringLiteral("BP"));
        QCOMPARE(valueNumber(t[9].sourceNo), 42.0);
        QCOMPARE(t[9].name(), QStringLiteral("Chime"));
        QCOMPARE(t[9].path(), QStringLiteral("D:\\snd\\chime.wav"));
        QCOMPARE(t[8].name(), QStringLiteral("BP"));

        // Reset, then only a number: the entry gets an empty name and beeps.
        p.reset();
        QVERIFY(!p.storeInto(t));
        p.enterNumber(QStringLiteral("10"));
        p.storeInto(t);
        QVERIFY(std::holds_alternative<QString>(t[9].sourceName));
        QCOMPARE(t[9].name(), QString());
        QVERIFY(t[9].beepOnly());
    }

    void gridTexts() {
        const SoundTable t = defaultSoundTable();
        QCOMPARE(soundRowLabel(1), QStringLiteral("1 "));
        QCOMPARE(soundRowLabel(10), QStringLiteral("10 "));
        QCOMPARE(soundRowCells(t[2]),
                 QStringList({u"3"_s, QStringLiteral("時間"), QStringLiteral("時間ですよ.WAV")}));
        QCOMPARE(soundRowCells(t[9]), QStringList({u"10"_s, u"BP"_s, u""_s}));
        SoundSource s;
        QCOMPARE(soundRowCells(s), QStringList({u""_s, u""_s, u""_s}));
        s.wavePath = QStringLiteral("bell.wav");
        QCOMPARE(soundRowCells(s).at(2), QStringLiteral("bell.wav"));
    }
};

QTEST_GUILESS_MAIN(TstSoundSettingsLogic)
#include "tst_sound_settings_logic.moc"
