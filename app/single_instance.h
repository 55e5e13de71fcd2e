// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace qz {

// Keeps one running program per user session. The first start listens on a local socket;
// a later start connects, asks the first to bring its window forward, and ends.
// On Linux the socket is a plain AF_UNIX one watched by a socket notifier, so the program
// needs nothing beyond Qt Core for it (no network library mapped at start); elsewhere it is
// Qt's local socket.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    enum class Role {
        Primary,   // no other instance answered: this one listens now
        Secondary, // a running instance answered and will come forward: end this start
        Alone,     // neither: run without being reachable (the other one did not answer, or
                   // the socket could not be created)
    };

    // serverName: a name or full socket path shared by all starts of one user session.
    explicit SingleInstance(QString serverName, QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // token: the desktop's activation token of this start, passed on so the running window
    // may take the focus. A socket left behind by an instance that was killed is replaced.
    Role start(const QString& token = {}, int timeoutMs = 2000);
    bool listening() const;
    QString serverName() const { return m_name; }

    // The name for this user and display: in the user's runtime folder where the platform
    // has one, so other users never meet it.
    static QString sessionServerName();

  signals:
    // A later start asked to see the program; token as it sent it (may be empty).
    void activationRequested(const QString& token);

  private:
    struct Listener; // the listening socket and the starts connected to it, per platform

    bool listen();

    QString m_name;
    std::unique_ptr<Listener> m_listener;
};

} // namespace qz
