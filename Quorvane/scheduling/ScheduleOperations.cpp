// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary

// The schedule store's cloud writes: replace, cancel and the project-removal lease.
#include "scheduling/ScheduleStore.h"

#include "backend/BackendClient.h"
#include "scheduling/BeginProjectRemovalResponse.h"
#include "scheduling/CancelRPCResult.h"
#include "scheduling/ReplaceParams.h"
#include "scheduling/ScheduleCloudRow.h"
#include "scheduling/ScheduleWriteRules.h"

using namespace Qt::StringLiterals;

namespace {

using Outcome = ScheduleOperationOutcome::Case;

const QString kRemovalInProgress =
    u"This project is being removed, so no new publish was scheduled. Finish or cancel removal first."_s;
const QString kSaveOffline =
    u"Couldn't save: the cloud can't be reached, so nothing was scheduled. Try again when it's back."_s;
const QString kSaveUninitialized =
    u"Couldn't save because cloud scheduling has not initialized. Nothing was scheduled."_s;
const QString kSaveUnidentified = u"Couldn't identify the signed-in account, so nothing was scheduled."_s;
const QString kReplaceUnconfirmedLater =
    u"Couldn't confirm the schedule with the cloud. The queue will reconcile before any retry."_s;
const QString kReplaceReadFailed = u"Couldn't reach the cloud to confirm the schedule. The draft remains "
                                   "unconfirmed until the queue refreshes."_s;
const QString kReplaceStillUnconfirmed =
    u"The schedule is still unconfirmed. Refresh the queue before trying again."_s;
const QString kReplaceSuperseded = u"A newer schedule is set for this site. The queue now shows it."_s;
const QString kReplaceAbsent = u"The cloud confirmed that this schedule was not saved."_s;

const QString kCancelOffline = u"Couldn't cancel: the cloud can't be reached. The publish is still scheduled."_s;
const QString kCancelUninitialized =
    u"Couldn't cancel because cloud scheduling has not initialized. The publish was kept."_s;
const QString kCancelUnidentified = u"Couldn't identify the signed-in account, so the publish was kept."_s;
const QString kCancelPublishing = u"That publish is running right now and can't be cancelled. Its card was kept."_s;
const QString kCancelUnknown =
    u"Couldn't confirm the cancellation, so the publish card was kept and it may still fire."_s;
const QString kCancelStillUnconfirmed =
    u"The cloud still hasn't confirmed this change. Refresh before trying again."_s;

const QString kRemovalUnidentified =
    u"Couldn't identify the signed-in account, so the project and its publish were kept."_s;
const QString kRemovalNoCloud = u"Couldn't check the cloud, so the project and its publish were kept."_s;
const QString kRemovalPublishing = u"That publish is running right now, so the project was kept."_s;
const QString kRemovalUnknown = u"Couldn't reach the cloud to cancel, so the project and its publish were kept."_s;
const QString kRemovalSuperseded = u"A newer publish exists for this project, so the project was kept."_s;
const QString kRemovalUnprotected = u"The cloud cancelled the publish but couldn't protect removal from a "
                                    "replacement, so the project was kept. Try again shortly."_s;
const QString kFinishCommittedFailed = u"Project removal finished, but scheduling may remain blocked briefly "
                                       "while its cloud safety lease expires."_s;
const QString kFinishStoppedFailed = u"Project removal was stopped, but scheduling may remain blocked briefly "
                                     "while its cloud safety lease expires."_s;

QString newerPublishSentence(const ScheduledPublish &newer)
{
    return u"A newer publish is scheduled for "_s + newer.siteName + u". The queue now shows it."_s;
}

// A failed call, or a reply that does not decode, as the one error of the call.
template<typename T, typename Decode>
std::optional<T> decodeInto(BackendResult<QJsonValue> &reply, BackendError &error, Decode decode)
{
    if (!reply) {
        error = reply.error();
        return std::nullopt;
    }
    QString problem;
    std::optional<T> value = decode(reply.value(), &problem);
    if (!value)
        error = BackendError::invalidReply(problem);
    return value;
}

const ProjectCancellationResult kKept{CancellationOutcome::unknown(), std::nullopt};

} // namespace

