// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ConnectingPill.h"

#include "kit/TextRules.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWindow>

ConnectingPill::ConnectingPill(ContinuousClock::Delay wait, QObject *parent)
    : QObject(parent)
    , m_wait(std::move(wait))
{
}

QString ConnectingPill::cutTitle(const QString &title)
{
    return cutToCharacters(title, 43, 41);
}

QPoint ConnectingPill::origin(const QRect &available, const QSize &size)
{
    return {available.x() + (available.width() - size.width()) / 2, available.y() + 6};
}

void ConnectingPill::setSuppressed(bool suppressed)
{
    if (m_suppressed == suppressed)
        return;
    m_suppressed = suppressed;
    emit suppressedChanged();
}

void ConnectingPill::show(const QString &title)
{
    if (m_suppressed)
        return;
    ++m_presentation;
    setTitle(cutTitle(title));
    setPhase(Phase::Connecting);
    emit shown();
    setPresented(true);
}

bool ConnectingPill::markConnected(const QString &title)
{
    if (m_suppressed || !m_presented)
        return false;
    setTitle(cutTitle(title));
    setPhase(Phase::Connected);
    closeAfterSuccess(++m_presentation);
    return true;
}

void ConnectingPill::dismiss()
{
    ++m_presentation;
    setPresented(false);
}

void ConnectingPill::closeByHand()
{
    setSuppressed(true);
    dismiss();
}

void ConnectingPill::place(QWindow *window) const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (window && screen)
        window->setPosition(origin(screen->availableGeometry(), window->size()));
}

QCoro::Task<> ConnectingPill::closeAfterSuccess(quint64 presentation)
{
    // Nobody awaits this task: the pill may be gone when the wait ends.
    const QPointer<ConnectingPill> self(this);
    co_await m_wait(successShownFor);
    if (self && self->m_presentation == presentation && self->m_phase == Phase::Connected)
        self->setPresented(false);
}

void ConnectingPill::setTitle(const QString &title)
{
    if (m_title == title)
        return;
    m_title = title;
    emit titleChanged();
}

void ConnectingPill::setPhase(Phase phase)
{
    if (m_phase == phase)
        return;
    m_phase = phase;
    emit phaseChanged();
}

void ConnectingPill::setPresented(bool presented)
{
    if (m_presented == presented)
        return;
    m_presented = presented;
    emit presentedChanged();
}
