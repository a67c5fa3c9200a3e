// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/LocalScopeRemoval.h"

#include "cli/ClaudeDriver.h"
#include "cli/RegistryFile.h"
#include "cli/RegistryReader.h"
#include "foundation/ServerNames.h"

#include <QFileInfo>
#include <QJsonObject>
#include <QtConcurrent>

namespace ClaudeCLI {

namespace {

/// The checks before the run, and the folder pinned for it when they pass.
struct Pinned
{
    std::optional<LocalRemovalResult> refusal;
    std::shared_ptr<DirectoryChain> folder;
};

Pinned pinFolder(const QString &name, const QString &folder, const RegistrationCheck &registrationCheck)
{
    const QString quoted = u'"' + displayName(name) + u'"';
    if (name.startsWith(otherLanePrefix))
        return {LocalRemovalResult{false, quoted + QStringLiteral(" belongs to a different Quorvane lane.")}, nullptr};
    if (!isSafeServerName(name))
        return {LocalRemovalResult{false, quoted + QStringLiteral(" is not a name this app will pass to the CLI.")}, nullptr};
    if (!isSafeAbsolutePath(folder)) {
        return {LocalRemovalResult{false, QStringLiteral("The saved project folder is not a canonical absolute path. "
                                                         "Remove this entry from ~/.claude.json by hand.")},
                nullptr};
    }
    switch (registrationCheck(name, folder)) {
    case RegistrationState::Unreadable:
        return {LocalRemovalResult{false, QStringLiteral("Claude's registry could not be read. Nothing was removed.")}, nullptr};
    case RegistrationState::NotRegistered:
        return {LocalRemovalResult{false, QStringLiteral("The local registration changed since the last refresh. Refresh "
                                                         "and review it before removing anything.")},
                nullptr};
    case RegistrationState::Registered:
        break;
    }
    if (!QFileInfo(folder).isDir()) {
        return {LocalRemovalResult{false, QStringLiteral("The folder no longer exists. Quorvane will not recreate "
                                                         "filesystem paths from registry text; remove this entry from "
                                                         "~/.claude.json by hand.")},
                nullptr};
    }
    std::optional<DirectoryChain> before = openDirectoryChain(folder);
    if (!before)
        return {LocalRemovalResult{false, QStringLiteral("The saved project folder is not a trusted directory. Refresh "
                                                         "or remove the entry by hand.")},
                nullptr};
    // The folder's descriptor keeps its close-on-exec flag: the child changes into it before its
    // program starts, and no other child may inherit it.
    if (directoryIdentity(before->folder()) != before->identity())
        return {LocalRemovalResult{false, QStringLiteral("The project folder changed before removal. Nothing was removed.")},
                nullptr};
    return {std::nullopt, std::make_shared<DirectoryChain>(std::move(*before))};
}

LocalRemovalResult confirmRemoval(const QString &name, const QString &folder, FolderIdentity pinned,
                                  const RegistrationCheck &registrationCheck)
{
    const std::optional<DirectoryChain> after = openDirectoryChain(folder);
    if (!after || after->identity() != pinned) {
        return {false, QStringLiteral("The project folder changed while the CLI was running. Removal is unconfirmed; "
                                      "refresh before trying again.")};
    }
    switch (registrationCheck(name, folder)) {
    case RegistrationState::Unreadable:
        return {false, QStringLiteral("The CLI finished, but Claude's registry could not be reread. Removal is "
                                      "unconfirmed; refresh before trying again.")};
    case RegistrationState::Registered:
        return {false, QStringLiteral("The CLI reported success but ") + name
                           + QStringLiteral(" is still registered for this exact folder.")};
    case RegistrationState::NotRegistered:
        break;
    }
    return {true, QStringLiteral("Removed ") + name + u'.'};
}

} // namespace

RegistrationState localRegistrationState(const QString &registryPath, const QString &name, const QString &folder)
{
    const RegistryFile file = readRegistryFile(registryPath);
    if (file.state != RegistryFile::State::Parsed)
        return RegistrationState::Unreadable;
    const QJsonValue projects = file.registry.value(QStringLiteral("projects"));
    if (!projects.isObject())
        return RegistrationState::Unreadable;
    const QJsonValue project = projects.toObject().value(folder);
    if (!project.isObject())
        return RegistrationState::NotRegistered;
    const QJsonValue servers = project.toObject().value(QStringLiteral("mcpServers"));
    if (!servers.isObject())
        return RegistrationState::NotRegistered;
    return servers.toObject().contains(name) ? RegistrationState::Registered : RegistrationState::NotRegistered;
}

QCoro::Task<RunResult> removeInFolder(ClaudeDriver &driver, QString name, FolderIdentity pinned, int folderDescriptor)
{
    const std::weak_ptr<const void> life = driver.life();
    const std::optional<QString> executable = co_await driver.discovery().findBinary();
    if (!executable || life.expired())
        co_return RunResult{kNotStarted, {}, QStringLiteral("claude CLI not found")};
    const QStringList arguments = {QStringLiteral("mcp"), QStringLiteral("remove"), name, QStringLiteral("-s"),
                                   QStringLiteral("local")};
    const QFuture<RunResult> removal =
        runInFolder(driver, *executable, arguments, folderDescriptor, pinned, std::chrono::seconds(30));
    co_return co_await removal;
}

QFuture<RunResult> runInFolder(ClaudeDriver &driver, QString executable, QStringList arguments, int folderDescriptor,
                               FolderIdentity expected, std::chrono::milliseconds timeout,
                               std::chrono::milliseconds killGrace)
{
    RunOptions options;
    options.directoryDescriptor = folderDescriptor;
    options.expectedDirectoryIdentity = expected;
    options.killGrace = killGrace;
    return run(driver, std::move(executable), std::move(arguments), timeout, std::move(options));
}

QCoro::Task<LocalRemovalResult> removeLocalServer(ClaudeDriver &driver, QString name, QString folder,
                                                  RegistrationCheck registrationCheck, LocalRemovalRunner runner)
{
    if (!registrationCheck) {
        registrationCheck = [path = driver.registryPath()](const QString &checkedName, const QString &checkedFolder) {
            return localRegistrationState(path, checkedName, checkedFolder);
        };
    }
    if (!runner) {
        runner = [&driver](QString removedName, FolderIdentity pinned, int descriptor) {
            return removeInFolder(driver, std::move(removedName), pinned, descriptor);
        };
    }
    const std::weak_ptr<const void> life = driver.life();
    const QFuture<Pinned> pinning = QtConcurrent::run(&driver.threads(), pinFolder, name, folder, registrationCheck);
    const Pinned pinned = co_await pinning;
    if (pinned.refusal)
        co_return *pinned.refusal;
    if (life.expired())
        co_return LocalRemovalResult{false, QStringLiteral("Quorvane quit before the removal ran.")};

    const FolderIdentity identity = pinned.folder->identity();
    const RunResult run = co_await runner(name, identity, pinned.folder->folder());
    if (run.exitCode != 0) {
        const QString output = run.stdout + run.stderr;
        co_return LocalRemovalResult{false, output.isEmpty() ? QStringLiteral("The CLI returned %1.").arg(run.exitCode) : output};
    }
    if (life.expired())
        co_return LocalRemovalResult{false, QStringLiteral("Quorvane quit before the removal was confirmed.")};
    const QFuture<LocalRemovalResult> confirming =
        QtConcurrent::run(&driver.threads(), confirmRemoval, name, folder, identity, registrationCheck);
    co_return co_await confirming;
}

} // namespace ClaudeCLI
