// SPDX-License-Identifier: MIT
#include "about/version.h"
#include "app/app_state.h"
#include "app/command_line.h"
#include "app/settings_location.h"
#include "settings/settings_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace qz;

// Where the settings of a start are kept, and what the command line asks for.
class TestStartup : public QObject {
    Q_OBJECT

    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // A program folder and a home whose configuration folder does not exist yet.
    struct Folders {
        QTemporaryDir root;
        QString program = root.filePath(QStringLiteral("program"));
        QString config = root.filePath(QStringLiteral("home/.config/qztimer"));
        Folders() { QDir().mkpath(program); }
        QString inProgram(const char* name) const {
            return QDir(program).filePath(QLatin1String(name));
        }
        QString inConfig(const char* name) const {
            return QDir(config).filePath(QLatin1String(name));
        }
    };

    // "時間" and "ﾍﾞﾙ" in code page 932: a copy must not pass through any text conversion.
    static QByteArray userSounds() {
        return QByteArray(
            "1,\"\x8e\x9e\x8a\xd4\",\"C:\\QZ\\RING1.WAV\"\r\n2,\"\xcd\xde\xd9\",\"\"\r\n");
    }

  private slots:
    void settingsFolderChoice_data() {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("programHasFiles");
        QTest::addColumn<bool>("configHasSpans");
        QTest::addColumn<int>("place");
        QTest::addColumn<QStringList>("copied");
        const QStringList both{QStringLiteral("TONESPAN.DAT"), QStringLiteral("ONGENDATA.DAT")};
        const int program = int(SettingsPlace::ProgramFolder);
        const int config = int(SettingsPlace::ConfigFolder);
        QTest::newRow("writable program folder keeps its files")
            << true << true << false << program << QStringList();
        QTest::newRow("writable program folder, no files yet")
            << true << false << false << program << QStringList();
        QTest::newRow("read-only folder with files: both copied")
            << false << true << false << config << both;
        QTest::newRow("read-only folder without files: nothing copied")
            << false << false << false << config << QStringList();
        QTest::newRow("configuration already has TONESPAN.DAT: kept")
            << false << true << true << config << QStringList{QStringLiteral("ONGENDATA.DAT")};
    }
    void settingsFolderChoice() {
        QFETCH(bool, writable);
        QFETCH(bool, programHasFiles);
        QFETCH(bool, configHasSpans);
        QFETCH(int, place);
        QFETCH(QStringList, copied);
        Folders f;
        if (programHasFiles) {
            write(f.inProgram("TONESPAN.DAT"), "120,5,0,0\r\n");
            write(f.inProgram("ONGENDATA.DAT"), userSounds());
        }
        if (configHasSpans) {
            QDir().mkpath(f.config);
            write(f.inConfig("TONESPAN.DAT"), "10,60,0,0\r\n");
        }
        const SettingsLocation loc = chooseSettingsLocation({f.program, writable, f.config});
        QCOMPARE(int(loc.place), place);
        QCOMPARE(loc.copied, copied);
        QVERIFY(loc.message.isEmpty());
        if (writable) {
            QCOMPARE(loc.folder, f.program);
            QVERIFY2(!QFileInfo::exists(f.config), "nothing is created outside the program folder");
            return;
        }
        QCOMPARE(loc.folder, QDir::toNativeSeparators(f.config));
        QVERIFY(QFileInfo(f.config).isDir());
        if (programHasFiles) {
            QCOMPARE(read(f.inConfig("ONGENDATA.DAT")), userSounds());
            QCOMPARE(read(f.inConfig("TONESPAN.DAT")),
                     configHasSpans ? QByteArray("10,60,0,0\r\n") : QByteArray("120,5,0,0\r\n"));
        } else {
            QVERIFY(!QFileInfo::exists(f.inConfig("TONESPAN.DAT")));
        }
    }

