// SPDX-License-Identifier: MIT
#include "dbus_notifier.h"

#include <QGuiApplication>

#ifdef QZ_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#endif

namespace qz {

#ifdef QZ_HAVE_DBUS
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kStopAction = QStringLiteral("stop");

} // namespace
#endif

DBusNotifier::DBusNotifier(QString connectionName, QObject* parent)
    : QObject(parent), m_connectionName(std::move(connectionName)) {}

DBusNotifier::~DBusNotifier() {
    // A notification must not outlive the ring it offers to stop.
    for (const auto& [handle, shown] : m_shown)
        if (shown.serverId != 0) closeOnServer(shown.serverId);
}

#ifdef QZ_HAVE_DBUS
static QDBusConnection busNamed(const QString& name) {
    return name.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(name);
}
#endif

quint32 DBusNotifier::notify(const QString& title, const QString& text,
                             std::function<void()> onStop) {
    const quint32 handle = ++m_lastHandle;
    m_shown[handle] = {0, std::move(onStop)};
#ifndef QZ_HAVE_DBUS
    Q_UNUSED(title);
    Q_UNUSED(text);
#else
    QDBusConnection bus = busNamed(m_connectionName);
    if (!bus.isConnected()) return handle;
    if (!m_listening) {
        // No sender named: naming the service would make Qt ask the bus for its owner and wait.
        bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                    SLOT(onActionInvoked(uint, QString)));
        bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                    SLOT(onNotificationClosed(uint, uint)));
        m_listening = true;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName()},
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(1))},
    };
    call << QStringLiteral("ＱＺタイマー") << uint(0) << QString() << title << text
         << QStringList{kStopAction, QStringLiteral("停止")} << hints << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, handle](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<uint> reply = *w;
                const auto it = m_shown.find(handle);
                if (reply.isError() || reply.value() == 0) {
                    // No service, or it refused: the ring goes on without a notification.
                    if (it != m_shown.end()) it->second.onStop = nullptr;
                    return;
                }
                // Withdrawn before the service answered: take it down now.
                if (it == m_shown.end())
                    closeOnServer(reply.value());
                else
                    it->second.serverId = reply.value();
            });
#endif
    return handle;
}

void DBusNotifier::withdraw(quint32 handle) {
    const auto it = m_shown.find(handle);
    if (it == m_shown.end()) return;
    if (it->second.serverId != 0) closeOnServer(it->second.serverId);
    m_shown.erase(it);
}

void DBusNotifier::closeOnServer([[maybe_unused]] uint serverId) {
#ifdef QZ_HAVE_DBUS
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("CloseNotification"));
    call << serverId;
    busNamed(m_connectionName).send(call);
#endif
}

void DBusNotifier::onActionInvoked(uint id, const QString& actionKey) {
#ifdef QZ_HAVE_DBUS
    if (actionKey != kStopAction) return;
    for (auto& [handle, shown] : m_shown) {
        if (shown.serverId != id || !shown.onStop) continue;
        // Stopping withdraws the notification and so ends this entry.
        const std::function<void()> stop = shown.onStop;
        stop();
        return;
    }
#else
    Q_UNUSED(id);
    Q_UNUSED(actionKey);
#endif
}

// Dismissed by the user or expired: the ring goes on; only the handle stays, to be withdrawn.
void DBusNotifier::onNotificationClosed(uint id, uint) {
    for (auto& [handle, shown] : m_shown)
        if (shown.serverId == id) shown.serverId = 0;
}

} // namespace qz
