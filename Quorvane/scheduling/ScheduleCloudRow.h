// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/ScheduledPublish.h"

#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

/**
 * @brief A row of "scheduled_publishes" as the queue read receives it; also the reply of
 * "replace_scheduled_publish" and the current schedule inside the cancel reply.
 *
 * The keys are the row's columns ("site_id", "publish_at", …); only fromJson knows them.
 */
struct ScheduleCloudRow
{
    QUuid id;
    QUuid userID;
    QString connectionName;
    QString siteId;
    QString siteName;
    QDateTime publishAt;
    QString timeZoneID;
    QList<PublishDomain> domains;
    bool skipIfChanged = false;
    std::optional<QDateTime> baselineLastUpdated;
    QString status;
    std::optional<QDateTime> createdAt;

    /// The schedule of the row; without a creation time it was made when it is due. The user is
    /// not kept.
    [[nodiscard]] ScheduledPublish asScheduledPublish() const;

    [[nodiscard]] static std::optional<ScheduleCloudRow> fromJson(const QJsonValue &value,
                                                                  QString *error = nullptr,
                                                                  const QString &path = {});
    /// A whole reply: one bad row fails it.
    [[nodiscard]] static std::optional<QList<ScheduleCloudRow>> listFromJson(const QJsonValue &value,
                                                                             QString *error = nullptr);

    friend bool operator==(const ScheduleCloudRow &, const ScheduleCloudRow &) = default;
};
