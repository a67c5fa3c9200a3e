// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleStore.h"

#include "backend/BackendClient.h"
#include "foundation/BackendTimestamp.h"
#include "foundation/Clock.h"
#include "foundation/InternetDateTime.h"
#include "foundation/RawTextTable.h"
#include "foundation/UuidText.h"
#include "model/ErrorLog.h"
#include "scheduling/PersistedSchedules.h"
#include "scheduling/PublishHistoryRow.h"
#include "scheduling/ScheduleCloudRow.h"

#include <QDir>
#include <QLocale>
#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {

const QString kUnreadableCache =
    u"The saved schedule cache could not be read and was preserved. Cloud data can still refresh, but local "
    "cache changes will not be saved until the file is repaired."_s;
const QString kUnsupportedCache =
    u"The saved schedule cache uses an unsupported version and was preserved. Cloud data can still refresh, but "
    "local cache changes will not be saved until Quorvane is updated."_s;
const QString kCacheNotSaved = u"Schedule and outcome receipts could not be saved locally."_s;
const QString kHistoryNeedsCloud = u"Sign in and connect to the cloud to load publish history."_s;
const QString kHistoryFailed = u"Publish history couldn't be loaded. Check your connection and try again."_s;
const QString kAccountChanged =
    u"The signed-in account changed before the cloud operation finished. Review the queue under the current "
    "account before trying again."_s;

QString ownerKeyOf(const std::optional<QUuid> &owner)
{
    return owner ? UuidText::format(*owner) : ScheduleStore::localOwnerKey;
}

// The names views read for a record's outcome and an operation's kind and outcome.
constexpr RawTextTable<PublishRecord::Outcome, 4> recordOutcomeNames{{{
    {PublishRecord::Outcome::Published, u"published"},
    {PublishRecord::Outcome::Failed, u"failed"},
    {PublishRecord::Outcome::SkippedDrift, u"skippedDrift"},
    {PublishRecord::Outcome::SkippedTargetsChanged, u"skippedTargetsChanged"},
}}};

QVariantMap recordMap(const PublishRecord &record)
{
    QVariantMap map{
        {u"id"_s, UuidText::format(record.id)},
        {u"siteName"_s, record.siteName},
        {u"publishAt"_s, InternetDateTime::format(record.publishAt)},
        {u"timeZoneID"_s, record.timeZoneID},
        {u"domains"_s, PublishDomain::toJsonArray(record.domains).toVariantList()},
        {u"outcome"_s, recordOutcomeNames.text(record.outcome)},
    };
    if (record.completedAt)
        map.insert(u"completedAt"_s, InternetDateTime::format(*record.completedAt));
    if (record.failure)
        map.insert(u"failure"_s, *record.failure);
    return map;
}

constexpr RawTextTable<ScheduleOperationKind::Case, 3> operationKindNames{{{
    {ScheduleOperationKind::Case::Replace, u"replace"},
    {ScheduleOperationKind::Case::CancelRow, u"cancelRow"},
    {ScheduleOperationKind::Case::CancelProject, u"cancelProject"},
}}};

constexpr RawTextTable<ScheduleOperationOutcome::Case, 7> operationOutcomeNames{{{
    {ScheduleOperationOutcome::Case::Refused, u"refused"},
    {ScheduleOperationOutcome::Case::Superseded, u"superseded"},
    {ScheduleOperationOutcome::Case::Pending, u"pending"},
    {ScheduleOperationOutcome::Case::Accepted, u"accepted"},
    {ScheduleOperationOutcome::Case::Ambiguous, u"ambiguous"},
    {ScheduleOperationOutcome::Case::ConfirmedAbsent, u"confirmedAbsent"},
    {ScheduleOperationOutcome::Case::Publishing, u"publishing"},
}}};

QVariantMap statusMap(const ScheduleOperationStatus &status)
{
    QVariantMap map{
        {u"id"_s, UuidText::format(status.id)},
        {u"kind"_s, operationKindNames.text(status.kind.which())},
        {u"outcome"_s, operationOutcomeNames.text(status.outcome.which())},
        {u"message"_s, status.outcome.message()},
    };
    if (!status.kind.scheduleID().isNull())
        map.insert(u"scheduleID"_s, UuidText::format(status.kind.scheduleID()));
    if (status.kind.siteID())
        map.insert(u"siteID"_s, *status.kind.siteID());
    return map;
}

