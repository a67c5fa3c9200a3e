// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/ProcessRunner.h"

#include <QCoro/QCoroTask>
#include <QString>

#include <chrono>

namespace ClaudeCLI {

/// @brief The outcome of a command that changes Claude's registry: success and one sentence for
/// the user (a confirmation, or why it failed).
struct RegistryChange
{
    bool ok = false;
    QString message;

    bool operator==(const RegistryChange &) const = default;
};

/// How long registering or removing a server may take.
inline constexpr std::chrono::milliseconds kRegistrationTimeLimit = std::chrono::seconds(30);

/// Registers Webflow's MCP endpoint in user scope under a name of this lane.
[[nodiscard]] QCoro::Task<RegistryChange> addServer(ClaudeDriver &driver, QString name,
                                                    std::chrono::milliseconds timeLimit = kRegistrationTimeLimit);

/// Removes a user-scope server and confirms from the registry, read again on the driver's
/// threads, that it is gone. Messages quote the name only in its display-safe form; the command
/// line gets it unchanged.
[[nodiscard]] QCoro::Task<RegistryChange> removeServer(ClaudeDriver &driver, QString name,
                                                       std::chrono::milliseconds timeLimit = kRegistrationTimeLimit);

/// The sentence for a failed run: the command line's own words, or what happened to it.
[[nodiscard]] QString failureMessage(const RunResult &result, const QString &label);

/// Whether the text holds a character below U+0020 or U+007F.
[[nodiscard]] bool hasASCIIControlCharacter(const QString &text);

} // namespace ClaudeCLI
