// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ScopeVerification.h"

#include "app/AppModel.h"
#include "cli/Registration.h"
#include "cli/ScopeCheck.h"
#include "foundation/ServerNames.h"

#include <QPointer>

#include <functional>

using Outcome = ActivitySheet::Outcome;

namespace {

const QString kVerifyingNote = QStringLiteral("Asking Claude which sites this connection can reach.");
const QString kSingleSiteArea = QStringLiteral("single-site");

/// When the connection's grant was last replaced, as far as its visible metadata says.
std::optional<ReferenceSeconds::Instant> authorizationStamp(const ConnectionStore &store, const QString &name)
{
    const std::optional<ConnectionMeta> meta = store.meta(name);
    return meta ? meta->addedAt : std::nullopt;
}

/// The entry a conclusive check leaves: its sites, whatever their number, dated now.
void recordVerification(ConnectionMeta &meta, const QList<SiteRef> &sites, const ReferenceSeconds::Instant &at)
{
    meta.sites = sites;
    meta.verifiedAt = at;
    meta.source = QStringLiteral("model");
    if (!meta.addedAt)
        meta.addedAt = at;
}

/// Changes the first connection of that name, as the list shows it; false when it has none.
bool changeConnection(AppModel &model, const QString &name, const std::function<void(Connection &)> &change)
{
    QList<Connection> connections = model.connections();
    const auto found = std::find_if(connections.begin(), connections.end(),
                                    [&](const Connection &connection) { return connection.name == name; });
    if (found == connections.end())
        return false;
    change(*found);
    model.setConnections(std::move(connections));
    return true;
}

} // namespace

ScopeVerification::ScopeVerification(AppModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
}

void ScopeVerification::verify(const QString &name)
{
    // The task runs on by itself; the flow checks its own liveness after every wait.
    verifyScope(name);
}

QCoro::Task<> ScopeVerification::verifyScope(QString name)
{
    ActivityCenter &activity = m_model.activity();
    const QUuid id = activity.open(ActivitySheet::Kind::verifying,
                                   QStringLiteral("Checking ") + ClaudeCLI::displayName(name), name, kVerifyingNote);
    activity.setSubject(id, name);
    QPointer<ScopeVerification> alive(this);
    const Outcome outcome = co_await performVerification(name, id);
    if (!alive)
        co_return;
    co_await concludeActivity(name, id, outcome);
}

QCoro::Task<> ScopeVerification::concludeActivity(QString name, QUuid activityId, Outcome outcome)
{
    ActivityCenter &activity = m_model.activity();
    activity.finishActivity(activityId, outcome);
    if (!activity.isCancelled(activityId)) {
        QPointer<ScopeVerification> alive(this);
        co_await removeOverbroadAuthorization(name);
        if (!alive)
            co_return;
    }
    activity.forget(activityId);
}

QCoro::Task<Outcome> ScopeVerification::performVerification(QString name, QUuid activityId)
{
    m_model.setBusy(name, true);
    QPointer<ScopeVerification> alive(this);
    const Outcome outcome = co_await checkScope(name, activityId, true);
    if (!alive)
        co_return outcome;
    m_model.setBusy(name, false);
    // A cancel of the sheet queues both keys when no run holds them; neither may stop a later run.
    m_model.authorizer().dropQueuedCancellations(name);
    co_return outcome;
}

QCoro::Task<Outcome> ScopeVerification::checkScope(QString name, QUuid activityId, bool refreshAfterwards)
{
    ActivityCenter &activity = m_model.activity();
    const auto log = [&activity, activityId](const QString &text) { activity.appendActivityLog(text, activityId); };
    const std::optional<ReferenceSeconds::Instant> stampBefore = authorizationStamp(m_model.connectionStore(), name);

    const QList<Connection> &connections = m_model.connections();
    const auto connection = std::find_if(connections.cbegin(), connections.cend(),
                                         [&](const Connection &candidate) { return candidate.name == name; });
    if (connection == connections.cend() || !connection->url) {
        log(QStringLiteral("Could not verify: no registered endpoint for ") + ClaudeCLI::displayName(name)
            + QStringLiteral(".\n"));
        co_return Outcome::failure;
    }

    QPointer<ScopeVerification> alive(this);
    const ClaudeCLI::ScopeCheckResult result = co_await ClaudeCLI::verifySites(m_model.driver(), name, *connection->url);
    if (!alive)
        co_return Outcome::failure;
    if (activity.isCancelled(activityId)) {
        log(QStringLiteral("Scope check cancelled. No result was recorded.\n"));
        co_return Outcome::failure;
    }

    Outcome outcome = Outcome::failure;
    if (!result.ok) {
        outcome = couldNotVerify(name, activityId, result);
    } else if (!result.toolRan) {
        log(QStringLiteral("⚠ Check inconclusive. Previous result kept.\n\nThe run finished without proof that the "
                           "sites tool ran, so nothing was recorded.\n"));
        outcome = Outcome::warning;
    } else if (authorizationStamp(m_model.connectionStore(), name) != stampBefore) {
        log(QStringLiteral("⚠ The grant changed while this check was running, so nothing was recorded.\n\nRe-run "
                           "the scope check to measure the connection as it stands now.\n"));
        outcome = Outcome::warning;
    } else {
        const std::optional<Outcome> recorded = recordResult(name, activityId, result.sites);
        if (!recorded)
            co_return Outcome::failure;
        outcome = *recorded;
    }

    if (refreshAfterwards) {
        co_await m_model.refresh(true);
        if (!alive)
            co_return outcome;
    }
    co_return outcome;
}

