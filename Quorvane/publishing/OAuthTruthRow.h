// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

/**
 * @brief One row of the backend table `oauth_states` read as the truth about a connect operation:
 * which phase the attempt of that operation reached.
 */
struct OAuthTruthRow
{
    QUuid operationID; ///< "operation_id", UUID text in either case
    QString phase;     ///< "phase": "committed", "cancelled", "rejected", "expired" or another text

    /// Fails on a missing, null or non-UUID operation id, or a missing phase.
    [[nodiscard]] static std::optional<OAuthTruthRow> fromJson(const QJsonValue &value, QString *error = nullptr,
                                                               const QString &path = {});

    friend bool operator==(const OAuthTruthRow &, const OAuthTruthRow &) = default;
};
