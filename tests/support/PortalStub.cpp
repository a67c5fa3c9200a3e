// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/PortalStub.h"

#include "platform/AppearancePortal.h"

#include <QDBusMessage>

namespace {

const QString connectionName = QStringLiteral("settings portal stub");

QDBusConnection portalBus()
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
}

} // namespace

PortalStub::PortalStub()
{
    QDBusConnection bus = portalBus();
    m_registered = bus.registerObject(AppearancePortal::objectPath, this, QDBusConnection::ExportAllSlots)
        && bus.registerService(AppearancePortal::serviceName);
}

PortalStub::~PortalStub()
{
    QDBusConnection bus = portalBus();
    bus.unregisterService(AppearancePortal::serviceName);
    bus.unregisterObject(AppearancePortal::objectPath);
    QDBusConnection::disconnectFromBus(connectionName);
}

void PortalStub::set(const QString &group, const QString &key, const QVariant &value)
{
    m_values.insert(group + u'/' + key, value);
}

void PortalStub::change(const QString &group, const QString &key, const QVariant &value)
{
    set(group, key, value);
    QDBusMessage signal = QDBusMessage::createSignal(AppearancePortal::objectPath, AppearancePortal::interfaceName,
                                                     QStringLiteral("SettingChanged"));
    signal << group << key << QVariant::fromValue(QDBusVariant(value));
    portalBus().send(signal);
}

QDBusVariant PortalStub::Read(const QString &group, const QString &key)
{
    // Like older portals, the value wrapped twice.
    return QDBusVariant(QVariant::fromValue(QDBusVariant(m_values.value(group + u'/' + key))));
}
