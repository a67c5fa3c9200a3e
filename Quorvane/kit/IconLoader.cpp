// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/IconLoader.h"

#include "platform/AppInfo.h"

#include <QFile>
#include <QSvgRenderer>

namespace {

const QString svg = QStringLiteral("svg");

} // namespace

IconLoader::IconLoader(ResourceBundle bundle)
    : m_bundle(std::move(bundle))
{
}

IconLoader &IconLoader::shared()
{
    static IconLoader loader(resourceBundle());
    return loader;
}

std::optional<QByteArray> IconLoader::microIcon(const QString &name)
{
    const auto cached = m_microIcons.constFind(name);
    if (cached != m_microIcons.cend())
        return *cached;
    QUrl location = m_bundle.url(QStringLiteral("icons/") + name, svg);
    if (location.isEmpty())
        location = m_bundle.url(name, svg);
    const std::optional<QByteArray> icon = location.isEmpty() ? std::nullopt : read(location);
    m_microIcons.insert(name, icon);
    return icon;
}

std::optional<QByteArray> IconLoader::largeIcon(const QString &name)
{
    const auto cached = m_largeIcons.constFind(name);
    if (cached != m_largeIcons.cend())
        return *cached;
    const QUrl location = m_bundle.url(QStringLiteral("large.") + name, svg);
    const std::optional<QByteArray> icon = location.isEmpty() ? std::nullopt : read(location);
    m_largeIcons.insert(name, icon);
    return icon;
}

std::optional<QByteArray> IconLoader::wordmark()
{
    if (!m_wordmark) {
        const QUrl location = m_bundle.url(QStringLiteral("velliscor-wordmark"), svg);
        m_wordmark = location.isEmpty() ? std::nullopt : read(location);
    }
    return *m_wordmark;
}

std::optional<QByteArray> IconLoader::read(const QUrl &location)
{
    QFile file(location.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray contents = file.readAll();
    if (!QSvgRenderer(contents).isValid())
        return std::nullopt;
    return contents;
}
