// SPDX-License-Identifier: MIT
#include "calc_elapsed/elapsed_time_window.h"
#include "calc_elapsed/tmk_file.h"

#include "audio/sound_player.h"
#include "files/cp932.h"
#include "tests/support/window_fixture.h"
#include "ui/clock.h"
#include "ui/dialogs.h"
#include "ui/placement.h"
#include "ui/platform.h"
#include "ui/printing/printing.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWheelEvent>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace qz;
using namespace Qt::StringLiterals;

namespace {

// One elapsed-time window opened the way the launcher opens it, on a test platform.
struct Fixture : WindowFixture {
    Fixture() {
        tp.clock.set(QDateTime(QDate(2010, 11, 8), QTime(9, 0)));
        wm.registerWindow(WindowId::CalcElapsed,
                          [](AppContext& c) { return new ElapsedTimeWindow(c); });
        w = static_cast<ElapsedTimeWindow*>(wm.switchTo(WindowId::CalcElapsed, nullptr));
        if (!QTest::qWaitForWindowActive(w)) qWarning("window not active");
    }
    template <class T = QWidget> T* get(const char* name) {
        T* c = w->findChild<T*>(QLatin1String(name));
        if (!c) qWarning("no control %s", name);
        return c;
    }
    QLineEdit* start() { return w->startBox(); }
    QLineEdit* end() { return w->endBox(); }
    QTableWidget* grid() { return w->grid(); }
    QString cell(int row, int col) { return grid()->item(row - 1, col)->text(); }
    QString total() { return w->totalLabel()->text(); }
    QWidget* focus() { return QApplication::focusWidget(); }
    // Types into the box that has the focus and presses Enter.
    void type(const QString& text) {
        QWidget* box = focus();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    void key(Qt::Key k) { QTest::keyClick(focus(), k); }
    int boxTopTwips() { return qRound(start()->y() * 1440.0 / start()->logicalDpiY()); }
    QString messages() {
        QStringList out;
        for (const auto& m : tp.messages.shown)
            out << m.text;
        return out.join(u'|');
    }
    void trigger(const char* action) { get<QAction>(action)->trigger(); }
    // Turns the mouse wheel over the grid; a positive count scrolls down.
    void wheel(int notches) {
        QWidget* vp = grid()->viewport();
        const QPointF at = vp->rect().center();
        QWheelEvent e(at, vp->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(vp, &e);
    }
    int topRow() { return grid()->verticalScrollBar()->value() + 1; }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }

    ElapsedTimeWindow* w = nullptr;
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

class TstElapsedTimeWindow : public QObject {
    Q_OBJECT
  private slots:
    void captions_data();
    void captions();
    void menusAndToolbar();
    void layoutAndGrid();
    void dayFilledWithKeys();
    void refusals_data();
    void refusals();
    void pasteKeepsTheFirstLine();
    void arrowsDropTypedText_data();
    void arrowsDropTypedText();
    void deleteClearsTheRow();
    void cursorScrollsAndScrollingHides();
    void keysWhileTheBoxesAreHiddenReachNoButton_data();
    void keysWhileTheBoxesAreHiddenReachNoButton();
    void gridClickMovesTheBoxes();
    void resetKeepsTheSavedDate();
    void saveRefusals();
    void saveWritesTheFile();
    void saveFailureKeepsTheOldFile();
    void loadShowsTheFile();
    void loadAndSaveKeepsTheBytes();
    void loadFailuresKeepTheSheet_data();
    void loadFailuresKeepTheSheet();
    void printing();
    void printPanelKeys_data();
    void printPanelKeys();
    void printWithoutPrinterOffersPdf();
    void shortcutsReachTheMenusFromTheBoxes_data();
    void shortcutsReachTheMenusFromTheBoxes();
    void leaving();
};

void TstElapsedTimeWindow::captions_data() {
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("caption");
    using W = ElapsedTimeWindow;
    const QList<std::tuple<const char*, W::Role, const char*>> rows = {
        {"reset", W::Reset, "ﾘｾｯﾄ"},
        {"menu", W::Menu, "ﾒﾆｭｰへ"},
        {"exit", W::Exit, "終了"},
        {"print OK", W::PrintOk, "OK"},
        {"print cancel", W::PrintCancel, "ｷｬﾝｾﾙ"},
        {"print question", W::PrintQuestion, "内容を印刷しますか？"},
        {"total caption", W::TotalCaption, "合計："},
        {"date caption", W::DateCaption, "日付："},
        {"title caption", W::TitleCaption, "タイトル："},
        {"file name caption", W::FileNameCaption, "ﾌｧｲﾙ名："},
    };
    for (const auto& [row, role, caption] : rows)
        QTest::newRow(row) << int(role) << QString::fromUtf8(caption);
}

void TstElapsedTimeWindow::captions() {
    QFETCH(int, role);
    QFETCH(QString, caption);
    Fixture f;
    QCOMPARE(f.w->objectName(), u"KEIKA"_s);
    QCOMPARE(f.w->windowTitle(), u"時間経過計算"_s);
    QWidget* c = f.w->control(ElapsedTimeWindow::Role(role));
    QVERIFY(c);
    if (auto* b = qobject_cast<QPushButton*>(c))
        QCOMPARE(b->text(), caption);
    else
        QCOMPARE(qobject_cast<QLabel*>(c)->text(), caption);
}

void TstElapsedTimeWindow::menusAndToolbar() {
    Fixture f;
    const QList<std::tuple<const char*, const char*, const char*>> items = {
        {"M11", "ﾌｧｲﾙを開く(&O)", "Ctrl+O"}, {"M12", "名前を付けて保存(&S)", "Ctrl+S"},
        {"M15", "印刷(&P)", "Ctrl+P"},       {"M14", "終了(&E)", "Ctrl+E"},
        {"M21", "QZ電卓(&D)", "Ctrl+D"},     {"M31", "ﾍﾙﾌﾟ(&H)", "Ctrl+H"}};
    for (const auto& [name, caption, keys] : items) {
        QAction* a = f.get<QAction>(name);
        QCOMPARE(a->text(), QString::fromUtf8(caption));
        QCOMPARE(a->shortcut(), QKeySequence(QString::fromLatin1(keys)));
    }
    QVERIFY(f.get<QAction>("M16")->isSeparator());
    QVERIFY(f.get<QAction>("M13")->isSeparator());
    QCOMPARE(f.get<QMenu>("M1")->title(), u"ﾌｧｲﾙ(&F)"_s);
    QCOMPARE(f.get<QMenu>("M2")->title(), u"ﾂｰﾙ(&T)"_s);
    QCOMPARE(f.get<QMenu>("M3")->title(), u"ﾍﾙﾌﾟ(&H)"_s);
    const QStringList tips = {u"ﾌｧｲﾙを開く"_s, u"名前を付けて保存"_s, u"印刷"_s, u"QZ電卓"_s,
                              u"ﾍﾙﾌﾟ"_s};
    for (int i = 1; i <= 5; ++i)
        QCOMPARE(f.get<QAction>(qPrintable(u"Toolbar1_%1"_s.arg(i)))->toolTip(), tips[i - 1]);
    // Buttons 4 and 5: the calculator and help.
    f.get<QAction>("Toolbar1_4")->trigger();
    QCOMPARE(f.tp.calculator.folders, QStringList{f.dir.path()});
    f.get<QAction>("Toolbar1_5")->trigger();
    QCOMPARE(f.tp.help.displays, 1);
    QCOMPARE(f.state.helpOpened(), true);
    // Button 3 asks to print; button 1 opens (here cancelled), button 2 saves (refused: empty).
    f.get<QAction>("Toolbar1_3")->trigger();
    QVERIFY(f.w->printPanel()->isVisible());
    f.get<QAction>("Toolbar1_2")->trigger();
    QCOMPARE(f.messages(), u"データがないので保存できません！"_s);
    f.get<QAction>("Toolbar1_1")->trigger();
    QCOMPARE(f.tp.files.asked.size(), 1);
    QCOMPARE(f.tp.files.asked[0].filter, u"経過時間計算ﾌｧｲﾙ(*.TMK)|*.TMK"_s);
    QCOMPARE(f.tp.files.asked[0].initialFolder, f.dir.path());
}

void TstElapsedTimeWindow::layoutAndGrid() {
    Fixture f;
    QCOMPARE(f.w->centralWidget()->palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xFF));
    QCOMPARE(f.w->sheetFrame()->palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xFF));
    QCOMPARE(f.w->sheetFrame()->geometry(), twipsRect(120, 1065, 5000, 5960));
    QCOMPARE(f.grid()->geometry(), twipsRect(120, 360, 4760, 5140));
    QCOMPARE(f.start()->geometry(), twipsRect(700, 660, 550, 200));
    QCOMPARE(f.end()->geometry(), twipsRect(1890, 660, 550, 200));
    QCOMPARE(f.w->dateBox()->geometry(), twipsRect(3720, 120, 1335, 270));
    QCOMPARE(f.w->fileNameLabel()->geometry(), twipsRect(960, 765, 4095, 270));
    QCOMPARE(f.w->exitButton()->geometry(), twipsRect(4200, 7800, 855, 300));
    QCOMPARE(f.w->printPanel()->geometry(), twipsRect(0, 0, 2415, 1095));
    QVERIFY(!f.w->printPanel()->isVisible());
    QCOMPARE(f.grid()->rowCount(), 70);
    QCOMPARE(f.grid()->columnCount(), 4);
    const QStringList headers = {u"NO"_s, u"開始時間"_s, u"終了時間"_s, u"経過時間"_s};
    for (int c = 0; c < 4; ++c) {
        QCOMPARE(f.grid()->horizontalHeaderItem(c)->text(), headers[c]);
        QCOMPARE(f.grid()->columnWidth(c), twips(QList<int>{500, 1200, 1200, 1500}[c]));
    }
    QCOMPARE(f.cell(1, 0), u"1"_s);
    QCOMPARE(f.cell(70, 0), u"70"_s);
    // Twenty rows are visible at once: the top row goes from 1 to 51.
    QCOMPARE(f.grid()->verticalScrollBar()->maximum(), 50);
    QCOMPARE(f.w->hintLabel()->text(),
             QString(" ● 時と分の間は必ず ｢：｣or ｢．｣を入れて下さい\n"
                     u"　　例：午後１時15分＝13:15　　８時５分＝08.05 or 8.5"_s));
    QCOMPARE(f.w->dateBox()->text(), u"2010/11/08"_s);
    QCOMPARE(f.total(), QString());
    QCOMPARE(f.focus(), f.start());
}

void TstElapsedTimeWindow::dayFilledWithKeys() {
    Fixture f;
    f.type(u"8.30"_s);
    QCOMPARE(f.focus(), f.end());
    QCOMPARE(f.cell(1, 1), u"08:30"_s);
    QCOMPARE(f.start()->text(), QString());
    f.type(u"17:15"_s);
    QCOMPARE(f.cell(1, 2), u"17:15"_s);
    QCOMPARE(f.cell(1, 3), u"08:45"_s);
    QCOMPARE(f.total(), u"08:45"_s);
    QCOMPARE(f.focus(), f.start());
    QCOMPARE(f.boxTopTwips(), 900); // row 2
    f.type(u"9"_s);
    f.type(u"24"_s);
    QCOMPARE(f.cell(2, 3), u"15:00"_s);
    f.type(u"0"_s);
    f.type(u"24"_s);
    QCOMPARE(f.cell(3, 3), u"24:00"_s);
    QCOMPARE(f.total(), u"47:45"_s);
    QCOMPARE(f.grid()->currentRow(), 3); // the fourth row, counted from 0
    QVERIFY(f.messages().isEmpty());
    // Enter on an empty start box of a row with a start goes on to its end without a word.
    f.key(Qt::Key_Up);
    QCOMPARE(f.focus(), f.start());
    f.key(Qt::Key_Return);
    QCOMPARE(f.focus(), f.end());
    QVERIFY(f.messages().isEmpty());
    // ... and Enter on its empty end confirms the stored end again.
    f.key(Qt::Key_Return);
    QCOMPARE(f.cell(3, 2), u"24:00"_s);
    QCOMPARE(f.focus(), f.start());
    QVERIFY(f.messages().isEmpty());
}

void TstElapsedTimeWindow::refusals_data() {
    QTest::addColumn<bool>("inEnd");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("start 24") << false << "24"
                              << "時間が対象外";
    QTest::newRow("start 7:60") << false << "7:60"
                                << "時間が対象外";
    QTest::newRow("start 1315") << false << "1315"
                                << "時と分の間は、｢ ．｣もしくは｢ ： ｣を入れて入力して下さい。\r\n"
                                   "入力例：　６時35分＝ 6.35　　午後２時８分＝ 14:08";
    QTest::newRow("start 8a:30") << false << "8a:30"
                                 << "時間を　「時:分」　の形で入力して下さい。例：07:02　13.5 等";
    QTest::newRow("start after end") << false << "18"
                                     << "時間が逆転！";
    QTest::newRow("end -5") << true << "-5"
                            << "時間を　「時:分」　の形で入力して下さい。例：07:02　13.5 等";
    QTest::newRow("end 12.3.4") << true << "12.3.4"
                                << "時間を　「時:分」　の形で入力して下さい。例：07:02　13.5 等";
    QTest::newRow("end 25") << true << "25"
                            << "時と分の間は、｢ ．｣もしくは｢ ： ｣を入れて入力して下さい。\r\n"
                               "入力例：　６時35分＝ 6.35　　午後２時８分＝ 14:08";
    QTest::newRow("end before start") << true << "7.59"
                                      << "時間が逆転！";
}

// Of a column pasted into a box only the first line is the time.
void TstElapsedTimeWindow::pasteKeepsTheFirstLine() {
    Fixture f;
    QApplication::clipboard()->setText(u"８.30\r\n17.00\r\n"_s);
    QTest::keyClick(f.start(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.start()->text(), u"８.30"_s);
    f.key(Qt::Key_Return);
    QCOMPARE(f.cell(1, 1), u"08:30"_s);
}

void TstElapsedTimeWindow::refusals() {
    QFETCH(bool, inEnd);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Fixture f;
    f.type(u"8"_s);
    f.type(u"17"_s);
    f.key(Qt::Key_Up); // back on row 1: 08:00 to 17:00
    if (inEnd) f.key(Qt::Key_Right);
    QLineEdit* box = inEnd ? f.end() : f.start();
    QCOMPARE(f.focus(), box);
    f.type(typed);
    QCOMPARE(f.messages(), message);
    QCOMPARE(f.tp.messages.shown.last().title, u"Check"_s);
    QCOMPARE(box->text(), QString());
    QCOMPARE(f.focus(), box);
    QCOMPARE(f.cell(1, 1), u"08:00"_s);
    QCOMPARE(f.cell(1, 2), u"17:00"_s);
    QCOMPARE(f.cell(1, 3), u"09:00"_s);
    QCOMPARE(f.total(), u"09:00"_s);
    QCOMPARE(f.boxTopTwips(), 660);
}

void TstElapsedTimeWindow::arrowsDropTypedText_data() {
    QTest::addColumn<bool>("inEnd");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("focusEnd");
    QTest::newRow("start down") << false << int(Qt::Key_Down) << 6 << false;
    QTest::newRow("start up") << false << int(Qt::Key_Up) << 4 << false;
    QTest::newRow("start right") << false << int(Qt::Key_Right) << 5 << true;
    QTest::newRow("start left") << false << int(Qt::Key_Left) << 4 << true;
    QTest::newRow("end up") << true << int(Qt::Key_Up) << 4 << true;
    QTest::newRow("end down") << true << int(Qt::Key_Down) << 6 << true;
    QTest::newRow("end right") << true << int(Qt::Key_Right) << 6 << false;
    QTest::newRow("end left") << true << int(Qt::Key_Left) << 5 << false;
}

void TstElapsedTimeWindow::arrowsDropTypedText() {
    QFETCH(bool, inEnd);
    QFETCH(int, key);
    QFETCH(int, row);
    QFETCH(bool, focusEnd);
    Fixture f;
    for (int i = 0; i < 4; ++i)
        f.key(Qt::Key_Down);
    if (inEnd) f.key(Qt::Key_Right);
    QLineEdit* box = inEnd ? f.end() : f.start();
    QTest::keyClicks(box, u"12.34"_s);
    QCOMPARE(f.grid()->currentColumn(), inEnd ? 2 : 1);
    f.key(Qt::Key(key));
    QCOMPARE(f.focus(), focusEnd ? f.end() : f.start());
    QCOMPARE(f.start()->text(), QString());
    QCOMPARE(f.end()->text(), QString());
    QCOMPARE(f.boxTopTwips(), 420 + 240 * row);
    QCOMPARE(f.grid()->currentRow(), row - 1);
    for (int r = 1; r <= 7; ++r)
        QCOMPARE(f.cell(r, 1) + f.cell(r, 2), QString());
    // Row 1 and row 70 are the limits.
    Fixture g;
    g.key(Qt::Key_Up);
    QCOMPARE(g.boxTopTwips(), 660);
    g.key(Qt::Key_Left);
    QCOMPARE(g.focus(), g.end());
    QCOMPARE(g.boxTopTwips(), 660);
}

void TstElapsedTimeWindow::deleteClearsTheRow() {
    Fixture f;
    f.type(u"8"_s);
    f.type(u"9.30"_s);
    f.type(u"10"_s);
    f.type(u"10.45"_s);
    QCOMPARE(f.total(), u"02:15"_s);
    f.key(Qt::Key_Up);
    f.key(Qt::Key_Up);
    f.key(Qt::Key_Delete);
    QCOMPARE(f.cell(1, 1) + f.cell(1, 2) + f.cell(1, 3), QString());
    QCOMPARE(f.total(), u"00:45"_s);
    QCOMPARE(f.w->sheet().row(1), (SheetRow{QString(), QString(), QString(), 0}));
    QCOMPARE(f.focus(), f.start());
    // An end typed on the cleared row counts from midnight.
    f.key(Qt::Key_Right);
    f.type(u"0.30"_s);
    QCOMPARE(f.cell(1, 3), u"00:30"_s);
    QCOMPARE(f.total(), u"01:15"_s);
}

void TstElapsedTimeWindow::cursorScrollsAndScrollingHides() {
    Fixture f;
    QScrollBar* bar = f.grid()->verticalScrollBar();
    for (int i = 0; i < 19; ++i)
        f.key(Qt::Key_Down);
    QCOMPARE(f.boxTopTwips(), 420 + 240 * 20);
    QCOMPARE(bar->value(), 0);
    f.key(Qt::Key_Down); // row 21: the grid scrolls to top row 2
    QCOMPARE(bar->value(), 1);
    QCOMPARE(f.boxTopTwips(), 420 + 240 * 20);
    for (int i = 0; i < 60; ++i)
        f.key(Qt::Key_Down);
    QCOMPARE(bar->value(), 50); // row 70, top row 51
    QCOMPARE(f.grid()->currentRow(), 69);
    f.type(u"23.59"_s);
    f.type(u"24"_s);
    QCOMPARE(f.cell(70, 3), u"00:01"_s);
    QCOMPARE(f.grid()->currentRow(), 69); // Enter on row 70 stays on row 70
    // Scrolling the cursor row out of view hides the boxes; back in view shows them.
    bar->setValue(20);
    QVERIFY(!f.start()->isVisible());
    QVERIFY(!f.end()->isVisible());
    bar->setValue(45); // rows 46..65
    QVERIFY(!f.start()->isVisible());
    bar->setValue(51 - 1 - 10); // top row 41: rows 41..60
    QVERIFY(!f.start()->isVisible());
    bar->setValue(50);
    QVERIFY(f.start()->isVisible());
    QCOMPARE(f.focus(), f.start());
    QCOMPARE(f.boxTopTwips(), 420 + 240 * 20);
    // Up from the top row of the view scrolls so that the new row is the top row.
    f.grid()->verticalScrollBar()->setValue(30); // hides: row 70 is below rows 31..50
    f.grid()->verticalScrollBar()->setValue(50);
    for (int i = 0; i < 20; ++i)
        f.key(Qt::Key_Up);
    QCOMPARE(bar->value(), 49); // row 50 on top
    QCOMPARE(f.boxTopTwips(), 660);
}

void TstElapsedTimeWindow::keysWhileTheBoxesAreHiddenReachNoButton_data() {
    QTest::addColumn<QStringList>("typedBefore"); // each typed and confirmed with Enter
    QTest::addColumn<QString>("then");            // a command given while the boxes are hidden
    QTest::newRow("after a whole row") << QStringList{u"8"_s, u"12"_s} << QString();
    QTest::newRow("after a start") << QStringList{u"8"_s} << QString();
    QTest::newRow("print cancelled") << QStringList{u"8"_s, u"12"_s} << u"print"_s;
    QTest::newRow("open failed") << QStringList{u"8"_s, u"12"_s} << u"open"_s;
    QTest::newRow("save refused") << QStringList{} << u"save"_s;
}

// A box that is hidden because its row was scrolled out of view must not pass the focus on to
// the buttons below the grid, where Enter would reset the sheet or leave the window.
void TstElapsedTimeWindow::keysWhileTheBoxesAreHiddenReachNoButton() {
    QFETCH(QStringList, typedBefore);
    QFETCH(QString, then);
    Fixture f;
    for (const QString& t : typedBefore)
        f.type(t);
    ElapsedSheet before = f.w->sheet();
    const QString totalBefore = f.total();
    QLineEdit* hadFocus = qobject_cast<QLineEdit*>(f.focus());
    QVERIFY(hadFocus == f.start() || hadFocus == f.end());
    f.wheel(2);
    QCOMPARE(f.topRow(), 7);
    QVERIFY(!f.start()->isVisible());
    QVERIFY(!f.end()->isVisible());
    if (then == u"print"_s) {
        f.trigger("M15");
        f.key(Qt::Key_Escape);
        QVERIFY(!f.w->printPanel()->isVisible());
    } else if (then == u"open"_s) {
        f.tp.files.answers = {f.writeFile(u"bad.TMK"_s, "RIFF")};
        f.trigger("M11");
    } else if (then == u"save"_s) {
        f.trigger("M12");
        // Refused, yet the title and the date are taken over from their boxes first.
        before.sheetTitle = f.w->titleBox()->text();
        before.sheetDate = f.w->dateBox()->text();
    }
    f.tp.messages.shown.clear();
    f.tp.sounds.clear();
    QVERIFY(!qobject_cast<QAbstractButton*>(f.focus()));
    QVERIFY(f.focus() != f.start() && f.focus() != f.end()); // no typing into a hidden box
    for (Qt::Key k : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Space}) {
        QTest::keyClicks(f.focus(), u"13"_s);
        f.key(k);
        QVERIFY2(!qobject_cast<QAbstractButton*>(f.focus()), qPrintable(f.focus()->objectName()));
    }
    QVERIFY(f.w->sheet() == before);
    QCOMPARE(f.total(), totalBefore);
    for (int r = 1; r <= 3; ++r) {
        const SheetRow& row = before.row(r);
        QCOMPARE(f.cell(r, 1), row.startText.value_or(QString()));
        QCOMPARE(f.cell(r, 2), row.endText.value_or(QString()));
        QCOMPARE(f.cell(r, 3), row.elapsedText.value_or(QString()));
    }
    QCOMPARE(f.quits, 0);
    QCOMPARE(f.wm.current(), f.w);
    QVERIFY(!f.w->printPanel()->isVisible());
    QCOMPARE(f.topRow(), 7);
    QVERIFY(!f.start()->isVisible());
    QVERIFY(f.messages().isEmpty());
    // Back in view, the boxes stand on the cursor row again with the focus in the start box.
    const int cursorRow = typedBefore.size() == 2 ? 2 : 1;
    f.wheel(-2);
    QCOMPARE(f.topRow(), 1);
    QVERIFY(f.start()->isVisible());
    QCOMPARE(f.focus(), f.start());
    QCOMPARE(f.boxTopTwips(), 420 + 240 * cursorRow);
    f.type(u"14"_s);
    QCOMPARE(f.w->sheet().row(cursorRow).startText, std::optional<QString>(u"14:00"_s));
}

void TstElapsedTimeWindow::gridClickMovesTheBoxes() {
    Fixture f;
    QTableWidget* g = f.grid();
    auto click = [&](int row, int col) {
        const QRect r = g->visualRect(g->model()->index(row - 1, col));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    };
    click(5, 2);
    QCOMPARE(f.focus(), f.end());
    QCOMPARE(f.boxTopTwips(), 420 + 240 * 5);
    f.type(u"1"_s);
    QCOMPARE(f.cell(5, 2), u"01:00"_s);
    QCOMPARE(f.boxTopTwips(), 420 + 240 * 6);
    click(3, 3);
    QCOMPARE(f.focus(), f.start());
    QCOMPARE(f.boxTopTwips(), 420 + 240 * 3);
    click(8, 0);
    QCOMPARE(f.focus(), g);
    QCOMPARE(f.boxTopTwips(), 420 + 240 * 8);
    // The sliver of row 21 under row 20: the grid scrolls it into view under the boxes.
    const QRect sliver = g->visualRect(g->model()->index(20, 1));
    QVERIFY(sliver.top() < g->viewport()->height());
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {},
                      QPoint(sliver.center().x(), sliver.top() + 1));
    QCOMPARE(g->verticalScrollBar()->value(), 1);
    QCOMPARE(f.boxTopTwips(), 420 + 240 * 20);
    QCOMPARE(f.focus(), f.start());
    QVERIFY(f.start()->isVisible());
}

