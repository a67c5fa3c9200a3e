// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/LocalScopeRemoval.h"

#include "cli/Discovery.h"
#include "cli/RegistryFile.h"
#include "cli/RegistryReader.h"
#include "foundation/ServerNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QtConcurrent>

#include <sys/wait.h>

namespace ClaudeCLI {

namespace {

const QString kChangedBefore =
    QStringLiteral("The project folder changed before the CLI could start. Nothing was removed.");

LocalRemovalResult removeLocally(const QString &name, const QString &folder, const RegistrationCheck &registrationCheck,
                                 const LocalRemovalRunner &runner)
{
    const QString quoted = u'"' + displayName(name) + u'"';
    if (name.startsWith(otherLanePrefix))
        return {false, quoted + QStringLiteral(" belongs to a different Quorvane lane.")};
    if (!isSafeServerName(name))
        return {false, quoted + QStringLiteral(" is not a name this app will pass to the CLI.")};
    if (!isSafeAbsolutePath(folder)) {
        return {false, QStringLiteral("The saved project folder is not a canonical absolute path. Remove this entry "
                                      "from ~/.claude.json by hand.")};
    }
    switch (registrationCheck(name, folder)) {
    case RegistrationState::Unreadable:
        return {false, QStringLiteral("Claude's registry could not be read. Nothing was removed.")};
    case RegistrationState::NotRegistered:
        return {false, QStringLiteral("The local registration changed since the last refresh. Refresh and review it "
                                      "before removing anything.")};
    case RegistrationState::Registered:
        break;
    }
    if (!QFileInfo(folder).isDir()) {
        return {false, QStringLiteral("The folder no longer exists. Quorvane will not recreate filesystem paths from "
                                      "registry text; remove this entry from ~/.claude.json by hand.")};
    }
    const std::optional<DirectoryChain> before = openDirectoryChain(folder);
    if (!before)
        return {false, QStringLiteral("The saved project folder is not a trusted directory. Refresh or remove the "
                                      "entry by hand.")};
    // The folder's descriptor keeps its close-on-exec flag: the child changes into it before its
    // program starts, and no other child may inherit it.
    if (directoryIdentity(before->folder()) != before->identity())
        return {false, QStringLiteral("The project folder changed before removal. Nothing was removed.")};

    const FolderIdentity pinned = before->identity();
    const RunResult run = runner(name, folder, pinned.device, pinned.inode, before->folder()).result();
    if (run.exitCode != 0) {
        const QString output = run.stdout + run.stderr;
        return {false, output.isEmpty() ? QStringLiteral("The CLI returned %1.").arg(run.exitCode) : output};
    }
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

RunResult runBoundToFolder(const QString &executable, const QStringList &arguments, int folderDescriptor,
                           FolderIdentity expected, std::chrono::milliseconds timeout,
                           std::chrono::milliseconds killGrace)
{
    if (directoryIdentity(folderDescriptor) != expected)
        return {-1, {}, kChangedBefore};
    std::variant<SpawnedChild, QString> spawned =
        ChildProcess::spawn({executable, arguments, {}, folderDescriptor, {}, {}});
    if (auto *error = std::get_if<QString>(&spawned))
        return {-1, {}, *error};
    SpawnedChild &child = std::get<SpawnedChild>(spawned);
    const ChildOutcome outcome = collectChild(child, timeout, killGrace);
    const QString out = QString::fromUtf8(outcome.stdoutData);
    switch (outcome.ending) {
    case ChildOutcome::Ending::TimedOut:
        (void)child.process->reap();
        return {-2, out, QString::fromUtf8(outcome.stderrData)};
    case ChildOutcome::Ending::WaitFailed:
        return {-1, out, outcome.waitError};
    case ChildOutcome::Ending::Exited:
        break;
    }
    const int status = outcome.waitStatus;
    return {WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status), out,
            QString::fromUtf8(outcome.stderrData)};
}

} // namespace

RegistrationState localRegistrationState(const QString &name, const QString &folder)
{
    const RegistryFile file = readRegistryFile(registryPath());
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

QFuture<RunResult> defaultLocalRemovalRunner(const QString &name, const QString &, quint64 device, quint64 inode,
                                             int folderDescriptor)
{
    return QtConcurrent::run(&driverThreads(), [name, device, inode, folderDescriptor] {
        const std::optional<QString> executable = findBinary().result();
        if (!executable)
            return RunResult{-1, {}, QStringLiteral("claude CLI not found")};
        return runInFolder(*executable,
                           {QStringLiteral("mcp"), QStringLiteral("remove"), name, QStringLiteral("-s"), QStringLiteral("local")},
                           folderDescriptor, device, inode, std::chrono::seconds(30))
            .result();
    });
}

QFuture<RunResult> runInFolder(QString executable, QStringList arguments, int folderDescriptor, quint64 device,
                               quint64 inode, std::chrono::milliseconds timeout, std::chrono::milliseconds killGrace)
{
    return QtConcurrent::run(&driverThreads(), [=] {
        return runBoundToFolder(executable, arguments, folderDescriptor, FolderIdentity{device, inode}, timeout, killGrace);
    });
}

QFuture<LocalRemovalResult> removeLocalServer(QString name, QString folder, RegistrationCheck registrationCheck,
                                              LocalRemovalRunner runner)
{
    return QtConcurrent::run(&driverThreads(), [=] { return removeLocally(name, folder, registrationCheck, runner); });
}

} // namespace ClaudeCLI
