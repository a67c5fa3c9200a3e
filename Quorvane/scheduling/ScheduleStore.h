// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "backend/BackendError.h"
#include "foundation/ContinuousClock.h"
#include "foundation/StoreFile.h"
#include "platform/UserNotifications.h"
#include "model/CloudAuthSnapshot.h"
#include "scheduling/OperationTask.h"
#include "scheduling/ProjectCancellationBarrierRegistry.h"
#include "scheduling/ProjectCancellationLease.h"
#include "scheduling/PublishAttention.h"
#include "scheduling/PublishEventRow.h"
#include "scheduling/PublishRecord.h"
#include "scheduling/ScheduleIntentCoordinator.h"
#include "scheduling/ScheduleOperationStatus.h"
#include "scheduling/ScheduledPublish.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVariantList>
#include <QVariantMap>

#include <QCoro/QCoroTask>

#include <memory>
#include <optional>

class BackendClient;
class Clock;
class ErrorLog;

/// @brief The stale-read guard of queue reads: a read applies only while neither counter moved
/// since it started.
struct ScheduleReadFence
{
    qint64 latestReadID = 0;     ///< the number of the newest queue read
    qint64 mutationRevision = 0; ///< raised by every local change a read must not overwrite
};

/**
 * @brief The scheduling engine's model: the cloud queue of scheduled publishes with the changes
 * the cloud has not confirmed yet, the publish history, the outcome inbox, their cache file
 * scheduled-publishes.json, the account they belong to, and the removal leases of projects.
 *
 * The cloud is the source of truth; the cache only lets an account's queue and messages show
 * before the first read, and remembers per account which messages were acknowledged. A cache
 * file that cannot be used is left exactly as it is and the store keeps working in memory.
 *
 * Every backend step starts from a snapshot of the bound account and its identity counter and
 * applies its result only while both are still current; counters captured at the start of a read
 * or write (the read fence, the history sequence, the write generation) keep late results from
 * overwriting newer state. Cloud writes go one at a time in start order.
 *
 * One per process, made and owned by the application model; used on the main thread only. Every
 * setter compares before it notifies, so re-applying an unchanged read redraws nothing; the one
 * exception is the status table, which announces each status filed into it, so a view following
 * one operation hears about every step.
 */
class ScheduleStore : public QObject
{
    Q_OBJECT
    /// Whether the queue comes from the cloud.
    Q_PROPERTY(CloudState cloudState READ cloudState NOTIFY cloudStateChanged)
    /// The queue as the views show it, earliest first: one map per schedule, keyed as the cache
    /// file keys it.
    Q_PROPERTY(QVariantList schedules READ scheduleItems NOTIFY schedulesChanged)
    /// The last history read, newest first: one map per finished publish.
    Q_PROPERTY(QVariantList history READ historyItems NOTIFY historyChanged)
    /// How the history read stands.
    Q_PROPERTY(HistoryState historyState READ historyState NOTIFY historyLoadStateChanged)
    /// The sentence of a failed history read; empty otherwise.
    Q_PROPERTY(QString historyMessage READ historyMessage NOTIFY historyLoadStateChanged)
    /// Outcome messages the user has not acknowledged yet, in arrival order (oldest first).
    Q_PROPERTY(QVariantList attention READ attentionItemMaps NOTIFY attentionChanged)
    /// The bound account's recent outcome messages, newest first.
    Q_PROPERTY(QVariantList outcomeInbox READ outcomeInboxItems NOTIFY outcomeInboxChanged)
    /// The last cloud failure as the user's sentence; empty when there is none.
    Q_PROPERTY(QString syncError READ syncErrorText NOTIFY syncErrorChanged)
    /// Why cache changes are not saved; empty while all is well.
    Q_PROPERTY(QString persistenceIssue READ persistenceIssueText NOTIFY persistenceIssueChanged)
    /// The last status recorded, as id, kind, outcome, message (empty unless refused) and, when
    /// known, scheduleID and siteID; an empty map before the first operation.
    Q_PROPERTY(QVariantMap latestOperation READ latestOperationMap NOTIFY latestOperationChanged)
    /// Every operation's latest status, keyed by the operation's id (upper-case text), each as
    /// latestOperation shows it.
    Q_PROPERTY(QVariantMap operationStatuses READ operationStatusMaps NOTIFY operationStatusesChanged)
    /// Ids (upper-case text) of schedules whose cancellation the cloud has not confirmed.
    Q_PROPERTY(QStringList cancellationUnconfirmed READ cancellationUnconfirmedIDs NOTIFY
                   cancellationUnconfirmedChanged)

public:
    /// Whether the queue comes from the cloud.
    enum class CloudState { Checking, Local, Cloud };
    Q_ENUM(CloudState)

