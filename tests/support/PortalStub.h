// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>
#include <QVariantMap>

/**
 * @brief A desktop settings portal on the test session bus, answering with the values the test
 * gives it. It owns the portal's name on a connection of its own, since a bus never hands a
 * connection the signals it sent itself. One test program at a time may own the name.
 */
class PortalStub : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    PortalStub();
    ~PortalStub() override;

    /// Whether the stub owns the portal's name.
    [[nodiscard]] bool isRegistered() const { return m_registered; }
    /// Sets a value ("group", "key") and announces the change as the portal does.
    void change(const QString &group, const QString &key, const QVariant &value);
    void set(const QString &group, const QString &key, const QVariant &value);

public slots:
    QDBusVariant Read(const QString &group, const QString &key);

private:
    QVariantMap m_values;
    bool m_registered = false;
};
