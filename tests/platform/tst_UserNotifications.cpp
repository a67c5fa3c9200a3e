// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/UserNotifications.h"
#include "support/FakeNotificationServer.h"

#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

#include <QCoro/QCoroTask>

#include <memory>

using namespace Qt::StringLiterals;

using Content = UserNotifications::Content;
using Settings = UserNotifications::Settings;

namespace {

Content content(const QString &identifier, const QString &body = u"Your site went live."_s)
{
    return {identifier, u"Published"_s, body, true, {{u"quorvane_event_id"_s, identifier}}};
}

// The test's session bus as the application sees it, apart from the fake server's connection.
QDBusConnection bus()
{
    return QDBusConnection::sessionBus();
}

} // namespace

class tst_UserNotifications : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(bus().isConnected(), "run inside scripts/with-test-session");
    }

    void postCarriesTheSenderTheDefaultActionAndTheSound_data()
    {
        QTest::addColumn<bool>("sound");
        QTest::addColumn<QVariantMap>("hints");
        QTest::newRow("with sound") << true
                                    << QVariantMap{{u"sound-name"_s, u"message-new-instant"_s},
                                                   {u"desktop-entry"_s, u"studio.velliscor.quorvane"_s}};
        QTest::newRow("silent") << false
                                << QVariantMap{{u"suppress-sound"_s, true},
                                               {u"desktop-entry"_s, u"studio.velliscor.quorvane"_s}};
    }

    void postCarriesTheSenderTheDefaultActionAndTheSound()
    {
        QFETCH(bool, sound);
        QFETCH(QVariantMap, hints);
        FakeNotificationServer server;
        QVERIFY(server.isRegistered());
        UserNotifications notifications(bus(), {u"Quorvane"_s, u"quorvane"_s, u"studio.velliscor.quorvane"_s});

        Content posted = content(u"A"_s);
        posted.sound = sound;
        const UserNotifications::Posted outcome = QCoro::waitFor(notifications.post(posted));

        QCOMPARE(outcome.failure, std::nullopt);
        QCOMPARE(outcome.settings, (Settings{Settings::Authorization::Authorized, Settings::Alert::Enabled}));
        QCOMPARE(server.notifications().size(), 1);
        const FakeNotificationServer::Notification &shown = server.notifications().constFirst();
        QCOMPARE(shown.appName, u"Quorvane"_s);
        QCOMPARE(shown.appIcon, u"quorvane"_s);
        QCOMPARE(shown.replacesId, 0u);
        QCOMPARE(shown.summary, u"Published"_s);
        QCOMPARE(shown.body, u"Your site went live."_s);
        QCOMPARE(shown.actions, (QStringList{u"default"_s, u"Open"_s}));
        QCOMPARE(shown.hints, hints);
        QCOMPARE(shown.expireTimeout, -1);
    }

    void bodyIsEscapedOnlyForServersThatReadMarkup_data()
    {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("shown");
        const QString raw = u"R&D <b>beta</b> site > 2 &amp; more"_s;
        QTest::newRow("plain server") << QStringList{u"body"_s} << raw << raw;
        QTest::newRow("markup server") << QStringList{u"body"_s, u"body-markup"_s} << raw
                                       << u"R&amp;D &lt;b&gt;beta&lt;/b&gt; site &gt; 2 &amp;amp; more"_s;
        QTest::newRow("markup server, empty body") << QStringList{u"body-markup"_s} << QString() << QString();
    }

    void bodyIsEscapedOnlyForServersThatReadMarkup()
    {
        QFETCH(QStringList, capabilities);
        QFETCH(QString, body);
        QFETCH(QString, shown);
        FakeNotificationServer server(capabilities);
        QVERIFY(server.isRegistered());
        UserNotifications notifications(bus());

        QCOMPARE(QCoro::waitFor(notifications.post(content(u"A"_s, body))).failure, std::nullopt);

        QCOMPARE(server.notifications().constFirst().body, shown);
        QCOMPARE(server.notifications().constFirst().summary, u"Published"_s);
    }

    void postingAnIdentifierAgainReplacesItsNotification()
    {
        FakeNotificationServer server;
        UserNotifications notifications(bus());
        QSignalSpy taps(&notifications, &UserNotifications::activated);

        QCoro::waitFor(notifications.post(content(u"A"_s)));
        QCoro::waitFor(notifications.post(content(u"B"_s)));
        Content again = content(u"A"_s, u"second"_s);
        again.userInfo = {{u"quorvane_event_id"_s, u"A, second"_s}};
        QCoro::waitFor(notifications.post(again));

        const QList<FakeNotificationServer::Notification> shown = server.notifications();
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown[0].replacesId, 0u);
        QCOMPARE(shown[1].replacesId, 0u);
        QCOMPARE(shown[2].replacesId, shown[0].id);
        QCOMPARE_NE(shown[0].id, shown[1].id);

        // The replaced notification's tap now carries the new user info.
        server.tap(shown[0].id);
        QVERIFY(taps.wait());
        QCOMPARE(taps.constFirst().constFirst().toMap(), again.userInfo);
    }

    void aTapReachesOnlyAShowingNotificationPostedHere_data()
    {
        QTest::addColumn<QString>("before");
        QTest::newRow("a button, not the notification") << u"button"_s;
        QTest::newRow("another application's notification") << u"foreign"_s;
        QTest::newRow("a closed notification") << u"closed"_s;
        QTest::newRow("a spoofed signal from another client") << u"spoofed"_s;
        QTest::newRow("a number the previous server gave") << u"restarted"_s;
    }

    // Each row sends a tap that must be ignored, then a real one: the bus keeps the order of one
    // sender's messages, so once the real tap arrives an ignored one would already have.
    void aTapReachesOnlyAShowingNotificationPostedHere()
    {
        QFETCH(QString, before);
        auto server = std::make_unique<FakeNotificationServer>();
        UserNotifications notifications(bus());
        QSignalSpy taps(&notifications, &UserNotifications::activated);
        QCoro::waitFor(notifications.post(content(u"ours"_s)));
        const uint ours = server->notifications().constLast().id;

        if (before == u"button") {
            server->invoke(ours, u"snooze"_s);
        } else if (before == u"foreign") {
            server->tap(ours + 100);
        } else if (before == u"closed") {
            server->close(ours);
        } else if (before == u"spoofed") {
            QDBusConnection spoofer = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"spoofer"_s);
            QVERIFY(spoofer.send(QDBusMessage::createSignal(UserNotifications::objectPath,
                                                            UserNotifications::serviceName, u"ActionInvoked"_s)
                                 << ours << u"default"_s));
            // A call answered by the daemon proves the signal went through it first.
            QVERIFY(spoofer.call(QDBusMessage::createMethodCall(u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s,
                                                                u"org.freedesktop.DBus"_s, u"GetId"_s))
                        .type()
                    == QDBusMessage::ReplyMessage);
            QDBusConnection::disconnectFromBus(u"spoofer"_s);
        } else if (before == u"restarted") {
            server.reset();
            server = std::make_unique<FakeNotificationServer>();
            QVERIFY(server->isRegistered());
            QSignalSpy received(server.get(), &FakeNotificationServer::received);
            // The new server hands out the old number to someone else's notification.
            QDBusConnection::sessionBus().call(
                QDBusMessage::createMethodCall(UserNotifications::serviceName, UserNotifications::objectPath,
                                               UserNotifications::serviceName, u"Notify"_s)
                << u"Other app"_s << 0u << QString() << u"Hi"_s << QString() << QStringList() << QVariantMap()
                << qint32(-1),
                QDBus::NoBlock);
            QVERIFY(received.wait());
            QCOMPARE(server->notifications().constFirst().id, ours);
            server->tap(ours);
        }

        QCoro::waitFor(notifications.post(content(u"probe"_s)));
        server->tap(server->notifications().constLast().id);
        QVERIFY(taps.wait());
        QCOMPARE(taps.size(), 1);
        QCOMPARE(taps.constFirst().constFirst().toMap(), content(u"probe"_s).userInfo);
    }

    void withoutAServerThePostFailsWithTheBusReason()
    {
        UserNotifications notifications(bus());

        QCOMPARE(QCoro::waitFor(notifications.settings()),
                 (Settings{Settings::Authorization::Denied, Settings::Alert::NotSupported}));
        const UserNotifications::Posted outcome = QCoro::waitFor(notifications.post(content(u"A"_s)));
        QVERIFY(outcome.failure);
        QVERIFY2(outcome.failure->contains(u"org.freedesktop.Notifications"_s), qPrintable(*outcome.failure));
    }

    void aRefusedPostIsAFailureAndLeavesNothingToTap()
    {
        FakeNotificationServer server;
        UserNotifications notifications(bus());
        server.refuseNext = u"Notifications are turned off for this application"_s;

        const UserNotifications::Posted outcome = QCoro::waitFor(notifications.post(content(u"A"_s)));

        QCOMPARE(outcome.failure, u"Notifications are turned off for this application"_s);
        QCOMPARE(server.notifications().size(), 1);
        // Posted again, it is a new notification rather than a replacement of the refused one.
        QCOMPARE(QCoro::waitFor(notifications.post(content(u"A"_s))).failure, std::nullopt);
        QCOMPARE(server.notifications().constLast().replacesId, 0u);
    }
};

QTEST_GUILESS_MAIN(tst_UserNotifications)
#include "tst_UserNotifications.moc"
