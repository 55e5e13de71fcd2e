// SPDX-License-Identifier: MIT
#include "single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>

#include <optional>

#ifdef Q_OS_LINUX
#include <QDeadlineTimer>
#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#else
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#endif

namespace qz {

namespace {

const QByteArray kRequest = "activate";
const QByteArray kAnswer = "ok\n";
// A request is one short line; anything longer is not one of ours.
constexpr qsizetype kLongestRequest = 4096;

// The file beside the socket on which starts take turns. The two kinds of lock have names of
// their own: the empty file that a kernel lock leaves must never be read as a lock file of
// Qt's kind, which would make an older version wait for it to go stale.
QString lockPathFor(const QString& name, QLatin1StringView suffix) {
    const QString base = QDir::isAbsolutePath(name) ? name : QDir::temp().filePath(name);
    return base + suffix;
}

QByteArray requestLine(const QString& token) {
    QByteArray request = kRequest;
    if (!token.isEmpty()) request += ' ' + token.toUtf8();
    return request + '\n';
}

// The token of a start's request line, or nothing when the line is something else.
std::optional<QString> tokenOfRequest(const QByteArray& received) {
    const QByteArray line = received.trimmed();
    if (line != kRequest && !line.startsWith(kRequest + ' ')) return std::nullopt;
    return QString::fromUtf8(line.mid(kRequest.size()).trimmed());
}

} // namespace

#ifdef Q_OS_LINUX

namespace {

// The socket file of a name: a relative name lies in the temporary folder, as Qt's local
// sockets place it.
QByteArray socketPathFor(const QString& name) {
    return QFile::encodeName(QDir::isAbsolutePath(name) ? name : QDir::temp().filePath(name));
}

bool addressFor(const QByteArray& path, sockaddr_un& addr) {
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof(addr.sun_path)) return false;
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    return true;
}

class Fd {
  public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    void reset(int fd = -1) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }

  private:
    int m_fd;
};

// Two starts at the same moment take turns on a lock of a file beside the socket. The kernel
// lets go of it with the process that held it, so a start that was killed blocks nobody, and
// taking it writes nothing to the disk (a lock file that records its owner is synced first,
// which the launcher would wait for at every start). The file itself stays, empty.
class StartLock {
  public:
    StartLock(const QString& path, int timeoutMs) {
        // Read-only and never through a link: nothing is written, and a link planted in a shared
        // temporary folder leads nowhere.
        m_fd.reset(::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (m_fd.get() < 0) return;
        const QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            if (::flock(m_fd.get(), LOCK_EX | LOCK_NB) == 0) {
                m_locked = true;
                return;
            }
            if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired()) return;
            ::usleep(5000);
        }
    }
    bool locked() const { return m_locked; }

  private:
    Fd m_fd;
    bool m_locked = false;
};

// Waits until fd is ready for `events` or the deadline passes.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, int(deadline.remainingTime()));
        if (r > 0) return true;
        if (r == 0 || errno != EINTR) return false;
    }
}

enum class Reply { Answered, Silent, NobodyThere };

// Asks a running instance to come forward. NobodyThere: no program listens on the socket (no
// file, or one left by a program that was killed).
Reply askRunningInstance(const QByteArray& path, const QByteArray& request, int timeoutMs) {
    sockaddr_un addr;
    if (!addressFor(path, addr)) return Reply::NobodyThere;
    Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0) return Reply::NobodyThere;
    // A listener whose queue is full makes connect() wait; the send timeout bounds that wait.
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd.get(), SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    int r;
    do {
        r = ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        return errno == EAGAIN || errno == EINPROGRESS || errno == ETIMEDOUT ? Reply::Silent
                                                                             : Reply::NobodyThere;

    const QDeadlineTimer deadline(timeoutMs);
    qsizetype sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(fd.get(), request.constData() + sent,
                                 size_t(request.size() - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno == EINTR) {
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(fd.get(), POLLOUT, deadline)) return Reply::Silent;
        } else {
            return Reply::Silent;
        }
    }
    QByteArray answer;
    while (!answer.contains('\n') && answer.size() < kLongestRequest) {
        if (!waitFor(fd.get(), POLLIN, deadline)) return Reply::Silent;
        char buf[256];
        const ssize_t n = ::recv(fd.get(), buf, sizeof buf, MSG_DONTWAIT);
        if (n > 0)
            answer.append(buf, n);
        else if (n == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
            break;
    }
    return answer.left(answer.indexOf('\n') + 1) == kAnswer ? Reply::Answered : Reply::Silent;
}

} // namespace

struct SingleInstance::Listener {
    struct Peer {
        QSocketNotifier* notifier = nullptr;
        QByteArray received;
    };

    SingleInstance* owner = nullptr;
    Fd fd;
    QByteArray path;
    dev_t device = 0;
    ino_t inode = 0;
    QSocketNotifier* notifier = nullptr;
    std::map<int, Peer> peers;

    ~Listener() {
        for (auto& [peerFd, peer] : peers) {
            delete peer.notifier;
            ::close(peerFd);
        }
        delete notifier;
        // The socket file goes with the program, unless another one has put its own there.
        struct stat st {};
        if (::stat(path.constData(), &st) == 0 && st.st_dev == device && st.st_ino == inode)
            ::unlink(path.constData());
    }

