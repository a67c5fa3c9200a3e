// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleIntentCoordinator.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using Kind = ScheduleOperationKind::Case;

const ScheduledPublish *firstWhere(const QList<ScheduledPublish> &schedules, auto predicate)
{
    const auto found = std::find_if(schedules.cbegin(), schedules.cend(), predicate);
    return found == schedules.cend() ? nullptr : &*found;
}

bool isPublishing(const ScheduledPublish &schedule)
{
    return schedule.cloudStatus == u"publishing"_s;
}

} // namespace

ScheduleOperationStatus ScheduleIntentCoordinator::beginReplace(const ScheduledPublish &replacement,
                                                                const QUuid &operationID)
{
    const ScheduleOperationStatus status{
        operationID, ScheduleOperationKind::replace(replacement.id, replacement.siteId),
        ScheduleOperationOutcome::pending()};
    pending.append({status, PendingScheduleIntent::Phase::Pending});
    replacements.insert(operationID, replacement);
    return status;
}

std::optional<ScheduleOperationStatus>
ScheduleIntentCoordinator::applyReplaceResponse(const QUuid &operationID,
                                                const std::optional<ScheduledPublish> &confirmedSchedule)
{
    const std::optional<qsizetype> index = indexOf(operationID);
    if (!index || pending.at(*index).status.kind.which() != Kind::Replace || !replacements.contains(operationID))
        return std::nullopt;
    const ScheduledPublish effective = confirmedSchedule.value_or(replacements.value(operationID));
    const QString siteID = *pending.at(*index).status.kind.siteID();

    QList<QUuid> older;
    for (qsizetype i = 0; i < *index; ++i) {
        const ScheduleOperationKind &kind = pending.at(i).status.kind;
        if ((kind.which() == Kind::Replace || kind.which() == Kind::CancelRow) && kind.siteID() == siteID)
            older.append(pending.at(i).status.id);
    }
    settleEach(older, ScheduleOperationOutcome::superseded(effective));

    const std::optional<qsizetype> current = indexOf(operationID);
    if (!current)
        return std::nullopt;
    confirmForSite(siteID, effective);
    return settle(*current, ScheduleOperationOutcome::accepted());
}

ScheduleOperationStatus ScheduleIntentCoordinator::settle(qsizetype index,
                                                          const ScheduleOperationOutcome &outcome)
{
    ScheduleOperationStatus status = pending.takeAt(index).status;
    replacements.remove(status.id);
    status.outcome = outcome;
    settlements.append(status);
    return status;
}

std::optional<ScheduleOperationStatus> ScheduleIntentCoordinator::refuse(const QUuid &operationID,
                                                                         const QString &message)
{
    const std::optional<qsizetype> index = indexOf(operationID);
    if (!index)
        return std::nullopt;
    return settle(*index, ScheduleOperationOutcome::refused(message));
}

std::optional<ScheduleOperationStatus> ScheduleIntentCoordinator::markAmbiguous(const QUuid &operationID)
{
    const std::optional<qsizetype> index = indexOf(operationID);
    if (!index)
        return std::nullopt;
    PendingScheduleIntent &intent = pending[*index];
    intent.phase = PendingScheduleIntent::Phase::Ambiguous;
    ScheduleOperationStatus copy = intent.status;
    copy.outcome = ScheduleOperationOutcome::ambiguous();
    return copy;
}

QList<ScheduleOperationStatus> ScheduleIntentCoordinator::reconcile(QList<ScheduledPublish> rows)
{
    sortSchedulesByPublishAt(rows);
    confirmed = std::move(rows);

    QList<QUuid> ambiguous;
    for (const PendingScheduleIntent &intent : std::as_const(pending)) {
        if (intent.phase == PendingScheduleIntent::Phase::Ambiguous)
            ambiguous.append(intent.status.id);
    }
    QList<ScheduleOperationStatus> settled;
    for (const QUuid &operationID : std::as_const(ambiguous)) {
        const std::optional<qsizetype> index = indexOf(operationID);
        if (index)
            settled.append(settle(*index, reconciledOutcome(pending.at(*index).status.kind)));
    }
    return settled;
}

std::optional<ScheduleOperationStatus>
ScheduleIntentCoordinator::applyCancellation(const QUuid &operationID, const CancellationOutcome &outcome)
{
    const std::optional<qsizetype> index = indexOf(operationID);
    if (!index)
        return std::nullopt;
    const ScheduleOperationKind kind = pending.at(*index).status.kind;

    switch (outcome.which()) {
    case CancellationOutcome::Case::Publishing:
        return settle(*index, ScheduleOperationOutcome::publishing());
    case CancellationOutcome::Case::Unknown:
        return markAmbiguous(operationID);
    case CancellationOutcome::Case::Cancelled:
    case CancellationOutcome::Case::Absent: {
        dropConfirmed(kind);
        settleCoveredReplaces(*index, kind);
        const std::optional<qsizetype> current = indexOf(operationID);
        if (!current)
            return std::nullopt;
        return settle(*current, outcome.which() == CancellationOutcome::Case::Cancelled
                                    ? ScheduleOperationOutcome::accepted()
                                    : ScheduleOperationOutcome::confirmedAbsent());
    }
    case CancellationOutcome::Case::Superseded: {
        const ScheduledPublish &newer = *outcome.schedule();
        confirmForSite(newer.siteId, newer);
        settleCoveredReplaces(*index, kind);
        const std::optional<qsizetype> current = indexOf(operationID);
        if (!current)
            return std::nullopt;
        return settle(*current, ScheduleOperationOutcome::superseded(newer));
    }
    }
    Q_UNREACHABLE();
    return std::nullopt;
}