// --- Shared frame -------------------------------------------------------------------------------

QCoro::Task<> ScheduleStore::tracked(std::shared_ptr<OperationTask> task, QCoro::Task<> work)
{
    co_await std::move(work);
    task->finish();
}

void ScheduleStore::chainWrite(const QUuid &operationID, const std::shared_ptr<OperationTask> &task)
{
    m_writeChain = task;
    m_operationTasks.insert(operationID, task);
}

ScheduleOperationStatus ScheduleStore::refuseAtOnce(const ScheduleOperationKind &kind, const QString &sentence)
{
    const ScheduleOperationStatus status{QUuid::createUuid(), kind, ScheduleOperationOutcome::refused(sentence)};
    setLatestOperation(status);
    setSyncError(sentence);
    return status;
}

void ScheduleStore::refuseUnsent(const QUuid &operationID, const QString &sentence)
{
    ++m_queueReadFence.mutationRevision;
    const std::optional<ScheduleOperationStatus> settled = m_coordinator.refuse(operationID, sentence);
    if (!settled)
        return;
    showVisibleSchedules();
    publishSettlements(settled);
    setSyncError(sentence);
}

QCoro::Task<std::optional<ScheduleOperationStatus>> ScheduleStore::awaitOperation(QUuid operationID)
{
    const QPointer<ScheduleStore> self(this);
    // Calls are made before their co_await: g++ 12 may destroy temporaries of a co_await
    // expression twice.
    QCoro::Task<> finished = OperationTask::waitFor(m_operationTasks.value(operationID));
    co_await std::move(finished);
    if (!self)
        co_return std::nullopt;
    m_operationTasks.remove(operationID);
    const auto found = m_operationStatuses.constFind(operationID);
    if (found == m_operationStatuses.cend())
        co_return std::nullopt;
    co_return *found;
}

QCoro::Task<bool> ScheduleStore::takeWriteTurn(std::shared_ptr<OperationTask> previous, CloudAuthSnapshot snapshot,
                                               QUuid operationID, QString unidentified)
{
    const QPointer<ScheduleStore> self(this);
    QCoro::Task<> previousWrite = OperationTask::waitFor(previous);
    co_await std::move(previousWrite);
    if (!self)
        co_return false;
    const IdentityCheck check = co_await checkIdentity(snapshot);
    if (!self || check == IdentityCheck::Rebound)
        co_return false;
    if (check == IdentityCheck::Unverified) {
        // Nothing was sent, so nothing can have been saved; left pending it would wait forever.
        refuseUnsent(operationID, unidentified);
        co_return false;
    }
    co_return true;
}

// --- Replace ------------------------------------------------------------------------------------

ScheduleOperationStatus ScheduleStore::replaceSchedule(const ScheduledPublish &draft)
{
    std::optional<CloudAuthSnapshot> identity;
    if (m_boundUserID)
        identity = CloudAuthSnapshot{*m_boundUserID, m_identityEpoch};
    const ScheduleOperationKind kind = ScheduleOperationKind::replace(draft.id, draft.siteId);
    if (hasRemovalBarrier(draft, identity))
        return refuseAtOnce(kind, kRemovalInProgress);
    if (m_client && m_cloudState != CloudState::Cloud)
        return refuseAtOnce(kind, kSaveOffline);
    if (!m_client && !m_localOnly)
        return refuseAtOnce(kind, kSaveUninitialized);

    ++m_queueReadFence.mutationRevision;
    const QUuid operationID = QUuid::createUuid();
    const ScheduleOperationStatus status = m_coordinator.beginReplace(draft, operationID);
    setLatestOperation(status);
    showVisibleSchedules();
    setSyncError(std::nullopt);

    if (m_client) {
        const qint64 generation = ++m_writeGeneration;
        if (!identity) {
            refuseUnsent(operationID, kSaveUnidentified);
            return m_latestOperation.value_or(status);
        }
        const std::shared_ptr<OperationTask> previous = m_writeChain;
        const auto task = std::make_shared<OperationTask>();
        chainWrite(operationID, task);
        tracked(task, runReplaceOperation(previous, *identity, m_client, draft, status, generation));
        return status;
    }

    ++m_queueReadFence.mutationRevision;
    const std::optional<ScheduleOperationStatus> settled = m_coordinator.applyReplaceResponse(operationID, std::nullopt);
    showVisibleSchedules();
    publishSettlements(settled);
    persistCache();
    return settled.value_or(status);
}

