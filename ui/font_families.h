// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace qz {

// The program's two Japanese faces, by the names printouts give them: the fixed-pitch one and
// the proportional one (the name with the full-width "Ｐ").
inline const QString kFixedFamily = QStringLiteral("ＭＳ ゴシック");
inline const QString kProportionalFamily = QStringLiteral("ＭＳ Ｐゴシック");

// What the screen asks for, best first: each face, its English name, then the free faces the
// set-up installs in its place.
inline QStringList proportionalFamilies() {
    return {kProportionalFamily, QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
            QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")};
}
inline QStringList fixedFamilies() {
    return {kFixedFamily, QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
            QStringLiteral("Noto Sans Mono CJK JP")};
}

} // namespace qz
