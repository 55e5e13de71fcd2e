// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <utility>

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

    // What a start passes on so that the running program's window may take the focus, as the
    // desktop gave it to the start: the activation token (Wayland) and the startup notification
    // ID (X11), the latter also ending the busy pointer the desktop shows for the start. Either
    // may be empty.
    struct Activation {
        Activation() = default;
        Activation(QString activationToken, QString desktopStartupId = {})
            : token(std::move(activationToken)), startupId(std::move(desktopStartupId)) {}
        QString token;
        QString startupId;
    };

    // serverName: a name or full socket path shared by all starts of one user session.
    explicit SingleInstance(QString serverName, QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // activation: what this start passes on to a running program. A socket left behind by an
    // instance that was killed is replaced. A start that finds the socket held by another
    // user's program neither hands over to it nor tells it anything: it runs on its own (Alone).
    // So does a start without a name.
    Role start(const Activation& activation = {}, int timeoutMs = 2000);
    bool listening() const;

    // How long a connected start may stay silent before it is let go (set before start()).
    void setQuietPeerTimeout(int ms) { m_quietPeerTimeoutMs = ms; }
    // Starts served at once; further ones wait in the socket's queue until one is done, so a
    // crowd of silent connections can use up neither the program's files nor its time.
    static constexpr int kMaxPeers = 8;
    QString serverName() const { return m_name; }

    // The name for this user and display: in the user's runtime folder where the platform
    // has one, so other users never meet it. Without one (or with one other users may write
    // to), in a folder of the user's own in the temporary folder, made for the user alone;
    // empty when that folder belongs to someone else, and the program then runs unreachable.
    static QString sessionServerName();

  signals:
    // A later start asked to see the program; token and startupId as it sent them (either may
    // be empty).
    void activationRequested(const QString& token, const QString& startupId);

  private:
    struct Listener; // the listening socket and the starts connected to it, per platform

    bool listen();

    QString m_name;
    int m_quietPeerTimeoutMs = 2000;
    std::unique_ptr<Listener> m_listener;
};

} // namespace qz
