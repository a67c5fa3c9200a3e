// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
//
// PublishAccessStore, continued: the Webflow connect flow, the contexts of its attempts and their
// cancellation, and the reconciliation of the receipts that unconfirmed cancellations leave.
#include "publishing/PublishAccessStore.h"

#include "backend/BackendClient.h"
#include "foundation/Clock.h"
#include "foundation/UuidText.h"
#include "platform/ConsentBrowser.h"
#include "publishing/AuthorizeLink.h"
#include "publishing/ConnectingPillControl.h"
#include "publishing/PublishAccessCalls.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString startArea = u"webflow-mcp-oauth-start"_s;

/// What to do with a start reply.
enum class OAuthStartDisposition {
    Cancel,            ///< valid, but the attempt was cancelled meanwhile: cancel it at the backend
    ContinueLocally,   ///< valid and still wanted by the same account: on to the browser
    OperationMismatch, ///< for another operation, or without a state
    InvalidCapability, ///< the cancel capability is malformed
    StaleIdentity,     ///< the signed-in account changed since the attempt began
};

} // namespace

std::chrono::milliseconds PublishAccessStore::inspectionInterval(std::chrono::milliseconds elapsed)
{
    // Consent usually takes seconds; an attempt left open in the browser is asked about less.
    if (elapsed < 30s)
        return 2s;
    if (elapsed < 120s)
        return 5s;
    return 15s;
}

// --- Connect ----------------------------------------------------------------------------------

QCoro::Task<std::optional<QString>> PublishAccessStore::connect(std::optional<QString> siteID,
                                                                std::optional<QString> siteName, QString label,
                                                                QUuid operationID)
{
    const QPointer<PublishAccessStore> self(this);
    // An older attempt is superseded here and stops at its next step.
    m_activeConnectOperationID = operationID;
    const std::optional<QString> result =
        co_await followConnect(std::move(siteID), std::move(siteName), std::move(label), operationID);
    // Last on every path.
    if (self)
        endConnect(operationID);
    co_return result;
}

