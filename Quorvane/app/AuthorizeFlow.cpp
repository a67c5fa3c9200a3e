// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AuthorizeFlow.h"

#include "app/AppModel.h"
#include "cli/ScopeCheck.h"
#include "cli/TerminalRunner.h"
#include "foundation/ServerNames.h"

#include <QCoreApplication>
#include <QPointer>

using Outcome = ActivitySheet::Outcome;

namespace {

const QString kAuthorizingNote = QStringLiteral(
    "A browser window will open. Pick the client's workspace, then tick only that one site, never \"all sites\".");
const QString kBatchNote = QStringLiteral("One browser consent flow at a time. In each, tick only that client's own "
                                          "site. Dismiss this to stop the run after the current connection.");

/// The summary of a batch: "3 authorized, 1 needs attention, 1 failed, stopped early".
QString batchSummary(const QString &verb, qsizetype done, qsizetype attention, qsizetype failed, bool stoppedEarly)
{
    QStringList pieces;
    if (done > 0)
        pieces.append(QString::number(done) + u' ' + verb);
    if (attention > 0)
        pieces.append(QString::number(attention) + QStringLiteral(" need") + (attention == 1 ? QStringLiteral("s") : QString())
                      + QStringLiteral(" attention"));
    if (failed > 0)
        pieces.append(QString::number(failed) + QStringLiteral(" failed"));
    if (stoppedEarly)
        pieces.append(QStringLiteral("stopped early"));
    return pieces.join(QStringLiteral(", "));
}

} // namespace

AuthorizeFlow::AuthorizeFlow(AppModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_scope(model)
{
}

QCoro::Task<> AuthorizeFlow::authorize(QString name)
{
    if (!m_model.projectStore().persistenceWritable() || !m_model.connectionStore().persistenceWritable()
        || !m_model.siteDirectory().persistenceWritable()) {
        m_model.confirms().present(ConfirmRequest::notice(
            QStringLiteral("Local data is read-only"),
            m_model.persistenceIssue().value_or(
                QStringLiteral("Restore local persistence before replacing an authorization.")),
            QStringLiteral("cloud-off")));
        co_return;
    }
    ActivityCenter &activity = m_model.activity();
    activity.dropRetryOfOtherSubject(name);
    m_model.connectingPill().dismiss();
    m_model.connectingPill().setSuppressed(false);
    const QUuid id = activity.open(ActivitySheet::Kind::authorizing,
                                   QStringLiteral("Authorizing ") + ClaudeCLI::displayName(name), name, kAuthorizingNote);
    activity.setSubject(id, name);

    QPointer<AuthorizeFlow> alive(this);
    const Outcome outcome = co_await performAuthorization(name, id);
    if (!alive)
        co_return;
    co_await m_scope.concludeActivity(name, id, outcome);
    if (!alive)
        co_return;
    activity.resumePendingRetry();
}

QCoro::Task<Outcome> AuthorizeFlow::performAuthorization(QString name, QUuid activityId)
{
    ActivityCenter &activity = m_model.activity();
    const auto log = [&activity, activityId](const QString &text) { activity.appendActivityLog(text, activityId); };
    m_model.setBusy(name, true);
    const std::optional<Project> project = m_model.projectStore().projectForMCPName(name);
    m_model.connectingPill().show(project ? project->title : name);

    // The intent goes first: from now on the connection has no verified sites until a check of
    // this grant records them, and a check still running on the old grant sees the new stamp.
    ConnectionStore &store = m_model.connectionStore();
    QMap<QString, ConnectionMeta> entries = store.connections();
    ConnectionMeta intent = entries.value(name);
    intent.sites.reset();
    intent.verifiedAt.reset();
    intent.addedAt = ReferenceSeconds::Instant(m_model.clock().now());
    entries.insert(name, intent);
    if (store.save(entries)) {
        log(QStringLiteral("Could not save the authorization intent. Nothing was changed.\n"));
        endAuthorization(name);
        dropQueuedCancellations(name);
        co_return Outcome::failure;
    }
    m_scope.recordVerifiedScope(name);

    // The driver hands output over on its own thread; each piece reaches the log on this one.
    ClaudeCLI::OutputHandler onOutput = [center = QPointer<ActivityCenter>(&activity), activityId](const QString &piece) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [center, activityId, piece] {
                if (center)
                    center->appendActivityLog(piece, activityId);
            },
            Qt::QueuedConnection);
    };
    QPointer<AuthorizeFlow> alive(this);
    const ClaudeCLI::TerminalRunResult login = co_await ClaudeCLI::loginArguments(m_model.driver(), name, onOutput);
    if (!alive)
        co_return Outcome::failure;
    log(u'\n' + (login.ok ? QStringLiteral("✓") : QStringLiteral("✕")) + u' ' + login.message + u'\n');

    co_await m_model.refresh(true);
    if (!alive)
        co_return Outcome::failure;
    if (!login.ok) {
        m_model.errorLog().record(QStringLiteral("authorize"),
                                  QStringLiteral("Provider authorization did not complete successfully."),
                                  m_model.clock().now());
        endAuthorization(name);
        dropQueuedCancellations(name);
        co_return Outcome::failure;
    }

    log(QStringLiteral("\nRunning scope check…\n"));
    const Outcome outcome = co_await m_scope.checkScope(name, activityId, false);
    if (!alive)
        co_return outcome;
    endAuthorization(name);
    dropQueuedCancellations(name);
    co_return outcome;
}