void TstElapsedTimeWindow::resetKeepsTheSavedDate() {
    Fixture f;
    f.type(u"8"_s);
    f.type(u"9"_s);
    f.w->titleBox()->setText(u"題"_s);
    f.w->dateBox()->setText(u"2009/01/02"_s);
    f.tp.files.answers = {f.dir.filePath(u"a.TMK"_s)};
    f.trigger("M12");
    QCOMPARE(f.w->fileNameLabel()->text(), u"a.TMK"_s);
    f.tp.sounds.clear();
    f.w->resetButton()->click();
    QCOMPARE(f.tp.sounds.beeps(), 1);
    QCOMPARE(f.cell(1, 1) + f.cell(1, 3), QString());
    QCOMPARE(f.cell(1, 0), u"1"_s);
    QCOMPARE(f.total(), QString());
    QCOMPARE(f.w->fileNameLabel()->text(), QString());
    QCOMPARE(f.w->titleBox()->text(), QString());
    QCOMPARE(f.w->dateBox()->text(), u"2010/11/08"_s);
    QCOMPARE(f.w->sheet().sheetDate, std::optional<QString>(u"2009/01/02"_s));
    QCOMPARE(f.w->sheet().totalText, std::optional<QString>(QString()));
    QCOMPARE(f.focus(), f.start());
    QCOMPARE(f.boxTopTwips(), 660);
}

