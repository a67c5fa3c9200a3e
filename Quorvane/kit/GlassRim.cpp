// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/GlassRim.h"

#include <QLinearGradient>
#include <QPainter>

GlassRim::GlassRim(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

QGradientStops GlassRim::stops(qreal intensity, KitPalette::Scheme scheme)
{
    const qreal k = intensity * (scheme == KitPalette::Scheme::Dark ? 0.4 : 1.0);
    return {{0.0, KitPalette::grey(1.0, 0.55 * k)}, {0.4, KitPalette::grey(1.0, 0.14 * k)}, {1.0, KitPalette::grey(1.0, 0.06 * k)}};
}

void GlassRim::setRadius(qreal radius)
{
    if (qFuzzyCompare(m_radius, radius))
        return;
    m_radius = radius;
    emit radiusChanged();
    update();
}

void GlassRim::setIntensity(qreal intensity)
{
    if (qFuzzyCompare(m_intensity, intensity))
        return;
    m_intensity = intensity;
    emit intensityChanged();
    update();
}

void GlassRim::setScheme(KitPalette::Scheme scheme)
{
    if (m_scheme == scheme)
        return;
    m_scheme = scheme;
    emit schemeChanged();
    update();
}

void GlassRim::paint(QPainter *painter)
{
    if (m_intensity <= 0)
        return;
    // The stroke lies inside the shape: inset by half the line width, then stroked.
    const QRectF shape = boundingRect().adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = qMax(0.0, qMin(m_radius, qMin(width(), height()) / 2) - 0.5);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setStops(stops(m_intensity, m_scheme));
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(QBrush(gradient), 1.0));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(shape, radius, radius);
}
