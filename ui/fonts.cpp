// SPDX-License-Identifier: MIT
#include "fonts.h"

#include "ui/font_families.h"

#include <QApplication>
#include <QFontDatabase>

namespace qz {

QStringList familiesToRequest(const QStringList& preferred, const QStringList& installed) {
    for (const QString& f : preferred)
        if (installed.contains(f, Qt::CaseInsensitive)) return {f};
    return preferred;
}

// Qt tries a font's families in order and, for each one that is missing, asks the font
// configuration for substitutes: a search that costs more than loading the face itself, again
// for every size and weight. And a font that names more than one family has Qt sort every face
// on the machine for each script it shows, in case a character is missing; with one family
// that sort waits until a character really is missing. So a face the machine has is asked for
// alone.
static QStringList familiesToRequest(const QStringList& preferred) {
    return familiesToRequest(preferred, QFontDatabase::families());
}

QFont uiFont(double pointSize, bool bold) {
    static const QStringList families = familiesToRequest(proportionalFamilies());
    QFont f;
    f.setFamilies(families);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

QFont fixedFont(double pointSize, bool bold) {
    static const QStringList families = familiesToRequest(fixedFamilies());
    QFont f;
    f.setFamilies(families);
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

void installApplicationFont() {
    QApplication::setFont(uiFont(9.0));
}

} // namespace qz
