// SPDX-License-Identifier: MIT
#include "audio/sound_player.h"
#include "files/cp932.h"
#include "files/file_io.h"
#include "look/palette.h"
#include "sound/sound_settings_window.h"
#include "tests/support/window_fixture.h"
#include "ui/dialogs.h"
#include "ui/placement.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>

using namespace qz;
using namespace Qt::StringLiterals;

namespace {
struct Entry {
    QString name;
    QString file; // as stored: a bare name lies in the program folder; empty: no path
};

// The sound settings window opened from the notification timer, which has loaded the table
// (and so written the default file) just before.
struct Fixture : WindowFixture {
    SoundSettingsWindow* w = nullptr;

    explicit Fixture(bool loadFirst = true) {
        registerWindow<SoundSettingsWindow>(WindowId::SoundSettings);
        if (loadFirst) state.loadSoundTable();
        reopen();
    }
    void reopen() {
        w = static_cast<SoundSettingsWindow*>(wm.switchTo(WindowId::SoundSettings, w));
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
    template <class T = QWidget> T* c(const char* name) const { return control<T>(w, name); }
    void type(QLineEdit* box, const QString& text) {
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    // Text that comes through an input method, as Japanese does, rather than as key presses.
    void compose(QLineEdit* box, const QString& text) {
        QInputMethodEvent e;
        e.setCommitString(text);
        QCoreApplication::sendEvent(box, &e);
        QTest::keyClick(box, Qt::Key_Return);
    }
    // The usual sequence: number, name, then a file or no sound.
    void enter(const QString& no, const QString& name) {
        type(w->numberBox(), no);
        type(w->nameBox(), name);
    }
    QString cell(int row, int col) const {
        const QTableWidgetItem* item = w->grid()->item(row, col);
        return item ? item->text() : QStringLiteral("<none>");
    }
    QString path(const QString& file) const { return state.programFile(file); }
    QByteArray fileBytes() const {
        QFile f(state.programFile(QString::fromLatin1(kSoundsFile)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The default waves are stored with the program folder in front of them.
    QString storedPath(const QString& file) const {
        return file.isEmpty() || file.contains(u'/') || file.contains(u'\\') ? file : path(file);
    }
    // The settings file as it must read: the records written out by hand, then encoded.
    QByteArray expectedFile(const QList<Entry>& entries) const {
        QString text;
        for (int i = 0; i < entries.size(); ++i) {
            text += QStringLiteral("%1,\"%2\",\"%3\"\r\n")
                        .arg(i + 1)
                        .arg(entries[i].name, storedPath(entries[i].file));
        }
        const auto bytes = encodeCp932(text);
        return bytes ? *bytes : QByteArray("not encodable");
    }
};

QList<Entry> defaults() {
    return {{u"RING1"_s, u"RING1.WAV"_s},
            {u"RING2"_s, u"RING2.WAV"_s},
            {u"時間"_s, u"時間ですよ.WAV"_s},
            {u"ﾍﾞﾙ"_s, u"ﾍﾞﾙ.WAV"_s},
            {u"ｻｲﾚﾝ"_s, u"ｻｲﾚﾝ.WAV"_s},
            {u"鐘"_s, u"鐘.WAV"_s},
            {u"宇宙"_s, u"宇宙.WAV"_s},
            {u"汽笛"_s, u"汽笛.WAV"_s},
            {u"BP"_s, u""_s},
            {u"BP"_s, u""_s}};
}
} // namespace

class TstSoundSettingsWindow : public QObject {
    Q_OBJECT
  private slots:
    void controls() {
        Fixture f;
        QCOMPARE(f.w->windowTitle(), QStringLiteral("音源設定"));
        QCOMPARE(f.w->entryFrame()->title(), QStringLiteral("音源設定"));
        QCOMPARE(f.w->listFrame()->title(), QStringLiteral("音源一覧表"));
        QCOMPARE(f.w->numberCaption()->text(), QStringLiteral("ＮＯ："));
        QCOMPARE(f.w->nameCaption()->text(), QStringLiteral("音源名："));
        QCOMPARE(f.w->fileCaption()->text(), QStringLiteral("音源（wav）ファイル名："));
        QCOMPARE(f.w->chooseFileButton()->text(), QStringLiteral("音源の選択"));
        QCOMPARE(f.w->noSoundButton()->text(), QStringLiteral("音源なし"));
        QCOMPARE(f.w->saveButton()->text(), QStringLiteral("保存設定"));
        QCOMPARE(f.w->resetButton()->text(), QStringLiteral("ﾘｾｯﾄ"));
        QCOMPARE(f.w->backButton()->text(), QStringLiteral("戻る"));
        QCOMPARE(f.c<QMenu>("M3")->title(), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
        QCOMPARE(f.c<QAction>("M31")->text(), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
        QCOMPARE(f.w->numberBox()->geometry(), f.w->numberLabel()->geometry());
        QCOMPARE(f.w->nameBox()->geometry(), f.w->nameLabel()->geometry());
        QCOMPARE(f.w->numberBox()->palette().color(QPalette::Base), vbColor(0xFFFFC0));
        QCOMPARE(f.w->fileLabel()->palette().color(QPalette::Window), vbColor(0xC0FFFF));
    }

    void gridShowsTheTable() {
        Fixture f;
        QCOMPARE(f.w->grid()->rowCount(), 11);
        QCOMPARE(f.w->grid()->columnCount(), 4);
        const int widths[] = {500, 600, 800, 2000};
        for (int c = 0; c < 4; ++c)
            QCOMPARE(f.w->grid()->columnWidth(c), twips(widths[c]));
        QCOMPARE(f.w->grid()->rowHeight(5), twips(240));
        const QStringList header = {u"NO"_s, u"ＮＯ"_s, u"音源名"_s, u"ﾌｧｲﾙ名"_s};
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(f.cell(0, c), header[c]);
            QCOMPARE(f.w->grid()->item(0, c)->textAlignment(), int(Qt::AlignCenter));
        }
        const QList<Entry> d = defaults();
        for (int r = 1; r <= 10; ++r) {
            QCOMPARE(f.cell(r, 0), QString::number(r) + u' ');
            QCOMPARE(f.w->grid()->item(r, 0)->textAlignment(), int(Qt::AlignCenter));
            QCOMPARE(f.cell(r, 1), QString::number(r));
            QCOMPARE(f.cell(r, 2), d[r - 1].name);
            QCOMPARE(f.cell(r, 3), d[r - 1].file);
            for (int c : {2, 3})
                QCOMPARE(f.w->grid()->item(r, c)->textAlignment(),
                         int(Qt::AlignLeft | Qt::AlignVCenter));
        }
    }

    void openedOnItsOwnLoadsTheTable() {
        Fixture f(false);
        QCOMPARE(f.cell(3, 2), QStringLiteral("時間"));
        QCOMPARE(f.fileBytes(), f.expectedFile(defaults()));
    }

    void openingShowsAnEmptyNumberBox() {
        Fixture f;
        QVERIFY(f.w->numberBox()->isVisible());
        QVERIFY(!f.w->nameBox()->isVisible());
        QCOMPARE(f.w->numberBox()->text(), QString());
        QCOMPARE(f.w->focusWidget(), f.w->numberBox());
        QVERIFY(f.w->firstKeyClears());
        // Enter at once moves on to the name box without choosing an entry.
        QTest::keyClick(f.w->numberBox(), Qt::Key_Return);
        QVERIFY(!f.w->numberBox()->isVisible());
        QVERIFY(f.w->nameBox()->isVisible());
        QCOMPARE(f.w->focusWidget(), f.w->nameBox());
        QVERIFY(!f.w->pending().hasNumber());
        QVERIFY(f.tp.messages.shown.isEmpty());
    }

    void numberEntry_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("label"); // empty: refused
        QTest::newRow("0") << "0"
                           << "";
        QTest::newRow("11") << "11"
                            << "";
        QTest::newRow("abc") << "abc"
                             << "";
        QTest::newRow("10.4") << "10.4"
                              << "";
        QTest::newRow("3abc") << "3abc"
                              << "3";
        QTest::newRow("9.5") << "9.5"
                             << "9.5";
        QTest::newRow("10") << "10"
                            << "10";
    }
    void numberEntry() {
        QFETCH(QString, typed);
        QFETCH(QString, label);
        Fixture f;
        f.type(f.w->numberBox(), typed);
        if (label.isEmpty()) {
            QCOMPARE(f.tp.messages.shown.size(), 1);
            QCOMPARE(f.tp.messages.lastText(), QStringLiteral("ＮＯは、１～１０の間です！"));
            QCOMPARE(f.tp.messages.shown.last().title, QStringLiteral("音源設定"));
            QVERIFY(f.w->numberBox()->isVisible());
            QCOMPARE(f.w->numberBox()->text(), typed);
            QCOMPARE(f.w->focusWidget(), f.w->numberBox());
            QCOMPARE(f.w->numberLabel()->text(), QString());
            QVERIFY(!f.w->pending().hasNumber());
        } else {
            QVERIFY(f.tp.messages.shown.isEmpty());
            QCOMPARE(f.w->numberLabel()->text(), label);
            QVERIFY(!f.w->numberBox()->isVisible());
            QVERIFY(f.w->nameBox()->isVisible());
        }
    }

    void enterAsFirstKeyKeepsTheOldValue() {
        Fixture f;
        f.enter(QStringLiteral("3"), QStringLiteral("Bell"));
        QTest::mouseClick(f.w->numberCaption(), Qt::LeftButton);
        QVERIFY(f.w->numberBox()->isVisible());
        QCOMPARE(f.w->numberBox()->text(), QStringLiteral("3"));
        QTest::keyClick(f.w->numberBox(), Qt::Key_Return);
        QCOMPARE(f.w->numberLabel()->text(), QStringLiteral("3"));
        QCOMPARE(f.w->pending().entryNumber(), 3);
        QVERIFY(f.w->nameBox()->isVisible());
        QCOMPARE(f.w->nameBox()->text(), QStringLiteral("Bell"));
        QTest::keyClick(f.w->nameBox(), Qt::Key_Return);
        QCOMPARE(f.w->nameLabel()->text(), QStringLiteral("Bell"));
        QCOMPARE(f.w->pending().editName(), QStringLiteral("Bell"));
        QCOMPARE(f.w->focusWidget(), f.w->chooseFileButton());
        QVERIFY(!f.w->nameBox()->isVisible());
    }

    void firstKeyReplacesTheText() {
        Fixture f;
        f.enter(QStringLiteral("3"), QStringLiteral("Bell"));
        QTest::mouseClick(f.w->numberLabel(), Qt::LeftButton);
        f.type(f.w->numberBox(), QStringLiteral("5"));
        QCOMPARE(f.w->numberLabel()->text(), QStringLiteral("5"));
        QTest::keyClicks(f.w->nameBox(), QStringLiteral("Gong"));
        QCOMPARE(f.w->nameBox()->text(), QStringLiteral("Gong"));
        QVERIFY(!f.w->firstKeyClears());
    }

    void deleteAsFirstKeyEmptiesTheValue() {
        Fixture f;
        f.enter(QStringLiteral("3"), QStringLiteral("Bell"));
        QTest::mouseClick(f.w->numberLabel(), Qt::LeftButton);
        QTest::keyClick(f.w->numberBox(), Qt::Key_Delete);
        QCOMPARE(f.w->numberLabel()->text(), QString());
        QCOMPARE(f.w->numberBox()->text(), QString());
        QVERIFY(!f.w->pending().hasNumber());
        QVERIFY(f.w->firstKeyClears());

        QTest::mouseClick(f.w->nameCaption(), Qt::LeftButton);
        QCOMPARE(f.w->nameBox()->text(), QStringLiteral("Bell"));
        QTest::keyClick(f.w->nameBox(), Qt::Key_Delete);
        QCOMPARE(f.w->nameLabel()->text(), QString());
        QCOMPARE(f.w->pending().editName(), QString());
    }

    void arrowsMoveBetweenTheBoxes() {
        Fixture f;
        QTest::keyClicks(f.w->numberBox(), QStringLiteral("7"));
        QTest::keyClick(f.w->numberBox(), Qt::Key_Down);
        QVERIFY(!f.w->numberBox()->isVisible());
        QVERIFY(f.w->nameBox()->isVisible());
        QVERIFY(!f.w->pending().hasNumber()); // Down does not take the number
        QTest::keyClick(f.w->nameBox(), Qt::Key_Up);
        QVERIFY(f.w->numberBox()->isVisible());
        QVERIFY(!f.w->nameBox()->isVisible());
        QTest::keyClick(f.w->numberBox(), Qt::Key_Down);
        QTest::keyClick(f.w->nameBox(), Qt::Key_Down);
        QVERIFY(!f.w->nameBox()->isVisible());
        QCOMPARE(f.w->focusWidget(), f.w->chooseFileButton());
    }

    void boxClosesWhenTheFocusMovesOn() {
        Fixture f;
        f.w->resetButton()->setFocus(Qt::MouseFocusReason);
        QVERIFY(!f.w->numberBox()->isVisible());
    }

    void choosingAFileNeedsANumber() {
        Fixture f;
        f.w->chooseFileButton()->click();
        QCOMPARE(f.tp.messages.lastText(), QStringLiteral("ＮＯを入力してください！"));
        QVERIFY(f.tp.files.asked.isEmpty());
        QVERIFY(f.w->numberBox()->isVisible());
    }

    void fileThenNoSoundStoresAnEmptyPath() {
        Fixture f;
        f.enter(QStringLiteral("4"), QStringLiteral("Gong"));
        const QString chosen = QDir(f.dir.path()).filePath(QStringLiteral("gong.wav"));
        f.tp.files.answers = {chosen};
        f.w->chooseFileButton()->click();
        QCOMPARE(f.tp.files.asked.size(), 1);
        QCOMPARE(f.tp.files.asked[0].initialFolder, f.state.programFolder());
        QCOMPARE(f.tp.files.asked[0].filter, QStringLiteral("音源ﾌｧｲﾙ(*.WAV)|*.WAV"));
        QVERIFY(!f.tp.files.asked[0].save);
        QCOMPARE(f.w->fileLabel()->text(), QStringLiteral("gong.wav"));
        QCOMPARE(f.w->pending().editWavePath(), chosen);
        QCOMPARE(f.w->focusWidget(), f.w->saveButton());

        f.w->noSoundButton()->click();
        QCOMPARE(f.w->fileLabel()->text(), QStringLiteral("音源なし  BEEP音のみ"));
        f.w->saveButton()->click();
        QList<Entry> want = defaults();
        want[3] = {u"Gong"_s, u""_s};
        QCOMPARE(f.fileBytes(), f.expectedFile(want));
        QVERIFY(f.state.soundTable()[3].beepOnly());
        QCOMPARE(f.cell(4, 3), QString());
    }

    void cancelledDialogChangesNothing() {
        Fixture f;
        f.type(f.w->numberBox(), QStringLiteral("2"));
        f.tp.files.answers = {QStringLiteral("/snd/first.wav")};
        f.w->chooseFileButton()->click();
        f.w->chooseFileButton()->click(); // no answer left: cancelled
        QCOMPARE(f.tp.files.asked.size(), 2);
        QCOMPARE(f.w->fileLabel()->text(), QStringLiteral("first.wav"));
        QCOMPARE(f.w->pending().editWavePath(), QStringLiteral("/snd/first.wav"));
    }

    void nineAndAHalfSavesIntoEntryTen() {
        Fixture f;
        f.enter(QStringLiteral("9.5"), QStringLiteral("Chime"));
        QCOMPARE(f.w->numberLabel()->text(), QStringLiteral("9.5"));
        f.w->saveButton()->click();
        QList<Entry> want = defaults();
        want[9] = {u"Chime"_s, u""_s};
        QCOMPARE(f.fileBytes(), f.expectedFile(want));
        QCOMPARE(f.fileBytes().right(15), QByteArray("10,\"Chime\",\"\"\r\n"));
        QCOMPARE(f.cell(10, 2), QStringLiteral("Chime"));
        QCOMPARE(f.cell(9, 2), QStringLiteral("BP"));
    }

    void saveEntryNine() {
        Fixture f;
        f.w->resetButton()->click();
        f.enter(QStringLiteral("9"), QStringLiteral("Chime"));
        f.w->saveButton()->click();
        QVERIFY(f.tp.messages.shown.isEmpty());
        QList<Entry> want = defaults();
        want[8] = {u"Chime"_s, u""_s};
        QCOMPARE(f.fileBytes(), f.expectedFile(want));
        QCOMPARE(f.cell(9, 2), QStringLiteral("Chime"));
        QCOMPARE(f.cell(9, 3), QString());
        // The rebuilt grid keeps its header row and its row labels.
        QCOMPARE(f.cell(0, 2), QStringLiteral("音源名"));
        QCOMPARE(f.cell(9, 0), QStringLiteral("9 "));
        QCOMPARE(f.tp.sounds.requests, QStringList{QStringLiteral("beep")});
        QCOMPARE(f.w->focusWidget(), f.w->resetButton());
        // Saving does not clear the pending entry; a second press writes it again.
        QCOMPARE(f.w->nameLabel()->text(), QStringLiteral("Chime"));
        f.w->saveButton()->click();
        QCOMPARE(f.fileBytes(), f.expectedFile(want));
        QCOMPARE(f.tp.sounds.beeps(), 2);
    }

    void kanjiNameAndPathRoundTrip() {
        Fixture f;
        f.type(f.w->numberBox(), QStringLiteral("1"));
        QTest::mouseClick(f.w->nameLabel(), Qt::LeftButton);
        f.w->nameBox()->setText(QStringLiteral("old"));
        f.compose(f.w->nameBox(), QStringLiteral("ﾁｬｲﾑ 鐘"));
        QCOMPARE(f.w->nameLabel()->text(), QStringLiteral("ﾁｬｲﾑ 鐘"));
        f.tp.files.answers = {f.path(QStringLiteral("鐘.WAV"))};
        f.w->chooseFileButton()->click();
        f.w->saveButton()->click();
        QList<Entry> want = defaults();
        want[0] = {u"ﾁｬｲﾑ 鐘"_s, f.path(QStringLiteral("鐘.WAV"))};
        QCOMPARE(f.fileBytes(), f.expectedFile(want));
        QVERIFY(f.state.loadSoundTable());
        QCOMPARE(f.state.soundTable()[0].name(), QStringLiteral("ﾁｬｲﾑ 鐘"));
    }

    void resetRefusesSave() {
        Fixture f;
        f.enter(QStringLiteral("2"), QStringLiteral("Gong"));
        f.w->resetButton()->click();
        QCOMPARE(f.w->numberLabel()->text(), QString());
        QCOMPARE(f.w->nameLabel()->text(), QString());
        QCOMPARE(f.w->fileLabel()->text(), QString());
        QVERIFY(f.w->numberBox()->isVisible());
        f.w->saveButton()->click();
        QCOMPARE(f.tp.messages.lastText(), QStringLiteral("ＮＯを入力してください！"));
        QVERIFY(f.w->numberBox()->isVisible());
        QCOMPARE(f.fileBytes(), f.expectedFile(defaults()));
        QCOMPARE(f.state.soundTable()[1].name(), QStringLiteral("RING2"));
        QCOMPARE(f.tp.sounds.beeps(), 0);
    }

    void unstorableNameIsRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("double quote") << "a\"b";
        QTest::newRow("outside code page 932") << "벨";
    }
    void unstorableNameIsRefused() {
        QFETCH(QString, name);
        Fixture f;
        f.type(f.w->numberBox(), QStringLiteral("5"));
        f.compose(f.w->nameBox(), name);
        QCOMPARE(f.tp.messages.shown.size(), 1);
        QVERIFY(f.w->nameBox()->isVisible());
        QCOMPARE(f.w->nameBox()->text(), name);
        QCOMPARE(f.w->nameLabel()->text(), QString());
        f.w->saveButton()->click();
        QCOMPARE(f.state.soundTable()[4].name(), QString());
        QVERIFY(f.fileBytes().contains("5,\"\",\"\"\r\n"));
    }

    void unstorablePathIsRefusedBeforeStoring() {
        Fixture f;
        f.enter(QStringLiteral("6"), QStringLiteral("Gong"));
        f.tp.files.answers = {QStringLiteral("/snd/벨.wav")};
        f.w->chooseFileButton()->click();
        f.w->saveButton()->click();
        QCOMPARE(f.tp.messages.shown.size(), 1);
        QVERIFY(f.tp.messages.lastText().contains(QStringLiteral("벨")));
        QCOMPARE(f.state.soundTable()[5].name(), QStringLiteral("鐘"));
        QCOMPARE(f.fileBytes(), f.expectedFile(defaults()));
        QCOMPARE(f.tp.sounds.beeps(), 0);
    }

    void failedWriteIsReportedAndNothingChanges() {
        Fixture f;
        const QString file = f.state.programFile(QString::fromLatin1(kSoundsFile));
        // A folder where the file should be: no write can replace it, whoever runs the test.
        QVERIFY(QFile::remove(file));
        QVERIFY(QDir().mkdir(file));
        f.enter(QStringLiteral("2"), QStringLiteral("Gong"));
        f.w->saveButton()->click();
        QCOMPARE(f.tp.messages.shown.size(), 1);
        QVERIFY(f.tp.messages.lastText().contains(QLatin1String(kSoundsFile)));
        // The reason in Japanese, not the library's English.
        QVERIFY(f.tp.messages.lastText().endsWith(fileFaultText(FileFault::IsFolder)));
        QCOMPARE(f.tp.sounds.beeps(), 0);
        QCOMPARE(f.state.soundTable()[1].name(), QStringLiteral("RING2"));
        QCOMPARE(f.cell(2, 2), QStringLiteral("RING2"));
        QCOMPARE(f.cell(2, 0), QStringLiteral("2 "));
        // Once the file can be written again the same entry saves.
        QVERIFY(QDir().rmdir(file));
        f.w->saveButton()->click();
        QCOMPARE(f.tp.sounds.beeps(), 1);
        QCOMPARE(f.cell(2, 2), QStringLiteral("Gong"));
    }

    void folderNameTheCodePageCannotHoldStillSaves() {
        // The program lies in "café": the default list and a wave chosen beside the program
        // are stored by file name, so saving works.
        QTemporaryDir parent;
        QVERIFY(QDir(parent.path()).mkdir(QStringLiteral("café")));
        const QString folder = QDir(parent.path()).filePath(QStringLiteral("café"));
        WindowFixture f(folder);
        f.registerWindow<SoundSettingsWindow>(WindowId::SoundSettings);
        QVERIFY(f.state.loadSoundTable());
        auto* w = f.open<SoundSettingsWindow>(WindowId::SoundSettings);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClicks(w->numberBox(), QStringLiteral("2"));
        QTest::keyClick(w->numberBox(), Qt::Key_Return);
        // A wave dash as Linux input methods type it.
        QInputMethodEvent e;
        e.setCommitString(QString::fromUtf16(u"ゴング\u301C"));
        QCoreApplication::sendEvent(w->nameBox(), &e);
        QTest::keyClick(w->nameBox(), Qt::Key_Return);
        f.tp.files.answers = {QDir(folder).filePath(QStringLiteral("gong.wav"))};
        w->chooseFileButton()->click();
        QCOMPARE(w->fileLabel()->text(), QStringLiteral("gong.wav"));
        w->saveButton()->click();
        QVERIFY(f.tp.messages.shown.isEmpty());
        QCOMPARE(f.tp.sounds.beeps(), 1);
        QFile file(f.state.programFile(QString::fromLatin1(kSoundsFile)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("2,\"" + *encodeCp932(QString::fromUtf16(u"ゴング\uFF5E")) +
                               "\",\"gong.wav\"\r\n"));
        QCOMPARE(f.state.wavePath(2), joinPath(folder, QStringLiteral("gong.wav")));
    }

    void reopeningStartsWithNothingPending() {
        Fixture f;
        f.enter(QStringLiteral("3"), QStringLiteral("Bell"));
        f.w->backButton()->click();
        QCOMPARE(f.wm.current()->windowId(), WindowId::Timer);
        f.w = nullptr;
        f.w = static_cast<SoundSettingsWindow*>(
            f.wm.switchTo(WindowId::SoundSettings, f.wm.current()));
        QCOMPARE(f.w->numberLabel()->text(), QString());
        f.w->saveButton()->click();
        QCOMPARE(f.tp.messages.lastText(), QStringLiteral("ＮＯを入力してください！"));
        QCOMPARE(f.state.soundTable()[2].name(), QStringLiteral("時間"));
    }

    // "(", "&" and "." share their numbers with the Down, Up and Delete keys of another
    // platform; here they are only characters typed into the box.
    void punctuationIsTyped() {
        Fixture f;
        f.enter(u"3"_s, u"Bell"_s);
        QTest::mouseClick(f.w->numberCaption(), Qt::LeftButton);
        QTest::keyClick(f.w->numberBox(), '.');
        QCOMPARE(f.w->numberBox()->text(), u"."_s);
        QCOMPARE(f.w->numberLabel()->text(), u"3"_s);
        QCOMPARE(f.w->pending().entryNumber(), 3);
        QTest::mouseClick(f.w->nameCaption(), Qt::LeftButton);
        for (char typed : {'(', '&'})
            QTest::keyClick(f.w->nameBox(), typed);
        QVERIFY(f.w->nameBox()->isVisible());
        QCOMPARE(f.w->nameBox()->text(), u"(&"_s);
        QCOMPARE(f.w->nameLabel()->text(), u"Bell"_s);
    }

    void help() {
        Fixture f;
        f.c<QAction>("M31")->trigger();
        f.c<QToolBar>("Toolbar1")->actions().at(0)->trigger();
        QCOMPARE(f.tp.help.displays, 2);
        QCOMPARE(f.state.helpOpened(), true);
    }
};

QTEST_MAIN(TstSoundSettingsWindow)
#include "tst_sound_settings_window.moc"
