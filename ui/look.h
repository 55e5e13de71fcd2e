#pragma once

#include "ui/colors.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QList>
#include <QPair>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <functional>

class QWidget;
class QMainWindow;
class QToolBar;

namespace qz {

// Sizes and positions come in twips (1/1440 inch); the screen's logical DPI turns them into
// pixels.
int twips(int tw);
QRect twipsRect(int left, int top, int width, int height);
void placeTwips(QWidget* w, int left, int top, int width, int height);

// Sets a top-level window's outer size in twips (caption and frame included, as the layouts
// are given); the client area gets what is left.
void setWindowSizeTwips(QMainWindow* w, int width, int height);

// &H00BBGGRR colour values (the named ones are in ui/colors.h) as Qt colours and palettes.
QColor vbColor(quint32 bbggrr);
// The background of a control and of the text fields in it.
void setBackground(QWidget* w, quint32 bbggrr);
// Only the window colour: a client area's buttons and text fields keep their own.
void setWindowBackground(QWidget* w, quint32 bbggrr);
void setForeground(QWidget* w, quint32 bbggrr);

// Fonts: the proportional and the fixed-pitch Japanese faces with fallbacks that the set-up
// installs, so every machine renders alike.
QFont uiFont(double pointSize = 9.0, bool bold = false);
QFont fixedFont(double pointSize = 9.0, bool bold = false);
void installApplicationFont();

// Toolbar of image buttons; clicks are dispatched on the button's 1-based index.
QToolBar* addIndexedToolBar(QMainWindow* w, const QList<QPair<QIcon, QString>>& buttons,
                            std::function<void(int)> onClick);

// The program's own pictures, drawn in code.
QIcon calculatorIcon();
QIcon helpIcon();
QPixmap launcherPicture(QSize size);
QPixmap versionPicture();

} // namespace qz