QCoro::Task<> ScheduleStore::runReplaceOperation(std::shared_ptr<OperationTask> previous, CloudAuthSnapshot snapshot,
                                                 QPointer<BackendClient> client, ScheduledPublish draft,
                                                 ScheduleOperationStatus status, qint64 generation)
{
    // Parameters by value: the task outlives replaceSchedule's call.
    const QPointer<ScheduleStore> self(this);
    QCoro::Task<bool> turn = takeWriteTurn(previous, snapshot, status.id, kSaveUnidentified);
    if (!co_await std::move(turn))
        co_return;
    if (!client) {
        refuseUnsent(status.id, kSaveUnidentified);
        co_return;
    }

    QCoro::Task<BackendResult<QJsonValue>> call =
        client->rpc(u"replace_scheduled_publish"_s, ReplaceParams{draft, snapshot.userID}.toJson());
    BackendResult<QJsonValue> reply = co_await std::move(call);
    if (!self)
        co_return;
    BackendError error;
    const std::optional<ScheduleCloudRow> row = decodeInto<ScheduleCloudRow>(reply, error, [](const QJsonValue &value, QString *problem) {
        return ScheduleCloudRow::fromJson(value, problem);
    });
    const IdentityCheck after = co_await checkIdentity(snapshot);
    if (!self || after == IdentityCheck::Rebound)
        co_return;
    // Sent, but the answer cannot be tied to this account: only a queue read can tell.
    if (after == IdentityCheck::Unverified) {
        QCoro::Task<> settling = settleUnconfirmedReplace(status, generation);
        co_await std::move(settling);
        co_return;
    }

    if (row) {
        const std::optional<ScheduledPublish> canonical = ScheduleWriteRules::canonicalSchedule(*row, draft, snapshot.userID);
        if (!canonical) {
            QCoro::Task<> settling = settleUnconfirmedReplace(status, generation);
            co_await std::move(settling);
            co_return;
        }
        ++m_queueReadFence.mutationRevision;
        const std::optional<ScheduleOperationStatus> accepted = m_coordinator.applyReplaceResponse(status.id, canonical);
        publishSettlements(accepted);
        showVisibleSchedules();
        persistCache();
        if (generation == m_writeGeneration)
            setSyncError(std::nullopt);
        co_return;
    }

    if (const std::optional<QString> refusal = ScheduleWriteRules::userMessageForScheduleError(error.message())) {
        ++m_queueReadFence.mutationRevision;
        const std::optional<ScheduleOperationStatus> refused = m_coordinator.refuse(status.id, *refusal);
        publishSettlements(refused);
        showVisibleSchedules();
        persistCache();
        setSyncError(*refusal);
        co_return;
    }
    QCoro::Task<> settling = settleUnconfirmedReplace(status, generation);
    co_await std::move(settling);
}

