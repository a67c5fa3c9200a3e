// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/TagStyle.h"

QColor TagStyle::foreground(bool warning, bool prominentBrand, KitPalette::Scheme scheme)
{
    if (warning)
        return KitPalette::systemOrange(scheme);
    if (prominentBrand)
        return scheme == KitPalette::Scheme::Dark ? KitPalette::rgb(0.85, 0.79, 1.0) : KitPalette::rgb(0.33, 0.18, 0.78);
    return KitPalette::ink(scheme);
}

QColor TagStyle::background(bool warning, bool prominentBrand, bool hovering, KitPalette::Scheme scheme)
{
    if (warning)
        return KitPalette::faded(KitPalette::systemOrange(scheme), hovering ? 0.3 : 0.2);
    if (prominentBrand)
        return KitPalette::faded(KitPalette::brand(scheme), hovering ? 0.26 : 0.18);
    return KitPalette::faded(KitPalette::ink(scheme), hovering ? 0.14 : 0.08);
}
