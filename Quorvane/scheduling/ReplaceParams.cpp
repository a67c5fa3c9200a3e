// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ReplaceParams.h"

#include "foundation/BackendTimestamp.h"
#include "foundation/UuidText.h"

using namespace Qt::StringLiterals;

QJsonObject ReplaceParams::toJson() const
{
    QJsonObject object{
        {u"p_id"_s, UuidText::format(schedule.id)},
        {u"p_user"_s, UuidText::format(userID)},
        {u"p_connection_name"_s, schedule.connectionName},
        {u"p_site_id"_s, schedule.siteId},
        {u"p_site_name"_s, schedule.siteName},
        {u"p_publish_at"_s, BackendTimestamp::format(schedule.publishAt)},
        {u"p_time_zone"_s, schedule.timeZoneID},
        {u"p_domains"_s, PublishDomain::toJsonArray(schedule.domains)},
        {u"p_skip_if_changed"_s, schedule.skipIfChanged},
    };
    if (schedule.baselineLastUpdated)
        object.insert(u"p_baseline_last_updated"_s, BackendTimestamp::format(*schedule.baselineLastUpdated));
    return object;
}
