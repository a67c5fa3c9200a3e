// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "onboarding/WhatsNewRim.h"

#include "onboarding/WhatsNewCardStyle.h"

#include <QConicalGradient>
#include <QPainter>

void WhatsNewRim::setRadius(qreal radius)
{
    if (qFuzzyCompare(m_radius, radius))
        return;
    m_radius = radius;
    emit radiusChanged();
    update();
}

void WhatsNewRim::paint(QPainter *painter)
{
    constexpr qreal line = 1.5;
    const double start = WhatsNewCardStyle::rimAngle(frameTime(), reduceMotion());
    // Qt's conic gradient runs counter-clockwise from its angle; the rim's colours run clockwise
    // from theirs. Mirroring both the angle and the stops gives the clockwise order.
    QConicalGradient paint(boundingRect().center(), -start);
    const QList<QColor> colors = WhatsNewCardStyle::rimColors(scheme());
    for (qsizetype i = 0; i < colors.size(); ++i)
        paint.setColorAt(1.0 - double(i) / double(colors.size() - 1), colors.at(i));
    QPen pen(QBrush(paint), line, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    const QRectF shape = boundingRect().adjusted(line / 2, line / 2, -line / 2, -line / 2);
    const qreal radius = qMax(0.0, qMin(m_radius, qMin(width(), height()) / 2) - line / 2);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(shape, radius, radius);
}
