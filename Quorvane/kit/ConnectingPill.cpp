// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/ConnectingPill.h"

#include "kit/TextRules.h"

#include <QGuiApplication>
#include <QJSEngine>
#include <QScreen>
#include <QWindow>

ConnectingPill::ConnectingPill(std::chrono::milliseconds closeDelay, QObject *parent)
    : QObject(parent)
{
    m_successClose.setSingleShot(true);
    m_successClose.setTimerType(Qt::PreciseTimer);
    m_successClose.setInterval(closeDelay);
    connect(&m_successClose, &QTimer::timeout, this, [this] {
        if (m_phase == Phase::Connected)
            setPresented(false);
    });
}

ConnectingPill &ConnectingPill::shared()
{
    // Made once and kept reachable for the whole process, never destroyed after the application.
    static ConnectingPill *const pill = new ConnectingPill;
    return *pill;
}

ConnectingPill *ConnectingPill::create(QQmlEngine *, QJSEngine *)
{
    ConnectingPill *pill = &shared();
    QJSEngine::setObjectOwnership(pill, QJSEngine::CppOwnership);
    return pill;
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
    m_successClose.stop();
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
    m_successClose.start();
    return true;
}

void ConnectingPill::dismiss()
{
    m_successClose.stop();
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
