// SPDX-License-Identifier: MIT
#pragma once

#include "ui/placement.h"

#include <QString>
#include <QtGlobal>
#include <span>

class QWidget;

namespace qz {

// What a declared control is.
enum class ControlKind {
    Label,
    ClickLabel, // a label that reports clicks (look/click_label.h)
    Button,
    LineEdit,
    Lamp, // a small boxed square whose colour shows a state
    GroupBox,
    Panel,       // a plain widget that holds others
    RaisedPanel, // a panel standing out of its window, as a question laid over it
    Option,
    Check,
    Grid, // a table of cells; its rows and columns are the window's to set
};

// No colour of its own: the control keeps what it inherits.
inline constexpr quint32 kNoColour = 0xFFFFFFFFu;

// One control of a window, as data: the windows list their controls in tables of these, in the
// order they are created (which is their stacking and default keyboard order), and
// buildControls makes them. `name` is the objectName only; the code finds a control by `role`,
// the window's own number for it.
struct ControlDecl {
    int role = -1; // its place in buildControls' byRole; -1: the code never needs it again
    const char* name = nullptr;
    ControlKind kind = ControlKind::Label;
    TwipsRect at{};
    const char16_t* caption = nullptr;
    // The role of an earlier control of the table that holds it (a scroll area holds it in its
    // viewport); -1: the root.
    int within = -1;
    Qt::Alignment align = {}; // {}: left and vertically centred for labels, untouched otherwise
    double points = 0;        // 0: the font it inherits
    bool bold = false;
    bool fixedPitch = false; // the fixed-pitch face rather than the proportional one
    bool valueLook = false;  // the sunken value panel, on `ground` or white
    bool flat = false;       // a text field without its frame
    int indent = -1;         // a label's text indent in pixels; -1: Qt's
    quint32 ground = kNoColour;
    quint32 ink = kNoColour;
};

// The same control moved down by `dy` twips, under another name and role: rows of like
// controls share one declaration.
constexpr ControlDecl shiftedDecl(ControlDecl d, int dy, const char* name, int role) {
    d.at.top += dy;
    d.name = name;
    d.role = role;
    return d;
}

// Makes the table's controls in `root`, in table order, and puts each one that has a role at
// byRole[role].
void buildControls(QWidget* root, std::span<const ControlDecl> table, std::span<QWidget*> byRole);

} // namespace qz
