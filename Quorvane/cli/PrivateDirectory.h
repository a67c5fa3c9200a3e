// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>
#include <QUuid>

#include <sys/types.h>

#include <optional>

namespace ClaudeCLI {

/**
 * Makes a private working directory under the parent folder, "quorvane-cwd-", the owning
 * process's number, "-" and the id, that only the user may enter; absent when something is
 * already there or the folder made is not exactly a directory with mode 0700. The number lets a
 * later start tell the folders of processes that are gone.
 */
[[nodiscard]] std::optional<QString> makePrivateWorkingDirectory(const QString &parent, pid_t owner, const QUuid &id);

/// Removes the private working directories under the parent folder whose owning process is gone:
/// only folders of this user, never through a link. Returns how many went.
int removeAbandonedWorkingDirectories(const QString &parent);

/// Removes a private working directory and what a child left in it.
void removePrivateWorkingDirectory(const QString &path);

} // namespace ClaudeCLI
