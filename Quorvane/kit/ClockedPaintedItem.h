// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"

#include <QQuickPaintedItem>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

class Clock;

/**
 * @brief A painted item whose every frame is a pure function of the clock: it redraws at most
 * 30 times a second while shown, and stands still while motion is reduced or its owner holds it.
 * It never takes clicks, so whatever lies under it stays reachable.
 */
class ClockedPaintedItem : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ANONYMOUS

    /// The colour scheme.
    Q_PROPERTY(KitPalette::Scheme scheme READ scheme WRITE setScheme NOTIFY schemeChanged)
    /// The system asks for less motion: the item draws its still frame.
    Q_PROPERTY(bool reduceMotion READ reduceMotion WRITE setReduceMotion NOTIFY reduceMotionChanged)

public:
    explicit ClockedPaintedItem(QQuickItem *parent = nullptr);

    /// Tests hand in a clock they move by hand.
    void setClock(const Clock *clock);
    /// Whether the item is redrawing on its own.
    [[nodiscard]] bool animating() const { return m_frames.isActive(); }

    [[nodiscard]] KitPalette::Scheme scheme() const { return m_scheme; }
    void setScheme(KitPalette::Scheme scheme);
    [[nodiscard]] bool reduceMotion() const { return m_reduceMotion; }
    void setReduceMotion(bool reduceMotion);

signals:
    void schemeChanged();
    void reduceMotionChanged();

protected:
    /// The frame time, in seconds since 2001-01-01 00:00:00 UTC.
    [[nodiscard]] double frameTime() const;
    /// While held, the last frame stays on screen unchanged.
    void holdFrames(bool held);

private:
    void updateRunning();

    const Clock *m_clock;
    KitPalette::Scheme m_scheme = KitPalette::Scheme::Light;
    bool m_reduceMotion = false;
    bool m_held = false;
    QTimer m_frames;
};
