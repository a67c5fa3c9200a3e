// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/KeyedListModel.h"
#include "model/Connection.h"
#include "model/Project.h"

#include <QSet>

#include <optional>

/**
 * @brief The managed connections as the Connections tab lists them, each with the project whose
 * server it is. A row's id is its server name.
 */
class ConnectionListModel final : public KeyedListModel
{
    Q_OBJECT

public:
    enum Role {
        NameRole = Qt::UserRole + 1,
        UrlRole,
        StatusRole,   ///< the status's raw text
        BusyRole,     ///< an operation is working on the connection
        HasProjectRole,
        ProjectIdRole, ///< upper-case, without braces; empty without a project
        ProjectTitleRole,
        SiteIdRole,   ///< the project's bound site; empty when unbound
    };
    Q_ENUM(Role)

    /// One listed connection.
    struct Row
    {
        Connection connection;
        std::optional<Project> project;
        bool busy = false;

        [[nodiscard]] const QString &id() const { return connection.name; }
        friend bool operator==(const Row &, const Row &) = default;
    };

    using KeyedListModel::KeyedListModel;

    /// The connections in their order, each matched to the project whose server name it carries.
    void update(const QList<Connection> &connections, const QList<Project> &projects, const QSet<QString> &busy);

    [[nodiscard]] const QList<Row> &rows() const { return m_rows; }
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    QList<Row> m_rows;
};
