// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/SchedulePublishScreen.h"

#include "scheduling/ScheduleStore.h"

#include <QPointer>
#include <QStringList>
#include <QVariantMap>

using namespace Qt::StringLiterals;

SchedulePublishScreen::SchedulePublishScreen(ScheduleStore &store, SchedulingContext &context,
                                             ContinuousClock::Delay delay, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_context(context)
    , m_delay(std::move(delay))
    , m_form(context)
{
    const auto refresh = [this] {
        updateRows();
        emit screenChanged();
    };
    for (auto signal : {&ScheduleStore::schedulesChanged, &ScheduleStore::attentionChanged,
                        &ScheduleStore::cloudStateChanged, &ScheduleStore::syncErrorChanged,
                        &ScheduleStore::persistenceIssueChanged})
        connect(&m_store, signal, this, refresh);
    connect(&m_context, &SchedulingContext::changed, this, refresh);
    connect(&m_form, &ScheduleFormController::formChanged, this, refresh);
    connect(&m_form, &ScheduleFormController::showingFormChanged, this, refresh);
    updateRows();
}

void SchedulePublishScreen::setSoonestFirst(bool soonestFirst)
{
    if (m_soonestFirst == soonestFirst)
        return;
    m_soonestFirst = soonestFirst;
    updateRows();
    emit screenChanged();
}

void SchedulePublishScreen::updateRows()
{
    const std::optional<SiteRecord> &site = m_form.selectedSite();
    const QList<ScheduledPublish> visible = ScheduleQueueRules::visibleSchedules(
        m_store.schedules(), m_soonestFirst, m_form.editingScheduleID(),
        site ? std::optional(site->id) : std::nullopt, m_form.authoritativeSupersedingID());
    // While the access store is loading or checking, no card warns.
    const bool settled = m_context.publishingAccessSettled();
    QList<ScheduleQueueModel::Row> rows;
    for (const ScheduledPublish &schedule : visible) {
        rows.append({schedule, !m_removingIDs.contains(schedule.id),
                     settled && !m_context.hasPublishingAccess(schedule.siteId)});
    }
    m_queue.setRows(rows);
}

// --- Banners --------------------------------------------------------------------------------------

bool SchedulePublishScreen::showsAttention() const
{
    return !m_store.attention().isEmpty();
}

QString SchedulePublishScreen::attentionHeading() const
{
    return showsAttention() ? ScheduleQueueRules::attentionHeading(m_store.attention().size()) : QString();
}

QString SchedulePublishScreen::attentionDetail() const
{
    return showsAttention() ? m_store.attention().first().message : QString();
}

bool SchedulePublishScreen::cloudBannerPresented() const
{
    return ScheduleQueueRules::cloudBannerPresented(m_store.cloudState(), m_context.cloudBannerDismissed());
}

ScheduleBanner SchedulePublishScreen::cloudBanner() const
{
    return ScheduleQueueRules::cloudBannerCard(
        ScheduleQueueRules::cloudBanner(m_store.cloudState(), m_context.cloudSession()), m_context.hasAccountProfile());
}

QVariantMap SchedulePublishScreen::cloudBannerMap() const
{
    const ScheduleBanner banner = cloudBanner();
    if (banner.heading.isEmpty())
        return {};
    return {{u"symbol"_s, banner.symbol},
            {u"heading"_s, banner.heading},
            {u"detail"_s, banner.detail},
            {u"brand"_s, banner.tone == ScheduleBanner::Tone::Brand},
            {u"linkLabel"_s, banner.linkLabel},
            {u"linkHelp"_s, banner.linkHelp}};
}

QString SchedulePublishScreen::syncError() const
{
    return m_store.syncErrorText();
}

QString SchedulePublishScreen::persistenceIssue() const
{
    return m_store.persistenceIssueText();
}

bool SchedulePublishScreen::holdNoticePresented() const
{
    return m_form.showingForm() && m_form.rescheduling();
}

void SchedulePublishScreen::showAttentionDetails()
{
    QStringList messages;
    for (const PublishAttention &item : m_store.attention())
        messages.append(item.message);
    ConfirmRequest notice;
    notice.title = u"What happened"_s;
    notice.message = messages.join(u"\n\n"_s);
    notice.confirmLabel = u"Got It"_s;
    notice.isNotice = true;
    notice.icon = u"warning-triangle"_s;
    QPointer<ScheduleStore> store(&m_store);
    notice.action = [store] {
        if (store)
            store->acknowledgeAttention();
    };
    m_context.present(std::move(notice));
}

void SchedulePublishScreen::followCloudBannerLink()
{
    switch (ScheduleQueueRules::cloudBanner(m_store.cloudState(), m_context.cloudSession())) {
    case ScheduleQueueRules::CloudBanner::Cloud:
        m_context.dismissCloudBanner();
        emit screenChanged();
        return;
    case ScheduleQueueRules::CloudBanner::SignedOut: {
        QPointer<ScheduleStore> store(&m_store);
        m_context.requestSignIn(signInReason, [store] {
            if (store)
                store->refreshQueue();
        });
        return;
    }
    case ScheduleQueueRules::CloudBanner::None:
    case ScheduleQueueRules::CloudBanner::Unreachable:
        return;
    }
}

// --- Card actions -----------------------------------------------------------------------------------

std::optional<ScheduledPublish> SchedulePublishScreen::queued(const QString &scheduleID) const
{
    const QUuid id = QUuid::fromString(scheduleID);
    for (const ScheduledPublish &schedule : m_store.schedules()) {
        if (schedule.id == id)
            return schedule;
    }
    return std::nullopt;
}

void SchedulePublishScreen::confirmCancel(const QString &scheduleID)
{
    const std::optional<ScheduledPublish> schedule = queued(scheduleID);
    if (!schedule)
        return;
    ConfirmRequest request;
    request.title = u"Cancel this publish?"_s;
    request.message = schedule->siteName + u" will no longer publish on "_s
        + publishTimeText(schedule->publishAt, schedule->timeZoneID) + u". The site itself is untouched."_s;
    request.confirmLabel = u"Cancel Publish"_s;
    request.cancelLabel = u"Keep It"_s;
    request.isDestructive = true;
    request.icon = u"calendar-schedule"_s;
    QPointer<SchedulePublishScreen> self(this);
    const QUuid id = schedule->id;
    request.action = [self, id] {
        if (!self)
            return;
        // The card starts to fade at once; the store is asked once it has gone.
        self->m_removingIDs.insert(id);
        self->updateRows();
        self->runCancel(id);
    };
    m_context.present(std::move(request));
}

QCoro::Task<> SchedulePublishScreen::runCancel(QUuid scheduleID)
{
    QPointer<SchedulePublishScreen> self(this);
    co_await m_delay(cancelDelay);
    if (!self)
        co_return;
    m_store.cancelSchedule(scheduleID);
    // From here the card shows exactly while the store still lists the publish.
    m_removingIDs.remove(scheduleID);
    updateRows();
}

void SchedulePublishScreen::confirmPublishNow(const QString &scheduleID)
{
    const std::optional<ScheduledPublish> schedule = queued(scheduleID);
    if (!schedule)
        return;
    QStringList urls;
    for (const PublishDomain &domain : schedule->domains)
        urls.append(domain.url);
    ConfirmRequest request;
    request.title = u"Publish "_s + schedule->siteName + u" now?"_s;
    request.message = u"Fires within the next minute instead of "_s
        + publishTimeText(schedule->publishAt, schedule->timeZoneID) + u".\n\nDomains: "_s + urls.join(u", "_s);
    request.confirmLabel = u"Publish Now"_s;
    request.isDestructive = true;
    request.icon = u"warning-triangle"_s;
    QPointer<SchedulePublishScreen> self(this);
    const ScheduledPublish original = *schedule;
    request.action = [self, original] {
        if (!self)
            return;
        ScheduledPublish replacement = original;
        replacement.id = QUuid::createUuid();
        replacement.publishAt = self->m_context.timeContext().now;
        self->runPublishNow(std::move(replacement));
    };
    m_context.present(std::move(request));
}

QCoro::Task<> SchedulePublishScreen::runPublishNow(ScheduledPublish replacement)
{
    QPointer<SchedulePublishScreen> self(this);
    const ScheduleOperationStatus started = m_context.replaceSchedule(replacement);
    const QUuid operationID = started.id;
    const std::optional<ScheduleOperationStatus> settled = co_await m_context.awaitOperation(operationID);
    if (!self)
        co_return;
    const std::optional<ScheduleSubmissionError> error =
        ScheduleTimeRules::submissionError(settled.value_or(started), m_context.timeContext());
    if (!error)
        co_return;
    ConfirmRequest notice;
    notice.title = error->heading;
    notice.message = error->message;
    notice.confirmLabel = u"OK"_s;
    notice.isNotice = true;
    notice.icon = u"warning-triangle"_s;
    notice.action = [] {};
    m_context.present(std::move(notice));
}

void SchedulePublishScreen::beginReschedule(const QString &scheduleID)
{
    if (const std::optional<ScheduledPublish> schedule = queued(scheduleID))
        m_form.beginReschedule(*schedule);
}

void SchedulePublishScreen::confirmConnectPublishing(const QString &scheduleID)
{
    const std::optional<ScheduledPublish> schedule = queued(scheduleID);
    if (!schedule)
        return;
    if (m_context.hasOAuthRecoveryAttempts()) {
        m_context.offerWebflowConnectionReset();
        return;
    }
    std::optional<QString> mcpName;
    for (const ProjectSite &entry : m_context.projects()) {
        if (entry.siteID() == schedule->siteId) {
            mcpName = entry.project.mcpName;
            break;
        }
    }
    ConfirmRequest request;
    request.title = u"Publishing access is missing for "_s + schedule->siteName;
    request.message = u"This publish is scheduled for "_s + ScheduleStore::scheduleTimeText(*schedule)
        + u", but the site's publishing access isn't connected, so it will fail. Connect publishing now?"_s;
    request.confirmLabel = u"Connect"_s;
    request.icon = u"globe-app-network"_s;
    QPointer<SchedulePublishScreen> self(this);
    const QString siteID = schedule->siteId;
    const QString siteName = schedule->siteName;
    request.action = [self, siteID, siteName, mcpName] {
        if (!self || self->m_context.refuseWhileRevocationPending(siteID, siteName, mcpName))
            return;
        self->m_context.connectPublishing({siteID, siteName, siteName, mcpName, [] {}});
    };
    m_context.present(std::move(request));
}

bool SchedulePublishScreen::applyPreselection(const QString &siteID)
{
    if (siteID.isEmpty())
        return false;
    const std::optional<SiteRecord> site = m_context.site(siteID);
    if (site && !m_context.scheduleForSite(site->id))
        m_form.startScheduling(*site);
    return true;
}
