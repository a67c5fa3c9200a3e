// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/DataFolder.h"

#include <QDir>
#include <QStandardPaths>

QString DataFolder::path()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Tessavine");
}

QString DataFolder::displayPath(const QString &path)
{
    const QString home = QDir::cleanPath(QDir::homePath());
    const QString clean = QDir::cleanPath(path);
    if (home == QStringLiteral("/") || home.isEmpty())
        return clean;
    if (clean == home)
        return QStringLiteral("~");
    if (clean.startsWith(home + u'/'))
        return u'~' + clean.mid(home.size());
    return clean;
}