void TstElapsedTimeWindow::saveRefusals() {
    Fixture f;
    f.w->titleBox()->setText(u"題だけ"_s);
    f.trigger("M12");
    QCOMPARE(f.messages(), u"データがないので保存できません！"_s);
    QVERIFY(f.tp.files.asked.isEmpty());
    QCOMPARE(f.focus(), f.start());
    f.type(u"8"_s);
    f.tp.messages.shown.clear();
    f.w->titleBox()->setText(u"a\"b"_s);
    f.trigger("M12");
    QVERIFY2(f.messages().contains(u"タイトルに「\"」"_s), qPrintable(f.messages()));
    QVERIFY(f.tp.files.asked.isEmpty()); // refused before a file is chosen
    QCOMPARE(f.focus(), f.w->titleBox());
    f.tp.messages.shown.clear();
    f.w->titleBox()->setText(u"fine"_s);
    f.w->dateBox()->setText(QStringLiteral("😀"));
    f.trigger("M12");
    QVERIFY2(f.messages().contains(u"日付の「😀」"_s), qPrintable(f.messages()));
    QCOMPARE(f.focus(), f.w->dateBox());
    // A cancelled dialog says nothing and writes nothing.
    f.tp.messages.shown.clear();
    f.w->dateBox()->setText(u"today"_s);
    f.trigger("M12");
    QCOMPARE(f.tp.files.asked.size(), 1);
    QVERIFY(f.tp.files.asked[0].save);
    QVERIFY(f.messages().isEmpty());
    QCOMPARE(f.w->fileNameLabel()->text(), QString());
}

