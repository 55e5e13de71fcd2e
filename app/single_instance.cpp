// SPDX-License-Identifier: MIT
#include "single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace qz {

namespace {

const QByteArray kRequest = "activate";
const QByteArray kAnswer = "ok\n";

QString lockPathFor(const QString& name) {
    const QString base = QDir::isAbsolutePath(name) ? name : QDir::temp().filePath(name);
    return base + QStringLiteral(".lock");
}

} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_name(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::listening() const {
    return m_server && m_server->isListening();
}

QString SingleInstance::sessionServerName() {
    // One instance per display: a user logged in twice (two seats, a remote session) gets a
    // program in each, as with other single-instance desktop programs.
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
    const QString tag = QString::fromLatin1(
        QCryptographicHash::hash(display.toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
#ifdef Q_OS_UNIX
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return QDir(runtime).filePath(QStringLiteral("qztimer-%1.socket").arg(tag));
#endif
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    const QString userTag = QString::fromLatin1(
        QCryptographicHash::hash(user.toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
    return QStringLiteral("qztimer-%1-%2").arg(userTag, tag);
}

SingleInstance::Role SingleInstance::start(const QString& token, int timeoutMs) {
    // Two starts at the same moment take turns, so exactly one of them ends up listening.
    QLockFile lock(lockPathFor(m_name));
    const bool locked = lock.tryLock(timeoutMs);

    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (socket.waitForConnected(timeoutMs)) {
        QByteArray request = kRequest;
        if (!token.isEmpty()) request += ' ' + token.toUtf8();
        socket.write(request + '\n');
        socket.waitForBytesWritten(timeoutMs);
        while (!socket.canReadLine() && socket.waitForReadyRead(timeoutMs)) {
        }
        if (socket.canReadLine() && socket.readLine() == kAnswer) return Role::Secondary;
        // Connected, but nobody answered: a program that hangs. Starting anyway keeps the user
        // from being locked out by it.
        return Role::Alone;
    }
    if (!locked) return Role::Alone;
    return listen() ? Role::Primary : Role::Alone;
}

bool SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    if (m_server->listen(m_name)) return true;
    // Nobody answered on it, so the name is a leftover of a program that did not end
    // normally (killed, crashed): take it over.
    if (m_server->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(m_name);
        if (m_server->listen(m_name)) return true;
    }
    delete m_server;
    m_server = nullptr;
    return false;
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onRequest(socket); });
        if (socket->canReadLine()) onRequest(socket);
    }
}

void SingleInstance::onRequest(QLocalSocket* socket) {
    if (!socket->canReadLine()) return;
    const QByteArray line = socket->readLine(4096).trimmed();
    if (line != kRequest && !line.startsWith(kRequest + ' ')) {
        socket->disconnectFromServer();
        return;
    }
    socket->write(kAnswer);
    socket->flush();
    emit activationRequested(QString::fromUtf8(line.mid(kRequest.size()).trimmed()));
}

} // namespace qz