QCoro::Task<> ScheduleStore::settleUnconfirmedReplace(ScheduleOperationStatus status, qint64 generation)
{
    const QPointer<ScheduleStore> self(this);
    ++m_queueReadFence.mutationRevision;
    publishSettlements(m_coordinator.markAmbiguous(status.id));
    showVisibleSchedules();
    if (generation != m_writeGeneration) {
        setSyncError(kReplaceUnconfirmedLater);
        co_return;
    }
    const bool applied = co_await refreshQueue();
    if (!self)
        co_return;
    if (!applied) {
        setSyncError(kReplaceReadFailed);
        co_return;
    }
    const auto found = m_operationStatuses.constFind(status.id);
    if (found == m_operationStatuses.cend()) {
        setSyncError(kReplaceStillUnconfirmed);
        co_return;
    }
    switch (found->outcome.which()) {
    case Outcome::Accepted:
        setSyncError(std::nullopt);
        break;
    case Outcome::Superseded:
        setSyncError(kReplaceSuperseded);
        break;
    case Outcome::ConfirmedAbsent:
        setSyncError(kReplaceAbsent);
        break;
    case Outcome::Refused:
    case Outcome::Pending:
    case Outcome::Ambiguous:
    case Outcome::Publishing:
        setSyncError(kReplaceStillUnconfirmed);
        break;
    }
}

// --- Cancel -------------------------------------------------------------------------------------

ScheduleOperationStatus ScheduleStore::cancelSchedule(const QUuid &scheduleID)
{
    std::optional<QString> siteID;
    for (const ScheduledPublish &schedule : std::as_const(m_schedules)) {
        if (schedule.id == scheduleID) {
            siteID = schedule.siteId;
            break;
        }
    }
    const ScheduleOperationKind kind = ScheduleOperationKind::cancelRow(scheduleID, siteID);
    if (m_client && m_cloudState != CloudState::Cloud)
        return refuseAtOnce(kind, kCancelOffline);
    if (!m_client && !m_localOnly)
        return refuseAtOnce(kind, kCancelUninitialized);

    ++m_queueReadFence.mutationRevision;
    const ScheduleOperationStatus status{QUuid::createUuid(), kind, ScheduleOperationOutcome::pending()};
    m_coordinator.pending.append({status, PendingScheduleIntent::Phase::Pending});
    setLatestOperation(status);

    if (m_client) {
        const qint64 generation = ++m_writeGeneration;
        if (!m_boundUserID) {
            ++m_queueReadFence.mutationRevision;
            const std::optional<ScheduleOperationStatus> refused = m_coordinator.refuse(status.id, kCancelUnidentified);
            publishSettlements(refused);
            setSyncError(kCancelUnidentified);
            return refused.value_or(status);
        }
        const CloudAuthSnapshot snapshot{*m_boundUserID, m_identityEpoch};
        const std::shared_ptr<OperationTask> previous = m_writeChain;
        const auto task = std::make_shared<OperationTask>();
        chainWrite(status.id, task);
        tracked(task, runCancelOperation(previous, snapshot, scheduleID, status, generation));
        return status;
    }

    ++m_queueReadFence.mutationRevision;
    const std::optional<ScheduleOperationStatus> settled =
        m_coordinator.applyCancellation(status.id, CancellationOutcome::cancelled());
    showVisibleSchedules();
    publishSettlements(settled);
    persistCache();
    return settled.value_or(status);
}

QCoro::Task<> ScheduleStore::runCancelOperation(std::shared_ptr<OperationTask> previous, CloudAuthSnapshot snapshot,
                                                QUuid scheduleID, ScheduleOperationStatus status, qint64 generation)
{
    const QPointer<ScheduleStore> self(this);
    QCoro::Task<bool> turn = takeWriteTurn(previous, snapshot, status.id, kCancelUnidentified);
    if (!co_await std::move(turn))
        co_return;

    CancellationOutcome outcome = co_await requestCancellation(scheduleID, snapshot);
    if (!self)
        co_return;
    const IdentityCheck after = co_await checkIdentity(snapshot);
    if (!self || after == IdentityCheck::Rebound)
        co_return;
    if (after == IdentityCheck::Unverified)
        outcome = CancellationOutcome::unknown();

    applyCancellationOutcome(outcome, status, scheduleID, generation);
    if (outcome.which() != CancellationOutcome::Case::Unknown || generation != m_writeGeneration)
        co_return;
    const bool applied = co_await refreshQueue();
    if (self && applied)
        reportCancelStatus(status.id);
}

