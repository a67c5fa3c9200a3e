// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/SessionVault.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QTest>
#include <QUuid>

#include <QCoro/QCoroTask>

#include <qt6keychain/keychain.h>

namespace {

QString uniqueService()
{
    return QStringLiteral("studio.velliscor.quorvane.test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// org.freedesktop.secrets as far as the vault's check asks it: the default collection's path and
// whether it is locked. Anything else it would be asked is an error, so a vault that went on to
// the keyring library after a failed check would not be served by it.
class FakeSecretService final : public QDBusVirtualObject
{
public:
    QString defaultCollection;
    bool locked = false;

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.member() == QLatin1StringView("ReadAlias"))
            connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(defaultCollection))));
        else if (message.member() == QLatin1StringView("Get"))
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(locked))));
        else
            connection.send(message.createErrorReply(QDBusError::NotSupported, QStringLiteral("not played")));
        return true;
    }
};

// A session bus of our own, with no service activation.
class PrivateBus
{
public:
    PrivateBus()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=" QUORVANE_NO_ACTIVATION_BUS_CONFIG),
                        QStringLiteral("--print-address=1"), QStringLiteral("--nofork")});
        m_daemon.waitForStarted();
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
        }
        address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }

    QString address;

private:
    QProcess m_daemon;
};

} // namespace

class tst_SessionVault : public QObject
{
    Q_OBJECT

private slots:
    void writeReadUpdateDelete()
    {
        SessionVault vault(uniqueService());
        const QString key = QStringLiteral("backend-session");
        QCOMPARE(QCoro::waitFor(vault.read(key)).value(), std::nullopt);

        const QByteArray first = QByteArrayLiteral("{\"access_token\":\"a\"}\n\x01\xff");
        QVERIFY(QCoro::waitFor(vault.write(key, first)).ok());
        QCOMPARE(QCoro::waitFor(vault.read(key)).value(), first);

        QVERIFY(QCoro::waitFor(vault.write(key, "second")).ok());
        QCOMPARE(QCoro::waitFor(vault.read(key)).value(), QByteArray("second"));

        QVERIFY(QCoro::waitFor(vault.remove(key)).ok());
        QCOMPARE(QCoro::waitFor(vault.read(key)).value(), std::nullopt);
        QVERIFY(QCoro::waitFor(vault.remove(key)).ok());
        QVERIFY(QCoro::waitFor(vault.remove(QStringLiteral("never-written"))).ok());
    }

    void servicesDoNotShareItems()
    {
        SessionVault one(uniqueService());
        SessionVault other(uniqueService());
        const QString key = QStringLiteral("backend-session");
        QVERIFY(QCoro::waitFor(one.write(key, "one")).ok());
        QCOMPARE(QCoro::waitFor(other.read(key)).value(), std::nullopt);
        QVERIFY(QCoro::waitFor(other.write(key, "other")).ok());
        QCOMPARE(QCoro::waitFor(one.read(key)).value(), QByteArray("one"));
        QVERIFY(QCoro::waitFor(one.remove(key)).ok());
        QVERIFY(QCoro::waitFor(other.remove(key)).ok());
    }

    void unusableSecretServiceFails_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<int>("status");
        QTest::newRow("no session bus") << QStringLiteral("no bus") << int(QKeychain::NoBackendAvailable);
        QTest::newRow("no secret service") << QStringLiteral("no service") << int(QKeychain::NoBackendAvailable);
        QTest::newRow("no default collection") << QStringLiteral("no collection") << int(QKeychain::NoBackendAvailable);
        QTest::newRow("locked collection") << QStringLiteral("locked") << int(QKeychain::AccessDenied);
    }

    void unusableSecretServiceFails()
    {
        QFETCH(QString, situation);
        QFETCH(int, status);

        PrivateBus bus;
        QVERIFY(!bus.address.isEmpty());
        const QString address = situation == QStringLiteral("no bus")
            ? QStringLiteral("unix:path=/nonexistent/quorvane-test-bus")
            : bus.address;
        const QString clientName = QStringLiteral("vault-") + situation;
        const QString serverName = QStringLiteral("secrets-") + situation;

        FakeSecretService secrets;
        secrets.defaultCollection = situation == QStringLiteral("no collection")
            ? QStringLiteral("/")
            : QStringLiteral("/org/freedesktop/secrets/collection/login");
        secrets.locked = situation == QStringLiteral("locked");
        if (situation == QStringLiteral("no collection") || situation == QStringLiteral("locked")) {
            QDBusConnection server = QDBusConnection::connectToBus(bus.address, serverName);
            QVERIFY(server.registerVirtualObject(QStringLiteral("/org/freedesktop/secrets"), &secrets,
                                                 QDBusConnection::SubPath));
            QVERIFY(server.registerService(QStringLiteral("org.freedesktop.secrets")));
        }

        {
            // The real keyring on the test session is unlocked: a vault that skipped its check
            // would succeed there.
            SessionVault vault(uniqueService(), QDBusConnection::connectToBus(address, clientName));
            const QString key = QStringLiteral("backend-session");
            const auto write = QCoro::waitFor(vault.write(key, "token"));
            const auto read = QCoro::waitFor(vault.read(key));
            const auto remove = QCoro::waitFor(vault.remove(key));
            for (const BackendResult<> &result : {write, remove}) {
                QVERIFY(!result.ok());
                QCOMPARE(result.error().kind(), BackendError::Kind::Storage);
                QCOMPARE(result.error().status(), status);
                QCOMPARE(result.error().message(), SessionVault::failureSentence);
            }
            QVERIFY(!read.ok());
            QCOMPARE(read.error().status(), status);
            QCOMPARE(read.error().message(),
                     QStringLiteral("Quorvane couldn\u2019t access its saved sign-in securely. "
                                    "Unlock your keyring and try signing in again."));
        }
        QDBusConnection::disconnectFromBus(clientName);
        QDBusConnection::disconnectFromBus(serverName);
    }
};

QTEST_GUILESS_MAIN(tst_SessionVault)
#include "tst_SessionVault.moc"
