// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleWriteRules.h"

#include "foundation/UuidText.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace ScheduleWriteRules {

namespace {

constexpr qsizetype mostTargets = 25;

// Instants are kept to the millisecond, so "less than a millisecond apart" is "equal".
bool sameInstant(const QDateTime &a, const QDateTime &b)
{
    return a.msecsTo(b) == 0;
}

QSet<QString> domainIDs(const QList<PublishDomain> &domains)
{
    QSet<QString> ids;
    for (const PublishDomain &domain : domains)
        ids.insert(domain.id);
    return ids;
}

bool targetsMatch(const QList<PublishDomain> &returned, const QList<PublishDomain> &asked)
{
    if (returned.size() != asked.size() || returned.isEmpty() || returned.size() > mostTargets)
        return false;
    const QSet<QString> ids = domainIDs(returned);
    if (ids != domainIDs(asked) || ids.size() != returned.size())
        return false;
    return std::all_of(returned.cbegin(), returned.cend(), [](const PublishDomain &domain) {
        return !domain.id.isEmpty() && !domain.url.isEmpty();
    });
}

bool baselineMatches(const ScheduleCloudRow &row, const ScheduledPublish &draft)
{
    if (!draft.skipIfChanged)
        return true;
    return row.baselineLastUpdated && draft.baselineLastUpdated
        && sameInstant(*row.baselineLastUpdated, *draft.baselineLastUpdated);
}

const QString kAccessGone = u"Publishing access for this site is no longer connected, so nothing was scheduled. "
                            "Connect publishing and try again."_s;
const QString kTargetsChanged = u"This site's publishing targets changed, so nothing was scheduled. "
                                "Refresh the site and choose the targets again."_s;
const QString kInvalidDetails =
    u"The schedule details were invalid, so nothing was scheduled. Refresh the form and try again."_s;
const QString kInvalidInventory = u"Publishing access has invalid site details, so nothing was scheduled. "
                                  "Reconnect publishing and try again."_s;

// In this order: the first needle found decides, so a shorter needle inside a longer one wins.
const std::array<std::pair<QString, QString>, 14> kRefusals{{
    {u"no publishing access for this site"_s, kAccessGone},
    {u"no active publishing access for this site"_s, kAccessGone},
    {u"too many scheduled publishes"_s, u"This account has too many scheduled publishes. Cancel one first."_s},
    {u"publish for this site is running"_s,
     u"That site's publish is running right now. Wait for it to finish, then schedule the next one."_s},
    {u"project removal is in progress for this site"_s,
     u"That project is being removed on another device, so nothing was scheduled. "
     "Refresh projects before trying again."_s},
    {u"publish target is not in the server inventory"_s, kTargetsChanged},
    {u"duplicate publish target"_s, kTargetsChanged},
    {u"publish targets must be arrays"_s, kInvalidDetails},
    {u"choose between 1 and 25 publish targets"_s, kInvalidDetails},
    {u"requested publish target is invalid"_s, kInvalidDetails},
    {u"invalid schedule identity"_s, kInvalidDetails},
    {u"paranoid schedules require a baseline"_s, kInvalidDetails},
    {u"stored publish target inventory is invalid"_s, kInvalidInventory},
    {u"stored publish target inventory has duplicates"_s, kInvalidInventory},
}};

} // namespace

std::optional<ScheduledPublish> canonicalSchedule(const ScheduleCloudRow &row, const ScheduledPublish &draft,
                                                  const QUuid &userID)
{
    const bool canonical = row.id == draft.id && row.userID == userID && row.siteId == draft.siteId
        && row.connectionName == draft.connectionName && row.status == u"scheduled"
        && sameInstant(row.publishAt, draft.publishAt) && row.timeZoneID == draft.timeZoneID
        && row.skipIfChanged == draft.skipIfChanged && targetsMatch(row.domains, draft.domains)
        && !row.siteName.isEmpty() && baselineMatches(row, draft);
    if (!canonical)
        return std::nullopt;
    return row.asScheduledPublish();
}

std::optional<QString> userMessageForScheduleError(const QString &errorText)
{
    for (const auto &[needle, sentence] : kRefusals) {
        if (errorText.contains(needle, Qt::CaseSensitive))
            return sentence;
    }
    return std::nullopt;
}

QJsonObject cancelParams(const QUuid &scheduleID, const QUuid &userID)
{
    return {{u"p_id"_s, UuidText::format(scheduleID)}, {u"p_user"_s, UuidText::format(userID)}};
}

CancellationOutcome cancellationOutcome(const CancelRPCResult &reply, const QUuid &scheduleID)
{
    if (reply.requestedID != scheduleID)
        return CancellationOutcome::unknown();
    if (reply.verdict == u"cancelled")
        return CancellationOutcome::cancelled();
    if (reply.verdict == u"already_terminal")
        return CancellationOutcome::absent();
    if (reply.verdict == u"publishing")
        return CancellationOutcome::publishing();
    if (reply.verdict == u"superseded" && reply.currentSchedule)
        return CancellationOutcome::superseded(reply.currentSchedule->asScheduledPublish());
    return CancellationOutcome::unknown();
}

QJsonObject beginRemovalParams(const QUuid &userID, const std::optional<QString> &siteID,
                               const QString &connectionName)
{
    QJsonObject params{{u"p_user"_s, UuidText::format(userID)}, {u"p_connection_name"_s, connectionName}};
    if (siteID)
        params.insert(u"p_site_id"_s, *siteID);
    return params;
}

RemovalVerdict removalVerdict(const BeginProjectRemovalResponse &reply)
{
    if (reply.verdict == u"cancelled")
        return {CancellationOutcome::cancelled(), reply.leaseID};
    if (reply.verdict == u"absent" || reply.verdict == u"already_terminal")
        return {CancellationOutcome::absent(), reply.leaseID};
    if (reply.verdict == u"publishing")
        return {CancellationOutcome::publishing(), std::nullopt};
    return {};
}

QJsonObject finishRemovalParams(const QUuid &userID, const QUuid &leaseID, bool committed)
{
    return {{u"p_user"_s, UuidText::format(userID)},
            {u"p_lease"_s, UuidText::format(leaseID)},
            {u"p_committed"_s, committed}};
}

} // namespace ScheduleWriteRules
