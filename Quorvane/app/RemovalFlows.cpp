// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/RemovalFlows.h"

#include "app/AppModel.h"
#include "app/RegistryNames.h"
#include "cli/LocalScopeRemoval.h"
#include "cli/Registration.h"
#include "cli/RegistryReader.h"
#include "foundation/Redaction.h"
#include "foundation/ReferenceSeconds.h"
#include "foundation/ServerNames.h"

#include <QCoro/QCoroFuture>
#include <QPointer>

#include <algorithm>

namespace {

using Outcome = RemovalFlows::RemovalOutcome;

const QString kAccountChangedBefore = QStringLiteral(
    "The signed-in account changed, so Remove All stopped before changing any more projects. Refresh and review the "
    "remaining projects.");
const QString kAccountChangedAfterCancel =
    QStringLiteral("The signed-in account changed, so Remove All stopped. Refresh and review the remaining projects.");
const QString kAccountChangedAfterUnregister = QStringLiteral(
    "The signed-in account changed, so Remove All stopped. Refresh Claude's connections and review the remaining "
    "projects.");
const QString kMetadataKept = QStringLiteral(
    "The registration is already absent, but local connection metadata could not be saved. Restore persistence, then "
    "refresh");

QString couldNotRemove(const QString &name)
{
    return QStringLiteral("Could not remove ") + ClaudeCLI::displayName(name);
}

bool cancelledOrAbsent(const CancellationOutcome &outcome)
{
    return outcome.which() == CancellationOutcome::Case::Cancelled
        || outcome.which() == CancellationOutcome::Case::Absent;
}

} // namespace

RemovalFlows::RemovalFlows(AppModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
}

void RemovalFlows::setBatchProbe(std::function<bool()> batchRunning)
{
    m_batchRunning = std::move(batchRunning);
}

bool RemovalFlows::isRemoving(const QUuid &projectId) const
{
    return m_projectRemovalsInFlight.contains(projectId) || m_clearingNow.contains(projectId);
}

void RemovalFlows::setClearingAllProjects(bool clearing)
{
    if (m_isClearingAllProjects == clearing)
        return;
    m_isClearingAllProjects = clearing;
    Q_EMIT isClearingAllProjectsChanged();
}

void RemovalFlows::setClearAllNotice(const std::optional<QString> &notice)
{
    if (m_clearAllNotice == notice)
        return;
    m_clearAllNotice = notice;
    Q_EMIT clearAllNoticeChanged();
}

std::optional<Project> RemovalFlows::project(const QUuid &id) const
{
    const QList<Project> &projects = m_model.projectStore().projects();
    const auto found =
        std::find_if(projects.cbegin(), projects.cend(), [&](const Project &project) { return project.id == id; });
    if (found == projects.cend())
        return std::nullopt;
    return *found;
}

bool RemovalFlows::localStoresWritable() const
{
    return m_model.projectStore().persistenceWritable() && m_model.connectionStore().persistenceWritable()
        && m_model.siteDirectory().persistenceWritable();
}

void RemovalFlows::presentReadOnlyNotice()
{
    m_model.confirms().present(ConfirmRequest::notice(
        QStringLiteral("Local data is read-only"),
        m_model.persistenceIssue().value_or(QStringLiteral("Restore local persistence before removing projects.")),
        QStringLiteral("cloud-off")));
}

std::optional<CloudAuthSnapshot> RemovalFlows::removalIdentity() const
{
    const ScheduleStore &schedules = m_model.scheduleStore();
    if (!schedules.boundUserID())
        return std::nullopt;
    return CloudAuthSnapshot{*schedules.boundUserID(), schedules.identityEpoch()};
}

std::optional<QString> RemovalFlows::resolvedSiteID(const Project &project) const
{
    return m_model.siteDirectory().resolvedSiteID(project.siteId, project.mcpName);
}

bool RemovalFlows::sharesSite(const Project &project) const
{
    const std::optional<QString> site = resolvedSiteID(project);
    if (!site)
        return false;
    const QList<Project> &projects = m_model.projectStore().projects();
    return std::any_of(projects.cbegin(), projects.cend(), [&](const Project &other) {
        return other.id != project.id && resolvedSiteID(other) == site;
    });
}

