// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/DialogStyle.h"

#include "kit/TextRules.h"

#include <limits>

qreal DialogStyle::maximumContentWidth(Width width)
{
    switch (width) {
    case Width::Compact:
        return 260;
    case Width::Regular:
        return 292;
    case Width::Wide:
        return 312;
    case Width::Fill:
        break;
    }
    return std::numeric_limits<qreal>::infinity();
}

qreal DialogStyle::crestSpacerHeight(qreal crestSize)
{
    // Two thirds of the crest lie inside the card; the card's 14-point top padding already
    // covers part of that, and the content keeps an 8-point gap below the crest.
    return qMax(0.0, crestSize * 2 / 3 - 14 + 8);
}

qreal DialogStyle::scrimOpacity(bool blocking)
{
    return blocking ? 0.55 : 0.28;
}

Pill::Variant DialogStyle::pillVariant(ButtonVariant variant)
{
    switch (variant) {
    case ButtonVariant::Primary:
        return Pill::Variant::Prominent;
    case ButtonVariant::Destructive:
        return Pill::Variant::Danger;
    case ButtonVariant::Secondary:
        break;
    }
    return Pill::Variant::Light;
}

QColor DialogStyle::checkboxFill(bool isOn, bool hoverActive, KitPalette::Scheme scheme)
{
    if (isOn)
        return KitPalette::brand(scheme);
    return KitPalette::faded(KitPalette::primaryLabel(scheme), hoverActive ? 0.12 : 0.07);
}

QColor DialogStyle::checkboxBorder(bool isOn, bool hoverActive, KitPalette::Scheme scheme)
{
    if (isOn)
        return Qt::transparent;
    return KitPalette::faded(KitPalette::primaryLabel(scheme), hoverActive ? 0.55 : 0.38);
}

QVariantList DialogStyle::paragraphs(const QString &text)
{
    QVariantList result;
    for (const QStringList &paragraph : subheadingParagraphs(text))
        result.append(QVariant(paragraph));
    return result;
}

QList<QStringList> DialogStyle::subheadingParagraphs(const QString &text)
{
    QList<QStringList> paragraphs;
    for (const QString &piece : text.split(QStringLiteral("\n\n"))) {
        QStringList lines;
        for (const QString &line : piece.split(u'\n')) {
            const QString trimmed = trimmedOfSpaces(line);
            if (!trimmed.isEmpty())
                lines.append(trimmed);
        }
        if (!lines.isEmpty())
            paragraphs.append(lines);
    }
    return paragraphs;
}
