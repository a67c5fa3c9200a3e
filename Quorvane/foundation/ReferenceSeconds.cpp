// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/ReferenceSeconds.h"

#include <cmath>
#include <limits>

namespace ReferenceSeconds {

QDateTime origin()
{
    return QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
}

double from(const QDateTime &instant)
{
    return double(origin().msecsTo(instant)) / 1000.0;
}

std::optional<QDateTime> toDate(double seconds, double furthest)
{
    if (!std::isfinite(seconds) || std::abs(seconds) > furthest)
        return std::nullopt;
    const QDateTime instant = origin().addMSecs(std::llround(seconds * 1000.0));
    if (!instant.isValid())
        return std::nullopt;
    return instant;
}

Instant::Instant(const QDateTime &date)
    : m_seconds(from(date))
{
}

std::optional<Instant> Instant::fromSeconds(double seconds, double furthest)
{
    if (!toDate(seconds, furthest))
        return std::nullopt;
    return Instant(seconds);
}

QDateTime Instant::date() const
{
    // fromSeconds() and the constructor only ever hold numbers that make a valid date.
    return *toDate(m_seconds, std::numeric_limits<double>::infinity());
}

} // namespace ReferenceSeconds