QVariantList attentionMaps(const QList<PublishAttention> &items)
{
    QVariantList maps;
    for (const PublishAttention &item : items)
        maps.append(item.toJson().toVariantMap());
    return maps;
}

QTimeZone zoneNamed(const QString &identifier)
{
    const QTimeZone zone(identifier.toUtf8());
    return zone.isValid() ? zone : QTimeZone::systemTimeZone();
}

QString timeText(const QDateTime &instant, const QString &timeZoneID)
{
    return QLocale().toString(instant.toTimeZone(zoneNamed(timeZoneID)), u"MMM d · h:mm AP");
}

// Queries are built outside the coroutines, and every call made before its co_await: g++ 12
// cannot compile braced lists inside a co_await expression, and may destroy its temporaries twice.
BackendQuery queueQuery()
{
    return BackendQuery(u"scheduled_publishes"_s).select(u"*"_s).in(u"status"_s, {u"scheduled"_s, u"publishing"_s});
}

BackendQuery historyQuery()
{
    return BackendQuery(u"scheduled_publishes"_s)
        .select(u"*"_s)
        .in(u"status"_s, {u"published"_s, u"failed"_s, u"skipped_drift"_s, u"skipped_targets_changed"_s})
        .order(u"completed_at"_s, BackendQuery::Descending)
        .limit(50);
}

// A failed call or a reply that does not decode, as one error.
template<typename T>
struct Decoded
{
    std::optional<T> value;
    BackendError error;
};

template<typename T, typename Decode>
Decoded<T> decodeReply(const BackendResult<QJsonValue> &reply, Decode decode)
{
    if (!reply)
        return {std::nullopt, reply.error()};
    QString problem;
    std::optional<T> value = decode(reply.value(), &problem);
    if (!value)
        return {std::nullopt, BackendError::invalidReply(problem)};
    return {std::move(value), {}};
}

} // namespace

QJsonObject ScheduleStore::SeenStamp::toJson() const
{
    return {{u"seen_at"_s, BackendTimestamp::format(seenAt)}};
}

ScheduleStore::ScheduleStore(ErrorLog &errorLog, const Clock &clock, const QString &folder,
                             ContinuousClock::Delay pollDelay, bool localOnly, AtomicWriter writer,
                             QObject *parent, UserNotifications *notifications)
    : QObject(parent)
    , m_errorLog(errorLog)
    , m_clock(clock)
    , m_writer(std::move(writer))
    , m_filePath(QDir(folder).filePath(fileName))
    , m_localOnly(localOnly)
    , m_pollDelay(std::move(pollDelay))
    , m_notifications(notifications)
{
    // A folder that cannot be made shows up as a failed save.
    StoreFile::makeFolder(folder);
    loadCache();
}

// --- Observable state ---------------------------------------------------------------------------

template<typename T>
void ScheduleStore::assign(T &field, const T &value, void (ScheduleStore::*changed)())
{
    const bool differs = !(field == value);
    field = value;
    if (differs)
        emit(this->*changed)();
}

void ScheduleStore::setSchedules(const QList<ScheduledPublish> &schedules)
{
    assign(m_schedules, schedules, &ScheduleStore::schedulesChanged);
}

void ScheduleStore::setHistory(const QList<PublishRecord> &history)
{
    assign(m_history, history, &ScheduleStore::historyChanged);
}

void ScheduleStore::setHistoryLoadState(const HistoryLoadState &state)
{
    assign(m_historyLoadState, state, &ScheduleStore::historyLoadStateChanged);
}

void ScheduleStore::setAttention(const QList<PublishAttention> &attention)
{
    assign(m_attention, attention, &ScheduleStore::attentionChanged);
}

void ScheduleStore::setOutcomeInbox(const QList<PublishAttention> &inbox)
{
    assign(m_outcomeInbox, inbox, &ScheduleStore::outcomeInboxChanged);
}

void ScheduleStore::setCloudState(CloudState state)
{
    assign(m_cloudState, state, &ScheduleStore::cloudStateChanged);
}

void ScheduleStore::setSyncError(const std::optional<QString> &error)
{
    assign(m_syncError, error, &ScheduleStore::syncErrorChanged);
}

void ScheduleStore::setPersistenceIssue(const std::optional<QString> &issue)
{
    assign(m_persistenceIssue, issue, &ScheduleStore::persistenceIssueChanged);
}

