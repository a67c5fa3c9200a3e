// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringView>

#include <optional>

/**
 * @brief The body of the edge function "site-state": the site asked about.
 */
struct SiteStateRequest
{
    QString siteID; ///< "siteId"

    [[nodiscard]] QJsonObject toJson() const;
};

/**
 * @brief The reply of "site-state": when the site was last changed in Webflow, as the backend
 * passes it on.
 */
struct SiteState
{
    std::optional<QString> lastUpdated; ///< "lastUpdated", kept as text

    [[nodiscard]] static std::optional<SiteState> fromJson(const QJsonValue &value, QString *error = nullptr);

    /// "lastUpdated" as an RFC 3339 internet date-time, with or without a fraction of a second
    /// ("2026-01-15T15:30:00.123Z", "2026-01-15T15:30:00+02:00"), in UTC. None when it is absent
    /// or has any other form, a text without a zone among them.
    [[nodiscard]] std::optional<QDateTime> lastUpdatedDate() const;

    friend bool operator==(const SiteState &, const SiteState &) = default;
};