QString RemovalFlows::removalDescription(const Project &project) const
{
    if (!resolvedSiteID(project)) {
        return QStringLiteral("Checks the cloud for schedules under this connection, then removes the card and "
                              "unregisters its connection. Nothing on the Webflow site itself is touched.");
    }
    if (sharesSite(project)) {
        return QStringLiteral("Removes this card and unregisters its connection. A schedule for this shared site stays "
                              "because another project still uses the site.");
    }
    return QStringLiteral("Checks the cloud and cancels any upcoming publish for this site before removing the card "
                          "and unregistering its connection. A running publish cannot be removed.");
}

QString RemovalFlows::removalDescriptionFor(const QUuid &projectId) const
{
    const std::optional<Project> found = project(projectId);
    return found ? removalDescription(*found) : QString();
}

QMap<QString, QList<Project>> RemovalFlows::removalGroups(const QList<Project> &projects) const
{
    QMap<QString, QList<Project>> groups;
    for (const Project &project : projects) {
        std::optional<QString> site = project.siteId;
        if (!site) {
            if (const std::optional<SiteRecord> listing = m_model.siteDirectory().siteListing(project.mcpName))
                site = listing->id;
        }
        groups[site ? QStringLiteral("site:") + *site : QStringLiteral("mcp:") + project.mcpName].append(project);
    }
    return groups;
}

void RemovalFlows::reportRemovalFailure(const QString &name, const QString &message)
{
    ActivityCenter &activity = m_model.activity();
    if (m_batchRunning && m_batchRunning() && activity.sheet()) {
        activity.appendActivityLog(QStringLiteral("✕ ") + couldNotRemove(name) + QStringLiteral(": ") + message
                                       + QLatin1Char('\n'),
                                   activity.sheet()->id);
        return;
    }
    activity.openError(couldNotRemove(name), QStringLiteral("The CLI reported an error."), redactSecrets(message));
}

// --- Unregister and removal by name -----------------------------------------------------------

QCoro::Task<> RemovalFlows::unregisterMCP(Project project)
{
    if (!localStoresWritable())
        co_return;
    AppModel &model = m_model;
    ProjectStore &projects = model.projectStore();
    ConnectionStore &metadata = model.connectionStore();
    const QString name = project.mcpName;
    if (projects.setRegistryIntent(project.id, {Project::RegistryIntent::Unregister{name}}))
        co_return; // the project store explains through its own persistence problem
    const std::optional<ConnectionMeta> earlier = metadata.meta(name);
    if (metadata.removeMeta(name)) {
        // The intent stays: the next refresh finds the name still registered and explains.
        (void)projects.setIssue(
            QStringLiteral("Connection metadata could not be saved, so Claude's registry was not changed."), name,
            Project::IssueRecovery::reconcileRegistry);
        co_return;
    }
    QPointer<RemovalFlows> self(this);
    const ClaudeCLI::RegistryChange removal = co_await ClaudeCLI::removeServer(model.driver(), name);
    if (!self)
        co_return;
    if (!removal.ok && earlier) {
        QMap<QString, ConnectionMeta> restored = metadata.connections();
        restored.insert(name, *earlier);
        (void)metadata.save(restored);
    }
    (void)projects.clearRegistryIntent(project.id);
    if (!removal.ok)
        (void)projects.setIssue(QStringLiteral("Couldn't unregister the MCP connection. ") + removal.message, name);
    co_await model.refresh(true);
}

