// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ReplaceParams.h"

#include "foundation/BackendTimestamp.h"
#include "foundation/UuidText.h"

using namespace Qt::StringLiterals;

ReplaceParams::ReplaceParams(const ScheduledPublish &schedule, const QUuid &userID)
    : id(schedule.id)
    , userID(userID)
    , connectionName(schedule.connectionName)
    , siteId(schedule.siteId)
    , siteName(schedule.siteName)
    , publishAt(schedule.publishAt)
    , timeZoneID(schedule.timeZoneID)
    , domains(schedule.domains)
    , skipIfChanged(schedule.skipIfChanged)
    , baselineLastUpdated(schedule.baselineLastUpdated)
{
}

QJsonObject ReplaceParams::toJson() const
{
    QJsonObject object{
        {u"p_id"_s, UuidText::format(id)},
        {u"p_user"_s, UuidText::format(userID)},
        {u"p_connection_name"_s, connectionName},
        {u"p_site_id"_s, siteId},
        {u"p_site_name"_s, siteName},
        {u"p_publish_at"_s, BackendTimestamp::format(publishAt)},
        {u"p_time_zone"_s, timeZoneID},
        {u"p_domains"_s, PublishDomain::toJsonArray(domains)},
        {u"p_skip_if_changed"_s, skipIfChanged},
    };
    if (baselineLastUpdated)
        object.insert(u"p_baseline_last_updated"_s, BackendTimestamp::format(*baselineLastUpdated));
    return object;
}
