// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/Connection.h"
#include "model/LocalStore.h"
#include "model/SiteRecord.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

/**
 * @brief The application's memory of the Webflow sites it has met, kept in sites.json.
 *
 * Every change writes the whole file first and takes effect in memory only once it is written. A
 * file that cannot be used is never overwritten: the directory then starts empty and refuses
 * every change for the rest of the process.
 */
class SiteDirectory : public LocalStore
{
    Q_OBJECT
    /// The sites: in file order after loading, sorted by display name by every change that adds
    /// records or may rename them.
    Q_PROPERTY(QList<SiteRecord> sites READ sites NOTIFY sitesChanged)

public:
    /// Loads folder/sites.json (creating the folder when missing). Every change answers how its
    /// save went, as the other stores' do; one that finds nothing to change writes nothing and
    /// succeeds.
    SiteDirectory(const QString &folder, Environment environment, QObject *parent = nullptr);

    [[nodiscard]] const QList<SiteRecord> &sites() const { return m_sites; }

    /// Rebuilds the directory from the connections whose verified scope is exactly one site,
    /// keeping every other site that is marked for publishing, in `idsToKeep` or in `requiredIds`
    /// (a required site the directory does not know is added under its entry in `titles`, else
    /// under its id). Names move forward in time only. Always sorts and saves.
    SaveResult reconcile(const QList<Connection> &connections, const QSet<QString> &idsToKeep,
                         const QSet<QString> &requiredIds, const QHash<QString, QString> &titles);
    /// Marks as connected now the sites in `connectedIds` that have no mark yet; with `clearOthers`
    /// also clears the mark of every other site. Saves only when a mark changed.
    SaveResult syncPublishingConnected(const QSet<QString> &connectedIds, bool clearOthers);
    /// Marks a site as connected now, adding it under `name` when the directory does not know it.
    SaveResult markPublishingConnected(const QString &siteId, const QString &name);
    /// Sets (or with no date clears) a known site's publishing mark; an unknown id does nothing.
    SaveResult setPublishingConnectedAt(const std::optional<QDateTime> &date, const QString &siteId);
    /// The first record with that id.
    [[nodiscard]] std::optional<SiteRecord> site(const QString &siteId) const;
    /// The first record whose verified connections include `mcpName`.
    [[nodiscard]] std::optional<SiteRecord> siteListing(const QString &mcpName) const;
    /// The site a project works on: the record of its own site id, else the record that lists its
    /// server, else the site id it holds.
    [[nodiscard]] std::optional<QString> resolvedSiteID(const std::optional<QString> &siteId,
                                                        const QString &mcpName) const;

signals:
    void sitesChanged();

private:
    std::optional<QString> setAsideNote(SetAside why, const QByteArray &bytes,
                                        const std::optional<QString> &copy) const override;
    /// Writes `next` (sorted by display name first when `sort`) and makes it the directory's list;
    /// on a failure the list stays as it was and the directory turns read-only.
    SaveResult commit(QList<SiteRecord> next, bool sort);
    void setSites(QList<SiteRecord> sites);

    QList<SiteRecord> m_sites;
};
