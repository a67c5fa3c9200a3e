// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QStringView>

/**
 * @brief The date-time text of the hosted backend's rows and replies.
 *
 * The backend writes "2026-01-15T15:30:00.123456+00:00" (PostgreSQL's timestamptz in JSON), the
 * same with "Z", or, for a column without a zone, no zone at all; the fraction has from none to
 * nine digits.
 */
namespace BackendTimestamp {

/// The instant in UTC, to the millisecond (further digits are dropped); a text without a zone is
/// UTC. An invalid QDateTime when the text is not a full date and time (a bare date among them)
/// or lies outside the years 1 to 9999.
[[nodiscard]] QDateTime parse(QStringView text);

/// The instant as the backend accepts it: UTC with milliseconds and "Z".
[[nodiscard]] QString format(const QDateTime &instant);

} // namespace BackendTimestamp
