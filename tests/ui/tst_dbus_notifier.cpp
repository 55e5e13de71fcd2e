// SPDX-License-Identifier: MIT
#include "tests/support/fake_notification_server.h"
#include "ui/dbus_notifier.h"

#include <QStandardPaths>
#include <QTest>

using namespace qz;

// The notifier against a notification service on a bus of its own. The service answers on
// this same thread, so a notifier that waited for it would not see it answer in time.
class TstDBusNotifier : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            QSKIP("no dbus-daemon");
        QVERIFY(m_server.start(QStringLiteral("client")));
    }

    void stopFromTheDesktop() {
        QVERIFY(m_server.serve(true));
        DBusNotifier notifier(QStringLiteral("client"));
        int stops = 0;
        quint32 handle = 0;
        handle = notifier.notify(QStringLiteral("お知らせタイマー"), QStringLiteral("会議"), [&] {
            ++stops;
            notifier.withdraw(handle);
        });
        QVERIFY(m_server.notified.isEmpty()); // sent, not waited for
        QTRY_COMPARE(m_server.notified.size(), 1);
        QCOMPARE(m_server.notified[0].summary, QStringLiteral("お知らせタイマー"));
        QCOMPARE(m_server.notified[0].body, QStringLiteral("会議"));
        QCOMPARE(m_server.notified[0].actions,
                 (QStringList{QStringLiteral("stop"), QStringLiteral("停止")}));
        QTest::qWait(50);
        m_server.invokeAction(FakeNotificationServer::idOf(0), QStringLiteral("default"));
        m_server.invokeAction(FakeNotificationServer::idOf(0), QStringLiteral("stop"));
        QTRY_COMPARE(stops, 1);
        QTRY_COMPARE(m_server.closed, QList<uint>{FakeNotificationServer::idOf(0)});
    }

    void withdrawnBeforeTheAnswer() {
        QVERIFY(m_server.serve(true));
        m_server.notified.clear();
        m_server.closed.clear();
        DBusNotifier notifier(QStringLiteral("client"));
        notifier.withdraw(notifier.notify(QStringLiteral("カウントダウン"),
                                          QStringLiteral("カウントダウン終了"), [] {}));
        QTRY_COMPARE(m_server.closed, QList<uint>{FakeNotificationServer::idOf(0)});
    }

    void noServiceNoHarm() {
        QVERIFY(m_server.serve(false));
        m_server.notified.clear();
        DBusNotifier notifier(QStringLiteral("client"));
        const quint32 handle = notifier.notify(QStringLiteral("t"), QStringLiteral("x"), [] {});
        QTest::qWait(200);
        notifier.withdraw(handle);
        QVERIFY(m_server.notified.isEmpty());
    }

  private:
    FakeNotificationServer m_server;
};

QTEST_GUILESS_MAIN(TstDBusNotifier)
#include "tst_dbus_notifier.moc"