void TstElapsedTimeWindow::saveWritesTheFile() {
    Fixture f;
    f.type(u"8.30"_s);
    f.type(u"17.15"_s);
    f.type(u"9"_s); // a start only
    f.w->titleBox()->setText(u"会議, 午後"_s);
    // Left by a save killed half-way: removed by the next save of the same file only.
    f.writeFile(u"day.TMK.x9Y8z7"_s, "");
    f.writeFile(u"day.TMK.x9Y8z"_s, "");
    f.tp.files.answers = {f.dir.filePath(u"day"_s)};
    f.trigger("M12");
    QVERIFY(f.messages().isEmpty());
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files),
             (QStringList{u"day.TMK"_s, u"day.TMK.x9Y8z"_s}));
    QCOMPARE(f.w->fileNameLabel()->text(), u"day.TMK"_s);
    const QByteArray bytes = readAll(f.dir.filePath(u"day.TMK"_s));
    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.size(), 72); // 71 lines and nothing after the last line end
    QCOMPARE(lines[0], "\"08:45\",\"" + *encodeCp932(u"会議, 午後"_s) +
                           "\",\"2010/11/08\",\"\",\"\",\"\",\"\",\"\"\r");
    QCOMPARE(lines[1], QByteArray("\"08:30\",\"17:15\",\"08:45\",525\r"));
    QCOMPARE(lines[2], QByteArray("\"09:00\",,,\r"));
    QCOMPARE(lines[3], QByteArray(",,,\r"));
    // Saving again to the same name with the extension left off asks before replacing it.
    f.tp.files.answers = {f.dir.filePath(u"day"_s)};
    f.tp.messages.confirmAnswers = {false};
    f.type(u"10"_s);
    f.trigger("M12");
    QCOMPARE(f.tp.messages.shown.size(), 1);
    QCOMPARE(readAll(f.dir.filePath(u"day.TMK"_s)), bytes);
}

