// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/CardMenu.h"

QList<CardMenu::Entry> CardMenu::entries(const Input &input)
{
    QList<Entry> menu;
    // Every entry that changes Claude's registry or a local file waits for writable stores; the
    // publishing entries act in the cloud and stay usable.
    const auto gated = [&](Action action, const char *title) {
        menu.append({action, QString::fromUtf8(title), input.localStoresWritable});
    };
    const auto open = [&](Action action, const char *title) {
        menu.append({action, QString::fromUtf8(title), true});
    };
    const auto divider = [&] { menu.append({Action::divider, QString(), true}); };

    gated(Action::renameProject, "Rename Project");
    gated(Action::renameMCP, "Rename MCP…");
    divider();
    if (input.live) {
        gated(Action::reauthLiveMCP, "Re-auth MCP…");
        gated(Action::verifySite, "Verify Site");
    } else if (!input.hasConnection) {
        gated(Action::connectMCP, "Connect MCP");
    } else if (input.state == McpPill::State::pending) {
        gated(Action::checkMCPStatus, "Check MCP Status");
    } else {
        gated(Action::reauthMCP, "Re-auth MCP…");
    }
    if (input.hasOAuthRecovery)
        open(Action::resetPublishing, "Reset Publishing Connection");
    else if (input.revocationPending)
        open(Action::finishPublishingDisconnect, "Finish Publishing Disconnect");
    else if (input.publishingConnected)
        open(Action::reauthPublishing, "Re-auth Publishing…");
    else
        open(Action::connectPublishing, "Connect Publishing");
    divider();
    if (input.hasConnection)
        gated(Action::unregisterMCP, "Unregister MCP");
    if (input.publishingConnected)
        open(Action::disconnectPublishing, "Disconnect Publishing");
    if (input.hasConnection || input.publishingConnected || input.revocationPending || input.hasOAuthRecovery)
        divider();
    gated(Action::removeProject, "Remove Project");
    return menu;
}
