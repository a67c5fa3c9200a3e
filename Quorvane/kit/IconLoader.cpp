// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/IconLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QSvgRenderer>

IconLoader::IconLoader(QString folder)
    : m_folder(std::move(folder))
{
}

std::optional<QByteArray> IconLoader::microIcon(const QString &name)
{
    const auto cached = m_microIcons.constFind(name);
    if (cached != m_microIcons.cend())
        return *cached;
    const QString inSet = QStringLiteral("icons/") + name;
    // The first drawing found is the one read: a broken one in the set does not fall back.
    const std::optional<QByteArray> icon = read(QFileInfo(path(inSet)).isFile() ? inSet : name);
    m_microIcons.insert(name, icon);
    return icon;
}

std::optional<QByteArray> IconLoader::largeIcon(const QString &name)
{
    const auto cached = m_largeIcons.constFind(name);
    if (cached != m_largeIcons.cend())
        return *cached;
    const std::optional<QByteArray> icon = read(QStringLiteral("large.") + name);
    m_largeIcons.insert(name, icon);
    return icon;
}

std::optional<QByteArray> IconLoader::wordmark()
{
    if (!m_wordmark)
        m_wordmark = read(QStringLiteral("velliscor-wordmark"));
    return *m_wordmark;
}

QString IconLoader::path(const QString &name) const
{
    return m_folder + u'/' + name + QStringLiteral(".svg");
}

std::optional<QByteArray> IconLoader::read(const QString &name) const
{
    QFile file(path(name));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray contents = file.readAll();
    if (!QSvgRenderer(contents).isValid())
        return std::nullopt;
    return contents;
}
