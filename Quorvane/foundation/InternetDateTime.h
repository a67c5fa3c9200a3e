// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QStringView>

/**
 * @brief The date text of projects.json and sites.json: ISO-8601 internet date-time with whole
 * seconds, "2026-03-08T15:30:00Z" (an offset such as "+02:00" is read too).
 */
namespace InternetDateTime {

/// The instant in UTC; an invalid QDateTime when the text is not a full date and time with "Z" or
/// an offset and no fraction.
[[nodiscard]] QDateTime parse(QStringView text);

/// The instant in UTC, whole seconds (a fraction is dropped), with "Z".
[[nodiscard]] QString format(const QDateTime &instant);

} // namespace InternetDateTime
