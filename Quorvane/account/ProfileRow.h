// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "account/AccountProfile.h"

#include <QJsonValue>
#include <QString>

#include <optional>

/**
 * @brief The signed-in user's row of the backend table "profiles", as far as the application
 * reads it: the columns "email" and "marketing_opt_in".
 */
struct ProfileRow
{
    QString email;
    bool marketingOptIn = false;

    /// The columns the profile read asks for.
    static inline const QString columns = QStringLiteral("email,marketing_opt_in");

    /// Both columns must be present and of their type (a null fails); other columns are ignored.
    [[nodiscard]] static std::optional<ProfileRow> fromJson(const QJsonValue &value);

    /// The profile this row gives when it arrived at fetchedAt.
    [[nodiscard]] AccountProfile profile(const QDateTime &fetchedAt) const
    {
        return {email, marketingOptIn, fetchedAt};
    }

    friend bool operator==(const ProfileRow &, const ProfileRow &) = default;
};
