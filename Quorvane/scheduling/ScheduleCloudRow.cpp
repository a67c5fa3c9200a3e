// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleCloudRow.h"

#include "scheduling/ScheduleCoding.h"

using namespace Qt::StringLiterals;
using namespace ScheduleCoding;

ScheduledPublish ScheduleCloudRow::asScheduledPublish() const
{
    return {id, connectionName, siteId, siteName, publishAt, timeZoneID, domains, skipIfChanged,
            baselineLastUpdated, createdAt.value_or(publishAt), status};
}

std::optional<ScheduleCloudRow> ScheduleCloudRow::fromJson(const QJsonValue &value, QString *error,
                                                           const QString &path)
{
    Reader reader(value, DateForm::Backend, path);
    ScheduleCloudRow row;
    row.id = reader.uuid("id"_L1);
    row.userID = reader.uuid("user_id"_L1);
    row.connectionName = reader.text("connection_name"_L1);
    row.siteId = reader.text("site_id"_L1);
    row.siteName = reader.text("site_name"_L1);
    row.publishAt = reader.date("publish_at"_L1);
    row.timeZoneID = reader.text("time_zone"_L1);
    row.domains = reader.list("domains"_L1, &PublishDomain::fromJson);
    row.skipIfChanged = reader.boolean("skip_if_changed"_L1);
    row.baselineLastUpdated = reader.optionalDate("baseline_last_updated"_L1);
    row.status = reader.text("status"_L1);
    row.createdAt = reader.optionalDate("created_at"_L1);
    if (!reader.finish(error))
        return std::nullopt;
    return row;
}

std::optional<QList<ScheduleCloudRow>> ScheduleCloudRow::listFromJson(const QJsonValue &value,
                                                                      QString *error)
{
    return decodeList(value, &ScheduleCloudRow::fromJson, error);
}
