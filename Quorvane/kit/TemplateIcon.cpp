// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/TemplateIcon.h"

#include "kit/IconLoader.h"
#include "kit/KitServices.h"

#include <QImage>
#include <QPainter>
#include <QQmlInfo>
#include <QQuickWindow>
#include <QSvgRenderer>

TemplateIcon::TemplateIcon(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

void TemplateIcon::setKind(Kind kind)
{
    if (m_kind == kind)
        return;
    m_kind = kind;
    emit kindChanged();
    reload();
}

void TemplateIcon::setName(const QString &name)
{
    if (m_name == name)
        return;
    m_name = name;
    emit nameChanged();
    reload();
}

void TemplateIcon::setColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    emit colorChanged();
    update();
}

void TemplateIcon::componentComplete()
{
    QQuickPaintedItem::componentComplete();
    reload();
}

void TemplateIcon::reload()
{
    // Until the engine has made the item there is no engine to ask.
    if (!isComponentComplete())
        return;
    const KitServices *services = KitServices::of(this);
    if (!services) {
        qmlWarning(this) << "no icon loader: the engine's owner makes KitServices before loading views";
        m_drawing.reset();
    } else {
        IconLoader &loader = services->icons();
        switch (m_kind) {
        case Kind::Micro:
            m_drawing = m_name.isEmpty() ? std::nullopt : loader.microIcon(m_name);
            break;
        case Kind::Large:
            m_drawing = m_name.isEmpty() ? std::nullopt : loader.largeIcon(m_name);
            break;
        case Kind::Wordmark:
            m_drawing = loader.wordmark();
            break;
        }
    }
    const QSizeF size = m_drawing ? QSvgRenderer(*m_drawing).viewBoxF().size() : QSizeF();
    m_aspectRatio = size.isEmpty() ? 1.0 : size.width() / size.height();
    emit drawingChanged();
    update();
}

void TemplateIcon::paint(QPainter *painter)
{
    if (!m_drawing || width() <= 0 || height() <= 0)
        return;
    // Fit the drawing into the item, keeping its aspect ratio, centred.
    QSizeF fitted(width(), width() / m_aspectRatio);
    if (fitted.height() > height())
        fitted = QSizeF(height() * m_aspectRatio, height());
    const QRectF target(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);

    const qreal scale = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    QImage shape((target.size() * scale).toSize().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    {
        QPainter shapePainter(&shape);
        QSvgRenderer(*m_drawing).render(&shapePainter, QRectF(QPointF(), QSizeF(shape.size())));
        // Only the drawing's alpha counts: fill it with the colour.
        shapePainter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        shapePainter.fillRect(shape.rect(), m_color);
    }
    painter->drawImage(target, shape);
}
