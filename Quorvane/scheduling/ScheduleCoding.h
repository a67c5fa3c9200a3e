// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>
#include <type_traits>

/**
 * @brief Strict JSON coding shared by the schedule records, their cache file and the backend's
 * schedule rows and replies.
 *
 * Nothing is coerced: a value of the wrong JSON type fails, a required key that is missing or null
 * fails, an optional key that is missing or null reads as absent. UUIDs are coded as UuidText.
 */
namespace ScheduleCoding {

/// How dates are written in the document being coded.
enum class DateForm {
    Cache,   ///< the cache file: UTC with whole seconds and "Z" ("2026-03-08T15:30:00Z")
    Backend, ///< backend rows and replies: any offset, 0-9 fraction digits (BackendTimestamp)
};

/// The instant as the cache file writes it: UTC, whole seconds, "Z".
[[nodiscard]] QString cacheDateText(const QDateTime &instant);

/// The instant of a cache date text; invalid for any other form.
[[nodiscard]] QDateTime parseCacheDate(QStringView text);

/**
 * @brief Reads the fields of one JSON object, remembering the first failure.
 *
 * Every accessor returns a default value once something failed, so a decoder reads all its keys
 * and then asks ok() once.
 */
class Reader
{
public:
    /// @p path names the object in failure descriptions ("row 2", "domains[0]"); may be empty.
    Reader(const QJsonValue &value, DateForm dates, QString path = {});

    [[nodiscard]] QString text(QLatin1StringView key);
    [[nodiscard]] std::optional<QString> optionalText(QLatin1StringView key);
    [[nodiscard]] QUuid uuid(QLatin1StringView key);
    [[nodiscard]] std::optional<QUuid> optionalUuid(QLatin1StringView key);
    [[nodiscard]] bool boolean(QLatin1StringView key);
    [[nodiscard]] QDateTime date(QLatin1StringView key);
    [[nodiscard]] std::optional<QDateTime> optionalDate(QLatin1StringView key);

    /// A required array whose every element decodes with @p decode(value, error, path).
    template<typename Decode>
    [[nodiscard]] auto list(QLatin1StringView key, Decode decode)
        -> QList<typename std::invoke_result_t<Decode, QJsonValue, QString *, QString>::value_type>
    {
        QList<typename std::invoke_result_t<Decode, QJsonValue, QString *, QString>::value_type> items;
        const QJsonValue value = required(key);
        if (!m_error.isEmpty())
            return items;
        if (!value.isArray()) {
            fail(key, QStringLiteral("is not an array"));
            return items;
        }
        const QJsonArray array = value.toArray();
        for (qsizetype index = 0; index < array.size(); ++index) {
            const QString itemPath = QStringLiteral("%1[%2]").arg(qualified(key)).arg(index);
            auto item = decode(array.at(index), &m_error, itemPath);
            if (!item)
                return {};
            items.append(std::move(*item));
        }
        return items;
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

    [[nodiscard]] bool ok() const { return m_error.isEmpty(); }

    /// Hands the first failure to @p error (when given) and answers whether there was none.
    bool finish(QString *error) const;

private:
    QJsonValue required(QLatin1StringView key);
    /// The value, or an undefined one when the key is missing or null (or reading already failed).
    QJsonValue optional(QLatin1StringView key);
    QString qualified(QLatin1StringView key) const;
    void fail(QLatin1StringView key, const QString &problem);
    QString typed(QLatin1StringView key, const QJsonValue &value);
    QUuid uuidOf(QLatin1StringView key, const QJsonValue &value);
    QDateTime dateOf(QLatin1StringView key, const QJsonValue &value);

    QJsonObject m_object;
    DateForm m_dates;
    QString m_path;
    QString m_error;
};

/// A JSON array whose every element decodes; one bad element fails the whole list.
template<typename Decode>
[[nodiscard]] auto decodeList(const QJsonValue &value, Decode decode, QString *error)
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

} // namespace ScheduleCoding
