// SPDX-License-Identifier: MIT
#include "version_box.h"

#include "ui/look.h"

#include <QLabel>
#include <QPushButton>

namespace qz {

VersionBox::VersionBox(QWidget* owner, const QString& settingsPlace) : QDialog(owner) {
    setObjectName(QStringLiteral("VER"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);
    setBackground(this, colors::navy);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(versionPicture());
    picture->setGeometry(QRect(QPoint(twips(360), twips(300)), picture->pixmap().size()));

    auto label = [this](const char* name, const QString& text, int top, double pt, bool bold) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(uiFont(pt, bold));
        setForeground(l, colors::yellow);
        placeTwips(l, 360, top, 4200, 330);
    };
    label("Label1", QStringLiteral("for Windows"), 1020, 9, false);
    label("Label2", QStringLiteral("Version　２．５５"), 1380, 11.25, true);
    label("Label3", QStringLiteral("Qt 6 版　時計・タイマー・時間計算ツール集"), 1760, 9, false);

    auto* closeButton = new QPushButton(QStringLiteral("閉"), this);
    closeButton->setObjectName(QStringLiteral("Command1"));
    placeTwips(closeButton, 3480, 2280, 1080, 420);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    closeButton->setDefault(true);

    int height = 2940;
    if (!settingsPlace.isEmpty()) {
        // Below the close button, in small print: where TONESPAN.DAT and ONGENDATA.DAT live.
        auto* place = new QLabel(settingsPlace, this);
        place->setObjectName(QStringLiteral("settingsPlaceLabel"));
        place->setFont(uiFont(8));
        place->setWordWrap(true);
        place->setTextInteractionFlags(Qt::TextSelectableByMouse);
        setForeground(place, colors::white);
        placeTwips(place, 360, 2820, 4200, 480);
        height += 420;
    }
    setFixedSize(twips(4920), twips(height));
}

} // namespace qz
