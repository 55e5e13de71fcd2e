#include "app/app_state.h"
#include "sound/cp932.h"
#include "sound/file_io.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qz;

class TestSettingsFiles : public QObject {
    Q_OBJECT

    static QByteArray readBytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeBytes(const QString& path, const QByteArray& b) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(b);
    }

private slots:
    void missingSpansFileGetsTheDefaults() {
        QTemporaryDir dir;
        AppState s(dir.path());
        s.alarmRingSeconds = 5;
        QVERIFY(s.loadSpans());
        QCOMPARE(readBytes(s.programFile(kSpansFile)), QByteArray("60,30,0,0\r\n"));
        QCOMPARE(s.spans(), (Spans{60, 30, 0, 0}));
    }

    void spansAreUsedAsRead() {
        QTemporaryDir dir;
        AppState s(dir.path());
        writeBytes(s.programFile(kSpansFile), "45,7,3,4\r\n");
        QVERIFY(s.loadSpans());
        QCOMPARE(s.spans(), (Spans{45, 7, 3, 4}));
    }

    void malformedSpansAreTreatedAsMissing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("three fields") << QByteArray("60,30,0\r\n");
        QTest::newRow("text field") << QByteArray("60,\"x\",0,0\r\n");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("garbage") << QByteArray("\x81\x40\xff");
    }
    void malformedSpansAreTreatedAsMissing() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        AppState s(dir.path());
        s.alarmRingSeconds = 99;
        writeBytes(s.programFile(kSpansFile), content);
        QVERIFY(s.loadSpans());
        QCOMPARE(s.spans(), (Spans{60, 30, 0, 0}));
        QCOMPARE(readBytes(s.programFile(kSpansFile)), QByteArray("60,30,0,0\r\n"));
    }

    void eachWindowsChoiceSurvivesTheOthersWrite() {
        QTemporaryDir dir;
        AppState s(dir.path());
        QVERIFY(s.loadSpans());
        s.countdownRingSeconds = 60;
        QVERIFY(s.saveSpans());
        QCOMPARE(readBytes(s.programFile(kSpansFile)), QByteArray("60,60,0,0\r\n"));
        s.alarmRingSeconds = 10;
        QVERIFY(s.saveSpans());
        QCOMPARE(readBytes(s.programFile(kSpansFile)), QByteArray("10,60,0,0\r\n"));
    }

    void readOnlyFolderKeepsValuesUsable() {
        if (QDir::home().path() == QStringLiteral("/root") || qgetenv("USER") == "root")
            QSKIP("root writes into read-only folders");
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        AppState s(dir.path());
        QVERIFY(!s.loadSpans());
        QCOMPARE(s.spans(), (Spans{60, 30, 0, 0}));
        QString error;
        QVERIFY(!s.saveSpans(&error));
        QVERIFY(!error.isEmpty());
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void failedWriteLeavesTheOldFileWhole() {
        // The target is a folder's name: the rename fails and nothing is half-written.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("X.DAT"));
        QVERIFY(writeFileAtomically(path, "old\r\n"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        QString error;
        QVERIFY(!writeFileAtomically(dir.filePath(QStringLiteral("sub")), "new", &error));
        QCOMPARE(readBytes(path), QByteArray("old\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("X.DAT")});
    }

    void missingSoundFileGetsTheDefaultList() {
        QTemporaryDir dir;
        AppState s(dir.path());
        QVERIFY(s.loadSoundTable());
        const QByteArray bytes = readBytes(s.programFile(kSoundsFile));
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.size(), 11); // ten records and what follows the last line end
        const QString folder = QDir::toNativeSeparators(dir.path());
        const QByteArray first =
            "1,\"RING1\",\"" + *encodeCp932(joinPath(folder, QStringLiteral("RING1.WAV"))) + "\"\r";
        QCOMPARE(lines[0], first);
        QCOMPARE(lines[3], "4,\"" + *encodeCp932(QStringLiteral("ﾍﾞﾙ")) + "\",\"" +
                               *encodeCp932(joinPath(folder, QStringLiteral("ﾍﾞﾙ.WAV"))) + "\"\r");
        QCOMPARE(lines[8], QByteArray("9,\"BP\",\"\"\r"));
        QCOMPARE(lines[9], QByteArray("10,\"BP\",\"\"\r"));
        QCOMPARE(s.soundTable[2].name(), QStringLiteral("時間"));
        QCOMPARE(filePart(s.soundTable[2].path()), QStringLiteral("時間ですよ.WAV"));
        QVERIFY(s.soundTable[9].beepOnly());
        QVERIFY(!s.soundTable[0].beepOnly());
    }

    void soundTableRoundTrip() {
        QTemporaryDir dir;
        AppState s(dir.path());
        QVERIFY(s.loadSoundTable());
        s.soundTable[1].sourceName = QString();  // saved empty
        s.soundTable[1].wavePath = QString();
        s.soundTable[4].sourceName = Unset{};    // never set
        s.soundTable[5].sourceName = QStringLiteral("鐘, 大");
        QVERIFY(s.saveSoundTable());
        const QByteArray bytes = readBytes(s.programFile(kSoundsFile));
        QVERIFY(bytes.contains("\r\n2,\"\",\"\"\r\n"));
        QVERIFY(bytes.contains("\r\n5,,\""));
        AppState back(dir.path());
        QVERIFY(back.loadSoundTable());
        QCOMPARE(back.soundTable[1].sourceName, RecordValue(QString()));
        QVERIFY(isUnset(back.soundTable[4].sourceName));
        QCOMPARE(back.soundTable[5].name(), QStringLiteral("鐘, 大"));
    }

    void allFieldsOnOneLineReadAlike() {
        QTemporaryDir dir;
        AppState s(dir.path());
        QVERIFY(s.loadSoundTable());
        const SoundTable before = s.soundTable;
        QByteArray bytes = readBytes(s.programFile(kSoundsFile));
        bytes.replace("\r\n", ",");
        writeBytes(s.programFile(kSoundsFile), bytes);
        QVERIFY(s.loadSoundTable());
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(s.soundTable[i].name(), before[i].name());
            QCOMPARE(s.soundTable[i].path(), before[i].path());
        }
    }

    void shortSoundFileKeepsWhatWasRead() {
        QTemporaryDir dir;
        AppState s(dir.path());
        writeBytes(s.programFile(kSoundsFile), "1,\"A\",\"/a.wav\"\r\n2,\"B\"\r\n");
        QVERIFY(!s.loadSoundTable());
        QCOMPARE(s.soundTable[0].path(), QStringLiteral("/a.wav"));
        QCOMPARE(s.soundTable[1].name(), QStringLiteral("B"));
        QVERIFY(s.soundTable[1].beepOnly());
        QVERIFY(isUnset(s.soundTable[2].sourceName));
        // The file is not rewritten.
        QCOMPARE(readBytes(s.programFile(kSoundsFile)), QByteArray("1,\"A\",\"/a.wav\"\r\n2,\"B\"\r\n"));
    }

    void unsavableNameLeavesTheFileAsItWas() {
        QTemporaryDir dir;
        AppState s(dir.path());
        QVERIFY(s.loadSoundTable());
        const QByteArray before = readBytes(s.programFile(kSoundsFile));
        s.soundTable[0].sourceName = QString::fromUtf8("\xF0\x9F\x94\x94");
        QString error;
        QVERIFY(!s.saveSoundTable(&error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readBytes(s.programFile(kSoundsFile)), before);
    }

    void pathsSplitAtEitherSeparator_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("part");
        QTest::newRow("backslash") << "C:\\QZ\\ﾍﾞﾙ.WAV" << "ﾍﾞﾙ.WAV";
        QTest::newRow("slash") << "/opt/qz/RING1.WAV" << "RING1.WAV";
        QTest::newRow("mixed") << "C:\\a/b\\c.wav" << "c.wav";
        QTest::newRow("bare") << "RING.WAV" << "RING.WAV";
        QTest::newRow("empty") << "" << "";
    }
    void pathsSplitAtEitherSeparator() {
        QFETCH(QString, path);
        QFETCH(QString, part);
        QCOMPARE(filePart(path), part);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "tst_settings_files.moc"
