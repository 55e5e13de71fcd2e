// SPDX-License-Identifier: MIT
#include "focus_style.h"

#include <QApplication>
#include <QGroupBox>
#include <QImageReader>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <future>
#include <map>
#include <qdrawutil.h>

namespace qz {

namespace {
// Fusion draws a group box's frame from a picture that it loads by file name, which makes the
// image reader load every image plugin (SVG, JPEG, GIF ...). The same picture, read as the PNG
// it is; the reader still looks through the plugins' descriptions on the disk first.
QImage readFusionGroupBoxFrame() {
    QImageReader reader(
        QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"), "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

class FocusMarkStyle final : public QProxyStyle {
  public:
    FocusMarkStyle() {
        // Read on another thread while the first window is built, so that its first paint
        // does not wait for the plugin folder.
        if (baseStyle()->name() == QLatin1String("fusion"))
            m_groupBoxFrameRead = std::async(std::launch::async, readFusionGroupBoxFrame);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        // Styles draw the mark only after keyboard navigation; the ringing row's "停止" gets
        // the focus from the program and must show it too. Check boxes and option buttons draw
        // it as a focus frame, push buttons (in Fusion) as the outline of their panel.
        if (option && element == PE_PanelButtonCommand)
            return drawButtonPanel(option, painter, widget);
        if (option && (option->state & State_HasFocus) && element == PE_FrameFocusRect)
            return drawMarked<QStyleOptionFocusRect>(element, option, painter, widget);
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
    // Fusion keeps a push button's panel as a picture, found again by the palette's identity;
    // but every button carries a palette of its own, resolved from its parent's, so each panel
    // would be drawn anew (three antialiased rounded rectangles, a large part of the
    // launcher's first frame). Buttons whose palettes hold the same colours are given one palette,
    // so a panel of a size and a state is drawn once and the others are copies of it.
    void drawButtonPanel(const QStyleOption* option, QPainter* painter,
                         const QWidget* widget) const {
        QStyleOptionButton panel;
        if (const auto* typed = qstyleoption_cast<const QStyleOptionButton*>(option))
            panel = *typed;
        else
            panel.QStyleOption::operator=(*option);
        panel.palette = sharedPalette(option->palette);
        if (panel.state & State_HasFocus) panel.state |= State_KeyboardFocusChange;
        QProxyStyle::drawPrimitive(PE_PanelButtonCommand, &panel, painter, widget);
    }

    const QPalette& sharedPalette(const QPalette& palette) const {
        QByteArray colours;
        for (int group = 0; group < QPalette::NColorGroups; ++group) {
            for (int role = 0; role < QPalette::NColorRoles; ++role) {
                const QBrush& brush =
                    palette.brush(QPalette::ColorGroup(group), QPalette::ColorRole(role));
                // Gradients and pictures are not compared: such a palette stays its own.
                if (brush.style() != Qt::SolidPattern && brush.style() != Qt::NoBrush)
                    return palette;
                const QRgb rgba = brush.style() == Qt::NoBrush ? 0 : brush.color().rgba();
                colours.append(reinterpret_cast<const char*>(&rgba), sizeof rgba);
                colours.append(char(brush.style()));
            }
        }
        return m_sharedPalettes.try_emplace(colours, palette).first->second;
    }

    mutable std::map<QByteArray, QPalette> m_sharedPalettes;

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

    // Fusion's group box frame, drawn the way Fusion draws it, from the picture read above.
    bool drawFusionGroupBoxFrame(const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
        if (baseStyle()->name() != QLatin1String("fusion")) return false;
        if (!m_groupBoxFrameTaken) {
            m_groupBoxFrameTaken = true;
            m_groupBoxFrame =
                QPixmap::fromImage(m_groupBoxFrameRead.valid() ? m_groupBoxFrameRead.get()
                                                               : readFusionGroupBoxFrame());
        }
        const QPixmap& frame = m_groupBoxFrame;
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

    mutable std::future<QImage> m_groupBoxFrameRead;
    mutable bool m_groupBoxFrameTaken = false;
    mutable QPixmap m_groupBoxFrame;

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

void installFocusMarks() {
    QApplication::setStyle(new FocusMarkStyle);
}

} // namespace qz