QCoro::Task<bool> RemovalFlows::removeConnection(QString name)
{
    AppModel &model = m_model;
    // Entries of ~/.claude.json can be named anything; only a name within the rules is ever
    // handed to the command line.
    if (!ClaudeCLI::isSafeServerName(name)) {
        const QString refusal = QStringLiteral("Refusing to pass \"") + ClaudeCLI::displayName(name)
            + QStringLiteral("\" to the CLI. Remove it from ~/.claude.json by hand.");
        model.errorLog().record(QStringLiteral("remove"), refusal, model.clock().now());
        reportRemovalFailure(name, refusal);
        co_return false;
    }
    if (!localStoresWritable()) {
        model.activity().openError(couldNotRemove(name), QStringLiteral("Local persistence is read-only."),
                                   redactSecrets(model.persistenceIssue().value_or(
                                       QStringLiteral("Restore local persistence, then try again."))));
        co_return false;
    }
    ConnectionStore &metadata = model.connectionStore();
    const std::optional<ConnectionMeta> earlier = metadata.meta(name);
    if (metadata.removeMeta(name))
        co_return false; // the connection store has said why
    model.setBusy(name, true);
    QPointer<RemovalFlows> self(this);
    const ClaudeCLI::RegistryChange removal = co_await ClaudeCLI::removeServer(model.driver(), name);
    if (!self)
        co_return false;
    model.setBusy(name, false);
    if (!removal.ok) {
        model.errorLog().record(QStringLiteral("remove"), removal.message, model.clock().now());
        if (earlier) {
            QMap<QString, ConnectionMeta> restored = metadata.connections();
            restored.insert(name, *earlier);
            (void)metadata.save(restored);
        }
        reportRemovalFailure(name, removal.message);
    }
    co_await model.refresh(true);
    co_return removal.ok;
}

QCoro::Task<bool> RemovalFlows::registerAgain(QString name)
{
    AppModel &model = m_model;
    QPointer<RemovalFlows> self(this);
    const ClaudeCLI::RegistryChange added = co_await ClaudeCLI::addServer(model.driver(), name);
    if (!self || !added.ok)
        co_return false;
    ConnectionMeta fresh;
    fresh.addedAt = ReferenceSeconds::Instant(model.clock().now());
    QMap<QString, ConnectionMeta> connections = model.connectionStore().connections();
    connections.insert(name, fresh);
    (void)model.connectionStore().save(connections);
    co_return true;
}

// --- Remove Project ---------------------------------------------------------------------------

QCoro::Task<Outcome> RemovalFlows::releaseRemovalLease(Outcome outcome, bool committed,
                                                       std::optional<ProjectCancellationLease> lease, QUuid projectId)
{
    QPointer<RemovalFlows> self(this);
    if (lease)
        co_await m_model.scheduleStore().finishProjectRemoval(*lease, committed);
    if (self)
        m_projectRemovalsInFlight.remove(projectId);
    co_return outcome;
}

