// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/FakeNotificationServer.h"

#include <QUuid>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

FakeNotificationServer::FakeNotificationServer(QStringList capabilities, QObject *parent)
    : QObject(parent)
    , m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                          QStringLiteral("fake-notifications-") + QUuid::createUuid().toString()))
    , m_capabilities(std::move(capabilities))
{
    m_registered = m_bus.registerObject(kPath, this, QDBusConnection::ExportScriptableContents)
        && m_bus.registerService(kService);
}

FakeNotificationServer::~FakeNotificationServer()
{
    m_bus.unregisterService(kService);
    m_bus.unregisterObject(kPath);
    QDBusConnection::disconnectFromBus(m_bus.name());
}

QStringList FakeNotificationServer::GetCapabilities()
{
    return m_capabilities;
}

uint FakeNotificationServer::Notify(const QString &appName, uint replacesId, const QString &appIcon,
                                    const QString &summary, const QString &body, const QStringList &actions,
                                    const QVariantMap &hints, int expireTimeout)
{
    Notification notification{appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout, 0};
    if (refuseNext) {
        sendErrorReply(QStringLiteral("org.freedesktop.Notifications.Error.Refused"), *std::exchange(refuseNext, {}));
    } else {
        // As servers do: a notification that replaces one still showing keeps its number.
        const bool replaces = replacesId != 0 && replacesId <= m_lastId;
        notification.id = replaces ? replacesId : ++m_lastId;
    }
    m_notifications.append(notification);
    emit received();
    return notification.id;
}

void FakeNotificationServer::CloseNotification(uint id)
{
    emit NotificationClosed(id, 3);
}

QString FakeNotificationServer::GetServerInformation(QString &vendor, QString &version, QString &specVersion)
{
    vendor = QStringLiteral("Quorvane tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("fake-notification-server");
}
