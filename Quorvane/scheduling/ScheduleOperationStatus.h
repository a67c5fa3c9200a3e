// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/ScheduledPublish.h"

#include <QString>
#include <QUuid>

#include <optional>

/**
 * @brief What a schedule operation does: replace one schedule of a site, cancel one row, or
 * cancel whatever a project has scheduled before it is removed.
 */
class ScheduleOperationKind
{
public:
    enum class Case { Replace, CancelRow, CancelProject };

    [[nodiscard]] static ScheduleOperationKind replace(const QUuid &scheduleID, const QString &siteID);
    [[nodiscard]] static ScheduleOperationKind cancelRow(const QUuid &scheduleID,
                                                         const std::optional<QString> &siteID);
    [[nodiscard]] static ScheduleOperationKind cancelProject(const std::optional<QString> &siteID,
                                                             const QString &connectionName);

    [[nodiscard]] Case which() const { return m_case; }
    /// The schedule of a replace or a row cancel; null for a project cancel.
    [[nodiscard]] const QUuid &scheduleID() const { return m_scheduleID; }
    /// Always present for a replace.
    [[nodiscard]] const std::optional<QString> &siteID() const { return m_siteID; }
    /// The project's connection of a project cancel; empty otherwise.
    [[nodiscard]] const QString &connectionName() const { return m_connectionName; }

    friend bool operator==(const ScheduleOperationKind &, const ScheduleOperationKind &) = default;

private:
    ScheduleOperationKind(Case which, QUuid scheduleID, std::optional<QString> siteID,
                          QString connectionName);

    Case m_case;
    QUuid m_scheduleID;
    std::optional<QString> m_siteID;
    QString m_connectionName;
};

/// @brief Where a schedule operation stands; `refused` carries the user's sentence.
class ScheduleOperationOutcome
{
public:
    enum class Case { Refused, Superseded, Pending, Accepted, Ambiguous, ConfirmedAbsent, Publishing };

    [[nodiscard]] static ScheduleOperationOutcome refused(const QString &message);
    /// The cloud holds a different, newer schedule for the site.
    [[nodiscard]] static ScheduleOperationOutcome superseded(const ScheduledPublish &schedule);
    [[nodiscard]] static ScheduleOperationOutcome pending() { return ScheduleOperationOutcome(Case::Pending); }
    [[nodiscard]] static ScheduleOperationOutcome accepted() { return ScheduleOperationOutcome(Case::Accepted); }
    [[nodiscard]] static ScheduleOperationOutcome ambiguous() { return ScheduleOperationOutcome(Case::Ambiguous); }
    [[nodiscard]] static ScheduleOperationOutcome confirmedAbsent() { return ScheduleOperationOutcome(Case::ConfirmedAbsent); }
    [[nodiscard]] static ScheduleOperationOutcome publishing() { return ScheduleOperationOutcome(Case::Publishing); }

    [[nodiscard]] Case which() const { return m_case; }
    /// The sentence of a refusal; empty otherwise.
    [[nodiscard]] const QString &message() const { return m_message; }
    /// The newer schedule of `superseded`; absent otherwise.
    [[nodiscard]] const std::optional<ScheduledPublish> &schedule() const { return m_schedule; }

    friend bool operator==(const ScheduleOperationOutcome &, const ScheduleOperationOutcome &) = default;

private:
    explicit ScheduleOperationOutcome(Case which, QString message = {},
                                      std::optional<ScheduledPublish> schedule = std::nullopt);

    Case m_case;
    QString m_message;
    std::optional<ScheduledPublish> m_schedule;
};

/// @brief How one schedule operation stands; views follow an operation by its `id`.
struct ScheduleOperationStatus
{
    QUuid id;                         ///< the operation's id (not the schedule's)
    ScheduleOperationKind kind;       ///< what it does
    ScheduleOperationOutcome outcome; ///< changes as the operation proceeds

    friend bool operator==(const ScheduleOperationStatus &, const ScheduleOperationStatus &) = default;
};
