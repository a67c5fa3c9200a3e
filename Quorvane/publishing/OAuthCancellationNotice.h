// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QUuid>

/**
 * @brief What the user must hear about a cancelled connect whose cancellation the backend did not
 * confirm, once the backend's record of the attempt has been read.
 */
struct OAuthCancellationNotice
{
    enum class Kind {
        /// Webflow completed the authorization before the cancellation took effect: a grant the
        /// user meant to abandon may exist, to be reviewed and disconnected if unwanted.
        AuthorizationCompleted,
        /// It cannot be proven that the authorization was cancelled before the token exchange:
        /// publishing access should be refreshed and reviewed before trying again.
        NeedsReview,
    };

    QUuid ownerID;     ///< the account that started the cancelled connect
    QUuid operationID; ///< the connect operation
    Kind kind = Kind::NeedsReview;

    friend bool operator==(const OAuthCancellationNotice &, const OAuthCancellationNotice &) = default;
};
