// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleOperationStatus.h"

ScheduleOperationKind::ScheduleOperationKind(Case which, QUuid scheduleID,
                                             std::optional<QString> siteID, QString connectionName)
    : m_case(which)
    , m_scheduleID(scheduleID)
    , m_siteID(std::move(siteID))
    , m_connectionName(std::move(connectionName))
{
}

ScheduleOperationKind ScheduleOperationKind::replace(const QUuid &scheduleID, const QString &siteID)
{
    return {Case::Replace, scheduleID, siteID, {}};
}

ScheduleOperationKind ScheduleOperationKind::cancelRow(const QUuid &scheduleID,
                                                       const std::optional<QString> &siteID)
{
    return {Case::CancelRow, scheduleID, siteID, {}};
}

ScheduleOperationKind ScheduleOperationKind::cancelProject(const std::optional<QString> &siteID,
                                                           const QString &connectionName)
{
    return {Case::CancelProject, {}, siteID, connectionName};
}

ScheduleOperationOutcome::ScheduleOperationOutcome(Case which, QString message,
                                                   std::optional<ScheduledPublish> schedule)
    : m_case(which)
    , m_message(std::move(message))
    , m_schedule(std::move(schedule))
{
}

ScheduleOperationOutcome ScheduleOperationOutcome::refused(const QString &message)
{
    return ScheduleOperationOutcome(Case::Refused, message);
}

ScheduleOperationOutcome ScheduleOperationOutcome::superseded(const ScheduledPublish &schedule)
{
    return ScheduleOperationOutcome(Case::Superseded, {}, schedule);
}
