// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QCoro/QCoroTask>
#include <QString>

#include <functional>

class AppModel;

/// How registering a project's server and recording its metadata ended.
enum class ServerRegistration {
    /// The command line refused or failed; the project's issue says so.
    failed,
    /// Registered, and the metadata is saved.
    recorded,
    /// Registered, the metadata could not be saved, and the registration was removed again.
    rolledBack,
    /// Registered, the metadata could not be saved, and removing the registration failed too.
    rollbackFailed,
};

/**
 * Registers the server in Claude's user scope, then saves its fresh metadata, and removes the
 * registration again when that save fails, so that Claude never keeps a connection the application
 * has no record of. A failed registration sets the project's issue to `failurePrefix` and the
 * command line's sentence and is logged under "add"; the rollbacks set their own issues.
 * `registering` is told true just before the command runs and false as soon as it returns.
 * Answers `failed` when the model went away meanwhile.
 */
[[nodiscard]] QCoro::Task<ServerRegistration> registerAndRecord(AppModel &model, QString name, QString failurePrefix,
                                                                std::function<void(bool)> registering);
