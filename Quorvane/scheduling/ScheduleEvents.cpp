// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
// The schedule store's event poll, the ingest of publish outcomes and their desktop notifications.
#include "scheduling/ScheduleStore.h"

#include "backend/BackendClient.h"
#include "foundation/Clock.h"
#include "foundation/UuidText.h"

using namespace Qt::StringLiterals;

namespace {

const QString kEventsTable = u"publish_events"_s;
const QString kIngestArea = u"publish-events"_s;
const QString kNotifyArea = u"notify"_s;
const QString kPublished = u"published"_s;

} // namespace

QString ScheduleStore::notificationTitle(const QString &kind)
{
    if (kind == kPublished)
        return u"Published"_s;
    if (kind == u"skipped_drift"_s || kind == u"skipped_no_access"_s || kind == u"skipped_targets_changed"_s)
        return u"Publish skipped"_s;
    return u"Publish failed"_s;
}

void ScheduleStore::startEventPoll()
{
    eventPollLoop(this, m_pollDelay);
}

QCoro::Task<> ScheduleStore::eventPollLoop(QPointer<ScheduleStore> store, ContinuousClock::Delay delay)
{
    // The store owns the loop: nothing else ends it. Each pass starts its wait once the previous
    // pass has finished, so passes never overlap.
    while (store) {
        co_await delay(pollInterval);
        if (store)
            co_await store->ingestPublishEvents();
        if (store)
            co_await store->refreshQueue();
        if (store)
            co_await store->loadHistory();
    }
}

QCoro::Task<> ScheduleStore::ingestPublishEvents()
{
    if (!m_client)
        co_return;
    const QPointer<ScheduleStore> self(this);
    const std::optional<CloudAuthSnapshot> snapshot = co_await captureAuthSnapshot();
    if (!self || !snapshot || m_ingestGeneration)
        co_return;
    m_ingestGeneration = snapshot->generation;
    co_await ingestPublishEventsAs(*snapshot);
    // An account change may have let a newer ingest take the guard meanwhile; it stays theirs.
    if (self && m_ingestGeneration == snapshot->generation)
        m_ingestGeneration.reset();
}

QCoro::Task<> ScheduleStore::ingestPublishEventsAs(CloudAuthSnapshot snapshot)
{
    const QPointer<ScheduleStore> self(this);
    // The client may have gone while the snapshot was taken.
    const QPointer<BackendClient> client = m_client;
    if (!client)
        co_return;
    // Built and called before the co_await: g++ 12 may destroy temporaries of a co_await
    // expression twice.
    const BackendQuery unseen = BackendQuery(kEventsTable)
                                    .select(u"id,kind,message,created_at"_s)
                                    .isNull(u"seen_at"_s)
                                    .order(u"created_at"_s, BackendQuery::Ascending);
    QCoro::Task<BackendResult<QJsonValue>> reading = client->select(unseen);
    const BackendResult<QJsonValue> read = co_await std::move(reading);
    if (!self)
        co_return;
    if (!read) {
        QCoro::Task<> reporting = reportIngestFailure(snapshot, read.error());
        co_await std::move(reporting);
        co_return;
    }
    QString decodeError;
    const std::optional<QList<PublishEventRow>> rows = PublishEventRow::listFromJson(read.value(), &decodeError);
    if (!rows) {
        QCoro::Task<> reporting = reportIngestFailure(snapshot, BackendError::invalidReply(decodeError));
        co_await std::move(reporting);
        co_return;
    }
    if (!co_await isCurrentIdentity(snapshot) || !self || rows->isEmpty())
        co_return;

    QList<PublishAttention> messages;
    QStringList ids;
    for (const PublishEventRow &row : *rows) {
        messages.append(row.asPublishAttention());
        ids.append(UuidText::format(row.id));
    }
    // Kept here first: an event marked seen but lost locally would never come back.
    if (!recordOutcomeEvents(messages) || !client)
        co_return;

    const BackendQuery shown = BackendQuery(kEventsTable).in(u"id"_s, ids);
    const QJsonObject stamp = SeenStamp{m_clock.now()}.toJson();
    QCoro::Task<BackendResult<QJsonValue>> marking = client->update(shown, stamp);
    const BackendResult<QJsonValue> marked = co_await std::move(marking);
    if (!self)
        co_return;
    if (!marked) {
        // Not notified: the events stay unseen and the next ingest shows them once marked.
        QCoro::Task<> reporting = reportIngestFailure(snapshot, marked.error());
        co_await std::move(reporting);
        co_return;
    }
    if (!co_await isCurrentIdentity(snapshot) || !self)
        co_return;
    for (const PublishEventRow &row : *rows)
        notificationContent(row, snapshot.userID);
}

QCoro::Task<> ScheduleStore::reportIngestFailure(CloudAuthSnapshot snapshot, BackendError error)
{
    if (error.kind() == BackendError::Kind::Cancelled)
        co_return;
    const QPointer<ScheduleStore> self(this);
    if (co_await isCurrentIdentity(snapshot) && self)
        record(kIngestArea, u"event ingest failed: "_s + error.message());
}

bool ScheduleStore::recordOutcomeEvents(const QList<PublishAttention> &messages)
{
    const QList<PublishAttention> keptInbox = m_outcomeInbox;
    const QList<PublishAttention> keptAttention = m_attention;

    QList<PublishAttention> attention = m_attention;
    QSet<QUuid> held;
    for (const PublishAttention &message : std::as_const(m_attention))
        held.insert(message.id);
    const QSet<QUuid> acknowledged = m_acknowledgedAttentionIDsByOwner.value(ownerKey());
    for (const PublishAttention &message : messages) {
        if (message.kind == kPublished || held.contains(message.id) || acknowledged.contains(message.id))
            continue;
        attention.append(message);
        held.insert(message.id);
    }
    const QList<PublishAttention> inbox = mergedInbox(m_outcomeInbox, messages);
    if (inbox == keptInbox && attention == keptAttention)
        return true;

    setOutcomeInbox(inbox);
    setAttention(attention);
    if (persistCache())
        return true;
    setOutcomeInbox(keptInbox);
    setAttention(keptAttention);
    return false;
}

void ScheduleStore::notificationContent(const PublishEventRow &event, const QUuid &owner)
{
    if (!m_notifications)
        return;
    const QString eventID = UuidText::format(event.id);
    UserNotifications::Content content{
        eventID,
        notificationTitle(event.kind),
        event.message,
        event.kind != kPublished, // a publish that went as planned needs no sound
        {{u"quorvane_event_id"_s, eventID}, {u"quorvane_owner_id"_s, UuidText::format(owner)}},
    };
    reportPosting(this, event.kind, m_notifications->post(std::move(content)));
}

QCoro::Task<> ScheduleStore::reportPosting(QPointer<ScheduleStore> store, QString kind,
                                           QCoro::Task<UserNotifications::Posted> posting)
{
    const UserNotifications::Posted posted = co_await std::move(posting);
    if (!store)
        co_return;
    store->record(kNotifyArea, u"posting "_s + kind
                                   + u": auth="_s + QString::number(int(posted.settings.authorization))
                                   + u" alert="_s + QString::number(int(posted.settings.alert)));
    if (posted.failure)
        store->record(kNotifyArea, u"add failed: "_s + *posted.failure);
}
