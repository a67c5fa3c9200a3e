// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/ScheduledPublish.h"

#include <QDateTime>
#include <QUuid>

// Small builders shared by the scheduling tests.
namespace ScheduleSamples {

/// 2026-03-08 at the given UTC hour and minute.
inline QDateTime at(int hour, int minute = 0)
{
    return QDateTime(QDate(2026, 3, 8), QTime(hour, minute), Qt::UTC);
}

/// A schedule of @p site due at @p publishAt, with one production domain and no optionals.
inline ScheduledPublish schedule(const QString &site, const QDateTime &publishAt,
                                 const QUuid &id = QUuid::createUuid(),
                                 const QString &connection = QStringLiteral("webflow-acme"))
{
    ScheduledPublish schedule;
    schedule.id = id;
    schedule.connectionName = connection;
    schedule.siteId = site;
    schedule.siteName = QStringLiteral("Site ") + site;
    schedule.publishAt = publishAt;
    schedule.timeZoneID = QStringLiteral("Europe/Berlin");
    schedule.domains = {{QStringLiteral("d-") + site, QStringLiteral("https://") + site + QStringLiteral(".com"), false}};
    schedule.createdAt = at(6);
    return schedule;
}

/// A publish of @p site shown as @p name, due at @p publishAt in Los Angeles, to the site's
/// production domain and its staging address.
inline ScheduledPublish queuedPublish(const QString &site, const QString &name, const QDateTime &publishAt)
{
    ScheduledPublish queued = schedule(site, publishAt);
    queued.siteName = name;
    queued.timeZoneID = QStringLiteral("America/Los_Angeles");
    queued.domains = {{QStringLiteral("d-") + site, site + QStringLiteral(".com"), false},
                      {QStringLiteral("staging"), site + QStringLiteral(".webflow.io"), true}};
    return queued;
}

} // namespace ScheduleSamples
