// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/SchedulingTabState.h"

#include "app/AppModel.h"
#include "app/PanelState.h"
#include "scheduling/PublishHistoryPresenter.h"
#include "scheduling/SchedulePublishScreen.h"

bool SchedulingTabRules::isScheduleIdle(int scheduleCount, bool showingForm)
{
    return scheduleCount == 0 && !showingForm;
}

int SchedulingTabRules::scheduleBannerCount(bool attention, ScheduleStore::CloudState cloudState,
                                            bool cloudNoteDismissed, bool syncError, bool persistenceIssue)
{
    const bool cloudBanner = cloudState == ScheduleStore::CloudState::Local
        || (cloudState == ScheduleStore::CloudState::Cloud && !cloudNoteDismissed);
    return int(attention) + int(cloudBanner) + int(syncError) + int(persistenceIssue);
}

bool SchedulingTabRules::showsEmptyState(bool idle, int bannerCount)
{
    return idle && bannerCount < 2;
}

bool SchedulingTabRules::showsOrderToggle(int scheduleCount)
{
    return scheduleCount >= 2;
}

QString SchedulingTabRules::orderSymbol(bool soonestFirst)
{
    return soonestFirst ? QStringLiteral("sort.ascending") : QStringLiteral("sort.descending");
}

QString SchedulingTabRules::orderText(bool soonestFirst)
{
    return soonestFirst ? QStringLiteral("Sooner first") : QStringLiteral("Later first");
}

QString SchedulingTabRules::pillSymbol(bool showingForm)
{
    return showingForm ? QStringLiteral("xmark") : QString();
}

QString SchedulingTabRules::pillText(bool showingForm)
{
    return showingForm ? QStringLiteral("Cancel") : QStringLiteral("Schedule");
}

QString SchedulingTabRules::pillHelp(bool showingForm)
{
    return showingForm ? QStringLiteral("Close without scheduling") : QStringLiteral("Schedule a one-time site publish");
}

bool SchedulingTabRules::canOpenScheduleForm(const PanelState *panel)
{
    return panel && !panel->scheduleShowingForm() && !panel->scheduleSubmissionInProgress();
}

void SchedulingTabRules::toggleScheduleForm(PanelState *panel)
{
    if (!panel || panel->scheduleSubmissionInProgress())
        return;
    panel->setScheduleShowingForm(!panel->scheduleShowingForm());
}

void SchedulingTabRules::toggleQueueOrder(PanelState *panel)
{
    if (panel)
        panel->setScheduleSoonestFirst(!panel->scheduleSoonestFirst());
}

SchedulingTabState::SchedulingTabState(QObject *parent)
    : QObject(parent)
{
}

SchedulingTabState::~SchedulingTabState() = default;

void SchedulingTabState::setModel(AppModel *model)
{
    if (m_model || !model)
        return;
    m_model = model;
    attach();
}

void SchedulingTabState::setPanel(PanelState *panel)
{
    if (m_panel || !panel)
        return;
    m_panel = panel;
    attach();
}

void SchedulingTabState::attach()
{
    if (!m_model || !m_panel)
        return;
    ScheduleStore &store = m_model->scheduleStore();
    m_screen = std::make_unique<SchedulePublishScreen>(store, m_model->schedulingContext());
    m_history = std::make_unique<PublishHistoryPresenter>(store);

    const auto announce = [this] { Q_EMIT changed(); };
    for (const auto signal : {&ScheduleStore::schedulesChanged, &ScheduleStore::attentionChanged,
                              &ScheduleStore::cloudStateChanged, &ScheduleStore::syncErrorChanged,
                              &ScheduleStore::persistenceIssueChanged})
        connect(&store, signal, this, announce);
    connect(&m_model->schedulingContext(), &SchedulingContext::changed, this, announce);

    // The panel's flags and the screen's form are one state seen from two places: the panel
    // opens and closes the form, the screen closes it after a submission and reports its progress.
    connect(m_panel, &PanelState::scheduleShowingFormChanged, this, &SchedulingTabState::pushFormToScreen);
    connect(m_panel, &PanelState::scheduleSoonestFirstChanged, this, &SchedulingTabState::pushFormToScreen);
    connect(m_panel, &PanelState::scheduleSubmissionInProgressChanged, this, announce);
    ScheduleFormController *form = m_screen->form();
    connect(form, &ScheduleFormController::showingFormChanged, this, &SchedulingTabState::pullFormFromScreen);
    connect(form, &ScheduleFormController::submissionInProgressChanged, this,
            &SchedulingTabState::pullFormFromScreen);
    connect(&m_model->cloud(), &CloudSide::scheduleFocusEventIDChanged, this,
            &SchedulingTabState::followFocusedEvent);
    // Taken here rather than bound into the view: consuming a hand-off clears the very value a
    // binding would be delivering, and a hand-off can come while the tab already shows.
    connect(m_panel, &PanelState::scheduleHandoffSiteIDChanged, this, &SchedulingTabState::takeHandoff);

    pushFormToScreen();
    // A submission of an earlier showing ended with its screen; nothing of it can finish here.
    m_panel->setScheduleSubmissionInProgress(form->submissionInProgress());
    followFocusedEvent();
    takeHandoff();
    Q_EMIT attached();
    Q_EMIT changed();
}

