// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/MorphingChevron.h"

#include <QPainter>
#include <QPen>

MorphingChevron::MorphingChevron(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

QPainterPath MorphingChevron::path(double bend, const QRectF &rect)
{
    const double rise = bend * rect.height() * 0.5;
    const double middle = rect.center().y();
    QPainterPath chevron(QPointF(rect.left(), middle - rise));
    chevron.lineTo(rect.center().x(), middle + rise);
    chevron.lineTo(rect.right(), middle - rise);
    return chevron;
}

void MorphingChevron::setBend(double bend)
{
    if (m_bend == bend)
        return;
    m_bend = bend;
    Q_EMIT bendChanged();
    update();
}

void MorphingChevron::setColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    Q_EMIT colorChanged();
    update();
}

void MorphingChevron::setLineWidth(double width)
{
    if (m_lineWidth == width)
        return;
    m_lineWidth = width;
    Q_EMIT lineWidthChanged();
    update();
}

void MorphingChevron::paint(QPainter *painter)
{
    QPen pen(m_color, m_lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setMiterLimit(10);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    // The stroke is centred on the path: keep the caps inside the item.
    const double inset = m_lineWidth / 2;
    painter->drawPath(path(m_bend, QRectF(0, 0, width(), height()).adjusted(inset, inset, -inset, -inset)));
}
