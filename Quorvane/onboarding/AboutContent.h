// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

/**
 * @brief What the About dialog shows: the version line, the application's icon and the two web
 * links with their labels.
 */
class AboutContent : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    /// The running build's version; "dev" when the build carries none.
    Q_PROPERTY(QString appVersion READ appVersion CONSTANT)
    /// The application's icon in the resource bundle; empty when the bundle lacks it.
    Q_PROPERTY(QUrl iconSource READ iconSource CONSTANT)
    Q_PROPERTY(QUrl productSite READ productSite CONSTANT)
    Q_PROPERTY(QUrl makerSite READ makerSite CONSTANT)

public:
    using QObject::QObject;

    [[nodiscard]] static QString appVersion();
    [[nodiscard]] static QUrl iconSource();
    [[nodiscard]] static QUrl productSite();
    [[nodiscard]] static QUrl makerSite();

    /// "Version " and the version; "dev" stands in for an empty one.
    Q_INVOKABLE [[nodiscard]] static QString versionLine(const QString &version);
    /// The version line of a build's information keys.
    [[nodiscard]] static QString versionLine(const QVariantMap &bundleInfo);
    /// A link's label: the site's domain alone, without scheme, path or a leading host label
    /// such as "www".
    Q_INVOKABLE [[nodiscard]] static QString linkLabel(const QUrl &url);
};
