// SPDX-License-Identifier: MIT
#include "window_manager.h"

#include "app/after_first_paint.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"
#include "ui/placement.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>

namespace qz {

WindowManager::WindowManager(AppState& state, Platform& platform, std::function<void()> quit)
    : m_context{state, platform, *this}, m_quit(std::move(quit)) {
    if (!m_quit) m_quit = [] { QCoreApplication::quit(); };
}

WindowManager::~WindowManager() {
    delete m_current.data();
}

void WindowManager::registerWindow(WindowId id, Factory factory) {
    m_factories[id] = std::move(factory);
}

QzWindow* WindowManager::switchTo(WindowId target, QzWindow* from) {
    return show(target, from, false);
}

QzWindow* WindowManager::showFirst(WindowId target) {
    return show(target, nullptr, true);
}

namespace {
void runPendingActivation(QPointer<QzWindow>& pending) {
    if (QzWindow* w = pending.data()) {
        pending = nullptr;
        w->onActivated();
    }
}
} // namespace

QzWindow* WindowManager::show(WindowId target, QzWindow* from, bool activateAfterFirstPaint) {
    // A first window left before it was ever painted still takes its activation step (the
    // settings it reads) before the next window takes its own.
    if (m_activationPending) runPendingActivation(*m_activationPending);
    const auto it = m_factories.find(target);
    if (it == m_factories.end()) return nullptr;
    QzWindow* w = it->second(m_context);
    m_current = w;
    if (from) w->move(from->pos()); // the new window takes the place of the one it replaces
    w->show();
    // A wider window put where a narrow one stood would reach past the screen's edge.
    keepOnScreen(w);
    w->activateWindow();
    if (activateAfterFirstPaint) {
        m_activationPending = std::make_shared<QPointer<QzWindow>>(w);
        runAfterFirstPaint(w, [pending = m_activationPending] { runPendingActivation(*pending); });
    } else {
        w->onActivated();
    }
    if (from) {
        from->markLeaving();
        from->hide();
        from->deleteLater();
    }
    return w;
}

void WindowManager::openHelp(QWidget* owner) {
    m_context.state.setHelpOpened(true);
    m_context.platform.help->display(owner);
}

void WindowManager::exitProgram(QWidget*) {
    if (m_context.state.helpOpened()) {
        m_context.state.setHelpOpened(false);
        m_context.platform.help->closeAll();
    }
    m_exiting = true;
    if (m_current) {
        m_current->markLeaving();
        m_current->hide();
    }
    m_quit();
}

void WindowManager::startCalculator(QWidget* owner) {
    if (!m_context.platform.calculator->start(m_context.state.programFolder()))
        m_context.platform.messages->exclamation(
            owner,
            QStringLiteral("電卓を起動できませんでした。\n"
                           "プログラムのフォルダに QZCALC.EXE がなく、"
                           "デスクトップの電卓も見つかりません。"),
            QStringLiteral("QZ電卓"));
}

QzWindow::QzWindow(AppContext& c, WindowId id) : m_ctx(c), m_id(id) {
    // The controls stand where the layout puts them, in twips: a desktop that later forces its
    // own font size on the application (as palette and font tools do once the program runs)
    // would cut their texts. The windows keep the program's face; the screen's DPI still scales
    // text and layout alike.
    setFont(uiFont());
}

QMenu* QzWindow::addRingSpanMenu(QMenu* parent, const QString& title, const char* objectName,
                                 std::span<const RingSpanItem> items, int seconds,
                                 std::function<void(const RingSpanItem&)> chosen) {
    QMenu* menu = parent->addMenu(title);
    menu->setObjectName(QLatin1String(objectName));
    menu->menuAction()->setObjectName(QLatin1String(objectName));
    // One item checked at a time; a duration the menu does not offer leaves none checked.
    auto* group = new QActionGroup(menu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (const RingSpanItem& item : items) {
        QAction* a = menu->addAction(QString::fromUtf16(item.menuText));
        a->setObjectName(QLatin1String(item.objectName));
        a->setCheckable(true);
        a->setChecked(item.seconds == seconds || (seconds == 0 && &item == &items.front()));
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, &item, chosen] {
            chosen(item);
            QString reason;
            if (!state().saveSpans(&reason))
                platform().messages->exclamation(this, spansNotSavedMessage(reason), kCheckTitle);
        });
    }
    return menu;
}

void QzWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier && onEscapePressed()) {
        e->accept();
        return;
    }
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    // Buttons outside dialogs leave Enter to their window; a held key must not repeat it.
    auto* button = qobject_cast<QAbstractButton*>(focusWidget());
    if (enter && !e->isAutoRepeat() && button && button->isEnabled() && button->isVisible() &&
        (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        e->accept();
        button->click();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

bool QzWindow::event(QEvent* e) {
    // A window manager hands the focus back to the window a message box or file dialog stood
    // over; without one the focus stays nowhere, and the menus' Ctrl shortcuts, which act only in
    // the active window, did nothing until a click. So the window takes it back itself.
    if (e->type() == QEvent::WindowUnblocked && isVisible() && !isMinimized() && !isActiveWindow())
        activateWindow();
    return QMainWindow::event(e);
}

void QzWindow::closeEvent(QCloseEvent* e) {
    // Closed from its title bar: it is the program's only window, so the program ends the
    // way every "終了" ends it.
    e->accept();
    if (!m_leaving && !windows().exiting()) windows().exitProgram(this);
}

} // namespace qz