QCoro::Task<CancellationOutcome> ScheduleStore::requestCancellation(QUuid scheduleID, CloudAuthSnapshot snapshot)
{
    const QPointer<ScheduleStore> self(this);
    BackendClient *client = m_client;
    if (!client)
        co_return CancellationOutcome::unknown();
    QCoro::Task<BackendResult<QJsonValue>> call =
        client->rpc(u"cancel_scheduled_publish"_s, ScheduleWriteRules::cancelParams(scheduleID, snapshot.userID));
    BackendResult<QJsonValue> reply = co_await std::move(call);
    if (!self)
        co_return CancellationOutcome::unknown();
    BackendError error;
    const std::optional<CancelRPCResult> result = decodeInto<CancelRPCResult>(reply, error, &CancelRPCResult::fromJson);
    if (!result) {
        const bool current = co_await isCurrentIdentity(snapshot);
        if (self && current)
            record(u"schedule-cancel"_s, error.message());
        co_return CancellationOutcome::unknown();
    }
    co_return ScheduleWriteRules::cancellationOutcome(*result, scheduleID);
}

void ScheduleStore::applyCancellationOutcome(const CancellationOutcome &outcome, const ScheduleOperationStatus &status,
                                             const std::optional<QUuid> &scheduleID, qint64 generation)
{
    ++m_queueReadFence.mutationRevision;
    publishSettlements(m_coordinator.applyCancellation(status.id, outcome));
    showVisibleSchedules();

    QSet<QUuid> unconfirmed = m_cancellationUnconfirmed;
    const auto confirm = [&](bool confirmed) {
        if (!scheduleID)
            return;
        if (confirmed)
            unconfirmed.remove(*scheduleID);
        else
            unconfirmed.insert(*scheduleID);
        setCancellationUnconfirmed(unconfirmed);
    };
    switch (outcome.which()) {
    case CancellationOutcome::Case::Superseded:
        confirm(true);
        persistCache();
        setSyncError(newerPublishSentence(*outcome.schedule()));
        return;
    case CancellationOutcome::Case::Cancelled:
    case CancellationOutcome::Case::Absent:
        confirm(true);
        persistCache();
        if (generation == m_writeGeneration)
            setSyncError(std::nullopt);
        return;
    case CancellationOutcome::Case::Publishing:
        confirm(false);
        setSyncError(kCancelPublishing);
        return;
    case CancellationOutcome::Case::Unknown:
        confirm(false);
        setSyncError(kCancelUnknown);
        return;
    }
}

void ScheduleStore::reportCancelStatus(const QUuid &operationID)
{
    const auto found = m_operationStatuses.constFind(operationID);
    if (found == m_operationStatuses.cend())
        return;
    switch (found->outcome.which()) {
    case Outcome::Refused:
        setSyncError(found->outcome.message());
        return;
    case Outcome::Superseded:
        setSyncError(newerPublishSentence(*found->outcome.schedule()));
        return;
    case Outcome::Pending:
    case Outcome::Ambiguous:
        setSyncError(kCancelStillUnconfirmed);
        return;
    case Outcome::Accepted:
    case Outcome::ConfirmedAbsent:
        setSyncError(std::nullopt);
        return;
    case Outcome::Publishing:
        setSyncError(kCancelPublishing);
        return;
    }
}

// --- Project removal ----------------------------------------------------------------------------

