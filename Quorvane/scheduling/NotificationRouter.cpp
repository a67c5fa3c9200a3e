// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/NotificationRouter.h"

#include "foundation/UuidText.h"
#include "platform/UserNotifications.h"

#include <QMetaObject>

using namespace Qt::StringLiterals;

namespace {

std::optional<QUuid> uuidAt(const QVariantMap &userInfo, const QString &key)
{
    const QVariant value = userInfo.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return UuidText::parse(value.toString());
}

} // namespace

NotificationRouter::NotificationRouter(QObject *receiver, TapHandler onTap)
    : m_receiver(receiver)
    , m_onTap(std::move(onTap))
{
}

std::optional<NotificationRouter::Target> NotificationRouter::targetFromUserInfo(const QVariantMap &userInfo)
{
    const std::optional<QUuid> eventID = uuidAt(userInfo, u"quorvane_event_id"_s);
    const std::optional<QUuid> ownerID = uuidAt(userInfo, u"quorvane_owner_id"_s);
    if (!eventID || !ownerID)
        return std::nullopt;
    return Target{*eventID, *ownerID};
}

void NotificationRouter::didReceiveResponse(const QVariantMap &userInfo,
                                            const std::function<void()> &completionHandler) const
{
    if (const std::optional<Target> target = targetFromUserInfo(userInfo)) {
        // The handler is copied into the call so the tap is delivered even if the router goes.
        QMetaObject::invokeMethod(
            m_receiver, [onTap = m_onTap, target = *target] { onTap(target); }, Qt::QueuedConnection);
    }
    completionHandler();
}

void NotificationRouter::listenTo(UserNotifications &notifications) const
{
    // A copy of the router: the connection may outlive this one.
    QObject::connect(&notifications, &UserNotifications::activated, m_receiver,
                     [router = *this](const QVariantMap &userInfo) { router.didReceiveResponse(userInfo, [] {}); });
}
