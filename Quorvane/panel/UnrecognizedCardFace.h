// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"
#include "model/UnrecognizedServer.h"

#include <QColor>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

/**
 * @brief What the card of a registry entry the application does not manage shows: its name and
 * endpoint made safe to show, the badge and sentence of its reason, the footnote, and whether the
 * entry may be offered for removal.
 */
class UnrecognizedCardFace
{
    Q_GADGET
    Q_PROPERTY(QString displayName MEMBER displayName)
    Q_PROPERTY(QString endpoint MEMBER endpoint)
    Q_PROPERTY(QString badgeIcon MEMBER badgeIcon)
    Q_PROPERTY(QString badgeText MEMBER badgeText)
    Q_PROPERTY(bool ownedElsewhere MEMBER ownedElsewhere)
    Q_PROPERTY(QString reasonText MEMBER reasonText)
    Q_PROPERTY(QString footnote MEMBER footnote)
    Q_PROPERTY(bool showsTrash MEMBER showsTrash)
    Q_PROPERTY(QString trashAccessibilityLabel MEMBER trashAccessibilityLabel)

public:
    QString displayName;
    QString endpoint;
    QString badgeIcon;
    QString badgeText;
    /// Orange information rather than a red warning.
    bool ownedElsewhere = false;
    QString reasonText;
    QString footnote;
    bool showsTrash = false;
    QString trashAccessibilityLabel;

    [[nodiscard]] static UnrecognizedCardFace of(const UnrecognizedServer &server);

    friend bool operator==(const UnrecognizedCardFace &, const UnrecognizedCardFace &) = default;
};

Q_DECLARE_METATYPE(UnrecognizedCardFace)

/// The card face for QML, which holds the entry's fields as texts.
class UnrecognizedCardRules : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    /// An empty url, transport or folder stands for none; an unknown reason for an unsafe name,
    /// the strictest reading.
    Q_INVOKABLE static UnrecognizedCardFace face(const QString &name, const QString &url, const QString &transport,
                                                 const QString &reason, const QString &folder);
    /// The card's accent: orange for an entry owned elsewhere, red otherwise.
    Q_INVOKABLE static QColor accent(bool ownedElsewhere, KitPalette::Scheme scheme);
};
