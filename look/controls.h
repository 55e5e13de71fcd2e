// SPDX-License-Identifier: MIT
#pragma once

#include "look/colors.h"
#include "ui/placement.h"

#include <QFont>
#include <QString>
#include <optional>

class QDateTime;
class QFrame;
class QLabel;

namespace qz {

// A label with its text and alignment, in its own font when one is given.
QLabel* addLabel(QWidget* parent, const char* objectName, TwipsRect at, const QString& text = {},
                 Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter,
                 const std::optional<QFont>& font = std::nullopt);
// The sunken panel on a plain ground in which the windows show a value (a time, a file name).
void setValueLook(QFrame* f, quint32 ground = colors::white);

// The time, the date and the weekday of `now` in the three labels of a clock display.
void showDateTime(const QDateTime& now, QLabel* time, QLabel* date, QLabel* weekday);
// Keeps the label's font size: a text wider than `room` pixels is drawn condensed instead of
// being cut off or running under what lies beside it; where that is not enough the size gives
// way too. `f` is the font the label has when its text fits.
void condenseToFit(QLabel* label, QFont f, int room);
// Shows `text` in the label, cut at the end with "…" when it is wider than the label; the
// whole text is then the first line of the tool tip, above `tip`.
void setElidedText(QLabel* label, const QString& text, const QString& tip = {});

} // namespace qz
