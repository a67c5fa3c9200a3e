// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/KeyedListModel.h"
#include "model/UnrecognizedServer.h"

/**
 * @brief The registry entries shown but not managed, each with its reason. A row's id is the
 * entry's name with the folder of a project-scoped entry, since the same name may stand in
 * several folders.
 */
class UnrecognizedListModel final : public KeyedListModel
{
    Q_OBJECT

public:
    enum Role {
        NameRole = Qt::UserRole + 1, ///< display-safe
        EndpointRole,                ///< display-safe summary of where it points
        ReasonRole,                  ///< the reason's raw text
        FolderRole,                  ///< display-safe; empty unless project-scoped
        OwnedElsewhereRole,          ///< information rather than a warning
    };
    Q_ENUM(Role)

    struct Row
    {
        UnrecognizedServer server;
        QString key;

        [[nodiscard]] const QString &id() const { return key; }
        friend bool operator==(const Row &, const Row &) = default;
    };

    using KeyedListModel::KeyedListModel;

    void update(const QList<UnrecognizedServer> &servers);

    [[nodiscard]] const QList<Row> &rows() const { return m_rows; }
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    QList<Row> m_rows;
};