QCoro::Task<std::optional<QString>> PublishAccessStore::followConnect(std::optional<QString> siteID,
                                                                      std::optional<QString> siteName, QString label,
                                                                      QUuid operationID)
{
    const QPointer<PublishAccessStore> self(this);
    setLastError(std::nullopt);
    const std::optional<QUuid> entryUser = m_boundUserID;
    const qint64 entryGeneration = m_authGeneration;
    // The start and every inspection go through the client of the beginning.
    BackendClient *const client = m_client;

    std::optional<CloudAuthSnapshot> snapshot;
    if (client) {
        snapshot = co_await captureAuthSnapshot();
        if (!self)
            co_return std::nullopt;
    }
    if (!snapshot) {
        // A binding that moved meanwhile explains the missing snapshot better than signing in.
        if (isCurrentConnect(operationID) && m_boundUserID == entryUser && m_authGeneration == entryGeneration)
            setLastError(connectSignInFirstSentence);
        co_return std::nullopt;
    }
    if (!isCurrentConnect(operationID))
        co_return std::nullopt;

    const QUuid runID = QUuid::createUuid();
    const QDateTime expiresAt = m_clock.now().addSecs(connectLifetime.count());
    m_connectContexts.insert(operationID, OAuthConnectContext{runID, *snapshot, {}, {}, expiresAt, false});
    scheduleContextExpiry(operationID, runID, expiresAt);
    // A cancelled operation goes on only to learn what its backend cancel needs.
    if (m_cancelledConnectOperationIDs.contains(operationID))
        m_activeConnectOperationID.reset();

    const StartRequest request{siteID, siteName, snapshot->userID, operationID};
    const BackendResult<OAuthStartResponse> reply = co_await PublishAccessCalls::startOAuth(client, request);
    if (!self)
        co_return std::nullopt;
    if (!reply) {
        if (settleUnusableStart(operationID, runID) || !isCurrentConnect(operationID))
            co_return std::nullopt;
        const bool wanted = co_await connectStillWanted(operationID, *snapshot);
        if (!self || !wanted)
            co_return std::nullopt;
        m_pill.dismiss();
        setLastError(startFailedSentence);
        record(startArea, reply.error().message());
        co_return std::nullopt;
    }

    const OAuthStartResponse &start = reply.value();
    const bool cancelled = m_cancelledConnectOperationIDs.contains(operationID);
    OAuthStartDisposition disposition = OAuthStartDisposition::StaleIdentity;
    if (start.operationID != operationID || start.state.isEmpty())
        disposition = OAuthStartDisposition::OperationMismatch;
    else if (!AuthorizeLink::isCancelCapability(start.cancelCapability))
        disposition = OAuthStartDisposition::InvalidCapability;
    else if (cancelled)
        disposition = OAuthStartDisposition::Cancel;
    else if (m_boundUserID == snapshot->userID && m_authGeneration == snapshot->generation)
        disposition = OAuthStartDisposition::ContinueLocally;

    const OAuthCancelCommand command{start.state, operationID, start.cancelCapability};
    switch (disposition) {
    case OAuthStartDisposition::Cancel:
        recordStart(command, *snapshot, expiresAt);
        beginPendingCancel(operationID);
        co_return std::nullopt;
    case OAuthStartDisposition::StaleIdentity:
        discardConnect(operationID);
        co_return std::nullopt;
    case OAuthStartDisposition::OperationMismatch:
    case OAuthStartDisposition::InvalidCapability: {
        // Nothing in this reply can be trusted, not even to cancel with.
        if (settleUnusableStart(operationID, runID) || !isCurrentConnect(operationID))
            co_return std::nullopt;
        const bool wanted = co_await connectStillWanted(operationID, *snapshot);
        if (self && wanted)
            setLastError(unverifiedStartSentence);
        co_return std::nullopt;
    }
    case OAuthStartDisposition::ContinueLocally:
        break;
    }

    recordStart(command, *snapshot, expiresAt);
    if (!isCurrentConnect(operationID))
        co_return std::nullopt;
    const bool wanted = co_await connectStillWanted(operationID, *snapshot);
    if (!self || !wanted)
        co_return std::nullopt;

    const std::optional<QByteArray> link = AuthorizeLink::validatedAuthorizeURL(start.authorizeURL, start.state, m_backendURL);
    if (!link) {
        setLastError(linkRefusedSentence);
        co_return std::nullopt;
    }
    m_pill.show(label);
    if (!m_browser->open(*link)) {
        m_pill.dismiss();
        setLastError(browserRefusedSentence);
        co_return std::nullopt;
    }

    // Elapsed time and the deadline go by the wall clock; the waits by the suspend-proof one, so
    // that the attempt is asked about at once after the machine wakes.
    const QDateTime handedOff = m_clock.now();
    const QDateTime deadline = handedOff.addSecs(connectLifetime.count());
    const InspectAttempt inspection{start.state};
    bool pillMarked = false;
    for (;;) {
        const QDateTime now = m_clock.now();
        if (now >= deadline) {
            if (isCurrentConnect(operationID))
                setLastError(notCompletedSentence);
            dismissPillUnlessConnected(operationID, pillMarked);
            co_return std::nullopt;
        }
        co_await m_delay(inspectionInterval(std::chrono::milliseconds(handedOff.msecsTo(now))));
        if (!self)
            co_return std::nullopt;
        if (!isCurrentConnect(operationID)) {
            dismissPillUnlessConnected(operationID, pillMarked);
            co_return std::nullopt;
        }
        const bool stillWanted = co_await connectStillWanted(operationID, *snapshot);
        if (!self)
            co_return std::nullopt;
        if (!stillWanted) {
            dismissPillUnlessConnected(operationID, pillMarked);
            co_return std::nullopt;
        }

        const std::optional<StateVerdict> verdict = co_await PublishAccessCalls::inspectAttempt(client, inspection);
        if (!self)
            co_return std::nullopt;
        if (!verdict)
            continue;
        // The grants are read afresh before the verdict is acted on, so that the panel shows the
        // connected site together with the result.
        bool wantedStill = co_await connectStillWanted(operationID, *snapshot);
        if (wantedStill) {
            co_await refresh();
            if (!self)
                co_return std::nullopt;
            wantedStill = co_await connectStillWanted(operationID, *snapshot);
        }
        if (!self)
            co_return std::nullopt;
        if (!wantedStill) {
            dismissPillUnlessConnected(operationID, pillMarked);
            co_return std::nullopt;
        }

        if (verdict->outcome == u"granted"_s) {
            pillMarked = m_pill.markConnected(label);
            dismissPillUnlessConnected(operationID, pillMarked);
            co_return verdict->landedSiteID ? verdict->landedSiteID : siteID;
        }
        std::optional<QString> failure;
        if (verdict->outcome == u"rejected"_s)
            failure = rejectedSentence;
        else if (verdict->phase == u"recovery_required"_s)
            failure = recoveryRequiredSentence;
        else if (verdict->phase == u"reconciliation_pending"_s)
            failure = reconciliationPendingSentence;
        if (failure) {
            setLastError(failure);
            dismissPillUnlessConnected(operationID, pillMarked);
            co_return std::nullopt;
        }
    }
}

