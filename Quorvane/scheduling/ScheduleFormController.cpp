// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleFormController.h"

#include <QVariantMap>

using namespace Qt::StringLiterals;

ScheduleFormController::ScheduleFormController(SchedulingContext &context, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_publishAt(ScheduleTimeRules::defaultPublishTime(context.timeContext().now))
{
    // The access store's domains may change under a chosen site; ticks it no longer has go.
    connect(&m_context, &SchedulingContext::changed, this, [this] {
        pruneTicks();
        emit formChanged();
    });
}

// --- State ----------------------------------------------------------------------------------------

void ScheduleFormController::setShowingForm(bool showing)
{
    if (m_showingForm == showing)
        return;
    m_showingForm = showing;
    if (!showing)
        resetForm();
    emit showingFormChanged();
    emit formChanged();
}

void ScheduleFormController::setSelectedSite(const std::optional<SiteRecord> &site)
{
    if (m_selectedSite == site)
        return;
    m_selectedSite = site;
    // The form reacts only to changes it sees while it shows: a site set while it is closed
    // (a preselection, a finished connect) opens with no domain ticked.
    if (m_showingForm)
        siteSelectionChanged();
    emit formChanged();
}

void ScheduleFormController::setPublishAt(const QDateTime &publishAt)
{
    if (m_publishAt == publishAt)
        return;
    m_publishAt = publishAt;
    emit formChanged();
}

void ScheduleFormController::setDomainTicked(const QString &domainID, bool ticked)
{
    const bool changed = ticked ? !m_selectedDomainIDs.contains(domainID) : m_selectedDomainIDs.remove(domainID);
    if (!changed)
        return;
    if (ticked)
        m_selectedDomainIDs.insert(domainID);
    emit formChanged();
}

void ScheduleFormController::setSkipIfChanged(bool on)
{
    if (m_skipIfChanged == on)
        return;
    m_skipIfChanged = on;
    emit formChanged();
}

void ScheduleFormController::setSubmissionInProgress(bool inProgress)
{
    if (m_submissionInProgress == inProgress)
        return;
    m_submissionInProgress = inProgress;
    emit submissionInProgressChanged();
    emit formChanged();
}

void ScheduleFormController::clearActiveSubmission()
{
    m_activeSubmissionID.reset();
    m_activeOperationID.reset();
    m_supersedingID.reset();
    m_submissionError.reset();
    setSubmissionInProgress(false);
}

bool ScheduleFormController::owns(const QUuid &submissionID) const
{
    return m_activeSubmissionID == submissionID;
}

void ScheduleFormController::resetForm()
{
    clearActiveSubmission();
    m_selectedSite.reset();
    m_selectedDomainIDs.clear();
    m_skipIfChanged = false;
    m_publishAt = ScheduleTimeRules::defaultPublishTime(now().now);
    m_editingScheduleID.reset();
}

void ScheduleFormController::siteSelectionChanged()
{
    if (m_editingScheduleID)
        return;
    clearActiveSubmission();
    m_selectedDomainIDs.clear();
    const QList<PublishDomain> siteDomains = domains();
    if (!siteDomains.isEmpty())
        m_selectedDomainIDs.insert(siteDomains.first().id);
    if (!paranoidModeAvailable())
        m_skipIfChanged = false;
}

void ScheduleFormController::pruneTicks()
{
    if (!m_selectedSite)
        return;
    QSet<QString> current;
    for (const PublishDomain &domain : domains())
        current.insert(domain.id);
    m_selectedDomainIDs.intersect(current);
}

// --- Derived --------------------------------------------------------------------------------------

QString ScheduleFormController::siteLabel() const
{
    return m_selectedSite ? m_selectedSite->displayName() : u"Choose a site"_s;
}

QString ScheduleFormController::title() const
{
    return ScheduleFormRules::scheduleTitle(m_selectedSite, targets(), m_publishAt, now());
}

QString ScheduleFormController::timeZoneLabel() const
{
    return ScheduleTimeRules::currentTimeZoneLabel(now());
}

QList<PublishDomain> ScheduleFormController::domains() const
{
    if (!m_selectedSite)
        return {};
    return ScheduleFormRules::domainsForSite(*m_selectedSite, m_context.publishDomains(m_selectedSite->id));
}

QList<PublishDomain> ScheduleFormController::targets() const
{
    return ScheduleFormRules::tickedTargets(domains(), m_selectedDomainIDs);
}

QVariantList ScheduleFormController::targetItems() const
{
    QVariantList items;
    for (const PublishDomain &domain : domains()) {
        items.append(QVariantMap{{u"id"_s, domain.id},
                                 {u"url"_s, domain.url},
                                 {u"isStaging"_s, domain.isStaging},
                                 {u"ticked"_s, m_selectedDomainIDs.contains(domain.id)}});
    }
    return items;
}

QString ScheduleFormController::targetsNote() const
{
    if (m_selectedSite && domains().isEmpty())
        return ScheduleFormRules::noTargetsNote;
    return {};
}

bool ScheduleFormController::paranoidModeAvailable() const
{
    return m_selectedSite && m_context.hasPublishingAccess(m_selectedSite->id);
}

bool ScheduleFormController::noProjects() const
{
    return m_context.projects().isEmpty();
}

bool ScheduleFormController::sitePillEnabled() const
{
    return !noProjects() && !m_editingScheduleID && !m_submissionInProgress;
}

bool ScheduleFormController::submitEnabled() const
{
    return m_selectedSite && !targets().isEmpty() && !m_submissionInProgress;
}

QString ScheduleFormController::errorHeading() const
{
    return m_submissionError ? m_submissionError->heading : QString();
}

QString ScheduleFormController::errorMessage() const
{
    return m_submissionError ? m_submissionError->message : QString();
}

bool ScheduleFormController::errorCanRefresh() const
{
    return m_submissionError && m_submissionError->canRefresh;
}

QList<SiteMenuItem> ScheduleFormController::siteMenuItems() const
{
    return ScheduleFormRules::siteMenuItems(m_context.projects(), [this](const QString &siteID) {
        return m_context.scheduleForSite(siteID).has_value();
    });
}

QVariantList ScheduleFormController::siteMenu() const
{
    QVariantList items;
    for (const SiteMenuItem &item : siteMenuItems())
        items.append(QVariantMap{{u"title"_s, item.title}, {u"enabled"_s, item.enabled}});
    return items;
}

QDateTime ScheduleFormController::minimumDate() const
{
    return now().now;
}

// --- Opening the form -------------------------------------------------------------------------------

void ScheduleFormController::chooseSiteMenuItem(int index)
{
    const QList<SiteMenuItem> items = siteMenuItems();
    if (index < 0 || index >= items.size() || !items[index].enabled)
        return;
    const SiteMenuItem &item = items[index];
    if (item.action == SiteMenuItem::Action::Verify)
        confirmVerifyForScheduling(item.entry.project);
    else if (item.action == SiteMenuItem::Action::Schedule)
        startScheduling(*item.entry.site);
}

void ScheduleFormController::startScheduling(const SiteRecord &site)
{
    if (m_context.hasPublishingAccess(site.id)) {
        setSelectedSite(site);
        setShowingForm(true);
        return;
    }
    ConfirmRequest request;
    request.title = u"Connect publishing for "_s + site.displayName() + u'?';
    request.message = u"Scheduled publishes trigger through Quorvane's servers, so your computer doesn't have to be on."_s;
    request.confirmLabel = u"Connect"_s;
    request.icon = u"globe-app-network"_s;
    QPointer<ScheduleFormController> self(this);
    request.action = [self, site] {
        if (!self)
            return;
        if (self->m_context.refuseWhileRevocationPending(site.id, site.displayName(), std::nullopt))
            return;
        PublishConnectRequest connect{site.id, site.name, site.displayName(), std::nullopt, {}};
        connect.onConnected = [self, site] {
            if (!self || self->m_context.scheduleForSite(site.id))
                return;
            self->setSelectedSite(site);
            self->setShowingForm(true);
        };
        self->m_context.connectPublishing(std::move(connect));
    };
    m_context.present(std::move(request));
}

void ScheduleFormController::confirmVerifyForScheduling(const Project &project)
{
    ConfirmRequest request;
    request.title = u"Verify "_s + project.title + u" for scheduling?"_s;
    request.confirmLabel = u"Continue"_s;
    request.icon = u"globe-app-network"_s;
    QPointer<ScheduleFormController> self(this);
    const QUuid projectID = project.id;
    const QString mcpName = project.mcpName;
    request.action = [self, projectID, mcpName] {
        if (!self)
            return;
        [](QPointer<ScheduleFormController> form, QUuid projectID, QString mcpName) -> QCoro::Task<> {
            co_await form->m_context.verifyScope(mcpName);
            if (!form)
                co_return;
            for (const ProjectSite &entry : form->m_context.projects()) {
                if (entry.project.id != projectID || !entry.site)
                    continue;
                if (!form->m_context.scheduleForSite(entry.site->id))
                    form->startScheduling(*entry.site);
                break;
            }
        }(self, projectID, mcpName);
    };
    m_context.present(std::move(request));
}

void ScheduleFormController::beginReschedule(const ScheduledPublish &schedule)
{
    // The editing id goes first: the site-change rule does nothing while it is set, so the
    // prefilled domains stay.
    m_editingScheduleID = schedule.id;
    setSelectedSite(m_context.site(schedule.siteId));
    m_publishAt = std::max(schedule.publishAt, ScheduleTimeRules::defaultPublishTime(now().now));
    m_selectedDomainIDs.clear();
    for (const PublishDomain &domain : schedule.domains)
        m_selectedDomainIDs.insert(domain.id);
    pruneTicks();
    m_skipIfChanged = schedule.skipIfChanged;
    clearActiveSubmission();
    setShowingForm(true);
    emit formChanged();
}

// --- Submission -------------------------------------------------------------------------------------

std::optional<ScheduledPublish> ScheduleFormController::makeDraft() const
{
    if (!m_selectedSite)
        return std::nullopt;
    const ScheduleTimeContext context = now();
    ScheduledPublish draft;
    draft.id = QUuid::createUuid();
    draft.connectionName = ScheduleFormRules::connectionNameForSite(*m_selectedSite, m_context.projects());
    draft.siteId = m_selectedSite->id;
    draft.siteName = m_selectedSite->displayName();
    draft.publishAt = m_publishAt;
    draft.timeZoneID = QString::fromUtf8(context.zone.id());
    draft.domains = targets();
    draft.skipIfChanged = m_skipIfChanged;
    draft.createdAt = context.now;
    return draft;
}

void ScheduleFormController::noteTimeTooClose()
{
    const ScheduleTimeContext context = now();
    setPublishAt(ScheduleTimeRules::earliestPublishTime(context.now, context.zone));
    ConfirmRequest notice;
    notice.title = u"That time is no longer available"_s;
    notice.message = u"It was too close to now, so it's now set for "_s
        + publishTimeText(m_publishAt, QString::fromUtf8(context.zone.id()), context.locale, context.zone)
        + u". Review it and schedule again."_s;
    notice.confirmLabel = u"Back to editing"_s;
    notice.isNotice = true;
    notice.icon = u"calendar-schedule"_s;
    notice.action = [] {};
    m_context.present(std::move(notice));
}

void ScheduleFormController::confirmSchedule()
{
    if (!submitEnabled())
        return;
    const ScheduleTimeContext context = now();
    if (!ScheduleTimeRules::isLeadTimeAcceptable(m_publishAt, context.now)) {
        noteTimeTooClose();
        return;
    }
    const ScheduledPublish draft = *makeDraft();
    const SiteRecord site = *m_selectedSite;
    ConfirmRequest request;
    request.title = u"Schedule this publish?"_s;
    request.message = ScheduleFormRules::confirmationMessage(draft, m_context.cloudScheduling(), context);
    request.confirmLabel = u"Schedule Publish"_s;
    request.icon = u"calendar-schedule"_s;
    QPointer<ScheduleFormController> self(this);
    request.action = [self, draft, site] {
        if (self)
            self->submitSchedule(draft, site);
    };
    m_context.present(std::move(request));
}

void ScheduleFormController::submitSchedule(ScheduledPublish draft, const SiteRecord &site)
{
    // The user may have waited on the confirmation until the time came too close.
    if (!ScheduleTimeRules::isLeadTimeAcceptable(m_publishAt, now().now)) {
        noteTimeTooClose();
        return;
    }
    if (m_submissionInProgress)
        return;
    const QUuid submissionID = QUuid::createUuid();
    m_activeSubmissionID = submissionID;
    m_activeOperationID.reset();
    m_supersedingID.reset();
    m_submissionError.reset();
    setSubmissionInProgress(true);
    emit formChanged();
    runSubmission(std::move(draft), site, submissionID, m_context.identity());
}

QCoro::Task<> ScheduleFormController::runSubmission(ScheduledPublish draft, SiteRecord site, QUuid submissionID,
                                                    std::optional<CloudAuthSnapshot> start)
{
    QPointer<ScheduleFormController> self(this);
    if (draft.skipIfChanged) {
        const std::optional<QDateTime> lastUpdated = co_await m_context.fetchSiteLastUpdated(site.id);
        // A submission that lost the form meanwhile leaves it alone: the form's state is now
        // another submission's, or none's.
        if (!self || !owns(submissionID))
            co_return;
        if (m_context.identity() != start) {
            m_submissionError = accountChangedError;
            setSubmissionInProgress(false);
            emit formChanged();
            co_return;
        }
        if (!lastUpdated) {
            ConfirmRequest notice;
            notice.title = u"Couldn't read the site's state"_s;
            notice.message = u"Paranoid mode needs the site's current state, and it couldn't be read just now. "
                             u"Try again, or turn Paranoid mode off to schedule anyway."_s;
            notice.confirmLabel = u"Back to editing"_s;
            notice.isNotice = true;
            notice.icon = u"warning-triangle"_s;
            notice.action = [] {};
            m_context.present(std::move(notice));
            setSubmissionInProgress(false);
            co_return;
        }
        draft.baselineLastUpdated = *lastUpdated;
    }
    if (!owns(submissionID))
        co_return;
    if (m_context.identity() != start) {
        setSubmissionInProgress(false);
        co_return;
    }
    const ScheduleOperationStatus started = m_context.replaceSchedule(draft);
    m_activeOperationID = started.id;
    const QUuid operationID = started.id;
    const std::optional<ScheduleOperationStatus> settled = co_await m_context.awaitOperation(operationID);
    if (!self)
        co_return;
    applyOperationStatus(settled.value_or(started), submissionID);
}

void ScheduleFormController::applyOperationStatus(const ScheduleOperationStatus &status, const QUuid &submissionID)
{
    if (!owns(submissionID))
        return;
    setSubmissionInProgress(false);
    const std::optional<ScheduleSubmissionError> error = ScheduleTimeRules::submissionError(status, now());
    if (!error) {
        setShowingForm(false);
        return;
    }
    if (status.outcome.which() == ScheduleOperationOutcome::Case::Superseded && status.outcome.schedule())
        m_supersedingID = status.outcome.schedule()->id;
    m_submissionError = error;
    emit formChanged();
}

void ScheduleFormController::refreshUncertainOutcome()
{
    if (!m_activeSubmissionID || !m_activeOperationID || m_submissionInProgress)
        return;
    setSubmissionInProgress(true);
    runRefresh(*m_activeSubmissionID, *m_activeOperationID);
}

QCoro::Task<> ScheduleFormController::runRefresh(QUuid submissionID, QUuid operationID)
{
    QPointer<ScheduleFormController> self(this);
    co_await m_context.refreshQueue();
    if (!self || !owns(submissionID))
        co_return;
    const std::optional<ScheduleOperationStatus> known = m_context.operationStatus(operationID);
    const ScheduleOperationStatus status = known.value_or(ScheduleOperationStatus{
        operationID,
        ScheduleOperationKind::replace(QUuid::createUuid(), m_selectedSite ? m_selectedSite->id : QString()),
        ScheduleOperationOutcome::ambiguous()});
    applyOperationStatus(status, submissionID);
}
