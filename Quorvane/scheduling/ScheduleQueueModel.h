// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/ScheduledPublish.h"

#include <QAbstractListModel>

/**
 * @brief The queue of the scheduling screen, one row per shown publish, identified by the
 * publish's id so that a card keeps its delegate (and its fade) while its row stays.
 *
 * A row being cancelled stays with `presented` false while it fades and collapses; it goes when
 * the store drops the publish, or shows again when the store keeps it.
 */
class ScheduleQueueModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        SiteNameRole,
        TimeTextRole,      ///< when, in the schedule's own zone
        ZoneLabelRole,     ///< the stored zone with its abbreviation at the publish time
        DomainsRole,       ///< the targets' addresses in stored order
        SkipIfChangedRole,
        PresentedRole,     ///< false while a cancel fades the row out
        RunningRole,
        ControlsEnabledRole,
        TrashHelpRole,
        MenuHelpRole,
        NeedsPublishingRole,
    };

    /// One row as the screen derives it.
    struct Row
    {
        ScheduledPublish schedule;
        bool presented = true;
        bool needsPublishing = false;

        friend bool operator==(const Row &, const Row &) = default;
    };

    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;
    [[nodiscard]] int count() const { return int(m_rows.size()); }
    [[nodiscard]] const QList<Row> &rows() const { return m_rows; }

    /// Moves to @p rows with the fewest changes: rows that stay keep their place and only change
    /// their data; a change of order resets the model.
    void setRows(const QList<Row> &rows);

signals:
    void countChanged();

private:
    QList<Row> m_rows;
};
