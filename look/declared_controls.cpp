// SPDX-License-Identifier: MIT
#include "declared_controls.h"

#include "click_label.h"
#include "colors.h"
#include "controls.h"
#include "palette.h"
#include "ui/fonts.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace qz {

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

} // namespace qz
