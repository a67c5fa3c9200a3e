// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "onboarding/WhatsNewCardStyle.h"

#include "onboarding/ReleaseNotes.h"

#include <QVariantMap>

#include <cmath>
#include <numbers>

namespace {

constexpr double pulsePeriod = 2.6;
constexpr double turnPeriod = 8.0;

bool dark(KitPalette::Scheme scheme)
{
    return scheme == KitPalette::Scheme::Dark;
}

// The fraction of a period that `t` lies into it. Reducing the time first keeps the few
// significant digits a frame needs, where the whole count of periods would swallow them.
double intoPeriod(double t, double period)
{
    const double r = std::fmod(t, period) / period;
    return r < 0 ? r + 1 : r;
}

} // namespace

WhatsNewCardStyle::Style WhatsNewCardStyle::styleFor(const QString &version)
{
    static const QStringList featureReleases{QStringLiteral("0.3.0"), QStringLiteral("0.3.1"), QStringLiteral("0.3.2"),
                                             QStringLiteral("0.4.0")};
    return featureReleases.contains(version) ? Style::Major : Style::Standard;
}

QList<WhatsNewCardStyle::Note> WhatsNewCardStyle::notesFor(const QStringList &lines, const QString &version)
{
    const QStringList symbols = ReleaseNotes::symbolsFor(version);
    QList<Note> notes;
    notes.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        notes.append({lines.at(i), i < symbols.size() ? std::optional(symbols.at(i)) : std::nullopt});
    return notes;
}

QVariantList WhatsNewCardStyle::notes(const QStringList &lines, const QString &version)
{
    QVariantList list;
    for (const Note &note : notesFor(lines, version))
        list.append(QVariantMap{{QStringLiteral("text"), note.text}, {QStringLiteral("symbol"), note.symbol.value_or(QString())}});
    return list;
}

QString WhatsNewCardStyle::headline(const QString &version)
{
    return ReleaseNotes::headlineFor(version).value_or(QString());
}

qreal WhatsNewCardStyle::titleSize(Style style)
{
    return style == Style::Major ? 13 : 11;
}

QColor WhatsNewCardStyle::strongText(Style style, KitPalette::Scheme scheme)
{
    return style == Style::Major && dark(scheme) ? QColor(Qt::white) : KitPalette::ink(scheme);
}

QColor WhatsNewCardStyle::noteText(Style style, KitPalette::Scheme scheme)
{
    if (style == Style::Major && dark(scheme))
        return KitPalette::grey(1.0, 0.88);
    return KitPalette::faded(KitPalette::ink(scheme), 0.78);
}

QColor WhatsNewCardStyle::background(KitPalette::Scheme scheme)
{
    return dark(scheme) ? QColor(Qt::black) : QColor(Qt::white);
}

QColor WhatsNewCardStyle::rule(KitPalette::Scheme scheme)
{
    return KitPalette::faded(KitPalette::ink(scheme), 0.08);
}

QGradientStops WhatsNewCardStyle::washStops(KitPalette::Scheme scheme)
{
    const QColor accent = KitPalette::brand(scheme);
    if (dark(scheme))
        return {{0.0, KitPalette::rgb(0.16, 0.10, 0.38, 0.45)},
                {0.55, KitPalette::faded(accent, 0.22)},
                {1.0, KitPalette::rgb(0.85, 0.38, 0.22, 0.18)}};
    return {{0.0, KitPalette::faded(accent, 0.10)},
            {0.65, KitPalette::rgb(1.0, 0.55, 0.45, 0.09)},
            {1.0, KitPalette::rgb(1.0, 0.72, 0.40, 0.13)}};
}

QVariantList WhatsNewCardStyle::wash(KitPalette::Scheme scheme)
{
    QVariantList list;
    for (const QGradientStop &stop : washStops(scheme))
        list.append(QVariantMap{{QStringLiteral("position"), stop.first}, {QStringLiteral("color"), stop.second}});
    return list;
}

const QList<WhatsNewCardStyle::Star> &WhatsNewCardStyle::stars()
{
    static const QList<Star> field{
        {0.06, 0.16, 7, 0},     {0.93, 0.22, 9, 0.35},  {0.85, 0.78, 5, 0.1},   {0.13, 0.82, 6, 0.55},
        {0.55, 0.08, 6, 0.75},  {0.72, 0.5, 7, 0.2},    {0.3, 0.45, 4, 0.9},    {0.965, 0.55, 5, 0.62},
        {0.2, 0.1, 4, 0.42},    {0.4, 0.22, 5, 0.15},   {0.63, 0.3, 4, 0.68},   {0.78, 0.12, 5, 0.05},
        {0.48, 0.55, 4, 0.3},   {0.09, 0.48, 4, 0.8},   {0.88, 0.4, 4, 0.48},   {0.35, 0.7, 4, 0.25},
        {0.58, 0.85, 5, 0.58},  {0.25, 0.28, 3, 0.12},  {0.68, 0.68, 3, 0.85},  {0.945, 0.88, 4, 0.95},
    };
    return field;
}

double WhatsNewCardStyle::starOpacity(double t, double phase, bool reduceMotion)
{
    if (reduceMotion)
        return 0.335;
    const double turn = intoPeriod(t, pulsePeriod) + phase;
    return 0.12 + 0.43 * (std::sin(2 * std::numbers::pi * turn) + 1) / 2;
}

QColor WhatsNewCardStyle::starColor(KitPalette::Scheme scheme)
{
    return dark(scheme) ? QColor(Qt::white) : KitPalette::brand(scheme);
}

double WhatsNewCardStyle::rimAngle(double t, bool reduceMotion)
{
    if (reduceMotion)
        return 45;
    return 360 * intoPeriod(t, turnPeriod);
}

QList<QColor> WhatsNewCardStyle::rimColors(KitPalette::Scheme scheme)
{
    const QColor accent = KitPalette::brand(scheme);
    QList<QColor> colors;
    for (const double opacity : {0.9, 0.15, 0.7, 0.1, 0.9})
        colors.append(KitPalette::faded(accent, opacity));
    return colors;
}
