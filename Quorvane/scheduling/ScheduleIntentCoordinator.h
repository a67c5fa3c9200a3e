// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/CancellationOutcome.h"
#include "scheduling/ScheduleOperationStatus.h"
#include "scheduling/ScheduledPublish.h"

#include <QHash>
#include <QList>
#include <QUuid>

#include <optional>

/// @brief One schedule operation that the cloud has not confirmed yet.
struct PendingScheduleIntent
{
    enum class Phase {
        Pending,   ///< the backend call is in flight
        Ambiguous, ///< the call ended without telling whether the cloud applied it
    };

    ScheduleOperationStatus status; ///< its outcome stays pending while the intent is held
    Phase phase = Phase::Pending;

    friend bool operator==(const PendingScheduleIntent &, const PendingScheduleIntent &) = default;
};

/**
 * @brief What the cloud has confirmed and, beside it, every schedule operation it has not, so the
 * queue can show a change at once and settle it from whatever evidence arrives later: the reply
 * of a replace, a cancellation outcome, a refusal or a queue read.
 *
 * A plain value owned by the schedule store. Operations that name an operation id act on the
 * oldest intent with that id; finding none they change nothing and answer nothing, which is how a
 * late reply for an operation settled meanwhile is dropped.
 */
struct ScheduleIntentCoordinator
{
    /// The schedules the cloud is known to hold, earliest first.
    QList<ScheduledPublish> confirmed;
    /// Unsettled operations, oldest first. A cancel intent is appended here directly by the store.
    QList<PendingScheduleIntent> pending;
    /// The schedule each unsettled replace puts in place, by operation id.
    QHash<QUuid, ScheduledPublish> replacements;
    /// Statuses settled since the store last took them, in settling order.
    QList<ScheduleOperationStatus> settlements;

    /// Records a pending replace of @p replacement's site and answers its pending status.
    ScheduleOperationStatus beginReplace(const ScheduledPublish &replacement, const QUuid &operationID);

    /// The replace was confirmed: @p confirmedSchedule (the held replacement when none is given)
    /// takes its site's place, older operations aiming at that site are superseded by it, and the
    /// replace is accepted.
    std::optional<ScheduleOperationStatus>
    applyReplaceResponse(const QUuid &operationID, const std::optional<ScheduledPublish> &confirmedSchedule);

    /// Removes the intent at @p index with its replacement and files its status with @p outcome.
    ScheduleOperationStatus settle(qsizetype index, const ScheduleOperationOutcome &outcome);

    /// Settles the operation as refused with the user's sentence @p message.
    std::optional<ScheduleOperationStatus> refuse(const QUuid &operationID, const QString &message);

    /// Leaves the operation to the next queue read; answers a copy of its status as ambiguous
    /// without filing anything.
    std::optional<ScheduleOperationStatus> markAmbiguous(const QUuid &operationID);

    /// Takes @p rows as the confirmed queue and settles every ambiguous intent against them;
    /// intents whose call is still in flight are left alone. Answers the statuses it settled.
    QList<ScheduleOperationStatus> reconcile(QList<ScheduledPublish> rows);

    /// Settles a cancel operation with what the cloud said about it.
    std::optional<ScheduleOperationStatus> applyCancellation(const QUuid &operationID,
                                                             const CancellationOutcome &outcome);

    /// The queue the views show: the confirmed schedules with each unsettled replace, in order,
    /// standing in for its site's schedule; earliest first, equal times in that order.
    [[nodiscard]] QList<ScheduledPublish> visibleSchedules() const;

    friend bool operator==(const ScheduleIntentCoordinator &, const ScheduleIntentCoordinator &) = default;

private:
    [[nodiscard]] std::optional<qsizetype> indexOf(const QUuid &operationID) const;
    /// Settles each listed operation still pending with @p outcome.
    void settleEach(const QList<QUuid> &operationIDs, const ScheduleOperationOutcome &outcome);
    /// Puts @p schedule in place of every confirmed schedule of @p siteID.
    void confirmForSite(const QString &siteID, const ScheduledPublish &schedule);
    void dropConfirmed(const ScheduleOperationKind &kind);
    void settleCoveredReplaces(qsizetype count, const ScheduleOperationKind &kind);
    [[nodiscard]] std::optional<QUuid> coveredReplaceID(const PendingScheduleIntent &intent,
                                                        const ScheduleOperationKind &kind) const;
    [[nodiscard]] ScheduleOperationOutcome reconciledOutcome(const ScheduleOperationKind &kind) const;
};