void ScheduleStore::setLatestOperation(const std::optional<ScheduleOperationStatus> &status)
{
    assign(m_latestOperation, status, &ScheduleStore::latestOperationChanged);
    if (m_latestOperation)
        file(*m_latestOperation);
}

void ScheduleStore::setOperationStatuses(const QHash<QUuid, ScheduleOperationStatus> &statuses)
{
    assign(m_operationStatuses, statuses, &ScheduleStore::operationStatusesChanged);
}

void ScheduleStore::setCancellationUnconfirmed(const QSet<QUuid> &ids)
{
    assign(m_cancellationUnconfirmed, ids, &ScheduleStore::cancellationUnconfirmedChanged);
}

QVariantList ScheduleStore::scheduleItems() const
{
    QVariantList items;
    for (const ScheduledPublish &schedule : m_schedules)
        items.append(schedule.toJson().toVariantMap());
    return items;
}

QVariantList ScheduleStore::historyItems() const
{
    QVariantList items;
    for (const PublishRecord &record : m_history)
        items.append(recordMap(record));
    return items;
}

QVariantList ScheduleStore::attentionItemMaps() const
{
    return attentionMaps(m_attention);
}

QVariantList ScheduleStore::outcomeInboxItems() const
{
    return attentionMaps(m_outcomeInbox);
}

QVariantMap ScheduleStore::latestOperationMap() const
{
    return m_latestOperation ? statusMap(*m_latestOperation) : QVariantMap();
}

QVariantMap ScheduleStore::operationStatusMaps() const
{
    QVariantMap maps;
    for (const ScheduleOperationStatus &status : m_operationStatuses)
        maps.insert(UuidText::format(status.id), statusMap(status));
    return maps;
}

QStringList ScheduleStore::cancellationUnconfirmedIDs() const
{
    QStringList ids;
    for (const QUuid &id : m_cancellationUnconfirmed)
        ids.append(UuidText::format(id));
    ids.sort();
    return ids;
}

void ScheduleStore::publishSettlements(const std::optional<ScheduleOperationStatus> &fallback)
{
    const QList<ScheduleOperationStatus> settled = std::exchange(m_coordinator.settlements, {});
    for (const ScheduleOperationStatus &status : settled)
        file(status);
    const std::optional<ScheduleOperationStatus> latest =
        settled.isEmpty() ? fallback : std::optional(settled.last());
    if (latest)
        setLatestOperation(latest);
}

void ScheduleStore::file(const ScheduleOperationStatus &status)
{
    m_operationStatuses.insert(status.id, status);
    emit operationStatusesChanged();
}

void ScheduleStore::record(const QString &area, const QString &message) const
{
    m_errorLog.record(area, message, m_clock.now());
}

void ScheduleStore::showVisibleSchedules()
{
    setSchedules(m_coordinator.visibleSchedules());
}

// --- Cache --------------------------------------------------------------------------------------

void ScheduleStore::loadCache()
{
    StoreFile::removeStaleTemporaries(m_filePath);
    const StoreFile::ReadResult read = StoreFile::read(m_filePath);
    if (read.outcome == StoreFile::ReadResult::Outcome::Missing)
        return;

    // Read-only cases leave the file exactly as it is; the sentence says so, the log does not.
    const auto readOnly = [this](const QString &sentence) {
        m_persistenceWritable = false;
        setPersistenceIssue(sentence);
    };
    if (read.outcome == StoreFile::ReadResult::Outcome::Failed)
        return readOnly(kUnreadableCache);

    PersistedSchedules::Decoded decoded = PersistedSchedules::decode(read.bytes);
    PersistedSchedules &content = decoded.content;
    switch (decoded.outcome) {
    case PersistedSchedules::Decoded::Outcome::UnsupportedVersion:
        return readOnly(kUnsupportedCache);
    case PersistedSchedules::Decoded::Outcome::Unreadable:
        return readOnly(kUnreadableCache);
    case PersistedSchedules::Decoded::Outcome::BareArray:
    case PersistedSchedules::Decoded::Outcome::Current:
        break;
    }

    const bool bare = decoded.outcome == PersistedSchedules::Decoded::Outcome::BareArray;
    m_cachedOwnerID = content.ownerID;
    m_cachedSchedules = content.schedules;
    sortSchedulesByPublishAt(m_cachedSchedules);
    m_cachedInbox = content.inbox;
    m_cachedInboxesByOwner = content.inboxesByOwner;
    m_acknowledgedAttentionIDsByOwner = content.acknowledgedAttentionIDsByOwner;
    if (m_cachedOwnerID) {
        const QString key = UuidText::format(*m_cachedOwnerID);
        if (!m_cachedInboxesByOwner.contains(key))
            m_cachedInboxesByOwner.insert(key, m_cachedInbox);
        // Shown once the account switch binds that owner.
        return;
    }
    // A bare array comes from a release before accounts: only a local-only store can trust it.
    if (bare && !m_localOnly)
        return;
    m_coordinator = {};
    m_coordinator.confirmed = m_cachedSchedules;
    showVisibleSchedules();
    setOutcomeInbox(m_cachedInbox);
    setAttention(attentionItems(m_cachedInbox, std::nullopt));
}

