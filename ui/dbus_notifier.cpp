// SPDX-License-Identifier: MIT
#include "dbus_notifier.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImage>

#ifdef QZ_HAVE_DBUS
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#endif

namespace qz {

namespace {

const QString kStopAction = QStringLiteral("stop");
// The key the services send for a click on the notification itself.
const QString kOpenAction = QStringLiteral("default");

#ifdef QZ_HAVE_DBUS
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

// The program's picture as the service takes it: rows of RGBA bytes.
QDBusArgument imageData(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGBA8888);
    QDBusArgument data;
    data.beginStructure();
    data << image.width() << image.height() << int(image.bytesPerLine()) << true << 8 << 4
         << QByteArray(reinterpret_cast<const char*>(image.constBits()),
                       qsizetype(image.sizeInBytes()));
    data.endStructure();
    return data;
}
#endif

} // namespace

QVariantList notifyArguments(const QString& title, const QString& text,
                             const QStringList& capabilities) {
    // A service that reads markup would make "<b>" in a memo bold and "&amp;" an ampersand.
    const QString body =
        capabilities.contains(QStringLiteral("body-markup")) ? text.toHtmlEscaped() : text;
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName()},
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(1))},
        // The window rings already.
        {QStringLiteral("suppress-sound"), true},
        // The ring goes on after "表示", and so does its notification, withdrawn with the ring.
        {QStringLiteral("resident"), true},
    };
    // The notification stays as long as the ring: the program withdraws it when the ring
    // ends, where the service's own timeout (ten seconds or so) would end it mid-ring.
    const int expireTimeout = 0;
    return {QStringLiteral("ＱＺタイマー"),
            uint(0),
            QString(),
            title,
            body,
            QStringList{kOpenAction, QStringLiteral("表示"), kStopAction, QStringLiteral("停止")},
            hints,
            expireTimeout};
}

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
                             std::function<void()> onStop, std::function<void()> onOpen) {
    const quint32 handle = ++m_lastHandle;
    m_shown[handle] = {0, false, title, text, std::move(onStop), std::move(onOpen)};
#ifdef QZ_HAVE_DBUS
    QDBusConnection bus = busNamed(m_connectionName);
    if (!bus.isConnected()) return handle;
    if (!m_listening) {
        // No sender named: naming the service would make Qt ask the bus for its owner and wait.
        bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                    SLOT(onActionInvoked(uint, QString)));
        bus.connect(QString(), kPath, kInterface, QStringLiteral("ActivationToken"), this,
                    SLOT(onActivationToken(uint, QString)));
        bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                    SLOT(onNotificationClosed(uint, uint)));
        m_listening = true;
    }
    if (m_capabilities)
        send(handle);
    else
        askCapabilities();
#endif
    return handle;
}

// Once per run, or until a service answers: the notifications wait for the answer, which
// comes as soon as the service is there.
void DBusNotifier::askCapabilities() {
#ifdef QZ_HAVE_DBUS
    if (m_asking) return;
    m_asking = true;
    const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                             QStringLiteral("GetCapabilities"));
    auto* watcher = new QDBusPendingCallWatcher(busNamed(m_connectionName).asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        m_asking = false;
        const QDBusPendingReply<QStringList> reply = *w;
        if (!reply.isError()) m_capabilities = reply.value();
        for (auto& [handle, shown] : m_shown)
            if (!shown.sent) send(handle);
    });
#endif
}

void DBusNotifier::send([[maybe_unused]] quint32 handle) {
#ifdef QZ_HAVE_DBUS
    Shown& shown = m_shown.at(handle);
    shown.sent = true;
    QVariantList args =
        notifyArguments(shown.title, shown.text, m_capabilities.value_or(QStringList()));
    const QIcon icon = QGuiApplication::windowIcon();
    if (!icon.isNull()) {
        QVariantMap hints = args[6].toMap();
        hints.insert(QStringLiteral("image-data"),
                     QVariant::fromValue(imageData(icon.pixmap(48).toImage())));
        args[6] = hints;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(busNamed(m_connectionName).asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, handle](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<uint> reply = *w;
                const auto it = m_shown.find(handle);
                if (reply.isError() || reply.value() == 0) {
                    // No service, or it refused: the ring goes on without a notification.
                    if (it != m_shown.end()) it->second.onStop = it->second.onOpen = nullptr;
                    return;
                }
                // Withdrawn before the service answered: take it down now.
                if (it == m_shown.end())
                    closeOnServer(reply.value());
                else
                    it->second.serverId = reply.value();
            });
#endif
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
    for (auto& [handle, shown] : m_shown) {
        if (shown.serverId != id) continue;
        // Stopping withdraws the notification and so ends this entry.
        const std::function<void()> action = actionKey == kStopAction   ? shown.onStop
                                             : actionKey == kOpenAction ? shown.onOpen
                                                                        : nullptr;
        if (action) action();
        return;
    }
}

// Sent just before the click itself: a desktop that lets a window come forward only with the
// user's leave hands that leave over here, and the window coming forward takes it.
void DBusNotifier::onActivationToken(uint id, const QString& token) {
    for (const auto& [handle, shown] : m_shown)
        if (shown.serverId == id && !token.isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
}

// Dismissed by the user or expired: the ring goes on; only the handle stays, to be withdrawn.
void DBusNotifier::onNotificationClosed(uint id, uint) {
    for (auto& [handle, shown] : m_shown)
        if (shown.serverId == id) shown.serverId = 0;
}

} // namespace qz
