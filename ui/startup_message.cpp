// SPDX-License-Identifier: MIT
#include "startup_message.h"

namespace qz {

namespace {

constexpr qsizetype kPieceSize = 20;

// A value with a space, a quote or a backslash in it is quoted, those two escaped; any other is
// sent bare, as the toolkits send the IDs they make.
QByteArray quotedValue(const QByteArray& value) {
    if (!value.contains(' ') && !value.contains('"') && !value.contains('\\')) return value;
    QByteArray quoted = "\"";
    for (char c : value) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

} // namespace

QByteArray startupRemoveMessage(const QString& startupId) {
    return "remove: ID=" + quotedValue(startupId.toUtf8());
}

QList<QByteArray> startupMessagePieces(const QByteArray& message) {
    // Receivers read up to the zero, so one inside the message would cut it short there.
    const qsizetype zero = message.indexOf('\0');
    const QByteArray text = (zero < 0 ? message : message.first(zero)) + '\0';
    QList<QByteArray> pieces;
    for (qsizetype at = 0; at < text.size(); at += kPieceSize)
        pieces.append(text.mid(at, kPieceSize).leftJustified(kPieceSize, '\0'));
    return pieces;
}

} // namespace qz
