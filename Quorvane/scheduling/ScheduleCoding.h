// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "foundation/JsonReader.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>
#include <type_traits>

/**
 * @brief Strict JSON coding shared by the schedule records, their cache file and the backend's
 * schedule rows and replies: JsonReader's rules, with the two date forms these documents use.
 */
namespace ScheduleCoding {

/// How dates are written in the document being coded.
enum class DateForm {
    Cache,   ///< the cache file: UTC with whole seconds and "Z" ("2026-03-08T15:30:00Z")
    Backend, ///< backend rows and replies: any offset or none (UTC), 0-9 fraction digits (BackendTimestamp)
};

/// The instant of a cache date text; invalid for any other form. The cache file writes its dates
/// with InternetDateTime::format, and reads back only that exact form (InternetDateTime::utcForm).
[[nodiscard]] QDateTime parseCacheDate(QStringView text);

/// Reads one JSON object of a schedule document, its dates in that document's form.
class Reader : public JsonReader
{
public:
    /// @p path names the object in failure descriptions ("row 2", "domains[0]"); may be empty.
    Reader(const QJsonValue &value, DateForm dates, QString path = {});
};

/// A JSON array whose every element decodes; one bad element fails the whole list.
template<typename Decode>
[[nodiscard]] auto decodeList(const QJsonValue &value, Decode decode, QString *error)
{
    return decodeJsonArray(value, decode, error);
}

} // namespace ScheduleCoding