void AuthorizeFlow::endAuthorization(const QString &name)
{
    m_model.setBusy(name, false);
    m_model.connectingPill().dismiss();
    updateScopeIssue(name);
}

void AuthorizeFlow::updateScopeIssue(const QString &name)
{
    const std::optional<ConnectionMeta> meta = m_model.connectionStore().meta(name);
    if (!meta || !meta->sites)
        return;
    constexpr auto connect = Project::IssueRecovery::connectMCP;
    ProjectStore &projects = m_model.projectStore();
    // The issue is the user's only word on it; a store that cannot save reports that itself.
    const qsizetype count = meta->sites->size();
    if (count == 0)
        (void)projects.setIssue(QStringLiteral("The authorization reaches no sites. Re-connect and tick the client's site."),
                                name, connect);
    else if (count == 1)
        (void)projects.setIssue(std::nullopt, name, std::nullopt);
    else
        (void)projects.setIssue(QStringLiteral("Reaches ") + QString::number(count)
                                    + QStringLiteral(" sites. Re-connect and tick only one."),
                                name, connect);
}

void AuthorizeFlow::dropQueuedCancellations(const QString &name)
{
    m_model.driver().logins().discardQueuedCancellation(name);
    m_model.driver().runs().discardQueuedCancellation(ClaudeCLI::kScopeCheckKeyPrefix + name);
}

void AuthorizeFlow::moveProject(const Project &project)
{
    if (!project.pendingSiteId)
        return;
    const auto siteName = [this](const QString &siteId) {
        const std::optional<SiteRecord> record = m_model.siteDirectory().site(siteId);
        return record ? record->customName.value_or(record->name) : siteId;
    };
    const QString pendingName = project.pendingSiteName.value_or(siteName(*project.pendingSiteId));
    const QString currentName = project.siteId ? siteName(*project.siteId) : QStringLiteral("the current site");

    ConfirmRequest request;
    request.title = QStringLiteral("Move ") + project.title + QStringLiteral(" to ") + pendingName + u'?';
    request.message = QStringLiteral("The MCP now verifies ") + pendingName
        + QStringLiteral(", but this project is still pinned to ") + currentName
        + QStringLiteral(". Moving it retargets future project actions; any existing schedule or publishing grant "
                         "for ")
        + currentName + QStringLiteral(" stays with that site and remains manageable separately.");
    request.confirmLabel = QStringLiteral("Move Project");
    request.icon = QStringLiteral("arrow.left.arrow.right");
    request.action = [alive = QPointer<AuthorizeFlow>(this), projectId = project.id] {
        // The store refuses when the pending site went meanwhile or it cannot save; nothing to show.
        if (alive)
            (void)alive->m_model.projectStore().acceptPendingSite(projectId);
    };
    m_model.confirms().present(std::move(request));
}

