// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;

namespace qz {

// A menu of the menu bar, and an item of a menu, by objectName; the menu's own action, which
// stands for it in the bar, is given the same name.
QMenu* addMenu(QMenuBar* bar, const char* objectName, const QString& title);
QAction* addMenuItem(QMenu* menu, const char* objectName, const QString& text);

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

} // namespace qz