Outcome ScopeVerification::couldNotVerify(const QString &name, const QUuid &activityId,
                                          const ClaudeCLI::ScopeCheckResult &result)
{
    ActivityCenter &activity = m_model.activity();
    const std::optional<ConnectionMeta> meta = m_model.connectionStore().meta(name);
    const bool previous = meta && meta->sites && !meta->sites->isEmpty();
    m_model.errorLog().record(QStringLiteral("verify"), result.message, m_model.clock().now());
    activity.appendActivityLog((previous ? QStringLiteral("⚠") : QStringLiteral("✕"))
                                   + QStringLiteral(" Could not verify. Previous result kept.\n\n") + result.message
                                   + u'\n',
                               activityId);
    if (previous) {
        setIssue(QStringLiteral("Couldn't verify the site scope this time; the previous result was kept. Verify Site "
                                "(gear) retries."),
                 name, Project::IssueRecovery::verifySite);
    }
    if (result.cliSignedOut) {
        activity.appendActivityLog(QStringLiteral("\nRun `claude` in a terminal and sign in with /login, then try again.\n"),
                                   activityId);
        m_model.setClaudeAuth(ClaudeCLI::AuthStatus::signedOut());
    }
    return previous ? Outcome::warning : Outcome::failure;
}

std::optional<Outcome> ScopeVerification::recordResult(const QString &name, const QUuid &activityId,
                                                       const QList<SiteRef> &sites)
{
    ActivityCenter &activity = m_model.activity();
    // A conclusive answer proves claude itself is signed in.
    if (m_model.claudeAuth().state == ClaudeCLI::AuthStatus::State::signedOut)
        m_model.setClaudeAuth(ClaudeCLI::AuthStatus::signedIn());
    m_model.noteEvidence(name);
    changeConnection(m_model, name, [](Connection &connection) { connection.status = ConnectionStatus::connected; });

    ConnectionStore &store = m_model.connectionStore();
    QMap<QString, ConnectionMeta> entries = store.connections();
    ConnectionMeta entry = entries.value(name);
    recordVerification(entry, sites, ReferenceSeconds::Instant(m_model.clock().now()));
    entries.insert(name, entry);
    if (store.save(entries)) {
        activity.appendActivityLog(QStringLiteral("Could not save the verified scope. The previous result was kept.\n"),
                                   activityId);
        return std::nullopt;
    }
    recordVerifiedScope(name);

    QStringList names;
    for (const SiteRef &site : sites)
        names.append(site.name);
    if (sites.size() == 1) {
        activity.appendActivityLog(QStringLiteral("✓ Correctly scoped to one site: ") + names.first() + u'\n',
                                   activityId);
        const std::optional<Project> project = m_model.projectStore().projectForMCPName(name);
        if (project && project->issue && project->issue->startsWith(QStringLiteral("Couldn't verify the site scope")))
            (void)m_model.projectStore().setIssue(std::nullopt, name, std::nullopt);
        return Outcome::success;
    }
    if (sites.isEmpty()) {
        activity.appendActivityLog(QStringLiteral("⚠ The tool ran and returned no sites. This grant reaches nothing.\n"),
                                   activityId);
        return Outcome::warning;
    }
    activity.appendActivityLog(QStringLiteral("⚠ %1 sites in scope: ").arg(sites.size()) + names.join(QStringLiteral(", "))
                                   + QStringLiteral("\nRe-authorize and tick only one site.\n"),
                               activityId);
    return Outcome::warning;
}

