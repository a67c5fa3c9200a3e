// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

/**
 * @brief What every kit view reads from its surroundings: the colour scheme, the pill hover
 * epoch and the reduce-motion setting. One per QML engine; the panel (or a test) sets it.
 */
class KitEnvironment : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    /// Light or dark; every component draws its colours from it.
    Q_PROPERTY(KitPalette::Scheme scheme READ scheme WRITE setScheme NOTIFY schemeChanged)
    /// True in the dark scheme.
    Q_PROPERTY(bool dark READ dark NOTIFY schemeChanged)
    /// Raised by the panel whenever its window gains or loses focus; every pill button then
    /// forgets its hover.
    Q_PROPERTY(int pillHoverEpoch READ pillHoverEpoch WRITE setPillHoverEpoch NOTIFY pillHoverEpochChanged)
    /// True: transitions switch at once and the shimmer stands still.
    Q_PROPERTY(bool reduceMotion READ reduceMotion WRITE setReduceMotion NOTIFY reduceMotionChanged)

public:
    using QObject::QObject;

    [[nodiscard]] KitPalette::Scheme scheme() const { return m_scheme; }
    void setScheme(KitPalette::Scheme scheme);
    [[nodiscard]] bool dark() const { return m_scheme == KitPalette::Scheme::Dark; }
    [[nodiscard]] int pillHoverEpoch() const { return m_pillHoverEpoch; }
    void setPillHoverEpoch(int epoch);
    [[nodiscard]] bool reduceMotion() const { return m_reduceMotion; }
    void setReduceMotion(bool reduceMotion);

signals:
    /// The scheme changed.
    void schemeChanged();
    /// The hover epoch changed.
    void pillHoverEpochChanged();
    /// The reduce-motion setting changed.
    void reduceMotionChanged();

private:
    KitPalette::Scheme m_scheme = KitPalette::Scheme::Light;
    int m_pillHoverEpoch = 0;
    bool m_reduceMotion = false;
};
