// SPDX-License-Identifier: MIT
#include "single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <cstring>
#include <map>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
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

// The field that carries the startup notification ID; any other field is the activation token,
// as the only field after the request word was before there were two.
const QByteArray kStartupIdField = "startup-id=";

// A field never holds a space, a line end or another control byte. Printable characters stay as
// they are, so a token still reaches an older program that reads the rest of the line as one.
QByteArray encodeField(const QString& value) {
    static const QByteArray printable = [] {
        QByteArray chars;
        for (char c = '!'; c <= '~'; ++c)
            if (c != '%') chars += c;
        return chars;
    }();
    return value.toUtf8().toPercentEncoding(printable);
}

QByteArray requestLine(const SingleInstance::Activation& activation) {
    QByteArray request = kRequest;
    if (!activation.token.isEmpty()) request += ' ' + encodeField(activation.token);
    if (!activation.startupId.isEmpty())
        request += ' ' + kStartupIdField + encodeField(activation.startupId);
    return request + '\n';
}

// What a start's request line passes on, or nothing when the line is something else. A value
// with a control byte in it is dropped: it could not have come from the desktop.
std::optional<SingleInstance::Activation> activationOfRequest(const QByteArray& received) {
    const QByteArray line = received.trimmed();
    if (line != kRequest && !line.startsWith(kRequest + ' ')) return std::nullopt;
    const auto decoded = [](const QByteArray& field) {
        const QString value = QString::fromUtf8(QByteArray::fromPercentEncoding(field));
        const bool clean = std::none_of(value.cbegin(), value.cend(), [](QChar c) {
            return c.category() == QChar::Other_Control;
        });
        return clean ? value : QString();
    };
    SingleInstance::Activation activation;
    for (const QByteArray& field : line.mid(kRequest.size()).split(' ')) {
        if (field.startsWith(kStartupIdField))
            activation.startupId = decoded(field.mid(kStartupIdField.size()));
        else if (!field.isEmpty() && activation.token.isEmpty())
            activation.token = decoded(field);
    }
    return activation;
}

#ifdef Q_OS_UNIX

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

// A folder only this user can change: a folder itself (not a link to one), the user's own, that
// nobody else may write to. Others may look in (some sessions make the runtime folder so); the
// socket in it is the user's alone, and both ends check who is at the other one.
bool folderIsTheUsers(const QString& folder) {
    struct stat st {};
    return QDir::isAbsolutePath(folder) &&
           ::lstat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The folder that stands in for a missing runtime folder, in the shared temporary folder: made
// for this user alone, or taken as it is when it is the user's (closed again if it was left
// open). One that belongs to someone else, or a link planted in its place, is refused: whoever
// made it could put their own socket in it, or read the one the program puts there.
bool makeFolderOfTheUsers(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), S_IRWXU) != 0 && errno != EEXIST) return false;
    // Opened, not looked up by name again: what is checked is what is changed.
    const Fd fd(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::geteuid())
        return false;
    return (st.st_mode & (S_IRWXG | S_IRWXO)) == 0 || ::fchmod(fd.get(), S_IRWXU) == 0;
}

#endif

} // namespace

#ifdef Q_OS_LINUX

namespace {

// The other end of a connected socket runs as this user. A start hands its token only to the
// user's own program, and the program acts only on the user's own starts.
bool peerIsTheUser(int fd) {
    ucred cred{};
    socklen_t size = sizeof cred;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &size) == 0 && size == sizeof cred &&
           cred.uid == ::geteuid();
}

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

enum class Reply { Answered, Silent, NobodyThere, Stranger };

// Asks a running instance to come forward. NobodyThere: no program listens on the socket (no
// file, or one left by a program that was killed). Stranger: another user listens there, and is
// told nothing.
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
    if (!peerIsTheUser(fd.get())) return Reply::Stranger;

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

// When a start cannot be taken (no file left to take it with), the program waits this long
// before it tries again rather than being woken at once by the same start.
constexpr int kAcceptPauseMs = 200;

} // namespace

struct SingleInstance::Listener {
    struct Peer {
        std::unique_ptr<QSocketNotifier> notifier;
        std::unique_ptr<QTimer> quietTimer;
        QByteArray received;
    };

    SingleInstance* owner = nullptr;
    Fd fd;
    QByteArray path;
    dev_t device = 0;
    ino_t inode = 0;
    // Declared after the socket, so they go before it closes.
    std::unique_ptr<QSocketNotifier> notifier;
    std::unique_ptr<QTimer> acceptPause;
    std::map<int, Peer> peers;

    ~Listener() {
        for (auto& [peerFd, peer] : peers) {
            // A notifier never outlives the socket it watches.
            peer.notifier.reset();
            peer.quietTimer.reset();
            ::close(peerFd);
        }
        // The socket file goes with the program, unless another one has put its own there.
        struct stat st {};
        if (::stat(path.constData(), &st) == 0 && st.st_dev == device && st.st_ino == inode)
            ::unlink(path.constData());
    }

    // Accepting stops while the starts being served are as many as are served at once (the
    // others wait in the socket's queue), or while no file can be opened.
    void updateAccepting() {
        notifier->setEnabled(peers.size() < size_t(kMaxPeers) && !acceptPause->isActive());
    }

