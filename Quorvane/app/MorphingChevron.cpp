// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/MorphingChevron.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QQuickWindow>
#include <QSGImageNode>

#include <cmath>

MorphingChevron::MorphingChevron(QQuickItem *parent)
    : QQuickItem(parent)
{
    setFlag(ItemHasContents);
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

QSGNode *MorphingChevron::updatePaintNode(QSGNode *old, UpdatePaintNodeData *)
{
    // A painted item is cut at its own edges, which would shave the caps and the tip; the picture
    // here is larger than the item by the stroke's reach, and its node is placed to match.
    delete old;
    const QRectF frame(0, 0, width(), height());
    const double reach = m_lineWidth / 2 + 1;
    const QRectF canvas = frame.adjusted(-reach, -reach, reach, reach);
    // A frame of no height still draws its flat line.
    if (!window() || width() <= 0 || height() < 0 || m_lineWidth <= 0)
        return nullptr;
    const double ratio = window()->effectiveDevicePixelRatio();
    QImage image(int(std::ceil(canvas.width() * ratio)), int(std::ceil(canvas.height() * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(m_color, m_lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setMiterLimit(10);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.translate(-canvas.topLeft());
    painter.drawPath(path(m_bend, frame));
    painter.end();

    QSGImageNode *node = window()->createImageNode();
    node->setOwnsTexture(true);
    node->setTexture(window()->createTextureFromImage(image));
    node->setRect(QRectF(canvas.topLeft(), QSizeF(image.size()) / ratio));
    node->setFiltering(QSGTexture::Linear);
    return node;
}
