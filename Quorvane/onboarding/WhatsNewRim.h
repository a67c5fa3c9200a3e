// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/ClockedPaintedItem.h"

/**
 * @brief The feature card's edge: a 1.5-point line inside a rounded rectangle, painted with a
 * conic gradient of the accent that turns once every 8 seconds, so a bright arc and a fainter one
 * chase each other round the card.
 */
class WhatsNewRim : public ClockedPaintedItem
{
    Q_OBJECT
    QML_ELEMENT

    /// Corner radius of the card.
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY radiusChanged)

public:
    using ClockedPaintedItem::ClockedPaintedItem;

    [[nodiscard]] qreal radius() const { return m_radius; }
    void setRadius(qreal radius);

    void paint(QPainter *painter) override;

signals:
    void radiusChanged();

private:
    qreal m_radius = 12;
};