bool PublishAccessStore::isCurrentConnect(const QUuid &operationID) const
{
    return m_activeConnectOperationID == operationID;
}

QCoro::Task<bool> PublishAccessStore::connectStillWanted(QUuid operationID, CloudAuthSnapshot snapshot)
{
    const QPointer<PublishAccessStore> self(this);
    const bool current = co_await isCurrentIdentity(snapshot);
    co_return self && current && isCurrentConnect(operationID);
}

void PublishAccessStore::endConnect(const QUuid &operationID)
{
    if (isCurrentConnect(operationID))
        m_activeConnectOperationID.reset();
    // A cancelled operation keeps its context until its cancellation settles.
    if (!m_cancelledConnectOperationIDs.contains(operationID))
        discardConnect(operationID);
}

void PublishAccessStore::dismissPillUnlessConnected(const QUuid &operationID, bool pillMarked)
{
    // An attempt that is no longer active leaves the pill to whoever ended it or took it over.
    if (isCurrentConnect(operationID) && !pillMarked)
        m_pill.dismiss();
}

bool PublishAccessStore::settleUnusableStart(const QUuid &operationID, const QUuid &runID)
{
    if (!m_cancelledConnectOperationIDs.contains(operationID) || !isSettleable(operationID, runID))
        return false;
    finishCancelledConnect(OAuthCancellationOutcome::ReconciliationRequired, operationID, runID);
    return true;
}

// --- Contexts and cancellation ----------------------------------------------------------------

void PublishAccessStore::recordStart(const OAuthCancelCommand &command, const CloudAuthSnapshot &auth,
                                     const QDateTime &expiresAt)
{
    if (!AuthorizeLink::isCancelCapability(command.cancelCapability))
        return;
    const auto existing = m_connectContexts.constFind(command.operationID);
    const bool known = existing != m_connectContexts.cend();
    const OAuthConnectContext context{known ? existing->runID : QUuid::createUuid(),
                                      auth,
                                      command.state,
                                      command.cancelCapability,
                                      expiresAt,
                                      known && existing->cancelStarted};
    m_connectContexts.insert(command.operationID, context);
    scheduleContextExpiry(command.operationID, context.runID, expiresAt);
}

void PublishAccessStore::scheduleContextExpiry(const QUuid &operationID, const QUuid &runID, const QDateTime &expiresAt)
{
    const qint64 limit = std::chrono::milliseconds(connectLifetime).count();
    const auto wait = std::chrono::milliseconds(std::clamp<qint64>(m_clock.now().msecsTo(expiresAt), 0, limit));
    const quint64 task = ++m_expiryTaskCount;
    m_contextExpiryTasks.insert(operationID, task);
    expireContext(this, m_delay, wait, operationID, runID, task);
}

QCoro::Task<> PublishAccessStore::expireContext(QPointer<PublishAccessStore> store, ContinuousClock::Delay delay,
                                                std::chrono::milliseconds wait, QUuid operationID, QUuid runID,
                                                quint64 task)
{
    // Nobody awaits this task: the store may be gone, or the context settled, when the wait ends.
    co_await delay(wait);
    if (!store || store->m_contextExpiryTasks.value(operationID) != task)
        co_return;
    const auto context = store->m_connectContexts.constFind(operationID);
    if (context == store->m_connectContexts.cend() || context->runID != runID)
        co_return;
    if (store->m_cancelledConnectOperationIDs.contains(operationID)) {
        store->finishCancelledConnect(OAuthCancellationOutcome::ReconciliationRequired, operationID, runID);
        co_return;
    }
    // The context expires just before the inspections reach their own limit, which would have
    // told the user; an attempt still followed ends here with the same sentence, not in silence.
    const bool followed = store->isCurrentConnect(operationID);
    store->discardConnect(operationID);
    if (followed) {
        store->m_pill.dismiss();
        store->setLastError(notCompletedSentence);
    }
}

void PublishAccessStore::discardConnect(const QUuid &operationID)
{
    if (isCurrentConnect(operationID))
        m_activeConnectOperationID.reset();
    m_connectContexts.remove(operationID);
    m_cancelledConnectOperationIDs.remove(operationID);
    m_cancellationHandlers.remove(operationID);
    m_contextExpiryTasks.remove(operationID);
}

