// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleTimeRules.h"

#include "foundation/Clock.h"
#include "scheduling/ScheduledPublish.h"

using namespace Qt::StringLiterals;

ScheduleTimeContext ScheduleTimeContext::system(const Clock &clock)
{
    return {clock.now(), QTimeZone::systemTimeZone(), QLocale()};
}

namespace ScheduleTimeRules {

namespace {

constexpr qint64 fiveMinutesMs = 300'000;

/// The identifier with its abbreviation at @p instant in brackets, or the bare identifier.
QString zoneLabel(const QTimeZone &zone, const QDateTime &instant)
{
    const QString identifier = QString::fromUtf8(zone.id());
    const QString abbreviation = zone.abbreviation(instant);
    if (abbreviation.isEmpty())
        return identifier;
    return identifier + u" ("_s + abbreviation + u')';
}

const QString notConfirmedMessage =
    u"The cloud may have saved this publish, but Quorvane could not confirm it. Refresh the queue before trying again."_s;

} // namespace

QDateTime defaultPublishTime(const QDateTime &now)
{
    // The reference instant of the schedule rows (2001-01-01 UTC) is itself a five-minute mark of
    // the Unix epoch, so rounding Unix milliseconds lands on the same marks.
    const qint64 target = now.toMSecsSinceEpoch() + 3'600'000;
    qint64 marks = target / fiveMinutesMs;
    if (marks * fiveMinutesMs < target)
        ++marks;
    return QDateTime::fromMSecsSinceEpoch(marks * fiveMinutesMs, QTimeZone::utc());
}

bool isLeadTimeAcceptable(const QDateTime &publishAt, const QDateTime &now)
{
    return now.msecsTo(publishAt) >= minimumLeadSeconds * 1000;
}

QDateTime earliestPublishTime(const QDateTime &now, const QTimeZone &zone)
{
    const QDateTime ahead = now.addSecs(360);
    const QDateTime local = ahead.toTimeZone(zone);
    const QDateTime whole(local.date(), QTime(local.time().hour(), local.time().minute()), zone);
    if (!whole.isValid())
        return ahead;
    return whole.toUTC();
}

QString formTitleDateText(const QDateTime &date, const ScheduleTimeContext &context)
{
    const QString text = context.locale.toString(date.toTimeZone(context.zone), u"MMM d, h:mm AP");
    const QString abbreviation = context.zone.abbreviation(date);
    if (abbreviation.isEmpty())
        return text;
    return text + u", "_s + abbreviation;
}

QString currentTimeZoneLabel(const ScheduleTimeContext &context)
{
    return zoneLabel(context.zone, context.now);
}

std::optional<ScheduleSubmissionError> submissionError(const ScheduleOperationStatus &status,
                                                       const ScheduleTimeContext &context)
{
    const ScheduleOperationOutcome &outcome = status.outcome;
    switch (outcome.which()) {
    case ScheduleOperationOutcome::Case::Accepted:
        return std::nullopt;
    case ScheduleOperationOutcome::Case::Refused:
        return ScheduleSubmissionError{u"Publish not scheduled"_s, outcome.message(), false};
    case ScheduleOperationOutcome::Case::Superseded: {
        const ScheduledPublish newer = outcome.schedule().value_or(ScheduledPublish{});
        return ScheduleSubmissionError{
            u"A newer schedule already exists"_s,
            u"The authoritative queue has "_s + newer.siteName + u" scheduled for "_s
                + publishTimeText(newer.publishAt, newer.timeZoneID, context.locale, context.zone)
                + u". Review the queue before deciding whether to replace it."_s,
            true};
    }
    case ScheduleOperationOutcome::Case::Pending:
    case ScheduleOperationOutcome::Case::Ambiguous:
        return ScheduleSubmissionError{u"Schedule not confirmed"_s, notConfirmedMessage, true};
    case ScheduleOperationOutcome::Case::ConfirmedAbsent:
        return ScheduleSubmissionError{
            u"Publish not scheduled"_s,
            u"The cloud confirmed that this publish was not saved. Review your choices and try again."_s, false};
    case ScheduleOperationOutcome::Case::Publishing:
        return ScheduleSubmissionError{
            u"A publish is already running"_s,
            u"The cloud reports that this site is publishing now. Try again after the active publish finishes."_s,
            true};
    }
    return std::nullopt;
}

} // namespace ScheduleTimeRules
