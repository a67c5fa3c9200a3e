// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/ScheduleOperationStatus.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>

#include <optional>

class Clock;

/**
 * @brief The instant, zone and locale the schedule time rules read. The application hands in the
 * computer's own; tests pin theirs, so no rule depends on the machine it runs on.
 */
struct ScheduleTimeContext
{
    QDateTime now;  ///< the current instant
    QTimeZone zone; ///< the computer's current zone: every publish is scheduled in it
    QLocale locale; ///< month names, day periods and digits

    /// The computer's zone and the user's locale at @p clock's current instant.
    [[nodiscard]] static ScheduleTimeContext system(const Clock &clock);
};

/// @brief Why a schedule operation did not go through, as the form's error card and the screen's
/// notice show it.
struct ScheduleSubmissionError
{
    QString heading;
    QString message;
    /// Reading the cloud queue again can settle the question.
    bool canRefresh = false;

    friend bool operator==(const ScheduleSubmissionError &, const ScheduleSubmissionError &) = default;
};

namespace ScheduleTimeRules {

/// How far ahead a publish must be to be accepted, inclusive.
inline constexpr qint64 minimumLeadSeconds = 300;

/// The first five-minute mark at or after one hour from @p now.
[[nodiscard]] QDateTime defaultPublishTime(const QDateTime &now);

/// Whether @p publishAt is at least the minimum lead ahead of @p now.
[[nodiscard]] bool isLeadTimeAcceptable(const QDateTime &publishAt, const QDateTime &now);

/// Where a time that came too close moves to: now plus 360 seconds cut down to the whole minute
/// in @p zone, so between 300 and 360 seconds ahead.
[[nodiscard]] QDateTime earliestPublishTime(const QDateTime &now, const QTimeZone &zone);

/// The end of the form's title: "Jun 3, 9:00 AM, PDT", with the abbreviation in effect at
/// @p date rather than today's.
[[nodiscard]] QString formTitleDateText(const QDateTime &date, const ScheduleTimeContext &context);

/// The form's time-zone line: "America/Los_Angeles (PDT)", the abbreviation of the present
/// moment; the bare identifier when the zone has none.
[[nodiscard]] QString currentTimeZoneLabel(const ScheduleTimeContext &context);

/// What to tell the user about an operation's final status; none when it was accepted. A
/// superseding schedule's time is shown in its own zone (@p context's zone when the computer does
/// not know that one).
[[nodiscard]] std::optional<ScheduleSubmissionError> submissionError(const ScheduleOperationStatus &status,
                                                                     const ScheduleTimeContext &context);

} // namespace ScheduleTimeRules
