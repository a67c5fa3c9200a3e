// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ReplaceParams.h"

#include "foundation/BackendTimestamp.h"
#include "foundation/UuidText.h"

using namespace Qt::StringLiterals;

ReplaceParams::ReplaceParams(const ScheduledPublish &schedule, const QUuid &userID)
    : p_id(schedule.id)
    , p_user(userID)
    , p_connection_name(schedule.connectionName)
    , p_site_id(schedule.siteId)
    , p_site_name(schedule.siteName)
    , p_publish_at(schedule.publishAt)
    , p_time_zone(schedule.timeZoneID)
    , p_domains(schedule.domains)
    , p_skip_if_changed(schedule.skipIfChanged)
{
    if (schedule.baselineLastUpdated)
        p_baseline_last_updated = BackendTimestamp::format(*schedule.baselineLastUpdated);
}

QJsonObject ReplaceParams::toJson() const
{
    QJsonObject object{
        {u"p_id"_s, UuidText::format(p_id)},
        {u"p_user"_s, UuidText::format(p_user)},
        {u"p_connection_name"_s, p_connection_name},
        {u"p_site_id"_s, p_site_id},
        {u"p_site_name"_s, p_site_name},
        {u"p_publish_at"_s, BackendTimestamp::format(p_publish_at)},
        {u"p_time_zone"_s, p_time_zone},
        {u"p_domains"_s, PublishDomain::toJsonArray(p_domains)},
        {u"p_skip_if_changed"_s, p_skip_if_changed},
    };
    if (p_baseline_last_updated)
        object.insert(u"p_baseline_last_updated"_s, *p_baseline_last_updated);
    return object;
}
