// SPDX-License-Identifier: MIT
#pragma once

#include "ui/desktop_notifier.h"

#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <map>
#include <optional>

namespace qz {

// The arguments of one Notify call but the picture: the service's capabilities say whether
// the text would be read as markup, and a memo is shown as it was typed.
QVariantList notifyArguments(const QString& title, const QString& text,
                             const QStringList& capabilities);

// The freedesktop notification service on the session bus. Nothing waits for an answer: the
// first notification goes out once the service has said what it can, and a desktop without the
// service answers with an error that is dropped. Built without Qt D-Bus, it shows nothing.
class DBusNotifier final : public QObject, public DesktopNotifier {
    Q_OBJECT
  public:
    // `connectionName` names a connection made with QDBusConnection::connectToBus; empty is
    // the session bus, opened at the first notification.
    explicit DBusNotifier(QString connectionName = {}, QObject* parent = nullptr);
    ~DBusNotifier() override;
    Q_DISABLE_COPY_MOVE(DBusNotifier)

    quint32 notify(const QString& title, const QString& text, std::function<void()> onStop,
                   std::function<void()> onOpen) override;
    void withdraw(quint32 handle) override;

  private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onActivationToken(uint id, const QString& token);
    void onNotificationClosed(uint id, uint reason);

  private:
    struct Shown {
        uint serverId = 0; // 0 until the service has answered
        bool sent = false; // held back until the service's capabilities are known
        QString title;
        QString text;
        std::function<void()> onStop;
        std::function<void()> onOpen;
    };
    void askCapabilities();
    void send(quint32 handle);
    void closeOnServer(uint serverId);

    QString m_connectionName;
    bool m_listening = false;
    bool m_asking = false;
    std::optional<QStringList> m_capabilities;
    quint32 m_lastHandle = 0;
    std::map<quint32, Shown> m_shown;
};

} // namespace qz
