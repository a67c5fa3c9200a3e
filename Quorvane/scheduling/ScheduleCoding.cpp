// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleCoding.h"

#include "backend/BackendTimestamp.h"
#include "model/UuidText.h"

namespace ScheduleCoding {

QString cacheDateText(const QDateTime &instant)
{
    return instant.toUTC().toString(Qt::ISODate);
}

QDateTime parseCacheDate(QStringView text)
{
    if (text.size() != 20 || text[10] != u'T' || text[19] != u'Z')
        return {};
    const QDate date = QDate::fromString(text.first(10).toString(), u"yyyy-MM-dd");
    const QTime time = QTime::fromString(text.sliced(11, 8).toString(), u"HH:mm:ss");
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

Reader::Reader(const QJsonValue &value, DateForm dates, QString path)
    : m_object(value.toObject())
    , m_dates(dates)
    , m_path(std::move(path))
{
    if (!value.isObject())
        m_error = m_path.isEmpty() ? QStringLiteral("the value is not an object")
                                   : QStringLiteral("%1 is not an object").arg(m_path);
}

QString Reader::text(QLatin1StringView key)
{
    return typed(key, required(key));
}

std::optional<QString> Reader::optionalText(QLatin1StringView key)
{
    const QJsonValue value = optional(key);
    if (value.isUndefined())
        return std::nullopt;
    return typed(key, value);
}

QUuid Reader::uuid(QLatin1StringView key)
{
    return uuidOf(key, required(key));
}

std::optional<QUuid> Reader::optionalUuid(QLatin1StringView key)
{
    const QJsonValue value = optional(key);
    if (value.isUndefined())
        return std::nullopt;
    return uuidOf(key, value);
}

bool Reader::boolean(QLatin1StringView key)
{
    const QJsonValue value = required(key);
    if (!ok())
        return false;
    if (!value.isBool()) {
        fail(key, QStringLiteral("is not a Boolean"));
        return false;
    }
    return value.toBool();
}

QDateTime Reader::date(QLatin1StringView key)
{
    return dateOf(key, required(key));
}

std::optional<QDateTime> Reader::optionalDate(QLatin1StringView key)
{
    const QJsonValue value = optional(key);
    if (value.isUndefined())
        return std::nullopt;
    return dateOf(key, value);
}

bool Reader::finish(QString *error) const
{
    if (error && !ok())
        *error = m_error;
    return ok();
}

QJsonValue Reader::required(QLatin1StringView key)
{
    if (!ok())
        return {};
    const QJsonValue value = m_object.value(key);
    if (value.isUndefined() || value.isNull())
        fail(key, QStringLiteral("is missing"));
    return value;
}

QJsonValue Reader::optional(QLatin1StringView key)
{
    if (!ok())
        return QJsonValue(QJsonValue::Undefined);
    const QJsonValue value = m_object.value(key);
    return value.isNull() ? QJsonValue(QJsonValue::Undefined) : value;
}

QString Reader::qualified(QLatin1StringView key) const
{
    return m_path.isEmpty() ? QString(key) : m_path + u'.' + key;
}

void Reader::fail(QLatin1StringView key, const QString &problem)
{
    if (ok())
        m_error = QStringLiteral("\"%1\" %2").arg(qualified(key), problem);
}

QString Reader::typed(QLatin1StringView key, const QJsonValue &value)
{
    if (!ok())
        return {};
    if (!value.isString()) {
        fail(key, QStringLiteral("is not a text"));
        return {};
    }
    return value.toString();
}

QUuid Reader::uuidOf(QLatin1StringView key, const QJsonValue &value)
{
    const QString text = typed(key, value);
    if (!ok())
        return {};
    const std::optional<QUuid> uuid = UuidText::parse(text);
    if (!uuid)
        fail(key, QStringLiteral("is not a UUID"));
    return uuid.value_or(QUuid());
}

QDateTime Reader::dateOf(QLatin1StringView key, const QJsonValue &value)
{
    const QString text = typed(key, value);
    if (!ok())
        return {};
    const QDateTime instant =
        m_dates == DateForm::Cache ? parseCacheDate(text) : BackendTimestamp::parse(text);
    if (!instant.isValid())
        fail(key, QStringLiteral("is not a date and time"));
    return instant;
}

} // namespace ScheduleCoding
