// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/BackendConfiguration.h"

namespace {

// The text of a key; none when the key is missing or holds another type (a number, a Boolean).
std::optional<QString> text(const QVariantMap &info, const QString &key)
{
    const auto it = info.constFind(key);
    if (it == info.constEnd() || it->typeId() != QMetaType::QString)
        return std::nullopt;
    return it->toString();
}

} // namespace

std::optional<BackendConfiguration> BackendConfiguration::fromInfo(const QVariantMap &info)
{
    if (text(info, QStringLiteral("QuorvaneBackendLane")) != QStringLiteral("stable"))
        return std::nullopt;
    const std::optional<QString> urlText = text(info, QStringLiteral("QuorvaneBackendURL"));
    const std::optional<QString> key = text(info, QStringLiteral("QuorvaneBackendPublishableKey"));
    if (!urlText || !key)
        return std::nullopt;

    const QUrl url(*urlText, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().toLower() != QStringLiteral("https") || url.host().isEmpty())
        return std::nullopt;
    if (!key->startsWith(publishableKeyPrefix) || key->size() <= publishableKeyPrefix.size())
        return std::nullopt;
    return BackendConfiguration{url, *key};
}

bool BackendConfiguration::isProdTestMode(const QVariantMap &info)
{
    return text(info, QStringLiteral("QuorvaneBackendMode")) == QStringLiteral("prod-test");
}
