// SPDX-License-Identifier: MIT
#pragma once

// The desktop's notification service as a test sees it: on a private bus of its own, it keeps
// what it was asked and sends the signals a test tells it to.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

namespace qz {

class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    struct Notified {
        QString summary;
        QString body;
        QStringList actions;
    };

    // Starts a bus daemon of its own; the connection named `clientName` is the client's end.
    bool start(const QString& clientName) {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address")});
        if (!m_daemon.waitForStarted() || !m_daemon.waitForReadyRead(5000)) return false;
        const QString address = QString::fromLatin1(m_daemon.readLine().trimmed());
        QDBusConnection::connectToBus(address, clientName);
        m_bus = QDBusConnection::connectToBus(address, QStringLiteral("fake-server"));
        return m_bus.isConnected() &&
               m_bus.registerObject(path(), this, QDBusConnection::ExportAllSlots);
    }
    ~FakeNotificationServer() override {
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-server"));
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    // Present on the bus or not.
    bool serve(bool on) {
        const QString name = QStringLiteral("org.freedesktop.Notifications");
        return on ? m_bus.registerService(name) : m_bus.unregisterService(name);
    }
    void invokeAction(uint id, const QString& key) {
        QDBusMessage signal =
            QDBusMessage::createSignal(path(), QStringLiteral("org.freedesktop.Notifications"),
                                       QStringLiteral("ActionInvoked"));
        signal << id << key;
        m_bus.send(signal);
    }
    static uint idOf(qsizetype index) { return uint(index) + 100; }

    QList<Notified> notified;
    QList<uint> closed;

  public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int) {
        notified.append({summary, body, actions});
        return idOf(notified.size() - 1);
    }
    void CloseNotification(uint id) { closed.append(id); }

  private:
    static QString path() { return QStringLiteral("/org/freedesktop/Notifications"); }
    QProcess m_daemon;
    QDBusConnection m_bus{QString()};
};

} // namespace qz
