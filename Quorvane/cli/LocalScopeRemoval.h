// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/FolderIdentity.h"
#include "cli/ProcessRunner.h"

#include <QCoroTask>
#include <QFuture>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

namespace ClaudeCLI {

/// Whether a server name is registered for one project folder in Claude's registry.
enum class RegistrationState {
    Registered,
    NotRegistered,
    /// The registry cannot be read or has no usable "projects" table.
    Unreadable,
};

/// Whether a local-scope registration was removed, and one sentence for the user.
struct LocalRemovalResult
{
    bool removed = false;
    QString message;

    friend bool operator==(const LocalRemovalResult &, const LocalRemovalResult &) = default;
};

/// Answers how the registry lists a name for one folder; called on the driver's threads.
using RegistrationCheck = std::function<RegistrationState(const QString &name, const QString &folder)>;
/// Runs the removal for a name in the folder pinned by its descriptor and identity; the descriptor
/// stays open until the run has ended.
using LocalRemovalRunner = std::function<QCoro::Task<RunResult>(QString name, FolderIdentity pinned, int folderDescriptor)>;

/// How the registry at the path lists the name for that exact folder; reads the file each time.
[[nodiscard]] RegistrationState localRegistrationState(const QString &registryPath, const QString &name,
                                                       const QString &folder);

/// Runs `claude` "mcp" "remove" name "-s" "local" bound to the pinned folder, within 30 seconds.
[[nodiscard]] QCoro::Task<RunResult> removeInFolder(ClaudeDriver &driver, QString name, FolderIdentity pinned,
                                                    int folderDescriptor);

/**
 * Runs an executable with the open folder as its working directory (bound by the descriptor,
 * never by a path), standard input from /dev/null and both outputs collected as every run's.
 * The folder must still have the expected identity right before the launch.
 */
[[nodiscard]] QFuture<RunResult> runInFolder(ClaudeDriver &driver, QString executable, QStringList arguments,
                                             int folderDescriptor, FolderIdentity expected,
                                             std::chrono::milliseconds timeout,
                                             std::chrono::milliseconds killGrace = std::chrono::milliseconds(250));

/**
 * Removes a local-scope registration of a project folder named by registry text: refuses unsafe
 * names and paths, never creates a folder, pins the folder by device and inode before the run,
 * runs the removal inside that very folder, checks the folder again after it and confirms the
 * removal by reading the registry again. Every file step runs on the driver's threads. Empty
 * check and runner: the driver's registry and `removeInFolder`.
 */
[[nodiscard]] QCoro::Task<LocalRemovalResult> removeLocalServer(ClaudeDriver &driver, QString name, QString folder,
                                                                RegistrationCheck registrationCheck = {},
                                                                LocalRemovalRunner runner = {});

} // namespace ClaudeCLI
