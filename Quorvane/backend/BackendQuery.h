// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

/**
 * @brief Which rows of a backend table a read or an update touches, in the backend's REST query
 * language: a column list, filters, an order and a limit.
 *
 * Built by chaining: BackendQuery("publish_events").select("id,kind").isNull("seen_at")
 * .order("created_at", BackendQuery::Ascending). queryString() gives the text sent after the "?".
 */
class BackendQuery
{
public:
    enum Direction { Ascending, Descending };

    explicit BackendQuery(QString table) : m_table(std::move(table)) {}

    /// The columns to return, one text as the backend takes it ("*" or "id,kind,message").
    [[nodiscard]] BackendQuery select(const QString &columns) const;
    /// Rows whose column equals the value.
    [[nodiscard]] BackendQuery eq(const QString &column, const QString &value) const;
    /// Rows whose column holds one of the values.
    [[nodiscard]] BackendQuery in(const QString &column, const QStringList &values) const;
    /// Rows whose column is null.
    [[nodiscard]] BackendQuery isNull(const QString &column) const;
    /// Sorted by the column; rows where it is null come last.
    [[nodiscard]] BackendQuery order(const QString &column, Direction direction) const;
    /// At most this many rows.
    [[nodiscard]] BackendQuery limit(int rows) const;
    /// Asks for exactly one row, answered as a JSON object; any other number of rows is an error.
    [[nodiscard]] BackendQuery single() const;

    [[nodiscard]] QString table() const { return m_table; }
    [[nodiscard]] bool isSingle() const { return m_single; }
    /// The percent-encoded query, parameters in the order they were added.
    [[nodiscard]] QString queryString() const;

    friend bool operator==(const BackendQuery &, const BackendQuery &) = default;

private:
    [[nodiscard]] BackendQuery with(const QString &key, const QString &value) const;

    QString m_table;
    QList<std::pair<QString, QString>> m_parameters;
    bool m_single = false;
};
