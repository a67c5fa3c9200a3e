// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/SmallCardStyle.h"

using Scheme = KitPalette::Scheme;

QColor SmallCardStyle::toneBase(Tone tone, Scheme scheme)
{
    switch (tone) {
    case Tone::Brand:
        return KitPalette::brand(scheme);
    case Tone::Warning:
        return KitPalette::systemOrange(scheme);
    case Tone::Neutral:
        break;
    }
    return KitPalette::ink(scheme);
}

QColor SmallCardStyle::iconColor(bool prominentIcon, Emphasis emphasis, Tone tone, Scheme scheme)
{
    if (prominentIcon)
        return KitPalette::brand(scheme);
    if (emphasis == Emphasis::Feature)
        return KitPalette::secondaryLabel(scheme);
    return toneBase(tone, scheme);
}

QColor SmallCardStyle::tintFill(Tone tone, Scheme scheme)
{
    if (tone == Tone::Neutral)
        return Qt::transparent;
    return KitPalette::faded(toneBase(tone, scheme), 0.1);
}

QColor SmallCardStyle::hoverWash(Scheme scheme)
{
    return KitPalette::faded(KitPalette::ink(scheme), 0.05);
}

qreal SmallCardStyle::iconSize(Emphasis emphasis)
{
    return emphasis == Emphasis::Feature ? 18 : 13.75;
}

qreal SmallCardStyle::iconOffset(bool hasDetail, Emphasis emphasis)
{
    return alignsTop(hasDetail, emphasis) ? 1 : 0;
}

qreal SmallCardStyle::headingSize(Emphasis emphasis)
{
    return emphasis == Emphasis::Feature ? 12 : 11;
}

bool SmallCardStyle::alignsTop(bool hasDetail, Emphasis emphasis)
{
    return hasDetail && emphasis == Emphasis::Standard;
}

qreal SmallCardStyle::footerInset(Emphasis emphasis)
{
    return iconSize(emphasis) + 8;
}

qreal SmallCardStyle::trailingInset(bool chevron, bool hasTrailing)
{
    if (chevron)
        return 28;
    return hasTrailing ? 0 : 12;
}

qreal SmallCardStyle::spacerMinimum(bool hasTrailing)
{
    return hasTrailing ? 14 : 0;
}

QColor SmallCardStyle::linkTextColor(Tone tone, Scheme scheme)
{
    return tone == Tone::Brand ? KitPalette::linkText(scheme) : toneBase(tone, scheme);
}

QColor SmallCardStyle::linkFill(Tone tone, bool hovered, Scheme scheme)
{
    return KitPalette::faded(toneBase(tone, scheme), hovered ? 0.22 : 0.14);
}

QColor SmallCardStyle::toggleBackground(bool isOn, Scheme scheme)
{
    if (!isOn)
        return KitPalette::grey(0.0, 0.08);
    return KitPalette::grey(0.0, scheme == Scheme::Dark ? 0.6 : 0.88);
}

QColor SmallCardStyle::toggleIconColor(bool isOn, Scheme scheme)
{
    return isOn ? KitPalette::grey(1.0, 0.85) : KitPalette::faded(KitPalette::ink(scheme), 0.75);
}

QColor SmallCardStyle::toggleHeadingColor(bool isOn, Scheme scheme)
{
    return isOn ? KitPalette::grey(1.0, 0.92) : KitPalette::ink(scheme);
}

QColor SmallCardStyle::toggleDetailColor(bool isOn, Scheme scheme)
{
    return KitPalette::faded(isOn ? QColor(Qt::white) : KitPalette::ink(scheme), 0.7);
}

QColor SmallCardStyle::toggleNoteColor(bool isOn, Scheme scheme)
{
    return KitPalette::faded(isOn ? QColor(Qt::white) : KitPalette::ink(scheme), 0.5);
}
