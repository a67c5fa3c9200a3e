// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"

#include <QColor>
#include <QObject>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The looks of the panel's pill buttons and circular icon buttons: text colours, glass
 * tints and the numbers of their press and hover reactions.
 */
class Pill : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    /// Scale of a pressed pill.
    Q_PROPERTY(qreal pressedScale READ pressedScale CONSTANT)
    /// Opacity of a pressed pill.
    Q_PROPERTY(qreal pressedOpacity READ pressedOpacity CONSTANT)
    /// Opacity of a disabled pill label, checkbox row or small card content.
    Q_PROPERTY(qreal disabledOpacity READ disabledOpacity CONSTANT)
    /// Height of a pill label and side of a circular icon button.
    Q_PROPERTY(qreal height READ height CONSTANT)

public:
    /// The pill looks: the ordinary glass pill, the accent-coloured main action, a destructive action.
    enum class Variant { Light, Prominent, Danger };
    Q_ENUM(Variant)

    using QObject::QObject;

    static constexpr qreal pressedScale() { return 0.96; }
    static constexpr qreal pressedOpacity() { return 0.85; }
    static constexpr qreal disabledOpacity() { return 0.55; }
    static constexpr qreal height() { return 27.0; }

    /// Text colour of a pill label.
    Q_INVOKABLE static QColor labelTextColor(Pill::Variant variant, bool hovered, KitPalette::Scheme scheme);
    /// Glass tint behind a pill label.
    Q_INVOKABLE static QColor labelTint(Pill::Variant variant, bool lifted, bool hovered, KitPalette::Scheme scheme);
    /// Tint of a lifted light pill under the pointer; also the search field's backdrop.
    Q_INVOKABLE static QColor hoveredPillTint(KitPalette::Scheme scheme);
    /// Tint of a lifted light pill at rest.
    Q_INVOKABLE static QColor restingPillTint(KitPalette::Scheme scheme);
    /// Glyph colour of a circular icon button; `hovering` is the caller's destructive hover.
    Q_INVOKABLE static QColor circleIconColor(bool hovering, bool quiet, bool hovered, KitPalette::Scheme scheme);
    /// Glass tint of a circular icon button.
    Q_INVOKABLE static QColor circleIconTint(bool hovering, bool hovered, KitPalette::Scheme scheme);
    /// A quiet circular button shows its glass only under the pointer.
    Q_INVOKABLE static qreal circleBackdropOpacity(bool quiet, bool hovered);
    /// A quiet circular button shows its rim only under the pointer.
    Q_INVOKABLE static qreal circleRimIntensity(bool quiet, bool hovered);
    /// The white wash over a hovered pill button: only in the dark scheme.
    Q_INVOKABLE static QColor hoverOverlay(bool hovering, KitPalette::Scheme scheme);
};
