// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "onboarding/AboutContent.h"

#include "platform/AppInfo.h"

QString AboutContent::appVersion()
{
    return ::appVersion();
}

QUrl AboutContent::iconSource()
{
    return resourceBundle().url(QStringLiteral("app-icon"), QStringLiteral("svg"));
}

QUrl AboutContent::productSite()
{
    return productSiteURL();
}

QUrl AboutContent::makerSite()
{
    return makerSiteURL();
}

QString AboutContent::versionLine(const QString &version)
{
    return QStringLiteral("Version ") + (version.isEmpty() ? QStringLiteral("dev") : version);
}

QString AboutContent::versionLine(const QVariantMap &bundleInfo)
{
    return versionLine(::appVersion(bundleInfo));
}

QString AboutContent::linkLabel(const QUrl &url)
{
    QStringList labels = url.host().split(u'.', Qt::SkipEmptyParts);
    // "www.velliscor.studio" reads as the site "velliscor.studio".
    if (labels.size() > 2)
        labels.removeFirst();
    return labels.join(u'.');
}
