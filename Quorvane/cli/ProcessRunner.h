// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/ChildProcess.h"
#include "cli/FolderIdentity.h"
#include "cli/OperationRegistry.h"

#include <QByteArray>
#include <QCoroFuture>
#include <QFuture>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QUuid>

#include <chrono>
#include <functional>
#include <optional>

namespace ClaudeCLI {

/**
 * @brief How one run of a child ended. Exit code -1: the child never ran, and `stderr` says why;
 * -2: the time limit elapsed; otherwise the exit status, or the number of the signal that ended it.
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
    /// The child's working folder; absent: the private working directory.
    std::optional<QString> directory;
    /// When present, the working folder must still have this identity right before the launch.
    std::optional<FolderIdentity> expectedDirectoryIdentity;
    /// Registers the run in the run registry for its whole length, so that `cancelRun` reaches it
    /// and a second run under the same key is refused.
    std::optional<QString> cancellationKey;
    /// When set, both texts keep only the lines it accepts.
    std::function<bool(const QString &line)> keepingLines;
    /// How long a child that ignores SIGTERM at the time limit has before SIGKILL.
    std::chrono::milliseconds killGrace = kKillGrace;
    /// The child's PATH; absent: that of the login shell that located `claude`.
    std::optional<QString> searchPath;
};

/**
 * Runs an executable (used as given: no PATH search, no shell) with standard input from
 * /dev/null, collects its output and completes with the result; never fails otherwise. The time
 * limit counts from the launch. The work happens on background threads; callers `co_await` the
 * future.
 */
[[nodiscard]] QFuture<RunResult> run(QString executable, QStringList arguments,
                                     std::chrono::milliseconds timeout, RunOptions options = {});

/// The folder every child of the driver runs in, "quorvane-cwd-" and a UUID under the user's
/// temporary folder, only the user may enter; made on the first call, absent for the rest of the
/// process when that fails.
[[nodiscard]] std::optional<QString> privateWorkingDirectory();

/// Makes a private working directory for the id under the parent folder; absent when something
/// is already there or the folder made is not exactly a directory with mode 0700.
[[nodiscard]] std::optional<QString> makePrivateWorkingDirectory(const QString &parent, const QUuid &id);

/// The lines of a text that the predicate accepts, joined by line feeds; a carriage return and
/// line feed pair does not end a line.
[[nodiscard]] QString keepLines(const QString &text, const std::function<bool(const QString &)> &predicate);

/// How a launched child with output pipes ended.
struct ChildOutcome
{
    enum class Ending { Exited, TimedOut, WaitFailed };
    Ending ending = Ending::Exited;
    /// The wait status when the child exited.
    int waitStatus = 0;
    /// The error of waitpid when collecting the child failed.
    QString waitError;
    QByteArray stdoutData;
    QByteArray stderrData;
};

/**
 * Reads both pipes of a launched child until it has exited and both reach end of file, or until
 * four drain ticks of 0.25 seconds after its exit (a grandchild may hold the pipes open), or
 * until the time limit: then a child still running gets SIGTERM and, `killGrace` later, SIGKILL,
 * and the caller must `reap` it once it has delivered its result.
 */
[[nodiscard]] ChildOutcome collectChild(SpawnedChild &child, std::chrono::milliseconds timeout,
                                        std::chrono::milliseconds killGrace);

/// The threads on which the driver's runs wait for their children.
[[nodiscard]] QThreadPool &driverThreads();

} // namespace ClaudeCLI
