// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/KitPalette.h"

QColor KitPalette::grey(qreal white, qreal alpha)
{
    return QColor::fromRgbF(float(white), float(white), float(white), float(alpha));
}

QColor KitPalette::rgb(qreal red, qreal green, qreal blue, qreal alpha)
{
    return QColor::fromRgbF(float(red), float(green), float(blue), float(alpha));
}

QColor KitPalette::faded(const QColor &color, qreal factor)
{
    QColor result = color;
    result.setAlphaF(float(color.alphaF() * factor));
    return result;
}

QColor KitPalette::ink(Scheme scheme)
{
    return scheme == Scheme::Dark ? grey(1.0, 0.88) : grey(0.0, 0.75);
}

QColor KitPalette::brand(Scheme scheme)
{
    return scheme == Scheme::Dark ? rgb(0.59, 0.48, 0.94) : rgb(0.41, 0.26, 0.84);
}

QColor KitPalette::mutedIcon(Scheme scheme)
{
    return scheme == Scheme::Dark ? grey(1.0, 0.35) : faded(ink(scheme), 0.35);
}

QColor KitPalette::linkText(Scheme scheme)
{
    return scheme == Scheme::Dark ? rgb(0.85, 0.79, 1.0) : rgb(0.33, 0.18, 0.78);
}

QColor KitPalette::systemRed(Scheme scheme)
{
    return scheme == Scheme::Dark ? rgb(1.0, 0.271, 0.227) : rgb(1.0, 0.231, 0.188);
}

QColor KitPalette::systemOrange(Scheme scheme)
{
    return scheme == Scheme::Dark ? rgb(1.0, 0.624, 0.039) : rgb(1.0, 0.584, 0.0);
}

QColor KitPalette::systemGreen(Scheme scheme)
{
    return scheme == Scheme::Dark ? rgb(0.188, 0.820, 0.345) : rgb(0.204, 0.780, 0.349);
}

QColor KitPalette::primaryLabel(Scheme scheme)
{
    return scheme == Scheme::Dark ? grey(1.0, 0.85) : grey(0.0, 0.85);
}

QColor KitPalette::secondaryLabel(Scheme scheme)
{
    return scheme == Scheme::Dark ? grey(1.0, 0.55) : grey(0.0, 0.5);
}

QColor KitPalette::tertiaryLabel(Scheme scheme)
{
    return scheme == Scheme::Dark ? grey(1.0, 0.25) : grey(0.0, 0.26);
}

QColor KitPalette::panelBase(Scheme scheme)
{
    return scheme == Scheme::Dark ? rgb(0.118, 0.114, 0.137, 0.94) : rgb(0.965, 0.961, 0.976, 0.94);
}
