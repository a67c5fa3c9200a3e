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

QImage TemplateIcon::tinted(const QByteArray &drawing, QSizeF box, const QColor &color, qreal scale)
{
    QImage shape((box * scale).toSize().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    shape.setDevicePixelRatio(scale);
    shape.fill(Qt::transparent);
    QSvgRenderer renderer(drawing);
    const QSizeF natural = renderer.viewBoxF().size();
    const qreal aspect = natural.isEmpty() ? 1.0 : natural.width() / natural.height();
    QSizeF fitted(box.width(), box.width() / aspect);
    if (fitted.height() > box.height())
        fitted = QSizeF(box.height() * aspect, box.height());
    QPainter painter(&shape);
    renderer.render(&painter, QRectF(QPointF((box.width() - fitted.width()) / 2, (box.height() - fitted.height()) / 2),
                                     fitted));
    // Only the drawing's alpha counts: fill it with the colour.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRectF(QPointF(), box), color);
    return shape;
}

void TemplateIcon::paint(QPainter *painter)
{
    if (!m_drawing || width() <= 0 || height() <= 0)
        return;
    const qreal scale = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    painter->drawImage(QRectF(0, 0, width(), height()), tinted(*m_drawing, size(), m_color, scale));
}
