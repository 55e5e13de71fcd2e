#include "ver_window.h"

#include "ui/look.h"

namespace qz {

VER::VER(QWidget* owner, const QString& settingsPlace) : QDialog(owner) {
    setObjectName(QStringLiteral("VER"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);
    setBackground(this, colors::navy);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(versionPicture());
    Image1->setGeometry(QRect(QPoint(twips(360), twips(300)), Image1->pixmap().size()));

    auto label = [this](const char* name, const QString& text, int top, double pt, bool bold) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(uiFont(pt, bold));
        setForeground(l, colors::yellow);
        placeTwips(l, 360, top, 4200, 330);
        return l;
    };
    Label1 = label("Label1", QStringLiteral("for Windows"), 1020, 9, false);
    Label2 = label("Label2", QStringLiteral("Version　２．５５"), 1380, 11.25, true);
    Label3 = label("Label3", QStringLiteral("Qt 6 版　時計・タイマー・時間計算ツール集"), 1760, 9,
                   false);

    Command1 = new QPushButton(QStringLiteral("閉"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    placeTwips(Command1, 3480, 2280, 1080, 420);
    connect(Command1, &QPushButton::clicked, this, &VER::Command1_Click);
    Command1->setDefault(true);

    int height = 2940;
    if (!settingsPlace.isEmpty()) {
        // Below the close button, in small print: where TONESPAN.DAT and ONGENDATA.DAT live.
        m_settingsPlaceLabel = new QLabel(settingsPlace, this);
        m_settingsPlaceLabel->setObjectName(QStringLiteral("settingsPlaceLabel"));
        m_settingsPlaceLabel->setFont(uiFont(8));
        m_settingsPlaceLabel->setWordWrap(true);
        m_settingsPlaceLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        setForeground(m_settingsPlaceLabel, colors::white);
        placeTwips(m_settingsPlaceLabel, 360, 2820, 4200, 480);
        height += 420;
    }
    setFixedSize(twips(4920), twips(height));
}

} // namespace qz
