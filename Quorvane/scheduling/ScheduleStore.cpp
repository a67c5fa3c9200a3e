// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleStore.h"

#include "foundation/BackendTimestamp.h"

using namespace Qt::StringLiterals;

QJsonObject ScheduleStore::SeenStamp::toJson() const
{
    return {{u"seen_at"_s, BackendTimestamp::format(seenAt)}};
}

ScheduleStore::ScheduleStore(QObject *parent)
    : QObject(parent)
{
}

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
