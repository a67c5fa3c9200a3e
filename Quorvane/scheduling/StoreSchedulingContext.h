// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/SchedulingContext.h"

class Clock;
class ScheduleStore;

/**
 * @brief The store half of the scheduling screen's surroundings, over the real schedule store
 * and the owner's clock: its owner (the application model) adds the projects, sites, publishing
 * access and flows it holds.
 */
class StoreSchedulingContext : public SchedulingContext
{
    Q_OBJECT

public:
    /// @p store and @p clock must outlive the context.
    StoreSchedulingContext(ScheduleStore &store, const Clock &clock, QObject *parent = nullptr);

    [[nodiscard]] ScheduleTimeContext timeContext() const override;
    ScheduleOperationStatus replaceSchedule(const ScheduledPublish &draft) override;
    QCoro::Task<std::optional<ScheduleOperationStatus>> awaitOperation(QUuid operationID) override;
    QCoro::Task<bool> refreshQueue() override;
    [[nodiscard]] std::optional<ScheduleOperationStatus> operationStatus(const QUuid &operationID) const override;
    [[nodiscard]] std::optional<CloudAuthSnapshot> identity() const override;
    [[nodiscard]] std::optional<ScheduledPublish> scheduleForSite(const QString &siteID) const override;
    [[nodiscard]] bool cloudScheduling() const override;

protected:
    ScheduleStore &m_store;
    const Clock &m_clock;
};
