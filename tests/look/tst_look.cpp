// SPDX-License-Identifier: MIT
#include "look/click_label.h"
#include "look/colors.h"
#include "look/controls.h"
#include "look/declared_controls.h"
#include "look/focus_style.h"
#include "look/palette.h"
#include "look/pictures.h"
#include "ui/fonts.h"
#include "ui/placement.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTableWidget>
#include <QTest>
#include <QThread>
#include <QVBoxLayout>
#include <atomic>
#include <memory>

using namespace qz;
using namespace Qt::StringLiterals;

namespace {

// A table of every kind, with one control inside another, as the windows declare theirs.
enum { PanelRole, CaptionRole, GridRole, DeclaredRoles };
constexpr ControlDecl kDeclared[] = {
    {.role = PanelRole,
     .name = "panel",
     .kind = ControlKind::Panel,
     .at = {60, 120, 2880, 1440},
     .ground = colors::navy},
    {.role = CaptionRole,
     .name = "caption",
     .kind = ControlKind::Label,
     .at = {15, 30, 1440, 300},
     .caption = u"時刻",
     .within = PanelRole,
     .align = Qt::AlignCenter,
     .points = 12,
     .bold = true,
     .ink = colors::yellow},
    {.name = "plainLabel", .kind = ControlKind::Label, .at = {0, 1680, 720, 300}, .indent = 4},
    {.name = "valuePanel",
     .kind = ControlKind::ClickLabel,
     .at = {720, 1680, 720, 300},
     .align = Qt::AlignRight | Qt::AlignVCenter,
     .valueLook = true},
    {.name = "button", .kind = ControlKind::Button, .at = {0, 2040, 975, 375}, .caption = u"停止"},
    {.name = "textBox",
     .kind = ControlKind::LineEdit,
     .at = {1440, 1680, 1140, 345},
     .align = Qt::AlignRight,
     .flat = true,
     .ground = colors::paleYellow},
    {.name = "lamp", .kind = ControlKind::Lamp, .at = {3000, 120, 195, 195}, .ground = colors::red},
    {.name = "groupBox",
     .kind = ControlKind::GroupBox,
     .at = {0, 2520, 1695, 735},
     .caption = u"表示"},
    {.name = "option",
     .kind = ControlKind::Option,
     .at = {120, 200, 1335, 255},
     .caption = u"通常表示",
     .within = PanelRole},
    {.name = "checkBox",
     .kind = ControlKind::Check,
     .at = {1800, 2520, 1335, 255},
     .caption = u"鳴らす"},
    {.role = GridRole,
     .name = "grid",
     .kind = ControlKind::Grid,
     .at = {3240, 480, 2000, 1200},
     .within = PanelRole},
    {.name = "raisedPanel",
     .kind = ControlKind::RaisedPanel,
     .at = {0, 0, 2415, 1095},
     .ground = colors::paleYellow},
    {.name = "gridBox",
     .kind = ControlKind::LineEdit,
     .at = {0, 0, 1100, 240},
     .within = GridRole,
     .points = 9,
     .fixedPitch = true},
};

} // namespace

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

class TestLook : public QObject {
    Q_OBJECT

  private slots:
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

