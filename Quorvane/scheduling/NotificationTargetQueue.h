// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/FailureRecorder.h"
#include "scheduling/NotificationRouter.h"

#include <QList>
#include <QUuid>

#include <optional>

/**
 * @brief Decides for each tapped notification whether it belongs to the signed-in account (route
 * it), must wait until the account is known (hold it), or belongs to nobody here (drop it).
 *
 * A plain value owned by the application model, used on the main thread only.
 */
struct NotificationTargetQueue
{
    /// @brief Who is signed in, as far as routing knows.
    struct Identity
    {
        enum class Case { SignedIn, Unknown, SignedOut };

        Case which = Case::Unknown;
        QUuid account; ///< the signed-in account; null otherwise

        [[nodiscard]] static Identity signedIn(const QUuid &account) { return {Case::SignedIn, account}; }
        [[nodiscard]] static Identity unknown() { return {}; }
        [[nodiscard]] static Identity signedOut() { return {Case::SignedOut, {}}; }

        friend bool operator==(const Identity &, const Identity &) = default;
    };

    /// @brief The answer for one tapped target.
    struct Offer
    {
        enum class Case { Route, Queued, Discard };

        Case which = Case::Discard;
        std::optional<NotificationRouter::Target> target; ///< the target to route

        [[nodiscard]] static Offer route(const NotificationRouter::Target &target) { return {Case::Route, target}; }
        [[nodiscard]] static Offer queued() { return {Case::Queued, std::nullopt}; }
        [[nodiscard]] static Offer discard() { return {}; }

        friend bool operator==(const Offer &, const Offer &) = default;
    };

    /// What the error log notes of a tap that belongs to an account not signed in here.
    static inline const QString ignoredTapMessage =
        QStringLiteral("Ignored an outcome notification for a different signed-in account.");

    Identity identity;
    /// Targets waiting for the identity, oldest first, without duplicates.
    QList<NotificationRouter::Target> pending;

    /// Routes a target of the signed-in account, holds one while the account is unknown, and
    /// drops any other.
    Offer offer(const NotificationRouter::Target &target);

    /// offer() for a tap the user made: a dropped one is noted under "notification" at @p now,
    /// since nothing else tells why the tap opened nothing.
    Offer offerTap(const NotificationRouter::Target &target, const FailureRecorder &record, const QDateTime &now);

    /// The account is now @p account (signed out without one); answers the held targets of that
    /// account in tap order and drops every other held target. The identity never becomes
    /// unknown again.
    QList<NotificationRouter::Target> updateIdentity(const std::optional<QUuid> &account);

    friend bool operator==(const NotificationTargetQueue &, const NotificationTargetQueue &) = default;
};
