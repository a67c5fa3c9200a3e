// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/AppearancePortal.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");
const QString interfaceGroup = QStringLiteral("org.gnome.desktop.interface");
const QString animationsKey = QStringLiteral("enable-animations");

// The portal wraps values in variants, older versions twice.
QVariant unwrapped(QVariant value)
{
    while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

} // namespace

AppearancePortal::AppearancePortal(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(serviceName, objectPath, interfaceName, QStringLiteral("SettingChanged"), this,
                  SLOT(settingChanged(QDBusMessage)));
    read(appearanceGroup, colorSchemeKey);
    read(interfaceGroup, animationsKey);
}

void AppearancePortal::read(const QString &group, const QString &key)
{
    // Read is answered by every version of the portal; ReadOne only by newer ones.
    QDBusMessage call = QDBusMessage::createMethodCall(serviceName, objectPath, interfaceName, QStringLiteral("Read"));
    call << group << key;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, group, key] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *watcher;
        if (!reply.isError())
            apply(group, key, reply.value().variant());
    });
}

void AppearancePortal::settingChanged(const QDBusMessage &message)
{
    const QVariantList arguments = message.arguments();
    if (arguments.size() == 3)
        apply(arguments.at(0).toString(), arguments.at(1).toString(), arguments.at(2));
}

void AppearancePortal::apply(const QString &group, const QString &key, const QVariant &value)
{
    const QVariant plain = unwrapped(value);
    std::optional<bool> *field = nullptr;
    bool next = false;
    if (group == appearanceGroup && key == colorSchemeKey) {
        field = &m_prefersDark;
        next = plain.toUInt() == 1;
    } else if (group == interfaceGroup && key == animationsKey) {
        field = &m_animationsOff;
        next = !plain.toBool();
    } else {
        return;
    }
    if (*field == next)
        return;
    *field = next;
    Q_EMIT changed();
}
