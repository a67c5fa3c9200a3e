// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/SiteRef.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

constexpr QStringView designerHostSuffix = u".design.webflow.com";

// The value of a key as text when it is a text or a number; sites arrive from tools that write
// their ids either way.
std::optional<QString> textOrNumber(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (value.isString())
        return value.toString();
    if (!value.isDouble())
        return std::nullopt;

    const QVariant number = value.toVariant();
    if (number.typeId() == QMetaType::LongLong)
        return QString::number(number.toLongLong());
    const double real = value.toDouble();
    // 2^63 is exact as a double; every integral double below it (and from -2^63) fits 64 bits.
    constexpr double limit = 9223372036854775808.0;
    if (std::trunc(real) == real && real >= -limit && real < limit)
        return QString::number(static_cast<qint64>(real));
    return QString::number(real, 'g', QLocale::FloatingPointShortest);
}

std::optional<QString> firstOf(const QJsonObject &object, std::initializer_list<QLatin1StringView> keys)
{
    for (const QLatin1StringView key : keys) {
        if (std::optional<QString> text = textOrNumber(object, key))
            return text;
    }
    return std::nullopt;
}

} // namespace

std::optional<SiteRef> SiteRef::fromJson(const QJsonValue &json, QString *error)
{
    const auto fail = [error](const QString &reason) -> std::optional<SiteRef> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (!json.isObject())
        return fail(QStringLiteral("a site is not a JSON object"));

    const QJsonObject object = json.toObject();
    const std::optional<QString> id = firstOf(object, {QLatin1StringView("id"), QLatin1StringView("siteId")});
    if (!id)
        return fail(QStringLiteral(R"(a site object has no "id" (or "siteId") field)"));

    SiteRef site;
    site.id = *id;
    site.name = firstOf(object, {QLatin1StringView("name"), QLatin1StringView("displayName"),
                                 QLatin1StringView("shortName"), QLatin1StringView("slug")})
                    .value_or(*id);
    site.shortName = firstOf(object, {QLatin1StringView("shortName"), QLatin1StringView("slug")});
    return site;
}

std::optional<QList<SiteRef>> SiteRef::listFromJson(const QJsonValue &json, QString *error)
{
    if (!json.isArray()) {
        if (error)
            *error = QStringLiteral("the sites are not a JSON array");
        return std::nullopt;
    }
    QList<SiteRef> sites;
    for (const QJsonValue &element : json.toArray()) {
        std::optional<SiteRef> site = fromJson(element, error);
        if (!site)
            return std::nullopt;
        sites.append(std::move(*site));
    }
    return sites;
}

QJsonObject SiteRef::toJson() const
{
    QJsonObject object{{QStringLiteral("name"), name}, {QStringLiteral("id"), id}};
    if (shortName)
        object.insert(QStringLiteral("shortName"), *shortName);
    return object;
}

QJsonArray SiteRef::toJson(const QList<SiteRef> &sites)
{
    QJsonArray array;
    for (const SiteRef &site : sites)
        array.append(site.toJson());
    return array;
}

std::optional<QUrl> SiteRef::designerURL(QStringView shortName)
{
    // Anchored to the very end: a plain "$" would also accept a trailing line feed.
    static const QRegularExpression label(
        QRegularExpression::anchoredPattern(QStringLiteral("[a-z0-9-]{1,63}")));
    const QString lowered = shortName.toString().toLower();
    if (!label.match(lowered).hasMatch() || lowered.startsWith(u'-') || lowered.endsWith(u'-'))
        return std::nullopt;

    const QString host = lowered + designerHostSuffix.toString();
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(host, QUrl::StrictMode);
    url.setPath(QStringLiteral("/"));
    if (!url.isValid() || url.host().toLower() != host)
        return std::nullopt;
    return url;
}
