// SPDX-License-Identifier: MIT
#include "app/app_state.h"
#include "files/cp932.h"
#include "files/file_io.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace qz;
using namespace Qt::StringLiterals;

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

    static bool isRoot() {
#ifdef Q_OS_UNIX
        return ::geteuid() == 0;
#else
        return false;
#endif
    }
    // Whether taking a folder's write permission stops files being made in it: on Windows the
    // read-only mark of a folder means nothing to the file system.
    static bool folderWriteBitCounts() {
#ifdef Q_OS_WIN
        return false;
#else
        return true;
#endif
    }
    static QStringList filesIn(const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden);
    }
    // The defaults, with entry 3's name, entry 5's path and entry 7's number as another
    // program left them: bytes the code page has no character for, and "7.0".
    static QByteArray oddSoundFile() {
        QByteArray b;
        for (int k = 1; k <= 10; ++k) {
            if (k == 3)
                b += "3,\"\x81\x7F\xFF\x80\",\"" + *encodeCp932(QStringLiteral("時間ですよ.WAV")) +
                     "\"\r\n";
            else if (k == 5)
                b += "5,\"" + *encodeCp932(QStringLiteral("ｻｲﾚﾝ")) +
                     "\",\"C:\\\xA0\xFD\xFE.WAV\"\r\n";
            else if (k == 7)
                b += "7.0,\"x\"junk,\"\"\r\n";
            else
                b += QByteArray::number(k) + ",\"N" + QByteArray::number(k) + "\",\"\"\r\n";
        }
        return b;
    }
    struct FaultGuard {
        explicit FaultGuard(InjectedWriteFault f) { injectWriteFault(f); }
        ~FaultGuard() { injectWriteFault(std::nullopt); }
    };

  private slots:
    // What is not a plain file of a sensible size is never read: a pipe would hang the program.
    void onlyPlainFilesAreRead_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("status");
        QTest::newRow("file") << "file" << int(ReadStatus::Ok);
        QTest::newRow("missing") << "missing" << int(ReadStatus::Missing);
        QTest::newRow("folder") << "folder" << int(ReadStatus::NotRegularFile);
        QTest::newRow("too large") << "large" << int(ReadStatus::TooLarge);
#ifdef Q_OS_UNIX
        QTest::newRow("pipe") << "pipe" << int(ReadStatus::NotRegularFile);
#endif
    }
    void onlyPlainFilesAreRead() {
        QFETCH(QString, kind);
        QFETCH(int, status);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SHEET.TIM"));
        const QByteArray content("1,2\r\n");
        if (kind == QLatin1String("file") || kind == QLatin1String("large")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(kind == QLatin1String("large") ? QByteArray(65, 'x') : content);
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("SHEET.TIM")));
        }
#ifdef Q_OS_UNIX
        if (kind == QLatin1String("pipe")) QCOMPARE(mkfifo(QFile::encodeName(path), 0600), 0);