void PublishAccessStore::settleExpiredContexts(const QDateTime &now)
{
    const QHash<QUuid, OAuthConnectContext> contexts = m_connectContexts;
    for (auto it = contexts.cbegin(); it != contexts.cend(); ++it) {
        if (it->expiresAt > now)
            continue;
        if (m_cancelledConnectOperationIDs.contains(it.key()))
            finishCancelledConnect(OAuthCancellationOutcome::ReconciliationRequired, it.key(), it->runID);
        else
            discardConnect(it.key());
    }
}

bool PublishAccessStore::cancelConnect(const QUuid &operationID, CancellationHandler handler)
{
    if (!m_connectContexts.contains(operationID))
        return false;
    if (handler)
        m_cancellationHandlers.insert(operationID, std::move(handler));
    m_cancelledConnectOperationIDs.insert(operationID);
    if (isCurrentConnect(operationID))
        m_activeConnectOperationID.reset();
    m_pill.dismiss();
    beginPendingCancel(operationID);
    return true;
}

void PublishAccessStore::cancelAllConnects()
{
    // The expired first: they are past cancelling, and settle without a backend call.
    settleExpiredContexts(m_clock.now());
    const QList<QUuid> operations = m_connectContexts.keys();
    for (const QUuid &operation : operations) {
        // Marked first: the cancel acts only on marked operations.
        m_cancelledConnectOperationIDs.insert(operation);
        beginPendingCancel(operation);
    }
    m_activeConnectOperationID.reset();
    m_pill.dismiss();
}

void PublishAccessStore::beginPendingCancel(const QUuid &operationID)
{
    if (!m_cancelledConnectOperationIDs.contains(operationID))
        return;
    const auto context = m_connectContexts.find(operationID);
    // Before the start reply there is nothing to cancel with: the flow calls again when it comes.
    if (context == m_connectContexts.end() || !context->state || !context->cancelCapability || context->cancelStarted)
        return;
    if (context->expiresAt <= m_clock.now()) {
        finishCancelledConnect(OAuthCancellationOutcome::ReconciliationRequired, operationID, context->runID);
        return;
    }
    context->cancelStarted = true;
    sendCancel(this, OAuthCancelCommand{*context->state, operationID, *context->cancelCapability}, context->runID);
}

QCoro::Task<> PublishAccessStore::sendCancel(QPointer<PublishAccessStore> store, OAuthCancelCommand command, QUuid runID)
{
    // One attempt, no retry: whatever does not confirm the cancel leaves a receipt, and the
    // backend's record of the attempt settles it later.
    const QUuid operation = command.operationID;
    if (!store || !store->isSettleable(operation, runID))
        co_return;
    BackendClient *const client = store->m_client;
    if (!client) {
        store->finishCancelledConnect(OAuthCancellationOutcome::ReconciliationRequired, operation, runID);
        co_return;
    }
    const OAuthCancelRequest request{command.state, operation, command.cancelCapability};
    const BackendResult<OAuthCancelResponse> reply = co_await PublishAccessCalls::cancelOAuth(client, request);
    if (!store || !store->isSettleable(operation, runID))
        co_return;
    // An attempt that had already ended is not taken as cancelled: only its record tells how.
    const bool confirmed = reply && reply.value().cancelled == true;
    store->finishCancelledConnect(confirmed ? OAuthCancellationOutcome::Cancelled
                                            : OAuthCancellationOutcome::ReconciliationRequired,
                                  operation, runID);
}

bool PublishAccessStore::isSettleable(const QUuid &operationID, const QUuid &runID) const
{
    const auto context = m_connectContexts.constFind(operationID);
    return context != m_connectContexts.cend() && context->runID == runID
        && m_cancelledConnectOperationIDs.contains(operationID);
}

void PublishAccessStore::finishCancelledConnect(OAuthCancellationOutcome outcome, const QUuid &operationID,
                                                const QUuid &runID)
{
    if (!isSettleable(operationID, runID))
        return;
    const OAuthConnectContext context = m_connectContexts.value(operationID);
    const CancellationHandler handler = m_cancellationHandlers.take(operationID);
    m_connectContexts.remove(operationID);
    m_cancelledConnectOperationIDs.remove(operationID);
    m_contextExpiryTasks.remove(operationID);
    if (isCurrentConnect(operationID))
        m_activeConnectOperationID.reset();
    QHash<QUuid, OAuthCancellationOutcome> outcomes = m_oauthCancellationReceipts;
    outcomes.insert(operationID, outcome);
    assign(m_oauthCancellationReceipts, outcomes, &PublishAccessStore::oauthCancellationReceiptsChanged);

    // The receipt is the starting account's, whoever is signed in now.
    if (outcome == OAuthCancellationOutcome::ReconciliationRequired)
        recordUnresolvedCancellation(context.auth.userID, operationID);
    else
        removeUnresolvedCancellation(context.auth.userID, operationID);
    if (handler)
        handler(outcome);
}

