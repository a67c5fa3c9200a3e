// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/ScheduledPublish.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

/// @brief The parameters of "replace_scheduled_publish"; the fields carry the call's own keys.
struct ReplaceParams
{
    /// The schedule's fields and the signed-in user; `createdAt` and `cloudStatus` are not sent.
    ReplaceParams(const ScheduledPublish &schedule, const QUuid &userID);

    QUuid p_id;
    QUuid p_user;
    QString p_connection_name;
    QString p_site_id;
    QString p_site_name;
    QDateTime p_publish_at;
    QString p_time_zone;
    QList<PublishDomain> p_domains;
    bool p_skip_if_changed = false;
    /// UTC with milliseconds and "Z"; absent (and left out of the object) without a baseline.
    std::optional<QString> p_baseline_last_updated;

    [[nodiscard]] QJsonObject toJson() const;

    friend bool operator==(const ReplaceParams &, const ReplaceParams &) = default;
};
