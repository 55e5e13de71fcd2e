// SPDX-License-Identifier: MIT
#include "version_box.h"

#include "about/version.h"
#include "look/look.h"

#include <QLabel>
#include <QPushButton>

namespace qz {

VersionBox::VersionBox(QWidget* owner, const QString& settingsPlace) : QDialog(owner) {
    setFont(uiFont()); // a fixed layout, like the main windows
    setObjectName(QStringLiteral("VER"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);
    setBackground(this, colors::navy);

    // As large as its picture.
    auto* picture = addControl<QLabel>(this, "Image1", {360, 300, 0, 0});
    picture->setPixmap(versionPicture());
    picture->resize(picture->pixmap().size());

    QLabel* const lines[] = {
        addLabel(this, "Label1", {360, 1020, 4200, 330}, QStringLiteral("for Windows"),
                 Qt::AlignLeft | Qt::AlignVCenter, uiFont(9)),
        addLabel(this, "Label2", {360, 1380, 4200, 330},
                 QStringLiteral("Version　") + fullWidthVersion(programVersion()),
                 Qt::AlignLeft | Qt::AlignVCenter, uiFont(11.25, true)),
        addLabel(this, "Label3", {360, 1760, 4200, 330},
                 QStringLiteral("Qt 6 版　時計・タイマー・時間計算ツール集"),
                 Qt::AlignLeft | Qt::AlignVCenter, uiFont(9)),
    };
    for (QLabel* l : lines)
        setForeground(l, colors::yellow);

    auto* closeButton =
        addControl<QPushButton>(this, "Command1", {3480, 2280, 1080, 420}, QStringLiteral("閉"));
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    closeButton->setDefault(true);

    int height = 2940;
    if (!settingsPlace.isEmpty()) {
        // Below the close button, in small print: where TONESPAN.DAT and ONGENDATA.DAT live.
        auto* place = addLabel(this, "settingsPlaceLabel", {360, 2820, 4200, 480}, settingsPlace,
                               Qt::AlignLeft | Qt::AlignVCenter, uiFont(8));
        place->setWordWrap(true);
        place->setTextInteractionFlags(Qt::TextSelectableByMouse);
        setForeground(place, colors::white);
        height += 420;
    }
    setFixedSize(twips(4920), twips(height));
}

} // namespace qz