void TstElapsedTimeWindow::saveFailureKeepsTheOldFile() {
    Fixture f;
    const QString path = f.writeFile(u"old.TMK"_s, "old contents");
    f.type(u"8"_s);
    f.tp.files.answers = {f.dir.filePath(u"no/such/folder/x.TMK"_s)};
    f.trigger("M12");
    QVERIFY2(f.messages().startsWith(u"x.TMK に保存できませんでした。\n"_s),
             qPrintable(f.messages()));
    QVERIFY(f.messages().size() > u"x.TMK に保存できませんでした。\n"_s.size());
    QCOMPARE(f.w->fileNameLabel()->text(), QString());
    QCOMPARE(readAll(path), QByteArray("old contents"));
}

// Through the boxes and back: a title with an NEC-selected kanji and a byte no character starts,
// and a reserved value of such bytes, go back to the file as they were read.
void TstElapsedTimeWindow::loadAndSaveKeepsTheBytes() {
    Fixture f;
    QByteArray file = "\"01:00\",\"\xED\x40\x80\",\"2009/12/31\",\"\xFD\",\"\",\"\",\"\",\"\"\r\n"
                      "\"08:00\",\"09:00\",\"01:00\",60\r\n";
    for (int r = 2; r <= 70; ++r)
        file += ",,,\r\n";
    f.tp.files.answers = {f.writeFile(u"nec.TMK"_s, file)};
    f.trigger("M11");
    QVERIFY2(f.messages().isEmpty(), qPrintable(f.messages()));
    f.tp.files.answers = {f.dir.filePath(u"again.TMK"_s)};
    f.trigger("M12");
    QVERIFY2(f.messages().isEmpty(), qPrintable(f.messages()));
    QCOMPARE(readAll(f.dir.filePath(u"again.TMK"_s)), file);
}

