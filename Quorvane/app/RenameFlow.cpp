// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/RenameFlow.h"

#include "app/AppModel.h"
#include "app/RegistryNames.h"
#include "cli/Registration.h"
#include "cli/RegistryReader.h"
#include "foundation/ReferenceSeconds.h"

#include <QCoro/QCoroFuture>
#include <QPointer>

#include <algorithm>

namespace {

bool namesAnyEntry(const ClaudeCLI::RegistryRead &read, const QString &name)
{
    return std::any_of(read.servers.cbegin(), read.servers.cend(),
                       [&](const ClaudeCLI::RegisteredServer &server) { return server.name == name; })
        || std::any_of(read.unrecognized.cbegin(), read.unrecognized.cend(),
                       [&](const UnrecognizedServer &server) { return server.name == name; });
}

bool managesName(const ClaudeCLI::RegistryRead &read, const QString &name)
{
    return std::any_of(read.servers.cbegin(), read.servers.cend(),
                       [&](const ClaudeCLI::RegisteredServer &server) { return server.name == name; });
}

} // namespace

RenameFlow::RenameFlow(AppModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
}

void RenameFlow::rename(const QUuid &projectId, const QString &typed)
{
    const QList<Project> &projects = m_model.projectStore().projects();
    const auto found = std::find_if(projects.cbegin(), projects.cend(),
                                    [&](const Project &project) { return project.id == projectId; });
    if (found != projects.cend())
        (void)renameMCP(*found, typed);
}

QCoro::Task<> RenameFlow::renameMCP(Project project, QString typed)
{
    AppModel &model = m_model;
    ProjectStore &projects = model.projectStore();
    ConnectionStore &metadata = model.connectionStore();
    if (!projects.persistenceWritable() || !metadata.persistenceWritable()
        || !model.siteDirectory().persistenceWritable())
        co_return;
    const QString oldName = project.mcpName;
    // Spaces around a typed name would otherwise become hyphens of the server name.
    const QString newName = normalizedMCPName(typed.trimmed());
    if (newName.isEmpty() || newName == oldName)
        co_return;
    // Every outcome but the final clearing lands on the project as it is still named; a store that
    // refuses shows that through its own persistence problem.
    const auto explain = [&projects, oldName](const QString &issue,
                                              std::optional<Project::IssueRecovery> recovery = std::nullopt) {
        (void)projects.setIssue(issue, oldName, recovery);
    };
    if (projects.projectForMCPName(newName)) {
        explain(newName + QStringLiteral(" is already reserved by another project."));
        co_return;
    }

    ConnectionMeta previous;
    if (const std::optional<ConnectionMeta> stored = metadata.meta(oldName)) {
        previous = *stored;
    } else {
        previous.addedAt = ReferenceSeconds::Instant(model.clock().now());
    }

    model.setBusy(oldName, true);
    QPointer<RenameFlow> self(this);
    const ClaudeCLI::RegistryRead read = co_await ClaudeCLI::readRegistry(model.driver());
    if (!self)
        co_return;
    const auto end = [&model, oldName] { model.setBusy(oldName, false); };
    if (read.error) {
        explain(QStringLiteral("Rename not applied: Claude's registry could not be read safely. Try again."));
        end();
        co_return;
    }
    // Even an entry of one folder or of the other lane would shadow or confuse the new name.
    if (namesAnyEntry(read, newName)) {
        explain(QStringLiteral("Rename not applied: ") + newName + QStringLiteral(" is already registered."));
        end();
        co_return;
    }
    const bool oldRegistered = holdsUserScopeName(read, oldName);

    if (projects.setRegistryIntent(project.id, {Project::RegistryIntent::Rename{oldName, newName}})) {
        const QString &issue = projects.persistenceIssue();
        Q_EMIT addErrorRaised(issue.isEmpty()
                                  ? QStringLiteral("Rename could not be recorded safely, so Claude's registry was not "
                                                   "changed.")
                                  : issue);
        end();
        co_return;
    }
    const auto refreshAndEnd = [&model, end, self]() -> QCoro::Task<> {
        co_await model.refresh(true);
        if (self)
            end();
    };
    // Forgetting the intent fails only with the project store, which then says so itself.
    const auto clearIntent = [&projects, id = project.id] { (void)projects.clearRegistryIntent(id); };

    // The old registration goes first, so this flow never has both names registered at once.
    if (oldRegistered) {
        const ClaudeCLI::RegistryChange removal = co_await ClaudeCLI::removeServer(model.driver(), oldName);
        if (!self)
            co_return;
        if (!removal.ok) {
            explain(QStringLiteral("Rename not applied: the old registration couldn't be removed. ") + removal.message);
            clearIntent();
            model.errorLog().record(QStringLiteral("rename"), removal.message, model.clock().now());
            co_await refreshAndEnd();
            co_return;
        }
    }

    const ClaudeCLI::RegistryChange added = co_await ClaudeCLI::addServer(model.driver(), newName);
    if (!self)
        co_return;
    bool addedAfterAll = added.ok;
    if (!added.ok) {
        // The command can fail after it wrote the registry (a time limit, a crash on exit).
        const ClaudeCLI::RegistryRead again = co_await ClaudeCLI::readRegistry(model.driver());
        if (!self)
            co_return;
        addedAfterAll = !again.error && managesName(again, newName);
    }
    if (!addedAfterAll) {
        QString message = QStringLiteral("Rename not applied: ") + added.message;
        if (oldRegistered) {
            const ClaudeCLI::RegistryChange restored = co_await ClaudeCLI::addServer(model.driver(), oldName);
            if (!self)
                co_return;
            if (restored.ok) {
                clearIntent();
            } else {
                message = QStringLiteral("Rename not applied, and the old registration could not be restored: ")
                    + restored.message;
            }
        } else {
            clearIntent();
        }
        explain(message);
        model.errorLog().record(QStringLiteral("add"), added.message, model.clock().now());
        co_await refreshAndEnd();
        co_return;
    }

    // Puts the registry back as it was; true when every step of that succeeded.
    const auto undoRegistry = [&model, oldName, newName, oldRegistered, self]() -> QCoro::Task<bool> {
        const ClaudeCLI::RegistryChange removal = co_await ClaudeCLI::removeServer(model.driver(), newName);
        if (!self || !oldRegistered)
            co_return removal.ok;
        const ClaudeCLI::RegistryChange restored = co_await ClaudeCLI::addServer(model.driver(), oldName);
        co_return removal.ok && restored.ok;
    };

    if (metadata.renameMeta(oldName, newName, previous)) {
        const bool undone = co_await undoRegistry();
        if (!self)
            co_return;
        if (undone)
            clearIntent();
        explain(QStringLiteral("Rename reached Claude Code, but connection metadata could not be saved. Quorvane "
                               "restored the old registration where possible. Restore persistence and review both "
                               "names."),
                Project::IssueRecovery::reconcileRegistry);
        co_await refreshAndEnd();
        co_return;
    }

    if (projects.setMCPName(project.id, newName)) {
        bool undone = co_await undoRegistry();
        if (!self)
            co_return;
        undone = !metadata.renameMeta(newName, oldName, previous) && undone;
        if (undone)
            clearIntent();
        explain(QStringLiteral("Rename reached Claude Code but the project update failed. Quorvane restored the old "
                               "registration where possible. Refresh and review both names before retrying."),
                Project::IssueRecovery::reconcileRegistry);
        co_await refreshAndEnd();
        co_return;
    }
    (void)projects.setIssue(std::nullopt, newName);
    co_await refreshAndEnd();
}
