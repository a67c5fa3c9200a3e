// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/ShimmerTracker.h"

#include "platform/Clock.h"

namespace {

// 2001-01-01T00:00:00Z in milliseconds since the Unix epoch.
constexpr qint64 referenceDateMs = 978307200000;

} // namespace

ShimmerTracker::ShimmerTracker(QObject *parent)
    : QObject(parent)
    , m_clock(&Clock::system())
{
}

double ShimmerTracker::referenceSeconds(const Clock &clock)
{
    return double(clock.now().toMSecsSinceEpoch() - referenceDateMs) / 1000.0;
}

void ShimmerTracker::setClock(const Clock *clock)
{
    m_clock = clock;
}

void ShimmerTracker::moved(QPointF point)
{
    m_point = point;
    m_lastMoved = referenceSeconds(*m_clock);
}

void ShimmerTracker::left()
{
    m_lastMoved = referenceSeconds(*m_clock) - 0.8;
}
