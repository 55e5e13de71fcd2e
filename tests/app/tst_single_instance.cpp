// SPDX-License-Identifier: MIT
#include "app/single_instance.h"
#include "ui/startup_message.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef QZ_TEST_XCB
#include <xcb/xcb.h>
#endif

using namespace qz;

// One program per session: the handshake between a running program and a later start.
class TestSingleInstance : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString socketPath(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

    // A later start runs start() while the first program keeps its event loop turning, as two
    // processes would; the result arrives in `role`.
    struct LaterStart {
        std::atomic<int> role{-1};
        std::thread thread;
        LaterStart(const QString& name, const SingleInstance::Activation& activation,
                   int timeoutMs) {
            thread = std::thread([this, name, activation, timeoutMs] {
                SingleInstance later(name);
                role = int(later.start(activation, timeoutMs));
            });
        }
        ~LaterStart() {
            if (thread.joinable()) thread.join();
        }
        bool finished() const { return role.load() >= 0; }
    };

#ifdef Q_OS_LINUX
    // A client on the socket that writes exactly what it is told, when it is told.
    struct RawClient {
        int fd = -1;
        bool connected = false;
        bool closed = false; // the program ended the connection
        QByteArray received;
        explicit RawClient(const QString& path) {
            fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            const QByteArray p = QFile::encodeName(path);
            std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
            connected = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        }
        ~RawClient() { ::close(fd); }
        RawClient(const RawClient&) = delete;
        RawClient& operator=(const RawClient&) = delete;
        void send(const QByteArray& bytes) {
            QCOMPARE(::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL),
                     ssize_t(bytes.size()));
        }
        // Takes what has arrived; true once the program has closed its end.
        bool poll() {
            char buf[256];
            for (;;) {
                const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                if (n > 0) {
                    received.append(buf, n);
                    continue;
                }
                if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) closed = true;
                return closed;
            }
        }
    };

    // Counted without opening one, so that it can be counted with none to spare.
    static int openFileCount() {
        rlimit limit{};
        ::getrlimit(RLIMIT_NOFILE, &limit);
        int open = 0;
        for (int fd = 0; fd < int(std::min<rlim_t>(limit.rlim_max, 65536)); ++fd)
            open += ::fcntl(fd, F_GETFD) != -1;
        return open;
    }

    static qint64 cpuTimeMs() {
        rusage use{};
        ::getrusage(RUSAGE_SELF, &use);
        return qint64(use.ru_utime.tv_sec + use.ru_stime.tv_sec) * 1000 +
               (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1000;
    }

    // Another user on the same machine: a child process that has given up root for `nobody`
    // and ends with what `body` returns. Only root can become someone else.
    static constexpr uid_t kStranger = 65534;
    struct Stranger {
        pid_t pid;
        int result = -1;
        template <typename Body> explicit Stranger(Body body) : pid(::fork()) {
            if (pid == 0)
                ::_exit(::setgid(kStranger) == 0 && ::setuid(kStranger) == 0 ? body() : 127);
        }
        ~Stranger() {
            if (pid > 0 && result < 0 && ::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
        }
        bool ended() {
            int status = 0;
            if (result < 0 && ::waitpid(pid, &status, WNOHANG) == pid)
                result = WIFEXITED(status) ? WEXITSTATUS(status) : 126;
            return result >= 0;
        }
    };

    // Waits up to ms for fd to have something to read (or to be closed by its other end).
    static bool readable(int fd, int ms) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, ms) > 0;
    }
#endif
#ifdef Q_OS_UNIX
    // Whether a program listens on the socket at path (one that is gone leaves the file).
    static bool someoneListens(const QString& path) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const QByteArray p = QFile::encodeName(path);
        std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
        const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        ::close(fd);
        return connected;
    }
