// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

/**
 * @brief The body of the edge function "webflow-disconnect": the site whose publish grant is to
 * be removed and revoked, and the user the caller believes is signed in.
 */
struct DisconnectRequest
{
    QString siteID;       ///< "siteId"
    QUuid expectedUserID; ///< "expectedUserId", upper-case UUID text

    [[nodiscard]] QJsonObject toJson() const;

    friend bool operator==(const DisconnectRequest &, const DisconnectRequest &) = default;
};

/**
 * @brief The success reply of "webflow-disconnect".
 */
struct DisconnectResult
{
    bool disconnected = false;                ///< "disconnected", required
    std::optional<bool> alreadyDisconnected;  ///< "alreadyDisconnected"

    [[nodiscard]] static std::optional<DisconnectResult> fromJson(const QJsonValue &value, QString *error = nullptr);

    friend bool operator==(const DisconnectResult &, const DisconnectResult &) = default;
};

/**
 * @brief The body of an error reply of "webflow-disconnect", as far as it says why.
 */
struct DisconnectFailure
{
    std::optional<QString> code;           ///< "code"; "revocation_pending" marks a pending revocation
    std::optional<QString> error;          ///< "error": the backend's sentence for the user
    std::optional<bool> pendingRevocation; ///< "pending_revocation"

    /// The failure an error body describes; none for an empty body, bytes that are not UTF-8, or
    /// a body that is not a JSON object of these keys with their types.
    [[nodiscard]] static std::optional<DisconnectFailure> fromBody(const QByteArray &body);

    /// Whether the backend disabled publishing but has not finished revoking the credential.
    [[nodiscard]] bool isPendingRevocation() const;

    friend bool operator==(const DisconnectFailure &, const DisconnectFailure &) = default;
};

/// The text of an error body, when its bytes are valid UTF-8 (an empty body is the empty text).
[[nodiscard]] std::optional<QString> utf8Text(const QByteArray &bytes);
