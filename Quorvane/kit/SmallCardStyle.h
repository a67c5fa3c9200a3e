// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"

#include <QColor>
#include <QObject>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The colours and proportions of the small card and of the views that complete it: the
 * mode toggle card and the card link.
 */
class SmallCardStyle : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    /// Colour family of a card or card link.
    enum class Tone { Neutral, Brand, Warning };
    Q_ENUM(Tone)

    /// Size class of a card.
    enum class Emphasis { Standard, Feature };
    Q_ENUM(Emphasis)

    using QObject::QObject;

    /// The card's icon colour, first matching rule: prominent icon, feature emphasis, then tone.
    Q_INVOKABLE static QColor iconColor(bool prominentIcon, SmallCardStyle::Emphasis emphasis,
                                        SmallCardStyle::Tone tone, KitPalette::Scheme scheme);
    /// The tint behind a brand or warning card; transparent for a neutral one (which has chrome).
    Q_INVOKABLE static QColor tintFill(SmallCardStyle::Tone tone, KitPalette::Scheme scheme);
    /// The wash over a hovered actionable card.
    Q_INVOKABLE static QColor hoverWash(KitPalette::Scheme scheme);
    Q_INVOKABLE static qreal iconSize(SmallCardStyle::Emphasis emphasis);
    /// How far the icon moves down to meet the heading of a standard card with a detail.
    Q_INVOKABLE static qreal iconOffset(bool hasDetail, SmallCardStyle::Emphasis emphasis);
    Q_INVOKABLE static qreal headingSize(SmallCardStyle::Emphasis emphasis);
    /// Icon and texts align at the top only in a standard card with a detail.
    Q_INVOKABLE static bool alignsTop(bool hasDetail, SmallCardStyle::Emphasis emphasis);
    /// The footer starts under the heading: icon size plus the row spacing.
    Q_INVOKABLE static qreal footerInset(SmallCardStyle::Emphasis emphasis);
    /// Space kept after the card row at the trailing edge.
    Q_INVOKABLE static qreal trailingInset(bool chevron, bool hasTrailing);
    /// Least space between the texts and the trailing slot.
    Q_INVOKABLE static qreal spacerMinimum(bool hasTrailing);

    /// Text colour of a card link.
    Q_INVOKABLE static QColor linkTextColor(SmallCardStyle::Tone tone, KitPalette::Scheme scheme);
    /// Fill of a card link: the tone's base colour at 0.14, 0.22 under the pointer.
    Q_INVOKABLE static QColor linkFill(SmallCardStyle::Tone tone, bool hovered, KitPalette::Scheme scheme);

    /// Background of a mode toggle card.
    Q_INVOKABLE static QColor toggleBackground(bool isOn, KitPalette::Scheme scheme);
    /// Icon of a mode toggle card.
    Q_INVOKABLE static QColor toggleIconColor(bool isOn, KitPalette::Scheme scheme);
    /// Heading of a mode toggle card.
    Q_INVOKABLE static QColor toggleHeadingColor(bool isOn, KitPalette::Scheme scheme);
    /// Detail of a mode toggle card.
    Q_INVOKABLE static QColor toggleDetailColor(bool isOn, KitPalette::Scheme scheme);
    /// The note that explains why the mode cannot be switched.
    Q_INVOKABLE static QColor toggleNoteColor(bool isOn, KitPalette::Scheme scheme);

private:
    static QColor toneBase(Tone tone, KitPalette::Scheme scheme);
};