    // Buttons with alike colours share one palette, so the style draws a panel once; each
    // must still look as the style draws it with its own colours, whatever came before it.
    void buttonPanelsLookAsTheStyleDrawsThem() {
        installFocusMarks();
        const auto* program = qobject_cast<const QProxyStyle*>(QApplication::style());
        QVERIFY(program);
        const std::unique_ptr<QStyle> plain(QStyleFactory::create(program->baseStyle()->name()));
        const auto panel = [](const QStyle& style, const QColor& ground, QStyle::State state) {
            QStyleOptionButton o;
            o.rect = QRect(0, 0, 90, 28);
            o.state = QStyle::State_Enabled | state;
            o.palette = QPalette(ground); // a palette of its own, as each button has
            QImage image(o.rect.size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter p(&image);
            style.drawPrimitive(QStyle::PE_PanelButtonCommand, &o, &p);
            return image;
        };
        const QStyle::State focused = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
        for (const QStyle::State state : {QStyle::State(QStyle::State_None), focused})
            for (const QColor& ground : {QColor(Qt::red), QColor(Qt::blue), QColor(Qt::red)})
                QCOMPARE(panel(*program, ground, state), panel(*plain, ground, state));
        QVERIFY(panel(*program, Qt::red, {}) != panel(*program, Qt::blue, {}));
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
    // A time wider than the room beside it is condensed until it fits; one that fits keeps its
    // font.
    void textIsCondensedToItsRoom_data() {
        QTest::addColumn<double>("roomShare");
        QTest::newRow("fits") << 1.2;
        QTest::newRow("a little wide") << 0.85;
        QTest::newRow("half the room") << 0.5;
        QTest::newRow("far too wide") << 0.15;
    }
    void textIsCondensedToItsRoom() {
        QFETCH(double, roomShare);
        const QFont f = uiFont(11.25, true);
        QLabel label(u"18:01:52 "_s);
        const int needed = QFontMetrics(f).horizontalAdvance(label.text());
        const int room = int(needed * roomShare);
        condenseToFit(&label, f, room);
        const int drawn = QFontMetrics(label.font()).horizontalAdvance(label.text());
        if (roomShare >= 1) {
            QCOMPARE(label.font().pointSizeF(), f.pointSizeF());
            QVERIFY(label.font().stretch() == QFont::Unstretched ||
                    label.font().stretch() == QFont::AnyStretch);
        }
        QVERIFY2(drawn <= room + 1, qPrintable(u"%1 px in %2"_s.arg(drawn).arg(room)));
    }

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

    void declaredControls_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("parentName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("align"); // -1: not a label or a text box
        QTest::addColumn<double>("points");
        QTest::addColumn<quint32>("ground"); // kNoColour: the parent's
        QTest::addColumn<quint32>("ink");
        const int none = -1;
        const auto left = int(Qt::AlignLeft | Qt::AlignVCenter);
        QTest::newRow("panel") << 0 << "QWidget"
                               << "root" << QString() << none << 0.0 << colors::navy << kNoColour;
        QTest::newRow("label in the panel")
            << 1 << "QLabel"
            << "panel" << u"時刻"_s << int(Qt::AlignCenter) << 12.0 << kNoColour << colors::yellow;
        QTest::newRow("label, default alignment")
            << 2 << "QLabel"
            << "root" << QString() << left << 0.0 << kNoColour << kNoColour;
        QTest::newRow("value panel")
            << 3 << "qz::ClickLabel"
            << "root" << QString() << int(Qt::AlignRight | Qt::AlignVCenter) << 0.0 << colors::white
            << kNoColour;
        QTest::newRow("button") << 4 << "QPushButton"
                                << "root" << u"停止"_s << none << 0.0 << kNoColour << kNoColour;
        QTest::newRow("text box") << 5 << "QLineEdit"
                                  << "root" << QString() << int(Qt::AlignRight) << 0.0
                                  << colors::paleYellow << kNoColour;
        QTest::newRow("lamp") << 6 << "QFrame"
                              << "root" << QString() << none << 0.0 << colors::red << kNoColour;
        QTest::newRow("group box") << 7 << "QGroupBox"
                                   << "root" << u"表示"_s << none << 0.0 << kNoColour << kNoColour;
        QTest::newRow("option in the panel")
            << 8 << "QRadioButton"
            << "panel" << u"通常表示"_s << none << 0.0 << kNoColour << kNoColour;
        QTest::newRow("check box")
            << 9 << "QCheckBox"
            << "root" << u"鳴らす"_s << none << 0.0 << kNoColour << kNoColour;
        QTest::newRow("grid in the panel")
            << 10 << "QTableWidget"
            << "panel" << QString() << none << 0.0 << kNoColour << kNoColour;
        QTest::newRow("raised panel")
            << 11 << "QFrame"
            << "root" << QString() << none << 0.0 << colors::paleYellow << kNoColour;
        QTest::newRow("text box in the grid's viewport")
            << 12 << "QLineEdit"
            << "qt_scrollarea_viewport" << QString() << none << 9.0 << kNoColour << kNoColour;
    }

    void declaredControls() {
        QFETCH(int, index);
        QFETCH(QString, className);
        QFETCH(QString, parentName);
        QFETCH(QString, text);
        QFETCH(int, align);
        QFETCH(double, points);
        QFETCH(quint32, ground);
        QFETCH(quint32, ink);
        QWidget root;
        root.setObjectName(u"root"_s);
        std::array<QWidget*, DeclaredRoles> byRole{};
        buildControls(&root, kDeclared, byRole);
        const ControlDecl& d = kDeclared[index];
        auto* w = root.findChild<QWidget*>(QLatin1String(d.name));
        QVERIFY(w);
        QCOMPARE(QString::fromLatin1(w->metaObject()->className()), className);
        QCOMPARE(w->parentWidget()->objectName(), parentName);
        QCOMPARE(w->geometry(), twipsRect(d.at.left, d.at.top, d.at.width, d.at.height));
        if (d.role >= 0) QCOMPARE(byRole[size_t(d.role)], w);
        const QVariant shown = w->property(qobject_cast<QGroupBox*>(w) ? "title" : "text");
        QCOMPARE(shown.toString(), text);
        if (align >= 0) QCOMPARE(int(w->property("alignment").value<Qt::Alignment>()), align);
        if (points > 0) {
            QCOMPARE(w->font().pointSizeF(), points);
            QCOMPARE(w->font().bold(), d.bold);
            QCOMPARE(w->font(), d.fixedPitch ? fixedFont(points, d.bold) : uiFont(points, d.bold));
        } else {
            QCOMPARE(w->font(), root.font());
        }
        const QColor parentGround = w->parentWidget()->palette().color(QPalette::Window);
        QCOMPARE(w->palette().color(QPalette::Window),
                 ground == kNoColour ? parentGround : vbColor(ground));
        QCOMPARE(w->autoFillBackground(), ground != kNoColour);
        if (ink != kNoColour) QCOMPARE(w->palette().color(QPalette::WindowText), vbColor(ink));
        if (auto* frame = qobject_cast<QFrame*>(w); frame && d.valueLook)
            QCOMPARE(frame->frameStyle(), int(QFrame::Panel | QFrame::Sunken));
        if (d.kind == ControlKind::Lamp)
            QCOMPARE(static_cast<QFrame*>(w)->frameShape(), QFrame::Box);
        if (d.kind == ControlKind::RaisedPanel) {
            QCOMPARE(static_cast<QFrame*>(w)->frameStyle(), int(QFrame::Panel | QFrame::Raised));
            QCOMPARE(static_cast<QFrame*>(w)->lineWidth(), 2);
        }
        if (auto* edit = qobject_cast<QLineEdit*>(w)) QCOMPARE(edit->hasFrame(), !d.flat);
        if (auto* label = qobject_cast<QLabel*>(w)) QCOMPARE(label->indent(), d.indent);
    }
};

QTEST_MAIN(TestLook)
#include "tst_look.moc"
