// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/JsonReader.h"

#include "foundation/UuidText.h"

#include <cmath>

JsonReader::JsonReader(const QJsonValue &value, QString path, DateParser dates)
    : m_object(value.toObject())
    , m_path(std::move(path))
    , m_dates(dates)
{
    if (!value.isObject())
        m_error = m_path.isEmpty() ? QStringLiteral("the value is not an object")
                                   : QStringLiteral("%1 is not an object").arg(m_path);
}

QString JsonReader::text(QLatin1StringView key)
{
    return typed(key, required(key));
}

std::optional<QString> JsonReader::optionalText(QLatin1StringView key)
{
    return optionalOf(key, &JsonReader::typed);
}

QStringList JsonReader::textList(QLatin1StringView key)
{
    const QJsonArray array = arrayAt(key);
    QStringList texts;
    for (qsizetype index = 0; index < array.size(); ++index) {
        if (!array.at(index).isString()) {
            m_error = QStringLiteral("\"%1[%2]\" is not a text").arg(qualified(key)).arg(index);
            return {};
        }
        texts.append(array.at(index).toString());
    }
    return texts;
}

QUuid JsonReader::uuid(QLatin1StringView key)
{
    return uuidOf(key, required(key));
}

std::optional<QUuid> JsonReader::optionalUuid(QLatin1StringView key)
{
    return optionalOf(key, &JsonReader::uuidOf);
}

bool JsonReader::boolean(QLatin1StringView key)
{
    return booleanOf(key, required(key));
}

std::optional<bool> JsonReader::optionalBoolean(QLatin1StringView key)
{
    return optionalOf(key, &JsonReader::booleanOf);
}

qint64 JsonReader::integer(QLatin1StringView key)
{
    return integerOf(key, required(key));
}

std::optional<qint64> JsonReader::optionalInteger(QLatin1StringView key)
{
    return optionalOf(key, &JsonReader::integerOf);
}

QDateTime JsonReader::date(QLatin1StringView key)
{
    return dateOf(key, required(key));
}

std::optional<QDateTime> JsonReader::optionalDate(QLatin1StringView key)
{
    return optionalOf(key, &JsonReader::dateOf);
}

void JsonReader::fail(QLatin1StringView key, const QString &problem)
{
    if (ok())
        m_error = QStringLiteral("\"%1\" %2").arg(qualified(key), problem);
}

bool JsonReader::finish(QString *error) const
{
    if (error && !ok())
        *error = m_error;
    return ok();
}

QJsonValue JsonReader::required(QLatin1StringView key)
{
    if (!ok())
        return {};
    const QJsonValue value = m_object.value(key);
    if (value.isUndefined() || value.isNull())
        fail(key, QStringLiteral("is missing"));
    return value;
}

QJsonValue JsonReader::optional(QLatin1StringView key)
{
    if (!ok())
        return QJsonValue(QJsonValue::Undefined);
    const QJsonValue value = m_object.value(key);
    return value.isNull() ? QJsonValue(QJsonValue::Undefined) : value;
}

QJsonArray JsonReader::arrayAt(QLatin1StringView key)
{
    const QJsonValue value = required(key);
    if (!ok())
        return {};
    if (!value.isArray()) {
        fail(key, QStringLiteral("is not an array"));
        return {};
    }
    return value.toArray();
}

QString JsonReader::qualified(QLatin1StringView key) const
{
    return m_path.isEmpty() ? QString(key) : m_path + u'.' + key;
}

QString JsonReader::typed(QLatin1StringView key, const QJsonValue &value)
{
    if (!ok())
        return {};
    if (!value.isString()) {
        fail(key, QStringLiteral("is not a text"));
        return {};
    }
    return value.toString();
}

bool JsonReader::booleanOf(QLatin1StringView key, const QJsonValue &value)
{
    if (!ok())
        return false;
    if (!value.isBool()) {
        fail(key, QStringLiteral("is not a Boolean"));
        return false;
    }
    return value.toBool();
}

QUuid JsonReader::uuidOf(QLatin1StringView key, const QJsonValue &value)
{
    const QString text = typed(key, value);
    if (!ok())
        return {};
    const std::optional<QUuid> uuid = UuidText::parse(text);
    if (!uuid)
        fail(key, QStringLiteral("is not a UUID"));
    return uuid.value_or(QUuid());
}

qint64 JsonReader::integerOf(QLatin1StringView key, const QJsonValue &value)
{
    if (!ok())
        return 0;
    const double number = value.toDouble();
    // 2^63 itself is out of range, and the first double below it is not.
    if (!value.isDouble() || std::trunc(number) != number || number < -9223372036854775808.0
        || number >= 9223372036854775808.0) {
        fail(key, QStringLiteral("is not a whole number"));
        return 0;
    }
    return value.toInteger();
}

QDateTime JsonReader::dateOf(QLatin1StringView key, const QJsonValue &value)
{
    const QString text = typed(key, value);
    if (!ok())
        return {};
    const QDateTime instant = m_dates(text);
    if (!instant.isValid())
        fail(key, QStringLiteral("is not a date and time"));
    return instant;
}
