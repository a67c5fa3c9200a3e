// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/ShimmerField.h"

#include "kit/ShimmerTracker.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {

constexpr double twoPi = 2 * std::numbers::pi;
constexpr double reach = 110;

// Wraps a coordinate into [0, extent), so a particle leaving one edge comes back at the other.
double wrapped(double value, double extent)
{
    const double r = std::fmod(value, extent);
    return r < 0 ? r + extent : r;
}

} // namespace

ShimmerField::ShimmerField(QQuickItem *parent)
    : ClockedPaintedItem(parent)
{
}

double ShimmerField::hash(int k, int n)
{
    const quint64 mixed = quint64(k) * 668265263ULL + quint64(n) * 374761393ULL;
    const double y = std::sin(double(mixed)) * 43758.5453;
    return y - std::floor(y);
}

double ShimmerField::energy(const std::optional<QPointF> &point, double lastMoved, double t)
{
    if (!point)
        return 0;
    const double s = t - lastMoved;
    if (s < 0)
        return 1;
    if (s < 0.8)
        return (1 - s / 0.8) * (1 - s / 0.8);
    return 0;
}

QColor ShimmerField::tint(KitPalette::Scheme scheme)
{
    return scheme == KitPalette::Scheme::Dark ? KitPalette::rgb(0.94, 0.92, 1.00) : KitPalette::rgb(0.33, 0.12, 0.90);
}

QList<ShimmerField::Particle> ShimmerField::particles(double t, QSizeF size, KitPalette::Scheme scheme,
                                                      const std::optional<QPointF> &point, double lastMoved)
{
    const double W = size.width();
    const double H = size.height();
    QList<Particle> shapes;
    if (W <= 0 || H <= 0)
        return shapes;
    const double brightness = scheme == KitPalette::Scheme::Dark ? 1.7 : 2.5;
    const double e = energy(point, lastMoved, t);
    const bool pointerActs = point && e > 0.001;
    const double T = t * 2.4;

    struct Course
    {
        double x, y, phi, influence;
    };
    const auto course = [&](int n) {
        const double theta = hash(1, n) * twoPi;
        const double v = (hash(2, n) * 0.6 + 0.4) * 2.6;
        const double x = wrapped(W * hash(3, n) + t * std::cos(theta) * v, W);
        const double y = wrapped(H * hash(4, n) + t * std::sin(theta) * v, H);
        double influence = 0;
        if (pointerActs) {
            const double d = std::hypot(x - point->x(), y - point->y());
            if (d < reach)
                influence = e * (1 - d / reach) * (1 - d / reach);
        }
        return Course{x, y, hash(5, n) * twoPi, influence};
    };
    const auto twinkle = [t](int n, double phi, double power) {
        return std::pow(std::sin(phi + twoPi * t * (hash(6, n) + 0.5) * 0.3) * 0.5 + 0.5, power);
    };

    for (int n = 0; n < 62; ++n) {
        Course c = course(n);
        if (c.influence > 0) {
            c.x += std::sin(T * 2.1 + c.phi) * c.influence * 1.5;
            c.y += std::cos(T * 1.7 + c.phi * 1.4) * c.influence * 1.5;
        }
        const double alpha = brightness * twinkle(n, c.phi, 3.4) * 0.1 * (1 + 0.85 * c.influence);
        if (alpha > 0.004) {
            const double radius = (hash(7, n) * 1.1 + 0.6) * (1 + 0.5 * c.influence);
            shapes.append({false, {c.x, c.y}, radius, alpha});
        }
    }
    for (int m = 0; m < 12; ++m) {
        const int n = 1000 + m;
        Course c = course(n);
        if (c.influence > 0) {
            c.x += std::sin(T * 1.9 + c.phi) * c.influence * 1.5;
            c.y += std::cos(T * 2.3 + c.phi * 1.2) * c.influence * 1.5;
        }
        const double w = std::max(twinkle(n, c.phi, 8), c.influence * 0.55);
        const double alpha = brightness * w * 0.2;
        if (alpha > 0.008) {
            const double starSize = (w * 0.4 + 0.6) * 7 * (1 + 0.5 * c.influence);
            shapes.append({true, {c.x, c.y}, starSize, alpha});
        }
    }
    return shapes;
}

QPainterPath ShimmerField::starPath(QPointF centre, double size)
{
    const double x = centre.x();
    const double y = centre.y();
    const double arm = size / 2;
    const double c = size / 11;
    QPainterPath path(QPointF(x, y - arm));
    path.quadTo(QPointF(x + c, y - c), QPointF(x + arm, y));
    path.quadTo(QPointF(x + c, y + c), QPointF(x, y + arm));
    path.quadTo(QPointF(x - c, y + c), QPointF(x - arm, y));
    path.quadTo(QPointF(x - c, y - c), QPointF(x, y - arm));
    path.closeSubpath();
    return path;
}

void ShimmerField::setTracker(ShimmerTracker *tracker)
{
    if (m_tracker == tracker)
        return;
    m_tracker = tracker;
    emit trackerChanged();
}

void ShimmerField::setPaused(bool paused)
{
    if (m_paused == paused)
        return;
    m_paused = paused;
    emit pausedChanged();
    holdFrames(paused);
}

void ShimmerField::paint(QPainter *painter)
{
    const double t = frameTime();
    const std::optional<QPointF> point = m_tracker ? m_tracker->point() : std::nullopt;
    const double lastMoved = m_tracker ? m_tracker->lastMoved() : 0;
    painter->setRenderHint(QPainter::Antialiasing);
    // In the dark scheme the particles add light, where they overlap as well.
    if (scheme() == KitPalette::Scheme::Dark)
        painter->setCompositionMode(QPainter::CompositionMode_Plus);
    painter->setPen(Qt::NoPen);
    painter->setBrush(tint(scheme()));
    for (const Particle &shape : particles(t, size(), scheme(), point, lastMoved)) {
        painter->setOpacity(qMin(1.0, shape.alpha));
        if (shape.star)
            painter->drawPath(starPath(shape.centre, shape.size));
        else
            painter->drawEllipse(shape.centre, shape.size, shape.size);
    }
}
