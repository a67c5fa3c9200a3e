// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/PublishDomain.h"

#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

/// Where a site's publish grant stands on the backend.
enum class GrantConnectionStatus {
    Active,                ///< "active"
    RevocationPending,     ///< "revocation_pending"
    RevocationConfirmed,   ///< "revocation_confirmed"
    ReconciliationPending, ///< "reconciliation_pending"
};

/// The status of its exact text, case included; none for any other text.
[[nodiscard]] std::optional<GrantConnectionStatus> grantConnectionStatus(QStringView text);

/**
 * @brief One row of the backend table `site_publish_grants`: a publish grant the backend holds
 * for one Webflow site of the signed-in user.
 */
struct GrantRow
{
    QString siteID;                              ///< "site_id"
    std::optional<QString> siteName;             ///< "site_name"
    std::optional<QList<PublishDomain>> domains; ///< "domains"; an empty array is an empty list
    std::optional<QDateTime> createdAt;          ///< "created_at"
    /// "connection_status"; absent when the backend gives none, which counts as active.
    std::optional<GrantConnectionStatus> connectionStatus;

    /// Fails on a missing or null site id, a value of the wrong type, a domain without one of its
    /// three keys, a date that is not a backend timestamp, or a status outside the four texts.
    [[nodiscard]] static std::optional<GrantRow> fromJson(const QJsonValue &value, QString *error = nullptr,
                                                          const QString &path = {});

    friend bool operator==(const GrantRow &, const GrantRow &) = default;
};
