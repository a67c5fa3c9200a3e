// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/SiteDirectory.h"

#include "foundation/LocaleOrder.h"
#include "foundation/Clock.h"

#include <QJsonArray>

namespace {

// One sentence for both: the file is kept whether it names another version or none we read.
const QString kUnsupportedSentence = QStringLiteral(
    "Saved site data uses an unsupported format and was preserved. Site changes are disabled.");

// Whether a name seen at `seen` may be replaced by one verified at `verified`; an absent time counts
// as the earliest possible.
bool notLaterThan(const std::optional<QDateTime> &seen, const std::optional<QDateTime> &verified)
{
    if (!seen)
        return true;
    return verified && *seen <= *verified;
}

} // namespace

SiteDirectory::SiteDirectory(const QString &folder, Environment environment, QObject *parent)
    : LocalStore(folder, {QStringLiteral("sites.json"), QStringLiteral("site-directory")},
                 {
                     QStringLiteral("Saved site data exists but could not be read. It was preserved "
                                    "and site changes are disabled."),
                     kUnsupportedSentence,
                     kUnsupportedSentence,
                     QStringLiteral("Site names and identity metadata could not be saved."),
                 },
                 std::move(environment), parent)
{
    const auto records = [](const QJsonValue &value) {
        return StoreFile::decodeList(value, SiteRecord::fromJson);
    };
    m_sites = load(recordLayouts<QList<SiteRecord>>(QLatin1StringView("sites"), records))
                  .value_or(QList<SiteRecord>());
}

std::optional<QString> SiteDirectory::setAsideNote(SetAside why, const QByteArray &,
                                                   const std::optional<QString> &) const
{
    return QStringLiteral("sites.json ")
        + (why == SetAside::otherVersion ? QStringLiteral("unsupported version")
                                         : QStringLiteral("could not be decoded"));
}

SiteDirectory::SaveResult SiteDirectory::commit(QList<SiteRecord> next, bool sort)
{
    if (sort)
        sortByLocaleText(next, [](const SiteRecord &site) { return site.displayName(); });
    QJsonArray sites;
    for (const SiteRecord &site : std::as_const(next))
        sites.append(site.toJson());
    if (const SaveResult failure = save(StoreFile::encode(
            QJsonObject{{QStringLiteral("version"), currentVersion}, {QStringLiteral("sites"), sites}})))
        return failure;
    setSites(std::move(next));
    return std::nullopt;
}

std::optional<SiteRecord> SiteDirectory::siteListing(const QString &mcpName) const
{
    for (const SiteRecord &site : m_sites) {
        if (site.connections.contains(mcpName))
            return site;
    }
    return std::nullopt;
}

std::optional<QString> SiteDirectory::resolvedSiteID(const std::optional<QString> &siteId,
                                                     const QString &mcpName) const
{
    if (siteId && site(*siteId))
        return siteId;
    if (const std::optional<SiteRecord> listing = siteListing(mcpName))
        return listing->id;
    return siteId;
}

SiteDirectory::SaveResult SiteDirectory::reconcile(const QList<Connection> &connections,
                                                   const QSet<QString> &idsToKeep,
                                                   const QSet<QString> &requiredIds,
                                                   const QHash<QString, QString> &titles)
{
    // Records are gathered by id in the order first met, so that sites whose names compare equal
    // do not change places from one refresh to the next.
    QHash<QString, SiteRecord> byId;
    QStringList order;
    const auto store = [&](SiteRecord record) {
        if (!byId.contains(record.id))
            order.append(record.id);
        byId.insert(record.id, std::move(record));
    };
    for (SiteRecord record : m_sites) {
        record.connections.clear();
        record.lastVerifiedAt.reset();
        store(std::move(record));
    }

    for (const Connection &connection : connections) {
        if (!connection.meta || !connection.meta->sites || connection.meta->sites->size() != 1)
            continue;
        const SiteRef &reached = connection.meta->sites->first();
        const std::optional<QDateTime> verified =
            connection.meta->verifiedAt ? std::optional(connection.meta->verifiedAt->date()) : std::nullopt;
        SiteRecord record;
        if (const auto known = byId.constFind(reached.id); known != byId.cend()) {
            record = *known;
        } else {
            record.id = reached.id;
            record.name = reached.name;
            record.shortName = reached.shortName;
        }
        record.connections.append(connection.name);
        if (reached.shortName && notLaterThan(record.shortNameSeenAt, verified)) {
            record.shortName = reached.shortName;
            record.shortNameSeenAt = verified;
        }
        if (notLaterThan(record.nameSeenAt, verified)) {
            record.name = reached.name;
            record.nameSeenAt = verified;
        }
        if (verified && (!record.lastVerifiedAt || *record.lastVerifiedAt < *verified))
            record.lastVerifiedAt = verified;
        store(std::move(record));
    }

    QStringList required = requiredIds.values();
    required.sort();
    for (const QString &id : std::as_const(required)) {
        if (byId.contains(id))
            continue;
        SiteRecord record;
        record.id = id;
        record.name = titles.value(id, id);
        store(std::move(record));
    }

    QList<SiteRecord> kept;
    for (const QString &id : std::as_const(order)) {
        SiteRecord record = byId.value(id);
        if (record.connections.isEmpty() && !record.publishingConnectedAt
            && !idsToKeep.contains(id) && !requiredIds.contains(id))
            continue;
        record.connections.sort();
        kept.append(std::move(record));
    }
    return commit(std::move(kept), true);
}

SiteDirectory::SaveResult SiteDirectory::syncPublishingConnected(const QSet<QString> &connectedIds,
                                                                 bool clearOthers)
{
    QList<SiteRecord> next = m_sites;
    bool changed = false;
    for (SiteRecord &site : next) {
        if (connectedIds.contains(site.id)) {
            if (!site.publishingConnectedAt) {
                site.publishingConnectedAt = clock().now();
                changed = true;
            }
        } else if (clearOthers && site.publishingConnectedAt) {
            site.publishingConnectedAt.reset();
            changed = true;
        }
    }
    if (!changed)
        return std::nullopt;
    return commit(std::move(next), false);
}

SiteDirectory::SaveResult SiteDirectory::markPublishingConnected(const QString &siteId,
                                                                 const QString &name)
{
    const QDateTime now = clock().now();
    if (site(siteId))
        return setPublishingConnectedAt(now, siteId);
    QList<SiteRecord> next = m_sites;
    SiteRecord added;
    added.id = siteId;
    added.name = name;
    added.nameSeenAt = now;
    added.publishingConnectedAt = now;
    next.append(std::move(added));
    return commit(std::move(next), true);
}

SiteDirectory::SaveResult SiteDirectory::setPublishingConnectedAt(const std::optional<QDateTime> &date,
                                                                  const QString &siteId)
{
    QList<SiteRecord> next = m_sites;
    const auto found = std::find_if(next.begin(), next.end(),
                                    [&](const SiteRecord &site) { return site.id == siteId; });
    if (found == next.end())
        return std::nullopt;
    found->publishingConnectedAt = date;
    return commit(std::move(next), false);
}

std::optional<SiteRecord> SiteDirectory::site(const QString &siteId) const
{
    for (const SiteRecord &site : m_sites) {
        if (site.id == siteId)
            return site;
    }
    return std::nullopt;
}

void SiteDirectory::setSites(QList<SiteRecord> sites)
{
    if (m_sites == sites)
        return;
    m_sites = std::move(sites);
    emit sitesChanged();
}
