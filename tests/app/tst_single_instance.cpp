// SPDX-License-Identifier: MIT
#include "app/single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
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
        LaterStart(const QString& name, const QString& token, int timeoutMs) {
            thread = std::thread([this, name, token, timeoutMs] {
                SingleInstance later(name);
                role = int(later.start(token, timeoutMs));
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
#endif

  private slots:
    void laterStartRaisesTheFirstAndEnds_data() {
        QTest::addColumn<QString>("token");
        QTest::newRow("without an activation token") << QString();
        QTest::newRow("with the desktop's token") << QStringLiteral("abc-123_token");
    }
    void laterStartRaisesTheFirstAndEnds() {
        QFETCH(QString, token);
        const QString name = socketPath("session.socket");
        SingleInstance first(name);
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        QVERIFY(first.listening());
        QSignalSpy raised(&first, &SingleInstance::activationRequested);

        LaterStart later(name, token, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(later.finished(), 5000);
        QCOMPARE(later.role.load(), int(SingleInstance::Role::Secondary));
        QTRY_COMPARE(raised.size(), 1);
        QCOMPARE(raised.first().first().toString(), token);
        // The first one keeps listening for the next start.
        LaterStart third(name, {}, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(third.finished(), 5000);
        QCOMPARE(third.role.load(), int(SingleInstance::Role::Secondary));
        QTRY_COMPARE(raised.size(), 2);
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
        QTest::newRow("request in two writes")
            << QByteArrayList{"acti", "vate tok-1\n"} << false << true;
        QTest::newRow("gone without a word") << QByteArrayList{} << true << false;
        QTest::newRow("request without its line end, then gone")
            << QByteArrayList{"activate"} << true << false;
        QTest::newRow("line too long") << QByteArrayList{QByteArray(5000, 'a')} << false << false;
        QTest::newRow("request with more behind it")
            << QByteArrayList{"activate tok-1\nactivate again\n"} << false << true;
    }
    void oddConnectionsAreDroppedAndLaterStartsServed() {
        QFETCH(QByteArrayList, pieces);
        QFETCH(bool, endWriting);
        QFETCH(bool, isRequest);
        const QString name = socketPath("odd.socket");
        SingleInstance first(name);
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
        if (isRequest) QCOMPARE(raised.first().first().toString(), QStringLiteral("tok-1"));

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
#endif

    // The real program: a second start ends with 0 and the first runs on; after the first is
    // killed its leftover socket does not stop a new start; --new-instance starts regardless.
    void programStartsOncePerSession() {
        QTemporaryDir home;
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

        QProcess* next = startProgram();
        QVERIFY(next->waitForStarted());
        QVERIFY2(!next->waitForFinished(1500), "a start after a killed program runs");
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
#endif

    void sessionNameIsPerUserAndDisplay() {
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
