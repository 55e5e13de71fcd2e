// SPDX-License-Identifier: MIT
#include "ui/clock.h"
#include "ui/clock_ticker.h"
#include "ui/dbus_notifier.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"
#include "ui/placement.h"
#include "ui/start_up_warm_up.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QIcon>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace qz;
using namespace Qt::StringLiterals;

class TestUi : public QObject {
    Q_OBJECT

  private slots:
    void clockTexts_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("weekday");
        QTest::addColumn<int>("number");
        QTest::newRow("sunday") << QDate(2010, 11, 7) << "日曜日" << 1;
        QTest::newRow("monday") << QDate(2010, 11, 8) << "月曜日" << 2;
        QTest::newRow("saturday") << QDate(2010, 11, 13) << "土曜日" << 7;
    }
    void clockTexts() {
        QFETCH(QDate, date);
        QFETCH(QString, weekday);
        QFETCH(int, number);
        QCOMPARE(weekdayName(date), weekday);
        QCOMPARE(weekdayNumber(date), number);
        QCOMPARE(dateText(date), date.toString(QStringLiteral("yyyy/MM/dd")));
        QCOMPARE(timeText(QTime(7, 5, 9)), QStringLiteral("07:05:09"));
        QCOMPARE(secondsSinceMidnight(QTime(7, 30, 0, 250)), 27000.25);
    }

    void oneInstalledFamilyIsRequested_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("expected");
        const QStringList none;
        QTest::newRow("windows faces")
            << QStringList{QStringLiteral("ms pgothic"), QStringLiteral("Arial")}
            << QStringList{QStringLiteral("MS PGothic")};
        QTest::newRow("free faces")
            << QStringList{QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic")}
            << QStringList{QStringLiteral("IPAPGothic")};
        // None of them: the list stays as it is, for Qt's own substitutes.
        QTest::newRow("none") << none
                              << QStringList{QStringLiteral("ＭＳ Ｐゴシック"),
                                             QStringLiteral("MS PGothic"),
                                             QStringLiteral("IPAPGothic"),
                                             QStringLiteral("Noto Sans CJK JP")};
    }
    void oneInstalledFamilyIsRequested() {
        QFETCH(QStringList, installed);
        QFETCH(QStringList, expected);
        const QStringList preferred = {QStringLiteral("ＭＳ Ｐゴシック"),
                                       QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                                       QStringLiteral("Noto Sans CJK JP")};
        QCOMPARE(familiesToRequest(preferred, installed), expected);
    }

    // However a start ends (it shows windows, it hands over to a running program, or it ends
    // before it knows), the warm-up's thread ends with it: a thread left waiting for the word
    // would hold the program's exit for ever.
    void fontWarmUpEndsWithTheStart_data() {
        QTest::addColumn<bool>("fill");
        QTest::addColumn<bool>("finish");
        QTest::newRow("windows show") << true << true;
        QTest::newRow("hands over") << false << true;
        QTest::newRow("ends before it knows") << false << false;
    }
    void fontWarmUpEndsWithTheStart() {
        QFETCH(bool, fill);
        QFETCH(bool, finish);
        {
            FontWarmUp warmUp;
            if (fill) warmUp.fillFontDatabase();
            if (finish) warmUp.finish();
        }
        QVERIFY(QFontDatabase::families().size() > 0);
    }

    // The program draws the group box frame itself (no image plugins); it must look exactly as
    // the style would draw it.
    void twipsFollowTheScreen() {
        const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
        QCOMPARE(twips(1440), qRound(dpi));
        QCOMPARE(twipsRect(0, 1440, 720, 0), QRect(0, qRound(dpi), qRound(dpi / 2), 0));
    }

    // Each record makes a control of its kind under its name, in its parent, at its place in
    // twips and with the look it asks for; what it leaves out keeps Qt's own.
    void fileFiltersMatchAnyLetterCase() {
        const QString f = qtNameFilter(QStringLiteral("音源ﾌｧｲﾙ(*.WAV)|*.WAV"));
        QVERIFY(f.startsWith(QStringLiteral("音源ﾌｧｲﾙ(*.WAV) (")));
        const QString pattern = f.section(u'(', -1).chopped(1);
        const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern));
        for (const char* name : {"ﾍﾞﾙ.WAV", "bell.wav", "x.Wav"})
            QVERIFY2(re.match(QString::fromUtf8(name)).hasMatch(), name);
        QVERIFY(!re.match(QStringLiteral("x.mp3")).hasMatch());
    }

    void fileDialogTypeColumn_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::newRow("folder") << QStringLiteral("sub") << QStringLiteral("ファイル フォルダー");
        QTest::newRow("wave") << QStringLiteral("ring.wav") << QStringLiteral("WAV ファイル");
        QTest::newRow("no suffix") << QStringLiteral("README") << QStringLiteral("ファイル");
    }

    void fileDialogTypeColumn() {
        QFETCH(QString, name);
        QFETCH(QString, type);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        for (const char* file : {"ring.wav", "README"}) {
            QFile f(dir.filePath(QString::fromLatin1(file)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QFileDialog dialog(nullptr, QString(), dir.path());
        prepareFileDialog(dialog, QStringLiteral("すべて|*"), false);
        dialog.show();
        const auto* model = dialog.findChild<QFileSystemModel*>();
        QVERIFY(model);
        QTRY_COMPARE(model->type(model->index(dir.filePath(name))), type);
    }

    void savedNameTakesTheTypesExtension_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        const QString sheet = u"時間計算ﾌｧｲﾙ (*.TIM)|*.TIM"_s;
        QTest::newRow("no extension") << sheet << u"SHOT"_s << u"SHOT.TIM"_s;
        QTest::newRow("its extension") << sheet << u"shot.tim"_s << u"shot.tim"_s;
        QTest::newRow("any file") << u"すべて|*"_s << u"SHOT"_s << u"SHOT"_s;
    }
    void savedNameTakesTheTypesExtension() {
        QFETCH(QString, filter);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QTemporaryDir dir;
        QFileDialog dialog(nullptr, QString(), dir.path());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        prepareFileDialog(dialog, filter, true);
        dialog.selectFile(typed);
        QCOMPARE(QFileInfo(dialog.selectedFiles().value(0)).fileName(), saved);
    }

    // The icon theme is read for the first box only: a box after the theme changed still shows
    // the icon of the first.
    void messageBoxIconsAreLookedUpOnce() {
        QTemporaryDir dir;
        for (const auto& [name, colour] :
             {std::pair{"red", Qt::red}, std::pair{"blue", Qt::blue}}) {
            const QString folder = dir.filePath(QString::fromLatin1(name));
            QVERIFY(QDir().mkpath(folder + QStringLiteral("/48x48/status")));
            QFile index(folder + QStringLiteral("/index.theme"));
            QVERIFY(index.open(QIODevice::WriteOnly));
            index.write("[Icon Theme]\nName=probe\nDirectories=48x48/status\n\n"
                        "[48x48/status]\nSize=48\nType=Scalable\nMinSize=8\nMaxSize=512\n");
            QPixmap pixmap(48, 48);
            pixmap.fill(colour);
            QVERIFY(pixmap.save(folder + QStringLiteral("/48x48/status/dialog-question.png")));
        }
        const QStringList searchPaths = QIcon::themeSearchPaths();
        const QString themeName = QIcon::themeName();
        QIcon::setThemeSearchPaths({dir.path()});
        QList<QColor> seen;
        QtMessageBoxes boxes;
        for (const char* theme : {"red", "blue"}) {
            QIcon::setThemeName(QString::fromLatin1(theme));
            QTimer::singleShot(0, this, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                const QImage icon = box->iconPixmap().toImage();
                seen << icon.pixelColor(icon.width() / 2, icon.height() / 2);
                box->button(QMessageBox::No)->click();
            });
            QVERIFY(
                !boxes.confirm(nullptr, QStringLiteral("印刷しますか？"), QStringLiteral("印刷")));
        }
        QIcon::setThemeSearchPaths(searchPaths);
        QIcon::setThemeName(themeName);
        QCOMPARE(seen, (QList<QColor>{QColor(Qt::red), QColor(Qt::red)}));
    }

    void tickerFiresAtOnceThenFollowsTheClock() {
        SystemClock clock;
        ClockTicker t(clock, QStringLiteral("Timer1"), nullptr);
        QSignalSpy spy(&t, &ClockTicker::timeout);
        t.setEnabled(true);
        QVERIFY(spy.wait(200));
        // The next tick comes just after the next second boundary, whenever that is.
        QVERIFY(spy.wait(1500));
        const QTime at = clock.now().time();
        QVERIFY2(at.msec() < 500, qPrintable(at.toString(QStringLiteral("ss.zzz"))));
        t.setEnabled(false);
        const int count = spy.count();
        QTest::qWait(1100);
        QCOMPARE(spy.count(), count);
    }

    // What the desktop's notification service is asked to show for a ring.
    void ringNotificationAsTyped_data() {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("body");
        const QStringList markup{u"actions"_s, u"body"_s, u"body-markup"_s};
        const QStringList plain{u"actions"_s, u"body"_s};
        const QString memo = u"<b>会議</b> & A&amp;B <資料"_s;
        QTest::newRow("markup service") << markup << memo
                                        << u"&lt;b&gt;会議&lt;/b&gt; &amp; "
                                           "A&amp;amp;B &lt;資料"_s;
        QTest::newRow("plain service") << plain << memo << memo;
        QTest::newRow("service not known yet") << QStringList() << memo << memo;
        QTest::newRow("row without memo") << markup << u"3行目のお知らせ"_s << u"3行目のお知らせ"_s;
    }
    void ringNotificationAsTyped() {
        QFETCH(QStringList, capabilities);
        QFETCH(QString, text);
        QFETCH(QString, body);
        const QVariantList args = notifyArguments(u"お知らせタイマー"_s, text, capabilities);
        QCOMPARE(args.size(), 8);
        QCOMPARE(args[0].toString(), u"ＱＺタイマー"_s);
        QCOMPARE(args[3].toString(), u"お知らせタイマー"_s);
        QCOMPARE(args[4].toString(), body);
        // A click on the bubble, and its "停止".
        QCOMPARE(args[5].toStringList(),
                 (QStringList{u"default"_s, u"表示"_s, u"stop"_s, u"停止"_s}));
        QCOMPARE(args[6].toMap().value(u"suppress-sound"_s), QVariant(true));
        QCOMPARE(args[6].toMap().value(u"resident"_s), QVariant(true));
        // Up for the whole ring: it is withdrawn when the ring ends.
        QCOMPARE(args[7].toInt(), 0);
    }
};

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
