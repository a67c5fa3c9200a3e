// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"

#include <QGradientStops>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The thin light rim along the edge of a glass shape: a 1-point border inside a rounded
 * rectangle, brightest at the top. It never takes clicks.
 */
class GlassRim : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT

    /// Corner radius of the shape; a radius of half the height or more gives a capsule.
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY radiusChanged)
    /// Strength of the rim, 1 = full, 0 = invisible.
    Q_PROPERTY(qreal intensity READ intensity WRITE setIntensity NOTIFY intensityChanged)
    /// The colour scheme.
    Q_PROPERTY(KitPalette::Scheme scheme READ scheme WRITE setScheme NOTIFY schemeChanged)

public:
    explicit GlassRim(QQuickItem *parent = nullptr);

    /// The vertical gradient of the rim, top (0) to bottom (1).
    [[nodiscard]] static QGradientStops stops(qreal intensity, KitPalette::Scheme scheme);

    [[nodiscard]] qreal radius() const { return m_radius; }
    void setRadius(qreal radius);
    [[nodiscard]] qreal intensity() const { return m_intensity; }
    void setIntensity(qreal intensity);
    [[nodiscard]] KitPalette::Scheme scheme() const { return m_scheme; }
    void setScheme(KitPalette::Scheme scheme);

    void paint(QPainter *painter) override;

signals:
    void radiusChanged();
    void intensityChanged();
    void schemeChanged();

private:
    qreal m_radius = 0;
    qreal m_intensity = 1;
    KitPalette::Scheme m_scheme = KitPalette::Scheme::Light;
};
