// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/ClockedPaintedItem.h"
#include "kit/KitPalette.h"
#include "kit/ShimmerTracker.h"

#include <QList>
#include <QPainterPath>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

#include <optional>

/**
 * @brief The panel's animated background: 62 dots and 12 four-pointed stars drift, wrap around
 * the edges and twinkle; right after the pointer moves, those near it brighten, grow and swirl.
 *
 * Every frame is a pure function of the absolute time, the size, the scheme and the tracker, so
 * the field keeps no per-particle state. It takes no pointer events.
 */
class ShimmerField : public ClockedPaintedItem
{
    Q_OBJECT
    QML_ELEMENT

    /// Pointer input, written by the owner.
    Q_PROPERTY(ShimmerTracker *tracker READ tracker WRITE setTracker NOTIFY trackerChanged)
    /// Set by the owner: the field stands still.
    Q_PROPERTY(bool paused READ paused WRITE setPaused NOTIFY pausedChanged)

public:
    /// One shape of a frame.
    struct Particle
    {
        bool star = false;
        QPointF centre;
        /// A dot's radius, or a star's size (tip to tip).
        double size = 0;
        double alpha = 0;

        bool operator==(const Particle &) const = default;
    };

    explicit ShimmerField(QQuickItem *parent = nullptr);

    /// The fixed pseudo-random value of key `k` (1…7) for particle `n`, in [0, 1).
    [[nodiscard]] static double hash(int k, int n);
    /// How strongly the pointer acts at time `t`: 1 right after a move, fading to 0 over 0.8 s.
    [[nodiscard]] static double energy(const std::optional<QPointF> &point, double lastMoved, double t);
    /// The shapes to fill at time `t` (seconds since 2001) on a field of that size, dots before
    /// stars; shapes too faint to see are left out.
    [[nodiscard]] static QList<Particle> particles(double t, QSizeF size, KitPalette::Scheme scheme,
                                                   const std::optional<QPointF> &point, double lastMoved);
    /// The outline of a star of that size centred on `centre`.
    [[nodiscard]] static QPainterPath starPath(QPointF centre, double size);
    /// The colour of the particles.
    [[nodiscard]] static QColor tint(KitPalette::Scheme scheme);

    [[nodiscard]] ShimmerTracker *tracker() const { return m_tracker; }
    void setTracker(ShimmerTracker *tracker);
    [[nodiscard]] bool paused() const { return m_paused; }
    void setPaused(bool paused);

    void paint(QPainter *painter) override;

signals:
    void trackerChanged();
    void pausedChanged();

private:
    QPointer<ShimmerTracker> m_tracker;
    bool m_paused = false;
};
