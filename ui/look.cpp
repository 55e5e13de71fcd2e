// SPDX-License-Identifier: MIT
#include "look.h"

#include "app_picture.h"
#include "click_label.h"
#include "clock.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionFocusRect>
#include <QTableWidget>
#include <QTableWidgetItem>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>
#include <algorithm>
#include <cmath>
#include <qdrawutil.h>

namespace qz {

static double logicalDpi() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInch() : 96.0;
}

int twips(int tw) {
    return int(std::lround(tw * logicalDpi() / 1440.0));
}

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

void placeTwips(QWidget* w, TwipsRect at) {
    w->setGeometry(twipsRect(at.left, at.top, at.width, at.height));
}

namespace {

QWidget* makeControl(ControlKind kind, const QString& caption, QWidget* parent) {
    switch (kind) {
    case ControlKind::Label:
        return new QLabel(caption, parent);
    case ControlKind::ClickLabel:
        return new ClickLabel(caption, parent);
    case ControlKind::Button:
        return new QPushButton(caption, parent);
    case ControlKind::LineEdit:
        return new QLineEdit(caption, parent);
    case ControlKind::Lamp: {
        auto* lamp = new QFrame(parent);
        lamp->setFrameShape(QFrame::Box);
        return lamp;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(caption, parent);
    case ControlKind::Panel:
        return new QWidget(parent);
    case ControlKind::RaisedPanel: {
        auto* panel = new QFrame(parent);
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setLineWidth(2);
        return panel;
    }
    case ControlKind::Option:
        return new QRadioButton(caption, parent);
    case ControlKind::Check:
        return new QCheckBox(caption, parent);
    case ControlKind::Grid:
        return new QTableWidget(parent);
    }
    Q_UNREACHABLE();
    return nullptr;
}

} // namespace

void buildControls(QWidget* root, std::span<const ControlDecl> table, std::span<QWidget*> byRole) {
    for (const ControlDecl& d : table) {
        QWidget* parent = root;
        if (d.within >= 0) {
            Q_ASSERT(size_t(d.within) < byRole.size() && byRole[size_t(d.within)]);
            parent = byRole[size_t(d.within)];
            if (auto* area = qobject_cast<QAbstractScrollArea*>(parent)) parent = area->viewport();
        }
        const QString caption = d.caption ? QString::fromUtf16(d.caption) : QString();
        QWidget* w = makeControl(d.kind, caption, parent);
        w->setObjectName(QLatin1String(d.name));
        placeTwips(w, d.at);
        if (auto* label = qobject_cast<QLabel*>(w)) {
            label->setAlignment(d.align ? d.align : Qt::AlignLeft | Qt::AlignVCenter);
            if (d.indent >= 0) label->setIndent(d.indent);
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            if (d.align) edit->setAlignment(d.align);
            if (d.flat) edit->setFrame(false);
        }
        if (d.points > 0)
            w->setFont(d.fixedPitch ? fixedFont(d.points, d.bold) : uiFont(d.points, d.bold));
        if (d.valueLook)
            setValueLook(static_cast<QFrame*>(w), d.ground == kNoColour ? colors::white : d.ground);
        else if (d.ground != kNoColour)
            setBackground(w, d.ground);
        if (d.ink != kNoColour) setForeground(w, d.ink);
        if (d.role >= 0) {
            Q_ASSERT(size_t(d.role) < byRole.size());
            byRole[size_t(d.role)] = w;
        }
    }
}

QLabel* addLabel(QWidget* parent, const char* objectName, TwipsRect at, const QString& text,
                 Qt::Alignment align, const std::optional<QFont>& font) {
    auto* l = addControl<QLabel>(parent, objectName, at, text);
    l->setAlignment(align);
    if (font) l->setFont(*font);
    return l;
}

void showDateTime(const QDateTime& now, QLabel* time, QLabel* date, QLabel* weekday) {
    time->setText(timeText(now.time()));
    date->setText(dateText(now.date()));
    weekday->setText(weekdayName(now.date()));
}

void setValueLook(QFrame* f, quint32 ground) {
    f->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setBackground(f, ground);
}

QMenu* addMenu(QMenuBar* bar, const char* objectName, const QString& title) {
    QMenu* m = bar->addMenu(title);
    m->setObjectName(QLatin1String(objectName));
    m->menuAction()->setObjectName(QLatin1String(objectName));
    return m;
}

QAction* addMenuItem(QMenu* menu, const char* objectName, const QString& text) {
    QAction* a = menu->addAction(text);
    a->setObjectName(QLatin1String(objectName));
    return a;
}

// Window sizes are given with the caption and the frame; the menu bar, as on the system the
// layouts come from, stays inside what is left.
static constexpr int kFrameWidthTwips = 120;

void setWindowSizeTwips(QMainWindow* w, int width, int height) {
    w->setFixedSize(twips(width - kFrameWidthTwips), twips(height - kCaptionTwips));
}

QColor vbColor(quint32 bbggrr) {
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

QColor textColorOn(const QColor& ground) {
    return qGray(ground.rgb()) >= 128 ? QColor(Qt::black) : QColor(Qt::white);
}

// The desktop's palette chooses the text colours for its own grounds: a dark scheme's light
// text would vanish on the program's fixed pale grounds. So whoever fixes a ground fixes the
// text drawn on it too, greyed where the control is disabled.
static void setTextRoles(QPalette& p, const QColor& ground,
                         std::initializer_list<QPalette::ColorRole> roles) {
    const QColor text = textColorOn(ground);
    const QColor greyed =
        qGray(ground.rgb()) >= 128 ? QColor(0x80, 0x80, 0x80) : QColor(0xA0, 0xA0, 0xA0);
    for (QPalette::ColorRole role : roles) {
        p.setColor(QPalette::Active, role, text);
        p.setColor(QPalette::Inactive, role, text);
        p.setColor(QPalette::Disabled, role, greyed);
    }
}

void setBackground(QWidget* w, quint32 bbggrr) {
    QPalette p = w->palette();
    const QColor c = vbColor(bbggrr);
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::Base, c);
    setTextRoles(p, c, {QPalette::WindowText, QPalette::Text});
    w->setPalette(p);
    w->setAutoFillBackground(true);
    // The menu bar is drawn on the window's colour, its titles in the button text colour.
    if (auto* main = qobject_cast<QMainWindow*>(w)) {
        QMenuBar* bar = main->menuBar();
        QPalette bp = bar->palette();
        setTextRoles(bp, c, {QPalette::ButtonText});
        bar->setPalette(bp);
    }
}

void setWindowBackground(QWidget* w, quint32 bbggrr) {
    QPalette p = w->palette();
    const QColor c = vbColor(bbggrr);
    p.setColor(QPalette::Window, c);
    setTextRoles(p, c, {QPalette::WindowText});
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setForeground(QWidget* w, quint32 bbggrr) {
    QPalette p = w->palette();
    const QColor c = vbColor(bbggrr);
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    p.setColor(QPalette::ButtonText, c);
    w->setPalette(p);
}

void setCellBackground(QTableWidgetItem* item, quint32 bbggrr) {
    const QColor c = vbColor(bbggrr);
    item->setBackground(c);
    item->setForeground(textColorOn(c));
}

QStringList familiesToRequest(const QStringList& preferred, const QStringList& installed) {
    for (const QString& f : preferred)
        if (installed.contains(f, Qt::CaseInsensitive)) return {f};
    return preferred;
}

// Qt tries a font's families in order and, for each one that is missing, asks the font
// configuration for substitutes: a search that costs more than loading the face itself, again
// for every size and weight. And a font that names more than one family has Qt sort every face
// on the machine for each script it shows, in case a character is missing; with one family
// that sort waits until a character really is missing. So a face the machine has is asked for
// alone.
static QStringList familiesToRequest(const QStringList& preferred) {
    return familiesToRequest(preferred, QFontDatabase::families());
}

QFont uiFont(double pointSize, bool bold) {
    static const QStringList families = familiesToRequest(proportionalFamilies());
    QFont f;
    f.setFamilies(families);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

QFont fixedFont(double pointSize, bool bold) {
    static const QStringList families = familiesToRequest(fixedFamilies());
    QFont f;
    f.setFamilies(families);
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

void installApplicationFont() {
    QApplication::setFont(uiFont(9.0));
}

namespace {
class FocusMarkStyle final : public QProxyStyle {
  public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        // Styles draw the mark only after keyboard navigation; the ringing row's "停止" gets
        // the focus from the program and must show it too. Check boxes and option buttons draw
        // it as a focus frame, push buttons (in Fusion) as the outline of their panel.
        if (option && (option->state & State_HasFocus)) {
            if (element == PE_FrameFocusRect)
                return drawMarked<QStyleOptionFocusRect>(element, option, painter, widget);
            if (element == PE_PanelButtonCommand)
                return drawMarked<QStyleOptionButton>(element, option, painter, widget);
        }
        if (element == PE_FrameGroupBox && option &&
            drawFusionGroupBoxFrame(option, painter, widget))
            return;
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        // Every toolbar and menu bar makes an overflow button at once; the style looks its
        // arrow up in the icon theme, which loads the icon and image plugins (SVG, GIF, JPEG
        // ...) before the first window shows. The program draws its own.
        if (icon == SP_ToolBarHorizontalExtensionButton ||
            icon == SP_ToolBarVerticalExtensionButton)
            return overflowIcon(icon == SP_ToolBarHorizontalExtensionButton);
        return QProxyStyle::standardIcon(icon, option, widget);
    }

  private:
    template <typename Option>
    void drawMarked(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                    const QWidget* widget) const {
        Option marked;
        if (const auto* typed = qstyleoption_cast<const Option*>(option))
            marked = *typed;
        else
            marked.QStyleOption::operator=(*option);
        marked.state |= State_KeyboardFocusChange;
        QProxyStyle::drawPrimitive(element, &marked, painter, widget);
    }

    // Fusion draws a group box's frame from a picture that it loads by file name, which makes
    // the image reader load every image plugin (SVG, JPEG, GIF ...) at the launcher's first
    // paint. The same picture, read as the PNG it is, drawn the way Fusion draws it.
    bool drawFusionGroupBoxFrame(const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
        if (baseStyle()->name() != QLatin1String("fusion")) return false;
        static const QPixmap frame = [] {
            QImageReader reader(
                QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"),
                "png");
            reader.setAutoDetectImageFormat(false);
            return QPixmap::fromImage(reader.read());
        }();
        if (frame.isNull()) return false;
        constexpr int kGroupBoxTopMargin = 3;
        int topMargin = kGroupBoxTopMargin;
        const auto* box = qobject_cast<const QGroupBox*>(widget);
        if (!box || box->isCheckable() || !box->title().isEmpty())
            topMargin += std::max(pixelMetric(PM_ExclusiveIndicatorHeight, option, widget),
                                  option->fontMetrics.height());
        qDrawBorderPixmap(painter, option->rect.adjusted(0, topMargin, 0, 0), QMargins(6, 6, 6, 6),
                          frame);
        return true;
    }

    static QIcon overflowIcon(bool horizontal) {
        QPixmap pm(8, 8);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        for (int x : {1, 4}) {
            const QPolygon arrow({QPoint(x, 1), QPoint(x + 2, 4), QPoint(x, 7)});
            p.drawPolyline(horizontal ? arrow : QTransform(0, 1, 1, 0, 0, 0).map(arrow));
        }
        return QIcon(pm);
    }
};
} // namespace

void setElidedText(QLabel* label, const QString& text, const QString& tip) {
    const QString shown =
        label->fontMetrics().elidedText(text, Qt::ElideRight, label->contentsRect().width());
    label->setText(shown);
    if (shown == text)
        label->setToolTip(tip);
    else
        label->setToolTip(tip.isEmpty() ? text : text + QLatin1Char('\n') + tip);
}

void keepOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen || !window->isVisible()) return;
    const QRect free = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    QPoint to = frame.topLeft();
    if (frame.right() > free.right()) to.rx() -= frame.right() - free.right();
    if (frame.bottom() > free.bottom()) to.ry() -= frame.bottom() - free.bottom();
    to.rx() = std::max(to.x(), free.left());
    to.ry() = std::max(to.y(), free.top());
    if (to != frame.topLeft()) window->move(to); // move() places the frame's top-left corner
}

void installFocusMarks() {
    QApplication::setStyle(new FocusMarkStyle);
}

bool installQtTranslations() {
    // The program speaks Japanese whatever the desktop's language is.
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const QStringList folders = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(japanese, QStringLiteral("qt"), QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(translator))
            return true;
        delete translator;
    }
    return false;
}