QCoro::Task<ProjectCancellationResult> ScheduleStore::cancelProjectSchedule(std::optional<QString> siteID,
                                                                            QString connectionName)
{
    const QPointer<ScheduleStore> self(this);
    if (!m_boundUserID) {
        setSyncError(kRemovalUnidentified);
        co_return kKept;
    }
    const CloudAuthSnapshot identity{*m_boundUserID, m_identityEpoch};
    // In place before the first wait, so a save of the project is refused from now on.
    const ProjectCancellationLease lease{QUuid::createUuid(), std::nullopt,
                                         ProjectCancellationKey::forProject(siteID, connectionName), identity};
    m_barriers.add(lease);
    if (!m_client || m_cloudState != CloudState::Cloud) {
        setSyncError(kRemovalNoCloud);
        m_barriers.remove(lease);
        co_return kKept;
    }
    const std::optional<CloudAuthSnapshot> snapshot = co_await captureAuthSnapshot();
    if (!self)
        co_return kKept;
    if (!snapshot || *snapshot != identity || !m_client) {
        m_barriers.remove(lease);
        co_return kKept;
    }

    ++m_queueReadFence.mutationRevision;
    const ScheduleOperationStatus status{QUuid::createUuid(), ScheduleOperationKind::cancelProject(siteID, connectionName),
                                         ScheduleOperationOutcome::pending()};
    m_coordinator.pending.append({status, PendingScheduleIntent::Phase::Pending});
    setLatestOperation(status);
    const qint64 generation = ++m_writeGeneration;
    const std::shared_ptr<OperationTask> previous = m_writeChain;
    const auto task = std::make_shared<OperationTask>();
    chainWrite(status.id, task);
    // Later writes wait until this removal has been answered and applied.
    struct FinishOnExit
    {
        std::shared_ptr<OperationTask> task;
        ~FinishOnExit() { task->finish(); }
    } finishOnExit{task};

    QCoro::Task<RemovalAnswer> removal = runBeginProjectRemoval(previous, *snapshot, m_client, siteID, connectionName);
    const RemovalAnswer answer = co_await std::move(removal);
    if (!self)
        co_return kKept;
    m_operationTasks.remove(status.id);
    const IdentityCheck check = co_await checkIdentity(*snapshot);
    if (!self)
        co_return kKept;
    if (check == IdentityCheck::Rebound) {
        m_barriers.remove(lease);
        co_return kKept;
    }
    if (!answer.sent) {
        m_barriers.remove(lease);
        refuseUnsent(status.id, kRemovalUnidentified);
        co_return kKept;
    }
    if (check == IdentityCheck::Unverified) {
        // Sent, but the answer cannot be tied to this account: the queue read settles it.
        m_barriers.remove(lease);
        applyCancellationOutcome(CancellationOutcome::unknown(), status, std::nullopt, generation);
        setSyncError(kRemovalUnknown);
        if (answer.leaseID)
            co_await releaseServerLease(*snapshot, *answer.leaseID);
        co_return kKept;
    }

    applyCancellationOutcome(answer.outcome, status, std::nullopt, generation);
    switch (answer.outcome.which()) {
    case CancellationOutcome::Case::Publishing:
        m_barriers.remove(lease);
        setSyncError(kRemovalPublishing);
        co_return ProjectCancellationResult{answer.outcome, std::nullopt};
    case CancellationOutcome::Case::Unknown:
        m_barriers.remove(lease);
        setSyncError(kRemovalUnknown);
        co_return kKept;
    case CancellationOutcome::Case::Superseded:
        m_barriers.remove(lease);
        setSyncError(kRemovalSuperseded);
        co_return kKept;
    case CancellationOutcome::Case::Cancelled:
    case CancellationOutcome::Case::Absent:
        break;
    }
    if (answer.leaseID) {
        if (const std::optional<ProjectCancellationLease> held = m_barriers.attachServerID(*answer.leaseID, lease)) {
            setSyncError(std::nullopt);
            co_return ProjectCancellationResult{answer.outcome, held};
        }
    }
    m_barriers.remove(lease);
    setSyncError(kRemovalUnprotected);
    // The backend holds the site for a removal that will not go on: give its lease back now
    // rather than leave the site blocked until the lease expires.
    if (answer.leaseID)
        co_await releaseServerLease(*snapshot, *answer.leaseID);
    co_return kKept;
}