QString ScheduleStore::ownerKey() const
{
    return ownerKeyOf(m_boundUserID);
}

QList<PublishAttention> ScheduleStore::attentionItems(const QList<PublishAttention> &inbox,
                                                      const std::optional<QUuid> &owner) const
{
    const QSet<QUuid> acknowledged = m_acknowledgedAttentionIDsByOwner.value(ownerKeyOf(owner));
    QList<PublishAttention> items;
    for (const PublishAttention &item : inbox) {
        if (item.kind != u"published" && !acknowledged.contains(item.id))
            items.append(item);
    }
    return items;
}

bool ScheduleStore::persistCache()
{
    if (!m_persistenceWritable)
        return false;
    m_cachedOwnerID = m_boundUserID;
    m_cachedSchedules = m_coordinator.confirmed;
    m_cachedInbox = m_outcomeInbox;
    if (m_boundUserID)
        m_cachedInboxesByOwner.insert(UuidText::format(*m_boundUserID), m_outcomeInbox);

    // An acknowledgement is only worth keeping while its message is still in its owner's inbox.
    for (auto it = m_acknowledgedAttentionIDsByOwner.begin(); it != m_acknowledgedAttentionIDsByOwner.end(); ++it) {
        const QList<PublishAttention> live =
            it.key() == localOwnerKey ? m_outcomeInbox : m_cachedInboxesByOwner.value(it.key());
        QSet<QUuid> liveIDs;
        for (const PublishAttention &item : live)
            liveIDs.insert(item.id);
        it.value().intersect(liveIDs);
    }

    const PersistedSchedules content{m_boundUserID, m_coordinator.confirmed, m_outcomeInbox, m_cachedInboxesByOwner,
                                     m_acknowledgedAttentionIDsByOwner};
    if (const std::optional<QString> failure = m_writer(content.encode(), m_filePath)) {
        setPersistenceIssue(kCacheNotSaved);
        record(u"schedule-cache"_s, *failure);
        return false;
    }
    return true;
}

bool ScheduleStore::acknowledgeAttention()
{
    if (m_attention.isEmpty())
        return true;
    const QString key = ownerKey();
    const bool hadEntry = m_acknowledgedAttentionIDsByOwner.contains(key);
    const QSet<QUuid> keptIDs = m_acknowledgedAttentionIDsByOwner.value(key);
    const QList<PublishAttention> keptAttention = m_attention;

    QSet<QUuid> &acknowledged = m_acknowledgedAttentionIDsByOwner[key];
    for (const PublishAttention &item : keptAttention)
        acknowledged.insert(item.id);
    setAttention({});
    if (persistCache())
        return true;
    if (hadEntry)
        m_acknowledgedAttentionIDsByOwner.insert(key, keptIDs);
    else
        m_acknowledgedAttentionIDsByOwner.remove(key);
    setAttention(keptAttention);
    return false;
}

// --- Account and identity -----------------------------------------------------------------------

void ScheduleStore::attachClient(BackendClient *client)
{
    m_client = client;
    // The poll starts once, whatever client comes later.
    if (!std::exchange(m_pollStarted, true))
        startEventPoll();
}