void SchedulingTabState::pushFormToScreen()
{
    if (!m_panel || !m_screen)
        return;
    m_screen->form()->setShowingForm(m_panel->scheduleShowingForm());
    m_screen->setSoonestFirst(m_panel->scheduleSoonestFirst());
    Q_EMIT changed();
}

void SchedulingTabState::pullFormFromScreen()
{
    if (!m_panel || !m_screen)
        return;
    m_panel->setScheduleShowingForm(m_screen->form()->showingForm());
    m_panel->setScheduleSubmissionInProgress(m_screen->form()->submissionInProgress());
    Q_EMIT changed();
}

void SchedulingTabState::takeHandoff()
{
    if (m_panel && m_screen && m_screen->applyPreselection(m_panel->scheduleHandoffSiteID()))
        consumeHandoff();
}

void SchedulingTabState::followFocusedEvent()
{
    if (m_model && m_history)
        m_history->setFocusedEventID(m_model->cloud().scheduleFocusEventID());
}

bool SchedulingTabState::isScheduleIdle() const
{
    if (!m_model || !m_panel)
        return false;
    return SchedulingTabRules::isScheduleIdle(int(m_model->scheduleStore().schedules().size()),
                                              m_panel->scheduleShowingForm());
}

int SchedulingTabState::scheduleBannerCount() const
{
    if (!m_model)
        return 0;
    const ScheduleStore &store = m_model->scheduleStore();
    return SchedulingTabRules::scheduleBannerCount(!store.attention().isEmpty(), store.cloudState(),
                                                   m_model->schedulingContext().cloudBannerDismissed(),
                                                   store.syncError().has_value(), store.persistenceIssue().has_value());
}

bool SchedulingTabState::showsEmptyState() const
{
    return SchedulingTabRules::showsEmptyState(isScheduleIdle(), scheduleBannerCount());
}

bool SchedulingTabState::showsOrderToggle() const
{
    return m_model && SchedulingTabRules::showsOrderToggle(int(m_model->scheduleStore().schedules().size()));
}

QString SchedulingTabState::orderSymbol() const
{
    return SchedulingTabRules::orderSymbol(!m_panel || m_panel->scheduleSoonestFirst());
}

QString SchedulingTabState::orderText() const
{
    return SchedulingTabRules::orderText(!m_panel || m_panel->scheduleSoonestFirst());
}

QString SchedulingTabState::pillSymbol() const
{
    return SchedulingTabRules::pillSymbol(m_panel && m_panel->scheduleShowingForm());
}

QString SchedulingTabState::pillText() const
{
    return SchedulingTabRules::pillText(m_panel && m_panel->scheduleShowingForm());
}

QString SchedulingTabState::pillHelp() const
{
    return SchedulingTabRules::pillHelp(m_panel && m_panel->scheduleShowingForm());
}

bool SchedulingTabState::pillEnabled() const
{
    return m_panel && !m_panel->scheduleSubmissionInProgress();
}

bool SchedulingTabState::pillShowsShortcut() const
{
    return m_panel && !m_panel->scheduleShowingForm();
}

bool SchedulingTabState::showsFooter() const
{
    return m_panel && !m_panel->scheduleShowingForm();
}

void SchedulingTabState::toggleScheduleForm()
{
    SchedulingTabRules::toggleScheduleForm(m_panel);
}

void SchedulingTabState::toggleQueueOrder()
{
    SchedulingTabRules::toggleQueueOrder(m_panel);
}

void SchedulingTabState::showHistory()
{
    if (m_panel)
        m_panel->setScheduleShowingHistory(true);
}

void SchedulingTabState::leaveHistory()
{
    if (!m_model || !m_panel)
        return;
    m_model->cloud().clearScheduleFocusEvent();
    m_panel->setScheduleShowingHistory(false);
}

void SchedulingTabState::consumeHandoff()
{
    if (m_panel)
        m_panel->setScheduleHandoffSiteID(QString());
}
