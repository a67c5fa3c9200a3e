// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/CloudSide.h"

#include "app/AppModel.h"
#include "backend/BackendClient.h"
#include "platform/UserNotifications.h"

#include <QTimer>

namespace {

ConfirmRequest noticeRequest(OAuthCancellationNotice::Kind kind, std::function<void()> review)
{
    ConfirmRequest request;
    if (kind == OAuthCancellationNotice::Kind::AuthorizationCompleted) {
        request.title = QStringLiteral("Publishing authorization completed");
        request.message = QStringLiteral("Webflow completed this authorization before cancellation took effect. Review "
                                         "publishing access and disconnect it if you did not intend to keep it.");
    } else {
        request.title = QStringLiteral("Publishing authorization needs review");
        request.message = QStringLiteral("Quorvane could not prove that this authorization was cancelled before token "
                                         "exchange. Refresh publishing access and review the current connection before "
                                         "trying again.");
    }
    request.confirmLabel = QStringLiteral("Review Publishing Access");
    request.isNotice = true;
    request.icon = QStringLiteral("cloud-off");
    request.action = std::move(review);
    return request;
}

} // namespace

CloudSide::CloudSide(AppModel &model, std::function<void()> panelActivator, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_panelActivator(std::move(panelActivator))
{
    connect(&m_model.publishAccess(), &PublishAccessStore::unresolvedCancellationRecorded, this,
            &CloudSide::handleCancellationReceipt);
    connect(&m_model.confirms(), &ConfirmQueue::confirmChanged, this, &CloudSide::followConfirm);
}

// --- Identity ------------------------------------------------------------------------------------

std::optional<CloudSide::AppCloudAuthSnapshot> CloudSide::currentCloudAuth() const
{
    if (!m_cloudAuthUserID)
        return std::nullopt;
    return AppCloudAuthSnapshot{*m_cloudAuthUserID, m_cloudAuthGeneration};
}

bool CloudSide::isCurrentCloudAuth(const AppCloudAuthSnapshot &snapshot) const
{
    return isCurrent(snapshot.userID, snapshot.generation);
}

bool CloudSide::isCurrent(const QUuid &userID, qint64 generation) const
{
    return m_cloudAuthUserID == userID && m_cloudAuthGeneration == generation;
}

void CloudSide::applyCloudAuthChange(const std::optional<QUuid> &userID)
{
    // Nothing here waits, so no other work sees an identity half applied.
    const bool sameIdentity = m_cloudAuthGeneration != 0 && userID == m_cloudAuthUserID;
    if (!sameIdentity) {
        if (m_cloudAuthGeneration >= 1)
            tearDownPreviousIdentity();
        m_cloudAuthUserID = userID;
        ++m_cloudAuthGeneration;
    }
    const qint64 generation = m_cloudAuthGeneration;
    // Each store ignores a bind to the user it already holds, apart from taking the generation.
    m_model.scheduleStore().bindAccount(userID);
    m_model.publishAccess().bindAccount(userID, generation);
    m_model.pageStatus().bindAccount(userID, generation);
    const QList<NotificationRouter::Target> waiting = m_notificationTargets.updateIdentity(userID);
    for (const NotificationRouter::Target &target : waiting) {
        setScheduleFocusEventID(target.eventID);
        requestScheduleFocus();
    }
    // Even a confirmation of the same user replaces the running refresh.
    if (m_cloudRefreshTask)
        m_cloudRefreshTask->cancelled = true;
    if (userID)
        startCloudRefresh(*userID, generation);
}

void CloudSide::tearDownPreviousIdentity()
{
    // What ends here is no occasion to show a notice held for the account that is leaving.
    m_tearingDown = true;
    m_model.publishing().tearDownConnect(); // cancels the store's connects too
    m_model.activity().dismissSheet(ActivitySheet::Kind::connectingPublishing);
    if (m_displayedNotice)
        closeDisplayedNotice();
    m_tearingDown = false;
}

void CloudSide::startCloudBootstrap()
{
    if (m_cloudBootstrapTask)
        return;
    m_cloudBootstrapTask = std::make_shared<TaskHandle>();
    [](QPointer<CloudSide> self) -> QCoro::Task<> {
        co_await self->cloudBootstrap();
        if (self)
            self->m_cloudBootstrapTask.reset();
    }(this);
}

QCoro::Task<> CloudSide::cloudBootstrap()
{
    AccountModel &account = m_model.account();
    BackendClient *client = account.client();
    if (!client)
        co_return;
    m_model.scheduleStore().attachClient(client);
    m_model.publishAccess().setClient(client);
    startCloudAuthWatch(*client);

    const QPointer<CloudSide> self(this);
    const AccountModel::CloudSessionState state = co_await account.refreshSession();
    if (!self)
        co_return;
    switch (state.kind) {
    case AccountModel::SessionKind::Authenticated:
        if (m_cloudAuthGeneration != 0 && m_cloudAuthUserID == state.userID)
            startCloudRefresh(state.userID, m_cloudAuthGeneration);
        else
            applyCloudAuthChange(state.userID);
        break;
    case AccountModel::SessionKind::SignedOut:
    case AccountModel::SessionKind::ReauthenticationRequired:
        if (m_cloudAuthGeneration == 0 || m_cloudAuthUserID)
            applyCloudAuthChange(std::nullopt);
        break;
    case AccountModel::SessionKind::Checking:
    case AccountModel::SessionKind::TemporarilyUnavailable:
        // Offline or undecided: the identity stays as applied until the watch hears more.
        break;
    }
}

void CloudSide::startCloudAuthWatch(BackendClient &client)
{
    if (m_cloudAuthWatch)
        return;
    m_cloudAuthWatch = connect(&client, &BackendClient::authChanged, this,
                               [this](BackendClient::AuthEvent event, const std::optional<BackendSession> &session) {
                                   if (session) {
                                       m_model.account().applyAuthSession(session);
                                       applyCloudAuthChange(session->user.id);
                                   } else if (event == BackendClient::AuthEvent::SignedOut) {
                                       m_model.account().applyAuthSession(std::nullopt);
                                       applyCloudAuthChange(std::nullopt);
                                   }
                               });
}

// --- Cloud refresh ---------------------------------------------------------------------------------

void CloudSide::startCloudRefresh(const QUuid &userID, qint64 generation)
{
    refreshCloudState(userID, generation, TaskHandle::replace(m_cloudRefreshTask));
}

namespace {

// Marks a task finished however its coroutine ends.
struct FinishOnExit
{
    explicit FinishOnExit(std::shared_ptr<CloudSide::TaskHandle> finishing)
        : task(std::move(finishing))
    {
    }
    FinishOnExit(const FinishOnExit &) = delete;
    FinishOnExit &operator=(const FinishOnExit &) = delete;
    ~FinishOnExit()
    {
        if (task)
            task->finished = true;
    }

    std::shared_ptr<CloudSide::TaskHandle> task;
};

} // namespace

QCoro::Task<> CloudSide::refreshCloudState(QUuid userID, qint64 generation, std::shared_ptr<TaskHandle> task)
{
    const FinishOnExit finish{task};
    const QPointer<CloudSide> self(this);
    // A superseded refresh lets its reads land in their stores and applies nothing itself.
    const auto stillWanted = [&] {
        return self && !(task && task->cancelled) && isCurrent(userID, generation);
    };
    ScheduleStore &schedule = m_model.scheduleStore();
    PublishAccessStore &publishing = m_model.publishAccess();
    // Four independent requests: started together, the refresh takes as long as the slowest.
    QCoro::Task<bool> queueRead = schedule.refreshQueue();
    QCoro::Task<bool> grantRead = publishing.refresh();
    QCoro::Task<> historyRead = schedule.loadHistory();
    QCoro::Task<> eventRead = schedule.ingestPublishEvents();
    const bool queueApplied = co_await std::move(queueRead);
    const bool grantsApplied = co_await std::move(grantRead);
    co_await std::move(historyRead);
    co_await std::move(eventRead);
    if (!stillWanted())
        co_return;
    if (queueApplied || grantsApplied)
        syncPublishingFlags();
    if (!grantsApplied)
        co_return;
    const std::optional<OAuthCancellationNotice> notice = co_await publishing.reconcileCancellationReceipts(userID);
    if (stillWanted())
        settleOAuthCancellationNotice(userID, notice);
}

void CloudSide::syncPublishingFlags()
{
    const PublishAccessStore &publishing = m_model.publishAccess();
    // Only a trusted grant read may take the flag away from sites it does not list.
    (void)m_model.siteDirectory().syncPublishingConnected(publishing.connectedSiteIDs(), publishing.available());
}

void CloudSide::handleCancellationReceipt(const QUuid &ownerID)
{
    if (m_cloudAuthUserID != ownerID)
        return;
    const qint64 generation = m_cloudAuthGeneration;
    refreshAfterReceipt(ownerID, generation, TaskHandle::replace(m_oauthCancellationRefreshTask));
}

QCoro::Task<> CloudSide::refreshAfterReceipt(QUuid ownerID, qint64 generation, std::shared_ptr<TaskHandle> task)
{
    const FinishOnExit finish{task};
    const QPointer<CloudSide> self(this);
    // Only the latest receipt's refresh applies what it read.
    const auto stillWanted = [&] { return self && !task->cancelled && isCurrent(ownerID, generation); };
    PublishAccessStore &publishing = m_model.publishAccess();
    const bool granted = co_await publishing.refresh();
    if (!granted || !stillWanted())
        co_return;
    syncPublishingFlags();
    const std::optional<OAuthCancellationNotice> notice = co_await publishing.reconcileCancellationReceipts(ownerID);
    if (stillWanted())
        settleOAuthCancellationNotice(ownerID, notice);
}

// --- Notification taps -------------------------------------------------------------------------------

void CloudSide::listenForTaps(UserNotifications &notifications)
{
    m_notificationRouter.emplace(this, [self = QPointer<CloudSide>(this)](const NotificationRouter::Target &target) {
        if (self)
            self->handleNotificationTap(target);
    });
    m_notificationRouter->listenTo(notifications);
}

void CloudSide::handleNotificationTap(const NotificationRouter::Target &target)
{
    const NotificationTargetQueue::Offer offer =
        m_notificationTargets.offerTap(target, m_model.errorLog().recorder(), m_model.clock().now());
    switch (offer.which) {
    case NotificationTargetQueue::Offer::Case::Route:
        setScheduleFocusEventID(target.eventID);
        requestScheduleFocus();
        return;
    case NotificationTargetQueue::Offer::Case::Queued:
        setScheduleFocusEventID(std::nullopt);
        requestScheduleFocus();
        // Not through startCloudBootstrap: the tap must not wait behind a bootstrap that has
        // already read the session. The applied identity routes the waiting target.
        [](QPointer<CloudSide> self) -> QCoro::Task<> {
            if (self)
                co_await self->cloudBootstrap();
        }(this);
        return;
    case NotificationTargetQueue::Offer::Case::Discard:
        return; // offerTap has logged it
    }
}

void CloudSide::requestScheduleFocus()
{
    ++m_scheduleFocusRequest;
    Q_EMIT scheduleFocusRequestChanged();
    // The panel reports that it is open only once its window shows. Until then a second request
    // (several waiting taps routed at once) must not call the activator again: should it toggle
    // rather than open, it would close the panel the first call opened.
    if (!m_model.panelIsOpen() && !m_panelActivationPending && m_panelActivator) {
        m_panelActivationPending = true;
        QTimer::singleShot(0, this, [this] { m_panelActivationPending = false; });
        m_panelActivator();
    }
    // An open panel may sit behind other windows: the application comes forward either way.
    if (m_applicationActivator)
        m_applicationActivator();
}

void CloudSide::setScheduleFocusEventID(const std::optional<QUuid> &eventID)
{
    if (m_scheduleFocusEventID == eventID)
        return;
    m_scheduleFocusEventID = eventID;
    Q_EMIT scheduleFocusEventIDChanged();
}

// --- OAuth-cancellation notices ------------------------------------------------------------------------

void CloudSide::settleOAuthCancellationNotice(const QUuid &ownerID, const std::optional<OAuthCancellationNotice> &notice)
{
    if (notice) {
        presentOAuthCancellationNotice(*notice);
        return;
    }
    if (m_model.publishAccess().hasUnresolvedCancellations(ownerID))
        return;
    // Every receipt of the owner is settled: nothing is left to tell them.
    if (m_queuedNotice && m_queuedNotice->ownerID == ownerID)
        m_queuedNotice.reset();
    if (m_displayedNotice && m_displayedNotice->ownerID == ownerID)
        closeDisplayedNotice();
}

void CloudSide::presentOAuthCancellationNotice(const OAuthCancellationNotice &notice)
{
    if (m_cloudAuthUserID != notice.ownerID)
        return;
    if (m_displayedNotice == notice)
        return;
    if (m_model.publishing().publishConnectOperationID() || m_model.activity().sheet()
        || m_model.confirms().current()) {
        m_queuedNotice = notice;
        return;
    }
    m_queuedNotice.reset();
    // Marked displayed before it is presented, so the confirm queue's change finds it shown.
    m_displayedNotice = notice;
    ConfirmRequest request =
        noticeRequest(notice.kind, [self = QPointer<CloudSide>(this), notice] {
            if (self)
                self->reviewOAuthCancellationNotice(notice);
        });
    m_displayedNoticeRequest = request.id;
    m_model.confirms().present(std::move(request));
}

void CloudSide::presentQueuedOAuthCancellationNotice()
{
    if (!m_queuedNotice || m_tearingDown)
        return;
    // Taken out first: a notice of an owner no longer signed in is dropped here, and one that
    // still meets an obstacle is queued again.
    const OAuthCancellationNotice notice = *std::exchange(m_queuedNotice, std::nullopt);
    presentOAuthCancellationNotice(notice);
}

void CloudSide::closeDisplayedNotice()
{
    const QUuid request = std::exchange(m_displayedNoticeRequest, QUuid());
    m_displayedNotice.reset();
    // Withdrawn, not dismissed: closing it is no occasion to show what waits.
    m_closingNotice = true;
    m_model.confirms().withdraw(request);
    m_closingNotice = false;
}

void CloudSide::followConfirm()
{
    if (m_closingNotice)
        return;
    const std::optional<ConfirmRequest> shown = m_model.confirms().current();
    if (m_displayedNotice && (!shown || shown->id != m_displayedNoticeRequest)) {
        m_displayedNotice.reset();
        m_displayedNoticeRequest = QUuid();
    }
    if (!shown)
        presentQueuedOAuthCancellationNotice();
}

void CloudSide::reviewOAuthCancellationNotice(const OAuthCancellationNotice &notice)
{
    if (m_cloudAuthUserID != notice.ownerID)
        return;
    review(notice);
}

QCoro::Task<> CloudSide::review(OAuthCancellationNotice notice)
{
    if (m_cloudAuthUserID != notice.ownerID)
        co_return;
    const QPointer<CloudSide> self(this);
    const qint64 generation = m_cloudAuthGeneration;
    PublishAccessStore &publishing = m_model.publishAccess();
    const bool granted = co_await publishing.refresh();
    if (!self || !granted || !isCurrent(notice.ownerID, generation))
        co_return;
    syncPublishingFlags();
    const std::optional<OAuthCancellationNotice> result =
        co_await publishing.reconcileCancellationReceipts(notice.ownerID);
    if (!self || !isCurrent(notice.ownerID, generation))
        co_return;
    if (result == notice) {
        // The backend still reports what the user has just reviewed: the receipt has done its job.
        (void)publishing.resolveCancellationReceipt(notice.ownerID, notice.operationID);
        settleOAuthCancellationNotice(notice.ownerID, std::nullopt);
    } else {
        settleOAuthCancellationNotice(notice.ownerID, result);
    }
}

// --- Sign-in and sign-out ------------------------------------------------------------------------------

void CloudSide::requestAccountSignIn(const QString &reason, bool thenBootstrap)
{
    std::function<void()> onSuccess = [] {};
    if (thenBootstrap) {
        onSuccess = [alive = QPointer<CloudSide>(this)] {
            if (alive)
                alive->startCloudBootstrap();
        };
    }
    requestSignIn(reason, std::move(onSuccess));
}

void CloudSide::requestSignIn(const QString &reason, std::function<void()> onSuccess)
{
    AccountModel &account = m_model.account();
    // A cached profile without a live session means a sign-in half done is stale: start afresh.
    if (account.hasProfile() && account.sessionKind() != AccountModel::SessionKind::Authenticated)
        account.resetSignIn();
    else
        account.prepareSignIn();
    SignInRequest request;
    request.reason = reason;
    if (account.hasProfile())
        request.suggestedEmail = account.profileEmail();
    request.createdAt = m_model.clock().now();
    request.onSuccess = std::move(onSuccess);
    setSignIn(std::move(request));
}

void CloudSide::finishSignIn(const QUuid &requestID)
{
    if (!m_signIn || m_signIn->id != requestID) {
        completePendingSignIn();
        return;
    }
    // Cleared before the continuation runs, so it runs once even if it asks for another sign-in.
    const SignInRequest request = *std::exchange(m_signIn, std::nullopt);
    Q_EMIT signInChanged();
    if (request.onSuccess)
        request.onSuccess();
}

void CloudSide::completePendingSignIn()
{
    if (!m_signIn || m_model.account().sessionKind() != AccountModel::SessionKind::Authenticated)
        return;
    const SignInRequest request = *std::exchange(m_signIn, std::nullopt);
    Q_EMIT signInChanged();
    const bool fresh = request.createdAt.msecsTo(m_model.clock().now()) < signInFreshSeconds * 1000;
    if (fresh && request.onSuccess)
        request.onSuccess();
}

void CloudSide::dismissSignIn()
{
    setSignIn(std::nullopt);
}

void CloudSide::setSignIn(std::optional<SignInRequest> request)
{
    if (!request && !m_signIn)
        return;
    m_signIn = std::move(request);
    Q_EMIT signInChanged();
}

QCoro::Task<> CloudSide::signOut()
{
    const QPointer<CloudSide> self(this);
    const bool revoked = co_await m_model.account().signOut();
    if (!self || revoked)
        co_return;
    // The identity itself follows the client's sign-out event through the watch.
    m_model.confirms().present(
        ConfirmRequest::notice(signedOutLocallyTitle, signedOutLocallyMessage, QStringLiteral("cloud-off")));
}

void CloudSide::startSignOut()
{
    signOut();
}

SignInRequest CloudSide::signInValue() const
{
    if (m_signIn)
        return *m_signIn;
    SignInRequest none;
    none.id = QUuid();
    return none;
}
