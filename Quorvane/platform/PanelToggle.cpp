// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/PanelToggle.h"

#include <QDBusMessage>

PanelToggle::PanelToggle(QDBusConnection bus, QObject *parent)
    : QObject(parent)
{
    // An empty service and path match every sender and every path.
    m_listening = bus.isConnected()
        && bus.connect(QString(), QString(), interfaceName, memberName, this, SLOT(receive()));
}

void PanelToggle::receive()
{
    Q_EMIT toggleRequested();
}

std::optional<QString> PanelToggle::send(QDBusConnection bus)
{
    if (!bus.isConnected())
        return QStringLiteral("The session bus is not available, so the panel could not be toggled.");
    if (!bus.send(QDBusMessage::createSignal(objectPath, interfaceName, memberName)))
        return QStringLiteral("The toggle could not be sent: %1").arg(bus.lastError().message());
    // send() only queues; `quorvane --toggle` ends right after, which could drop the signal. The bus
    // answers in order, so a reply to a later call means the signal has left.
    const QDBusMessage flushed = bus.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
    if (flushed.type() == QDBusMessage::ErrorMessage)
        return QStringLiteral("The toggle could not be sent: %1").arg(flushed.errorMessage());
    return std::nullopt;
}
