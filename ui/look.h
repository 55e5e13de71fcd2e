// SPDX-License-Identifier: MIT
#pragma once

#include "ui/colors.h"
#include "ui/font_families.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QList>
#include <QPair>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>
#include <span>
#include <utility>

class QAction;
class QDateTime;
class QFrame;
class QLabel;
class QMainWindow;
class QMenu;
class QMenuBar;
class QTableWidgetItem;
class QToolBar;
class QWidget;

namespace qz {

// Sizes and positions come in twips (1/1440 inch); the screen's logical DPI turns them into
// pixels.
int twips(int tw);
QRect twipsRect(int left, int top, int width, int height);

// A control's place in its parent, in twips.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
void placeTwips(QWidget* w, TwipsRect at);

// Creates a control of type W from `args` and the parent, gives it its objectName (by which
// tests and screenshots find it) and places it.
template <class W, class... Args>
W* addControl(QWidget* parent, const char* objectName, TwipsRect at, Args&&... args) {
    auto* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(QLatin1String(objectName));
    placeTwips(w, at);
    return w;
}

// What a declared control is.
enum class ControlKind {
    Label,
    ClickLabel, // a label that reports clicks (ui/click_label.h)
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

// A label with its text and alignment, in its own font when one is given.
QLabel* addLabel(QWidget* parent, const char* objectName, TwipsRect at, const QString& text = {},
                 Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter,
                 const std::optional<QFont>& font = std::nullopt);
// The sunken panel on a plain ground in which the windows show a value (a time, a file name).
void setValueLook(QFrame* f, quint32 ground = colors::white);

// A menu of the menu bar, and an item of a menu, by objectName; the menu's own action, which
// stands for it in the bar, is given the same name.
QMenu* addMenu(QMenuBar* bar, const char* objectName, const QString& title);
QAction* addMenuItem(QMenu* menu, const char* objectName, const QString& text);

// Sets a top-level window's outer size in twips (caption and frame included, as the layouts
// are given); the client area gets what is left.
void setWindowSizeTwips(QMainWindow* w, int width, int height);
// What setWindowSizeTwips takes off the height for the caption and the frame.
inline constexpr int kCaptionTwips = 450;

// &H00BBGGRR colour values (the named ones are in ui/colors.h) as Qt colours and palettes.
QColor vbColor(quint32 bbggrr);
// Black on a light ground, white on a dark one.
QColor textColorOn(const QColor& ground);
// The background of a control and of the text fields in it, with text that reads on it; a
// foreground set afterwards on the control itself wins.
void setBackground(QWidget* w, quint32 bbggrr);
// Only the window colour and its text: a client area's buttons and text fields keep their own.
void setWindowBackground(QWidget* w, quint32 bbggrr);
void setForeground(QWidget* w, quint32 bbggrr);
// A grid cell of its own colour, with text that reads on it.
void setCellBackground(QTableWidgetItem* item, quint32 bbggrr);

// Fonts: the proportional and the fixed-pitch Japanese faces with fallbacks that the set-up
// installs (ui/font_families.h), so every machine renders alike.
QFont uiFont(double pointSize = 9.0, bool bold = false);
QFont fixedFont(double pointSize = 9.0, bool bold = false);
// The first of the preferred families among `installed`, alone; all of them, for Qt's own
// substitutes, when none is installed.
QStringList familiesToRequest(const QStringList& preferred, const QStringList& installed);
void installApplicationFont();
// Buttons, option buttons and check boxes show a focus mark whenever they have the focus, not
// only after the keyboard moved it (the program puts the focus on buttons itself).
void installFocusMarks();
// Moves a window that grew past the edge of its screen's free area back inside it.
void keepOnScreen(QWidget* window);
// The time, the date and the weekday of `now` in the three labels of a clock display.
void showDateTime(const QDateTime& now, QLabel* time, QLabel* date, QLabel* weekday);
// Shows `text` in the label, cut at the end with "…" when it is wider than the label; the
// whole text is then the first line of the tool tip, above `tip`.
void setElidedText(QLabel* label, const QString& text, const QString& tip = {});
// Qt's own Japanese texts (file dialogs, standard buttons, context menus). False when the
// translation files are not installed.
bool installQtTranslations();

// A toolbar button: its picture, its tip and what a click does.
struct ToolButton {
    QIcon icon;
    QString tip;
    std::function<void()> clicked;
};
// Toolbar of image buttons at the top-left corner of the client area; the buttons are named
// Toolbar1_1, Toolbar1_2, ... in order.
QToolBar* addImageToolBar(QMainWindow* w, const QList<ToolButton>& buttons);
// The calculators' toolbar: open, save as, print, the calculator and help, in that order.
struct SheetToolCommands {
    std::function<void()> open, save, print, calculator, help;
};
QToolBar* addSheetToolBar(QMainWindow* w, const SheetToolCommands& commands);

// The program's own pictures, drawn in code.
QIcon calculatorIcon();
QIcon helpIcon();
QPixmap launcherPicture(QSize size);
QPixmap versionPicture();

} // namespace qz
