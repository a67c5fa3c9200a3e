// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "onboarding/WhatsNewLayer.h"

#include "foundation/Clock.h"
#include "foundation/ReferenceSeconds.h"

WhatsNewLayer::WhatsNewLayer(QQuickItem *parent)
    : QQuickPaintedItem(parent)
    , m_clock(&Clock::system())
{
    setAntialiasing(true);
    setAcceptedMouseButtons(Qt::NoButton);
    m_frames.setInterval(1000 / 30);
    connect(&m_frames, &QTimer::timeout, this, [this] { update(); });
    connect(this, &QQuickItem::visibleChanged, this, &WhatsNewLayer::updateRunning);
    updateRunning();
}

void WhatsNewLayer::setClock(const Clock *clock)
{
    m_clock = clock;
    update();
}

void WhatsNewLayer::setScheme(KitPalette::Scheme scheme)
{
    if (m_scheme == scheme)
        return;
    m_scheme = scheme;
    emit schemeChanged();
    update();
}

void WhatsNewLayer::setReduceMotion(bool reduceMotion)
{
    if (m_reduceMotion == reduceMotion)
        return;
    m_reduceMotion = reduceMotion;
    emit reduceMotionChanged();
    updateRunning();
    // Turning motion back on draws the clock's current phase at once, not the still frame.
    update();
}

double WhatsNewLayer::frameTime() const
{
    return ReferenceSeconds::from(m_clock->now());
}

void WhatsNewLayer::updateRunning()
{
    if (isVisible() && !m_reduceMotion)
        m_frames.start();
    else
        m_frames.stop();
}
