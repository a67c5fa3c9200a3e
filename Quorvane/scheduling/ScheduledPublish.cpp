// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduledPublish.h"

#include "foundation/InternetDateTime.h"
#include "foundation/UuidText.h"
#include "scheduling/ScheduleCoding.h"

#include <QLocale>
#include <QTimeZone>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace ScheduleCoding;

QJsonObject ScheduledPublish::toJson() const
{
    QJsonObject object{
        {u"id"_s, UuidText::format(id)},
        {u"connectionName"_s, connectionName},
        {u"siteId"_s, siteId},
        {u"siteName"_s, siteName},
        {u"publishAt"_s, InternetDateTime::format(publishAt)},
        {u"timeZoneID"_s, timeZoneID},
        {u"domains"_s, PublishDomain::toJsonArray(domains)},
        {u"skipIfChanged"_s, skipIfChanged},
        {u"createdAt"_s, InternetDateTime::format(createdAt)},
    };
    if (baselineLastUpdated)
        object.insert(u"baselineLastUpdated"_s, InternetDateTime::format(*baselineLastUpdated));
    if (cloudStatus)
        object.insert(u"cloudStatus"_s, *cloudStatus);
    return object;
}

std::optional<ScheduledPublish> ScheduledPublish::fromJson(const QJsonValue &value, QString *error,
                                                           const QString &path)
{
    Reader reader(value, DateForm::Cache, path);
    ScheduledPublish schedule;
    schedule.id = reader.uuid("id"_L1);
    schedule.connectionName = reader.text("connectionName"_L1);
    schedule.siteId = reader.text("siteId"_L1);
    schedule.siteName = reader.text("siteName"_L1);
    schedule.publishAt = reader.date("publishAt"_L1);
    schedule.timeZoneID = reader.text("timeZoneID"_L1);
    schedule.domains = reader.list("domains"_L1, &PublishDomain::fromJson);
    schedule.skipIfChanged = reader.boolean("skipIfChanged"_L1);
    schedule.baselineLastUpdated = reader.optionalDate("baselineLastUpdated"_L1);
    schedule.createdAt = reader.date("createdAt"_L1);
    schedule.cloudStatus = reader.optionalText("cloudStatus"_L1);
    if (!reader.finish(error))
        return std::nullopt;
    return schedule;
}

void sortSchedulesByPublishAt(QList<ScheduledPublish> &schedules)
{
    std::stable_sort(schedules.begin(), schedules.end(),
                     [](const ScheduledPublish &a, const ScheduledPublish &b) {
                         return a.publishAt < b.publishAt;
                     });
}

QString publishTimeText(const QDateTime &date, const QString &timeZoneID)
{
    return publishTimeText(date, timeZoneID, QLocale(), QTimeZone::systemTimeZone());
}

QString publishTimeText(const QDateTime &date, const QString &timeZoneID, const QLocale &locale,
                        const QTimeZone &fallbackZone)
{
    QTimeZone zone(timeZoneID.toUtf8());
    if (!zone.isValid())
        zone = fallbackZone;
    return locale.toString(date.toTimeZone(zone), u"ddd, MMM d, yyyy · h:mm AP t");
}
