// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/BeginProjectRemovalResponse.h"
#include "scheduling/CancelRPCResult.h"
#include "scheduling/CancellationOutcome.h"
#include "scheduling/ScheduleCloudRow.h"
#include "scheduling/ScheduledPublish.h"

#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

/**
 * @brief How the schedule store judges what the backend answers to its writes: whether a replace
 * reply is exactly the schedule that was asked for, which server refusals the user gets a sentence
 * for, and what a cancel or removal verdict means. Pure functions; the store does the calling.
 */
namespace ScheduleWriteRules {

/// The schedule the cloud now holds, when @p row is the canonical form of @p draft saved for
/// @p userID; nothing at the first rule that fails. The server may rename the site and reorder the
/// targets, nothing else: an answer that differs in any other way means nobody knows what the
/// cloud really saved.
[[nodiscard]] std::optional<ScheduledPublish> canonicalSchedule(const ScheduleCloudRow &row,
                                                                const ScheduledPublish &draft,
                                                                const QUuid &userID);

/// The user's sentence for a replace the server refused, found by the first needle the error's
/// text contains; nothing for a failure nobody can explain (the schedule may have been saved).
[[nodiscard]] std::optional<QString> userMessageForScheduleError(const QString &errorText);

/// The parameters of "cancel_scheduled_publish".
[[nodiscard]] QJsonObject cancelParams(const QUuid &scheduleID, const QUuid &userID);

/// What a cancel reply says about @p scheduleID: a reply about another schedule, a verdict the
/// client does not know (letter case counts) or "superseded" without the newer schedule are all
/// unknown.
[[nodiscard]] CancellationOutcome cancellationOutcome(const CancelRPCResult &reply, const QUuid &scheduleID);

/// The parameters of "begin_project_removal"; without a site the key is left out, an empty site
/// id is sent as it is.
[[nodiscard]] QJsonObject beginRemovalParams(const QUuid &userID, const std::optional<QString> &siteID,
                                             const QString &connectionName);

/// @brief What the backend said when asked to start a project's removal.
struct RemovalVerdict
{
    CancellationOutcome outcome = CancellationOutcome::unknown();
    /// The lease the backend granted; only read with a verdict that lets the removal go on.
    std::optional<QUuid> leaseID;

    friend bool operator==(const RemovalVerdict &, const RemovalVerdict &) = default;
};

/// The removal verdict of a begin reply: "cancelled", "absent" and "already_terminal" keep the
/// lease id, "publishing" drops it, anything else is unknown.
[[nodiscard]] RemovalVerdict removalVerdict(const BeginProjectRemovalResponse &reply);

/// The parameters of "finish_project_removal".
[[nodiscard]] QJsonObject finishRemovalParams(const QUuid &userID, const QUuid &leaseID, bool committed);

} // namespace ScheduleWriteRules
