// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/GlassTint.h"

#include <QMetaObject>

GlassTint::GlassTint(QObject *parent)
    : QObject(parent)
{
}

void GlassTint::setTint(const QColor &tint)
{
    if (m_tint == tint)
        return;
    m_tint = tint;
    emit tintChanged();
    scheduleApply();
}

void GlassTint::setScheme(KitPalette::Scheme scheme)
{
    if (m_scheme == scheme)
        return;
    m_scheme = scheme;
    emit schemeChanged();
    scheduleApply();
}

void GlassTint::classBegin()
{
    m_complete = false;
}

void GlassTint::componentComplete()
{
    m_complete = true;
    apply();
}

void GlassTint::scheduleApply()
{
    if (!m_complete || m_applyPending)
        return;
    m_applyPending = true;
    QMetaObject::invokeMethod(this, &GlassTint::apply, Qt::QueuedConnection);
}

void GlassTint::apply()
{
    m_applyPending = false;
    const bool schemeUnchanged = m_lastScheme == m_scheme;
    m_lastScheme = m_scheme;
    if (m_applied == m_tint)
        return;
    if (m_fades != schemeUnchanged) {
        m_fades = schemeUnchanged;
        emit fadesChanged();
    }
    m_applied = m_tint;
    emit colorChanged();
}
