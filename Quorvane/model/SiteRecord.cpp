// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/SiteRecord.h"

#include "model/InternetDateTime.h"

#include <QJsonArray>

namespace {

// An optional member: missing or null is absent, and a present value of the wrong kind fails the
// whole record (and with it the file), so nothing is ever coerced.
template <typename T, typename Read>
bool readOptional(const QJsonObject &object, QLatin1StringView key, std::optional<T> &into,
                  Read read)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return true;
    into = read(value);
    return into.has_value();
}

std::optional<QString> readText(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<QDateTime> readDate(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    const QDateTime date = InternetDateTime::parse(value.toString());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

void writeDate(QJsonObject &object, QLatin1StringView key, const std::optional<QDateTime> &date)
{
    if (date)
        object.insert(key, InternetDateTime::format(*date));
}

void writeText(QJsonObject &object, QLatin1StringView key, const std::optional<QString> &text)
{
    if (text)
        object.insert(key, *text);
}

} // namespace

QJsonObject SiteRecord::toJson() const
{
    QJsonObject object{
        {QStringLiteral("id"), id},
        {QStringLiteral("name"), name},
        {QStringLiteral("connections"), QJsonArray::fromStringList(connections)},
    };
    writeDate(object, QLatin1StringView("nameSeenAt"), nameSeenAt);
    writeText(object, QLatin1StringView("customName"), customName);
    writeDate(object, QLatin1StringView("lastVerifiedAt"), lastVerifiedAt);
    writeDate(object, QLatin1StringView("publishingConnectedAt"), publishingConnectedAt);
    writeText(object, QLatin1StringView("shortName"), shortName);
    writeDate(object, QLatin1StringView("shortNameSeenAt"), shortNameSeenAt);
    return object;
}

std::optional<SiteRecord> SiteRecord::fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue id = object.value(QLatin1StringView("id"));
    const QJsonValue name = object.value(QLatin1StringView("name"));
    const QJsonValue connections = object.value(QLatin1StringView("connections"));
    if (!id.isString() || !name.isString() || !connections.isArray())
        return std::nullopt;

    SiteRecord record;
    record.id = id.toString();
    record.name = name.toString();
    for (const QJsonValue connection : connections.toArray()) {
        if (!connection.isString())
            return std::nullopt;
        record.connections.append(connection.toString());
    }
    if (!readOptional(object, QLatin1StringView("nameSeenAt"), record.nameSeenAt, readDate)
        || !readOptional(object, QLatin1StringView("customName"), record.customName, readText)
        || !readOptional(object, QLatin1StringView("lastVerifiedAt"), record.lastVerifiedAt,
                         readDate)
        || !readOptional(object, QLatin1StringView("publishingConnectedAt"),
                         record.publishingConnectedAt, readDate)
        || !readOptional(object, QLatin1StringView("shortName"), record.shortName, readText)
        || !readOptional(object, QLatin1StringView("shortNameSeenAt"), record.shortNameSeenAt,
                         readDate))
        return std::nullopt;
    return record;
}