QCoro::Task<Outcome> RemovalFlows::removeProject(Project project)
{
    // Nothing is cancelled in the cloud for a removal that could not be recorded here.
    if (!localStoresWritable()) {
        presentReadOnlyNotice();
        co_return Outcome::keptPersistenceFailed;
    }
    if (m_projectRemovalsInFlight.contains(project.id))
        co_return Outcome::keptCancelFailed;
    m_projectRemovalsInFlight.insert(project.id);
    AppModel &model = m_model;
    ProjectStore &projects = model.projectStore();
    const QString name = project.mcpName;
    const QUuid id = project.id;
    const auto explain = [&projects, name](const QString &issue,
                                           std::optional<Project::IssueRecovery> recovery = std::nullopt) {
        (void)projects.setIssue(issue, name, recovery);
    };
    QPointer<RemovalFlows> self(this);

    const std::optional<CloudAuthSnapshot> start = removalIdentity();
    const std::optional<QString> site = resolvedSiteID(project);
    // Another project still uses a shared site, so its schedule is not this project's to cancel.
    ProjectCancellationResult cloud{CancellationOutcome::absent(), std::nullopt};
    if (!sharesSite(project)) {
        cloud = co_await model.scheduleStore().cancelProjectSchedule(site, name);
        if (!self)
            co_return Outcome::keptCancelFailed;
        if (removalIdentity() != start) {
            explain(QStringLiteral("The signed-in account changed during removal, so the project was kept. Review its "
                                   "schedule under the current account before trying again."));
            co_return co_await releaseRemovalLease(Outcome::keptCancelFailed, false, cloud.lease, id);
        }
        switch (cloud.outcome.which()) {
        case CancellationOutcome::Case::Cancelled:
        case CancellationOutcome::Case::Absent:
            break;
        case CancellationOutcome::Case::Publishing:
            explain(QStringLiteral("A publish is running right now, so the project and its connection were kept. Try "
                                   "again after it finishes."));
            co_return co_await releaseRemovalLease(Outcome::keptPublishing, false, cloud.lease, id);
        case CancellationOutcome::Case::Superseded:
        case CancellationOutcome::Case::Unknown:
            explain(QStringLiteral("Couldn't confirm that every scheduled publish was cancelled, so the project and "
                                   "its connection were kept. Try again."));
            co_return co_await releaseRemovalLease(Outcome::keptCancelFailed, false, cloud.lease, id);
        }
    }
    const bool cancelled = cloud.outcome.which() == CancellationOutcome::Case::Cancelled;

    const ClaudeCLI::RegistryRead read = co_await ClaudeCLI::readRegistry(model.driver());
    if (!self)
        co_return Outcome::keptUnregisterFailed;
    if (read.error) {
        explain(cancelled ? QStringLiteral("The scheduled publish is cancelled, but Claude's registry couldn't be read "
                                           "safely, so the project was kept.")
                          : QStringLiteral("Couldn't safely read Claude's registry, so the project was kept. Try again."));
        co_return co_await releaseRemovalLease(Outcome::keptUnregisterFailed, false, cloud.lease, id);
    }
    const bool registered = holdsUserScopeName(read, name);

    if (projects.setRegistryIntent(id, {Project::RegistryIntent::Remove{name}})) {
        explain(QStringLiteral("Removal could not be recorded safely, so Claude's registry was not changed."));
        co_return co_await releaseRemovalLease(Outcome::keptPersistenceFailed, false, cloud.lease, id);
    }

    if (registered) {
        const bool unregistered = co_await removeConnection(name);
        if (!self)
            co_return Outcome::keptUnregisterFailed;
        if (removalIdentity() != start) {
            // The intent stays for recovery, which the next refresh runs once this removal ended.
            explain(QStringLiteral("The signed-in account changed during removal, so the project record was kept. "
                                   "Refresh Claude's connections before trying again."));
            co_return co_await releaseRemovalLease(Outcome::keptUnregisterFailed, false, cloud.lease, id);
        }
        if (!unregistered) {
            (void)projects.clearRegistryIntent(id);
            explain(cancelled ? QStringLiteral("The scheduled publish is cancelled, but the MCP connection couldn't be "
                                               "unregistered, so the project was kept. Try again.")
                              : QStringLiteral("Couldn't unregister the MCP connection, so the project was kept. Try "
                                               "again."));
            co_return co_await releaseRemovalLease(Outcome::keptUnregisterFailed, false, cloud.lease, id);
        }
    } else if (model.connectionStore().removeMeta(name)) {
        explain(kMetadataKept + QStringLiteral(" to finish removal."), Project::IssueRecovery::reconcileRegistry);
        co_return co_await releaseRemovalLease(Outcome::keptPersistenceFailed, false, cloud.lease, id);
    }

    // A project that something else already took away counts as removed: registering it again
    // would leave a registration without a project.
    if (!this->project(id) || !projects.remove(id))
        co_return co_await releaseRemovalLease(Outcome::removed, true, cloud.lease, id);
    if (registered) {
        const bool restored = co_await registerAgain(name);
        if (!self)
            co_return Outcome::keptPersistenceFailed;
        if (restored)
            (void)projects.clearRegistryIntent(id);
    }
    explain(QStringLiteral("The external removal could not be committed locally. Quorvane restored the registration "
                           "where possible; refresh and review before retrying."));
    co_return co_await releaseRemovalLease(Outcome::keptPersistenceFailed, false, cloud.lease, id);
}

// --- Remove All -------------------------------------------------------------------------------

