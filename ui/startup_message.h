// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace qz {

// The message that ends the desktop's startup notice (the busy pointer, the entry in a task
// bar) of the start with this ID, in the desktops' key=value form.
QByteArray startupRemoveMessage(const QString& startupId);

// A startup notice message as X11 client messages carry it: 20 bytes each, the message's
// terminating zero included, the last piece filled up with zeros.
QList<QByteArray> startupMessagePieces(const QByteArray& message);

} // namespace qz
