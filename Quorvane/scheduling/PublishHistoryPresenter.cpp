// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/PublishHistoryPresenter.h"

#include <QStringList>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace PublishHistoryRules {

Content content(bool hasRecords, ScheduleStore::HistoryState state)
{
    if (hasRecords)
        return Content::Cards;
    switch (state) {
    case ScheduleStore::HistoryState::Idle:
    case ScheduleStore::HistoryState::Loading:
        return Content::Loading;
    case ScheduleStore::HistoryState::Loaded:
        return Content::Empty;
    case ScheduleStore::HistoryState::Failed:
        return Content::Failed;
    }
    return Content::Loading;
}

PublishOutcomeBadge badge(PublishRecord::Outcome outcome)
{
    switch (outcome) {
    case PublishRecord::Outcome::Published:
        return {u"Published"_s, PublishOutcomeBadge::Colour::Green};
    case PublishRecord::Outcome::Failed:
        return {u"Failed"_s, PublishOutcomeBadge::Colour::Red};
    case PublishRecord::Outcome::SkippedDrift:
    case PublishRecord::Outcome::SkippedTargetsChanged:
        return {u"Skipped"_s, PublishOutcomeBadge::Colour::Orange};
    }
    return {};
}

std::optional<QString> failureLine(const PublishRecord &record)
{
    if (record.outcome == PublishRecord::Outcome::Published)
        return std::nullopt;
    return record.failure;
}

std::optional<PublishAttention> focusedItem(const QList<PublishAttention> &inbox,
                                            const std::optional<QUuid> &focusedEventID)
{
    if (!focusedEventID)
        return std::nullopt;
    for (const PublishAttention &item : inbox) {
        if (item.id == *focusedEventID)
            return item;
    }
    return std::nullopt;
}

QString focusedTitle(const PublishAttention &item)
{
    return item.kind == u"published"_s ? u"Published"_s : u"Publish outcome"_s;
}

} // namespace PublishHistoryRules

PublishHistoryPresenter::PublishHistoryPresenter(ScheduleStore &store, QLocale locale, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_locale(std::move(locale))
{
    for (auto signal : {&ScheduleStore::historyChanged, &ScheduleStore::historyLoadStateChanged,
                        &ScheduleStore::outcomeInboxChanged})
        connect(&m_store, signal, this, &PublishHistoryPresenter::changed);
}

PublishHistoryPresenter::Content PublishHistoryPresenter::content() const
{
    return Content(PublishHistoryRules::content(!m_store.history().isEmpty(), m_store.historyState()));
}

QString PublishHistoryPresenter::contentName() const
{
    static const QStringList names{u"cards"_s, u"loading"_s, u"empty"_s, u"failed"_s};
    return names.at(int(content()));
}

QString PublishHistoryPresenter::failureMessage() const
{
    return m_store.historyMessage();
}

QVariantList PublishHistoryPresenter::records() const
{
    static const QStringList colours{u"green"_s, u"red"_s, u"orange"_s};
    QVariantList records;
    for (const PublishRecord &record : m_store.history()) {
        QStringList urls;
        for (const PublishDomain &domain : record.domains)
            urls.append(domain.url);
        const PublishOutcomeBadge badge = PublishHistoryRules::badge(record.outcome);
        records.append(QVariantMap{{u"id"_s, record.id.toString(QUuid::WithoutBraces)},
                                   {u"siteName"_s, record.siteName},
                                   {u"timeText"_s, ScheduleStore::recordTimeText(record)},
                                   {u"domains"_s, urls},
                                   {u"badgeText"_s, badge.text},
                                   {u"badgeColour"_s, colours.at(int(badge.colour))},
                                   {u"failure"_s, PublishHistoryRules::failureLine(record).value_or(QString())}});
    }
    return records;
}

std::optional<PublishAttention> PublishHistoryPresenter::focused() const
{
    return PublishHistoryRules::focusedItem(m_store.outcomeInbox(), m_focusedEventID);
}

bool PublishHistoryPresenter::hasFocusedItem() const
{
    return focused().has_value();
}

QString PublishHistoryPresenter::focusedTitle() const
{
    const auto item = focused();
    return item ? PublishHistoryRules::focusedTitle(*item) : QString();
}

QString PublishHistoryPresenter::focusedMessage() const
{
    const auto item = focused();
    return item ? item->message : QString();
}

QString PublishHistoryPresenter::focusedDate() const
{
    const auto item = focused();
    if (!item)
        return {};
    const QDateTime local = item->createdAt.toLocalTime();
    return m_locale.toString(local.date(), QLocale::ShortFormat) + u", "_s
        + m_locale.toString(local.time(), QLocale::ShortFormat);
}

QString PublishHistoryPresenter::focusedEventIDText() const
{
    return m_focusedEventID ? m_focusedEventID->toString(QUuid::WithoutBraces) : QString();
}

void PublishHistoryPresenter::setFocusedEventIDText(const QString &id)
{
    const QUuid parsed = QUuid::fromString(id);
    setFocusedEventID(parsed.isNull() ? std::nullopt : std::optional(parsed));
}

void PublishHistoryPresenter::setFocusedEventID(const std::optional<QUuid> &id)
{
    if (m_focusedEventID == id)
        return;
    m_focusedEventID = id;
    emit changed();
}

void PublishHistoryPresenter::load()
{
    m_store.loadHistory();
}
