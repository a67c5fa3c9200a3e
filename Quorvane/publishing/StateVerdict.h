// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

/**
 * @brief The parameters of the RPC `inspect_publish_oauth_attempt`: the attempt asked about.
 */
struct InspectAttempt
{
    QString state; ///< "p_state", the attempt's OAuth state from the start reply

    [[nodiscard]] QJsonObject toJson() const;
};

/**
 * @brief The reply of `inspect_publish_oauth_attempt`: where an OAuth attempt stands.
 */
struct StateVerdict
{
    QString phase;                       ///< "phase", required
    std::optional<QString> outcome;      ///< "outcome": "granted", "rejected" or another text
    std::optional<QString> landedSiteID; ///< "landed_site_id": the site the grant landed on
    std::optional<QString> siteID;       ///< "site_id": the site the attempt was for

    [[nodiscard]] static std::optional<StateVerdict> fromJson(const QJsonValue &value, QString *error = nullptr);

    /// The verdict a reply gives: none for null, for anything that does not decode, and for a
    /// verdict without an outcome unless its phase is "recovery_required" or
    /// "reconciliation_pending" (the phases that ask something of the user while the attempt is
    /// still unfinished).
    [[nodiscard]] static std::optional<StateVerdict> fromReply(const QJsonValue &reply);

    friend bool operator==(const StateVerdict &, const StateVerdict &) = default;
};
