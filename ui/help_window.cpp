// SPDX-License-Identifier: MIT
#include "help_window.h"

#include "placement.h"

#include <QFileInfo>
#include <QUrl>

namespace qz {

void HtmlHelpViewer::display(QWidget* owner) {
    const QString index = m_folder + QStringLiteral("/index.html");
    if (!QFileInfo(index).isFile()) return; // a missing help file ends the command silently
    m_windows.removeAll(nullptr);
    QTextBrowser* w = m_windows.isEmpty() ? nullptr : m_windows.first().data();
    if (!w) {
        w = new QTextBrowser;
        w->setObjectName(QStringLiteral("HelpWindow"));
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setWindowTitle(QStringLiteral("ＱＺタイマー ﾍﾙﾌﾟ"));
        w->setOpenExternalLinks(false);
        w->setSearchPaths({m_folder});
        w->resize(twips(9600), twips(9000));
        if (owner) w->move(owner->frameGeometry().topRight() + QPoint(8, 0));
        m_windows.append(w);
    }
    w->setSource(QUrl::fromLocalFile(index));
    w->show();
    keepOnScreen(w); // beside a window at the screen's right edge there is no room
    w->raise();
    w->activateWindow();
}

void HtmlHelpViewer::closeAll() {
    for (const auto& w : std::as_const(m_windows))
        if (w) w->close();
    m_windows.clear();
}

} // namespace qz