QToolBar* addImageToolBar(QMainWindow* w, const QList<ToolButton>& buttons) {
    // The toolbar sits inside the client area at its top-left corner, where the layouts
    // expect it, rather than in a dock area that would shift every control down.
    QWidget* host = w->centralWidget() ? w->centralWidget() : w;
    auto* bar = new QToolBar(host);
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    int index = 0;
    for (const ToolButton& b : buttons) {
        QAction* a = bar->addAction(b.icon, b.tip);
        a->setToolTip(b.tip);
        a->setObjectName(QStringLiteral("Toolbar1_%1").arg(++index));
        QObject::connect(a, &QAction::triggered, bar, [clicked = b.clicked] { clicked(); });
    }
    bar->adjustSize();
    bar->move(0, 0);
    return bar;
}

// An antialiased painter on a transparent 32-pixel square.
static QIcon drawnIcon(const std::function<void(QPainter&)>& draw) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return QIcon(pm);
}

QIcon calculatorIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 70), 1.5));
        p.setBrush(QColor(200, 205, 215));
        p.drawRoundedRect(QRectF(5, 2, 22, 28), 3, 3);
        p.setBrush(QColor(170, 230, 170));
        p.drawRect(QRectF(8, 5, 16, 7));
        p.setPen(Qt::NoPen);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                p.setBrush(c == 2 && r == 2 ? QColor(230, 120, 40) : QColor(90, 90, 100));
                p.drawRect(QRectF(8 + c * 6, 15 + r * 5, 4, 3.5));
            }
    });
}

