// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

/**
 * @brief The body of the edge function "webflow-oauth-cancel": the attempt to cancel and the
 * one-time capability that authorises it.
 */
struct OAuthCancelRequest
{
    QString state;            ///< "state"
    QUuid operationID;        ///< "operationId"
    QString cancelCapability; ///< "cancelCapability"

    [[nodiscard]] QJsonObject toJson() const;

    friend bool operator==(const OAuthCancelRequest &, const OAuthCancelRequest &) = default;
};

/**
 * @brief The reply of "webflow-oauth-cancel"; an empty object leaves both answers absent.
 */
struct OAuthCancelResponse
{
    std::optional<bool> cancelled;       ///< "cancelled"
    std::optional<bool> alreadyTerminal; ///< "alreadyTerminal"

    [[nodiscard]] static std::optional<OAuthCancelResponse> fromJson(const QJsonValue &value, QString *error = nullptr);

    friend bool operator==(const OAuthCancelResponse &, const OAuthCancelResponse &) = default;
};
