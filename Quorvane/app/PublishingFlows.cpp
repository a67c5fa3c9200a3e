// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PublishingFlows.h"

#include "app/AppModel.h"

#include <QPointer>

#include <algorithm>

namespace {

const QString cloudOffIcon = QStringLiteral("cloud-off");
const QString webflowIcon = QStringLiteral("globe-app-network");

// Publishing's notices carry the cloud-off icon unless one says otherwise.
ConfirmRequest notice(const QString &title, const QString &message, const QString &icon = cloudOffIcon)
{
    return ConfirmRequest::notice(title, message, icon);
}

ConfirmRequest question(const QString &title, const QString &message, const QString &confirmLabel,
                        const QString &icon, std::function<void()> action)
{
    ConfirmRequest request;
    request.title = title;
    request.message = message;
    request.confirmLabel = confirmLabel;
    request.icon = icon;
    request.action = std::move(action);
    return request;
}

std::optional<QString> unlessEmpty(const QString &text)
{
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

} // namespace

PublishingFlows::PublishingFlows(AppModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
}

std::optional<PublishingFlows::AppCloudAuthSnapshot> PublishingFlows::currentCloudAuth() const
{
    return m_model.cloud().currentCloudAuth();
}

bool PublishingFlows::isCurrentCloudAuth(const AppCloudAuthSnapshot &snapshot) const
{
    return m_model.cloud().isCurrentCloudAuth(snapshot);
}

// --- Connect -------------------------------------------------------------------------------------

std::function<void()> PublishingFlows::connectAgain(const PublishConnectParams &params, bool preconfirmed)
{
    return [alive = QPointer<PublishingFlows>(this), params, preconfirmed] {
        if (alive)
            alive->connectPublishing(params, preconfirmed);
    };
}

void PublishingFlows::startConnect(const QString &siteID, const QString &siteName, const QString &label,
                                   const QString &mcpName)
{
    connectPublishing({unlessEmpty(siteID), unlessEmpty(siteName), label, unlessEmpty(mcpName), [] {}}, false);
}

void PublishingFlows::retryPublishingConnect()
{
    if (m_params)
        connectPublishing(*m_params, false);
}

QCoro::Task<> PublishingFlows::connectPublishing(PublishConnectParams params, bool preconfirmed)
{
    QPointer<PublishingFlows> alive(this);
    const AccountModel::CloudSessionState session = co_await m_model.account().refreshSession();
    if (!alive)
        co_return;

    switch (session.kind) {
    case AccountModel::SessionKind::Checking:
    case AccountModel::SessionKind::TemporarilyUnavailable: {
        ConfirmRequest retry = question(
            QStringLiteral("Couldn't verify your sign-in"),
            QStringLiteral("Quorvane remembers your account, but couldn't confirm this computer's cloud session. Check your "
                           "connection and try again."),
            QStringLiteral("Try Again"), cloudOffIcon, connectAgain(params, preconfirmed));
        retry.cancelLabel = QStringLiteral("Not Now");
        m_model.confirms().present(std::move(retry));
        co_return;
    }
    case AccountModel::SessionKind::SignedOut:
    case AccountModel::SessionKind::ReauthenticationRequired:
        // The reason follows what this machine remembers, not how the session ended.
        m_model.cloud().requestSignIn(m_model.account().hasProfile() ? signInAgainReason : signInReason,
                                      connectAgain(params, preconfirmed));
        co_return;
    case AccountModel::SessionKind::Authenticated:
        break;
    }

    // Bind the model to the session's account before anything is read for it.
    const std::optional<AppCloudAuthSnapshot> applied = currentCloudAuth();
    if (!applied || applied->userID != session.userID)
        m_model.cloud().applyCloudAuthChange(session.userID);
    const std::optional<AppCloudAuthSnapshot> snapshot = currentCloudAuth();
    if (!snapshot)
        co_return;

    if (m_operationID)
        cancelPublishConnectOperation(*m_operationID, m_connectSheet);
    cancelConnectTask();
    const QUuid operationID = QUuid::createUuid();
    setOperation(operationID, snapshot);
    m_params = params;
    Q_EMIT publishConnectParamsChanged();
    // Runs on by itself; the operation id, not the task, decides what it may still write.
    runPublishConnect(operationID, *snapshot, std::move(params), preconfirmed,
                      ConnectTask::replace(m_publishConnectTask));
}

bool PublishingFlows::isCurrentPublishConnect(const QUuid &operationID, const AppCloudAuthSnapshot &snapshot,
                                              const ConnectTask &task) const
{
    return m_operationID == operationID && !task.cancelled && isCurrentCloudAuth(snapshot);
}

QCoro::Task<> PublishingFlows::runPublishConnect(QUuid operationID, AppCloudAuthSnapshot snapshot,
                                                 PublishConnectParams params, bool preconfirmed,
                                                 std::shared_ptr<ConnectTask> task)
{
    QPointer<PublishingFlows> alive(this);
    PublishAccessStore &store = m_model.publishAccess();
    const bool read = co_await store.refresh();
    if (!alive)
        co_return;

    if (isCurrentPublishConnect(operationID, snapshot, *task)) {
        if (!read) {
            // Without a trustworthy state, opening Webflow could replace a live grant unasked.
            m_model.confirms().present(notice(
                QStringLiteral("Couldn't check publishing access"),
                QStringLiteral("Quorvane couldn't safely determine whether this site already has publishing access, "
                               "so it did not open Webflow authorization. Sign in, check your connection, and try "
                               "again.")));
        } else if (store.available() && !store.oauthRecoveryAttempts().isEmpty()) {
            resetWebflowConnection(params);
        } else if (params.siteID && store.available() && store.pendingRevocationSiteIDs().contains(*params.siteID)) {
            refuseWhileRevocationPending(*params.siteID, params.label, params.mcpName.value_or(QString()));
        } else if (params.siteID && !preconfirmed && store.hasPublishingAccess(params.siteID)) {
            m_model.confirms().present(question(
                QStringLiteral("Re-authorize publishing for ") + params.label + u'?',
                QStringLiteral("Publishing access for this site is already live. Re-authorization replaces the "
                               "current Webflow grant and refreshes its site and domain access."),
                QStringLiteral("Re-authorize"), webflowIcon, connectAgain(params, true)));
        } else {
            co_await performPublishConnect(params, snapshot, operationID, task);
            if (!alive)
                co_return;
        }
    }
    finishPublishConnect(operationID);
}

QCoro::Task<> PublishingFlows::performPublishConnect(PublishConnectParams params, AppCloudAuthSnapshot snapshot,
                                                     QUuid operationID, std::shared_ptr<ConnectTask> task)
{
    if (!isCurrentPublishConnect(operationID, snapshot, *task))
        co_return;
    QPointer<PublishingFlows> alive(this);
    ConnectingPill &pill = m_model.connectingPill();
    pill.dismiss();
    pill.setSuppressed(false);
    ActivityCenter &activity = m_model.activity();
    const QUuid sheet = activity.open(ActivitySheet::Kind::connectingPublishing,
                                      QStringLiteral("Connecting publishing for ") + params.label, params.label,
                                      connectNote);
    m_connectSheet = sheet;

    PublishAccessStore &store = m_model.publishAccess();
    const std::optional<QString> landed = co_await store.connect(params.siteID, params.siteName, params.label,
                                                                 operationID);
    if (!alive)
        co_return;
    const auto current = [&] { return isCurrentPublishConnect(operationID, snapshot, *task); };
    if (!landed) {
        // A superseded connect leaves its sheet alone: a newer connect or the review owns it now.
        if (current()) {
            activity.appendActivityLog(QStringLiteral("✕ ") + store.lastError().value_or(connectNotCompletedSentence)
                                           + u'\n',
                                       sheet);
            activity.finishActivity(sheet, ActivitySheet::Outcome::failure);
        }
        co_return;
    }

    // The grant may have landed on another site than asked: the landed one is what is recorded.
    if (!current())
        co_return;
    const QString name = store.siteNames().contains(*landed) ? store.siteNames().value(*landed)
                                                             : params.siteName.value_or(params.label);
    // A read-only directory or project store skips its write; the grant stays on the backend.
    (void)m_model.siteDirectory().markPublishingConnected(*landed, name);
    if (params.mcpName) {
        if (!current())
            co_return;
        if (const std::optional<Project> project = m_model.projectStore().projectForMCPName(*params.mcpName))
            (void)m_model.projectStore().setSiteId(project->id, *landed);
    }
    if (!current())
        co_return;
    activity.appendActivityLog(QStringLiteral("✓ Publishing connected for ") + params.label + QStringLiteral(".\n"),
                               sheet);
    activity.finishActivity(sheet, ActivitySheet::Outcome::success);
    if (current() && params.onConnected)
        params.onConnected();
}

void PublishingFlows::finishPublishConnect(const QUuid &operationID)
{
    if (m_operationID != operationID)
        return;
    m_publishConnectTask.reset();
    setOperation(std::nullopt, std::nullopt);
    // A notice of a cancelled connect held back while this one ran may show now.
    m_model.cloud().presentQueuedOAuthCancellationNotice();
}

void PublishingFlows::cancelConnectTask()
{
    if (!m_publishConnectTask)
        return;
    m_publishConnectTask->cancelled = true;
    m_publishConnectTask.reset();
}

void PublishingFlows::setOperation(const std::optional<QUuid> &operationID,
                                   const std::optional<AppCloudAuthSnapshot> &auth)
{
    // The sheet belongs to the operation: a new or ended one has opened none yet.
    m_connectSheet.reset();
    if (m_operationID == operationID && m_auth == auth)
        return;
    m_operationID = operationID;
    m_auth = auth;
    Q_EMIT publishConnectChanged();
}

void PublishingFlows::tearDownConnect()
{
    m_model.publishAccess().cancelAllConnects();
    cancelConnectTask();
    setOperation(std::nullopt, std::nullopt);
    // An outcome of the previous account finds nothing awaiting it.
    m_cancellationIDs.clear();
}

void PublishingFlows::cancelConnectFor(const QUuid &activityId)
{
    Q_UNUSED(activityId);
    // Whatever sheet was cancelled, a review writes only into the one the operation opened.
    if (m_operationID)
        cancelPublishConnectOperation(*m_operationID, m_connectSheet);
    cancelConnectTask();
    setOperation(std::nullopt, std::nullopt);
}

void PublishingFlows::cancelPublishConnectOperation(const QUuid &operationID, const std::optional<QUuid> &activityId)
{
    PublishAccessStore &store = m_model.publishAccess();
    if (!m_auth) {
        (void)store.cancelConnect(operationID);
        return;
    }
    m_cancellationIDs.insert(operationID);
    const bool known = store.cancelConnect(
        operationID, [alive = QPointer<PublishingFlows>(this), operationID, snapshot = *m_auth,
                      activityId](OAuthCancellationOutcome outcome) {
            if (alive)
                alive->reviewPublishConnectCancellation(outcome, operationID, snapshot, activityId);
        });
    if (!known)
        m_cancellationIDs.remove(operationID);
}

// --- Disconnect ----------------------------------------------------------------------------------

void PublishingFlows::startDisconnect(const QString &siteID, const QString &mcpName)
{
    disconnectPublishing(siteID, unlessEmpty(mcpName));
}

QCoro::Task<> PublishingFlows::disconnectPublishing(QString siteID, std::optional<QString> mcpName)
{
    const std::optional<AppCloudAuthSnapshot> snapshot = currentCloudAuth();
    if (!snapshot)
        co_return;
    QPointer<PublishingFlows> alive(this);
    const PublishAccessStore::DisconnectOutcome outcome = co_await m_model.publishAccess().disconnect(siteID);
    if (!alive || !isCurrentCloudAuth(*snapshot))
        co_return;

    // The project concerned: the one named, else the first whose site is this one.
    const QList<Project> &projects = m_model.projectStore().projects();
    std::optional<Project> project;
    if (mcpName)
        project = m_model.projectStore().projectForMCPName(*mcpName);
    if (!project) {
        // A project's site is the record it works on, else the site it is bound to.
        const auto onSite = [&](const Project &candidate) {
            const std::optional<SiteRecord> record = m_model.authorizer().scope().siteRecord(candidate);
            const std::optional<QString> resolved = record ? std::optional<QString>(record->id) : candidate.siteId;
            return resolved == siteID;
        };
        const auto found = std::find_if(projects.cbegin(), projects.cend(), onSite);
        if (found != projects.cend())
            project = *found;
    }

    using Kind = PublishAccessStore::DisconnectOutcome::Kind;
    ProjectStore &projectStore = m_model.projectStore();
    switch (outcome.kind) {
    case Kind::RevocationPending:
        (void)m_model.siteDirectory().setPublishingConnectedAt(std::nullopt, siteID);
        if (!project)
            m_model.confirms().present(notice(QStringLiteral("Publishing disabled; cleanup pending"), outcome.message));
        else if (isCurrentCloudAuth(*snapshot))
            (void)projectStore.setIssue(revocationPendingIssue + outcome.message, project->mcpName,
                                        Project::IssueRecovery::retryPublishingDisconnect);
        break;
    case Kind::Failed:
        if (!project)
            m_model.confirms().present(notice(QStringLiteral("Couldn't confirm publishing disconnect"), outcome.message));
        else
            (void)projectStore.setIssue(disconnectFailedIssue + outcome.message, project->mcpName,
                                        Project::IssueRecovery::retryPublishingDisconnect);
        break;
    case Kind::Disconnected:
    case Kind::AlreadyDisconnected:
        (void)m_model.siteDirectory().setPublishingConnectedAt(std::nullopt, siteID);
        // Only the issue this flow wrote goes; an issue about the site itself stays.
        if (project && project->issueRecovery == Project::IssueRecovery::retryPublishingDisconnect
            && isCurrentCloudAuth(*snapshot))
            (void)projectStore.setIssue(std::nullopt, project->mcpName);
        break;
    }
}

bool PublishingFlows::refuseWhileRevocationPending(const QString &siteID, const QString &name, const QString &mcpName)
{
    const PublishAccessStore &store = m_model.publishAccess();
    if (siteID.isEmpty() || !store.available() || !store.pendingRevocationSiteIDs().contains(siteID))
        return false;
    m_model.confirms().present(question(
        QStringLiteral("Publishing disconnect is still finishing"),
        QStringLiteral("Publishing is already disabled for ") + name
            + QStringLiteral(". Finish revocation cleanup before connecting it again."),
        QStringLiteral("Retry Cleanup"), cloudOffIcon,
        [alive = QPointer<PublishingFlows>(this), siteID, mcpName = unlessEmpty(mcpName)] {
            if (alive)
                alive->disconnectPublishing(siteID, mcpName);
        }));
    return true;
}

// --- Reset and review ----------------------------------------------------------------------------

void PublishingFlows::offerWebflowConnectionReset()
{
    if (m_model.publishAccess().oauthRecoveryAttempts().isEmpty())
        return;
    resetWebflowConnection(m_params);
}

void PublishingFlows::resetWebflowConnection(std::optional<PublishConnectParams> params)
{
    const QString provider = m_model.publishAccess().recoveryProviderLabel();
    ConfirmRequest reset = question(
        QStringLiteral("Reset the Webflow connection"),
        QStringLiteral("Webflow may have created an authorization for ") + provider
            + QStringLiteral(" that Quorvane did not receive. In Webflow, open Apps & Integrations and remove ")
            + provider
            + QStringLiteral(". Removing Webflow MCP may also disconnect your other MCP connections. Then return here "
                             "and confirm. Scheduled publishing stays disabled until each needed site is reconnected."),
        QStringLiteral("I've Removed It"), cloudOffIcon,
        [alive = QPointer<PublishingFlows>(this), params = std::move(params)] {
            if (alive)
                alive->completeWebflowConnectionReset(params);
        });
    reset.isDestructive = true;
    m_model.confirms().present(std::move(reset));
}

QCoro::Task<> PublishingFlows::completeWebflowConnectionReset(std::optional<PublishConnectParams> params)
{
    const std::optional<AppCloudAuthSnapshot> snapshot = currentCloudAuth();
    if (!snapshot)
        co_return;
    QPointer<PublishingFlows> alive(this);
    const bool acknowledged = co_await m_model.publishAccess().acknowledgeRecoveryAttempts();
    if (!alive || !isCurrentCloudAuth(*snapshot))
        co_return;
    if (!acknowledged) {
        m_model.confirms().present(
            notice(QStringLiteral("Couldn't reset publishing access"),
                   QStringLiteral("Quorvane could not record the Webflow reset safely. Check your connection and try "
                                  "again.")));
    } else if (params) {
        // From the beginning, session check and re-authorization question included.
        co_await connectPublishing(std::move(*params), false);
    } else {
        m_model.confirms().present(
            notice(QStringLiteral("Ready to reconnect"),
                   QStringLiteral("The uncertain authorization was cleared. Connect publishing again for each needed "
                                  "site to create and validate fresh credentials."),
                   webflowIcon));
    }
}

void PublishingFlows::reviewPublishConnectCancellation(OAuthCancellationOutcome outcome, const QUuid &operationID,
                                                       const AppCloudAuthSnapshot &snapshot,
                                                       const std::optional<QUuid> &activityId)
{
    // Each outcome is reviewed once, and only while someone waits for it.
    if (!m_cancellationIDs.remove(operationID))
        return;
    if (!isCurrentCloudAuth(snapshot))
        return;
    if (m_operationID && *m_operationID != operationID)
        return; // a newer connect owns the screen
    const bool needsReview = outcome == OAuthCancellationOutcome::ReconciliationRequired;
    const QString message = needsReview ? needsReviewMessage : cancelledReview;
    ActivityCenter &activity = m_model.activity();
    if (activityId && activity.sheet() && activity.sheet()->id == *activityId) {
        activity.appendActivityLog(u'\n' + message + u'\n', *activityId);
        if (needsReview)
            activity.finishActivity(*activityId, ActivitySheet::Outcome::warning);
        return;
    }
    if (needsReview)
        m_model.confirms().present(notice(QStringLiteral("Publishing authorization needs review"), message));
}

// --- Error report --------------------------------------------------------------------------------

void PublishingFlows::sendErrorReport(std::optional<QString> logTail)
{
    const std::optional<AccountProfile> &profile = m_model.account().profile();
    m_model.errorLog().sendReport(profile ? std::optional<QString>(profile->email) : std::nullopt, std::nullopt,
                                  std::move(logTail));
}
