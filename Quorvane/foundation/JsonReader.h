// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "foundation/InternetDateTime.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>
#include <type_traits>

/**
 * @brief Reads the fields of one JSON object strictly, remembering the first failure.
 *
 * Nothing is coerced: a value of the wrong JSON type fails, a required key that is missing or null
 * fails, an optional key that is missing or null reads as absent. UUIDs are read as UuidText.
 * Every accessor returns a default value once something failed, so a decoder reads all its keys
 * and then asks ok() once.
 */
class JsonReader
{
public:
    /// Reads a date text: an invalid QDateTime for a text that is not a date in the document's form.
    using DateParser = QDateTime (*)(QStringView);

    /// @p path names the object in failure descriptions ("row 2", "domains[0]"); may be empty.
    /// @p dates reads the document's date texts; our own files write InternetDateTime.
    explicit JsonReader(const QJsonValue &value, QString path = {},
                        DateParser dates = &InternetDateTime::parse);

    [[nodiscard]] QString text(QLatin1StringView key);
    [[nodiscard]] std::optional<QString> optionalText(QLatin1StringView key);
    /// A required array of texts.
    [[nodiscard]] QStringList textList(QLatin1StringView key);
    [[nodiscard]] QUuid uuid(QLatin1StringView key);
    [[nodiscard]] std::optional<QUuid> optionalUuid(QLatin1StringView key);
    [[nodiscard]] bool boolean(QLatin1StringView key);
    [[nodiscard]] std::optional<bool> optionalBoolean(QLatin1StringView key);
    /// A whole number within the signed 64-bit range.
    [[nodiscard]] qint64 integer(QLatin1StringView key);
    [[nodiscard]] std::optional<qint64> optionalInteger(QLatin1StringView key);
    [[nodiscard]] QDateTime date(QLatin1StringView key);
    [[nodiscard]] std::optional<QDateTime> optionalDate(QLatin1StringView key);

    /// A required array whose every element decodes with @p decode(value, error, path).
    template<typename Decode>
    [[nodiscard]] auto list(QLatin1StringView key, Decode decode)
        -> QList<typename std::invoke_result_t<Decode, QJsonValue, QString *, QString>::value_type>
    {
        QList<typename std::invoke_result_t<Decode, QJsonValue, QString *, QString>::value_type> items;
        const QJsonArray array = arrayAt(key);
        for (qsizetype index = 0; index < array.size(); ++index) {
            const QString itemPath = QStringLiteral("%1[%2]").arg(qualified(key)).arg(index);
            auto item = decode(array.at(index), &m_error, itemPath);
            if (!item)
                return {};
            items.append(std::move(*item));
        }
        return items;
    }

    /// An optional array read as list() reads a required one; none when the key is missing or null.
    template<typename Decode>
    [[nodiscard]] auto optionalList(QLatin1StringView key, Decode decode)
        -> std::optional<decltype(list(key, decode))>
    {
        if (optional(key).isUndefined())
            return std::nullopt;
        return list(key, decode);
    }

    /// An optional nested object decoded with @p decode(value, error, path).
    template<typename Decode>
    [[nodiscard]] auto optionalObject(QLatin1StringView key, Decode decode)
        -> std::invoke_result_t<Decode, QJsonValue, QString *, QString>
    {
        const QJsonValue value = optional(key);
        if (value.isUndefined())
            return std::nullopt;
        return decode(value, &m_error, qualified(key));
    }

    /// Records that @p key's value @p problem ("is not a known recovery") unless something failed
    /// already.
    void fail(QLatin1StringView key, const QString &problem);

    [[nodiscard]] bool ok() const { return m_error.isEmpty(); }

    /// Hands the first failure to @p error (when given) and answers whether there was none.
    bool finish(QString *error) const;

private:
    QJsonValue required(QLatin1StringView key);
    /// The value, or an undefined one when the key is missing or null (or reading already failed).
    QJsonValue optional(QLatin1StringView key);
    /// The optional value read by @p read; none when the key is missing or null.
    template<typename T>
    std::optional<T> optionalOf(QLatin1StringView key, T (JsonReader::*read)(QLatin1StringView, const QJsonValue &))
    {
        const QJsonValue value = optional(key);
        if (value.isUndefined())
            return std::nullopt;
        return (this->*read)(key, value);
    }
    /// The required array; empty once reading failed.
    QJsonArray arrayAt(QLatin1StringView key);
    QString qualified(QLatin1StringView key) const;
    QString typed(QLatin1StringView key, const QJsonValue &value);
    bool booleanOf(QLatin1StringView key, const QJsonValue &value);
    QUuid uuidOf(QLatin1StringView key, const QJsonValue &value);
    qint64 integerOf(QLatin1StringView key, const QJsonValue &value);
    QDateTime dateOf(QLatin1StringView key, const QJsonValue &value);

    QJsonObject m_object;
    QString m_path;
    DateParser m_dates;
    QString m_error;
};

/// The elements of a JSON array (the rows of a table read), each decoded with
/// @p decode(value, error, "row <index>"); one element that does not decode fails the whole
/// array, so a reply is never used in part.
template<typename Decode>
[[nodiscard]] auto decodeJsonArray(const QJsonValue &value, Decode decode, QString *error)
    -> std::optional<QList<typename std::invoke_result_t<Decode, QJsonValue, QString *, QString>::value_type>>
{
    if (!value.isArray()) {
        if (error)
            *error = QStringLiteral("the reply is not an array");
        return std::nullopt;
    }
    QList<typename std::invoke_result_t<Decode, QJsonValue, QString *, QString>::value_type> items;
    const QJsonArray array = value.toArray();
    for (qsizetype index = 0; index < array.size(); ++index) {
        auto item = decode(array.at(index), error, QStringLiteral("row %1").arg(index));
        if (!item)
            return std::nullopt;
        items.append(std::move(*item));
    }
    return items;
}
