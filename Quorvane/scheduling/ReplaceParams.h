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

/// @brief The parameters of "replace_scheduled_publish"; toJson() gives them the call's keys.
struct ReplaceParams
{
    /// The schedule's fields and the signed-in user; `createdAt` and `cloudStatus` are not sent.
    ReplaceParams(const ScheduledPublish &schedule, const QUuid &userID);

    QUuid id;
    QUuid userID;
    QString connectionName;
    QString siteId;
    QString siteName;
    QDateTime publishAt;
    QString timeZoneID;
    QList<PublishDomain> domains;
    bool skipIfChanged = false;
    /// Sent as UTC with milliseconds and "Z"; left out of the object without a baseline.
    std::optional<QDateTime> baselineLastUpdated;

    [[nodiscard]] QJsonObject toJson() const;

    friend bool operator==(const ReplaceParams &, const ReplaceParams &) = default;
};