    // The program then reads and writes in the configuration folder only; sound defaults still
    // point at the wave files of the program folder.
    void installedProgramWritesTheConfigurationFolder() {
        Folders f;
        const SettingsLocation loc = chooseSettingsLocation({f.program, false, f.config});
        AppState state(f.program);
        state.setSettingsFolder(loc.folder);
        QVERIFY(state.loadSpans());
        QCOMPARE(read(f.inConfig("TONESPAN.DAT")), QByteArray("60,30,0,0\r\n"));
        state.setAlarmRingSeconds(120);
        QVERIFY(state.saveSpans());
        QCOMPARE(read(f.inConfig("TONESPAN.DAT")), QByteArray("120,30,0,0\r\n"));
        QVERIFY(state.loadSoundTable());
        QCOMPARE(
            state.soundTable()[0].path(),
            QDir(f.program).filePath(QStringLiteral("RING1.WAV")).replace(u'/', QDir::separator()));
        QVERIFY(QFileInfo::exists(f.inConfig("ONGENDATA.DAT")));
        QVERIFY(QDir(f.program).entryList(QDir::Files).isEmpty());
        // The copied starting point is used on the next start, and copied only once.
        write(f.inProgram("TONESPAN.DAT"), "45,7,0,0\r\n");
        const SettingsLocation again = chooseSettingsLocation({f.program, false, f.config});
        QVERIFY(again.copied.isEmpty());
        QCOMPARE(read(f.inConfig("TONESPAN.DAT")), QByteArray("120,30,0,0\r\n"));
    }

    void configurationFolderThatCannotBeCreatedKeepsValuesInMemory() {
        Folders f;
        // A file where a folder of the path should be: mkpath fails even for the superuser.
        write(f.root.filePath(QStringLiteral("home")), "not a folder");
        write(f.inProgram("TONESPAN.DAT"), "45,7,0,0\r\n");
        const SettingsLocation loc = chooseSettingsLocation({f.program, false, f.config});
        QCOMPARE(int(loc.place), int(SettingsPlace::MemoryOnly));
        QVERIFY(loc.folder.isEmpty());
        QVERIFY(loc.message.contains(QStringLiteral("作成できませんでした")));
        QVERIFY(loc.message.contains(QDir::toNativeSeparators(f.config)));
        QVERIFY(loc.message.contains(QStringLiteral("終了するまで")));

        AppState state(f.program);
        state.keepSettingsInMemory();
        // What the program folder holds is read, though nothing can be written.
        QVERIFY(state.loadSpans());
        QCOMPARE(state.spans(), (Spans{45, 7, 0, 0}));
        // A choice made in a tool survives the launcher's reload on the way back.
        state.setAlarmRingSeconds(120);
        QVERIFY(state.saveSpans());
        QVERIFY(state.loadSpans());
        QCOMPARE(state.alarmRingSeconds(), 120);
        // The sound table starts from the defaults and keeps an edit across the timer's reloads.
        QVERIFY(state.loadSoundTable());
        QCOMPARE(state.soundTable()[2].name(), QStringLiteral("時間"));
        {
            SoundTable t = state.soundTable();
            t[2].sourceName = RecordValue(QStringLiteral("目覚まし"));
            state.setSoundTable(t);
        }
        QVERIFY(state.saveSoundTable());
        QVERIFY(state.loadSoundTable());
        QCOMPARE(state.soundTable()[2].name(), QStringLiteral("目覚まし"));
        // What the file could not hold is still refused.
        {
            SoundTable t = state.soundTable();
            t[2].sourceName = RecordValue(QStringLiteral("say \"hi\""));
            state.setSoundTable(t);
        }
        QVERIFY(!state.saveSoundTable());
        // Nothing was written anywhere; the program folder's file is untouched.
        QCOMPARE(read(f.inProgram("TONESPAN.DAT")), QByteArray("45,7,0,0\r\n"));
        QCOMPARE(QDir(f.program).entryList(QDir::Files).size(), 1);
        QCOMPARE(settingsPlaceText(QString(), true),
                 QStringLiteral("設定の保存先：なし（終了まで有効）"));

        // The program folder's sound sources are read in the same way, and edits last the run.
        write(f.inProgram("ONGENDATA.DAT"), userSounds());
        AppState next(f.program);
        next.keepSettingsInMemory();
        QVERIFY(!next.loadSoundTable()); // two entries of ten
        QCOMPARE(next.soundTable()[0].name(), QStringLiteral("時間"));
        QCOMPARE(next.soundTable()[1].name(), QStringLiteral("ﾍﾞﾙ"));
        {
            SoundTable t = next.soundTable();
            t[1].sourceName = RecordValue(QStringLiteral("鐘"));
            next.setSoundTable(t);
        }
        QVERIFY(next.saveSoundTable());
        QVERIFY(next.loadSoundTable());
        QCOMPARE(next.soundTable()[1].name(), QStringLiteral("鐘"));
        QCOMPARE(read(f.inProgram("ONGENDATA.DAT")), userSounds());
    }

