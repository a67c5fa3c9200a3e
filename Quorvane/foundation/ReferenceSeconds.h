// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QHashFunctions>

#include <compare>
#include <optional>

/**
 * @brief Dates written as numbers: seconds, with fraction, since 2001-01-01 00:00:00 UTC, as
 * connections.json and account.json write them.
 */
namespace ReferenceSeconds {

/// The origin of the numeric dates: 2001-01-01 00:00:00 UTC.
[[nodiscard]] QDateTime origin();

/// The seconds from the origin to @p instant, to the millisecond.
[[nodiscard]] double from(const QDateTime &instant);

/// The instant @p seconds after the origin, rounded to the millisecond; none when the number is
/// not finite or lies more than @p furthest seconds either side of the origin.
[[nodiscard]] std::optional<QDateTime> toDate(double seconds, double furthest);

/**
 * @brief An instant kept as its number of seconds since the origin.
 *
 * A number read from a file stays exactly that number: it compares and is written back as read,
 * where a QDateTime would round it to the millisecond (700000000.0004 and 700000000.0001 would
 * become one instant, and 790000000.1234567 would be written back as 790000000.123).
 */
class Instant
{
public:
    /// The instant of a date, to the millisecond.
    explicit Instant(const QDateTime &date);

    /// The number exactly as given; none when it is no date toDate() accepts.
    [[nodiscard]] static std::optional<Instant> fromSeconds(double seconds, double furthest);

    [[nodiscard]] double seconds() const { return m_seconds; }
    /// The instant as a date, rounded to the millisecond.
    [[nodiscard]] QDateTime date() const;

    friend bool operator==(const Instant &, const Instant &) = default;
    friend std::partial_ordering operator<=>(const Instant &, const Instant &) = default;

private:
    explicit Instant(double seconds)
        : m_seconds(seconds)
    {
    }

    double m_seconds = 0;
};

[[nodiscard]] inline size_t qHash(const Instant &instant, size_t seed = 0) noexcept
{
    return ::qHash(instant.seconds(), seed);
}

} // namespace ReferenceSeconds
