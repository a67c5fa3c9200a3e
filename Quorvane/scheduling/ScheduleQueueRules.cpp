// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleQueueRules.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ScheduleQueueRules {

QList<ScheduledPublish> visibleSchedules(const QList<ScheduledPublish> &schedules, bool soonestFirst,
                                         const std::optional<QUuid> &editingScheduleID,
                                         const std::optional<QString> &selectedSiteID,
                                         const std::optional<QUuid> &supersedingID)
{
    QList<ScheduledPublish> rows = schedules;
    if (!soonestFirst)
        std::reverse(rows.begin(), rows.end());
    if (editingScheduleID && selectedSiteID) {
        rows.removeIf([&](const ScheduledPublish &schedule) {
            return schedule.siteId == *selectedSiteID && schedule.id != supersedingID;
        });
    }
    return rows;
}

CloudBanner cloudBanner(ScheduleStore::CloudState cloudState, AccountModel::SessionKind session)
{
    using Session = AccountModel::SessionKind;
    switch (cloudState) {
    case ScheduleStore::CloudState::Checking:
        return CloudBanner::None;
    case ScheduleStore::CloudState::Cloud:
        return CloudBanner::Cloud;
    case ScheduleStore::CloudState::Local:
        break;
    }
    if (session == Session::SignedOut || session == Session::ReauthenticationRequired)
        return CloudBanner::SignedOut;
    return CloudBanner::Unreachable;
}

bool cloudBannerPresented(ScheduleStore::CloudState cloudState, bool dismissed)
{
    return !(cloudState == ScheduleStore::CloudState::Cloud && dismissed);
}

ScheduleBanner cloudBannerCard(CloudBanner banner, bool hasProfile)
{
    const QString stillFire = u"Publishes already scheduled still fire from the cloud. "_s;
    switch (banner) {
    case CloudBanner::None:
        return {};
    case CloudBanner::Cloud:
        return {u"checkmark.icloud"_s, u"Cloud scheduling"_s,
                u"Publishes fire from our servers, so your computer doesn't need to be on."_s, ScheduleBanner::Tone::Brand,
                u"Got it"_s, u"Hide this note permanently"_s};
    case CloudBanner::SignedOut:
        return {u"info.circle"_s, hasProfile ? u"Sign in again"_s : u"Signed out"_s,
                stillFire
                    + (hasProfile ? u"This computer needs a new sign-in to schedule or cancel."_s
                                  : u"Sign in to schedule new ones or cancel existing ones."_s),
                ScheduleBanner::Tone::Warning, hasProfile ? u"Sign In Again"_s : u"Sign In"_s, QString()};
    case CloudBanner::Unreachable:
        return {u"info.circle"_s, u"Cloud unreachable"_s,
                stillFire + u"New schedules and cancellations can't be saved until it's back."_s,
                ScheduleBanner::Tone::Warning, QString(), QString()};
    }
    return {};
}

QString attentionHeading(qsizetype count)
{
    if (count == 1)
        return u"A scheduled publish didn't go out"_s;
    return QString::number(count) + u" scheduled publishes didn't go out"_s;
}

ScheduleCardState cardState(const ScheduledPublish &schedule, bool needsPublishing)
{
    // Only the cloud's exact word means the publish is under way.
    const bool running = schedule.cloudStatus == u"publishing"_s;
    return {running, !running,
            running ? u"This publish is already running and can no longer be cancelled"_s : u"Cancel this publish"_s,
            running ? u"This publish is running"_s : u"Publish settings"_s, needsPublishing};
}

} // namespace ScheduleQueueRules
