// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/StoreSchedulingContext.h"

#include "scheduling/ScheduleStore.h"

StoreSchedulingContext::StoreSchedulingContext(ScheduleStore &store, const Clock &clock, QObject *parent)
    : SchedulingContext(parent)
    , m_store(store)
    , m_clock(clock)
{
    // The site menu marks sites with a queued publish, and the cloud note follows the state.
    connect(&m_store, &ScheduleStore::schedulesChanged, this, &SchedulingContext::changed);
    connect(&m_store, &ScheduleStore::cloudStateChanged, this, &SchedulingContext::changed);
}

ScheduleTimeContext StoreSchedulingContext::timeContext() const
{
    return ScheduleTimeContext::system(m_clock);
}

ScheduleOperationStatus StoreSchedulingContext::replaceSchedule(const ScheduledPublish &draft)
{
    return m_store.replaceSchedule(draft);
}

QCoro::Task<std::optional<ScheduleOperationStatus>> StoreSchedulingContext::awaitOperation(QUuid operationID)
{
    return m_store.awaitOperation(operationID);
}

QCoro::Task<bool> StoreSchedulingContext::refreshQueue()
{
    return m_store.refreshQueue();
}

std::optional<ScheduleOperationStatus> StoreSchedulingContext::operationStatus(const QUuid &operationID) const
{
    const auto found = m_store.operationStatuses().constFind(operationID);
    if (found == m_store.operationStatuses().cend())
        return std::nullopt;
    return *found;
}

std::optional<CloudAuthSnapshot> StoreSchedulingContext::identity() const
{
    if (!m_store.boundUserID())
        return std::nullopt;
    return CloudAuthSnapshot{*m_store.boundUserID(), m_store.identityEpoch()};
}

std::optional<ScheduledPublish> StoreSchedulingContext::scheduleForSite(const QString &siteID) const
{
    return m_store.scheduleForSite(siteID);
}

bool StoreSchedulingContext::cloudScheduling() const
{
    return m_store.cloudState() == ScheduleStore::CloudState::Cloud;
}
