// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QColor>
#include <QObject>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The colours the kit's views share, in light and dark pairs.
 *
 * View colours are white or black with an opacity; the stand-ins for the desktop's system colours
 * (red, orange, green, label levels) are fixed here so every view agrees on them.
 */
class KitPalette : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    /// The colour scheme a view draws in.
    enum class Scheme { Light, Dark };
    Q_ENUM(Scheme)

    using QObject::QObject;

    /// Text and icon colour: black at 0.75 (light), white at 0.88 (dark).
    Q_INVOKABLE static QColor ink(KitPalette::Scheme scheme);
    /// The accent of the product.
    Q_INVOKABLE static QColor brand(KitPalette::Scheme scheme);
    /// Large icons: ink at 0.35 (light), white at 0.35 (dark).
    Q_INVOKABLE static QColor mutedIcon(KitPalette::Scheme scheme);
    /// Underlined links and brand-toned card links.
    Q_INVOKABLE static QColor linkText(KitPalette::Scheme scheme);
    Q_INVOKABLE static QColor systemRed(KitPalette::Scheme scheme);
    Q_INVOKABLE static QColor systemOrange(KitPalette::Scheme scheme);
    Q_INVOKABLE static QColor systemGreen(KitPalette::Scheme scheme);
    /// The primary, secondary and tertiary levels of the inherited foreground.
    Q_INVOKABLE static QColor primaryLabel(KitPalette::Scheme scheme);
    Q_INVOKABLE static QColor secondaryLabel(KitPalette::Scheme scheme);
    Q_INVOKABLE static QColor tertiaryLabel(KitPalette::Scheme scheme);
    /// The opaque body of the panel that its glass darkens; there is no desktop blur to show through.
    Q_INVOKABLE static QColor panelBase(KitPalette::Scheme scheme);
    /// The colour with its own opacity multiplied by the factor.
    Q_INVOKABLE static QColor faded(const QColor &color, qreal factor);

    /// A grey level with an alpha, both 0…1.
    [[nodiscard]] static QColor grey(qreal white, qreal alpha);
    /// sRGB components with an alpha, all 0…1.
    [[nodiscard]] static QColor rgb(qreal red, qreal green, qreal blue, qreal alpha = 1.0);
};
