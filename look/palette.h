// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QtGlobal>

class QTableWidgetItem;
class QWidget;

namespace qz {

// &H00BBGGRR colour values (the named ones are in look/colors.h) as Qt colours and palettes.
QColor vbColor(quint32 bbggrr);
// Black on a light ground, white on a dark one.
QColor textColorOn(const QColor& ground);
// The background of a control and of the text fields in it, with text that reads on it; a
// foreground set afterwards on the control itself wins.
void setBackground(QWidget* w, quint32 bbggrr);
// Only the window colour and its text: a client area's buttons and text fields keep their own.
void setWindowBackground(QWidget* w, quint32 bbggrr);
void setForeground(QWidget* w, quint32 bbggrr);
// Text or a sign (a star) in a fixed colour on a ground of its own that it reads on, white
// under a dark colour and black under a light one: on the desktop's ground, light or dark,
// some colour would vanish.
void setColorOnOwnGround(QWidget* w, quint32 bbggrr);
// A grid cell of its own colour, with text that reads on it.
void setCellBackground(QTableWidgetItem* item, quint32 bbggrr);

} // namespace qz
