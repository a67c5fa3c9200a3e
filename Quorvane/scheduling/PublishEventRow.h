// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/PublishAttention.h"

#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

/// @brief A row of "publish_events", read with the columns "id,kind,message,created_at".
struct PublishEventRow
{
    QUuid id;
    QString kind;
    QString message;
    QDateTime createdAt;

    [[nodiscard]] PublishAttention asPublishAttention() const { return {id, kind, message, createdAt}; }

    [[nodiscard]] static std::optional<PublishEventRow> fromJson(const QJsonValue &value,
                                                                 QString *error = nullptr,
                                                                 const QString &path = {});
    /// A whole reply: one bad row fails it.
    [[nodiscard]] static std::optional<QList<PublishEventRow>> listFromJson(const QJsonValue &value,
                                                                            QString *error = nullptr);

    friend bool operator==(const PublishEventRow &, const PublishEventRow &) = default;
};
