// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/BundleInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace BundleInfo {

QString resourcesPath()
{
    // /proc/self/exe rather than QCoreApplication: the smoke start asks before any application
    // object exists, and it names the real file even when started through a symbolic link.
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    const QString binDir = executable.isEmpty() ? QCoreApplication::applicationDirPath()
                                                : QFileInfo(executable).absolutePath();
    return QDir::cleanPath(binDir + QStringLiteral("/../share/quorvane"));
}

const QVariantMap &main()
{
    static const QVariantMap info = read(resourcesPath() + QStringLiteral("/Info.json"));
    return info;
}

QVariantMap read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    return document.isObject() ? document.object().toVariantMap() : QVariantMap{};
}

} // namespace BundleInfo
