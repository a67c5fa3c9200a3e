// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"

#include <QColor>
#include <QGradientStops>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

#include <optional>

/**
 * @brief Every decision of the what's-new card: which style a version gets, the notes it lists
 * with their icons, its colours and sizes, and the frames of the feature style's pulsing stars
 * and turning rim as functions of the time.
 *
 * Times are seconds since 2001-01-01 00:00:00 UTC, kept in double precision: near 8e8 seconds a
 * float steps by 64 seconds, which would freeze the stars and throw the rim a whole turn off.
 */
class WhatsNewCardStyle : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    /// The quiet card of an ordinary release, or the feature release's with gradient, stars and
    /// a turning rim.
    enum class Style { Standard, Major };
    Q_ENUM(Style)

    /// One note as the card lists it.
    struct Note
    {
        QString text;
        std::optional<QString> symbol;

        bool operator==(const Note &) const = default;
    };

    /// One star of the feature style: its centre as a fraction of the card's size, its size in
    /// points and the offset of its pulse, as a fraction of a period.
    struct Star
    {
        double x = 0;
        double y = 0;
        double size = 0;
        double phase = 0;
    };

    using QObject::QObject;

    /// The feature releases get the major style; every other version, "dev" and "" the standard.
    Q_INVOKABLE static WhatsNewCardStyle::Style styleFor(const QString &version);
    /// The lines paired, by position, with the version's icon names; lines past the end of the
    /// icon list have none.
    [[nodiscard]] static QList<Note> notesFor(const QStringList &lines, const QString &version);
    /// The same notes for QML: maps of `text` and `symbol` (empty: no icon).
    Q_INVOKABLE static QVariantList notes(const QStringList &lines, const QString &version);
    /// The version's headline; empty when it has none.
    Q_INVOKABLE static QString headline(const QString &version);

    /// The title's size in points.
    Q_INVOKABLE static qreal titleSize(WhatsNewCardStyle::Style style);
    /// Title and headline: opaque white on the dark feature card, the muted text colour otherwise.
    Q_INVOKABLE static QColor strongText(WhatsNewCardStyle::Style style, KitPalette::Scheme scheme);
    /// The notes' text.
    Q_INVOKABLE static QColor noteText(WhatsNewCardStyle::Style style, KitPalette::Scheme scheme);
    /// The card's solid ground.
    Q_INVOKABLE static QColor background(KitPalette::Scheme scheme);
    /// The rule between two notes.
    Q_INVOKABLE static QColor rule(KitPalette::Scheme scheme);
    /// The feature style's wash over the card, top (0) to bottom (1), as maps of `position` and
    /// `color`.
    Q_INVOKABLE static QVariantList wash(KitPalette::Scheme scheme);
    [[nodiscard]] static QGradientStops washStops(KitPalette::Scheme scheme);

    /// The twenty stars of the feature style.
    [[nodiscard]] static const QList<Star> &stars();
    /// A star's opacity at time `t`: a 2.6-second pulse between 0.12 and 0.55, or a steady 0.335
    /// when motion is reduced.
    [[nodiscard]] static double starOpacity(double t, double phase, bool reduceMotion);
    /// The stars' colour, at full opacity.
    [[nodiscard]] static QColor starColor(KitPalette::Scheme scheme);
    /// Where the rim's conic paint starts at time `t`, in degrees clockwise from 3 o'clock, in
    /// [0, 360): a turn every 8 seconds, or 45 when motion is reduced.
    [[nodiscard]] static double rimAngle(double t, bool reduceMotion);
    /// The rim's five colours, evenly spaced clockwise round the turn from its start angle.
    [[nodiscard]] static QList<QColor> rimColors(KitPalette::Scheme scheme);
};