void TstElapsedTimeWindow::loadShowsTheFile() {
    Fixture f;
    QByteArray file =
        "\"99:00\",\"" + *encodeCp932(u"予定"_s) + "\",\"2009/12/31\",1,\"r\",,\"\",2\r\n";
    file += "\"08:00\",\"09:00\",\"01:00\",60\r\n";
    file += "\"10:00\",,,\r\n";
    for (int r = 3; r <= 70; ++r)
        file += ",,,\r\n";
    f.type(u"13"_s); // replaced by the load
    f.tp.files.answers = {f.writeFile(u"plan.tmk"_s, file)};
    f.tp.sounds.clear();
    f.trigger("M11");
    QVERIFY2(f.messages().isEmpty(), qPrintable(f.messages()));
    QCOMPARE(f.tp.sounds.beeps(), 1);
    QCOMPARE(f.cell(1, 1) + f.cell(1, 2) + f.cell(1, 3), u"08:0009:0001:00"_s);
    QCOMPARE(f.cell(2, 1) + f.cell(2, 2), u"10:00"_s);
    QCOMPARE(f.total(), u"99:00"_s); // as the file says
    QCOMPARE(f.w->titleBox()->text(), u"予定"_s);
    QCOMPARE(f.w->dateBox()->text(), u"2009/12/31"_s);
    QCOMPARE(f.w->fileNameLabel()->text(), u"plan.tmk"_s);
    QCOMPARE(f.focus(), f.start());
    QCOMPARE(f.boxTopTwips(), 660);
    // Saved again, the reserved values go back unchanged.
    f.tp.files.answers = {f.dir.filePath(u"again.TMK"_s)};
    f.trigger("M12");
    QCOMPARE(readAll(f.dir.filePath(u"again.TMK"_s)), file);
    // The first confirmed time puts the true sum in place of the file's total.
    f.key(Qt::Key_Right);
    f.type(u"9"_s);
    QCOMPARE(f.total(), u"01:00"_s);
}