QCoro::Task<RemovalFlows::GroupStep> RemovalFlows::removeFromGroup(Project project,
                                                                   std::optional<CloudAuthSnapshot> start)
{
    AppModel &model = m_model;
    ProjectStore &projects = model.projectStore();
    const QString name = project.mcpName;
    const QUuid id = project.id;
    QPointer<RemovalFlows> self(this);
    const ClaudeCLI::RegistryRead read = co_await ClaudeCLI::readRegistry(model.driver());
    if (!self)
        co_return GroupStep::kept;
    if (read.error) {
        (void)projects.setIssue(QStringLiteral("The scheduled publish is cancelled, but Claude's registry couldn't be "
                                               "read safely, so the project was kept."),
                                name);
        co_return GroupStep::kept;
    }
    const bool registered = holdsUserScopeName(read, name);
    if (projects.setRegistryIntent(id, {Project::RegistryIntent::Remove{name}}))
        co_return GroupStep::kept;

    m_clearingNow.insert(id);
    struct Done
    {
        QPointer<RemovalFlows> flows;
        QUuid id;
        ~Done()
        {
            if (flows)
                flows->m_clearingNow.remove(id);
        }
    } done{self, id};

    if (registered) {
        const bool unregistered = co_await removeConnection(name);
        if (!self)
            co_return GroupStep::kept;
        if (removalIdentity() != start)
            co_return GroupStep::accountChanged;
        if (!unregistered) {
            (void)projects.clearRegistryIntent(id);
            (void)projects.setIssue(QStringLiteral("The scheduled publish is cancelled, but the MCP connection "
                                                   "couldn't be unregistered, so the project was kept. Try again."),
                                    name);
            co_return GroupStep::kept;
        }
    } else if (model.connectionStore().removeMeta(name)) {
        (void)projects.setIssue(kMetadataKept + QStringLiteral("."), name, Project::IssueRecovery::reconcileRegistry);
        co_return GroupStep::kept;
    }

    if (!this->project(id) || !projects.remove(id))
        co_return GroupStep::removed;
    if (registered) {
        const bool restored = co_await registerAgain(name);
        if (self && restored)
            (void)projects.clearRegistryIntent(id);
    }
    co_return GroupStep::kept;
}

QCoro::Task<> RemovalFlows::removeAllProjects()
{
    if (m_isClearingAllProjects)
        co_return;
    setClearingAllProjects(true);
    setClearAllNotice(std::nullopt);
    QPointer<RemovalFlows> self(this);
    struct Done
    {
        QPointer<RemovalFlows> flows;
        ~Done()
        {
            if (flows)
                flows->setClearingAllProjects(false);
        }
    } done{self};
    // Nothing is cancelled in the cloud for removals that could not be recorded here.
    if (!localStoresWritable()) {
        presentReadOnlyNotice();
        co_return;
    }

    AppModel &model = m_model;
    ScheduleStore &schedules = model.scheduleStore();
    const std::optional<CloudAuthSnapshot> start = removalIdentity();
    const QMap<QString, QList<Project>> groups = removalGroups(model.projectStore().projects());
    int cloudKept = 0;
    int publishingKept = 0;
    int unregisterKept = 0;
    for (auto group = groups.cbegin(); group != groups.cend(); ++group) {
        const QList<Project> &members = group.value();
        if (members.isEmpty())
            continue;
        if (removalIdentity() != start) {
            setClearAllNotice(kAccountChangedBefore);
            co_return;
        }
        // One cancellation covers the whole site; the other projects of the group rely on it.
        const Project &first = members.first();
        const std::optional<QString> site = group.key().startsWith(u"site:")
            ? std::optional<QString>(group.key().mid(5))
            : std::nullopt;
        const ProjectCancellationResult cloud = co_await schedules.cancelProjectSchedule(site, first.mcpName);
        if (!self)
            co_return;
        if (removalIdentity() != start) {
            if (cloud.lease)
                co_await schedules.finishProjectRemoval(*cloud.lease, false);
            if (self)
                setClearAllNotice(kAccountChangedAfterCancel);
            co_return;
        }
        const qsizetype size = members.size();
        if (cancelledOrAbsent(cloud.outcome) && !cloud.lease) {
            cloudKept += int(size);
            continue;
        }
        if (!cancelledOrAbsent(cloud.outcome)) {
            if (cloud.lease)
                co_await schedules.finishProjectRemoval(*cloud.lease, false);
            if (!self)
                co_return;
            const bool publishing = cloud.outcome.which() == CancellationOutcome::Case::Publishing;
            (publishing ? publishingKept : cloudKept) += int(size);
            const QString issue = publishing
                ? QStringLiteral("A publish is running right now, so this project was kept.")
                : QStringLiteral("Couldn't confirm cancellation, so this project was kept.");
            for (const Project &member : members)
                (void)model.projectStore().setIssue(issue, member.mcpName);
            continue;
        }
        bool committed = true;
        for (const Project &member : members) {
            const GroupStep step = co_await removeFromGroup(member, start);
            if (!self)
                co_return;
            if (step == GroupStep::accountChanged) {
                co_await schedules.finishProjectRemoval(*cloud.lease, false);
                if (self)
                    setClearAllNotice(kAccountChangedAfterUnregister);
                co_return;
            }
            if (step == GroupStep::kept) {
                ++unregisterKept;
                committed = false;
            }
        }
        co_await schedules.finishProjectRemoval(*cloud.lease, committed);
        if (!self)
            co_return;
    }

    QStringList pieces;
    if (cloudKept > 0) {
        pieces.append(QString::number(cloudKept)
                      + QStringLiteral(" kept because their scheduled publishes couldn't be cancelled with the cloud "
                                       "(try again when it's reachable)"));
    }
    if (publishingKept > 0) {
        pieces.append(QString::number(publishingKept)
                      + QStringLiteral(" kept because a publish is running right now (try again after it finishes)"));
    }
    if (unregisterKept > 0) {
        pieces.append(QString::number(unregisterKept)
                      + QStringLiteral(" kept because Claude Code couldn't unregister them (their schedules are "
                                       "cancelled; try again)"));
    }
    if (!pieces.isEmpty())
        setClearAllNotice(pieces.join(QStringLiteral(". ")) + QLatin1Char('.'));
}

