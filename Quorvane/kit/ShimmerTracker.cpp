// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/ShimmerTracker.h"

#include "foundation/ReferenceSeconds.h"
#include "foundation/Clock.h"

ShimmerTracker::ShimmerTracker(QObject *parent)
    : QObject(parent)
    , m_clock(&Clock::system())
{
}

double ShimmerTracker::referenceSeconds(const Clock &clock)
{
    return ReferenceSeconds::from(clock.now());
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
