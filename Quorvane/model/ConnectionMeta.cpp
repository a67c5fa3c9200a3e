// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ConnectionMeta.h"

#include "foundation/ReferenceSeconds.h"

namespace {

// Beyond about 3,000 years from the reference date a number is no time the application wrote.
constexpr double furthestSeconds = 1e11;

} // namespace

std::optional<ConnectionMeta> ConnectionMeta::fromJson(const QJsonValue &json, QString *error)
{
    const auto fail = [error](const QString &reason) -> std::optional<ConnectionMeta> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (!json.isObject())
        return fail(QStringLiteral("a connection's metadata is not a JSON object"));
    const QJsonObject object = json.toObject();
    const auto present = [&object](QLatin1StringView key) {
        const QJsonValue value = object.value(key);
        return !value.isUndefined() && !value.isNull();
    };

    ConnectionMeta meta;
    if (present(QLatin1StringView("sites"))) {
        meta.sites = SiteRef::listFromJson(object.value(QLatin1StringView("sites")), error);
        if (!meta.sites)
            return std::nullopt;
    }
    for (const auto &[key, field] : {std::pair{QLatin1StringView("verifiedAt"), &meta.verifiedAt},
                                     std::pair{QLatin1StringView("addedAt"), &meta.addedAt}}) {
        if (!present(key))
            continue;
        const QJsonValue value = object.value(key);
        *field = value.isDouble() ? ReferenceSeconds::Instant::fromSeconds(value.toDouble(), furthestSeconds)
                                  : std::nullopt;
        if (!*field)
            return fail(QStringLiteral("\"%1\" is not a time").arg(key));
    }
    if (present(QLatin1StringView("source"))) {
        const QJsonValue source = object.value(QLatin1StringView("source"));
        if (!source.isString())
            return fail(QStringLiteral("\"source\" is not a text"));
        meta.source = source.toString();
    }
    return meta;
}

QJsonObject ConnectionMeta::toJson() const
{
    QJsonObject object;
    if (sites)
        object.insert(QStringLiteral("sites"), SiteRef::toJson(*sites));
    if (verifiedAt)
        object.insert(QStringLiteral("verifiedAt"), verifiedAt->seconds());
    if (addedAt)
        object.insert(QStringLiteral("addedAt"), addedAt->seconds());
    if (source)
        object.insert(QStringLiteral("source"), *source);
    return object;
}

size_t qHash(const ConnectionMeta &meta, size_t seed) noexcept
{
    const size_t sites = meta.sites ? qHashRange(meta.sites->cbegin(), meta.sites->cend()) : 0;
    return qHashMulti(seed, meta.sites.has_value(), sites, meta.verifiedAt.has_value(),
                      meta.verifiedAt ? meta.verifiedAt->seconds() : 0.0, meta.addedAt.has_value(),
                      meta.addedAt ? meta.addedAt->seconds() : 0.0, meta.source.value_or(QString()));
}
