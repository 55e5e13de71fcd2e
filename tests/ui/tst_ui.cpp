// SPDX-License-Identifier: MIT
#include "ui/click_label.h"
#include "ui/clock.h"
#include "ui/clock_ticker.h"
#include "ui/dialogs.h"
#include "ui/focus_style.h"
#include "ui/fonts.h"
#include "ui/palette.h"
#include "ui/pictures.h"
#include "ui/placement.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>

using namespace qz;

namespace {
struct NamedIcon {
    const char* name;
    QIcon (*make)();
};
constexpr NamedIcon kToolbarIcons[] = {{"open", openIcon},
                                       {"save", saveIcon},
                                       {"print", printIcon},
                                       {"calculator", calculatorIcon},
                                       {"help", helpIcon}};
} // namespace

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

    // The program draws the group box frame itself (no image plugins); it must look exactly as
    // the style would draw it.
    void groupBoxFrameAsTheStyleDrawsIt_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("checkable");
        QTest::newRow("titled") << QStringLiteral("現在時間") << false;
        QTest::newRow("untitled") << QString() << false;
        QTest::newRow("checkable") << QString() << true;
    }
    void groupBoxFrameAsTheStyleDrawsIt() {
        QFETCH(QString, title);
        QFETCH(bool, checkable);
        std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
        QVERIFY(fusion);
        installFocusMarks();
        const auto picture = [&](QStyle* style) {
            QGroupBox box(title);
            box.setCheckable(checkable);
            if (style) box.setStyle(style);
            box.resize(160, 90);
            return box.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        };
        const QImage own = picture(nullptr);
        const QImage styles = picture(fusion.get());
        QCOMPARE(own.size(), styles.size());
        QVERIFY(own == styles);
    }

    // The program puts the focus on buttons itself (a ringing row's "停止"); the mark must show
    // before any key has moved the focus in the window.
    void focusGivenByTheProgramIsMarked_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("button") << QStringLiteral("button");
        QTest::newRow("check box") << QStringLiteral("check");
        QTest::newRow("option button") << QStringLiteral("radio");
    }
    void focusGivenByTheProgramIsMarked() {
        QFETCH(QString, kind);
        installFocusMarks();
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* edit = new QLineEdit;
        QAbstractButton* button = nullptr;
        if (kind == QLatin1String("button")) button = new QPushButton(QStringLiteral("停止"));
        if (kind == QLatin1String("check")) button = new QCheckBox(QStringLiteral("ON"));
        if (kind == QLatin1String("radio")) button = new QRadioButton(QStringLiteral("通常表示"));
        layout->addWidget(edit);
        layout->addWidget(button);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus(Qt::OtherFocusReason);
        const QImage unfocused = button->grab().toImage();
        button->setFocus(Qt::OtherFocusReason);
        QVERIFY(button->hasFocus());
        QVERIFY(!window.testAttribute(Qt::WA_KeyboardFocusChange));
        QVERIFY(button->grab().toImage() != unfocused);
    }

    // The launcher's picture is drawn on another thread as soon as it is given, once, and the
    // first paint shows it as drawn; a new size draws it again.
    void drawnPictureIsDrawnAside() {
        std::atomic<int> drawn = 0;
        std::atomic<QThread*> firstDrawnOn = nullptr;
        ClickLabel label;
        label.resize(40, 30);
        label.setDrawnPicture([&](QSize size) {
            QThread* none = nullptr;
            firstDrawnOn.compare_exchange_strong(none, QThread::currentThread());
            ++drawn;
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::red);
            return image;
        });
        const QImage first = label.grab().toImage();
        QCOMPARE(drawn.load(), 1);
        QVERIFY(firstDrawnOn.load() != QThread::currentThread());
        QCOMPARE(first.pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(first.pixelColor(39, 29), QColor(Qt::red));
        label.grab();
        QCOMPARE(drawn.load(), 1);
        label.resize(50, 30);
        QCOMPARE(label.grab().toImage().pixelColor(49, 29), QColor(Qt::red));
        QCOMPARE(drawn.load(), 2);
    }

    // The toolbar's pictures are drawn in code: each one must come out as a picture of its own
    // on a clear ground, not blank and not another one's.
    void toolbarIconsAreDrawn_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kToolbarIcons)); ++i)
            QTest::newRow(kToolbarIcons[i].name) << i;
    }

    void toolbarIconsAreDrawn() {
        QFETCH(int, index);
        const QImage image = kToolbarIcons[index].make().pixmap(32, 32).toImage();
        QCOMPARE(image.size(), QSize(32, 32));
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        QVERIFY(image.pixelColor(16, 20).alpha() > 0);
        for (int other = 0; other < int(std::size(kToolbarIcons)); ++other)
            if (other != index)
                QVERIFY2(kToolbarIcons[other].make().pixmap(32, 32).toImage() != image,
                         kToolbarIcons[other].name);
    }

    void colorsAreBlueGreenRed() {
        QCOMPARE(vbColor(0x000000FF), QColor(255, 0, 0));
        QCOMPARE(vbColor(0x0080FF80), QColor(128, 255, 128));
        QCOMPARE(vbColor(0x00800000), QColor(0, 0, 128));
        QCOMPARE(vbColor(0x0000FFFF), QColor(255, 255, 0));
    }

    void twipsFollowTheScreen() {
        const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
        QCOMPARE(twips(1440), qRound(dpi));
        QCOMPARE(twipsRect(0, 1440, 720, 0), QRect(0, qRound(dpi), qRound(dpi / 2), 0));
    }

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
};

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
