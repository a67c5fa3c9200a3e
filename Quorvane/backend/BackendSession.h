// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

/**
 * @brief The signed-in user as the backend's auth service describes it.
 */
struct BackendUser
{
    QUuid id;
    /// The user's e-mail address; empty when the service gave none.
    QString email;

    /// Reads the "id" (UUID text) and optional "email" of a user object; none when they are
    /// missing or of the wrong type.
    [[nodiscard]] static std::optional<BackendUser> fromJson(const QJsonObject &object);

    friend bool operator==(const BackendUser &, const BackendUser &) = default;
};

/**
 * @brief A signed-in session: the tokens the backend accepts and when the access token expires.
 */
struct BackendSession
{
    QString accessToken;
    /// Single-use: the service answers a second use of the same refresh token with a refusal.
    QString refreshToken;
    /// When the access token stops being accepted, in UTC.
    QDateTime expiresAt;
    BackendUser user;

    /// Reads a session answer of the auth service ("access_token", "refresh_token", "expires_in" or
    /// "expires_at", "user"). The expiry counts "expires_in" from now, so that a server clock that
    /// differs from ours does not shorten or stretch the session. None when the answer is not a
    /// complete session.
    [[nodiscard]] static std::optional<BackendSession> fromAuthReply(const QJsonObject &reply, const QDateTime &now);

    /// The bytes kept in the session store.
    [[nodiscard]] QByteArray toStored() const;
    /// Reads bytes written by toStored(); none when they are not a complete session.
    [[nodiscard]] static std::optional<BackendSession> fromStored(const QByteArray &bytes);

    friend bool operator==(const BackendSession &, const BackendSession &) = default;
};
