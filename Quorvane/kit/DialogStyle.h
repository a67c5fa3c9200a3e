// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"
#include "kit/Pill.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The rules of the dialog frame and its parts: widths, the crest spacer, the scrim, the
 * button looks, the checkbox colours and the paragraphs of a subheading.
 */
class DialogStyle : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    /// Width class of a dialog's content column.
    enum class Width { Compact, Regular, Wide, Fill };
    Q_ENUM(Width)

    /// Look of a dialog button.
    enum class ButtonVariant { Primary, Secondary, Destructive };
    Q_ENUM(ButtonVariant)

    using QObject::QObject;

    /// Widest the content column may grow; infinite for `Fill`.
    Q_INVOKABLE static qreal maximumContentWidth(DialogStyle::Width width);
    /// Height of the gap above the content that leaves room for a crest of that size; never
    /// negative, so a small crest simply gets no gap.
    Q_INVOKABLE static qreal crestSpacerHeight(qreal crestSize);
    /// Opacity of the black scrim behind a dialog.
    Q_INVOKABLE static qreal scrimOpacity(bool blocking);
    /// The pill look of a dialog button.
    Q_INVOKABLE static Pill::Variant pillVariant(DialogStyle::ButtonVariant variant);
    /// Fill of a checkbox's box; `hoverActive` is hovered and enabled together.
    Q_INVOKABLE static QColor checkboxFill(bool isOn, bool hoverActive, KitPalette::Scheme scheme);
    /// Border of a checkbox's box.
    Q_INVOKABLE static QColor checkboxBorder(bool isOn, bool hoverActive, KitPalette::Scheme scheme);
    /// `subheadingParagraphs` for QML: a list of lists of lines.
    Q_INVOKABLE static QVariantList paragraphs(const QString &text);

    /// A subheading's paragraphs of lines: "\n\n" separates paragraphs, "\n" lines; lines are
    /// trimmed of spaces and tabs, and empty lines and paragraphs are dropped.
    [[nodiscard]] static QList<QStringList> subheadingParagraphs(const QString &text);
};
