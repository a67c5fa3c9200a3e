// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/ResourceBundle.h"

#include <QFileInfo>

ResourceBundle::ResourceBundle(QString directory)
    : m_directory(std::move(directory))
{
}

QUrl ResourceBundle::url(const QString &name, const QString &extension) const
{
    const QFileInfo file(m_directory + u'/' + name + u'.' + extension);
    return file.isFile() ? QUrl::fromLocalFile(file.absoluteFilePath()) : QUrl();
}
