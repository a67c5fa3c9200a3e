// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/UnrecognizedListModel.h"

#include "foundation/DisplayText.h"

#include <QSet>

namespace {

// Names and folders come from a file anyone can edit; keep them to one short, harmless line.
constexpr qsizetype kShownLength = 120;

} // namespace

void UnrecognizedListModel::update(const QList<UnrecognizedServer> &servers)
{
    QList<Row> next;
    next.reserve(servers.size());
    QSet<QString> seen;
    for (const UnrecognizedServer &server : servers) {
        // The NUL cannot occur in a JSON key or a path, so it cannot join two entries into one id.
        QString key = server.name + QChar(u'\0') + server.folder.value_or(QString());
        // A duplicate would break the ids' promise; the first one found stands for both.
        if (seen.contains(key))
            continue;
        seen.insert(key);
        next.append({server, std::move(key)});
    }
    replaceRows(m_rows, next);
}

QVariant UnrecognizedListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const UnrecognizedServer &server = m_rows.at(index.row()).server;
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return sanitizedForDisplay(server.name, kShownLength);
    case EndpointRole:
        return server.endpointSummary();
    case ReasonRole:
        return rawText(server.reason);
    case FolderRole:
        return server.folder ? sanitizedForDisplay(*server.folder, kShownLength) : QString();
    case OwnedElsewhereRole:
        return UnrecognizedServer::isOwnedElsewhere(server.reason);
    default:
        return {};
    }
}

QHash<int, QByteArray> UnrecognizedListModel::roleNames() const
{
    return {
        {NameRole, "name"},
        {EndpointRole, "endpoint"},
        {ReasonRole, "reason"},
        {FolderRole, "folder"},
        {OwnedElsewhereRole, "ownedElsewhere"},
    };
}
