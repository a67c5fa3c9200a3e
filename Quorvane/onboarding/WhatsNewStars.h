// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "onboarding/WhatsNewLayer.h"

/**
 * @brief The feature card's field of twenty softly pulsing stars, drawn as glyphs into one
 * layer the size of the card.
 */
class WhatsNewStars : public WhatsNewLayer
{
    Q_OBJECT
    QML_ELEMENT

public:
    using WhatsNewLayer::WhatsNewLayer;

    void paint(QPainter *painter) override;
};
