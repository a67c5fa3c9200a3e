// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/McpPill.h"

namespace {

bool checking(const McpPill::Input &input)
{
    return input.loading || input.checkInFlight;
}

} // namespace

McpPill::State McpPill::stateOf(const std::optional<ConnectionStatus> &status, bool checking)
{
    if (checking)
        return State::pending;
    if (!status)
        return State::unregistered;
    switch (*status) {
    case ConnectionStatus::connected:
        return State::live;
    case ConnectionStatus::degraded:
        return State::degraded;
    case ConnectionStatus::needsAuth:
        return State::needsAuth;
    case ConnectionStatus::failed:
        return State::unavailable;
    case ConnectionStatus::checking:
    case ConnectionStatus::missing:
    case ConnectionStatus::timedOut:
    case ConnectionStatus::unknown:
        break;
    }
    return State::pending;
}

McpPill McpPill::of(const Input &input)
{
    McpPill pill;
    pill.state = stateOf(input.status, checking(input));
    if (pill.state == State::pending) {
        pill.icon = QStringLiteral("circle.dotted");
        pill.dots = true;
        pill.opacity = 0.55;
        pill.help = QStringLiteral("Checking whether this registered MCP is live");
        pill.enabled = !input.busy && input.status != ConnectionStatus::checking && !checking(input);
        return pill;
    }
    // The live look follows the status itself: a connected server reads live whatever the state.
    const bool live = input.status == ConnectionStatus::connected;
    if (live) {
        pill.icon = input.copied ? QStringLiteral("checkmark.circle") : QStringLiteral("circle.fill");
        if (!input.copied)
            pill.hoverIcon = QStringLiteral("doc.on.doc");
    } else {
        pill.icon = QStringLiteral("link");
    }
    if (input.copied)
        pill.label = QStringLiteral("Copied!");
    else if (live)
        pill.label = QStringLiteral("MCP Live");
    else if (pill.state == State::needsAuth)
        pill.label = QStringLiteral("MCP needs auth");
    else if (pill.state == State::degraded)
        pill.label = QStringLiteral("MCP degraded");
    else if (pill.state == State::unavailable)
        pill.label = QStringLiteral("MCP unavailable");
    else
        pill.label = QStringLiteral("Connect to Claude");
    pill.prominentBrand = live;
    pill.warning = pill.state == State::needsAuth || pill.state == State::degraded
        || pill.state == State::unavailable;
    pill.enabled = !input.busy;
    return pill;
}

McpPill::Press McpPill::pressOf(const Input &input)
{
    const McpPill pill = of(input);
    if (!pill.enabled)
        return Press::nothing;
    if (pill.state == State::pending)
        return input.status == ConnectionStatus::checking || checking(input) ? Press::nothing : Press::connect;
    return input.status == ConnectionStatus::connected ? Press::copy : Press::connect;
}

QString McpPill::copyText(const QString &mcpName, const QString &siteLabel)
{
    return QStringLiteral("Use the ") + mcpName + QStringLiteral(" Webflow MCP server to work on ")
        + siteLabel + QStringLiteral(".");
}
