// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/ClockedPaintedItem.h"

#include "foundation/Clock.h"
#include "foundation/ReferenceSeconds.h"

ClockedPaintedItem::ClockedPaintedItem(QQuickItem *parent)
    : QQuickPaintedItem(parent)
    , m_clock(&Clock::system())
{
    setAntialiasing(true);
    setAcceptedMouseButtons(Qt::NoButton);
    m_frames.setInterval(1000 / 30);
    connect(&m_frames, &QTimer::timeout, this, [this] { update(); });
    connect(this, &QQuickItem::visibleChanged, this, &ClockedPaintedItem::updateRunning);
    updateRunning();
}

void ClockedPaintedItem::setClock(const Clock *clock)
{
    m_clock = clock;
    update();
}

void ClockedPaintedItem::setScheme(KitPalette::Scheme scheme)
{
    if (m_scheme == scheme)
        return;
    m_scheme = scheme;
    emit schemeChanged();
    update();
}

void ClockedPaintedItem::setReduceMotion(bool reduceMotion)
{
    if (m_reduceMotion == reduceMotion)
        return;
    m_reduceMotion = reduceMotion;
    emit reduceMotionChanged();
    updateRunning();
    // Turning motion back on draws the clock's current phase at once, not the still frame.
    update();
}

double ClockedPaintedItem::frameTime() const
{
    return ReferenceSeconds::from(m_clock->now());
}

void ClockedPaintedItem::holdFrames(bool held)
{
    m_held = held;
    updateRunning();
}

void ClockedPaintedItem::updateRunning()
{
    if (isVisible() && !m_held && !m_reduceMotion)
        m_frames.start();
    else
        m_frames.stop();
}