    /// The case of HistoryLoadState, for the views.
    enum class HistoryState { Failed, Idle, Loading, Loaded };
    Q_ENUM(HistoryState)

    /// @brief How the publish history stands; `failed` carries the user's sentence.
    struct HistoryLoadState
    {
        using Case = HistoryState;

        Case which = Case::Idle;
        QString message; ///< the sentence of `failed`; empty otherwise

        [[nodiscard]] static HistoryLoadState failed(const QString &message) { return {Case::Failed, message}; }
        [[nodiscard]] static HistoryLoadState idle() { return {}; }
        [[nodiscard]] static HistoryLoadState loading() { return {Case::Loading, {}}; }
        [[nodiscard]] static HistoryLoadState loaded() { return {Case::Loaded, {}}; }

        friend bool operator==(const HistoryLoadState &, const HistoryLoadState &) = default;
    };

    /// @brief The body of the update that marks publish events seen.
    struct SeenStamp
    {
        QDateTime seenAt; ///< when they were marked

        [[nodiscard]] QJsonObject toJson() const;
    };

    /// The cache file's name in the store's folder.
    static inline const QString fileName = QStringLiteral("scheduled-publishes.json");
    /// The owner key of acknowledgements made while no account is bound.
    static inline const QString localOwnerKey = QStringLiteral("__local__");
    /// How long the poll waits between passes.
    static constexpr std::chrono::seconds pollInterval{300};

    /**
     * Creates the store over the cache file in @p folder (created when missing) and loads it.
     * Never fails: an unusable file leaves the store read-only with persistenceIssue set.
     *
     * @p errorLog and @p clock must outlive the store. @p pollDelay is the wait between poll
     * passes (on the boot-time clock in the application). A @p localOnly store works without a
     * backend: it shows a bare-array cache at once and settles saves and cancels locally while no
     * client is attached; the application's store is not local-only. @p writer replaces the file.
     */
    ScheduleStore(ErrorLog &errorLog, const Clock &clock, const QString &folder,
                  ContinuousClock::Delay pollDelay, bool localOnly = false,
                  AtomicWriter writer = StoreFile::writeAtomically, QObject *parent = nullptr,
                  UserNotifications *notifications = nullptr);

    // --- Observable state ------------------------------------------------------------------