void TstElapsedTimeWindow::loadFailuresKeepTheSheet_data() {
    // "-": a file that is not there; "/": a folder; "|": a named pipe.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray header = "\"01:00\",\"t\",\"d\",\"\",\"\",\"\",\"\",\"\"\r\n";
    QTest::newRow("short") << header << "途中で終わって";
    QTest::newRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR,x,y,z,1,2,3,4,5,6", 30)
                             << "";
    QByteArray wav("RIFF\x24\x08\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xac\0\0\x88\x58\x01\0", 32);
    wav += QByteArray(200, '\x07');
    QTest::newRow("sound file") << wav << "";
    QTest::newRow("bad field") << header + "\"08:00\",\"7:5\",,\r\n"
                               << "1 行目の終了時間「7:5」は時刻ではありません。";
    QTest::newRow("empty") << QByteArray() << "ファイルが空です";
    QTest::newRow("missing") << QByteArray("-") << "ファイルが見つかりません。";
    QTest::newRow("folder") << QByteArray("/") << "通常のファイルではありません。";
#ifdef Q_OS_UNIX
    QTest::newRow("pipe") << QByteArray("|") << "通常のファイルではありません。";
#endif
    QTest::newRow("too big") << QByteArray(kTmkMaxBytes + 1, ' ')
                             << "経過時間計算ﾌｧｲﾙとしては大きすぎます。";
}

// A file that is not a sheet must not cost the sheet on the screen anything.
void TstElapsedTimeWindow::loadFailuresKeepTheSheet() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    Fixture f;
    f.type(u"8"_s);
    f.type(u"9"_s);
    f.type(u"10"_s);
    f.key(Qt::Key_Down);
    f.key(Qt::Key_Down); // the cursor on row 4
    f.w->titleBox()->setText(u"前の題"_s);
    f.w->dateBox()->setText(u"2010/11/07"_s);
    f.tp.files.answers = {f.dir.filePath(u"kept.TMK"_s)};
    f.trigger("M12"); // gives the file-name label a name to keep
    QCOMPARE(f.w->fileNameLabel()->text(), u"kept.TMK"_s);
    QVERIFY(f.messages().isEmpty());
    const ElapsedSheet before = f.w->sheet();
    const QString path = f.dir.filePath(bytes == "-" ? u"gone.TMK"_s : u"bad.TMK"_s);
    if (bytes == "/") QDir(f.dir.path()).mkdir(u"bad.TMK"_s);
#ifdef Q_OS_UNIX
    else if (bytes == "|")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    else if (bytes != "-")
        f.writeFile(u"bad.TMK"_s, bytes);
    f.tp.files.answers = {path};
    f.tp.sounds.clear();
    f.trigger("M11");
    QVERIFY2(f.messages().startsWith(QFileInfo(path).fileName() + u" を読み込めませんでした。\n"_s),
             qPrintable(f.messages()));
    QVERIFY2(f.messages().contains(reason), qPrintable(f.messages()));
    QCOMPARE(f.tp.sounds.beeps(), 0);
    QVERIFY(f.w->sheet() == before);
    QCOMPARE(f.cell(1, 1) + f.cell(1, 2) + f.cell(1, 3), u"08:0009:0001:00"_s);
    QCOMPARE(f.cell(2, 1), u"10:00"_s);
    QCOMPARE(f.total(), u"01:00"_s);
    QCOMPARE(f.w->titleBox()->text(), u"前の題"_s);
    QCOMPARE(f.w->dateBox()->text(), u"2010/11/07"_s);
    QCOMPARE(f.w->fileNameLabel()->text(), u"kept.TMK"_s);
    QCOMPARE(f.focus(), f.start());
    QCOMPARE(f.boxTopTwips(), 420 + 240 * 4);
    QCOMPARE(f.grid()->currentRow(), 3);
    // A cancelled open changes nothing and says nothing.
    f.tp.messages.shown.clear();
    f.trigger("M11");
    QVERIFY(f.w->sheet() == before);
    QVERIFY(f.messages().isEmpty());
    // A good file still replaces the sheet.
    ElapsedSheet other;
    other.row(1) = {u"06:00"_s, u"07:00"_s, u"01:00"_s, 60};
    other.totalText = u"01:00"_s;
    f.tp.files.answers = {f.writeFile(u"good.TMK"_s, *tmkFileBytes(other).bytes)};
    f.trigger("M11");
    QCOMPARE(f.cell(1, 1) + f.cell(2, 1), u"06:00"_s);
    QCOMPARE(f.w->fileNameLabel()->text(), u"good.TMK"_s);
    QCOMPARE(f.boxTopTwips(), 660);
}

void TstElapsedTimeWindow::printing() {
    Fixture f;
    f.type(u"8.30"_s);
    f.type(u"17.15"_s);
    f.w->dateBox()->setText(u"2010/11/09"_s);
    f.trigger("M15");
    QWidget* panel = f.w->printPanel();
    QVERIFY(panel->isVisible());
    QCOMPARE(f.focus(), f.w->printCancelButton());
    f.key(Qt::Key_Space); // the focused "ｷｬﾝｾﾙ"
    QVERIFY(!panel->isVisible());
    QVERIFY(f.tp.printer.printed.isEmpty());
    f.tp.sounds.clear();
    f.trigger("M15");
    f.w->printOkButton()->click();
    QVERIFY(!panel->isVisible());
    QCOMPARE(f.tp.printer.printed.size(), 1);
    QCOMPARE(f.tp.sounds.beeps(), 1);
    const PrintDocument& doc = f.tp.printer.printed[0];
    // The date box's text as it stands, the total as shown, row 1 at its columns.
    QVERIFY(doc.contains(textOp(5, 3, u"●　経過時間　//////////////////////////　　2010/11/09"_s)));
    QVERIFY(doc.contains(textOp(25, 5, u"合計：08:45"_s)));
    QVERIFY(doc.contains(textOp(28, 8, u"08:45"_s)));
    QCOMPARE(pageCount(doc), 1); // blank rows after row 1 start no second page
    // A row near the end does not fit the test printer's 60-line page: a second page follows.
    f.w->resetButton()->click();
    for (int i = 0; i < 59; ++i)
        f.key(Qt::Key_Down);
    f.type(u"8"_s);
    f.trigger("M15");
    f.w->printOkButton()->click();
    QCOMPARE(pageCount(f.tp.printer.printed.last()), 2);
    // Enter on the focused "ｷｬﾝｾﾙ" closes the panel without printing.
    f.trigger("M15");
    f.key(Qt::Key_Return);
    QVERIFY(!panel->isVisible());
    QCOMPARE(f.tp.printer.printed.size(), 2);
}

