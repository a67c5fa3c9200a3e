// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PanelLook.h"

#include <QVariantMap>

namespace {

bool isDark(KitPalette::Scheme scheme)
{
    return scheme == KitPalette::Scheme::Dark;
}

} // namespace

QColor PanelLook::accent(KitPalette::Scheme scheme)
{
    return KitPalette::brand(scheme);
}

QColor PanelLook::border(KitPalette::Scheme scheme)
{
    return KitPalette::grey(0, isDark(scheme) ? 0.72 : 0.10);
}

QList<PanelLook::Stop> PanelLook::gradient(KitPalette::Scheme scheme)
{
    const QColor tint = accent(scheme);
    const QColor clear = KitPalette::faded(tint, 0);
    if (isDark(scheme))
        return {{0, clear}, {0.45, clear}, {0.78, KitPalette::faded(tint, 0.11)}, {1, KitPalette::faded(tint, 0.27)}};
    return {{0, clear}, {0.26, clear}, {0.64, KitPalette::faded(tint, 0.12)}, {1, KitPalette::faded(tint, 0.29)}};
}

QVariantList PanelLook::gradientStops(KitPalette::Scheme scheme)
{
    QVariantList stops;
    for (const Stop &stop : gradient(scheme))
        stops.append(QVariantMap{{QStringLiteral("position"), stop.position}, {QStringLiteral("color"), stop.color}});
    return stops;
}

QColor PanelLook::tabRow(KitPalette::Scheme scheme, bool active, bool hovering)
{
    if (active && hovering)
        return KitPalette::linkText(scheme);
    if (active)
        return accent(scheme);
    if (hovering)
        return isDark(scheme) ? KitPalette::grey(1, 1) : KitPalette::grey(0, 0.95);
    // The quiet label colour, dimmed once more.
    return KitPalette::faded(KitPalette::ink(scheme), 0.7);
}

QColor PanelLook::keyHintFill(KitPalette::Scheme scheme)
{
    return KitPalette::faded(KitPalette::ink(scheme), 0.10);
}

QColor PanelLook::cardFill(KitPalette::Scheme scheme)
{
    return KitPalette::grey(1, isDark(scheme) ? 0.05 : 0.28);
}

QColor PanelLook::cardShadow(KitPalette::Scheme scheme)
{
    return KitPalette::grey(0, isDark(scheme) ? 0.3 : 0.13);
}

QColor PanelLook::prodBadgeText(KitPalette::Scheme scheme)
{
    return KitPalette::systemOrange(scheme);
}

QColor PanelLook::prodBadgeFill(KitPalette::Scheme scheme)
{
    return KitPalette::faded(KitPalette::systemOrange(scheme), 0.12);
}