    void installedMarkerAndWritability() {
        Folders f;
        QVERIFY(folderIsWritable(f.program));
        QVERIFY(!folderIsWritable(f.root.filePath(QStringLiteral("absent"))));
        QVERIFY(runningProgramFolders(f.program).programFolderWritable);
        QVERIFY(QDir(f.program).entryList(QDir::Files | QDir::Hidden).isEmpty());
        write(f.inProgram("INSTALLED"), "");
        QVERIFY2(!runningProgramFolders(f.program).programFolderWritable,
                 "an installed copy keeps settings per user even when writable");
#ifdef Q_OS_UNIX
        if (::geteuid() != 0) {
            QFile::setPermissions(f.program, QFile::ReadOwner | QFile::ExeOwner);
            QVERIFY(!folderIsWritable(f.program));
            QFile::setPermissions(f.program,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
#endif
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("newInstance");
        QTest::addColumn<QString>("outputHas");
        const int run = int(CommandLine::Action::Run), help = int(CommandLine::Action::ShowHelp),
                  version = int(CommandLine::Action::ShowVersion),
                  fail = int(CommandLine::Action::Fail);
        auto a = [](std::initializer_list<const char*> list) {
            QStringList l{QStringLiteral("qztimer")};
            for (const char* s : list)
                l.append(QString::fromLatin1(s));
            return l;
        };
        QTest::newRow("nothing") << a({}) << true << run << false << QString();
        QTest::newRow("new instance") << a({"--new-instance"}) << false << run << true << QString();
        QTest::newRow("help, Japanese") << a({"--help"}) << true << help << false
                                        << QStringLiteral("使い方: qztimer [オプション]");
        QTest::newRow("help, English")
            << a({"-h"}) << false << help << false << QStringLiteral("Usage: qztimer [options]");
        QTest::newRow("help names --new-instance")
            << a({"--help"}) << true << help << false << QStringLiteral("--new-instance");
        QTest::newRow("help wins over a bad option")
            << a({"--bogus", "--help"}) << false << help << false << QStringLiteral("Options:");
        QTest::newRow("version") << a({"--version"}) << true << version << false
                                 << QStringLiteral("qztimer 2.55\n");
        QTest::newRow("short version")
            << a({"-v"}) << false << version << false << QStringLiteral("qztimer 2.55\n");
        QTest::newRow("unknown option, Japanese")
            << a({"--bogus"}) << true << fail << false
            << QStringLiteral("知らないオプションです: --bogus");
        QTest::newRow("unknown option, English")
            << a({"-x"}) << false << fail << false << QStringLiteral("unknown option: -x");
        QTest::newRow("stray argument") << a({"file.TIM"}) << false << fail << false
                                        << QStringLiteral("unexpected argument: file.TIM");
    }
    void commandLine() {
        QFETCH(QStringList, args);
        QFETCH(bool, japanese);
        QFETCH(int, action);
        QFETCH(bool, newInstance);
        QFETCH(QString, outputHas);
        const CommandLine cl = parseCommandLine(args, japanese);
        QCOMPARE(int(cl.action), action);
        QCOMPARE(cl.newInstance, newInstance);
        if (outputHas.isEmpty())
            QVERIFY(cl.output.isEmpty());
        else
            QVERIFY2(cl.output.contains(outputHas), qPrintable(cl.output));
    }

    // The version box's number: every digit and the point widened, nothing else touched.
    void fullWidthVersion_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("shown");
        QTest::newRow("this program's") << programVersion() << QStringLiteral("２．５５");
        QTest::newRow("every digit")
            << QStringLiteral("1234567890.") << QStringLiteral("１２３４５６７８９０．");
        QTest::newRow("two points") << QStringLiteral("3.0.10") << QStringLiteral("３．０．１０");
        QTest::newRow("others stay") << QStringLiteral("v2-rc") << QStringLiteral("v２-rc");
        QTest::newRow("empty") << QString() << QString();
    }
    void fullWidthVersion() {
        QFETCH(QString, version);
        QFETCH(QString, shown);
        QCOMPARE(qz::fullWidthVersion(version), shown);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
