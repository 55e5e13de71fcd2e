// SPDX-License-Identifier: MIT
#include "menus_toolbars.h"

#include "pictures.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace qz {

QMenu* addMenu(QMenuBar* bar, const char* objectName, const QString& title) {
    QMenu* m = bar->addMenu(title);
    m->setObjectName(QLatin1String(objectName));
    m->menuAction()->setObjectName(QLatin1String(objectName));
    return m;
}

QAction* addMenuItem(QMenu* menu, const char* objectName, const QString& text) {
    QAction* a = menu->addAction(text);
    a->setObjectName(QLatin1String(objectName));
    return a;
}

QToolBar* addImageToolBar(QMainWindow* w, const QList<ToolButton>& buttons) {
    // The toolbar sits inside the client area at its top-left corner, where the layouts
    // expect it, rather than in a dock area that would shift every control down.
    QWidget* host = w->centralWidget() ? w->centralWidget() : w;
    auto* bar = new QToolBar(host);
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    int index = 0;
    for (const ToolButton& b : buttons) {
        QAction* a = bar->addAction(b.icon, b.tip);
        a->setToolTip(b.tip);
        a->setObjectName(QStringLiteral("Toolbar1_%1").arg(++index));
        QObject::connect(a, &QAction::triggered, bar, [clicked = b.clicked] { clicked(); });
    }
    bar->adjustSize();
    bar->move(0, 0);
    return bar;
}

QToolBar* addSheetToolBar(QMainWindow* w, const SheetToolCommands& commands) {
    return addImageToolBar(w, {{openIcon(), QStringLiteral("ﾌｧｲﾙを開く"), commands.open},
                               {saveIcon(), QStringLiteral("名前を付けて保存"), commands.save},
                               {printIcon(), QStringLiteral("印刷"), commands.print},
                               {calculatorIcon(), QStringLiteral("QZ電卓"), commands.calculator},
                               {helpIcon(), QStringLiteral("ﾍﾙﾌﾟ"), commands.help}});
}

} // namespace qz
