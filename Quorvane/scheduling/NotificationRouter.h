// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QObject>
#include <QUuid>
#include <QVariantMap>

#include <functional>
#include <optional>

class UserNotifications;

/**
 * @brief Turns a tap on an outcome notification into the event and the account it belongs to,
 * and hands it to the tap handler on the main thread.
 *
 * The desktop's notification layer calls didReceiveResponse, possibly from another thread, with
 * the user info the notification was posted with. Taps are delivered through the event loop of the
 * receiver its owner gives: an object of the main thread that outlives the router. A tap still
 * queued when the receiver goes is dropped with it.
 */
class NotificationRouter
{
public:
    /// @brief What a tapped notification points at.
    struct Target
    {
        QUuid eventID; ///< the publish event the notification reports
        QUuid ownerID; ///< the account the event belongs to

        friend bool operator==(const Target &, const Target &) = default;
    };

    using TapHandler = std::function<void(const Target &)>;

    NotificationRouter(QObject *receiver, TapHandler onTap);

    /// The target named by "quorvane_event_id" and "quorvane_owner_id"; none when either is
    /// missing, not text or not a UUID.
    [[nodiscard]] static std::optional<Target> targetFromUserInfo(const QVariantMap &userInfo);

    /// The user acted on a notification: a readable target reaches the tap handler later on the
    /// receiver's thread; @p completionHandler is called before returning in every case, without
    /// waiting for the handler.
    void didReceiveResponse(const QVariantMap &userInfo, const std::function<void()> &completionHandler) const;

    /// Takes every tap on a notification that @p notifications posted, for as long as the
    /// receiver lives. The desktop waits for no answer, so nothing is completed.
    void listenTo(UserNotifications &notifications) const;

private:
    QObject *const m_receiver;
    const TapHandler m_onTap;
};
