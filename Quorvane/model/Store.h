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
class Store : public LocalStore
{
    Q_OBJECT
    /// The metadata by connection name.
    Q_PROPERTY(QMap<QString, ConnectionMeta> connections READ connections NOTIFY connectionsChanged)

public:
    /// Why a change was not saved. `message` is the store's persistenceIssue at that moment.
    struct SaveFailure
    {
        enum class Kind {
            readOnly, ///< The store was read-only; nothing was attempted.
            writeFailed, ///< Writing failed just now; the store has turned read-only.
        };
        Kind kind;
        QString message;

        friend bool operator==(const SaveFailure &, const SaveFailure &) = default;
    };
    /// Nothing on success.
    using SaveResult = std::optional<SaveFailure>;

    /// Loads folder/connections.json (creating the folder when missing). The clock dates added
    /// entries, preserved copies and error-log entries.
    Store(const QString &folder, Clock &clock, AtomicWriter writer = StoreFile::writeAtomically,
          QObject *parent = nullptr);

    [[nodiscard]] const QMap<QString, ConnectionMeta> &connections() const { return m_connections; }

    /// Writes the complete new map and, once written, makes it the store's.
    [[nodiscard]] SaveResult save(const QMap<QString, ConnectionMeta> &connections);
    /// A copy of a connection's metadata, without its recorded scope when that scope is older than
    /// the connection itself (verified before it was added, or with no addition time).
    [[nodiscard]] std::optional<ConnectionMeta> meta(const QString &name) const;
    /// Sets a connection's metadata to nothing: removes its entry (no write when there is none).
    [[nodiscard]] SaveResult setMeta(const QString &name);
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
    void load();
    void preserveUnreadable(const QByteArray &bytes);

    QMap<QString, ConnectionMeta> m_connections;
};