void TstElapsedTimeWindow::printPanelKeys_data() {
    QTest::addColumn<int>("focused"); // the control with the focus when the key is pressed
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("prints");
    QTest::newRow("Esc on ｷｬﾝｾﾙ") << int(ElapsedTimeWindow::PrintCancel) << int(Qt::Key_Escape)
                                  << false;
    QTest::newRow("Esc on OK") << int(ElapsedTimeWindow::PrintOk) << int(Qt::Key_Escape) << false;
    QTest::newRow("Esc in the start box")
        << int(ElapsedTimeWindow::StartBox) << int(Qt::Key_Escape) << false;
    QTest::newRow("Enter on ｷｬﾝｾﾙ")
        << int(ElapsedTimeWindow::PrintCancel) << int(Qt::Key_Return) << false;
    QTest::newRow("Space on ｷｬﾝｾﾙ")
        << int(ElapsedTimeWindow::PrintCancel) << int(Qt::Key_Space) << false;
    QTest::newRow("Enter on OK") << int(ElapsedTimeWindow::PrintOk) << int(Qt::Key_Return) << true;
}

void TstElapsedTimeWindow::printPanelKeys() {
    QFETCH(int, focused);
    QFETCH(int, key);
    QFETCH(bool, prints);
    Fixture f;
    f.type(u"8"_s);
    f.trigger("M15");
    QWidget* panel = f.w->printPanel();
    QVERIFY(panel->isVisible());
    QCOMPARE(f.focus(), f.w->printCancelButton());
    f.w->control(ElapsedTimeWindow::Role(focused))->setFocus(Qt::TabFocusReason);
    f.key(Qt::Key(key));
    QVERIFY(!panel->isVisible());
    QCOMPARE(f.tp.printer.printed.size(), prints ? 1 : 0);
    QCOMPARE(f.focus(), f.start());
    QCOMPARE(f.cell(1, 1), u"08:00"_s);
    // Esc with the panel closed does nothing.
    f.key(Qt::Key_Escape);
    QCOMPARE(f.focus(), f.start());
    QCOMPARE(f.cell(1, 1), u"08:00"_s);
}

void TstElapsedTimeWindow::printWithoutPrinterOffersPdf() {
    Fixture f;
    f.tp.printer.hasDefaultPrinter = false;
    f.tp.files.answers = {f.dir.filePath(u"sheet"_s)};
    f.trigger("M15");
    f.w->printOkButton()->click();
    QCOMPARE(f.tp.messages.shown.size(), 1); // the offer
    QVERIFY(f.tp.messages.shown[0].text.contains(u"PDF"_s));
    QCOMPARE(f.tp.printer.pdfPaths, QStringList{f.dir.filePath(u"sheet.pdf"_s)});
    QVERIFY(!f.w->printPanel()->isVisible());
}

// The line edits have their own meanings for some Ctrl keys (end of line, delete); in this
// window the menu items win.
void TstElapsedTimeWindow::shortcutsReachTheMenusFromTheBoxes_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("key");
    using W = ElapsedTimeWindow;
    const QList<QPair<const char*, W::Role>> boxes = {
        {"start", W::StartBox}, {"end", W::EndBox}, {"title", W::Title}, {"date", W::Date}};
    for (const auto& [name, box] : boxes)
        for (Qt::Key key : {Qt::Key_O, Qt::Key_S, Qt::Key_P, Qt::Key_E, Qt::Key_D, Qt::Key_H})
            QTest::newRow(qPrintable(u"%1 Ctrl+%2"_s.arg(QLatin1String(name)).arg(QChar(key))))
                << int(box) << int(key);
}

void TstElapsedTimeWindow::shortcutsReachTheMenusFromTheBoxes() {
    QFETCH(int, box);
    QFETCH(int, key);
    Fixture f;
    f.type(u"8"_s);
    QWidget* w = f.w->control(ElapsedTimeWindow::Role(box));
    w->setFocus();
    QTest::keyClick(w, Qt::Key(key), Qt::ControlModifier);
    switch (key) {
    case Qt::Key_O:
    case Qt::Key_S:
        QCOMPARE(f.tp.files.asked.size(), 1);
        break;
    case Qt::Key_P:
        QVERIFY(f.w->printPanel()->isVisible());
        break;
    case Qt::Key_E:
        QCOMPARE(f.quits, 1);
        break;
    case Qt::Key_D:
        QCOMPARE(f.tp.calculator.folders.size(), 1);
        break;
    case Qt::Key_H:
        QCOMPARE(f.tp.help.displays, 1);
        break;
    }
}

void TstElapsedTimeWindow::leaving() {
    {
        Fixture f;
        f.w->menuButton()->click();
        QCOMPARE(f.wm.current()->windowId(), WindowId::Launcher);
        QCOMPARE(f.quits, 0);
    }
    {
        Fixture f;
        f.trigger("M31");
        f.w->exitButton()->click();
        QCOMPARE(f.quits, 1);
        QCOMPARE(f.tp.help.closeAlls, 1);
    }
    {
        Fixture f;
        f.trigger("M14");
        QCOMPARE(f.quits, 1);
    }
    {
        Fixture f;
        f.w->close(); // from the title bar
        QCOMPARE(f.quits, 1);
    }
}

QTEST_MAIN(TstElapsedTimeWindow)
#include "tst_elapsed_time_window.moc"
