// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/ProcessRunner.h"

#include <QCoroFuture>
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

using RegistrationCheck = std::function<RegistrationState(const QString &name, const QString &folder)>;
/// Runs the removal for a name in the folder pinned by its descriptor, device and inode.
using LocalRemovalRunner = std::function<QFuture<RunResult>(const QString &name, const QString &folder, quint64 device,
                                                            quint64 inode, int folderDescriptor)>;

/// How `~/.claude.json` lists the name for that exact folder; reads the file each time.
[[nodiscard]] RegistrationState localRegistrationState(const QString &name, const QString &folder);

/// Runs `claude` "mcp" "remove" name "-s" "local" bound to the pinned folder, within 30 seconds.
[[nodiscard]] QFuture<RunResult> defaultLocalRemovalRunner(const QString &name, const QString &folder, quint64 device,
                                                           quint64 inode, int folderDescriptor);

/**
 * Runs an executable with the open folder as its working directory (bound by the descriptor,
 * never by a path), standard input from /dev/null and both outputs collected with the runner's
 * bounded drain. A child ended by a signal reports 128 plus its number; the time limit gives -2
 * once the child, which gets SIGTERM and `killGrace` later SIGKILL, is gone.
 */
[[nodiscard]] QFuture<RunResult> runInFolder(QString executable, QStringList arguments, int folderDescriptor,
                                             quint64 device, quint64 inode, std::chrono::milliseconds timeout,
                                             std::chrono::milliseconds killGrace = std::chrono::milliseconds(250));

/**
 * Removes a local-scope registration of a project folder named by registry text: refuses unsafe
 * names and paths, never creates a folder, pins the folder by device and inode before the run,
 * runs the removal inside that very folder, checks the folder again after it and confirms the
 * removal by reading the registry again.
 */
[[nodiscard]] QFuture<LocalRemovalResult> removeLocalServer(QString name, QString folder,
                                                            RegistrationCheck registrationCheck = localRegistrationState,
                                                            LocalRemovalRunner runner = defaultLocalRemovalRunner);

} // namespace ClaudeCLI