QCoro::Task<ScheduleStore::RemovalAnswer>
ScheduleStore::runBeginProjectRemoval(std::shared_ptr<OperationTask> previous, CloudAuthSnapshot snapshot,
                                      QPointer<BackendClient> client, std::optional<QString> siteID,
                                      QString connectionName)
{
    const QPointer<ScheduleStore> self(this);
    QCoro::Task<> previousWrite = OperationTask::waitFor(previous);
    co_await std::move(previousWrite);
    if (!self)
        co_return RemovalAnswer{};
    const bool current = co_await isCurrentIdentity(snapshot);
    if (!self || !current || !client)
        co_return RemovalAnswer{};

    QCoro::Task<BackendResult<QJsonValue>> call = client->rpc(
        u"begin_project_removal"_s, ScheduleWriteRules::beginRemovalParams(snapshot.userID, siteID, connectionName));
    BackendResult<QJsonValue> reply = co_await std::move(call);
    if (!self)
        co_return RemovalAnswer{CancellationOutcome::unknown(), std::nullopt, true};
    BackendError error;
    const std::optional<BeginProjectRemovalResponse> response =
        decodeInto<BeginProjectRemovalResponse>(reply, error, &BeginProjectRemovalResponse::fromJson);
    if (!response) {
        const bool stillCurrent = co_await isCurrentIdentity(snapshot);
        if (self && stillCurrent)
            record(u"schedule-cancel"_s, error.message());
        co_return RemovalAnswer{CancellationOutcome::unknown(), std::nullopt, true};
    }
    const ScheduleWriteRules::RemovalVerdict verdict = ScheduleWriteRules::removalVerdict(*response);
    co_return RemovalAnswer{verdict.outcome, verdict.leaseID, true};
}

QCoro::Task<> ScheduleStore::finishProjectRemoval(ProjectCancellationLease lease, bool committed)
{
    const QPointer<ScheduleStore> self(this);
    m_barriers.remove(lease);
    if (!lease.serverID || !m_client)
        co_return;
    const std::optional<CloudAuthSnapshot> snapshot = co_await captureAuthSnapshot();
    if (!self || !snapshot || *snapshot != lease.identity || !m_client)
        co_return;
    QCoro::Task<BackendResult<QJsonValue>> call = m_client->rpc(
        u"finish_project_removal"_s, ScheduleWriteRules::finishRemovalParams(snapshot->userID, *lease.serverID, committed));
    const BackendResult<QJsonValue> reply = co_await std::move(call);
    if (!self)
        co_return;
    std::optional<QString> failure;
    if (!reply)
        failure = reply.error().message();
    else if (!reply.value().isBool())
        failure = BackendError::invalidReply(u"the answer is not a boolean"_s).message();
    if (!failure)
        co_return;
    record(u"schedule-removal-finish"_s, *failure);
    setSyncError(committed ? kFinishCommittedFailed : kFinishStoppedFailed);
}

QCoro::Task<> ScheduleStore::releaseServerLease(CloudAuthSnapshot snapshot, QUuid leaseID)
{
    const QPointer<ScheduleStore> self(this);
    const bool current = co_await isCurrentIdentity(snapshot);
    BackendClient *client = self ? m_client.get() : nullptr;
    if (!current || !client)
        co_return;
    QCoro::Task<BackendResult<QJsonValue>> call = client->rpc(
        u"finish_project_removal"_s, ScheduleWriteRules::finishRemovalParams(snapshot.userID, leaseID, false));
    const BackendResult<QJsonValue> reply = co_await std::move(call);
    if (self && !reply)
        record(u"schedule-removal-finish"_s, reply.error().message());
}
