// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The rules every server name and endpoint meets before it reaches the claude command line.
namespace ClaudeCLI {

/// Every server this build registers has a name that begins with this.
inline constexpr QStringView ownLanePrefix = u"webflow-";

/// Names of the application's other release lane, which this build neither manages nor changes.
inline constexpr QStringView otherLanePrefix = u"quorvane-beta-webflow-";

/// Webflow's hosted MCP server, the endpoint the application registers.
inline constexpr QStringView webflowMCPEndpoint = u"https://mcp.webflow.com/mcp";

/// Whether the name is non-empty, does not begin with "-" and holds only ASCII letters, digits,
/// "-" and "_".
[[nodiscard]] bool isSafeServerName(QStringView name);

/// The user's sentence on why the proposed name cannot be registered; nothing when it can.
[[nodiscard]] std::optional<QString> validateServerName(QStringView name);

/// Whether the URL text is Webflow's hosted MCP endpoint ("/mcp" or "/sse" over https on the
/// default port, without user, query or fragment).
[[nodiscard]] bool isWebflowEndpoint(const std::optional<QString> &url);

/// The display text as a lower-case slug of ASCII letters, digits and single hyphens.
[[nodiscard]] QString slugify(QStringView text);

/// A server name as user-facing sentences quote it. Names come from ~/.claude.json, which anyone
/// can edit, so they are shown cleaned and cut; only the command line gets the raw name.
[[nodiscard]] QString displayName(QStringView name);

} // namespace ClaudeCLI
