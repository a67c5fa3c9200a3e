// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

/**
 * @brief What the site directory knows of one Webflow site: its names and when they were
 * reported, the connections whose verified scope is exactly this site, and since when publishing
 * access is connected for it.
 */
struct SiteRecord
{
    /// The Webflow site id; the record's identity.
    QString id;
    /// The name last taken from a verification, or the name given when the record was made.
    QString name;
    /// The time attached to `name`; absent when the name came without one.
    std::optional<QDateTime> nameSeenAt;
    /// The user's own name for the site; only ever read from the file.
    std::optional<QString> customName;
    /// The MCP connections whose verified scope is exactly this site, in ascending order.
    QStringList connections;
    /// The latest verification time among those connections.
    std::optional<QDateTime> lastVerifiedAt;
    /// Since when publishing access is connected for the site.
    std::optional<QDateTime> publishingConnectedAt;
    /// The site's subdomain, from which the Designer link is built.
    std::optional<QString> shortName;
    /// The verification time of the connection that last supplied `shortName`.
    std::optional<QDateTime> shortNameSeenAt;

    /// `customName` when present (even empty), otherwise `name`.
    [[nodiscard]] QString displayName() const { return customName.value_or(name); }

    /// The object form in sites.json: optional members only when present, dates as ISO text.
    [[nodiscard]] QJsonObject toJson() const;
    /// The record of an object of sites.json; nothing when a required member is missing or any
    /// member has the wrong type or date form.
    [[nodiscard]] static std::optional<SiteRecord> fromJson(const QJsonValue &value);

    friend bool operator==(const SiteRecord &, const SiteRecord &) = default;
};