// --- Local-scope registrations ----------------------------------------------------------------

QCoro::Task<> RemovalFlows::removeLocalRegistration(QString name, QString folder)
{
    AppModel &model = m_model;
    ClaudeCLI::ClaudeDriver &driver = model.driver();
    model.setBusy(name, true);
    QPointer<RemovalFlows> self(this);
    // The probe and the runner the driver would choose, named here so the removal is bound to
    // the folder the entry was listed with. Named locals: the compiler mishandles temporaries of
    // a co_await expression.
    ClaudeCLI::RegistrationCheck probe = [path = driver.registryPath()](const QString &checkedName,
                                                                        const QString &checkedFolder) {
        return ClaudeCLI::localRegistrationState(path, checkedName, checkedFolder);
    };
    ClaudeCLI::LocalRemovalRunner runner = [&driver](QString removedName, FolderIdentity pinned, int descriptor) {
        return ClaudeCLI::removeInFolder(driver, std::move(removedName), pinned, descriptor);
    };
    QCoro::Task<ClaudeCLI::LocalRemovalResult> removing =
        ClaudeCLI::removeLocalServer(driver, name, folder, std::move(probe), std::move(runner));
    const ClaudeCLI::LocalRemovalResult result = co_await std::move(removing);
    if (!self)
        co_return;
    model.setBusy(name, false);
    if (!result.removed) {
        model.errorLog().record(QStringLiteral("remove-local"), result.message, model.clock().now());
        model.activity().openError(couldNotRemove(name), QStringLiteral("The CLI reported an error."),
                                   redactSecrets(result.message));
        co_return;
    }
    co_await model.refresh(true);
}

// --- Starters for the views -------------------------------------------------------------------

void RemovalFlows::unregister(const QUuid &projectId)
{
    if (const std::optional<Project> found = project(projectId))
        (void)unregisterMCP(*found);
}

void RemovalFlows::remove(const QUuid &projectId)
{
    if (const std::optional<Project> found = project(projectId))
        (void)removeProject(*found);
}

void RemovalFlows::removeAll()
{
    (void)removeAllProjects();
}

void RemovalFlows::removeUnrecognized(const QString &name)
{
    (void)removeConnection(name);
}

void RemovalFlows::removeLocal(const QString &name, const QString &folder)
{
    (void)removeLocalRegistration(name, folder);
}
