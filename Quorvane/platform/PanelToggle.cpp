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
    return std::nullopt;
}