#endif
        const ReadResult r = readWholeFile(path, 64);
        QCOMPARE(int(r.status), status);
        QCOMPARE(r.bytes, status == int(ReadStatus::Ok) ? content : QByteArray());
    }

    void missingSpansFileGetsTheDefaults() {
        QTemporaryDir dir;
        AppState s(dir.path());
        s.setAlarmRingSeconds(5);
        QVERIFY(s.loadSpans());
        QCOMPARE(readBytes(s.programFile(QLatin1String(kSpansFile))), QByteArray("60,30,0,0\r\n"));
        QCOMPARE(s.spans(), (Spans{60, 30, 0, 0}));
    }

    void spansAreUsedAsRead_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Spans>("spans");
        QTest::newRow("no menu offers them") << QByteArray("45,7,3,4\r\n") << Spans{45, 7, 3, 4};
        QTest::newRow("one second each") << QByteArray("1,1,0,0\r\n") << Spans{1, 1, 0, 0};
        QTest::newRow("spare values below zero")
            << QByteArray("60,30,-5,-30\r\n") << Spans{60, 30, -5, -30};
    }
    void spansAreUsedAsRead() {
        QFETCH(QByteArray, content);
        QFETCH(Spans, spans);
        QTemporaryDir dir;
        AppState s(dir.path());
        writeBytes(s.programFile(QLatin1String(kSpansFile)), content);
        QVERIFY(s.loadSpans());
        QCOMPARE(s.spans(), spans);
        QCOMPARE(readBytes(s.programFile(QLatin1String(kSpansFile))), content);
    }

    void malformedSpansAreTreatedAsMissing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("three fields") << QByteArray("60,30,0\r\n");
        QTest::newRow("text field") << QByteArray("60,\"x\",0,0\r\n");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("garbage") << QByteArray("\x81\x40\xff");
        // Rings that cannot sound: the alarm would stop as it starts.
        QTest::newRow("negative durations") << QByteArray("-5,-30,0,0\r\n");
        QTest::newRow("alarm rings no time") << QByteArray("0,30,0,0\r\n");
        QTest::newRow("countdown rings below zero") << QByteArray("60,-1,0,0\r\n");
        QTest::newRow("half a second") << QByteArray("0.5,30,0,0\r\n");
    }
    void malformedSpansAreTreatedAsMissing() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        AppState s(dir.path());
        s.setAlarmRingSeconds(99);
        writeBytes(s.programFile(QLatin1String(kSpansFile)), content);
        QVERIFY(s.loadSpans());
        QCOMPARE(s.spans(), (Spans{60, 30, 0, 0}));
        QCOMPARE(readBytes(s.programFile(QLatin1String(kSpansFile))), QByteArray("60,30,0,0\r\n"));
    }

    void eachWindowsChoiceSurvivesTheOthersWrite() {
        QTemporaryDir dir;
        AppState s(dir.path());
        QVERIFY(s.loadSpans());
        s.setCountdownRingSeconds(60);
        QVERIFY(s.saveSpans());
        QCOMPARE(readBytes(s.programFile(QLatin1String(kSpansFile))), QByteArray("60,60,0,0\r\n"));
        s.setAlarmRingSeconds(10);
        QVERIFY(s.saveSpans());
        QCOMPARE(readBytes(s.programFile(QLatin1String(kSpansFile))), QByteArray("10,60,0,0\r\n"));
    }

    void readOnlyFolderKeepsValuesUsable() {
        if (isRoot()) QSKIP("root writes into read-only folders");
        if (!folderWriteBitCounts()) QSKIP("a folder's read-only mark does not stop writes here");
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
        const QByteArray bytes = readBytes(s.programFile(QLatin1String(kSoundsFile)));
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.size(), 11); // ten records and what follows the last line end
        // The waves that come with the program are stored as full paths in the program folder.
        const QString folder = QDir::toNativeSeparators(dir.path());
        QCOMPARE(lines[0], "1,\"RING1\",\"" +
                               *encodeCp932(joinPath(folder, QStringLiteral("RING1.WAV"))) +
                               "\"\r");
        QCOMPARE(lines[3], "4,\"" + *encodeCp932(QStringLiteral("ﾍﾞﾙ")) + "\",\"" +
                               *encodeCp932(joinPath(folder, QStringLiteral("ﾍﾞﾙ.WAV"))) + "\"\r");
        QCOMPARE(s.wavePath(1), joinPath(folder, QStringLiteral("RING1.WAV")));
        QCOMPARE(s.wavePath(4), joinPath(folder, QStringLiteral("ﾍﾞﾙ.WAV")));
        QCOMPARE(s.wavePath(9), QString());
        QCOMPARE(lines[8], QByteArray("9,\"BP\",\"\"\r"));
        QCOMPARE(lines[9], QByteArray("10,\"BP\",\"\"\r"));
        QCOMPARE(s.soundTable()[2].name(), QStringLiteral("時間"));
        QCOMPARE(filePart(s.soundTable()[2].path()), QStringLiteral("時間ですよ.WAV"));
        QVERIFY(s.soundTable()[9].beepOnly());
        QVERIFY(!s.soundTable()[0].beepOnly());
    }

    void soundTableRoundTrip() {
        QTemporaryDir dir;
        AppState s(dir.path());
        QVERIFY(s.loadSoundTable());
        SoundTable t = s.soundTable();
        t[1].sourceName = QString(); // saved empty
        t[1].wavePath = QString();
        t[4].sourceName = Unset{}; // never set
        t[5].sourceName = QStringLiteral("鐘, 大");
        s.setSoundTable(t);
        QVERIFY(s.saveSoundTable());
        const QByteArray bytes = readBytes(s.programFile(QLatin1String(kSoundsFile)));
        QVERIFY(bytes.contains("\r\n2,\"\",\"\"\r\n"));
        QVERIFY(bytes.contains("\r\n5,,\""));
        AppState back(dir.path());
        QVERIFY(back.loadSoundTable());
        QCOMPARE(back.soundTable()[1].sourceName, RecordValue(QString()));
        QVERIFY(isUnset(back.soundTable()[4].sourceName));
        QCOMPARE(back.soundTable()[5].name(), QStringLiteral("鐘, 大"));
    }

    void allFieldsOnOneLineReadAlike() {
        QTemporaryDir dir;
        AppState s(dir.path());
        QVERIFY(s.loadSoundTable());
        const SoundTable before = s.soundTable();
        QByteArray bytes = readBytes(s.programFile(QLatin1String(kSoundsFile)));
        bytes.replace("\r\n", ",");
        writeBytes(s.programFile(QLatin1String(kSoundsFile)), bytes);
        QVERIFY(s.loadSoundTable());
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(s.soundTable()[i].name(), before[i].name());
            QCOMPARE(s.soundTable()[i].path(), before[i].path());
        }
    }

    void shortSoundFileKeepsWhatWasRead() {
        QTemporaryDir dir;
        AppState s(dir.path());
        writeBytes(s.programFile(QLatin1String(kSoundsFile)), "1,\"A\",\"/a.wav\"\r\n2,\"B\"\r\n");
        QVERIFY(!s.loadSoundTable());
        QCOMPARE(s.soundTable()[0].path(), QStringLiteral("/a.wav"));
        QCOMPARE(s.soundTable()[1].name(), QStringLiteral("B"));
        QVERIFY(s.soundTable()[1].beepOnly());
        QVERIFY(isUnset(s.soundTable()[2].sourceName));
        // The file is not rewritten.
        QCOMPARE(readBytes(s.programFile(QLatin1String(kSoundsFile))),
                 QByteArray("1,\"A\",\"/a.wav\"\r\n2,\"B\"\r\n"));
    }

    // The sound table's reader stops where the other readers would refuse, in their words.
    void soundTableStopsWhereTheBytesAreNoTable_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("problem");
        const QString unreadable =
            u"シフトJIS（コードページ932）の文字として読めない部分があります"_s;
        QTest::newRow("all ten, odd bytes in texts kept") << oddSoundFile() << 10 << QString();
        QTest::newRow("empty") << QByteArray() << 0 << u"ファイルが空です"_s;
        QTest::newRow("cut short")
            << QByteArray("1,\"A\",\"/a.wav\"\r\n2,\"B\"\r\n") << 1
            << u"ファイルが途中で終わっています（音源 2 の記録が足りません）"_s;
        QTest::newRow("binary file") << QByteArray("\x89\xFF\x00\x01,\x02\r\n", 8) << 0
                                     << unreadable + u"（音源 1 の記録）"_s;
        QTest::newRow("lead byte cut off in a number")
            << QByteArray("1,\"A\",\"\"\r\n2\x82,\"B\",\"\"\r\n") << 1
            << unreadable + u"（音源 2 の記録）"_s;
    }
    void soundTableStopsWhereTheBytesAreNoTable() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, entries);
        QFETCH(QString, problem);
        SoundTable table;
        const SoundTableRead read = parseSoundTable(bytes, table);
        QCOMPARE(read.entries, entries);
        QCOMPARE(read.problem, problem);
        // Past the entry it stopped in, nothing was taken from the bytes.
        for (int k = entries + 1; k < 10; ++k)
            QVERIFY(isUnset(table[size_t(k)].sourceName));
    }

    void unsavableNameLeavesTheFileAsItWas() {
        QTemporaryDir dir;
        AppState s(dir.path());
        QVERIFY(s.loadSoundTable());
        const QByteArray before = readBytes(s.programFile(QLatin1String(kSoundsFile)));
        {
            SoundTable t = s.soundTable();
            t[0].sourceName = QString::fromUtf8("\xF0\x9F\x94\x94");
            s.setSoundTable(t);
        }
        QString error;
        QVERIFY(!s.saveSoundTable(&error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readBytes(s.programFile(QLatin1String(kSoundsFile))), before);
    }

    void fullDiskLeavesTheOldFileWhole_data() {
        QTest::addColumn<bool>("sounds");
        QTest::addColumn<qint64>("afterBytes");
        QTest::newRow("ring durations, nothing written") << false << qint64(0);
        QTest::newRow("ring durations, half written") << false << qint64(4);
        QTest::newRow("sound sources, nothing written") << true << qint64(0);
        QTest::newRow("sound sources, half written") << true << qint64(100);
        QTest::newRow("sound sources, all but the flush") << true << qint64(1 << 20);
    }
    void fullDiskLeavesTheOldFileWhole() {
        QFETCH(bool, sounds);
        QFETCH(qint64, afterBytes);
        QTemporaryDir dir;
        AppState s(dir.path());
        QVERIFY(s.loadSpans());
        QVERIFY(s.loadSoundTable());
        const QString path = s.programFile(QLatin1String(sounds ? kSoundsFile : kSpansFile));
        const QByteArray before = readBytes(path);
        const QStringList files = filesIn(dir.path());
        QString error;
        {
            FaultGuard fault({afterBytes, ENOSPC});
            if (sounds) {
                {
                    SoundTable t = s.soundTable();
                    t[8].sourceName = QStringLiteral("Chime");
                    s.setSoundTable(t);
                }
                QVERIFY(!s.saveSoundTable(&error));
            } else {
                s.setAlarmRingSeconds(10);
                QVERIFY(!s.saveSpans(&error));
            }
        }
        QCOMPARE(error, QStringLiteral("ディスクの空き容量が足りません。"));
        QCOMPARE(readBytes(path), before);
        QCOMPARE(filesIn(dir.path()), files); // no temporary file left behind
        // With room again the same save goes through.
        QVERIFY(sounds ? s.saveSoundTable() : s.saveSpans());
        QVERIFY(readBytes(path) != before);
    }

    void realWriteFailureLeavesTheOldFileWhole() {
#ifdef Q_OS_UNIX
        // The system refuses to let the file grow past 16 bytes, the way a full disk refuses
        // any growth: the failure comes from the kernel, through the library's own write.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ONGENDATA.DAT"));
        const QByteArray old = "1,\"old\",\"\"\r\n";
        QVERIFY(writeFileAtomically(path, old));
        rlimit saved{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = saved;
        tiny.rlim_cur = 16;
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &tiny) == 0);
        QString error;
        const bool written = writeFileAtomically(path, QByteArray(4000, 'x'), &error);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!written);
        QCOMPARE(readBytes(path), old);
        QVERIFY2(error.startsWith(QStringLiteral("ファイルを書き込めませんでした：")),
                 qPrintable(error));
        QVERIFY(error.size() > QStringLiteral("ファイルを書き込めませんでした：").size());
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("ONGENDATA.DAT")});
#else
        QSKIP("needs a file size limit");
