// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <QCoro/QCoroTask>

#include <optional>

class QDBusServiceWatcher;

/**
 * @brief The desktop's notifications: org.freedesktop.Notifications on the session bus. Posts a
 * notification and reports a tap on it with the user info it was posted with.
 *
 * The server knows a notification only by the number it handed back, so this layer keeps, for
 * each notification still showing, its identifier and user info. Posting an identifier again
 * replaces the notification that carries it. A tap (the "default" action) is announced by
 * activated() only for a notification posted here, and only when the server that owns the name
 * sent it: the bus delivers ActionInvoked to every listener, and any client may emit one.
 *
 * Every call is asynchronous; nothing waits on the bus. Lives on the thread of its owner, which
 * hands in the bus (tests their private session bus).
 */
class UserNotifications : public QObject
{
    Q_OBJECT

public:
    /// @brief How this application appears on its notifications.
    struct Sender
    {
        QString appName = QStringLiteral("Quorvane");
        /// An icon name of the theme or a file URL; empty for the server's default.
        QString appIcon;
        /// The desktop file id without ".desktop", which lets the desktop group and mute the
        /// application's notifications; left out when empty.
        QString desktopEntry;
    };

    /// @brief One notification to show.
    struct Content
    {
        /// Posting the same identifier again replaces the notification.
        QString identifier;
        QString title;
        /// Plain text: escaped here for servers that read markup.
        QString body;
        /// Whether the desktop's notification sound plays.
        bool sound = true;
        /// Given back by activated() when the user taps the notification.
        QVariantMap userInfo;
    };

    /// @brief What the desktop lets through, in the terms the application reports everywhere.
    struct Settings
    {
        enum class Authorization { NotDetermined = 0, Denied = 1, Authorized = 2 };
        enum class Alert { NotSupported = 0, Disabled = 1, Enabled = 2 };

        Authorization authorization = Authorization::NotDetermined;
        Alert alert = Alert::NotSupported;

        friend bool operator==(const Settings &, const Settings &) = default;
    };

    /// @brief How one post went.
    struct Posted
    {
        Settings settings;
        /// The server's description of why it did not take the notification; none when it did.
        std::optional<QString> failure;
    };

    static inline const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
    /// The sound theme's name for the desktop's default notification sound.
    static inline const QString defaultSoundName = QStringLiteral("message-new-instant");

    /// Notifications sent as the default Sender.
    explicit UserNotifications(QDBusConnection bus, QObject *parent = nullptr);
    UserNotifications(QDBusConnection bus, Sender sender, QObject *parent = nullptr);
    ~UserNotifications() override;

    /// Asks the server what it lets through; a desktop without a notification server denies.
    QCoro::Task<Settings> settings();

    /// Shows the notification. Answers once the server did, with the settings the post went out
    /// under; never throws. Markup in the body is escaped for a server that reads body markup.
    QCoro::Task<Posted> post(Content content);

    /// @brief The body as a server with the given capabilities reads it: plain text stays plain
    /// text, so a name such as "R&D <beta>" shows as written instead of being taken for markup.
    [[nodiscard]] static QString bodyFor(const QString &body, const QStringList &capabilities);

signals:
    /// The user tapped a notification posted here; userInfo is what it was posted with.
    void activated(const QVariantMap &userInfo);

private slots:
    void onActionInvoked(uint id, const QString &actionKey);
    void onNotificationClosed(uint id, uint reason);
    void onServerChanged();

private:
    struct Shown
    {
        QString identifier;
        QVariantMap userInfo;
    };

    /// The server's capabilities; none when no server answered.
    QCoro::Task<std::optional<QStringList>> capabilities();
    void remember(uint id, const QString &identifier, const QVariantMap &userInfo);

    QDBusConnection m_bus;
    Sender m_sender;
    QDBusServiceWatcher *m_watcher;
    /// Notifications still showing, by the server's number.
    QHash<uint, Shown> m_shown;
    /// The server's number of each identifier still showing.
    QHash<QString, uint> m_numbers;
};
