// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/ClockedPaintedItem.h"

/**
 * @brief The feature card's field of twenty softly pulsing stars, drawn as glyphs into one
 * layer the size of the card.
 */
class WhatsNewStars : public ClockedPaintedItem
{
    Q_OBJECT
    QML_ELEMENT

public:
    using ClockedPaintedItem::ClockedPaintedItem;

    void paint(QPainter *painter) override;
};
