// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/NotificationTargetQueue.h"

NotificationTargetQueue::Offer NotificationTargetQueue::offer(const NotificationRouter::Target &target)
{
    switch (identity.which) {
    case Identity::Case::SignedIn:
        return identity.account == target.ownerID ? Offer::route(target) : Offer::discard();
    case Identity::Case::SignedOut:
        return Offer::discard();
    case Identity::Case::Unknown:
        if (!pending.contains(target))
            pending.append(target);
        return Offer::queued();
    }
    Q_UNREACHABLE();
    return Offer::discard();
}

NotificationTargetQueue::Offer NotificationTargetQueue::offerTap(const NotificationRouter::Target &target,
                                                                const FailureRecorder &record, const QDateTime &now)
{
    const Offer answer = offer(target);
    if (answer.which == Offer::Case::Discard)
        record(QStringLiteral("notification"), ignoredTapMessage, now);
    return answer;
}

QList<NotificationRouter::Target> NotificationTargetQueue::updateIdentity(const std::optional<QUuid> &account)
{
    identity = account ? Identity::signedIn(*account) : Identity::signedOut();
    QList<NotificationRouter::Target> held = std::exchange(pending, {});
    if (!account)
        return {};
    held.removeIf([&](const NotificationRouter::Target &target) { return target.ownerID != *account; });
    return held;
}