void ScheduleStore::bindAccount(const std::optional<QUuid> &userID)
{
    if (userID == m_boundUserID)
        return;

    if (m_boundUserID)
        m_cachedInboxesByOwner.insert(UuidText::format(*m_boundUserID), m_outcomeInbox);

    // Every read and write under way now belongs to no one.
    ++m_identityEpoch;
    ++m_queueReadFence.latestReadID;
    ++m_historyReadSequence;
    ++m_queueReadFence.mutationRevision;
    m_ingestGeneration.reset();

    setAttention({});
    setOutcomeInbox({});
    setHistoryLoadState(HistoryLoadState::idle());
    setSyncError(std::nullopt);
    setLatestOperation(std::nullopt);

    // Operations the cloud never answered are refused: their answers will be dropped.
    QList<ScheduleOperationStatus> unanswered;
    for (const ScheduleOperationStatus &status : std::as_const(m_operationStatuses)) {
        const auto which = status.outcome.which();
        if (which == ScheduleOperationOutcome::Case::Pending || which == ScheduleOperationOutcome::Case::Ambiguous)
            unanswered.append(status);
    }
    for (ScheduleOperationStatus &status : unanswered) {
        status.outcome = ScheduleOperationOutcome::refused(kAccountChanged);
        file(status);
    }

    setHistory({});
    setCancellationUnconfirmed({});
    // The old account's writes run on, but the new account's first write does not wait for them.
    m_writeChain.reset();
    ++m_writeGeneration;
    m_boundUserID = userID;

    m_coordinator = {};
    if (m_cachedOwnerID == userID) {
        m_coordinator.confirmed = m_cachedSchedules;
        sortSchedulesByPublishAt(m_coordinator.confirmed);
    }
    const QList<PublishAttention> inbox =
        userID ? m_cachedInboxesByOwner.value(UuidText::format(*userID)) : QList<PublishAttention>();
    setOutcomeInbox(inbox);
    setAttention(attentionItems(inbox, userID));
    showVisibleSchedules();
    persistCache();
    setCloudState(userID ? CloudState::Checking : CloudState::Local);
}

QCoro::Task<std::optional<CloudAuthSnapshot>> ScheduleStore::captureAuthSnapshot()
{
    const QPointer<ScheduleStore> self(this);
    BackendClient *client = m_client;
    if (!client || !m_boundUserID)
        co_return std::nullopt;
    const CloudAuthSnapshot noted{*m_boundUserID, m_identityEpoch};
    const BackendResult<BackendSession> session = co_await client->session();
    if (!self || !session || session.value().user.id != noted.userID)
        co_return std::nullopt;
    if (m_boundUserID != noted.userID || m_identityEpoch != noted.generation)
        co_return std::nullopt;
    co_return noted;
}

QCoro::Task<ScheduleStore::IdentityCheck> ScheduleStore::checkIdentity(CloudAuthSnapshot snapshot)
{
    const QPointer<ScheduleStore> self(this);
    const auto rebound = [&] { return m_boundUserID != snapshot.userID || m_identityEpoch != snapshot.generation; };
    if (rebound())
        co_return IdentityCheck::Rebound;
    BackendClient *client = m_client;
    if (!client)
        co_return IdentityCheck::Unverified;
    const BackendResult<BackendSession> session = co_await client->session();
    if (!self || rebound())
        co_return IdentityCheck::Rebound;
    if (!session || session.value().user.id != snapshot.userID)
        co_return IdentityCheck::Unverified;
    co_return IdentityCheck::Current;
}

QCoro::Task<bool> ScheduleStore::isCurrentIdentity(CloudAuthSnapshot snapshot)
{
    co_return co_await checkIdentity(snapshot) == IdentityCheck::Current;
}

// --- Reads --------------------------------------------------------------------------------------

