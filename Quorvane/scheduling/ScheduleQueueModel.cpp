// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleQueueModel.h"

#include "scheduling/ScheduleQueueRules.h"
#include "scheduling/ScheduleStore.h"

#include <QStringList>

using namespace Qt::StringLiterals;

int ScheduleQueueModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ScheduleQueueModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    const ScheduledPublish &schedule = row.schedule;
    const ScheduleCardState card = ScheduleQueueRules::cardState(schedule, row.needsPublishing);
    switch (role) {
    case IdRole:
        return schedule.id.toString(QUuid::WithoutBraces);
    case SiteNameRole:
        return schedule.siteName;
    case TimeTextRole:
        return publishTimeText(schedule.publishAt, schedule.timeZoneID);
    case ZoneLabelRole:
        return ScheduleStore::timeZoneLabel(schedule);
    case DomainsRole: {
        QStringList urls;
        for (const PublishDomain &domain : schedule.domains)
            urls.append(domain.url);
        return urls;
    }
    case SkipIfChangedRole:
        return schedule.skipIfChanged;
    case PresentedRole:
        return row.presented;
    case RunningRole:
        return card.running;
    case ControlsEnabledRole:
        return card.controlsEnabled;
    case TrashHelpRole:
        return card.trashHelp;
    case MenuHelpRole:
        return card.menuHelp;
    case NeedsPublishingRole:
        return card.showsMissingAccess;
    }
    return {};
}

QHash<int, QByteArray> ScheduleQueueModel::roleNames() const
{
    return {{IdRole, "scheduleID"},           {SiteNameRole, "siteName"},
            {TimeTextRole, "timeText"},       {ZoneLabelRole, "zoneLabel"},
            {DomainsRole, "domains"},         {SkipIfChangedRole, "skipIfChanged"},
            {PresentedRole, "presented"},     {RunningRole, "running"},
            {ControlsEnabledRole, "controlsEnabled"}, {TrashHelpRole, "trashHelp"},
            {MenuHelpRole, "menuHelp"},       {NeedsPublishingRole, "needsPublishing"}};
}

void ScheduleQueueModel::setRows(const QList<Row> &rows)
{
    const int before = count();
    auto idsOf = [](const QList<Row> &list) {
        QList<QUuid> ids;
        for (const Row &row : list)
            ids.append(row.schedule.id);
        return ids;
    };
    const QList<QUuid> newIDs = idsOf(rows);

    // Rows that go, from the end so the indices ahead stay right.
    for (qsizetype i = m_rows.size() - 1; i >= 0; --i) {
        if (!newIDs.contains(m_rows[i].schedule.id)) {
            beginRemoveRows({}, int(i), int(i));
            m_rows.removeAt(i);
            endRemoveRows();
        }
    }
    // What stays must keep its order; a reordering is rare (the order switch) and resets.
    QList<QUuid> kept = idsOf(m_rows);
    QList<QUuid> keptInNewOrder;
    for (const QUuid &id : newIDs) {
        if (kept.contains(id))
            keptInNewOrder.append(id);
    }
    if (kept != keptInNewOrder) {
        beginResetModel();
        m_rows = rows;
        endResetModel();
    } else {
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (i < m_rows.size() && m_rows[i].schedule.id == rows[i].schedule.id) {
                if (!(m_rows[i] == rows[i])) {
                    m_rows[i] = rows[i];
                    emit dataChanged(index(int(i)), index(int(i)));
                }
                continue;
            }
            beginInsertRows({}, int(i), int(i));
            m_rows.insert(i, rows[i]);
            endInsertRows();
        }
    }
    if (count() != before)
        emit countChanged();
}
