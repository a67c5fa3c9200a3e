// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/Pill.h"

using Scheme = KitPalette::Scheme;

QColor Pill::labelTextColor(Variant variant, bool hovered, Scheme scheme)
{
    const bool dark = scheme == Scheme::Dark;
    switch (variant) {
    case Variant::Prominent:
        return Qt::white;
    case Variant::Danger:
        if (hovered)
            return Qt::white;
        return dark ? KitPalette::grey(1.0, 0.92) : KitPalette::grey(0.0, 0.75);
    case Variant::Light:
        break;
    }
    return KitPalette::ink(scheme);
}

QColor Pill::labelTint(Variant variant, bool lifted, bool hovered, Scheme scheme)
{
    const bool dark = scheme == Scheme::Dark;
    switch (variant) {
    case Variant::Danger:
        if (hovered)
            return KitPalette::systemRed(scheme);
        return dark ? KitPalette::rgb(1.0, 0.42, 0.36, 0.55) : KitPalette::faded(KitPalette::systemRed(scheme), 0.62);
    case Variant::Prominent:
        if (hovered)
            return KitPalette::rgb(0.24, 0.08, 0.70, 1.0);
        return KitPalette::faded(KitPalette::brand(scheme), 0.88);
    case Variant::Light:
        break;
    }
    if (lifted)
        return hovered ? hoveredPillTint(scheme) : restingPillTint(scheme);
    if (dark)
        return KitPalette::grey(1.0, 0.10);
    return hovered ? KitPalette::grey(1.0, 1.0) : KitPalette::grey(1.0, 0.32);
}

QColor Pill::hoveredPillTint(Scheme scheme)
{
    return scheme == Scheme::Dark ? KitPalette::grey(1.0, 0.10) : KitPalette::grey(0.94, 1.0);
}

QColor Pill::restingPillTint(Scheme scheme)
{
    return scheme == Scheme::Dark ? KitPalette::grey(1.0, 0.10) : KitPalette::grey(0.0, 0.07);
}

QColor Pill::circleIconColor(bool hovering, bool quiet, bool hovered, Scheme scheme)
{
    if (hovering)
        return Qt::white;
    return KitPalette::faded(KitPalette::ink(scheme), quiet && !hovered ? 0.55 : 1.0);
}

QColor Pill::circleIconTint(bool hovering, bool hovered, Scheme scheme)
{
    if (hovering)
        return KitPalette::faded(KitPalette::systemRed(scheme), 0.78);
    if (scheme == Scheme::Dark)
        return KitPalette::grey(1.0, 0.10);
    return hovered ? KitPalette::grey(1.0, 1.0) : KitPalette::grey(1.0, 0.32);
}

qreal Pill::circleBackdropOpacity(bool quiet, bool hovered)
{
    return quiet && !hovered ? 0.0 : 1.0;
}

qreal Pill::circleRimIntensity(bool quiet, bool hovered)
{
    return quiet && !hovered ? 0.0 : 1.0;
}

QColor Pill::hoverOverlay(bool hovering, Scheme scheme)
{
    return KitPalette::grey(1.0, hovering && scheme == Scheme::Dark ? 0.16 : 0.0);
}
