// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The view switch's chevron, bent by one number: 1 points down, -1 up, 0 is a flat line.
 * Animating `bend` morphs one direction into the other through the flat line, instead of
 * swapping two icons.
 *
 * The item's own rectangle is the chevron's frame: the path's ends and tip lie on its edges, and
 * the stroke's round caps and join reach half the line width beyond it.
 */
class MorphingChevron : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(double bend READ bend WRITE setBend NOTIFY bendChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(double lineWidth READ lineWidth WRITE setLineWidth NOTIFY lineWidthChanged)

public:
    explicit MorphingChevron(QQuickItem *parent = nullptr);

    /// The open three-point path in `rect`: the outer points rise by half the height times
    /// `bend` above the middle line, the tip falls by as much below it.
    [[nodiscard]] static QPainterPath path(double bend, const QRectF &rect);

    [[nodiscard]] double bend() const { return m_bend; }
    void setBend(double bend);
    [[nodiscard]] QColor color() const { return m_color; }
    void setColor(const QColor &color);
    [[nodiscard]] double lineWidth() const { return m_lineWidth; }
    void setLineWidth(double width);

signals:
    void bendChanged();
    void colorChanged();
    void lineWidthChanged();

protected:
    QSGNode *updatePaintNode(QSGNode *old, UpdatePaintNodeData *) override;

private:
    double m_bend = 1;
    QColor m_color = Qt::black;
    double m_lineWidth = 1.4;
};
