// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ConnectionStore.h"

#include "foundation/Clock.h"
#include "platform/DataFolder.h"

namespace {

using Connections = QMap<QString, ConnectionMeta>;

// A JSON object of connection name to metadata object; nothing when any entry does not decode.
std::optional<Connections> decodeMap(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    Connections connections;
    for (auto it = object.begin(); it != object.end(); ++it) {
        std::optional<ConnectionMeta> meta = ConnectionMeta::fromJson(it.value());
        if (!meta)
            return std::nullopt;
        connections.insert(it.key(), std::move(*meta));
    }
    return connections;
}

QByteArray encode(const Connections &connections)
{
    QJsonObject map;
    for (auto it = connections.cbegin(); it != connections.cend(); ++it)
        map.insert(it.key(), it.value().toJson());
    QByteArray bytes = StoreFile::encode(QJsonObject{{QStringLiteral("version"), LocalStore::currentVersion},
                                                     {QStringLiteral("connections"), map}});
    // The file has always carried its slashes escaped; a "/" can only stand inside a JSON text,
    // so escaping every one keeps the document valid.
    return bytes.replace('/', "\\/");
}

LocalStore::Sentences sentencesFor(const QString &folder)
{
    // One sentence for both: the file is kept whether it names another version or none we read.
    const QString unsupported =
        QStringLiteral("Connection metadata used an unsupported format and was preserved.");
    return {
        QStringLiteral("Connection metadata exists but could not be read. It was preserved and "
                       "connection changes are disabled."),
        unsupported,
        unsupported,
        QStringLiteral("Connection changes could not be saved. Keep Quorvane open and fix %1 "
                       "permissions or free disk space.")
            .arg(DataFolder::displayPath(folder)),
    };
}

} // namespace

ConnectionStore::ConnectionStore(const QString &folder, Environment environment, QObject *parent)
    : LocalStore(folder, {QStringLiteral("connections.json"), QStringLiteral("connection-store")},
                 sentencesFor(folder), std::move(environment), parent)
{
    m_connections = load(recordLayouts<Connections>(QLatin1StringView("connections"), decodeMap))
                        .value_or(Connections());
}

ConnectionStore::SaveResult ConnectionStore::save(const Connections &connections)
{
    if (const SaveResult failure = LocalStore::save(encode(connections)))
        return failure;
    if (m_connections != connections) {
        m_connections = connections;
        emit connectionsChanged();
    }
    return std::nullopt;
}

std::optional<ConnectionMeta> ConnectionStore::meta(const QString &name) const
{
    const auto found = m_connections.constFind(name);
    if (found == m_connections.cend())
        return std::nullopt;
    // Built in place: a copy into a local then into the optional trips g++ 12's
    // maybe-uninitialized check on the optional members at -O2.
    std::optional<ConnectionMeta> meta(std::in_place, *found);
    if (meta->verifiedAt && (!meta->addedAt || *meta->verifiedAt < *meta->addedAt)) {
        meta->sites.reset();
        meta->verifiedAt.reset();
    }
    return meta;
}

ConnectionStore::SaveResult ConnectionStore::removeMeta(const QString &name)
{
    if (!m_connections.contains(name))
        return std::nullopt;
    Connections next = m_connections;
    next.remove(name);
    return save(next);
}

ConnectionStore::SaveResult ConnectionStore::renameMeta(const QString &oldName, const QString &newName,
                                                        const ConnectionMeta &fallback)
{
    Connections next = m_connections;
    const std::optional<ConnectionMeta> moved =
        next.contains(oldName) ? std::optional(next.take(oldName)) : std::nullopt;
    next.insert(newName, moved.value_or(next.value(newName, fallback)));
    return save(next);
}

ConnectionStore::SaveResult ConnectionStore::prune(const QSet<QString> &keep)
{
    Connections next = m_connections;
    next.removeIf([&](const auto &entry) { return !keep.contains(entry.key()); });
    if (next.size() == m_connections.size())
        return std::nullopt;
    return save(next);
}

ConnectionStore::SaveResult ConnectionStore::backfillAddedAt(const QSet<QString> &examine,
                                                             const QSet<QString> &create)
{
    Connections next = m_connections;
    const ReferenceSeconds::Instant now(clock().now());
    bool changed = false;
    for (const QString &name : examine) {
        const auto found = next.find(name);
        if (found != next.end()) {
            if (!found->addedAt) {
                found->addedAt = found->verifiedAt.value_or(now);
                changed = true;
            }
        } else if (create.contains(name)) {
            ConnectionMeta added;
            added.addedAt = now;
            next.insert(name, added);
            changed = true;
        }
    }
    if (!changed)
        return std::nullopt;
    return save(next);
}
