// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/AppearancePortal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QSignalSpy>
#include <QTest>

// The portal's own connection: a bus does not hand a connection the signals it sent itself.
static QDBusConnection portalBus()
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("portal"));
}

// A settings portal on the test bus with the values a test gives it.
class PortalStub : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    QVariantMap values; // "group/key" → value

    void change(const QString &group, const QString &key, const QVariant &value)
    {
        values.insert(group + u'/' + key, value);
        QDBusMessage signal = QDBusMessage::createSignal(AppearancePortal::objectPath, AppearancePortal::interfaceName,
                                                         QStringLiteral("SettingChanged"));
        signal << group << key << QVariant::fromValue(QDBusVariant(value));
        portalBus().send(signal);
    }

public slots:
    QDBusVariant Read(const QString &group, const QString &key)
    {
        // Like older portals, a value wrapped twice.
        return QDBusVariant(QVariant::fromValue(QDBusVariant(values.value(group + u'/' + key))));
    }
};

// The desktop's dark preference and animation switch come from the portal, and only real changes
// are announced.
class tst_AppearancePortal : public QObject
{
    Q_OBJECT

private:
    PortalStub m_stub;

private slots:
    void initTestCase()
    {
        QDBusConnection bus = portalBus();
        QVERIFY(bus.registerObject(AppearancePortal::objectPath, &m_stub, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(AppearancePortal::serviceName));
    }

    void cleanupTestCase()
    {
        portalBus().unregisterService(AppearancePortal::serviceName);
        QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
    }

    void readsAndFollows()
    {
        m_stub.values = {{QStringLiteral("org.freedesktop.appearance/color-scheme"), QVariant::fromValue(1u)},
                         {QStringLiteral("org.gnome.desktop.interface/enable-animations"), false}};
        AppearancePortal portal;
        QSignalSpy changed(&portal, &AppearancePortal::changed);
        QTRY_COMPARE(portal.prefersDark(), std::optional<bool>(true));
        QTRY_COMPARE(portal.animationsOff(), std::optional<bool>(true));
        QCOMPARE(changed.size(), 2);

        m_stub.change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), QVariant::fromValue(2u));
        QTRY_COMPARE(portal.prefersDark(), std::optional<bool>(false));
        QCOMPARE(changed.size(), 3);
        // No preference (0) is light too: nothing changes, nothing is announced.
        m_stub.change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), QVariant::fromValue(0u));
        // Another setting of the same group is none of ours.
        m_stub.change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("accent-color"), QVariant::fromValue(1u));
        m_stub.change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), QVariant::fromValue(1u));
        QTRY_COMPARE(portal.prefersDark(), std::optional<bool>(true));
        QCOMPARE(changed.size(), 4);
    }

    void withoutAPortal()
    {
        AppearancePortal portal(QDBusConnection(QStringLiteral("not connected")));
        QCOMPARE(portal.prefersDark(), std::nullopt);
        QCOMPARE(portal.animationsOff(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(tst_AppearancePortal)
#include "tst_AppearancePortal.moc"
