// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/ClaudeDriver.h"
#include "cli/FolderIdentity.h"
#include "cli/OperationRegistry.h"

#include <QCoroFuture>
#include <QFuture>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>

namespace ClaudeCLI {

/// The exit code of a run that never started; `stderr` says why.
inline constexpr qint32 kNotStarted = -1;
/// The exit code of a run stopped at its time limit.
inline constexpr qint32 kTimedOut = -2;
/// A child ended by a signal reports this plus the signal's number, as a shell does.
inline constexpr qint32 kSignalledBase = 128;

/**
 * @brief How one run of a child ended. Exit code `kNotStarted` (-1): the child never ran, and
 * `stderr` says why; `kTimedOut` (-2): the time limit elapsed; a child ended by a signal reports
 * 128 plus the signal's number; otherwise the exit status.
 */
struct RunResult
{
    qint32 exitCode = 0;
    QString stdout;
    QString stderr;

    friend bool operator==(const RunResult &, const RunResult &) = default;
};

/// The optional parts of a run (assigned one by one: callers name what they set).
struct RunOptions
{
    /// The child's working folder; absent: the driver's private working directory.
    std::optional<QString> directory;
    /// An open folder the child starts in, bound by the descriptor rather than a path; it wins
    /// over `directory` and must stay open until the run has ended.
    std::optional<int> directoryDescriptor;
    /// When present, the working folder must still have this identity right before the launch.
    std::optional<FolderIdentity> expectedDirectoryIdentity;
    /// Registers the run in the driver's run registry for its whole length, so that a
    /// cancellation reaches it and a second run under the same key is refused.
    std::optional<QString> cancellationKey;
    /// When set, both texts keep only the lines it accepts.
    std::function<bool(const QString &line)> keepingLines;
    /// How long a child that ignores SIGTERM at the time limit has before SIGKILL.
    std::chrono::milliseconds killGrace = kKillGrace;
    /// The child's PATH; absent: the driver's search path.
    std::optional<QString> searchPath;
};

/**
 * Runs an executable (used as given: no PATH search, no shell) with standard input from
 * /dev/null, collects its output and completes with the result; never fails otherwise. The time
 * limit counts from the launch. The reaper launches and collects the child on its own thread:
 * callers `co_await` the future.
 */
[[nodiscard]] QFuture<RunResult> run(ClaudeDriver &driver, QString executable, QStringList arguments,
                                     std::chrono::milliseconds timeout, RunOptions options = {});

/// The lines of a text that the predicate accepts, joined by line feeds; a carriage return and
/// line feed pair does not end a line.
[[nodiscard]] QString keepLines(const QString &text, const std::function<bool(const QString &)> &predicate);

/// A run's exit code for a wait status (see `RunResult`).
[[nodiscard]] qint32 exitCodeOf(int waitStatus);

} // namespace ClaudeCLI
