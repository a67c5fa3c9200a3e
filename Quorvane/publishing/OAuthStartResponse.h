// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

/**
 * @brief The body of the edge function "webflow-mcp-oauth-start": which site to connect, for
 * which signed-in user, under which connect operation.
 */
struct StartRequest
{
    std::optional<QString> siteID;   ///< "siteId", left out when absent
    std::optional<QString> siteName; ///< "siteName", left out when absent
    QUuid expectedUserID;            ///< "expectedUserId"
    QUuid operationID;               ///< "operationId"

    /// UUIDs as upper-case text; an absent site id or name leaves its key out, never null.
    [[nodiscard]] QJsonObject toJson() const;

    friend bool operator==(const StartRequest &, const StartRequest &) = default;
};

/**
 * @brief The reply of "webflow-mcp-oauth-start": the consent link and what a later inspection or
 * cancel of the attempt needs.
 */
struct OAuthStartResponse
{
    QString authorizeURL;     ///< "authorizeURL", checked before any use
    QString state;            ///< "state", the attempt's OAuth state
    QUuid operationID;        ///< "operationId", echoing the request's
    QString cancelCapability; ///< "cancelCapability", authorising a later cancel

    /// All four keys are required.
    [[nodiscard]] static std::optional<OAuthStartResponse> fromJson(const QJsonValue &value, QString *error = nullptr);

    friend bool operator==(const OAuthStartResponse &, const OAuthStartResponse &) = default;
};
