// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/UnrecognizedCardFace.h"

#include "foundation/DisplayText.h"
#include "foundation/ServerNames.h"

namespace {

constexpr qsizetype shownLength = 120;

std::optional<QString> present(const QString &text)
{
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

} // namespace

UnrecognizedCardFace UnrecognizedCardFace::of(const UnrecognizedServer &server)
{
    using Reason = UnrecognizedServer::Reason;
    UnrecognizedCardFace face;
    face.displayName = sanitizedForDisplay(server.name, shownLength);
    face.endpoint = server.endpointSummary();
    face.ownedElsewhere = UnrecognizedServer::isOwnedElsewhere(server.reason);
    face.badgeIcon = face.ownedElsewhere ? QStringLiteral("folder.badge.questionmark")
                                         : QStringLiteral("exclamationmark.shield.fill");
    face.badgeText = face.ownedElsewhere ? QStringLiteral("Project-scoped") : QStringLiteral("Unrecognized");
    switch (server.reason) {
    case Reason::unsafeName:
        face.reasonText = QStringLiteral("The registered name contains characters this app will not pass to the CLI.");
        break;
    case Reason::transportNotHTTP:
        face.reasonText = QStringLiteral("This entry does not declare an HTTP transport, so it is not a Webflow connection.");
        break;
    case Reason::unexpectedEndpoint:
        face.reasonText = QStringLiteral("This entry points at a different server than Webflow's MCP endpoint.");
        break;
    case Reason::localScopeShadow:
        face.reasonText = QStringLiteral(
            "A project-scoped entry in ~/.claude.json shares this name. Claude Code resolves that one first, so this "
            "connection is not the one it would use, and this app will not probe it.");
        break;
    case Reason::projectScoped:
        face.reasonText = QStringLiteral(
            "This entry is registered for one project folder rather than your user account, so this app does not "
            "manage it.");
        break;
    case Reason::foreignLane:
        face.reasonText = QStringLiteral(
            "This connection belongs to the other Quorvane app lane, so this app will not inspect or change it.");
        break;
    }

    const bool unmanaged = server.reason == Reason::unsafeName || server.reason == Reason::transportNotHTTP
        || server.reason == Reason::unexpectedEndpoint;
    if (unmanaged)
        face.footnote = QStringLiteral("Not managed by this app.");
    else if (server.folder)
        // The folder comes from ~/.claude.json like the name, so it is shown as safely.
        face.footnote = QStringLiteral("Registered under ") + sanitizedForDisplay(*server.folder, shownLength);
    else
        face.footnote = QStringLiteral("Project-scoped. Edit ~/.claude.json to change it.");
    // Removal passes the raw name to the command line, which only ever gets names that pass the
    // name rules; an entry named otherwise is left for the user to edit by hand.
    const bool removable = unmanaged || (server.reason == Reason::projectScoped && server.folder.has_value());
    face.showsTrash = removable && ClaudeCLI::isSafeServerName(server.name);
    face.trashAccessibilityLabel = QStringLiteral("Remove ") + face.displayName;
    return face;
}

UnrecognizedCardFace UnrecognizedCardRules::face(const QString &name, const QString &url, const QString &transport,
                                                 const QString &reason, const QString &folder)
{
    UnrecognizedServer server;
    server.name = name;
    server.url = present(url);
    server.transport = present(transport);
    server.reason = UnrecognizedServer::reasonFromRawText(reason).value_or(UnrecognizedServer::Reason::unsafeName);
    server.folder = present(folder);
    return UnrecognizedCardFace::of(server);
}

QColor UnrecognizedCardRules::accent(bool ownedElsewhere, KitPalette::Scheme scheme)
{
    return ownedElsewhere ? KitPalette::systemOrange(scheme) : KitPalette::systemRed(scheme);
}
