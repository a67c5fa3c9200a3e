// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ConnectionListModel.h"

#include <QHash>

void ConnectionListModel::update(const QList<Connection> &connections, const QList<Project> &projects,
                                 const QSet<QString> &busy)
{
    QHash<QString, Project> byServer;
    for (const Project &project : projects)
        byServer.insert(project.mcpName, project);
    QList<Row> next;
    next.reserve(connections.size());
    for (const Connection &connection : connections) {
        const auto found = byServer.constFind(connection.name);
        next.append({connection, found == byServer.cend() ? std::nullopt : std::optional<Project>(*found),
                     busy.contains(connection.name)});
    }
    replaceRows(m_rows, next);
}

QVariant ConnectionListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return row.connection.name;
    case UrlRole:
        return row.connection.url.value_or(QString());
    case StatusRole:
        return rawText(row.connection.status);
    case BusyRole:
        return row.busy;
    case HasProjectRole:
        return row.project.has_value();
    case ProjectIdRole:
        return row.project ? row.project->id.toString(QUuid::WithoutBraces).toUpper() : QString();
    case ProjectTitleRole:
        return row.project ? row.project->title : QString();
    case SiteIdRole:
        return row.project ? row.project->siteId.value_or(QString()) : QString();
    default:
        return {};
    }
}

QHash<int, QByteArray> ConnectionListModel::roleNames() const
{
    return {
        {NameRole, "name"},
        {UrlRole, "url"},
        {StatusRole, "status"},
        {BusyRole, "busy"},
        {HasProjectRole, "hasProject"},
        {ProjectIdRole, "projectId"},
        {ProjectTitleRole, "projectTitle"},
        {SiteIdRole, "siteId"},
    };
}
