// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/FadeThenCollapseState.h"

#include <chrono>

FadeThenCollapseState::FadeThenCollapseState(QObject *parent)
    : QObject(parent)
{
    m_collapse.setSingleShot(true);
    m_collapse.setTimerType(Qt::PreciseTimer);
    connect(&m_collapse, &QTimer::timeout, this, [this] {
        if (!m_presented)
            setMounted(false);
    });
}

void FadeThenCollapseState::classBegin()
{
    m_complete = false;
}

void FadeThenCollapseState::componentComplete()
{
    m_complete = true;
    setAnimated(false);
    setMounted(m_presented);
    setOpaque(m_presented);
}

void FadeThenCollapseState::setPresented(bool presented)
{
    if (m_presented == presented)
        return;
    m_presented = presented;
    emit presentedChanged();
    if (!m_complete)
        return;

    // A new change supersedes the removal of an earlier dismissal.
    m_collapse.stop();
    if (m_reduceMotion) {
        setAnimated(false);
        setMounted(presented);
        setOpaque(presented);
        return;
    }
    setAnimated(true);
    if (presented) {
        setMounted(true);
        setOpaque(true);
    } else {
        setOpaque(false);
        m_collapse.start(std::chrono::milliseconds(qRound(m_fade * 0.35 * 1000)));
    }
}

void FadeThenCollapseState::setReduceMotion(bool reduceMotion)
{
    if (m_reduceMotion == reduceMotion)
        return;
    m_reduceMotion = reduceMotion;
    emit reduceMotionChanged();
}

void FadeThenCollapseState::setFade(qreal seconds)
{
    if (qFuzzyCompare(m_fade, seconds))
        return;
    m_fade = seconds;
    emit fadeChanged();
}

void FadeThenCollapseState::setMounted(bool mounted)
{
    if (m_mounted == mounted)
        return;
    m_mounted = mounted;
    emit mountedChanged();
}

void FadeThenCollapseState::setOpaque(bool opaque)
{
    if (m_opaque == opaque)
        return;
    m_opaque = opaque;
    emit opaqueChanged();
}

void FadeThenCollapseState::setAnimated(bool animated)
{
    if (m_animated == animated)
        return;
    m_animated = animated;
    emit animatedChanged();
}