void PublishAccessStore::recordUnresolvedCancellation(const QUuid &ownerID, const QUuid &operationID)
{
    OAuthCancellationReceiptMap receipts = m_unresolved;
    receipts.insert(operationID, UnresolvedOAuthCancellation{ownerID, operationID});
    persistCancellationReceipts(receipts);
    // Kept also when it could not be saved: the notice can still be given during this run.
    m_unresolved = receipts;
    emit unresolvedCancellationRecorded(ownerID);
}

bool PublishAccessStore::removeUnresolvedCancellation(const QUuid &ownerID, const QUuid &operationID)
{
    const auto receipt = m_unresolved.constFind(operationID);
    if (receipt == m_unresolved.cend() || receipt->ownerID != ownerID)
        return false;
    OAuthCancellationReceiptMap receipts = m_unresolved;
    receipts.remove(operationID);
    // Evidence leaves memory only once it has left the file.
    if (!persistCancellationReceipts(receipts))
        return false;
    m_unresolved = receipts;
    return true;
}

// --- Reconciliation ---------------------------------------------------------------------------

QCoro::Task<std::optional<OAuthCancellationNotice>> PublishAccessStore::reconcileCancellationReceipts(QUuid ownerID)
{
    const QPointer<PublishAccessStore> self(this);
    QList<UnresolvedOAuthCancellation> owned;
    for (const UnresolvedOAuthCancellation &receipt : std::as_const(m_unresolved)) {
        if (receipt.ownerID == ownerID)
            owned.append(receipt);
    }
    if (owned.isEmpty() || m_boundUserID != ownerID || !m_client)
        co_return std::nullopt;
    // The file's order, so that passes walk the receipts alike.
    std::sort(owned.begin(), owned.end(), [](const auto &left, const auto &right) {
        return UuidText::format(left.operationID) < UuidText::format(right.operationID);
    });
    BackendClient *const client = m_client;

    const std::optional<CloudAuthSnapshot> snapshot = co_await captureAuthSnapshot();
    if (!self || !snapshot || snapshot->userID != ownerID)
        co_return std::nullopt;
    const BackendResult<QList<OAuthTruthRow>> rows = co_await PublishAccessCalls::readCancellationTruth(client);
    if (!self || !rows)
        co_return std::nullopt;
    const bool current = co_await isCurrentIdentity(*snapshot);
    if (!self || !current)
        co_return std::nullopt;

    QHash<QUuid, QString> phases;
    for (const OAuthTruthRow &row : rows.value()) {
        // The first row of an operation decides.
        if (!phases.contains(row.operationID))
            phases.insert(row.operationID, row.phase);
    }
    for (const UnresolvedOAuthCancellation &receipt : std::as_const(owned)) {
        const auto phase = phases.constFind(receipt.operationID);
        // No record yet: this receipt waits for a later pass, and the next ones are still read.
        if (phase == phases.cend())
            continue;
        if (*phase == u"cancelled"_s || *phase == u"rejected"_s || *phase == u"expired"_s) {
            removeUnresolvedCancellation(ownerID, receipt.operationID);
            continue;
        }
        // Resolved by another pass during the read: nothing left to tell.
        if (!m_unresolved.contains(receipt.operationID))
            continue;
        const auto kind = *phase == u"committed"_s ? OAuthCancellationNotice::Kind::AuthorizationCompleted
                                                   : OAuthCancellationNotice::Kind::NeedsReview;
        co_return OAuthCancellationNotice{ownerID, receipt.operationID, kind};
    }
    co_return std::nullopt;
}

bool PublishAccessStore::hasUnresolvedCancellations(const QUuid &ownerID) const
{
    return std::any_of(m_unresolved.cbegin(), m_unresolved.cend(),
                       [&ownerID](const UnresolvedOAuthCancellation &receipt) { return receipt.ownerID == ownerID; });
}

bool PublishAccessStore::resolveCancellationReceipt(const QUuid &ownerID, const QUuid &operationID)
{
    if (!removeUnresolvedCancellation(ownerID, operationID))
        return false;
    QHash<QUuid, OAuthCancellationOutcome> outcomes = m_oauthCancellationReceipts;
    outcomes.remove(operationID);
    assign(m_oauthCancellationReceipts, outcomes, &PublishAccessStore::oauthCancellationReceiptsChanged);
    return true;
}