QList<ScheduledPublish> ScheduleIntentCoordinator::visibleSchedules() const
{
    QList<ScheduledPublish> visible = confirmed;
    for (const PendingScheduleIntent &intent : pending) {
        const ScheduleOperationKind &kind = intent.status.kind;
        const auto replacement = replacements.constFind(intent.status.id);
        if (kind.which() != Kind::Replace || replacement == replacements.cend())
            continue;
        visible.removeIf([&](const ScheduledPublish &schedule) { return schedule.siteId == *kind.siteID(); });
        visible.append(*replacement);
    }
    sortSchedulesByPublishAt(visible);
    return visible;
}

std::optional<qsizetype> ScheduleIntentCoordinator::indexOf(const QUuid &operationID) const
{
    const auto found = std::find_if(pending.cbegin(), pending.cend(), [&](const PendingScheduleIntent &intent) {
        return intent.status.id == operationID;
    });
    if (found == pending.cend())
        return std::nullopt;
    return found - pending.cbegin();
}

void ScheduleIntentCoordinator::settleEach(const QList<QUuid> &operationIDs,
                                           const ScheduleOperationOutcome &outcome)
{
    for (const QUuid &operationID : operationIDs) {
        if (const std::optional<qsizetype> index = indexOf(operationID))
            settle(*index, outcome);
    }
}

void ScheduleIntentCoordinator::confirmForSite(const QString &siteID, const ScheduledPublish &schedule)
{
    confirmed.removeIf([&](const ScheduledPublish &existing) { return existing.siteId == siteID; });
    confirmed.append(schedule);
}

void ScheduleIntentCoordinator::dropConfirmed(const ScheduleOperationKind &kind)
{
    const std::optional<QString> &siteID = kind.siteID();
    switch (kind.which()) {
    case Kind::Replace:
        return;
    case Kind::CancelRow:
        if (siteID)
            confirmed.removeIf([&](const ScheduledPublish &schedule) { return schedule.siteId == *siteID; });
        else
            confirmed.removeIf([&](const ScheduledPublish &schedule) { return schedule.id == kind.scheduleID(); });
        return;
    case Kind::CancelProject:
        if (siteID)
            confirmed.removeIf([&](const ScheduledPublish &schedule) { return schedule.siteId == *siteID; });
        else
            confirmed.removeIf([&](const ScheduledPublish &schedule) {
                return schedule.connectionName == kind.connectionName();
            });
        return;
    }
}

void ScheduleIntentCoordinator::settleCoveredReplaces(qsizetype count, const ScheduleOperationKind &kind)
{
    QList<QUuid> covered;
    for (qsizetype i = 0; i < count; ++i) {
        if (const std::optional<QUuid> operationID = coveredReplaceID(pending.at(i), kind))
            covered.append(*operationID);
    }
    settleEach(covered, ScheduleOperationOutcome::confirmedAbsent());
}

std::optional<QUuid> ScheduleIntentCoordinator::coveredReplaceID(const PendingScheduleIntent &intent,
                                                                 const ScheduleOperationKind &kind) const
{
    const ScheduleOperationKind &replace = intent.status.kind;
    if (replace.which() != Kind::Replace)
        return std::nullopt;
    bool covered = false;
    if (kind.which() == Kind::CancelRow) {
        covered = kind.scheduleID() == replace.scheduleID();
    } else if (kind.which() == Kind::CancelProject) {
        if (kind.siteID()) {
            covered = kind.siteID() == replace.siteID();
        } else {
            const auto replacement = replacements.constFind(intent.status.id);
            covered = replacement != replacements.cend() && replacement->connectionName == kind.connectionName();
        }
    }
    return covered ? std::optional<QUuid>(intent.status.id) : std::nullopt;
}

ScheduleOperationOutcome ScheduleIntentCoordinator::reconciledOutcome(const ScheduleOperationKind &kind) const
{
    const std::optional<QString> &siteID = kind.siteID();
    const auto withID = [&](const ScheduledPublish &row) { return row.id == kind.scheduleID(); };
    const auto ofSite = [&](const ScheduledPublish &row) { return siteID && row.siteId == *siteID; };

    switch (kind.which()) {
    case Kind::Replace:
        if (firstWhere(confirmed, withID))
            return ScheduleOperationOutcome::accepted();
        if (const ScheduledPublish *row = firstWhere(confirmed, ofSite))
            return ScheduleOperationOutcome::superseded(*row);
        return ScheduleOperationOutcome::confirmedAbsent();
    case Kind::CancelRow:
        if (const ScheduledPublish *row = firstWhere(confirmed, withID)) {
            if (isPublishing(*row))
                return ScheduleOperationOutcome::publishing();
            return ScheduleOperationOutcome::refused(u"The cloud confirmed that the publish is still scheduled."_s);
        }
        if (const ScheduledPublish *row = firstWhere(confirmed, ofSite))
            return ScheduleOperationOutcome::superseded(*row);
        return ScheduleOperationOutcome::confirmedAbsent();
    case Kind::CancelProject: {
        const ScheduledPublish *match =
            siteID ? firstWhere(confirmed, ofSite) : firstWhere(confirmed, [&](const ScheduledPublish &row) {
                return row.connectionName == kind.connectionName();
            });
        if (!match)
            return ScheduleOperationOutcome::confirmedAbsent();
        if (isPublishing(*match))
            return ScheduleOperationOutcome::publishing();
        return ScheduleOperationOutcome::refused(
            u"The cloud confirmed that a matching publish is still scheduled."_s);
    }
    }
    Q_UNREACHABLE();
    return ScheduleOperationOutcome::confirmedAbsent();
}
