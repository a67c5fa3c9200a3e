// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

/**
 * @brief The signed-in user's profile as the panel shows it: read from the backend's "profiles"
 * row and cached in account.json so that the account stays visible offline.
 *
 * In account.json dates are numbers: seconds, with fraction, since 2001-01-01 00:00:00 UTC.
 */
struct AccountProfile
{
    QString email;               ///< the account's e-mail address as the profile row has it
    bool marketingOptIn = false; ///< whether the user agreed to receive marketing e-mail
    QDateTime fetchedAt;         ///< when the record was last read from the backend

    /// The origin of the numeric dates: 2001-01-01 00:00:00 UTC.
    [[nodiscard]] static QDateTime referenceDate();
    /// The date of a profile cached without "fetchedAt": long before any real read, so such a
    /// profile always counts as stale.
    [[nodiscard]] static QDateTime distantPast();

    /// {"email", "marketingOptIn", "fetchedAt"}, every key always written.
    [[nodiscard]] QJsonObject toJson() const;
    /// Reads the cached form: "email" must be text; a missing or null "marketingOptIn" is false and
    /// a missing or null "fetchedAt" the distant past; a value of another type fails. Unknown keys
    /// are ignored.
    [[nodiscard]] static std::optional<AccountProfile> fromJson(const QJsonValue &value);

    friend bool operator==(const AccountProfile &, const AccountProfile &) = default;
};
