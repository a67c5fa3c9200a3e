// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/KitEnvironment.h"

void KitEnvironment::setScheme(KitPalette::Scheme scheme)
{
    if (m_scheme == scheme)
        return;
    m_scheme = scheme;
    emit schemeChanged();
}

void KitEnvironment::setPillHoverEpoch(int epoch)
{
    if (m_pillHoverEpoch == epoch)
        return;
    m_pillHoverEpoch = epoch;
    emit pillHoverEpochChanged();
}

void KitEnvironment::setReduceMotion(bool reduceMotion)
{
    if (m_reduceMotion == reduceMotion)
        return;
    m_reduceMotion = reduceMotion;
    emit reduceMotionChanged();
}
