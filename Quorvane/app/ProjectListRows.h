// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/KeyedListModel.h"
#include "app/ProjectListRules.h"
#include "model/UnrecognizedServer.h"

#include <QSet>

/**
 * @brief The unmanaged registry entries of the list, in its order, with whether an operation works
 * on each. Names and folders are display-safe; the row's key finds the entry as the registry holds it.
 */
class UnrecognizedCardRows final : public KeyedListModel
{
    Q_OBJECT

public:
    enum Role {
        KeyRole = Qt::UserRole + 1, ///< the entry's name and folder, for asking to remove it
        NameRole,                   ///< display-safe
        UrlRole,                    ///< empty for none
        TransportRole,              ///< empty for none
        ReasonRole,                 ///< the reason's raw text
        FolderRole,                 ///< display-safe; empty for none
        BusyRole,                   ///< an operation works on the entry's name
    };
    Q_ENUM(Role)

    struct Row
    {
        UnrecognizedServer server;
        QString key;
        bool busy = false;
        [[nodiscard]] const QString &id() const { return key; }
        friend bool operator==(const Row &, const Row &) = default;
    };

    using KeyedListModel::KeyedListModel;

    /// The key of an entry: its name and its folder, which together are unique in a registry.
    [[nodiscard]] static QString keyOf(const UnrecognizedServer &server);

    void update(const QList<UnrecognizedServer> &servers, const QSet<QString> &busy);
    /// The entry behind a key, as the list last had it.
    [[nodiscard]] std::optional<UnrecognizedServer> entry(const QString &key) const;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    QList<Row> m_rows;
};

/**
 * @brief The sites with publishing access but no project, one row per site id.
 */
class OrphanSiteRows final : public KeyedListModel
{
    Q_OBJECT

public:
    enum Role {
        SiteIdRole = Qt::UserRole + 1,
        NameRole,       ///< display-safe
        PendingRole,    ///< only the cleanup of a revocation remains
        AssignableRole, ///< the Assign menu is enabled
    };
    Q_ENUM(Role)

    using KeyedListModel::KeyedListModel;

    void update(const QList<ProjectListRules::OrphanRow> &rows);
    [[nodiscard]] const QList<ProjectListRules::OrphanRow> &rows() const { return m_rows; }
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    QList<ProjectListRules::OrphanRow> m_rows;
};