    void acceptStarts() {
        for (;;) {
            const int peerFd = ::accept4(fd.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (peerFd < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                return; // EAGAIN: none left; anything else: try again on the next wake-up
            }
            auto* n = new QSocketNotifier(peerFd, QSocketNotifier::Read);
            QObject::connect(n, &QSocketNotifier::activated, owner,
                             [this, peerFd] { readFrom(peerFd); });
            peers[peerFd] = Peer{n, {}};
        }
    }

    void drop(int peerFd) {
        const auto it = peers.find(peerFd);
        if (it == peers.end()) return;
        // Called from the notifier's own signal: it goes once the signal has returned.
        it->second.notifier->setEnabled(false);
        it->second.notifier->deleteLater();
        ::close(peerFd);
        peers.erase(it);
    }

    void readFrom(int peerFd) {
        const auto it = peers.find(peerFd);
        if (it == peers.end()) return;
        QByteArray& received = it->second.received;
        for (;;) {
            char buf[512];
            const ssize_t n = ::recv(peerFd, buf, sizeof buf, 0);
            if (n > 0) {
                received.append(buf, n);
                if (received.contains('\n') || received.size() >= kLongestRequest) break;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return; // more to come
            drop(peerFd); // gone before a whole line, or an error
            return;
        }
        const qsizetype end = received.indexOf('\n');
        const std::optional<QString> token =
            end < 0 ? std::nullopt : tokenOfRequest(received.left(end));
        if (token) ::send(peerFd, kAnswer.constData(), size_t(kAnswer.size()), MSG_NOSIGNAL);
        // One request per connection: the start reads its answer and ends.
        drop(peerFd);
        if (token) emit owner->activationRequested(*token);
    }
};

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_name(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::listening() const {
    return m_listener != nullptr;
}

SingleInstance::Role SingleInstance::start(const QString& token, int timeoutMs) {
    // Two starts at the same moment take turns, so exactly one of them ends up listening.
    const StartLock lock(lockPathFor(m_name, QLatin1StringView(".turn")), timeoutMs);
    const bool locked = lock.locked();

    switch (askRunningInstance(socketPathFor(m_name), requestLine(token), timeoutMs)) {
    case Reply::Answered:
        return Role::Secondary;
    case Reply::Silent:
        // Connected, but nobody answered: a program that hangs. Starting anyway keeps the
        // user from being locked out by it.
        return Role::Alone;
    case Reply::NobodyThere:
        break;
    }
    if (!locked) return Role::Alone;
    return listen() ? Role::Primary : Role::Alone;
}

bool SingleInstance::listen() {
    auto l = std::make_unique<Listener>();
    l->owner = this;
    l->path = socketPathFor(m_name);
    sockaddr_un addr;
    if (!addressFor(l->path, addr)) return false;
    l->fd.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (l->fd.get() < 0) return false;
    const auto bindIt = [&] {
        return ::bind(l->fd.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    };
    bool bound = bindIt();
    if (!bound && errno == EADDRINUSE) {
        // Nobody answered on it, so the file is a leftover of a program that did not end
        // normally (killed, crashed): take it over.
        ::unlink(l->path.constData());
        bound = bindIt();
    }
    struct stat st {};
    // Only this user may connect; nobody can before listen(), so there is no window for it.
    if (!bound || ::chmod(l->path.constData(), S_IRUSR | S_IWUSR) != 0 ||
        ::stat(l->path.constData(), &st) != 0) {
        if (bound) ::unlink(l->path.constData());
        return false;
    }
    l->device = st.st_dev;
    l->inode = st.st_ino;
    if (::listen(l->fd.get(), 16) != 0) return false; // the destructor removes the file
    l->notifier = new QSocketNotifier(l->fd.get(), QSocketNotifier::Read);
    Listener* raw = l.get();
    connect(l->notifier, &QSocketNotifier::activated, this, [raw] { raw->acceptStarts(); });
    m_listener = std::move(l);
    return true;
}

#else // Qt's local sockets (named pipes on Windows)

struct SingleInstance::Listener {
    QLocalServer server;
};

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_name(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::listening() const {
    return m_listener && m_listener->server.isListening();
}

SingleInstance::Role SingleInstance::start(const QString& token, int timeoutMs) {
    QLockFile lock(lockPathFor(m_name, QLatin1StringView(".lock")));
    const bool locked = lock.tryLock(timeoutMs);

    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (socket.waitForConnected(timeoutMs)) {
        socket.write(requestLine(token));
        socket.waitForBytesWritten(timeoutMs);
        while (!socket.canReadLine() && socket.waitForReadyRead(timeoutMs)) {
        }
        if (socket.canReadLine() && socket.readLine() == kAnswer) return Role::Secondary;
        return Role::Alone;
    }
    if (!locked) return Role::Alone;
    return listen() ? Role::Primary : Role::Alone;
}

bool SingleInstance::listen() {
    auto l = std::make_unique<Listener>();
    QLocalServer& server = l->server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    bool listening = server.listen(m_name);
    if (!listening && server.serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(m_name);
        listening = server.listen(m_name);
    }
    if (!listening) return false;
    connect(&server, &QLocalServer::newConnection, this, [this, &server] {
        while (QLocalSocket* socket = server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            const auto onRequest = [this, socket] {
                if (!socket->canReadLine()) return;
                const std::optional<QString> token =
                    tokenOfRequest(socket->readLine(kLongestRequest));
                if (!token) {
                    socket->disconnectFromServer();
                    return;
                }
                socket->write(kAnswer);
                socket->flush();
                emit activationRequested(*token);
            };
            connect(socket, &QLocalSocket::readyRead, this, onRequest);
            onRequest();
        }
    });
    m_listener = std::move(l);
    return true;
}

#endif

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

} // namespace qz
