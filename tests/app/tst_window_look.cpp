// SPDX-License-Identifier: MIT
#include "about/version_box.h"
#include "app/launcher_window.h"
#include "calc_add/time_addition_window.h"
#include "calc_elapsed/elapsed_time_window.h"
#include "countdown/countdown_window.h"
#include "sound/sound_settings_window.h"
#include "stopwatch/stopwatch_window.h"
#include "tests/support/window_fixture.h"
#include "timer/big_clock_window.h"
#include "timer/notification_timer_window.h"

#include <QAccessible>
#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <memory>

using namespace qz;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(qz::WindowId)

namespace {

// Every window of the program, on any desktop palette, with every control speaking its name.
struct Fixture : WindowFixture {
    Fixture() {
        registerWindow<LauncherWindow>(WindowId::Launcher);
        registerWindow<NotificationTimerWindow>(WindowId::Timer);
        registerWindow<CountdownWindow>(WindowId::Countdown);
        registerWindow<StopwatchWindow>(WindowId::Stopwatch);
        registerWindow<TimeAdditionWindow>(WindowId::CalcAdd);
        registerWindow<ElapsedTimeWindow>(WindowId::CalcElapsed);
        registerWindow<SoundSettingsWindow>(WindowId::SoundSettings);
        registerWindow<BigClockWindow>(WindowId::BigClock);
    }
};

// A dark scheme as the desktop's palette tools give it: light text on dark grounds.
QPalette darkPalette() {
    QPalette p(QColor(53, 53, 53), QColor(53, 53, 53));
    p.setColor(QPalette::Base, QColor(42, 42, 42));
    p.setColor(QPalette::Text, QColor(230, 230, 230));
    p.setColor(QPalette::WindowText, QColor(230, 230, 230));
    p.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    return p;
}

double luminance(const QColor& c) {
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour a widget's own text is drawn on, when it is not the desktop's.
QColor groundOf(const QWidget* w) {
    while (!w->autoFillBackground() && !w->isWindow())
        w = w->parentWidget();
    return w->palette().color(QPalette::Window);
}

QString nameOf(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

} // namespace

class TestWindowLook : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> m_fixture;
    std::unique_ptr<QWidget> m_box;

    QWidget* open(WindowId id) {
        m_fixture = std::make_unique<Fixture>();
        return m_fixture->wm.switchTo(id, nullptr);
    }

    // Every window once; with `dark`, each on a dark desktop, and the two whose grounds the
    // program fixes the most, and the countdown with its coloured stars, also on a light one.
    static void windowRows(bool dark = false) {
        QTest::addColumn<WindowId>("id");
        if (dark) QTest::addColumn<bool>("dark");
        const std::pair<const char*, WindowId> windows[] = {
            {"launcher", WindowId::Launcher},    {"timer", WindowId::Timer},
            {"countdown", WindowId::Countdown},  {"stopwatch", WindowId::Stopwatch},
            {"addition", WindowId::CalcAdd},     {"elapsed", WindowId::CalcElapsed},
            {"sounds", WindowId::SoundSettings}, {"big clock", WindowId::BigClock},
            {"version box", WindowId(-1)}};
        for (const auto& [name, id] : windows) {
            if (!dark) {
                QTest::newRow(name) << id;
                continue;
            }
            QTest::addRow("%s, dark", name) << id << true;
            if (id == WindowId::Timer || id == WindowId::CalcElapsed || id == WindowId::Countdown)
                QTest::addRow("%s, light", name) << id << false;
        }
    }

    QWidget* build(WindowId id) {
        if (id != WindowId(-1)) return open(id);
        m_box = std::make_unique<VersionBox>(nullptr, QStringLiteral("プログラムのフォルダ"));
        return m_box.get();
    }

  private slots:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }
    void cleanup() {
        m_fixture.reset();
        m_box.reset();
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    void textReadsOnEveryGround_data() { windowRows(true); }
    // Wherever the program fixes a ground, the text on it is fixed to match: the desktop's text
    // colour belongs to the desktop's grounds only.
    void textReadsOnEveryGround() {
        QFETCH(WindowId, id);
        QFETCH(bool, dark);
        const QPalette desktop = dark ? darkPalette() : QApplication::style()->standardPalette();
        QApplication::setPalette(desktop);
        QWidget* w = build(id);
        QStringList unreadable;
        // A text colour fixed on the desktop's ground is as much at the desktop's mercy as the
        // desktop's text on a fixed ground.
        auto check = [&](const QString& what, const QColor& text, const QColor& ground,
                         QPalette::ColorRole textRole, QPalette::ColorRole groundRole) {
            const bool fixed =
                ground != desktop.color(groundRole) || text != desktop.color(textRole);
            if (fixed && contrast(text, ground) < 3.0)
                unreadable << QStringLiteral("%1: %2 on %3").arg(what, text.name(), ground.name());
        };
        QList<QWidget*> all = w->findChildren<QWidget*>();
        all.prepend(w);
        for (QWidget* c : all) {
            if (!c->isEnabled()) continue;
            const QPalette& p = c->palette();
            if (qobject_cast<QLabel*>(c) || qobject_cast<QGroupBox*>(c) ||
                qobject_cast<QRadioButton*>(c))
                check(nameOf(c), p.color(QPalette::WindowText), groundOf(c), QPalette::WindowText,
                      QPalette::Window);
            else if (qobject_cast<QLineEdit*>(c))
                check(nameOf(c), p.color(QPalette::Text), p.color(QPalette::Base), QPalette::Text,
                      QPalette::Base);
            else if (qobject_cast<QMenuBar*>(c))
                check(nameOf(c), p.color(QPalette::ButtonText), p.color(QPalette::Window),
                      QPalette::ButtonText, QPalette::Window);
            else if (auto* grid = qobject_cast<QTableWidget*>(c))
                for (int r = 0; r < grid->rowCount(); ++r)
                    for (int col = 0; col < grid->columnCount(); ++col) {
                        const QTableWidgetItem* item = grid->item(r, col);
                        if (!item) continue;
                        const QBrush fore = item->foreground();
                        const QBrush back = item->background();
                        check(QStringLiteral("%1 cell %2,%3").arg(nameOf(c)).arg(r).arg(col),
                              fore.style() == Qt::NoBrush ? p.color(QPalette::Text) : fore.color(),
                              back.style() == Qt::NoBrush ? p.color(QPalette::Base) : back.color(),
                              QPalette::Text, QPalette::Base);
                    }
        }
        unreadable.removeDuplicates();
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join(QStringLiteral("\n"))));
    }

    void layoutHoldsUnderTheDesktopFont_data() { windowRows(); }
    // Desktop tools set their font on the running program; a text that fitted its place must
    // still fit.
    void layoutHoldsUnderTheDesktopFont() {
        QFETCH(WindowId, id);
        const QFont before = QApplication::font();
        QWidget* w = build(id);
        auto fits = [](const QLabel* l) {
            return l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width();
        };
        QList<QLabel*> fitting;
        for (QLabel* l : w->findChildren<QLabel*>())
            if (!l->text().isEmpty() && !l->text().contains(u'\n') && !l->wordWrap() && fits(l))
                fitting << l;
        QVERIFY(!fitting.isEmpty());
        QFont big = before;
        big.setPointSizeF(14);
        QApplication::setFont(big);
        QCoreApplication::processEvents(); // the change reaches the widgets as posted events
        QStringList cut;
        for (QLabel* l : fitting)
            if (!fits(l)) cut << nameOf(l) + u' ' + l->text();
        QApplication::setFont(before);
        QCoreApplication::processEvents();
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
    }

    void everyControlHasAName_data() { windowRows(); }
    // A screen reader names what has the focus: every control the keyboard reaches, and the
    // lamps, which show a row's state only in colour.
    void everyControlHasAName() {
        QFETCH(WindowId, id);
        QWidget* w = build(id);
        QStringList unnamed;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            const bool lamp = c->objectName().startsWith(QLatin1String("Shape"));
            if (c->focusPolicy() == Qt::NoFocus && !lamp) continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
            if (!a || a->text(QAccessible::Name).trimmed().isEmpty()) unnamed << nameOf(c);
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }

    void rowControlsSayTheirRow_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("name");
        QTest::newRow("time box 1") << u"time box"_s << 1 << u"1行目 指定時間"_s;
        QTest::newRow("time box 6") << u"time box"_s << 6 << u"6行目 指定時間"_s;
        QTest::newRow("memo 3") << u"memo"_s << 3 << u"3行目 メモ"_s;
        QTest::newRow("stop 3") << u"stop"_s << 3 << u"3行目 停止"_s;
        QTest::newRow("stop 10") << u"stop"_s << 10 << u"10行目 停止"_s;
        QTest::newRow("clear 7") << u"clear"_s << 7 << u"7行目 クリア"_s;
        QTest::newRow("lamp 3") << u"lamp"_s << 3 << u"3行目 ランプ 消灯"_s;
    }
    void rowControlsSayTheirRow() {
        QFETCH(QString, control);
        QFETCH(int, row);
        QFETCH(QString, name);
        auto* w = static_cast<NotificationTimerWindow*>(open(WindowId::Timer));
        const QHash<QString, QWidget*> controls = {{u"time box"_s, w->timeBox(row)},
                                                   {u"memo"_s, w->memoBox(row)},
                                                   {u"stop"_s, w->stopButton(row)},
                                                   {u"clear"_s, w->clearButton(row)},
                                                   {u"lamp"_s, w->lamp(row)}};
        QWidget* c = controls.value(control);
        QVERIFY(c);
        QCOMPARE(QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name), name);
    }
};

QTEST_MAIN(TestWindowLook)
#include "tst_window_look.moc"
