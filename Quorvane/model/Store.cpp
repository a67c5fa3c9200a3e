// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/Store.h"

#include "foundation/Clock.h"


namespace {

const QString kUnreadableSentence =
    QStringLiteral("Connection metadata exists but could not be read. It was preserved and "
                   "connection changes are disabled.");
const QString kUnsupportedSentence =
    QStringLiteral("Connection metadata used an unsupported format and was preserved.");
const QString kSaveFailedSentence =
    QStringLiteral("Connection changes could not be saved. Keep Quorvane open and fix Application "
                   "Support permissions or free disk space.");

// A JSON object of connection name to metadata object; nothing when any entry does not decode.
std::optional<QMap<QString, ConnectionMeta>> decodeMap(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    QMap<QString, ConnectionMeta> connections;
    for (auto it = object.begin(); it != object.end(); ++it) {
        std::optional<ConnectionMeta> meta = ConnectionMeta::fromJson(it.value());
        if (!meta)
            return std::nullopt;
        connections.insert(it.key(), std::move(*meta));
    }
    return connections;
}

QByteArray encode(const QMap<QString, ConnectionMeta> &connections)
{
    QJsonObject map;
    for (auto it = connections.cbegin(); it != connections.cend(); ++it)
        map.insert(it.key(), it.value().toJson());
    QByteArray bytes = StoreFile::encode(
        QJsonObject{{QStringLiteral("version"), 1}, {QStringLiteral("connections"), map}});
    // The file has always carried its slashes escaped; a "/" can only stand inside a JSON text,
    // so escaping every one keeps the document valid.
    return bytes.replace('/', "\\/");
}

} // namespace

Store::Store(const QString &folder, Clock &clock, AtomicWriter writer, QObject *parent)
    : LocalStore(folder, QStringLiteral("connections.json"), QStringLiteral("connection-store"),
                 clock, std::move(writer), parent)
{
    load();
}

void Store::load()
{
    const std::optional<QByteArray> bytes = readFile(kUnreadableSentence);
    if (!bytes)
        return;

    const QJsonDocument document = QJsonDocument::fromJson(*bytes);
    if (const auto current = StoreFile::versioned(document, QLatin1StringView("connections"))) {
        if (auto connections = decodeMap(current->content)) {
            // Another version is kept aside as it is; its look-alike older layout is not tried.
            if (current->version != 1)
                preserveUnreadable(*bytes);
            else
                m_connections = std::move(*connections);
            return;
        }
    }
    if (document.isObject()) {
        if (auto connections = decodeMap(document.object())) {
            m_connections = std::move(*connections);
            return;
        }
    }
    preserveUnreadable(*bytes);
}

void Store::preserveUnreadable(const QByteArray &bytes)
{
    disableWriting(kUnsupportedSentence);
    // Only a failed copy is worth a log entry: the sentence already says the data was kept.
    preserveCopy(bytes, QStringLiteral("connections"));
}

Store::SaveResult Store::save(const QMap<QString, ConnectionMeta> &connections)
{
    if (!persistenceWritable())
        return SaveFailure{SaveFailure::Kind::readOnly, persistenceIssue()};
    if (const std::optional<QString> error = write(encode(connections))) {
        disableWriting(kSaveFailedSentence);
        record(*error);
        return SaveFailure{SaveFailure::Kind::writeFailed, persistenceIssue()};
    }
    if (m_connections != connections) {
        m_connections = connections;
        emit connectionsChanged();
    }
    setPersistenceIssue({});
    return std::nullopt;
}

std::optional<ConnectionMeta> Store::meta(const QString &name) const
{
    const auto found = m_connections.constFind(name);
    if (found == m_connections.cend())
        return std::nullopt;
    ConnectionMeta meta = *found;
    if (meta.verifiedAt && (!meta.addedAt || *meta.verifiedAt < *meta.addedAt)) {
        meta.sites.reset();
        meta.verifiedAt.reset();
    }
    return meta;
}

Store::SaveResult Store::setMeta(const QString &name)
{
    if (!m_connections.contains(name))
        return std::nullopt;
    QMap<QString, ConnectionMeta> next = m_connections;
    next.remove(name);
    return save(next);
}

Store::SaveResult Store::renameMeta(const QString &oldName, const QString &newName,
                                    const ConnectionMeta &fallback)
{
    QMap<QString, ConnectionMeta> next = m_connections;
    const std::optional<ConnectionMeta> moved =
        next.contains(oldName) ? std::optional(next.take(oldName)) : std::nullopt;
    next.insert(newName, moved.value_or(next.value(newName, fallback)));
    return save(next);
}

Store::SaveResult Store::prune(const QSet<QString> &keep)
{
    QMap<QString, ConnectionMeta> next = m_connections;
    next.removeIf([&](const auto &entry) { return !keep.contains(entry.key()); });
    if (next.size() == m_connections.size())
        return std::nullopt;
    return save(next);
}

Store::SaveResult Store::backfillAddedAt(const QSet<QString> &examine, const QSet<QString> &create)
{
    QMap<QString, ConnectionMeta> next = m_connections;
    bool changed = false;
    for (const QString &name : examine) {
        const auto found = next.find(name);
        if (found != next.end()) {
            if (!found->addedAt) {
                found->addedAt = found->verifiedAt.value_or(clock().now());
                changed = true;
            }
        } else if (create.contains(name)) {
            ConnectionMeta added;
            added.addedAt = clock().now();
            next.insert(name, added);
            changed = true;
        }
    }
    if (!changed)
        return std::nullopt;
    return save(next);
}
