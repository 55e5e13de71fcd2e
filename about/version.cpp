// SPDX-License-Identifier: MIT
#include "version.h"

namespace qz {

QString programVersion() {
    return QStringLiteral(QZ_VERSION);
}

QString fullWidthVersion(QStringView version) {
    QString shown;
    shown.reserve(version.size());
    for (const QChar c : version) {
        // The full-width forms of '!' to '~' stand in ASCII order, 0xFEE0 above them.
        const bool widened = (c >= u'0' && c <= u'9') || c == u'.';
        shown += widened ? QChar(c.unicode() + 0xFEE0) : c;
    }
    return shown;
}

} // namespace qz