    [[nodiscard]] const QList<ScheduledPublish> &schedules() const { return m_schedules; }
    void setSchedules(const QList<ScheduledPublish> &schedules);
    [[nodiscard]] const QList<PublishRecord> &history() const { return m_history; }
    void setHistory(const QList<PublishRecord> &history);
    [[nodiscard]] const HistoryLoadState &historyLoadState() const { return m_historyLoadState; }
    void setHistoryLoadState(const HistoryLoadState &state);
    [[nodiscard]] const QList<PublishAttention> &attention() const { return m_attention; }
    void setAttention(const QList<PublishAttention> &attention);
    [[nodiscard]] const QList<PublishAttention> &outcomeInbox() const { return m_outcomeInbox; }
    void setOutcomeInbox(const QList<PublishAttention> &inbox);
    [[nodiscard]] CloudState cloudState() const { return m_cloudState; }
    void setCloudState(CloudState state);
    [[nodiscard]] const std::optional<QString> &syncError() const { return m_syncError; }
    void setSyncError(const std::optional<QString> &error);
    [[nodiscard]] const std::optional<QString> &persistenceIssue() const { return m_persistenceIssue; }
    void setPersistenceIssue(const std::optional<QString> &issue);
    [[nodiscard]] const std::optional<ScheduleOperationStatus> &latestOperation() const { return m_latestOperation; }
    /// Also files a present status in operationStatuses, announcing that table even when the
    /// status itself did not change.
    void setLatestOperation(const std::optional<ScheduleOperationStatus> &status);
    [[nodiscard]] const QHash<QUuid, ScheduleOperationStatus> &operationStatuses() const { return m_operationStatuses; }
    void setOperationStatuses(const QHash<QUuid, ScheduleOperationStatus> &statuses);
    [[nodiscard]] const QSet<QUuid> &cancellationUnconfirmed() const { return m_cancellationUnconfirmed; }
    void setCancellationUnconfirmed(const QSet<QUuid> &ids);

    [[nodiscard]] QVariantList scheduleItems() const;
    [[nodiscard]] QVariantList historyItems() const;
    [[nodiscard]] HistoryState historyState() const { return m_historyLoadState.which; }
    [[nodiscard]] QString historyMessage() const { return m_historyLoadState.message; }
    [[nodiscard]] QVariantList attentionItemMaps() const;
    [[nodiscard]] QVariantList outcomeInboxItems() const;
    [[nodiscard]] QString syncErrorText() const { return m_syncError.value_or(QString()); }
    [[nodiscard]] QString persistenceIssueText() const { return m_persistenceIssue.value_or(QString()); }
    [[nodiscard]] QVariantMap latestOperationMap() const;
    [[nodiscard]] QVariantMap operationStatusMaps() const;
    [[nodiscard]] QStringList cancellationUnconfirmedIDs() const;

    /// The confirmed queue and the operations the cloud has not confirmed yet.
    [[nodiscard]] ScheduleIntentCoordinator &coordinator() { return m_coordinator; }
    /// The removal leases of projects being removed.
    [[nodiscard]] ProjectCancellationBarrierRegistry &projectCancellationBarriers() { return m_barriers; }
    /// The account the store works for; absent when signed out.
    [[nodiscard]] const std::optional<QUuid> &boundUserID() const { return m_boundUserID; }
    /// Raised at every change of the bound account.
    [[nodiscard]] qint64 identityEpoch() const { return m_identityEpoch; }
    [[nodiscard]] const ScheduleReadFence &queueReadFence() const { return m_queueReadFence; }
    [[nodiscard]] qint64 writeGeneration() const { return m_writeGeneration; }
    [[nodiscard]] bool localOnlyMode() const { return m_localOnly; }
    /// False once the cache file proved unusable; stays so until the process ends.
    [[nodiscard]] bool persistenceWritable() const { return m_persistenceWritable; }
    /// The cache file.
    [[nodiscard]] const QString &filePath() const { return m_filePath; }

    // --- Cache ------------------------------------------------------------------------------

    /// The messages of @p inbox that @p owner (none: no account bound) still has to see: not
    /// "published" and not acknowledged, in the inbox's order.
    [[nodiscard]] QList<PublishAttention> attentionItems(const QList<PublishAttention> &inbox,
                                                         const std::optional<QUuid> &owner) const;
    /// Writes the whole cache file from the live state; false when read-only or the write
    /// failed (which sets persistenceIssue and is recorded under "schedule-cache").
    bool persistCache();
    /// Files the coordinator's settled statuses (emptying its list) and makes the last of them,
    /// or @p fallback when none was settled, the latest operation; with neither the latest
    /// operation stays as it was.
    void publishSettlements(const std::optional<ScheduleOperationStatus> &fallback = std::nullopt);

    // --- Account and identity ---------------------------------------------------------------

