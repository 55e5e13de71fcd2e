#include "version_box.h"

#include "ui/look.h"

#include <QLabel>
#include <QPushButton>

namespace qz {

VersionBox::VersionBox(QWidget* owner) : QDialog(owner) {
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

    setFixedSize(twips(4920), twips(2940));
}

} // namespace qz
