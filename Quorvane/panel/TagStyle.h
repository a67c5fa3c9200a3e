// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"

#include <QColor>
#include <QObject>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The colours of the project card's pills: orange for a warning, the brand violet for a
 * prominent pill, ink otherwise, each on a capsule of its own colour that deepens under the pointer.
 */
class TagStyle : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    /// Text and icon colour; a warning wins over the brand look.
    Q_INVOKABLE static QColor foreground(bool warning, bool prominentBrand, KitPalette::Scheme scheme);
    /// The capsule's fill.
    Q_INVOKABLE static QColor background(bool warning, bool prominentBrand, bool hovering, KitPalette::Scheme scheme);
};
