// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PanelState.h"

#include "app/AddFieldState.h"
#include "app/AppModel.h"
#include "app/PanelFilter.h"
#include "foundation/Clock.h"
#include "foundation/Notifying.h"

#include <QPointer>

#include <algorithm>

PanelState::PanelState(AppModel &model, const Clock &clock, ContinuousClock::Delay delay, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_clock(clock)
    , m_delay(std::move(delay))
{
    connect(&m_model.cloud(), &CloudSide::scheduleFocusRequestChanged, this, &PanelState::applyScheduleFocus);
    connect(&m_model.activity(), &ActivityCenter::sheetChanged, this, &PanelState::activityActionsChanged);
    connect(&m_model.errorLog(), &ErrorLog::reportStateChanged, this, &PanelState::reportStateChanged);
    connect(&m_model.activity(), &ActivityCenter::sheetChanged, this, &PanelState::shimmerPausedChanged);
    connect(&m_model.confirms(), &ConfirmQueue::confirmChanged, this, &PanelState::shimmerPausedChanged);
    connect(&m_model.cloud(), &CloudSide::signInChanged, this, &PanelState::shimmerPausedChanged);
    connect(this, &PanelState::panelVisibleChanged, this, &PanelState::shimmerPausedChanged);
}

void PanelState::setActiveTab(PanelTab::Tab tab)
{
    if (m_activeTab == tab)
        return;
    m_activeTab = tab;
    Q_EMIT activeTabChanged();
    handleTabChange(tab);
}

void PanelState::chooseTab(PanelTab::Tab tab)
{
    setActiveTab(tab);
    setShowingTabs(false);
}

void PanelState::selectTab(int position)
{
    if (position >= 1 && position <= PanelTab::allCases.size())
        setActiveTab(PanelTab::allCases.at(position - 1));
}

void PanelState::cycleTab(int step)
{
    const qsizetype at = PanelTab::allCases.indexOf(m_activeTab);
    if (at < 0)
        return;
    const qsizetype count = PanelTab::allCases.size();
    setActiveTab(PanelTab::allCases.at(((at + step) % count + count) % count));
}

void PanelState::focusSearch()
{
    if (!canFocusSearch())
        return;
    setSearchFocused(true);
    Q_EMIT searchFocusRequested();
}

void PanelState::handleTabChange(PanelTab::Tab tab)
{
    setShowingTabs(false);
    switch (tab) {
    case PanelTab::Tab::scheduledPublishing:
        refreshSchedules();
        setPageStatusShowingInfo(false);
        // A history opened by a notification tap stays open.
        return;
    case PanelTab::Tab::connections:
        setScheduleShowingHistory(false);
        setPageStatusShowingInfo(false);
        return;
    case PanelTab::Tab::pageStatus:
        setScheduleShowingHistory(false);
        return;
    }
}

QCoro::Task<> PanelState::refreshSchedules()
{
    // The queue first, so history and events read what it has settled.
    QPointer<PanelState> alive(this);
    ScheduleStore &store = m_model.scheduleStore();
    co_await store.refreshQueue();
    if (!alive)
        co_return;
    co_await store.loadHistory();
    if (!alive)
        co_return;
    co_await store.ingestPublishEvents();
}

void PanelState::setShowingTabs(bool showing)
{
    assignNotifying(this, m_showingTabs, showing, &PanelState::showingTabsChanged);
}

void PanelState::setSearchText(const QString &text)
{
    assignNotifying(this, m_searchText, text, &PanelState::searchTextChanged);
}

void PanelState::setSearchFocused(bool focused)
{
    assignNotifying(this, m_searchFocused, focused, &PanelState::searchFocusedChanged);
}

bool PanelState::isSearching() const
{
    return PanelFilter::isSearching(m_searchText);
}

void PanelState::setShowingAbout(bool showing)
{
    assignNotifying(this, m_showingAbout, showing, &PanelState::showingAboutChanged);
}

void PanelState::setPageStatusShowingInfo(bool showing)
{
    assignNotifying(this, m_pageStatusShowingInfo, showing, &PanelState::pageStatusShowingInfoChanged);
}

void PanelState::setScheduleShowingHistory(bool showing)
{
    assignNotifying(this, m_scheduleShowingHistory, showing, &PanelState::scheduleShowingHistoryChanged);
}

void PanelState::setScheduleHandoffSiteID(const QString &siteID)
{
    assignNotifying(this, m_scheduleHandoffSiteID, siteID, &PanelState::scheduleHandoffSiteIDChanged);
}

void PanelState::setScheduleShowingForm(bool showing)
{
    assignNotifying(this, m_scheduleShowingForm, showing, &PanelState::scheduleShowingFormChanged);
}

void PanelState::setScheduleSubmissionInProgress(bool running)
{
    assignNotifying(this, m_scheduleSubmissionInProgress, running, &PanelState::scheduleSubmissionInProgressChanged);
}

void PanelState::setScheduleSoonestFirst(bool soonestFirst)
{
    assignNotifying(this, m_scheduleSoonestFirst, soonestFirst, &PanelState::scheduleSoonestFirstChanged);
}

void PanelState::panelStart()
{
    m_lastPanelRefresh = m_clock.now();
    // Does nothing while the launch's own cloud bootstrap still runs.
    m_model.cloud().startCloudBootstrap();
    m_model.bootstrap();
}

void PanelState::refreshOnBecomeKey()
{
    const QDateTime now = m_clock.now();
    if (m_lastPanelRefresh.isValid() && now <= m_lastPanelRefresh.addSecs(reopenRefreshSeconds))
        return;
    m_lastPanelRefresh = now;
    reopenRefresh();
    settleThenCompleteSignIn();
}

QCoro::Task<> PanelState::settleThenCompleteSignIn()
{
    // A sign-in finished while the panel was closed waits for the settled session before it runs on.
    QPointer<PanelState> alive(this);
    co_await m_model.account().settleLaunch();
    if (alive)
        m_model.cloud().completePendingSignIn();
}

QCoro::Task<> PanelState::reopenRefresh()
{
    QPointer<PanelState> alive(this);
    const bool ran = co_await m_model.refresh(false);
    // A refresh already under way: the next opening should not wait out the throttle.
    if (alive && !ran)
        m_lastPanelRefresh = QDateTime();
}

void PanelState::setPanelVisible(bool visible)
{
    if (m_panelVisible == visible)
        return;
    m_panelVisible = visible;
    Q_EMIT panelVisibleChanged();
    m_model.setPanelIsOpen(visible);
    if (!visible) {
        setSearchText(QString());
        setSearchFocused(false);
        return;
    }
    // A focus request made while the panel was closed shows now.
    applyScheduleFocus();
}

void PanelState::pointerLeft()
{
    ++m_hoverEpoch;
    Q_EMIT hoverEpochChanged();
}

void PanelState::showCopiedToast(const QString &text)
{
    const quint64 generation = ++m_toastGeneration;
    m_copiedToast = text;
    Q_EMIT copiedToastChanged();
    hideToastLater(generation);
}

QCoro::Task<> PanelState::hideToastLater(quint64 generation)
{
    QPointer<PanelState> alive(this);
    co_await m_delay(toastDuration);
    if (!alive || generation != m_toastGeneration)
        co_return;
    assignNotifying(this, m_copiedToast, QString(), &PanelState::copiedToastChanged);
}

QList<PanelState::Overlay> PanelState::overlays(bool sheet, bool about, bool intro, bool confirm, bool signIn,
                                               bool activityRaised)
{
    QList<Overlay> shown;
    const std::pair<bool, Overlay> layers[] = {{sheet && !activityRaised, Overlay::activity},
                                               {about, Overlay::about},
                                               {intro, Overlay::intro},
                                               {sheet && activityRaised, Overlay::activity},
                                               {confirm, Overlay::confirm},
                                               {signIn, Overlay::signIn}};
    for (const auto &[present, overlay] : layers) {
        if (present)
            shown.append(overlay);
    }
    return shown;
}

int PanelState::overlayLayer(Overlay overlay, bool activityRaised)
{
    return int(overlays(true, true, true, true, true, activityRaised).indexOf(overlay)) + 1;
}

void PanelState::setAddFieldFocused(bool focused)
{
    if (m_addFieldFocused == focused)
        return;
    m_addFieldFocused = focused;
    Q_EMIT addFieldFocusedChanged();
    if (!focused)
        collapseEmptyAddField();
}

void PanelState::panelBecameKey()
{
    refreshOnBecomeKey();
    pointerLeft();
}

void PanelState::panelResignedKey()
{
    collapseEmptyAddField();
    pointerLeft();
}

void PanelState::applyScheduleFocus()
{
    const CloudSide &cloud = m_model.cloud();
    if (cloud.scheduleFocusRequest() == m_appliedScheduleFocus)
        return;
    m_appliedScheduleFocus = cloud.scheduleFocusRequest();
    setActiveTab(PanelTab::Tab::scheduledPublishing);
    setScheduleShowingHistory(cloud.scheduleFocusEventID().has_value());
}

void PanelState::refreshConnections()
{
    if (!m_model.isRefreshing())
        refreshIgnoringResult();
}

QCoro::Task<> PanelState::refreshIgnoringResult()
{
    co_await m_model.refresh(false);
}

void PanelState::openNew()
{
    if (m_activeTab == PanelTab::Tab::scheduledPublishing) {
        setScheduleShowingForm(true);
        return;
    }
    AddProjectFlow &adding = m_model.adding();
    // Nothing to add into while the stores cannot save, as the Add New button says.
    if (adding.showingAdd() || !AddFieldState::canSaveLocally(m_model))
        return;
    adding.setShowingAdd(true);
    setAddFieldFocused(true);
}

void PanelState::quit()
{
    Q_EMIT quitRequested();
}

void PanelState::cancelAddField()
{
    AddProjectFlow &adding = m_model.adding();
    if (!adding.showingAdd() || adding.isAdding())
        return;
    // Unfocused first: the name is still there, so losing the focus does not fold the field twice.
    setAddFieldFocused(false);
    adding.setAddName(QString());
    adding.setAddError(std::nullopt);
    adding.setShowingAdd(false);
}

void PanelState::collapseEmptyAddField()
{
    AddProjectFlow &adding = m_model.adding();
    if (!adding.showingAdd() || !adding.addName().isEmpty())
        return;
    adding.setShowingAdd(false);
    adding.setAddError(std::nullopt);
}

std::optional<Project> PanelState::storedProject(const QUuid &projectId) const
{
    const QList<Project> &projects = m_model.projectStore().projects();
    const auto project = std::find_if(projects.cbegin(), projects.cend(),
                                      [&projectId](const Project &candidate) { return candidate.id == projectId; });
    if (project == projects.cend())
        return std::nullopt;
    return *project;
}

std::optional<QString> PanelState::scheduleSite(const QUuid &projectId) const
{
    const std::optional<Project> project = storedProject(projectId);
    if (!project)
        return std::nullopt;
    return m_model.siteDirectory().resolvedSiteID(project->siteId, project->mcpName);
}

void PanelState::openScheduling(const QString &projectId)
{
    const QUuid id(projectId);
    const std::optional<Project> project = storedProject(id);
    if (!project)
        return;
    if (const std::optional<QString> site = scheduleSite(id)) {
        setScheduleHandoffSiteID(*site);
        setActiveTab(PanelTab::Tab::scheduledPublishing);
        setShowingTabs(false);
        return;
    }
    ConfirmRequest request;
    request.title = QStringLiteral("Connect %1 first?").arg(project->title);
    request.message = QStringLiteral("Scheduling needs the site verified through Claude Code. Connect now and you'll "
                                     "land in Scheduled Publishing with %1 selected.")
                          .arg(project->title);
    request.confirmLabel = QStringLiteral("Connect");
    request.icon = QStringLiteral("globe-app-network");
    request.action = [self = QPointer<PanelState>(this), id] {
        if (self)
            self->connectThenSchedule(id);
    };
    m_model.confirms().present(std::move(request));
}

QCoro::Task<> PanelState::connectThenSchedule(QUuid projectId)
{
    QPointer<PanelState> alive(this);
    const std::optional<Project> project = storedProject(projectId);
    if (!project)
        co_return;
    co_await m_model.connecting().connectProject(*project, false, false);
    if (!alive)
        co_return;
    // The connect verified the project's site (or moved it to another server): read the stored
    // project again rather than the copy taken before it.
    if (const std::optional<QString> site = scheduleSite(projectId)) {
        setScheduleHandoffSiteID(*site);
        setActiveTab(PanelTab::Tab::scheduledPublishing);
    }
}

PanelState::ActivityActions PanelState::activityActions(const ActivitySheet &sheet, bool reportingAvailable)
{
    ActivityActions actions;
    actions.report = reportingAvailable;
    actions.cancel = sheet.outcome == ActivitySheet::Outcome::running;
    actions.retry = sheet.kind != ActivitySheet::Kind::verifying && sheet.subject.has_value();
    actions.retryConnectsPublishing = actions.retry && sheet.kind == ActivitySheet::Kind::connectingPublishing;
    return actions;
}

PanelState::ActivityActions PanelState::shownActivityActions() const
{
    const std::optional<ActivitySheet> &sheet = m_model.activity().sheet();
    if (!sheet)
        return {};
    return activityActions(*sheet, m_model.errorLog().isReportingAvailable());
}

int PanelState::reportState() const
{
    return int(m_model.errorLog().reportState());
}

void PanelState::reportActivity()
{
    const std::optional<ActivitySheet> &sheet = m_model.activity().sheet();
    if (sheet && shownActivityActions().report)
        m_model.publishing().sendErrorReportWithLog(sheet->log);
}

void PanelState::cancelActivity()
{
    const std::optional<ActivitySheet> &sheet = m_model.activity().sheet();
    if (sheet && shownActivityActions().cancel)
        m_model.activity().cancelActivity(sheet->id);
}

void PanelState::retryActivity()
{
    const std::optional<ActivitySheet> &sheet = m_model.activity().sheet();
    const ActivityActions actions = shownActivityActions();
    if (!sheet || !actions.retry)
        return;
    if (actions.retryConnectsPublishing)
        m_model.publishing().retryPublishingConnect();
    else
        m_model.activity().retryActivity(*sheet->subject);
}

bool PanelState::shimmerPaused() const
{
    return m_model.activity().sheet().has_value() || m_model.confirms().current().has_value()
        || m_model.cloud().signIn().has_value() || !m_panelVisible;
}

QVariantList PanelState::pickerTabs()
{
    QVariantList rows;
    for (qsizetype position = 0; position < PanelTab::allCases.size(); ++position) {
        const PanelTab::Tab tab = PanelTab::allCases.at(position);
        rows.append(QVariantMap{{QStringLiteral("position"), int(position)},
                                {QStringLiteral("tab"), int(tab)},
                                {QStringLiteral("title"), PanelTab::title(tab)}});
    }
    return rows;
}

void PanelState::choosePickerRow(int position)
{
    if (position >= 0 && position < PanelTab::allCases.size())
        chooseTab(PanelTab::allCases.at(position));
}