QIcon helpIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(20, 60, 150), 1.5));
        p.setBrush(QColor(60, 120, 220));
        p.drawEllipse(QRectF(2, 2, 28, 28));
        // The question mark is drawn, not typeset: a font of its own, loaded only for this icon,
        // would cost the launcher's start more than all its other pictures.
        QPainterPath hook;
        hook.moveTo(11, 12.5);
        hook.arcTo(QRectF(11, 7, 10, 10), 180, -225);
        hook.quadTo(16, 17.5, 16, 20);
        p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(hook);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 24.5), 2, 2);
    });
}

static QIcon openIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(130, 90, 10), 1.5));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(3, 8, 24, 19));
        p.setBrush(QColor(250, 225, 130));
        p.drawPolygon(QPolygonF({{3, 27}, {9, 14}, {30, 14}, {27, 27}}));
    });
}

static QIcon saveIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(20, 40, 110), 1.5));
        p.setBrush(QColor(60, 90, 190));
        p.drawRect(QRectF(4, 4, 24, 24));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 4, 16, 10));
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(QRectF(9, 19, 14, 9));
    });
}

static QIcon printIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(50, 50, 60), 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));
        p.setBrush(QColor(150, 155, 165));
        p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 20, 14, 9));
    });
}

QToolBar* addSheetToolBar(QMainWindow* w, const SheetToolCommands& commands) {
    return addImageToolBar(w, {{openIcon(), QStringLiteral("ﾌｧｲﾙを開く"), commands.open},
                               {saveIcon(), QStringLiteral("名前を付けて保存"), commands.save},
                               {printIcon(), QStringLiteral("印刷"), commands.print},
                               {calculatorIcon(), QStringLiteral("QZ電卓"), commands.calculator},
                               {helpIcon(), QStringLiteral("ﾍﾙﾌﾟ"), commands.help}});
}

QPixmap launcherPicture(QSize size) {
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const double side = std::min(size.width(), size.height());
    p.translate((size.width() - side) / 2.0, (size.height() - side) / 2.0);
    paintAlarmClock(p, side);
    return pm;
}

QPixmap versionPicture() {
    QPixmap pm(185, 39);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 185, 0);
    g.setColorAt(0, QColor(0, 0, 96));
    g.setColorAt(1, QColor(40, 90, 200));
    p.fillRect(pm.rect(), g);
    p.drawPixmap(3, 2, launcherPicture(QSize(35, 35)));
    QFont f = uiFont(14, true);
    f.setPixelSize(20);
    p.setFont(f);
    p.setPen(QColor(255, 255, 0));
    p.drawText(QRect(44, 0, 141, 39), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("ＱＺタイマー"));
    return pm;
}

} // namespace qz