void ScopeVerification::recordVerifiedScope(const QString &name)
{
    const std::optional<ConnectionMeta> meta = m_model.connectionStore().meta(name);
    if (!changeConnection(m_model, name, [&meta](Connection &connection) { connection.meta = meta; }))
        return;
    QSet<QString> projectSites;
    for (const Project &project : m_model.projectStore().projects()) {
        if (project.siteId)
            projectSites.insert(*project.siteId);
    }
    // Each store reports its own failed save through its persistence problem.
    (void)m_model.siteDirectory().reconcile(m_model.connections(), m_model.publishAccess().trackedSiteIDs(),
                                            projectSites, m_model.projectSiteTitles());
    (void)m_model.projectStore().reconcileSites(m_model.siteDirectory().sites());
}

std::optional<SiteRecord> ScopeVerification::siteRecord(const Project &project) const
{
    if (project.siteId)
        return m_model.siteDirectory().site(*project.siteId);
    return m_model.siteDirectory().siteListing(project.mcpName);
}

void ScopeVerification::setIssue(const QString &issue, const QString &name, Project::IssueRecovery recovery)
{
    // The issue is how the user hears of it; a store that cannot save says so through its own problem.
    (void)m_model.projectStore().setIssue(issue, name, recovery);
}

QCoro::Task<> ScopeVerification::removeOverbroadAuthorization(QString name)
{
    const std::optional<ConnectionMeta> meta = m_model.connectionStore().meta(name);
    if (!meta || !meta->sites || meta->sites->size() < 2)
        co_return;
    const qsizetype count = meta->sites->size();
    constexpr auto connect = Project::IssueRecovery::connectMCP;

    ProjectStore &projects = m_model.projectStore();
    const std::optional<Project> project = projects.projectForMCPName(name);
    if (!project || projects.setRegistryIntent(project->id, {Project::RegistryIntent::Unregister{name}})) {
        setIssue(QStringLiteral("The authorization reaches multiple sites, but safe cleanup could not be recorded "
                                "locally. Restore project persistence and try again."),
                 name, connect);
        co_return;
    }
    const QUuid projectId = project->id;

    QPointer<ScopeVerification> alive(this);
    m_model.setBusy(name, true);
    const ClaudeCLI::RegistryChange removal = co_await ClaudeCLI::removeServer(m_model.driver(), name);
    if (!alive)
        co_return;
    if (!removal.ok) {
        m_model.setBusy(name, false);
        (void)projects.clearRegistryIntent(projectId);
        setIssue(QStringLiteral("The authorization reaches %1 sites and could not be removed automatically. "
                                "Disconnect it and connect again, ticking only one site.")
                     .arg(count),
                 name, connect);
        m_model.errorLog().record(kSingleSiteArea, QStringLiteral("remove failed: ") + removal.message,
                                  m_model.clock().now());
        co_await m_model.refresh(true);
        co_return;
    }

    const ClaudeCLI::RegistryChange registration = co_await ClaudeCLI::addServer(m_model.driver(), name);
    if (!alive)
        co_return;
    m_model.setBusy(name, false);

    // The fresh registration is a new grant stamp: a check still running across it records nothing.
    ConnectionMeta fresh;
    fresh.addedAt = ReferenceSeconds::Instant(m_model.clock().now());
    QMap<QString, ConnectionMeta> entries = m_model.connectionStore().connections();
    entries.insert(name, fresh);
    const bool saved = !m_model.connectionStore().save(entries);

    if (registration.ok && saved) {
        (void)projects.clearRegistryIntent(projectId);
        setIssue(QStringLiteral("Removed: the authorization reached %1 sites. Connect again and tick only one.").arg(count),
                 name, connect);
    } else if (registration.ok) {
        // A registration without its metadata would look like a connection the user never made.
        const ClaudeCLI::RegistryChange rollback = co_await ClaudeCLI::removeServer(m_model.driver(), name);
        if (!alive)
            co_return;
        setIssue(rollback.ok ? QStringLiteral("The overbroad authorization was removed, but the clean registration was "
                                              "rolled back because local metadata is read-only. Restore persistence, "
                                              "then connect again.")
                             : QStringLiteral("The overbroad authorization was removed and re-registration succeeded, "
                                              "but local metadata and rollback both failed. Restore persistence and "
                                              "review Claude's registry."),
                 name, Project::IssueRecovery::reconcileRegistry);
        co_await m_model.refresh(true);
        co_return;
    } else {
        setIssue(QStringLiteral("The authorization reached %1 sites and was removed, but re-registering failed: ").arg(count)
                     + registration.message,
                 name, connect);
        m_model.errorLog().record(kSingleSiteArea, registration.message, m_model.clock().now());
    }

    m_model.errorLog().record(kSingleSiteArea,
                              name + QStringLiteral(" authorization removed: grant reached ") + QString::number(count)
                                  + QStringLiteral(" sites."),
                              m_model.clock().now());
    co_await m_model.refresh(true);
}
