// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/KeyedListModel.h"
#include "model/Project.h"

/**
 * @brief Projects as a panel list shows them, in the order it is handed (the panel's search
 * order); a row's id is the project's id, so a row keeps its delegate across a search or a rename.
 */
class FilteredProjectsModel final : public KeyedListModel
{
    Q_OBJECT

public:
    enum Role {
        ProjectIdRole = Qt::UserRole + 1, ///< upper-case, without braces
        TitleRole,
        McpNameRole,
        SiteIdRole, ///< the project's bound site; empty when unbound
    };
    Q_ENUM(Role)

    /// One listed project.
    struct Row
    {
        Project project;
        QString key;

        [[nodiscard]] const QString &id() const { return key; }
        friend bool operator==(const Row &, const Row &) = default;
    };

    using KeyedListModel::KeyedListModel;

    /// Makes @p projects the rows, in that order.
    void update(const QList<Project> &projects);

    [[nodiscard]] const QList<Row> &rows() const { return m_rows; }
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    QList<Row> m_rows;
};
