// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QStringView>

/**
 * @brief ISO-8601 internet date-time texts, the one reader behind every date text we read: our
 * own files ("2026-03-08T15:30:00Z"), the schedule cache and the hosted backend's rows.
 *
 * Every form is "yyyy-MM-ddTHH:mm:ss" followed by what the form allows: a fraction of the second
 * and a zone. An instant that lies outside the years 1 to 9999 once in UTC is refused in every
 * form, since it could not be written back.
 */
namespace InternetDateTime {

/// What a form accepts after the seconds.
struct Form
{
    /// The most digits the fraction of the second may have; 0 allows no fraction. Digits past the
    /// third are dropped, since instants are kept to the millisecond.
    int fractionDigits = 0;
    /// Whether "+hh:mm" and "-hh:mm" are accepted besides "Z".
    bool offsets = true;
    /// Whether offsets may also be written "+hhmm" or "+hh".
    bool compactOffsets = false;
    /// Whether a text without any zone is accepted, as UTC.
    bool zoneless = false;
};

/// projects.json and sites.json: whole seconds, "Z" or "±hh:mm".
inline constexpr Form fileForm{};
/// The schedule cache: whole seconds in UTC, "Z" only, exactly as format() writes.
inline constexpr Form utcForm{0, false, false, false};
/// RFC 3339 as services write it, such as the site-state reply: the file form with an optional
/// fraction of the second.
inline constexpr Form rfc3339Form{9, true, false, false};
/// The backend's rows and replies (PostgreSQL's timestamptz in JSON): up to nine fraction digits,
/// any of the offset spellings, and no zone at all for UTC.
inline constexpr Form backendForm{9, true, true, true};

/// The instant in UTC; an invalid QDateTime when the text is not in @p form, names a day, time or
/// offset that does not exist, or lies outside the years 1 to 9999 in UTC.
[[nodiscard]] QDateTime parse(QStringView text, const Form &form);

/// The instant of a text in fileForm.
[[nodiscard]] QDateTime parse(QStringView text);

/// The instant in UTC, whole seconds (a fraction is dropped), with "Z".
[[nodiscard]] QString format(const QDateTime &instant);

} // namespace InternetDateTime
