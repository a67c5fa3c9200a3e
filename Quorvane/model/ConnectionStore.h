// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ConnectionMeta.h"
#include "model/LocalStore.h"

#include <QMap>
#include <QSet>
#include <QString>

#include <optional>

/**
 * @brief The application's own metadata for each MCP connection, one ConnectionMeta per
 * connection name, kept in connections.json.
 *
 * Every change writes the whole file first and takes effect in memory only once it is written. A
 * file that cannot be used is never overwritten: the store then starts empty and refuses every
 * change for the rest of the process, with a sentence the application shows.
 */
class ConnectionStore : public LocalStore
{
    Q_OBJECT
    /// The metadata by connection name.
    Q_PROPERTY(QMap<QString, ConnectionMeta> connections READ connections NOTIFY connectionsChanged)

public:
    /// Loads folder/connections.json (creating the folder when missing).
    ConnectionStore(const QString &folder, Environment environment, QObject *parent = nullptr);

    [[nodiscard]] const QMap<QString, ConnectionMeta> &connections() const { return m_connections; }

    /// Writes the complete new map and, once written, makes it the store's.
    [[nodiscard]] SaveResult save(const QMap<QString, ConnectionMeta> &connections);
    /// A copy of a connection's metadata, without its recorded scope when that scope is older than
    /// the connection itself (verified before it was added, or with no addition time).
    [[nodiscard]] std::optional<ConnectionMeta> meta(const QString &name) const;
    /// Removes a connection's entry (no write when there is none).
    [[nodiscard]] SaveResult removeMeta(const QString &name);
    /// Moves the metadata from `oldName` to `newName`: the old entry if there is one, else the
    /// new name's own, else `fallback`. Always saves.
    [[nodiscard]] SaveResult renameMeta(const QString &oldName, const QString &newName,
                                        const ConnectionMeta &fallback);
    /// Drops every entry not named in `keep`; saves only when something was dropped.
    [[nodiscard]] SaveResult prune(const QSet<QString> &keep);
    /// Gives each entry named in `examine` that lacks one an addition time (its verification time,
    /// else now), and adds an entry added now for each name in both sets that has none. Saves only
    /// when something changed.
    [[nodiscard]] SaveResult backfillAddedAt(const QSet<QString> &examine,
                                             const QSet<QString> &create);

signals:
    void connectionsChanged();

private:
    QMap<QString, ConnectionMeta> m_connections;
};
