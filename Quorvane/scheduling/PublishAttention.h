// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

/// @brief One outcome message waiting in the inbox; coded in the cache file like ScheduledPublish.
struct PublishAttention
{
    QUuid id;           ///< the publish event it came from
    QString kind;       ///< the event's kind text, as the backend sent it
    QString message;    ///< shown to the user unchanged
    QDateTime createdAt; ///< when the event was created

    [[nodiscard]] QJsonObject toJson() const;
    [[nodiscard]] static std::optional<PublishAttention> fromJson(const QJsonValue &value,
                                                                  QString *error = nullptr,
                                                                  const QString &path = {});

    friend bool operator==(const PublishAttention &, const PublishAttention &) = default;
};

/// Newest first; stable, so items created at the same instant keep their relative order.
void sortAttentionNewestFirst(QList<PublishAttention> &items);

/// The inbox after an ingest: the existing items, then the incoming ones whose id is new (a
/// duplicate keeps its first occurrence), newest first, at most the newest 100.
[[nodiscard]] QList<PublishAttention> mergedInbox(const QList<PublishAttention> &existing,
                                                  const QList<PublishAttention> &incoming);
