// SPDX-License-Identifier: MIT
#pragma once

#include "ui/desktop_notifier.h"

#include <QObject>
#include <map>

namespace qz {

// The freedesktop notification service on the session bus. Every call is sent without waiting
// for its answer; a desktop without the service answers with an error that is dropped. Built
// without Qt D-Bus, it shows nothing.
class DBusNotifier final : public QObject, public DesktopNotifier {
    Q_OBJECT
  public:
    // `connectionName` names a connection made with QDBusConnection::connectToBus; empty is
    // the session bus, opened at the first notification.
    explicit DBusNotifier(QString connectionName = {}, QObject* parent = nullptr);
    ~DBusNotifier() override;
    Q_DISABLE_COPY_MOVE(DBusNotifier)

    quint32 notify(const QString& title, const QString& text,
                   std::function<void()> onStop) override;
    void withdraw(quint32 handle) override;

  private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

  private:
    struct Shown {
        uint serverId = 0; // 0 until the service has answered
        std::function<void()> onStop;
    };
    void closeOnServer(uint serverId);

    QString m_connectionName;
    bool m_listening = false;
    quint32 m_lastHandle = 0;
    std::map<quint32, Shown> m_shown;
};

} // namespace qz
