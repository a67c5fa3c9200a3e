// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "panel/McpPill.h"

#include <QList>
#include <QString>

/**
 * @brief The project card's settings menu: which entries it holds for the card's state, in which
 * order, between which dividers, and which of them a read-only local store disables.
 */
class CardMenu
{
    Q_GADGET

public:
    /// One kind per entry, so a choice names what to do rather than a title.
    enum class Action {
        divider,
        renameProject,
        renameMCP,
        reauthLiveMCP, ///< asks about re-authentication although the server is live
        verifySite,
        connectMCP,
        checkMCPStatus,
        reauthMCP,
        resetPublishing,
        finishPublishingDisconnect,
        reauthPublishing,
        connectPublishing,
        unregisterMCP,
        disconnectPublishing,
        removeProject,
    };
    Q_ENUM(Action)

    struct Input
    {
        /// A connection of the project's server name exists.
        bool hasConnection = false;
        /// That connection's status is connected.
        bool live = false;
        McpPill::State state = McpPill::State::unregistered;
        /// The project store, the connection-metadata store and the site directory can all save.
        bool localStoresWritable = true;
        /// The publishing store is available and holds interrupted Webflow authorizations.
        bool hasOAuthRecovery = false;
        /// The site's publishing is disabled while its revocation at Webflow is still pending.
        bool revocationPending = false;
        /// The site has publishing access.
        bool publishingConnected = false;
    };

    struct Entry
    {
        Action action = Action::divider;
        QString title;
        bool enabled = true;
        friend bool operator==(const Entry &, const Entry &) = default;
    };

    [[nodiscard]] static QList<Entry> entries(const Input &input);
};