#endif
    }

    void realFullDiskLeavesTheOldFileWhole() {
#ifdef Q_OS_LINUX
        // A 64 KiB file system filled to the brim; needs the right to mount one (root).
        QTemporaryDir dir;
        const QByteArray mountPoint = QFile::encodeName(dir.path());
        if (!isRoot() || ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("no small file system can be mounted here");
        struct Unmount {
            QByteArray at;
            ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
        } unmount{mountPoint};
        AppState s(dir.path());
        QVERIFY(s.loadSpans());
        QVERIFY(s.loadSoundTable());
        const QString path = s.programFile(QLatin1String(kSoundsFile));
        const QByteArray before = readBytes(path);
        {
            QFile filler(dir.filePath(QStringLiteral("filler")));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size()) {
            }
        }
        {
            SoundTable t = s.soundTable();
            t[8].sourceName = QString(2000, QChar(u'鐘'));
            s.setSoundTable(t);
        }
        QString error;
        QVERIFY(!s.saveSoundTable(&error));
        QCOMPARE(error, fileFaultText(FileFault::DiskFull));
        QCOMPARE(readBytes(path), before);
        QStringList expected = {QStringLiteral("filler"), QLatin1String(kSoundsFile),
                                QLatin1String(kSpansFile)};
        expected.sort();
        QStringList left = filesIn(dir.path());
        left.sort();
        QCOMPARE(left, expected); // no temporary file left behind
#else
        QSKIP("Linux only");
#endif
    }

    void reasonsAreSaidInJapanese_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("text");
        QTest::newRow("not found") << ENOENT << "保存先のフォルダが見つかりません。";
        QTest::newRow("no permission") << EACCES << "ファイルに書き込む権限がありません。";
        QTest::newRow("read-only file system") << EROFS << "ファイルに書き込む権限がありません。";
        QTest::newRow("disk full") << ENOSPC << "ディスクの空き容量が足りません。";
        QTest::newRow("is a folder")
            << EISDIR << "同じ名前のフォルダがあるため、ファイルを書き込めません。";
        QTest::newRow("other") << EIO
                               << u"ファイルを書き込めませんでした："_s +
                                      QString::fromLocal8Bit(strerror(EIO));
    }
    void reasonsAreSaidInJapanese() {
        QFETCH(int, error);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("TONESPAN.DAT"));
        QVERIFY(writeFileAtomically(path, "60,30,0,0\r\n"));
        FaultGuard fault({3, error});
        QString said;
        QVERIFY(!writeFileAtomically(path, "10,30,0,0\r\n", &said));
        QCOMPARE(said, text);
        QCOMPARE(readBytes(path), QByteArray("60,30,0,0\r\n"));
    }

    void reasonsFoundBeforeWriting() {
        QTemporaryDir dir;
        QString error;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("TONESPAN.DAT")));
        QVERIFY(!writeFileAtomically(dir.filePath(QStringLiteral("TONESPAN.DAT")), "x", &error));
        QCOMPARE(error, fileFaultText(FileFault::IsFolder));
        QVERIFY(
            !writeFileAtomically(dir.filePath(QStringLiteral("gone/TONESPAN.DAT")), "x", &error));
        QCOMPARE(error, fileFaultText(FileFault::NotFound));
        // Root writes into read-only folders; Windows ignores a folder's read-only mark.
        if (isRoot() || !folderWriteBitCounts()) return;
        const QString locked = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(!writeFileAtomically(locked + QStringLiteral("/TONESPAN.DAT"), "x", &error));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(error, fileFaultText(FileFault::NoPermission));
    }

    void readOnlyFolderWithWritableFileIsWrittenInPlace() {
        if (isRoot()) QSKIP("root writes into read-only folders");
        QTemporaryDir dir;
        AppState s(dir.path());
        QVERIFY(s.loadSpans());
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        s.setAlarmRingSeconds(10);
        QString error;
        const bool saved = s.saveSpans(&error);
        QByteArray afterFault;
        {
            // A write in place that fails half-way puts the file back as it was.
            FaultGuard fault({3, ENOSPC});
            s.setAlarmRingSeconds(20);
            QVERIFY(!s.saveSpans());
            afterFault = readBytes(s.programFile(QLatin1String(kSpansFile)));
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(saved, qPrintable(error));
        QCOMPARE(readBytes(s.programFile(QLatin1String(kSpansFile))), QByteArray("10,30,0,0\r\n"));
        QCOMPARE(afterFault, QByteArray("10,30,0,0\r\n"));
    }

    // A write in place killed at any point: the next start finds the file as it was or as it was
    // to become, never cut.
    void killedWriteInPlaceIsUndoneAtStart_data() {
        QTest::addColumn<qint64>("afterBytes"); // new bytes on disk when the program died
        QTest::addColumn<int>("cutTo");         // the file's length after the kill; -1 as written
        QTest::addColumn<bool>("becameNew");
        QTest::newRow("before the first byte") << qint64(0) << -1 << false;
        QTest::newRow("half-way") << qint64(7) << -1 << false;
        QTest::newRow("all bytes, old tail not cut yet") << qint64(12) << -1 << false;
        QTest::newRow("left empty") << qint64(0) << 0 << false;
        QTest::newRow("cut short of the new end") << qint64(12) << 10 << false;
        QTest::newRow("done, journal not yet removed") << qint64(12) << 12 << true;
    }
    void killedWriteInPlaceIsUndoneAtStart() {
        QFETCH(qint64, afterBytes);
        QFETCH(int, cutTo);
        QFETCH(bool, becameNew);
        QTemporaryDir dir;
        const QString journals = dir.filePath(QStringLiteral("config/journal"));
        setInPlaceJournalFolder(journals);
        const QString path = dir.filePath(QStringLiteral("ONGENDATA.DAT"));
        const QByteArray old = "1,\"old\",\"/a/very/long/path.wav\"\r\n";
        const QByteArray fresh = "1,\"new\",\"\"\r\n";
        QCOMPARE(fresh.size(), 12);
        writeBytes(path, old);
        {
            FaultGuard kill({afterBytes, 0, true});
            QVERIFY(!writeFileInPlace(path, fresh));
        }
        if (cutTo >= 0) QVERIFY(QFile::resize(path, cutTo));
        QCOMPARE(filesIn(journals).size(), 1);
        const QStringList restored = recoverInterruptedWrites();
        setInPlaceJournalFolder({});
        QCOMPARE(readBytes(path), becameNew ? fresh : old);
        QCOMPARE(restored.isEmpty(), becameNew || (afterBytes == 0 && cutTo < 0));
        QVERIFY(filesIn(journals).isEmpty());
        // Only the folder's own kind of leftovers go: "<name>.part" of a journal being written.
        writeBytes(dir.filePath(QStringLiteral("config/journal/save-abc123.part")), "x");
        writeBytes(dir.filePath(QStringLiteral("config/journal/notes.txt")), "x");
        // A journal of a copy of the program still running (process 1 stands for it) is its own.
        writeBytes(dir.filePath(QStringLiteral("config/journal/save-1-abc123.journal")), "x");
        setInPlaceJournalFolder(journals);
        QVERIFY(recoverInterruptedWrites().isEmpty());
        setInPlaceJournalFolder({});
#ifdef Q_OS_UNIX
        QCOMPARE(filesIn(journals), (QStringList{u"notes.txt"_s, u"save-1-abc123.journal"_s}));
#else
        QCOMPARE(filesIn(journals), QStringList{u"notes.txt"_s});
#endif
    }

    void writeInPlaceKeepsNoJournalOnceDone() {
        QTemporaryDir dir;
        const QString journals = dir.filePath(QStringLiteral("journal"));
        const QString path = dir.filePath(QStringLiteral("TONESPAN.DAT"));
        writeBytes(path, "60,30,0,0\r\n");
        setInPlaceJournalFolder(journals);
        QVERIFY(writeFileInPlace(path, "5,30,0,0\r\n"));
        QCOMPARE(readBytes(path), QByteArray("5,30,0,0\r\n")); // the old tail cut
        QString error;
        {
            FaultGuard fault({2, ENOSPC});
            QVERIFY(!writeFileInPlace(path, "120,30,0,0\r\n", &error));
        }
        QCOMPARE(error, fileFaultText(FileFault::DiskFull));
        QCOMPARE(readBytes(path), QByteArray("5,30,0,0\r\n"));
        QVERIFY(filesIn(journals).isEmpty());
        // Without a folder for the journal the save still goes through.
        setInPlaceJournalFolder(dir.filePath(QStringLiteral("TONESPAN.DAT/none")));
        QVERIFY(writeFileInPlace(path, "10,30,0,0\r\n"));
        setInPlaceJournalFolder({});
        QCOMPARE(readBytes(path), QByteArray("10,30,0,0\r\n"));
    }

    void realKillDuringWriteInPlaceLeavesOldOrNew() {
#ifdef Q_OS_UNIX
        QTemporaryDir dir;
        const QString journals = dir.filePath(QStringLiteral("journal"));
        const QString path = dir.filePath(QStringLiteral("BIG.TIM"));
        const QByteArray old(64 << 10, 'o');
        const QByteArray fresh(2 << 20, 'n');
        setInPlaceJournalFolder(journals);
        writeBytes(path, old);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(writeFileInPlace(path, fresh));
        const qint64 saveUs = qMax<qint64>(clock.nsecsElapsed() / 1000, 1000);
        auto* random = QRandomGenerator::global();
        int restored = 0, finished = 0, untouched = 0;
        const int kills = 30;
        for (int k = 0; k < kills; ++k) {
            writeBytes(path, old);
            // Two kinds of death: SIGKILL at any moment of the save, and, every third time, the
            // kernel's own SIGXFSZ at a chosen byte of the file, which surely falls inside the
            // write (the journal, far smaller, stays below the limit).
            const bool sizeLimited = k % 3 == 2;
            const rlim_t limit = rlim_t(random->bounded(2 * old.size(), fresh.size()));
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                const rlimit noCore{0, 0};
                ::setrlimit(RLIMIT_CORE, &noCore);
                if (sizeLimited) {
                    std::signal(SIGXFSZ, SIG_DFL);
                    const rlimit fsize{limit, limit};
                    ::setrlimit(RLIMIT_FSIZE, &fsize);
                }
                writeFileInPlace(path, fresh);
                ::_exit(0);
            }
            if (!sizeLimited) {
                QThread::usleep(quint64(random->bounded(saveUs * 12 / 10 + 1)));
                ::kill(child, SIGKILL);
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            if (sizeLimited) QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
            const int recovered = int(recoverInterruptedWrites().size());
            const QByteArray now = readBytes(path);
            QVERIFY2(now == old || now == fresh,
                     qPrintable(u"kill %1: %2 bytes"_s.arg(k).arg(now.size())));
            QVERIFY(filesIn(journals).isEmpty());
            restored += recovered;
            if (now == fresh)
                ++finished;
            else if (!recovered)
                ++untouched;
        }
        setInPlaceJournalFolder({});
        qInfo("%d kills: %d put back, %d finished, %d untouched", kills, restored, finished,
              untouched);
        QVERIFY(restored >= kills / 3);
#else
        QSKIP("needs fork");
#endif
    }

    void durationChosenWithoutAFileStaysForTheRun() {
        // No file, and a folder that takes none (missing here, so the case holds for root too).
        QTemporaryDir parent;
        const QString folder = parent.filePath(QStringLiteral("later"));
        AppState s(folder);
        QVERIFY(!s.loadSpans());
        QCOMPARE(s.spans(), (Spans{60, 30, 0, 0}));
        s.setAlarmRingSeconds(10);
        QString error;
        QVERIFY(!s.saveSpans(&error));
        QCOMPARE(error, fileFaultText(FileFault::NotFound));
        s.setCountdownRingSeconds(5);
        QVERIFY(!s.saveSpans());
        // The launcher reloads on every return: the choices stay.
        QVERIFY(!s.loadSpans());
        QVERIFY(!s.loadSpans());
        QCOMPARE(s.spans(), (Spans{10, 5, 0, 0}));
        // Once the folder takes files, the next load writes them.
        QVERIFY(QDir(parent.path()).mkdir(QStringLiteral("later")));
        QVERIFY(s.loadSpans());
        QCOMPARE(readBytes(s.programFile(QLatin1String(kSpansFile))), QByteArray("10,5,0,0\r\n"));
        QCOMPARE(s.spans(), (Spans{10, 5, 0, 0}));
        // From then on the file is read as usual.
        writeBytes(s.programFile(QLatin1String(kSpansFile)), "45,7,0,0\r\n");
        QVERIFY(s.loadSpans());
        QCOMPARE(s.spans(), (Spans{45, 7, 0, 0}));
        QVERIFY(spansNotSavedMessage(error).contains(error));
    }

    void staleTemporaryFilesAreRemovedAtStart() {
        QTemporaryDir dir;
        const QStringList stale = {QStringLiteral("ONGENDATA.DAT.a1B2c3"),
                                   QStringLiteral("TONESPAN.DAT.XyZ789")};
        QStringList kept = {
            QStringLiteral("ONGENDATA.DAT.bak"),    QStringLiteral("ONGENDATA.DAT.abc1234"),
            QStringLiteral("OTHER.DAT.a1B2c3"),     QStringLiteral("ONGENDATA.DAT"),
            QStringLiteral("ONGENDATA.DAT.a1B2c-"), QStringLiteral("ONGENDATA.DAT.a1B2c")};
        // A name that differs by case only, where the file system tells such names apart.
        writeBytes(dir.filePath(QStringLiteral("case-probe")), "x");
        if (!QFileInfo::exists(dir.filePath(QStringLiteral("CASE-PROBE"))))
            kept << QStringLiteral("ongendata.dat.a1B2c3");
        QFile::remove(dir.filePath(QStringLiteral("case-probe")));
        for (const QString& f : stale + kept)
            writeBytes(dir.filePath(f), "x");
        // The pattern is the one the library's save really uses: where the system has no
        // unnamed temporary files (Windows), the save's own shows up by that name.
        {
            const QStringList before = filesIn(dir.path());
            QSaveFile save(dir.filePath(QStringLiteral("ONGENDATA.DAT")));
            QVERIFY(save.open(QIODevice::WriteOnly));
            QStringList added = filesIn(dir.path());
            for (const QString& f : before)
                added.removeOne(f);
            QVERIFY(added.size() <= 1);
            for (const QString& f : added)
                QVERIFY2(QRegularExpression(QStringLiteral("^ONGENDATA\\.DAT\\.[A-Za-z0-9]{6}$"))
                             .match(f)
                             .hasMatch(),
                         qPrintable(f));
            save.cancelWriting();
        }
        AppState s(dir.path());
        s.loadSpans();
        QStringList expected = kept;
        expected << QStringLiteral("TONESPAN.DAT");
        expected.sort();
        QStringList left = filesIn(dir.path());
        left.sort();
        QCOMPARE(left, expected);
    }

    void untouchedEntriesKeepTheirBytes() {
        QTemporaryDir dir;
        AppState s(dir.path());
        const QByteArray original = oddSoundFile();
        writeBytes(s.programFile(QLatin1String(kSoundsFile)), original);
        QVERIFY(s.loadSoundTable());
        QCOMPARE(valueNumber(s.soundTable()[6].sourceNo), 7.0);
        {
            SoundTable t = s.soundTable();
            t[8].sourceName = QStringLiteral("Chime");
            s.setSoundTable(t);
        }
        QVERIFY(s.saveSoundTable());
        QByteArray expected = original;
        expected.replace("9,\"N9\",\"\"", "9,\"Chime\",\"\"");
        QCOMPARE(readBytes(s.programFile(QLatin1String(kSoundsFile))), expected);
    }

    void utf8SoundFileIsReadAndSavedInTheCodePage_data() {
        QTest::addColumn<QByteArray>("mark");
        QTest::newRow("with byte order mark") << QByteArray("\xEF\xBB\xBF");
        QTest::newRow("without") << QByteArray();
    }
    void utf8SoundFileIsReadAndSavedInTheCodePage() {
        QFETCH(QByteArray, mark);
        QTemporaryDir dir;
        AppState s(dir.path());
        QVERIFY(s.loadSoundTable()); // the default list, in the code page
        const QByteArray cp932 = readBytes(s.programFile(QLatin1String(kSoundsFile)));
        writeBytes(s.programFile(QLatin1String(kSoundsFile)), mark + decodeCp932(cp932).toUtf8());
        QVERIFY(s.loadSoundTable());
        QCOMPARE(s.soundTable()[2].name(), QStringLiteral("時間"));
        QCOMPARE(filePart(s.soundTable()[3].path()), QStringLiteral("ﾍﾞﾙ.WAV"));
        QVERIFY(s.saveSoundTable());
        QCOMPARE(readBytes(s.programFile(QLatin1String(kSoundsFile))), cp932);

        writeBytes(s.programFile(QLatin1String(kSpansFile)), mark + "45,7,0,0\r\n");
        QVERIFY(s.loadSpans());
        QCOMPARE(s.spans(), (Spans{45, 7, 0, 0}));
    }

    // Code page 932 names that are also well-formed UTF-8, and a code page file behind an
    // editor's byte order mark, read as the code page and survive saves of other entries.
    void codePageSoundFileIsReadAsTheCodePage_data() {
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<QString>("name");
        QTest::newRow("kanji and katakana that are UTF-8 too")
            << QByteArray() << QString::fromUtf16(u"痼ア");
        QTest::newRow("behind a byte order mark") << QByteArray("\xEF\xBB\xBF") << u"時間"_s;
    }
    void codePageSoundFileIsReadAsTheCodePage() {
        QFETCH(QByteArray, mark);
        QFETCH(QString, name);
        QTemporaryDir dir;
        AppState s(dir.path());
        QByteArray cp932;
        for (int k = 1; k <= 10; ++k)
            cp932 +=
                QByteArray::number(k) + ",\"" + (k == 3 ? *encodeCp932(name) : "N") + "\",\"\"\r\n";
        const QString file = s.programFile(QLatin1String(kSoundsFile));
        writeBytes(file, mark + cp932);
        QVERIFY(s.loadSoundTable());
        QCOMPARE(s.soundTable()[2].name(), name);
        QVERIFY(s.saveSoundTable());
        QCOMPARE(readBytes(file), cp932);

        {
            SoundTable t = s.soundTable();
            t[0].sourceName = u"ベル"_s;
            s.setSoundTable(t);
        }
        QString error;
        QVERIFY2(s.saveSoundTable(&error), qPrintable(error));
        AppState back(dir.path());
        QVERIFY(back.loadSoundTable());
        QCOMPARE(back.soundTable()[0].name(), u"ベル"_s);
        QCOMPARE(back.soundTable()[2].name(), name);
    }

    void folderNameTheCodePageCannotHold_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("accent") << QStringLiteral("café");
#ifndef Q_OS_WIN // no file name holds a double quote there
        QTest::newRow("double quote") << QStringLiteral("say \"hi\"");
#endif
        QTest::newRow("hangul") << QString::fromUtf8("\xEC\x95\x88");
    }
    void folderNameTheCodePageCannotHold() {
        QFETCH(QString, name);
        QTemporaryDir parent;
        QVERIFY(QDir(parent.path()).mkdir(name));
        const QString folder = QDir(parent.path()).filePath(name);
        AppState s(folder);
        QVERIFY(s.loadSoundTable());
        QVERIFY(QFile::exists(s.programFile(QLatin1String(kSoundsFile))));
        QCOMPARE(s.wavePath(3), joinPath(folder, QStringLiteral("時間ですよ.WAV")));
        // A wave chosen in the program folder is stored by its name; one elsewhere in full.
        const QString chosen = QDir(folder).filePath(QStringLiteral("gong.wav"));
        QCOMPARE(storableWavePath(chosen, folder), QStringLiteral("gong.wav"));
        QCOMPARE(storableWavePath(QStringLiteral("/snd/a.wav"), folder),
                 QStringLiteral("/snd/a.wav"));
        {
            SoundTable t = s.soundTable();
            t[0].wavePath = storableWavePath(chosen, folder);
            s.setSoundTable(t);
        }
        QVERIFY(s.saveSoundTable());
        AppState back(folder);
        QVERIFY(back.loadSoundTable());
        QCOMPARE(back.wavePath(1), joinPath(folder, QStringLiteral("gong.wav")));
    }

    void overlongNameIsRefusedAndTheRestKept() {
        QTemporaryDir dir;
        AppState s(dir.path());
        QByteArray bytes = oddSoundFile();
        const QByteArray huge = "\"" + QByteArray(10 * 1024 * 1024, 'A') + "\"";
        bytes.replace("\"N4\"", huge);
        writeBytes(s.programFile(QLatin1String(kSoundsFile)), bytes);
        QVERIFY(s.loadSoundTable());
        QVERIFY(s.soundTableNotice().contains(QStringLiteral("音源 4 ")));
        QVERIFY(isUnset(s.soundTable()[3].sourceName));
        QCOMPARE(s.soundTable()[9].name(), QStringLiteral("N10"));
        // Saving another entry keeps the file's bytes there as they were.
        {
            SoundTable t = s.soundTable();
            t[8].sourceName = QStringLiteral("Chime");
            s.setSoundTable(t);
        }
        QVERIFY(s.saveSoundTable());
        QByteArray expected = bytes;
        expected.replace("9,\"N9\",\"\"", "9,\"Chime\",\"\"");
        QCOMPARE(readBytes(s.programFile(QLatin1String(kSoundsFile))), expected);
        // A file without such a field has nothing to say.
        writeBytes(s.programFile(QLatin1String(kSoundsFile)), oddSoundFile());
        QVERIFY(s.loadSoundTable());
        QVERIFY(s.soundTableNotice().isEmpty());
        // A file cut short says where it stopped.
        writeBytes(s.programFile(QLatin1String(kSoundsFile)), oddSoundFile().left(40));
        QVERIFY(!s.loadSoundTable());
        QVERIFY(s.soundTableNotice().contains(QStringLiteral("最後まで読めませんでした")));
    }

    void pathsSplitAtEitherSeparator_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("part");
        QTest::newRow("backslash") << "C:\\QZ\\ﾍﾞﾙ.WAV"
                                   << "ﾍﾞﾙ.WAV";
        QTest::newRow("slash") << "/opt/qz/RING1.WAV"
                               << "RING1.WAV";
        QTest::newRow("mixed") << "C:\\a/b\\c.wav"
                               << "c.wav";
        QTest::newRow("bare") << "RING.WAV"
                              << "RING.WAV";
        QTest::newRow("empty") << ""
                               << "";
    }
    void pathsSplitAtEitherSeparator() {
        QFETCH(QString, path);
        QFETCH(QString, part);
        QCOMPARE(filePart(path), part);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "tst_settings_files.moc"
