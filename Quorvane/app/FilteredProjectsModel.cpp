// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/FilteredProjectsModel.h"

void FilteredProjectsModel::update(const QList<Project> &projects)
{
    QList<Row> next;
    next.reserve(projects.size());
    for (const Project &project : projects)
        next.append({project, project.id.toString(QUuid::WithoutBraces).toUpper()});
    replaceRows(m_rows, next);
}

QVariant FilteredProjectsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case ProjectIdRole:
        return row.key;
    case Qt::DisplayRole:
    case TitleRole:
        return row.project.title;
    case McpNameRole:
        return row.project.mcpName;
    case SiteIdRole:
        return row.project.siteId.value_or(QString());
    default:
        return {};
    }
}

QHash<int, QByteArray> FilteredProjectsModel::roleNames() const
{
    return {
        {ProjectIdRole, "projectId"},
        {TitleRole, "title"},
        {McpNameRole, "mcpName"},
        {SiteIdRole, "siteId"},
    };
}
