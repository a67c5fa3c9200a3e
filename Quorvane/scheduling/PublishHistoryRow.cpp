// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/PublishHistoryRow.h"

#include "scheduling/ScheduleCoding.h"

using namespace Qt::StringLiterals;
using namespace ScheduleCoding;

PublishRecord PublishHistoryRow::asPublishRecord() const
{
    PublishRecord::Outcome outcome = PublishRecord::Outcome::Failed;
    if (status == u"published")
        outcome = PublishRecord::Outcome::Published;
    else if (status == u"skipped_drift")
        outcome = PublishRecord::Outcome::SkippedDrift;
    else if (status == u"skipped_targets_changed")
        outcome = PublishRecord::Outcome::SkippedTargetsChanged;
    return {id, siteName, publishAt, timeZoneID, domains, outcome, completedAt, failure};
}

std::optional<PublishHistoryRow> PublishHistoryRow::fromJson(const QJsonValue &value, QString *error,
                                                             const QString &path)
{
    Reader reader(value, DateForm::Backend, path);
    PublishHistoryRow row;
    row.id = reader.uuid("id"_L1);
    row.siteName = reader.text("site_name"_L1);
    row.publishAt = reader.date("publish_at"_L1);
    row.timeZoneID = reader.text("time_zone"_L1);
    row.domains = reader.list("domains"_L1, &PublishDomain::fromJson);
    row.status = reader.text("status"_L1);
    row.completedAt = reader.optionalDate("completed_at"_L1);
    row.failure = reader.optionalText("failure"_L1);
    if (!reader.finish(error))
        return std::nullopt;
    return row;
}

std::optional<QList<PublishHistoryRow>> PublishHistoryRow::listFromJson(const QJsonValue &value,
                                                                        QString *error)
{
    return decodeList(value, &PublishHistoryRow::fromJson, error);
}