#endif

  private slots:
    void laterStartRaisesTheFirstAndEnds_data() {
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("startupId");
        QTest::newRow("without an activation token") << QString() << QString();
        QTest::newRow("with the desktop's token") << QStringLiteral("abc-123_token") << QString();
        QTest::newRow("with the desktop's startup ID")
            << QString() << QStringLiteral("launcher-4711-host-qztimer-0_TIME123456");
        QTest::newRow("with both, as one launcher gives them")
            << QStringLiteral("shell/qztimer/12-3_TIME99")
            << QStringLiteral("shell/qztimer/12-3_TIME99");
        QTest::newRow("with spaces, percent signs and more than ASCII")
            << QStringLiteral("tok en%41=") << QStringLiteral("起動 100% \"id\"");
    }
    void laterStartRaisesTheFirstAndEnds() {
        QFETCH(QString, token);
        QFETCH(QString, startupId);
        const QString name = socketPath("session.socket");
        SingleInstance first(name);
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        QVERIFY(first.listening());
        QSignalSpy raised(&first, &SingleInstance::activationRequested);

        LaterStart later(name, {token, startupId}, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(later.finished(), 5000);
        QCOMPARE(later.role.load(), int(SingleInstance::Role::Secondary));
        QTRY_COMPARE(raised.size(), 1);
        QCOMPARE(raised.first().at(0).toString(), token);
        QCOMPARE(raised.first().at(1).toString(), startupId);
        // The first one keeps listening for the next start.
        LaterStart third(name, {}, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(third.finished(), 5000);
        QCOMPARE(third.role.load(), int(SingleInstance::Role::Secondary));
        QTRY_COMPARE(raised.size(), 2);
        QCOMPARE(raised.at(1).at(1).toString(), QString());
    }

    // The message that ends a start's notice, in the 20-byte pieces X11 carries it in: what a
    // receiver puts back together up to the zero is the message, whatever its length.
    void startupNoticeIsRemovedInPieces_data() {
        QTest::addColumn<QString>("startupId");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<int>("pieces");
        QTest::newRow("a launcher's ID, bare")
            << QStringLiteral("launcher-4711-host-qztimer-0_TIME123456")
            << QByteArray("remove: ID=launcher-4711-host-qztimer-0_TIME123456") << 3;
        QTest::newRow("spaces, quotes and backslashes quoted")
            << QStringLiteral("a \"b\" c\\d") << QByteArray("remove: ID=\"a \\\"b\\\" c\\\\d\"")
            << 2;
        QTest::newRow("the zero alone in the last piece")
            << QStringLiteral("123456789") << QByteArray("remove: ID=123456789") << 2;
        QTest::newRow("message and zero in one piece")
            << QStringLiteral("12345678") << QByteArray("remove: ID=12345678") << 1;
    }
    void startupNoticeIsRemovedInPieces() {
        QFETCH(QString, startupId);
        QFETCH(QByteArray, message);
        QFETCH(int, pieces);
        QCOMPARE(startupRemoveMessage(startupId), message);
        const QList<QByteArray> sent = startupMessagePieces(message);
        QCOMPARE(sent.size(), pieces);
        QVERIFY(std::all_of(sent.begin(), sent.end(),
                            [](const QByteArray& p) { return p.size() == 20; }));
        const QByteArray joined = sent.join();
        QCOMPARE(joined.left(joined.indexOf('\0')), message);
    }

    void somethingElseOnTheSocketIsNotTakenForAStart() {
        const QString name = socketPath("noise.socket");
        SingleInstance first(name);
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        QSignalSpy raised(&first, &SingleInstance::activationRequested);
        QLocalSocket stranger;
        stranger.connectToServer(name);
        QVERIFY(stranger.waitForConnected(2000));
        stranger.write("hello\n");
        stranger.flush();
        QTRY_COMPARE(stranger.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(raised.size(), 0);
    }

    // A program that accepts connections but never answers (hung) does not keep the user from
    // starting one.
    void unansweringProgramDoesNotBlockAStart() {
        const QString name = socketPath("hung.socket");
        QLocalServer hung;
        QVERIFY(hung.listen(name));
        LaterStart later(name, {}, 300);
        QTRY_VERIFY_WITH_TIMEOUT(later.finished(), 5000);
        QCOMPARE(later.role.load(), int(SingleInstance::Role::Alone));
    }

#ifdef Q_OS_UNIX
    // What a killed program leaves: a socket file nobody listens on.
    void staleSocketIsTakenOver() {
        const QString name = socketPath("stale.socket");
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(name);
        QVERIFY(size_t(path.size()) < sizeof(addr.sun_path));
        std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
        ::close(fd);
        QVERIFY(QFileInfo::exists(name));

        SingleInstance next(name);
        QCOMPARE(next.start(), SingleInstance::Role::Primary);
        QSignalSpy raised(&next, &SingleInstance::activationRequested);
        LaterStart later(name, {}, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(later.finished(), 5000);
        QCOMPARE(later.role.load(), int(SingleInstance::Role::Secondary));
        QTRY_COMPARE(raised.size(), 1);
    }

#ifdef Q_OS_LINUX
    // Two starts at the same moment take turns: while another start holds its turn, a start
    // waits for it, and one that cannot get it in time runs without listening rather than
    // taking the socket from under the other. A start that ended, however it ended, leaves
    // no turn behind.
    void startsTakeTurns() {
        const QString name = socketPath("turns.socket");
        const QByteArray lockPath = QFile::encodeName(name + QStringLiteral(".turn"));
        int holder = ::open(lockPath.constData(), O_RDWR | O_CREAT, 0600);
        QVERIFY(holder >= 0);
        QCOMPARE(::flock(holder, LOCK_EX), 0);

        SingleInstance blocked(name);
        QCOMPARE(blocked.start({}, 200), SingleInstance::Role::Alone);
        QVERIFY(!blocked.listening());

        // Let go while a start waits: it takes the turn and listens.
        std::thread release([holder] {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            ::close(holder);
        });
        SingleInstance waiting(name);
        QCOMPARE(waiting.start({}, 5000), SingleInstance::Role::Primary);
        release.join();
        QVERIFY(waiting.listening());

        // A link planted where the turn's file goes is not followed.
        const QString linked = socketPath("linked.socket");
        const QString target = socketPath("elsewhere");
        QVERIFY(QFile::link(target, linked + QStringLiteral(".turn")));
        SingleInstance planted(linked);
        planted.start({}, 200);
        QVERIFY(!QFileInfo::exists(target));
    }

    // Whatever comes on the socket in whatever pieces, the program answers only a whole request
    // line, drops the rest, and keeps serving later starts.
    void oddConnectionsAreDroppedAndLaterStartsServed_data() {
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<bool>("endWriting"); // the client shuts its sending side after them
        QTest::addColumn<bool>("isRequest");
        QTest::addColumn<QString>("startupId"); // as the program takes it from a request
        QTest::newRow("request in two writes")
            << QByteArrayList{"acti", "vate tok-1\n"} << false << true << QString();
        QTest::newRow("gone without a word") << QByteArrayList{} << true << false << QString();
        QTest::newRow("request without its line end, then gone")
            << QByteArrayList{"activate"} << true << false << QString();
        QTest::newRow("line too long")
            << QByteArrayList{QByteArray(5000, 'a')} << false << false << QString();
        QTest::newRow("request with more behind it")
            << QByteArrayList{"activate tok-1\nactivate again\n"} << false << true << QString();
        QTest::newRow("connected, then not a word")
            << QByteArrayList{} << false << false << QString();
        QTest::newRow("startup ID before the token")
            << QByteArrayList{"activate startup-id=id%201 tok-1\n"} << false << true
            << QStringLiteral("id 1");
        QTest::newRow("a line end hidden in the startup ID")
            << QByteArrayList{"activate tok-1 startup-id=a%0Ab\n"} << false << true << QString();
    }
    void oddConnectionsAreDroppedAndLaterStartsServed() {
        QFETCH(QByteArrayList, pieces);
        QFETCH(bool, endWriting);
        QFETCH(bool, isRequest);
        QFETCH(QString, startupId);
        const QString name = socketPath("odd.socket");
        SingleInstance first(name);
        first.setQuietPeerTimeout(500);
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        QSignalSpy raised(&first, &SingleInstance::activationRequested);

        RawClient client(name);
        QVERIFY(client.connected);
        for (const QByteArray& piece : pieces) {
            client.send(piece);
            QTest::qWait(30); // each piece arrives on its own
        }
        if (endWriting) ::shutdown(client.fd, SHUT_WR);
        QTRY_VERIFY(client.poll());
        QCOMPARE(client.received, isRequest ? QByteArray("ok\n") : QByteArray());
        QCOMPARE(raised.size(), isRequest ? 1 : 0);
        if (isRequest) {
            QCOMPARE(raised.first().at(0).toString(), QStringLiteral("tok-1"));
            QCOMPARE(raised.first().at(1).toString(), startupId);
        }

        LaterStart later(name, {}, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(later.finished(), 5000);
        QCOMPARE(later.role.load(), int(SingleInstance::Role::Secondary));
        QTRY_COMPARE(raised.size(), isRequest ? 2 : 1);
    }

    // Only the user may reach the program; the socket goes when the program ends normally, but
    // not a socket another program has since put in its place.
    void socketIsTheUsersAndGoesWithTheProgram() {
        const QString name = socketPath("own.socket");
        const QByteArray path = QFile::encodeName(name);
        {
            SingleInstance first(name);
            QCOMPARE(first.start(), SingleInstance::Role::Primary);
            struct stat st {};
            QCOMPARE(::stat(path.constData(), &st), 0);
            QVERIFY(S_ISSOCK(st.st_mode));
            QCOMPARE(st.st_mode & 0777, 0600u);
        }
        QVERIFY(!QFileInfo::exists(name));

        QLocalServer other;
        {
            SingleInstance first(name);
            QCOMPARE(first.start(), SingleInstance::Role::Primary);
            // Replaced behind its back (it hung, and the user removed the file by hand).
            QVERIFY(QFile::remove(name));
            QVERIFY(other.listen(name));
        }
        QVERIFY2(QFileInfo::exists(name), "the other program's socket stays");
    }

    // Another user's program where the user's own is looked for hears nothing from a start, not
    // even its activation token, however it answers, and the start runs on its own; the program
    // closes another user's start unanswered, even on a socket left open to all.
    void anotherUsersPeerLearnsNothing_data() {
        QTest::addColumn<bool>("strangerListens");
        QTest::newRow("another user's program listens") << true;
        QTest::newRow("another user's start connects") << false;
    }
    void anotherUsersPeerLearnsNothing() {
        QFETCH(bool, strangerListens);
        if (::geteuid() != 0) QSKIP("only root can act as another user");
        QTemporaryDir shared; // others may pass through, as through the temporary folder
        QCOMPARE(::chmod(QFile::encodeName(shared.path()).constData(), 0711), 0);
        const QString folder = shared.filePath(QStringLiteral("stranger"));
        QVERIFY(QDir().mkdir(folder));
        QCOMPARE(::chown(QFile::encodeName(folder).constData(), kStranger, kStranger), 0);
        const QString name = folder + QStringLiteral("/session.socket");
        const QByteArray path = QFile::encodeName(name);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
        // What the stranger hears (or is answered) until the other end closes; 98: never closed.
        const auto heardUntilClosed = [](int fd) {
            char buf[256];
            int heard = 0;
            for (ssize_t n = 1; readable(fd, 3000);) {
                if ((n = ::recv(fd, buf, sizeof buf, 0)) <= 0) return std::min(heard, 90);
                heard += int(n);
            }
            return 98;
        };

        if (strangerListens) {
            Stranger stranger([&] {
                // Listening before the name appears, so the start never finds it unanswered.
                sockaddr_un bound = addr;
                std::strcat(bound.sun_path, ".new");
                const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
                if (::bind(fd, reinterpret_cast<sockaddr*>(&bound), sizeof bound) != 0 ||
                    ::listen(fd, 4) != 0 || ::rename(bound.sun_path, path.constData()) != 0 ||
                    !readable(fd, 5000))
                    return 99;
                const int peer = ::accept(fd, nullptr, nullptr);
                ::send(peer, "ok\n", 3, MSG_NOSIGNAL); // says yes to anything
                return heardUntilClosed(peer);
            });
            QTRY_VERIFY(QFileInfo::exists(name) || stranger.ended());
            SingleInstance start(name);
            QCOMPARE(start.start(QStringLiteral("secret-token"), 2000),
                     SingleInstance::Role::Alone);
            QVERIFY(!start.listening());
            QTRY_VERIFY_WITH_TIMEOUT(stranger.ended(), 5000);
            QCOMPARE(stranger.result, 0);
            return;
        }

        SingleInstance first(name);
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        QCOMPARE(::chmod(path.constData(), 0666), 0);
        QSignalSpy raised(&first, &SingleInstance::activationRequested);
        Stranger stranger([&] {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return 99;
            ::send(fd, "activate stolen\n", 16, MSG_NOSIGNAL);
            return heardUntilClosed(fd);
        });
        QTRY_VERIFY_WITH_TIMEOUT(stranger.ended(), 5000);
        QCOMPARE(stranger.result, 0);
        QCOMPARE(raised.size(), 0);
        // The user's own starts are still served.
        LaterStart later(name, {}, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(later.finished(), 5000);
        QCOMPARE(later.role.load(), int(SingleInstance::Role::Secondary));
    }

    // Connections that say nothing are let go after a while, and however many there are, and
    // however few files the program may open, the program neither runs out of files nor spins;
    // once they are gone, a real start is served.
    void quietConnectionsAreLetGoAndDoNotStopStarts() {
        const QString name = socketPath("crowd.socket");
        SingleInstance first(name);
        first.setQuietPeerTimeout(400);
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        QSignalSpy raised(&first, &SingleInstance::activationRequested);

        constexpr int crowd = SingleInstance::kMaxPeers + 4;
        const int inUse = openFileCount();
        rlimit files{};
        ::getrlimit(RLIMIT_NOFILE, &files);
        const rlimit usual = files;
        const auto restoreLimit = qScopeGuard([usual] { ::setrlimit(RLIMIT_NOFILE, &usual); });
        // Room for the crowd and the connections served at once, not for the whole crowd twice.
        files.rlim_cur = rlim_t(inUse + crowd + SingleInstance::kMaxPeers + 2);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &files), 0);
        std::vector<std::unique_ptr<RawClient>> clients;
        for (int i = 0; i < crowd; ++i) {
            clients.push_back(std::make_unique<RawClient>(name));
            QVERIFY(clients.back()->connected);
        }
        const qint64 cpuBefore = cpuTimeMs();
        QTest::qWait(250);
        QVERIFY2(cpuTimeMs() - cpuBefore < 25, "it waits rather than spins");
        QVERIFY(openFileCount() <= inUse + crowd + SingleInstance::kMaxPeers);
        QCOMPARE(raised.size(), 0);
        // Those served first and those that waited in the queue are all let go.
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(clients.begin(), clients.end(), [](const auto& c) { return c->poll(); }),
            5000);
        for (const auto& c : clients)
            QCOMPARE(c->received, QByteArray());
        clients.clear();
        ::setrlimit(RLIMIT_NOFILE, &usual);

        LaterStart later(name, QStringLiteral("tok-2"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(later.finished(), 5000);
        QCOMPARE(later.role.load(), int(SingleInstance::Role::Secondary));
        QTRY_COMPARE(raised.size(), 1);
    }

    // Where the socket goes: the user's runtime folder if only the user can change it, or else
    // a folder of the user's own in the temporary folder, made for the user alone; nowhere when
    // that folder is someone else's or a link.
    void socketFolderIsTheUsersAlone_data() {
        QTest::addColumn<int>("runtimeMode");  // -1: the session names no runtime folder
        QTest::addColumn<QString>("fallback"); // what is already where the own folder goes
        QTest::addColumn<int>("fallbackMode");
        QTest::addColumn<QString>("expected"); // "runtime", "own" or "" (nowhere)
        QTest::newRow("runtime folder 0700") << 0700 << QString() << 0 << "runtime";
        QTest::newRow("runtime folder others may look in") << 0755 << QString() << 0 << "runtime";
        QTest::newRow("runtime folder others may write to") << 0777 << QString() << 0 << "own";
        QTest::newRow("no runtime folder") << -1 << QString() << 0 << "own";
        QTest::newRow("own folder left open") << -1 << "ours" << 0755 << "own";
        QTest::newRow("own folder kept closed") << 0777 << "ours" << 0700 << "own";
        QTest::newRow("another user's folder there") << -1 << "stranger's" << 0755 << "";
        QTest::newRow("a link there") << -1 << "link" << 0700 << "";
    }
    void socketFolderIsTheUsersAlone() {
        QFETCH(int, runtimeMode);
        QFETCH(QString, fallback);
        QFETCH(int, fallbackMode);
        QFETCH(QString, expected);
        if (fallback == QLatin1String("stranger's") && ::geteuid() != 0)
            QSKIP("only root can make a folder of another user");
        QTemporaryDir base;
        const QString tmp = base.filePath(QStringLiteral("tmp"));
        const QString runtime = base.filePath(QStringLiteral("run"));
        const QString own = tmp + QStringLiteral("/qztimer-%1").arg(::geteuid());
        const QByteArray ownPath = QFile::encodeName(own);
        QVERIFY(QDir().mkpath(tmp));
        const auto restore =
            qScopeGuard([tmpDir = qgetenv("TMPDIR"), runtimeDir = qgetenv("XDG_RUNTIME_DIR")] {
                qputenv("TMPDIR", tmpDir);
                qputenv("XDG_RUNTIME_DIR", runtimeDir);
            });
        qputenv("TMPDIR", QFile::encodeName(tmp));
        qunsetenv("XDG_RUNTIME_DIR");
        if (runtimeMode >= 0) {
            QVERIFY(QDir().mkdir(runtime));
            QCOMPARE(::chmod(QFile::encodeName(runtime).constData(), mode_t(runtimeMode)), 0);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        }
        if (fallback == QLatin1String("link")) {
            QVERIFY(QDir().mkdir(base.filePath(QStringLiteral("elsewhere"))));
            QVERIFY(QFile::link(base.filePath(QStringLiteral("elsewhere")), own));
        } else if (!fallback.isEmpty()) {
            QVERIFY(QDir().mkdir(own));
            if (fallback == QLatin1String("stranger's"))
                QCOMPARE(::chown(ownPath.constData(), kStranger, kStranger), 0);
            QCOMPARE(::chmod(ownPath.constData(), mode_t(fallbackMode)), 0);
        }

        const QString name = SingleInstance::sessionServerName();
        const QString folder = name.isEmpty() ? QString() : QFileInfo(name).absolutePath();
        QCOMPARE(folder, expected == QLatin1String("runtime") ? runtime
                         : expected == QLatin1String("own")   ? own
                                                              : QString());
        if (name.isEmpty()) QCOMPARE(SingleInstance(name).start(), SingleInstance::Role::Alone);
        struct stat st {};
        if (folder == own || fallback == QLatin1String("stranger's")) {
            QCOMPARE(::lstat(ownPath.constData(), &st), 0);
            QVERIFY(S_ISDIR(st.st_mode));
            // The user's own is closed; someone else's is left as it was.
            QCOMPARE(st.st_uid, folder == own ? ::geteuid() : kStranger);
            QCOMPARE(st.st_mode & 0777, mode_t(folder == own ? 0700 : fallbackMode));
        }
    }
#endif

    // The real program: a second start ends with 0 and the first runs on; after the first is
    // killed its leftover socket does not stop a new start; --new-instance starts regardless.
    // Some sessions leave the runtime folder readable to others; the program stays in it.
    void programStartsOncePerSession_data() {
        QTest::addColumn<int>("runtimeMode");
        QTest::newRow("runtime folder 0700") << 0700;
        QTest::newRow("runtime folder 0755") << 0755;
    }
    void programStartsOncePerSession() {
        QFETCH(int, runtimeMode);
        QTemporaryDir home;
        QCOMPARE(::chmod(QFile::encodeName(home.path()).constData(), mode_t(runtimeMode)), 0);
        const QString program = home.filePath(QStringLiteral("program/qztimer"));
        QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("program"))));
        QVERIFY(QFile::copy(QStringLiteral(QZ_PROGRAM), program));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        auto startProgram = [&](QStringList args = {}) {
            auto* p = new QProcess(this);
            p->setProcessEnvironment(env);
            p->setProgram(program);
            p->setArguments(args);
            p->start();
            return p;
        };
        auto socketFiles = [&] {
            return QDir(home.path()).entryList({QStringLiteral("qztimer-*.socket")}, QDir::System);
        };

        QProcess* first = startProgram();
        QVERIFY(first->waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(socketFiles().size(), 1, 10000);

        QProcess* second = startProgram();
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);

        first->kill();
        QVERIFY(first->waitForFinished(5000));
        QCOMPARE(socketFiles().size(), 1);
        const QString socket = QDir(home.path()).filePath(socketFiles().first());
        QVERIFY(!someoneListens(socket));

        QProcess* next = startProgram();
        QVERIFY(next->waitForStarted());
        // Only once it listens in place of the one killed is the next start sure to find it; a
        // machine under load may take seconds to get there.
        QTRY_VERIFY_WITH_TIMEOUT(someoneListens(socket), 10000);
        QCOMPARE(next->state(), QProcess::Running);
        QProcess* again = startProgram();
        QVERIFY(again->waitForFinished(10000));
        QCOMPARE(again->exitCode(), 0);

        QProcess* forced = startProgram({QStringLiteral("--new-instance")});
        QVERIFY(forced->waitForStarted());
        QVERIFY2(!forced->waitForFinished(1500), "--new-instance starts another");

        for (QProcess* p : {next, forced}) {
            p->kill();
            p->waitForFinished(5000);
        }
    }

#ifdef QZ_TEST_XCB
    // On a private X server: a start that hands over shows no window, so the running program
    // ends the desktop's startup notice for it (the busy pointer) and gives the start's ID to the
    // window it raises, from which a window manager takes the time of the start.
    void handOverEndsTheStartupNoticeOnX11() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty()) QSKIP("no Xvfb to run the program on");
        QProcess server;
        server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                            QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY(server.waitForStarted());
        QByteArray displayNumber;
        QTRY_VERIFY_WITH_TIMEOUT((displayNumber += server.readAllStandardOutput()).contains('\n'),
                                 10000);
        const QByteArray display = ':' + displayNumber.trimmed();
        xcb_connection_t* x = xcb_connect(display.constData(), nullptr);
        const auto closeX = qScopeGuard([x] { xcb_disconnect(x); });
        QVERIFY(!xcb_connection_has_error(x));
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
        const auto atom = [x](const char* name) {
            xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
                x, xcb_intern_atom(x, 0, uint16_t(std::strlen(name)), name), nullptr);
            const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
            std::free(r);
            return a;
        };
        const xcb_atom_t begin = atom("_NET_STARTUP_INFO_BEGIN");
        const xcb_atom_t more = atom("_NET_STARTUP_INFO");
        const xcb_atom_t startupIdAtom = atom("_NET_STARTUP_ID");
        // The messages seen on the root window, each put together from its pieces.
        QByteArrayList messages;
        QByteArray partial;
        const auto takeEvents = [&] {
            while (xcb_generic_event_t* e = xcb_poll_for_event(x)) {
                const auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
                if ((e->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                    (m->type == begin || m->type == more)) {
                    if (m->type == begin) partial.clear();
                    partial.append(reinterpret_cast<const char*>(m->data.data8), 20);
                    if (partial.contains('\0'))
                        messages.append(partial.left(partial.indexOf('\0')));
                }
                std::free(e);
            }
            return messages.size();
        };

        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("DESKTOP_STARTUP_ID"));
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(QZ_PROGRAM), {});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(home.path())
                                      .entryList({QStringLiteral("qztimer-*.socket")}, QDir::System)
                                      .isEmpty(),
                                 10000);

        const QByteArray id = "menu-4711-host-qztimer-0_TIME123456";
        env.insert(QStringLiteral("DESKTOP_STARTUP_ID"), QString::fromLatin1(id));
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(QZ_PROGRAM), {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(takeEvents(), 1, 5000);
        QCOMPARE(messages.first(), "remove: ID=" + id);

        // The ID is on the program's window.
        QByteArrayList ids;
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x, xcb_query_tree(x, root), nullptr);
        QVERIFY(tree);
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            xcb_get_property_reply_t* p = xcb_get_property_reply(
                x, xcb_get_property(x, 0, children[i], startupIdAtom, XCB_ATOM_ANY, 0, 256),
                nullptr);
            if (p && xcb_get_property_value_length(p) > 0)
                ids.append(QByteArray(static_cast<const char*>(xcb_get_property_value(p)),
                                      xcb_get_property_value_length(p)));
            std::free(p);
        }
        std::free(tree);
        QCOMPARE(ids, QByteArrayList{id});

        first.kill();
        first.waitForFinished(5000);
        QCOMPARE(takeEvents(), 1);
    }
#endif
#endif

    void sessionNameIsPerUserAndDisplay() {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
        qputenv("DISPLAY", ":7");
        const QString a = SingleInstance::sessionServerName();
        qputenv("DISPLAY", ":8");
        const QString b = SingleInstance::sessionServerName();
        QVERIFY(a != b);
        QVERIFY(a.contains(QStringLiteral("qztimer")));
#ifdef Q_OS_UNIX
        // In the user's own runtime folder, which nobody else can enter.
        QVERIFY(QDir::isAbsolutePath(a));
#endif
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