    /// Hands the store the backend client (which must outlive it); the first call starts the
    /// event poll, later calls only replace the client.
    void attachClient(BackendClient *client);

    /// The signed-in account changed to @p userID (none: signed out). Parks the old account's
    /// inbox, makes every read and write under way stale, refuses the operations still waiting
    /// for the cloud, and shows what is cached for the new account. The same account again
    /// changes nothing and writes nothing.
    void bindAccount(const std::optional<QUuid> &userID);

    /// The bound account with the identity counter, once the backend session confirms it; none
    /// without a client, an account, a session of that account, or when the account changed
    /// meanwhile.
    QCoro::Task<std::optional<CloudAuthSnapshot>> captureAuthSnapshot();
    /// Whether @p snapshot is still the bound identity and the backend session's account.
    QCoro::Task<bool> isCurrentIdentity(CloudAuthSnapshot snapshot);

    // --- Reads ------------------------------------------------------------------------------

    /// Reads the cloud queue and reconciles the unconfirmed operations with it; true only when
    /// the read was applied.
    QCoro::Task<bool> refreshQueue();
    /// Reads the last 50 finished publishes into history.
    QCoro::Task<> loadHistory();

    // --- Operations -------------------------------------------------------------------------

    /// Saves @p draft as its site's one scheduled publish: shows it at once and sends it, or
    /// refuses at once with the sentence of what was kept. Answers the operation's status.
    ScheduleOperationStatus replaceSchedule(const ScheduledPublish &draft);
    /// Cancels the scheduled publish @p scheduleID; its card stays until the cloud answers.
    ScheduleOperationStatus cancelSchedule(const QUuid &scheduleID);
    /// How the operation ended, once its task is over; none for an unknown operation.
    QCoro::Task<std::optional<ScheduleOperationStatus>> awaitOperation(QUuid operationID);
    /// Marks every waiting outcome message seen; false only when that could not be saved (the
    /// messages are then still waiting).
    bool acknowledgeAttention();
    /// The site's scheduled publish as the queue shows it.
    [[nodiscard]] std::optional<ScheduledPublish> scheduleForSite(const QString &siteID) const;

    /// Before a project is removed: cancels its scheduled publish under a removal lease that
    /// holds back new publishes of the project here and on the backend. Only a result with a lease
    /// lets the removal go on; otherwise syncError mostly says why the project was kept.
    QCoro::Task<ProjectCancellationResult> cancelProjectSchedule(std::optional<QString> siteID,
                                                                 QString connectionName);
    /// The removal ended (@p committed: the project was removed): drops the lease and releases
    /// the backend's.
    QCoro::Task<> finishProjectRemoval(ProjectCancellationLease lease, bool committed);
    /// Whether a lease taken under @p identity holds back @p schedule.
    [[nodiscard]] bool hasRemovalBarrier(const ScheduledPublish &schedule,
                                         const std::optional<CloudAuthSnapshot> &identity) const;

    // --- Display texts ----------------------------------------------------------------------

    /// When the publish is due, as "Mar 8 · 3:30 PM" in its own zone (the system's when the
    /// identifier names none) and the user's locale.
    [[nodiscard]] static QString scheduleTimeText(const ScheduledPublish &schedule);
    /// The same for a history entry.
    [[nodiscard]] static QString recordTimeText(const PublishRecord &record);
    /// The zone identifier with its abbreviation at the publish time: "Europe/Berlin (CET)".
    [[nodiscard]] static QString timeZoneLabel(const ScheduledPublish &schedule);

signals:
    void schedulesChanged();
    void historyChanged();
    /// Also announces historyState and historyMessage.
    void historyLoadStateChanged();
    void attentionChanged();
    void outcomeInboxChanged();
    void cloudStateChanged();
    void syncErrorChanged();
    void persistenceIssueChanged();
    void latestOperationChanged();
    /// Emitted for every status filed, even one equal to the entry it replaces.
    void operationStatusesChanged();
    void cancellationUnconfirmedChanged();

private:
    /// How an identity check went.
    enum class IdentityCheck {
        Current,    ///< the snapshot is the bound identity and the session's account
        Rebound,    ///< the store was bound anew since (or is gone): the result belongs to no one
        Unverified, ///< still bound, but the session could not confirm the account
    };

