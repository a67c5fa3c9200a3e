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
 * The fields carry the row's own keys.
 */
struct ScheduleCloudRow
{
    QUuid id;
    QUuid user_id;
    QString connection_name;
    QString site_id;
    QString site_name;
    QDateTime publish_at;
    QString time_zone;
    QList<PublishDomain> domains;
    bool skip_if_changed = false;
    std::optional<QDateTime> baseline_last_updated;
    QString status;
    std::optional<QDateTime> created_at;

    /// The schedule of the row; without "created_at" it was made when it is due. "user_id" is
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
