// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

/**
 * @brief A desktop notification server (org.freedesktop.Notifications) on the test's session bus,
 * on a bus connection of its own, so that the code under test talks to it through the bus daemon
 * as it would to the desktop's.
 *
 * It records every notification it is sent, numbers them as a server does (a replaced one keeps
 * its number), answers the capabilities the test gives, and emits ActionInvoked and
 * NotificationClosed when the test taps or closes one. Run the test inside
 * scripts/with-test-session, whose bus nobody else serves.
 */
class FakeNotificationServer : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    /// @brief One Notify call as it arrived, and the number the server answered.
    struct Notification
    {
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
        uint id = 0;
    };

    /// Registers the server; isRegistered() tells whether the name was free.
    explicit FakeNotificationServer(QStringList capabilities = {QStringLiteral("actions"), QStringLiteral("body")},
                                    QObject *parent = nullptr);
    /// Gives the name up and leaves the bus.
    ~FakeNotificationServer() override;

    [[nodiscard]] bool isRegistered() const { return m_registered; }

    /// Every notification received, in order.
    [[nodiscard]] const QList<Notification> &notifications() const { return m_notifications; }

    /// The next Notify is refused with this D-Bus error message.
    std::optional<QString> refuseNext;

    /// The user clicks the notification with this number.
    void tap(uint id) { emit ActionInvoked(id, QStringLiteral("default")); }
    /// The user presses one of the notification's buttons.
    void invoke(uint id, const QString &actionKey) { emit ActionInvoked(id, actionKey); }
    /// The notification goes away; reason 2 is "dismissed by the user".
    void close(uint id, uint reason = 2) { emit NotificationClosed(id, reason); }

public Q_SLOTS:
    Q_SCRIPTABLE QStringList GetCapabilities();
    Q_SCRIPTABLE uint Notify(const QString &appName, uint replacesId, const QString &appIcon,
                             const QString &summary, const QString &body, const QStringList &actions,
                             const QVariantMap &hints, int expireTimeout);
    Q_SCRIPTABLE void CloseNotification(uint id);
    Q_SCRIPTABLE QString GetServerInformation(QString &vendor, QString &version, QString &specVersion);

Q_SIGNALS:
    Q_SCRIPTABLE void ActionInvoked(uint id, const QString &actionKey);
    Q_SCRIPTABLE void NotificationClosed(uint id, uint reason);
    /// A notification arrived (not on the bus): what a test waits for.
    void received();

private:
    QDBusConnection m_bus;
    QStringList m_capabilities;
    QList<Notification> m_notifications;
    uint m_lastId = 0;
    bool m_registered = false;
};
