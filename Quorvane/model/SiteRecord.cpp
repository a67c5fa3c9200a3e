// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/SiteRecord.h"

#include "foundation/InternetDateTime.h"
#include "foundation/JsonReader.h"

#include <QJsonArray>

namespace {

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
    // A present value of the wrong kind fails the whole record (and with it the file), so nothing
    // is ever coerced.
    JsonReader reader(value);
    SiteRecord record;
    record.id = reader.text(QLatin1StringView("id"));
    record.name = reader.text(QLatin1StringView("name"));
    record.connections = reader.textList(QLatin1StringView("connections"));
    record.nameSeenAt = reader.optionalDate(QLatin1StringView("nameSeenAt"));
    record.customName = reader.optionalText(QLatin1StringView("customName"));
    record.lastVerifiedAt = reader.optionalDate(QLatin1StringView("lastVerifiedAt"));
    record.publishingConnectedAt = reader.optionalDate(QLatin1StringView("publishingConnectedAt"));
    record.shortName = reader.optionalText(QLatin1StringView("shortName"));
    record.shortNameSeenAt = reader.optionalDate(QLatin1StringView("shortNameSeenAt"));
    if (!reader.ok())
        return std::nullopt;
    return record;
}
