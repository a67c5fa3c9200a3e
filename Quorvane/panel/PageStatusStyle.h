// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"

#include <QColor>
#include <QObject>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The colours of the Page Status views: the queued and staged markers, the pills that
 * carry them and the explanation page's strong text and divider.
 */
class PageStatusStyle : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    /// The yellow of pages waiting for a staging publish.
    Q_INVOKABLE static QColor queuedMarker() { return KitPalette::rgb(0.99, 0.78, 0.08); }
    /// The purple of pages that reached staging.
    Q_INVOKABLE static QColor stagedMarker() { return KitPalette::rgb(0.66, 0.20, 0.95); }
    /// A marker pill's capsule: the strong text colour at 7 %.
    Q_INVOKABLE static QColor pillTint(KitPalette::Scheme scheme) { return KitPalette::faded(strongText(scheme), 0.07); }
    /// Opacity of the glow around a marker dot.
    Q_INVOKABLE static qreal markerGlowOpacity(KitPalette::Scheme scheme) { return scheme == KitPalette::Scheme::Dark ? 0.58 : 0.38; }
    /// Headings and legend titles: white at 0.88 in the dark scheme, black at 0.75 in the light.
    Q_INVOKABLE static QColor strongText(KitPalette::Scheme scheme) { return KitPalette::ink(scheme); }
    /// The legend's divider.
    Q_INVOKABLE static qreal dividerOpacity(KitPalette::Scheme scheme) { return scheme == KitPalette::Scheme::Dark ? 0.35 : 0.55; }
};
