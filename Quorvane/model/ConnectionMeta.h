// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "foundation/ReferenceSeconds.h"
#include "model/SiteRef.h"

#include <QDateTime>
#include <QHashFunctions>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

/**
 * @brief What the application itself knows of one connection; kept per connection name in
 * connections.json.
 *
 * Time points are written as seconds, with fraction, since 2001-01-01 00:00:00 UTC, the form of
 * connections.json, and kept exactly as read.
 */
struct ConnectionMeta
{
    /// The sites the authorization reached at the last recorded scope check. An empty list is a
    /// recorded scope that reaches nothing, unlike an absent one.
    std::optional<QList<SiteRef>> sites;
    /// When that scope was recorded.
    std::optional<ReferenceSeconds::Instant> verifiedAt;
    /// When the application first knew the connection.
    std::optional<ReferenceSeconds::Instant> addedAt;
    /// Who recorded the scope ("model" for the application model).
    std::optional<QString> source;

    /// The record from one JSON object: missing and null keys are absent, unknown keys ignored; a
    /// value of the wrong type fails the whole record, with the reason in `error`.
    [[nodiscard]] static std::optional<ConnectionMeta> fromJson(const QJsonValue &json,
                                                                QString *error = nullptr);
    /// The object with only the present fields.
    [[nodiscard]] QJsonObject toJson() const;

    friend bool operator==(const ConnectionMeta &, const ConnectionMeta &) = default;
};

[[nodiscard]] size_t qHash(const ConnectionMeta &meta, size_t seed = 0) noexcept;