    /// What asking the backend to start a project's removal gave.
    struct RemovalAnswer
    {
        CancellationOutcome outcome = CancellationOutcome::unknown();
        std::optional<QUuid> leaseID; ///< the lease the backend granted, even when not kept
        bool sent = false;            ///< whether the request went out
    };

    /// Stores @p value; notifies through @p changed only when it differs from the stored one.
    template<typename T>
    void assign(T &field, const T &value, void (ScheduleStore::*changed)());
    void file(const ScheduleOperationStatus &status);
    void record(const QString &area, const QString &message) const;

    void loadCache();
    [[nodiscard]] QString ownerKey() const;
    void showVisibleSchedules();

    /// Distinguishes a changed account from a session that could not be read.
    QCoro::Task<IdentityCheck> checkIdentity(CloudAuthSnapshot snapshot);

    /// A refusal before anything was recorded: filed as the latest operation and shown.
    ScheduleOperationStatus refuseAtOnce(const ScheduleOperationKind &kind, const QString &sentence);
    /// Settles an unsent operation as refused with @p sentence, when it is still pending.
    void refuseUnsent(const QUuid &operationID, const QString &sentence);
    /// Makes @p task the newest cloud write, followed under @p operationID.
    void chainWrite(const QUuid &operationID, const std::shared_ptr<OperationTask> &task);

    /// Waits for the previous cloud write, then answers whether this one may go out: not when
    /// the account changed meanwhile (the operation was refused with the switch), nor when the
    /// session cannot confirm the account (the operation is refused with @p unidentified).
    QCoro::Task<bool> takeWriteTurn(std::shared_ptr<OperationTask> previous, CloudAuthSnapshot snapshot,
                                    QUuid operationID, QString unidentified);
    QCoro::Task<> runReplaceOperation(std::shared_ptr<OperationTask> previous, CloudAuthSnapshot snapshot,
                                      QPointer<BackendClient> client, ScheduledPublish draft,
                                      ScheduleOperationStatus status, qint64 generation);
    /// The replace's answer was lost or cannot be trusted: the draft stays shown while the queue
    /// is read again to tell what the cloud holds.
    QCoro::Task<> settleUnconfirmedReplace(ScheduleOperationStatus status, qint64 generation);
    QCoro::Task<> runCancelOperation(std::shared_ptr<OperationTask> previous, CloudAuthSnapshot snapshot,
                                     QUuid scheduleID, ScheduleOperationStatus status, qint64 generation);
    QCoro::Task<CancellationOutcome> requestCancellation(QUuid scheduleID, CloudAuthSnapshot snapshot);
    void applyCancellationOutcome(const CancellationOutcome &outcome, const ScheduleOperationStatus &status,
                                  const std::optional<QUuid> &scheduleID, qint64 generation);
    void reportCancelStatus(const QUuid &operationID);
    QCoro::Task<RemovalAnswer> runBeginProjectRemoval(std::shared_ptr<OperationTask> previous,
                                                      CloudAuthSnapshot snapshot, QPointer<BackendClient> client,
                                                      std::optional<QString> siteID, QString connectionName);
    /// Hands back a lease the backend granted for a removal that will not go on, so the site is
    /// not held back until the lease expires.
    QCoro::Task<> releaseServerLease(CloudAuthSnapshot snapshot, QUuid leaseID);
    /// Ends every wait on @p task once @p work is over.
    static QCoro::Task<> tracked(std::shared_ptr<OperationTask> task, QCoro::Task<> work);

    ErrorLog &m_errorLog;
    const Clock &m_clock;
    AtomicWriter m_writer;
    const QString m_filePath;
    const bool m_localOnly;
    QPointer<BackendClient> m_client;

