// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "backend/BackendQuery.h"

#include <QUrl>

#include <algorithm>

namespace {

// A value inside an "in" list is quoted when it holds a character that the list syntax reserves,
// so that a comma or parenthesis in the value cannot split it or end the list.
QString listItem(const QString &value)
{
    static const QString reserved = QStringLiteral(",.:()\" \\");
    const bool needsQuotes = value.isEmpty()
        || std::any_of(value.begin(), value.end(), [](QChar c) { return reserved.contains(c); });
    if (!needsQuotes)
        return value;
    QString escaped = value;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + escaped + u'"';
}

// Everything outside the unreserved characters and the operators' own punctuation is escaped;
// "+" above all, which the server would otherwise read as a space.
QString encoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, ",()*:"));
}

} // namespace

BackendQuery BackendQuery::select(const QString &columns) const
{
    return with(QStringLiteral("select"), columns);
}

BackendQuery BackendQuery::eq(const QString &column, const QString &value) const
{
    return with(column, QStringLiteral("eq.") + value);
}

BackendQuery BackendQuery::in(const QString &column, const QStringList &values) const
{
    QStringList items;
    for (const QString &value : values)
        items.append(listItem(value));
    return with(column, QStringLiteral("in.(") + items.join(u',') + u')');
}

BackendQuery BackendQuery::isNull(const QString &column) const
{
    return with(column, QStringLiteral("is.null"));
}

BackendQuery BackendQuery::order(const QString &column, Direction direction) const
{
    return with(QStringLiteral("order"),
                column + (direction == Ascending ? QStringLiteral(".asc") : QStringLiteral(".desc"))
                    + QStringLiteral(".nullslast"));
}

BackendQuery BackendQuery::limit(int rows) const
{
    return with(QStringLiteral("limit"), QString::number(rows));
}

BackendQuery BackendQuery::single() const
{
    BackendQuery copy = *this;
    copy.m_single = true;
    return copy;
}

QString BackendQuery::queryString() const
{
    QStringList pairs;
    for (const auto &[key, value] : m_parameters)
        pairs.append(encoded(key) + u'=' + encoded(value));
    return pairs.join(u'&');
}

BackendQuery BackendQuery::with(const QString &key, const QString &value) const
{
    BackendQuery copy = *this;
    copy.m_parameters.append({key, value});
    return copy;
}
