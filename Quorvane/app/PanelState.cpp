// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PanelState.h"

#include "app/AppModel.h"
#include "app/PanelFilter.h"
#include "foundation/Clock.h"
#include "foundation/Notifying.h"

#include <QPointer>

PanelState::PanelState(AppModel &model, const Clock &clock, ContinuousClock::Delay delay, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_clock(clock)
    , m_delay(std::move(delay))
{
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

void PanelState::setAddFieldFocused(bool focused)
{
    assignNotifying(this, m_addFieldFocused, focused, &PanelState::addFieldFocusedChanged);
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
    }
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
