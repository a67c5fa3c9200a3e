// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/OperationRegistry.h"

#include <QCoroFuture>
#include <QCoroTask>
#include <QFuture>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>

namespace ClaudeCLI {

class ClaudeDriver;

/// How a consent flow under a terminal ended: success, and one sentence for the user.
struct TerminalRunResult
{
    bool ok = false;
    QString message;

    friend bool operator==(const TerminalRunResult &, const TerminalRunResult &) = default;
};

/// The optional parts of a terminal run.
struct TerminalOptions
{
    /// The program to run; absent: the located `claude`.
    std::optional<QString> executable;
    /// How long the user has to finish the consent flow.
    std::chrono::milliseconds timeout{300000};
    /// How long a child that ignores SIGTERM at the time limit has before SIGKILL (a cancellation
    /// uses the driver's grace).
    std::chrono::milliseconds killGrace = kKillGrace;
};

/// Receives each cleaned piece of a terminal run's output, on the driver's reaper thread, one call
/// at a time and in order; never an empty piece, never part of a character.
using OutputHandler = std::function<void(const QString &piece)>;

/**
 * Runs `claude` with the arguments under a pseudo-terminal of 60 rows and 400 columns, so that
 * a browser consent flow finds a terminal; streams its output without hyperlink and cursor
 * escapes, allows one run per key of the driver's login registry, and can be cancelled through it
 * at any stage. Never fails otherwise.
 */
[[nodiscard]] QCoro::Task<TerminalRunResult> ptyRun(ClaudeDriver &driver, QString key, QStringList arguments,
                                                    OutputHandler onOutput, TerminalOptions options = {});

/// Authorizes one MCP server of the user's registry ("mcp" "login" and the name) under its name,
/// refusing names of the other lane and names the CLI must not receive.
[[nodiscard]] QCoro::Task<TerminalRunResult> loginArguments(ClaudeDriver &driver, QString name, OutputHandler onOutput);

} // namespace ClaudeCLI
