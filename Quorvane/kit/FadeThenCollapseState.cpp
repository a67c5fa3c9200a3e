// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/FadeThenCollapseState.h"

#include <QPointer>

#include <chrono>

FadeThenCollapseState::FadeThenCollapseState(QObject *parent)
    : QObject(parent)
{
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
    const quint64 change = ++m_change;
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
        collapseAfterFade(change);
    }
}

QCoro::Task<> FadeThenCollapseState::collapseAfterFade(quint64 change)
{
    // Nobody awaits this task: the state may be gone when the wait ends. The content keeps its
    // space until it has faded out completely; removed sooner it would vanish while visible.
    const QPointer<FadeThenCollapseState> self(this);
    co_await m_wait(std::chrono::milliseconds(qRound(m_fade * 1000)));
    if (self && self->m_change == change && !self->m_presented)
        self->setMounted(false);
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
