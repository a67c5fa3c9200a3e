// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/PublishRecord.h"

#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

/// @brief A finished row of "scheduled_publishes" as the history read receives it.
struct PublishHistoryRow
{
    QUuid id;
    QString siteName;
    QDateTime publishAt;
    QString timeZoneID;
    QList<PublishDomain> domains;
    QString status;
    std::optional<QDateTime> completedAt;
    std::optional<QString> failure;

    /// The history entry; any status other than the published and skipped ones (letter case
    /// counts) ended as a failure.
    [[nodiscard]] PublishRecord asPublishRecord() const;

    [[nodiscard]] static std::optional<PublishHistoryRow> fromJson(const QJsonValue &value,
                                                                   QString *error = nullptr,
                                                                   const QString &path = {});
    /// A whole reply: one bad row fails it.
    [[nodiscard]] static std::optional<QList<PublishHistoryRow>> listFromJson(const QJsonValue &value,
                                                                              QString *error = nullptr);

    friend bool operator==(const PublishHistoryRow &, const PublishHistoryRow &) = default;
};
