// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QJsonValue>
#include <QString>

#include <optional>

/**
 * @brief One row of the backend table `oauth_states` in the phase "recovery_required": a Webflow
 * authorization attempt that went wrong and left a credential the user has to remove by hand.
 */
struct OAuthRecoveryAttempt
{
    QString state;                   ///< "state"; sent back as "p_state" when acknowledged
    std::optional<QString> siteID;   ///< "site_id"
    std::optional<QString> siteName; ///< "site_name"
    QDateTime createdAt;             ///< "created_at"
    /// "provider": who holds the credential to clean up ("webflow_mcp" names Webflow MCP).
    std::optional<QString> provider;

    /// Fails on a missing or null state or creation time, or a value of the wrong type.
    [[nodiscard]] static std::optional<OAuthRecoveryAttempt> fromJson(const QJsonValue &value,
                                                                      QString *error = nullptr,
                                                                      const QString &path = {});

    friend bool operator==(const OAuthRecoveryAttempt &, const OAuthRecoveryAttempt &) = default;
};