    QList<ScheduledPublish> m_schedules;
    QList<PublishRecord> m_history;
    HistoryLoadState m_historyLoadState;
    QList<PublishAttention> m_attention;
    QList<PublishAttention> m_outcomeInbox;
    std::optional<QUuid> m_boundUserID;
    CloudState m_cloudState = CloudState::Checking;
    std::optional<QString> m_syncError;
    std::optional<QString> m_persistenceIssue;
    std::optional<ScheduleOperationStatus> m_latestOperation;
    QHash<QUuid, ScheduleOperationStatus> m_operationStatuses;
    QSet<QUuid> m_cancellationUnconfirmed;

    // What the cache file held when last read or written.
    std::optional<QUuid> m_cachedOwnerID;
    QList<ScheduledPublish> m_cachedSchedules;
    QList<PublishAttention> m_cachedInbox;
    QHash<QString, QList<PublishAttention>> m_cachedInboxesByOwner;
    QHash<QString, QSet<QUuid>> m_acknowledgedAttentionIDsByOwner;
    bool m_persistenceWritable = true;

    ScheduleIntentCoordinator m_coordinator;
    qint64 m_identityEpoch = 0;
    ProjectCancellationBarrierRegistry m_barriers;
    std::shared_ptr<OperationTask> m_writeChain;
    QHash<QUuid, std::shared_ptr<OperationTask>> m_operationTasks;
    qint64 m_writeGeneration = 0;
    qint64 m_historyReadSequence = 0;
    ScheduleReadFence m_queueReadFence;
    /// The generation of the event ingest under way; the account switch clears it so the new
    /// account's ingest may start at once.
    std::optional<qint64> m_ingestGeneration;
    /// The wait between poll passes.
    ContinuousClock::Delay m_pollDelay;
    /// Whether attachClient() started the poll.
    bool m_pollStarted = false;

    // Event poll, ingest and outcome notifications -------------------------------------------
    // Defined in ScheduleEvents.cpp.

public:
    /// The title of an outcome event's notification: "Published", "Publish skipped" or
    /// "Publish failed".
    [[nodiscard]] static QString notificationTitle(const QString &kind);

    /// Takes in the outcome events the backend has not seen marked yet: hands them to the inbox,
    /// marks them seen, and only then shows one desktop notification per event, oldest first,
    /// naming the account they were read for. Events that could not be kept or marked stay
    /// unseen for the next ingest. One ingest runs at a time; a call meanwhile returns at once.
    QCoro::Task<> ingestPublishEvents();

    /// Takes newly read outcome messages (oldest first) into the inbox and, unless "published"
    /// or already acknowledged, the attention list, and saves; false when the save failed, which
    /// leaves both lists as they were.
    bool recordOutcomeEvents(const QList<PublishAttention> &messages);

private:
    /// Starts the poll task; called by the first attachClient().
    void startEventPoll();
    /// Every pollInterval: ingest the events, read the queue, read the history. Holds the store
    /// weakly and ends once it is gone.
    static QCoro::Task<> eventPollLoop(QPointer<ScheduleStore> store, ContinuousClock::Delay delay);
    /// The ingest after its guard is taken; every way out leaves the guard to the caller.
    QCoro::Task<> ingestPublishEventsAs(CloudAuthSnapshot snapshot);
    /// Records a failed ingest step unless it was cancelled or belongs to an earlier account.
    QCoro::Task<> reportIngestFailure(CloudAuthSnapshot snapshot, BackendError error);
    /// Shows the desktop notification of one event read for @p owner.
    void notificationContent(const PublishEventRow &event, const QUuid &owner);
    /// Notes how the post went under "notify", once the desktop answered.
    static QCoro::Task<> reportPosting(QPointer<ScheduleStore> store, QString kind,
                                       QCoro::Task<UserNotifications::Posted> posting);

    /// Where outcomes are shown; none when the owner shows none.
    QPointer<UserNotifications> m_notifications;
};
