// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>

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

} // namespace ReferenceSeconds