QCoro::Task<bool> ScheduleStore::refreshQueue()
{
    const QPointer<ScheduleStore> self(this);
    if (!m_client) {
        setCloudState(CloudState::Local);
        co_return false;
    }
    const std::optional<CloudAuthSnapshot> snapshot = co_await captureAuthSnapshot();
    BackendClient *client = self ? m_client.get() : nullptr;
    if (!snapshot || !client)
        co_return false;
    const qint64 readID = ++m_queueReadFence.latestReadID;
    const qint64 revision = m_queueReadFence.mutationRevision;

    QCoro::Task<BackendResult<QJsonValue>> read = client->select(queueQuery());
    const BackendResult<QJsonValue> reply = co_await std::move(read);
    if (!self)
        co_return false;
    const Decoded<QList<ScheduleCloudRow>> rows = decodeReply<QList<ScheduleCloudRow>>(reply, &ScheduleCloudRow::listFromJson);
    if (!rows.value) {
        if (rows.error.kind() == BackendError::Kind::Cancelled)
            co_return false;
        const bool current = co_await isCurrentIdentity(*snapshot);
        if (!self || !current)
            co_return false;
        // Even when a newer read has succeeded since: the cloud just failed for this account.
        setCloudState(CloudState::Local);
        record(u"schedule-sync"_s, u"queue read failed: "_s + rows.error.message());
        co_return false;
    }

    const bool current = co_await isCurrentIdentity(*snapshot);
    if (!self || !current || m_queueReadFence.latestReadID != readID
        || m_queueReadFence.mutationRevision != revision)
        co_return false;
    m_queueReadFence.mutationRevision = revision + 1;

    QList<ScheduledPublish> schedules;
    for (const ScheduleCloudRow &row : *rows.value)
        schedules.append(row.asScheduledPublish());
    m_coordinator.reconcile(schedules);
    showVisibleSchedules();
    publishSettlements();
    QSet<QUuid> shown;
    for (const ScheduledPublish &schedule : std::as_const(m_schedules))
        shown.insert(schedule.id);
    setCancellationUnconfirmed(QSet<QUuid>(m_cancellationUnconfirmed).intersect(shown));
    persistCache();
    setCloudState(CloudState::Cloud);
    co_return true;
}

QCoro::Task<> ScheduleStore::loadHistory()
{
    const QPointer<ScheduleStore> self(this);
    if (!m_client) {
        setHistoryLoadState(HistoryLoadState::failed(kHistoryNeedsCloud));
        co_return;
    }
    const std::optional<CloudAuthSnapshot> snapshot = co_await captureAuthSnapshot();
    if (!self)
        co_return;
    BackendClient *client = m_client;
    if (!snapshot || !client) {
        setHistoryLoadState(HistoryLoadState::failed(kHistoryNeedsCloud));
        co_return;
    }
    setHistoryLoadState(HistoryLoadState::loading());
    const qint64 number = ++m_historyReadSequence;

    QCoro::Task<BackendResult<QJsonValue>> read = client->select(historyQuery());
    const BackendResult<QJsonValue> reply = co_await std::move(read);
    if (!self)
        co_return;
    const Decoded<QList<PublishHistoryRow>> rows =
        decodeReply<QList<PublishHistoryRow>>(reply, &PublishHistoryRow::listFromJson);
    if (!rows.value) {
        // A cancelled read leaves "loading" for the read that replaces it to settle.
        if (rows.error.kind() == BackendError::Kind::Cancelled)
            co_return;
        const bool current = co_await isCurrentIdentity(*snapshot);
        if (!self || !current)
            co_return;
        setHistoryLoadState(HistoryLoadState::failed(kHistoryFailed));
        record(u"schedule-history"_s, u"history read failed: "_s + rows.error.message());
        co_return;
    }
    const bool current = co_await isCurrentIdentity(*snapshot);
    if (!self || !current || m_historyReadSequence != number)
        co_return;
    QList<PublishRecord> records;
    for (const PublishHistoryRow &row : *rows.value)
        records.append(row.asPublishRecord());
    setHistory(records);
    setHistoryLoadState(HistoryLoadState::loaded());
}

// --- Lookups and texts --------------------------------------------------------------------------

std::optional<ScheduledPublish> ScheduleStore::scheduleForSite(const QString &siteID) const
{
    for (const ScheduledPublish &schedule : m_schedules) {
        if (schedule.siteId == siteID)
            return schedule;
    }
    return std::nullopt;
}

bool ScheduleStore::hasRemovalBarrier(const ScheduledPublish &schedule,
                                      const std::optional<CloudAuthSnapshot> &identity) const
{
    return m_barriers.blocks(schedule, identity);
}

QString ScheduleStore::scheduleTimeText(const ScheduledPublish &schedule)
{
    return timeText(schedule.publishAt, schedule.timeZoneID);
}

QString ScheduleStore::recordTimeText(const PublishRecord &record)
{
    return timeText(record.publishAt, record.timeZoneID);
}

QString ScheduleStore::timeZoneLabel(const ScheduledPublish &schedule)
{
    const QString abbreviation = zoneNamed(schedule.timeZoneID).abbreviation(schedule.publishAt);
    if (abbreviation.isEmpty())
        return schedule.timeZoneID;
    return schedule.timeZoneID + u" ("_s + abbreviation + u')';
}
