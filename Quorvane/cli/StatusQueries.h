// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ConnectionStatus.h"

#include <QCoro/QCoroTask>
#include <QString>

#include <chrono>
#include <optional>

namespace ClaudeCLI {

class ClaudeDriver;

/**
 * @brief Whether the claude tool itself is signed in, as its "auth status" answers.
 */
struct AuthStatus
{
    enum class State { signedIn, signedOut, unknown };

    State state = State::unknown;
    /// Only for signedIn, and only when the tool reported it.
    std::optional<QString> email;

    [[nodiscard]] static AuthStatus signedIn(std::optional<QString> email = std::nullopt)
    {
        return {State::signedIn, std::move(email)};
    }
    [[nodiscard]] static AuthStatus signedOut() { return {State::signedOut, std::nullopt}; }
    [[nodiscard]] static AuthStatus unknown() { return {State::unknown, std::nullopt}; }

    bool operator==(const AuthStatus &) const = default;
};

/// How long the sign-in query may take before its answer counts as unknown.
inline constexpr std::chrono::milliseconds kAuthStatusTimeLimit = std::chrono::seconds(15);
/// How long one server's status query may take before it counts as timed out.
inline constexpr std::chrono::milliseconds kServerStatusTimeLimit = std::chrono::seconds(30);

/// Asks claude whether it is signed in. Never fails: anything unexpected is unknown.
[[nodiscard]] QCoro::Task<AuthStatus> authStatus(ClaudeDriver &driver,
                                                 std::chrono::milliseconds timeLimit = kAuthStatusTimeLimit);

/// Asks claude for the live state of one registered MCP server. Never fails and never passes an
/// unsafe or other-lane name to the command line (those are unknown).
[[nodiscard]] QCoro::Task<ConnectionStatus> serverStatus(ClaudeDriver &driver, QString name,
                                                         std::chrono::milliseconds timeLimit = kServerStatusTimeLimit);

/// The state that one "Status:" line of "claude mcp get" describes; unknown for anything else.
[[nodiscard]] ConnectionStatus parseStatusLine(const QString &line);

/// Which output lines of "claude mcp get" the server query keeps.
[[nodiscard]] bool statusLineFilter(const QString &line);

} // namespace ClaudeCLI
