// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>

#include <utility>

/**
 * @brief A list model whose rows have a stable text id, updated by handing it the whole new list.
 *
 * A replacement is told to views as what really happened (rows removed, moved, inserted and
 * changed), never as a reset, so a view keeps its delegates, their state and its scroll position
 * across a refresh. Rows are any record with `id()` and equality; ids must be unique in a list.
 */
class KeyedListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int count() const { return rowCount(); }

signals:
    void countChanged();

protected:
    /// Makes `next` the rows in `rows`, announcing each removal, move, insertion and change.
    template <typename Row>
    void replaceRows(QList<Row> &rows, const QList<Row> &next);

    /// The current number of rows; kept by replaceRows.
    int m_count = 0;
};

template <typename Row>
void KeyedListModel::replaceRows(QList<Row> &rows, const QList<Row> &next)
{
    const int before = int(rows.size());
    const auto indexIn = [](const QList<Row> &list, const QString &id, qsizetype from = 0) -> qsizetype {
        for (qsizetype i = from; i < list.size(); ++i) {
            if (list.at(i).id() == id)
                return i;
        }
        return -1;
    };

    // Gone rows first, back to front so the indexes still to visit stay right.
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        if (indexIn(next, rows.at(i).id()) >= 0)
            continue;
        beginRemoveRows({}, int(i), int(i));
        rows.removeAt(i);
        m_count = int(rows.size());
        endRemoveRows();
    }
    // Then walk the new order: a row found further down moves up, an unknown one is inserted.
    for (qsizetype i = 0; i < next.size(); ++i) {
        const qsizetype found = indexIn(rows, next.at(i).id(), i);
        if (found < 0) {
            beginInsertRows({}, int(i), int(i));
            rows.insert(i, next.at(i));
            m_count = int(rows.size());
            endInsertRows();
            continue;
        }
        if (found != i) {
            beginMoveRows({}, int(found), int(found), {}, int(i));
            rows.move(found, i);
            endMoveRows();
        }
        if (!(rows.at(i) == next.at(i))) {
            rows[i] = next.at(i);
            Q_EMIT dataChanged(index(int(i)), index(int(i)));
        }
    }
    if (before != rows.size())
        Q_EMIT countChanged();
}
