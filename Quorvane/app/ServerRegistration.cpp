// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ServerRegistration.h"

#include "app/AppModel.h"
#include "cli/Registration.h"

#include <QPointer>

// The model is held by pointer and checked after every await: the coroutine can outlive it.
QCoro::Task<ServerRegistration> registerAndRecord(AppModel &model, QString name, QString failurePrefix,
                                                  std::function<void(bool)> registering)
{
    QPointer<AppModel> alive(&model);
    registering(true);
    const ClaudeCLI::RegistryChange added = co_await ClaudeCLI::addServer(model.driver(), name);
    if (!alive)
        co_return ServerRegistration::failed;
    registering(false);

    // The project store's own refusal (it may have turned read-only meanwhile) is shown by its
    // persistence problem; the issue is a best effort.
    if (!added.ok) {
        (void)model.projectStore().setIssue(failurePrefix + added.message, name);
        model.errorLog().record(QStringLiteral("add"), added.message, model.clock().now());
        co_return ServerRegistration::failed;
    }

    ConnectionMeta fresh;
    fresh.addedAt = ReferenceSeconds::Instant(model.clock().now());
    QMap<QString, ConnectionMeta> connections = model.connectionStore().connections();
    connections.insert(name, fresh);
    // The store logs its own write failure under its area.
    if (!model.connectionStore().save(connections))
        co_return ServerRegistration::recorded;

    const ClaudeCLI::RegistryChange removed = co_await ClaudeCLI::removeServer(model.driver(), name);
    if (!alive)
        co_return ServerRegistration::failed;
    const QString issue = removed.ok
        ? QStringLiteral("Registration was rolled back because local connection metadata could not be saved. "
                         "Restore persistence, then connect again.")
        : QStringLiteral("Claude registered this MCP, but local metadata could not be saved and rollback failed. "
                         "Restore persistence and review Claude's registry.");
    (void)model.projectStore().setIssue(issue, name, Project::IssueRecovery::reconcileRegistry);
    co_return removed.ok ? ServerRegistration::rolledBack : ServerRegistration::rollbackFailed;
}
