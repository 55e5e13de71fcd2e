// SPDX-License-Identifier: MIT
#include "controls.h"

#include "palette.h"
#include "ui/clock.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <algorithm>

namespace qz {

void condenseToFit(QLabel* label, QFont f, int room) {
    f.setStretch(QFont::Unstretched);
    const int needed = QFontMetrics(f).horizontalAdvance(label->text());
    if (needed > room && room > 0) {
        f.setStretch(std::max(25, 100 * room / needed));
        // Where even the narrowest letters do not fit, or the face or the system's font engine
        // cannot condense (Windows' may not), the size gives way for the rest.
        const int condensed = QFontMetrics(f).horizontalAdvance(label->text());
        if (condensed > room && f.pointSizeF() > 0)
            f.setPointSizeF(std::max(4.0, f.pointSizeF() * room / condensed));
    }
    if (label->font() != f) label->setFont(f);
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
    // A framed label left to Qt's own indent measures an "x" at every paint, and the first
    // such measure loads a Latin face of its own just before the first frame. A label centred
    // both ways never uses the indent, so it is set and nothing is measured.
    if (auto* label = qobject_cast<QLabel*>(f); label && label->indent() < 0) {
        constexpr Qt::Alignment sides =
            Qt::AlignLeft | Qt::AlignRight | Qt::AlignTop | Qt::AlignBottom;
        if (!(label->alignment() & sides)) label->setIndent(0);
    }
    setBackground(f, ground);
}

void setElidedText(QLabel* label, const QString& text, const QString& tip) {
    const QString shown =
        label->fontMetrics().elidedText(text, Qt::ElideRight, label->contentsRect().width());
    label->setText(shown);
    if (shown == text)
        label->setToolTip(tip);
    else
        label->setToolTip(tip.isEmpty() ? text : text + QLatin1Char('\n') + tip);
}

} // namespace qz
