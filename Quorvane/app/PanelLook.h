// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The panel's own colours in each scheme: its accent, the gradient over its glass, its
 * border, and the colours of the tab list's rows, the key hints and the production-data badge;
 * quiet labels take the kit's ink.
 */
class PanelLook : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    /// One stop of the background gradient, from the top (0) to the bottom (1).
    struct Stop
    {
        double position = 0;
        QColor color;
        friend bool operator==(const Stop &, const Stop &) = default;
    };

    using QObject::QObject;

    /// The panel's tint and the colour of its gradient.
    Q_INVOKABLE static QColor accent(KitPalette::Scheme scheme);
    /// The 1-point line inside the panel's edge.
    Q_INVOKABLE static QColor border(KitPalette::Scheme scheme);
    /// The gradient that warms the lower part of the panel, top to bottom.
    [[nodiscard]] static QList<Stop> gradient(KitPalette::Scheme scheme);
    /// `gradient` for QML: a list of {position, color}.
    Q_INVOKABLE static QVariantList gradientStops(KitPalette::Scheme scheme);
    /// A row of the tab list: the active tab in the accent, a row under the pointer brighter.
    Q_INVOKABLE static QColor tabRow(KitPalette::Scheme scheme, bool active, bool hovering);
    /// The capsule behind a key hint ("Ctrl+1"): the muted label colour, faint.
    Q_INVOKABLE static QColor keyHintFill(KitPalette::Scheme scheme);
    /// The content card's fill under the tab content.
    Q_INVOKABLE static QColor cardFill(KitPalette::Scheme scheme);
    /// The soft shadow around the content card.
    Q_INVOKABLE static QColor cardShadow(KitPalette::Scheme scheme);
    /// The header's "PROD DATA" badge: its text, and its capsule.
    Q_INVOKABLE static QColor prodBadgeText(KitPalette::Scheme scheme);
    Q_INVOKABLE static QColor prodBadgeFill(KitPalette::Scheme scheme);
};
