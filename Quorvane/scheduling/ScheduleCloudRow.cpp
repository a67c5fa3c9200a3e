// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleCloudRow.h"

#include "scheduling/ScheduleCoding.h"

using namespace Qt::StringLiterals;
using namespace ScheduleCoding;

ScheduledPublish ScheduleCloudRow::asScheduledPublish() const
{
    return {id,          connection_name, site_id,         site_name,
            publish_at,  time_zone,       domains,         skip_if_changed,
            baseline_last_updated, created_at.value_or(publish_at), status};
}

std::optional<ScheduleCloudRow> ScheduleCloudRow::fromJson(const QJsonValue &value, QString *error,
                                                           const QString &path)
{
    Reader reader(value, DateForm::Backend, path);
    ScheduleCloudRow row;
    row.id = reader.uuid("id"_L1);
    row.user_id = reader.uuid("user_id"_L1);
    row.connection_name = reader.text("connection_name"_L1);
    row.site_id = reader.text("site_id"_L1);
    row.site_name = reader.text("site_name"_L1);
    row.publish_at = reader.date("publish_at"_L1);
    row.time_zone = reader.text("time_zone"_L1);
    row.domains = reader.list("domains"_L1, &PublishDomain::fromJson);
    row.skip_if_changed = reader.boolean("skip_if_changed"_L1);
    row.baseline_last_updated = reader.optionalDate("baseline_last_updated"_L1);
    row.status = reader.text("status"_L1);
    row.created_at = reader.optionalDate("created_at"_L1);
    if (!reader.finish(error))
        return std::nullopt;
    return row;
}

std::optional<QList<ScheduleCloudRow>> ScheduleCloudRow::listFromJson(const QJsonValue &value,
                                                                      QString *error)
{
    return decodeList(value, &ScheduleCloudRow::fromJson, error);
}
