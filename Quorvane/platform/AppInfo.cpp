// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/AppInfo.h"

#include "platform/BundleInfo.h"

#include <QFileInfo>

const QString &appVersion()
{
    static const QString version = appVersion(BundleInfo::main());
    return version;
}

QString appVersion(const QVariantMap &info)
{
    const QVariant value = info.value(QStringLiteral("CFBundleShortVersionString"));
    return value.typeId() == QMetaType::QString ? value.toString() : QStringLiteral("dev");
}

const ResourceBundle &resourceBundle()
{
    static const ResourceBundle bundle = resourceBundle(BundleInfo::resourcesPath());
    return bundle;
}

ResourceBundle resourceBundle(const QString &resourcesPath)
{
    const QString bundle = resourcesPath + QStringLiteral("/Quorvane_Quorvane.bundle");
    return ResourceBundle(QFileInfo(bundle).isDir() ? bundle : resourcesPath);
}

const QUrl &makerSiteURL()
{
    static const QUrl url(QStringLiteral("https://velliscor.studio"));
    return url;
}

const QUrl &productSiteURL()
{
    static const QUrl url(QStringLiteral("https://quorvane.app"));
    return url;
}
