// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/CloudAuthSnapshot.h"

#include <QDateTime>
#include <QString>
#include <QUuid>

#include <optional>

/// How the cancellation of a connect settled.
enum class OAuthCancellationOutcome {
    Cancelled,              ///< the backend confirmed that the attempt is cancelled
    ReconciliationRequired, ///< nothing proves it: the attempt's real end is looked up later
};

/**
 * @brief What cancelling one attempt at the backend takes: its state and the one-time capability
 * from the start reply.
 */
struct OAuthCancelCommand
{
    QString state;
    QUuid operationID;
    QString cancelCapability;

    friend bool operator==(const OAuthCancelCommand &, const OAuthCancelCommand &) = default;
};

/**
 * @brief One live connect attempt, as far as a later cancel needs it.
 */
struct OAuthConnectContext
{
    /// Names this context; every delayed settlement carries the run it began for and does nothing
    /// once the operation's context has another.
    QUuid runID;
    /// The account that started the attempt: the owner of any receipt it leaves.
    CloudAuthSnapshot auth;
    /// From the start reply, once accepted.
    std::optional<QString> state;
    std::optional<QString> cancelCapability;
    /// When the context is retired: 900 seconds after it was first made, by the wall clock.
    QDateTime expiresAt;
    /// Whether the backend cancel has been sent.
    bool cancelStarted = false;

    friend bool operator==(const OAuthConnectContext &, const OAuthConnectContext &) = default;
};
