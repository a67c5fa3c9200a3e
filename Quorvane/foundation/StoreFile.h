// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

/// Replaces a file's whole content so that a reader sees either the old or the new bytes, never a
/// mix; answers nothing on success, else the failure's description. Stores take one so that tests
/// can make writing fail.
using AtomicWriter =
    std::function<std::optional<QString>(const QByteArray &bytes, const QString &path)>;

/**
 * @brief The file work the local stores share: whole reads that tell a missing file from one that
 * cannot be read, atomic whole writes, the stores' JSON text and the name of a preserved copy.
 */
namespace StoreFile {

/// What reading a whole file gave.
struct ReadResult
{
    enum class Outcome {
        Read, ///< `bytes` holds the whole file.
        Missing, ///< There is no file at the path; nothing to preserve.
        Failed, ///< Something is there but could not be read; `error` says why.
    };
    Outcome outcome = Outcome::Missing;
    QByteArray bytes;
    QString error;
};

/// The largest store file read: far above any real one, and a bound on what a wrong file (a
/// device, a huge unrelated file) can make the process hold.
inline constexpr qint64 largestFile = 16 * 1024 * 1024;

/// The whole of a regular file of at most @p limit bytes. Only a path that leads nowhere (ENOENT,
/// a dangling link among them) is missing; anything else that stops the read, whether the path
/// (a folder without search permission, a file where a folder should be, a link loop) or what is
/// there (a folder, a FIFO, a device, a file over the limit), is a failure, never a wait.
[[nodiscard]] ReadResult read(const QString &path, qint64 limit = largestFile);

/// The default AtomicWriter: the bytes go to a temporary file in the destination's folder, are
/// flushed to disk and then renamed over the destination, readable and writable by the owner
/// only (the stores hold the account's e-mail and ids).
[[nodiscard]] std::optional<QString> writeAtomically(const QByteArray &bytes, const QString &path);

/// Creates a folder for store files, its last component readable by the owner only (an existing
/// folder is left as it is); a failure shows up at the first read or write inside it.
void makeFolder(const QString &path);

/// Removes what writeAtomically() leaves beside @p path when the process dies before the rename:
/// regular files named as the file plus "." and six letters or digits, full copies of the data.
void removeStaleTemporaries(const QString &path);

/// The text of a store file: UTF-8, indented, one member per line, the members of every object in
/// key order.
[[nodiscard]] QByteArray encode(const QJsonObject &document);

/// The name of the copy that keeps a file the store could not use: the base name (as "projects"),
/// "-unreadable-", the time in whole seconds since the Unix epoch and ".json".
[[nodiscard]] QString unreadableCopyName(const QString &baseName, const QDateTime &now);

/// The content of a store file in its current layout, with the version the file names: an
/// object with an integer "version" and the member that holds the records.
template <typename Content = QJsonValue>
struct Versioned
{
    qint64 version = 0;
    Content content;
};

/// The document as the current layout, when it is an object whose "version" is an integer and
/// which has the member `key`; the version is not judged here, nor the records.
[[nodiscard]] std::optional<Versioned<>> versioned(const QJsonDocument &document,
                                                   QLatin1StringView key);

/// Every element of a JSON array decoded by `decode` (which answers an optional record), or
/// nothing when the value is no array or any one element does not decode: a store never drops a
/// record it cannot read on its own.
template <typename Decode>
[[nodiscard]] auto decodeList(const QJsonValue &value, Decode decode)
    -> std::optional<QList<typename decltype(decode(value))::value_type>>
{
    using Record = typename decltype(decode(value))::value_type;
    if (!value.isArray())
        return std::nullopt;
    QList<Record> records;
    for (const QJsonValue element : value.toArray()) {
        auto record = decode(element);
        if (!record)
            return std::nullopt;
        records.append(std::move(*record));
    }
    return records;
}

} // namespace StoreFile