void AuthorizeFlow::moveProjectWithId(const QUuid &projectId)
{
    for (const Project &project : m_model.projectStore().projects()) {
        if (project.id == projectId) {
            moveProject(project);
            return;
        }
    }
}

QStringList AuthorizeFlow::connectionsNeedingAuth() const
{
    QStringList names;
    for (const Connection &connection : m_model.connections()) {
        if (connection.status == ConnectionStatus::needsAuth)
            names.append(connection.name);
    }
    return names;
}

void AuthorizeFlow::connectAll()
{
    m_model.connectingPill().dismiss();
    const BatchStep step = [this](QString name, QUuid activityId) -> QCoro::Task<Outcome> {
        QPointer<AuthorizeFlow> alive(this);
        const Outcome outcome = co_await performAuthorization(name, activityId);
        if (!alive)
            co_return outcome;
        // Unlike a single authorization, a batch cleans up even after a cancel.
        co_await m_scope.removeOverbroadAuthorization(name);
        if (!alive)
            co_return outcome;
        // A cancel during the cleanup found no run to stop; it must not stop the next one.
        dropQueuedCancellations(name);
        co_return outcome;
    };
    // The task runs on by itself; the batch checks its own liveness after every wait.
    runBatch(ActivitySheet::Kind::authorizing, QStringLiteral("Authorizing"), QStringLiteral("authorized"), kBatchNote,
             connectionsNeedingAuth(), step);
}

QCoro::Task<> AuthorizeFlow::runBatch(ActivitySheet::Kind kind, QString title, QString verb, QString note,
                                      QStringList names, BatchStep step)
{
    if (names.isEmpty() || m_isBatchRunning)
        co_return;
    ActivityCenter &activity = m_model.activity();
    const qsizetype total = names.size();
    const QUuid id = activity.open(kind, title + u' ' + QString::number(total) + QStringLiteral(" connections"),
                                   std::nullopt, note);
    setBatchRunning(true);

    const auto batchShown = [&activity, id] { return activity.sheet() && activity.sheet()->id == id; };
    QStringList done;
    QStringList attention;
    QStringList failed;
    qsizetype processed = 0;
    QPointer<AuthorizeFlow> alive(this);
    while (processed < total) {
        if (!batchShown() || activity.isCancelled(id))
            break;
        const QString &name = names.at(processed);
        activity.setTitle(id, title + u' ' + QString::number(processed + 1) + QStringLiteral(" of ")
                                  + QString::number(total));
        activity.setSubject(id, name);
        activity.appendActivityLog(QStringLiteral("\n[") + ClaudeCLI::displayName(name) + QStringLiteral("]\n"), id);
        const Outcome outcome = co_await step(name, id);
        if (!alive)
            co_return;
        if (outcome == Outcome::success)
            done.append(name);
        else if (outcome == Outcome::warning)
            attention.append(name);
        else
            failed.append(name);
        if (activity.isCancelled(id))
            break;
        ++processed;
    }

    if (!batchShown()) {
        // Closed or replaced: the sheet the user sees now is not this run's to touch.
        setBatchRunning(false);
        co_return;
    }
    activity.forget(id);
    const QString summary = batchSummary(verb, done.size(), attention.size(), failed.size(), processed != total);
    activity.setTitle(id, summary);
    QString closing = u'\n' + summary + u'\n';
    for (const QString &name : std::as_const(attention))
        closing += QStringLiteral("⚠ ") + ClaudeCLI::displayName(name) + u'\n';
    for (const QString &name : std::as_const(failed))
        closing += QStringLiteral("✕ ") + ClaudeCLI::displayName(name) + u'\n';
    activity.appendActivityLog(closing, id);
    activity.finishActivity(id, !failed.isEmpty()                                   ? Outcome::failure
                                    : !attention.isEmpty() || processed != total ? Outcome::warning
                                                                                 : Outcome::success);
    setBatchRunning(false);
}

void AuthorizeFlow::setBatchRunning(bool running)
{
    if (m_isBatchRunning == running)
        return;
    m_isBatchRunning = running;
    Q_EMIT isBatchRunningChanged();
}
