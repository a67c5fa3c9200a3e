// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ProjectListRows.h"

#include "foundation/DisplayText.h"


QString UnrecognizedCardRows::keyOf(const UnrecognizedServer &server)
{
    // The NUL cannot occur in a JSON key or a path, so it cannot join two entries into one key.
    return server.name + QChar(u'\0') + server.folder.value_or(QString());
}

void UnrecognizedCardRows::update(const QList<UnrecognizedServer> &servers, const QSet<QString> &busy)
{
    QList<Row> next;
    next.reserve(servers.size());
    QSet<QString> seen;
    for (const UnrecognizedServer &server : servers) {
        QString key = keyOf(server);
        if (seen.contains(key))
            continue;
        seen.insert(key);
        next.append({server, std::move(key), busy.contains(server.name)});
    }
    replaceRows(m_rows, next);
}

std::optional<UnrecognizedServer> UnrecognizedCardRows::entry(const QString &key) const
{
    for (const Row &row : m_rows) {
        if (row.key == key)
            return row.server;
    }
    return std::nullopt;
}

QVariant UnrecognizedCardRows::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case KeyRole:
        return row.key;
    case NameRole:
        return ProjectListRules::shownName(row.server.name);
    case UrlRole:
        return row.server.url.value_or(QString());
    case TransportRole:
        return row.server.transport.value_or(QString());
    case ReasonRole:
        return rawText(row.server.reason);
    case FolderRole:
        return row.server.folder ? sanitizedForDisplay(*row.server.folder, ProjectListRules::shownFolderLength)
                                 : QString();
    case BusyRole:
        return row.busy;
    default:
        return {};
    }
}

QHash<int, QByteArray> UnrecognizedCardRows::roleNames() const
{
    return {{KeyRole, "key"},       {NameRole, "name"},     {UrlRole, "url"}, {TransportRole, "transport"},
            {ReasonRole, "reason"}, {FolderRole, "folder"}, {BusyRole, "busy"}};
}

void OrphanSiteRows::update(const QList<ProjectListRules::OrphanRow> &rows)
{
    replaceRows(m_rows, rows);
}

QVariant OrphanSiteRows::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ProjectListRules::OrphanRow &row = m_rows.at(index.row());
    switch (role) {
    case SiteIdRole:
        return row.siteId;
    case NameRole:
        return row.name;
    case PendingRole:
        return row.pending;
    case AssignableRole:
        return row.assignable;
    default:
        return {};
    }
}

QHash<int, QByteArray> OrphanSiteRows::roleNames() const
{
    return {{SiteIdRole, "siteId"}, {NameRole, "name"}, {PendingRole, "pending"}, {AssignableRole, "assignable"}};
}