    void acceptStarts() {
        while (peers.size() < size_t(kMaxPeers)) {
            const int peerFd = ::accept4(fd.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (peerFd < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                // EAGAIN: none left. Anything else (out of files, most likely) would wake the
                // program again at once: it waits a moment instead.
                if (errno != EAGAIN && errno != EWOULDBLOCK) acceptPause->start();
                break;
            }
            if (!peerIsTheUser(peerFd)) {
                ::close(peerFd); // another user's program: not a word to it
                continue;
            }
            auto n = std::make_unique<QSocketNotifier>(peerFd, QSocketNotifier::Read);
            QObject::connect(n.get(), &QSocketNotifier::activated, owner,
                             [this, peerFd] { readFrom(peerFd); });
            auto quiet = std::make_unique<QTimer>();
            quiet->setSingleShot(true);
            QObject::connect(quiet.get(), &QTimer::timeout, owner,
                             [this, peerFd] { drop(peerFd); });
            quiet->start(owner->m_quietPeerTimeoutMs);
            peers[peerFd] = Peer{std::move(n), std::move(quiet), {}};
        }
        updateAccepting();
    }

    void drop(int peerFd) {
        const auto it = peers.find(peerFd);
        if (it == peers.end()) return;
        // Called from the notifier's or the timer's own signal: they go once it has returned, so
        // they leave the peer's ownership for the event loop's.
        it->second.notifier->setEnabled(false);
        it->second.notifier.release()->deleteLater();
        it->second.quietTimer->stop();
        it->second.quietTimer.release()->deleteLater();
        ::close(peerFd);
        peers.erase(it);
        updateAccepting();
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
        const std::optional<Activation> activation =
            end < 0 ? std::nullopt : activationOfRequest(received.left(end));
        if (activation) ::send(peerFd, kAnswer.constData(), size_t(kAnswer.size()), MSG_NOSIGNAL);
        // One request per connection: the start reads its answer and ends.
        drop(peerFd);
        if (activation) emit owner->activationRequested(activation->token, activation->startupId);
    }
};

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_name(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::listening() const {
    return m_listener != nullptr;
}

SingleInstance::Role SingleInstance::start(const Activation& activation, int timeoutMs) {
    if (m_name.isEmpty()) return Role::Alone;
    // Two starts at the same moment take turns, so exactly one of them ends up listening.
    const StartLock lock(lockPathFor(m_name, QLatin1StringView(".turn")), timeoutMs);
    const bool locked = lock.locked();

    switch (askRunningInstance(socketPathFor(m_name), requestLine(activation), timeoutMs)) {
    case Reply::Answered:
        return Role::Secondary;
    case Reply::Silent:
        // Connected, but nobody answered: a program that hangs. Starting anyway keeps the
        // user from being locked out by it.
        return Role::Alone;
    case Reply::Stranger:
        // Another user's program holds the name: the user still gets a program of their own,
        // and that one learns nothing of this start.
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
    l->notifier = std::make_unique<QSocketNotifier>(l->fd.get(), QSocketNotifier::Read);
    l->acceptPause = std::make_unique<QTimer>();
    l->acceptPause->setSingleShot(true);
    l->acceptPause->setInterval(kAcceptPauseMs);
    Listener* raw = l.get();
    connect(l->notifier.get(), &QSocketNotifier::activated, this, [raw] { raw->acceptStarts(); });
    connect(l->acceptPause.get(), &QTimer::timeout, this, [raw] { raw->acceptStarts(); });
    m_listener = std::move(l);
    return true;
}

#else // Qt's local sockets (named pipes on Windows)

namespace {

// Whether the other end of a connection runs as this user. A named pipe made with the user-only
// option admits nobody else; a local socket says who is at its other end.
bool peerIsTheUser(const QLocalSocket& socket) {
#ifdef Q_OS_UNIX
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(int(socket.socketDescriptor()), &uid, &gid) == 0 && uid == ::geteuid();
#else
    Q_UNUSED(socket);
    return true;
#endif
}

} // namespace

struct SingleInstance::Listener {
    QLocalServer server;
};

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_name(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::listening() const {
    return m_listener && m_listener->server.isListening();
}

SingleInstance::Role SingleInstance::start(const Activation& activation, int timeoutMs) {
    if (m_name.isEmpty()) return Role::Alone;
    QLockFile lock(lockPathFor(m_name, QLatin1StringView(".lock")));
    const bool locked = lock.tryLock(timeoutMs);

    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (socket.waitForConnected(timeoutMs)) {
        if (!peerIsTheUser(socket)) return Role::Alone;
        socket.write(requestLine(activation));
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
            // The starts being served are the server's connections still open.
            const qsizetype served = server.findChildren<QLocalSocket*>().size();
            if (served > kMaxPeers || !peerIsTheUser(*socket)) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            QTimer::singleShot(m_quietPeerTimeoutMs, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
            const auto onRequest = [this, socket] {
                if (!socket->canReadLine()) return;
                const std::optional<Activation> activation =
                    activationOfRequest(socket->readLine(kLongestRequest));
                if (!activation) {
                    socket->disconnectFromServer();
                    return;
                }
                socket->write(kAnswer);
                socket->flush();
                emit activationRequested(activation->token, activation->startupId);
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
    // The runtime folder is looked at here rather than through Qt, which takes only a folder of
    // mode 0700 and otherwise moves on to one in the temporary folder that every program of the
    // user shares, without a word to the program; two starts that disagreed on the folder would
    // each run a program of their own.
    const QString file = QStringLiteral("qztimer-%1.socket").arg(tag);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folderIsTheUsers(runtime)) return QDir(runtime).filePath(file);
    const QString own = QDir::temp().filePath(QStringLiteral("qztimer-%1").arg(::geteuid()));
    if (makeFolderOfTheUsers(own)) return QDir(own).filePath(file);
    return {};
#else
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    const QString userTag = QString::fromLatin1(
        QCryptographicHash::hash(user.toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
    return QStringLiteral("qztimer-%1-%2").arg(userTag, tag);
#endif
}

} // namespace qz
