// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PageStatusTabState.h"

#include "app/ConnectionsTabRules.h"
#include "app/PanelFilter.h"

PageStatusTabRules::Content PageStatusTabRules::content(bool isLoading, bool hasLoadError)
{
    if (isLoading)
        return Content::loading;
    return hasLoadError ? Content::loadError : Content::rows;
}

bool PageStatusTabRules::showsNoMatches(bool isSearching, bool filteredEmpty, bool projectsEmpty)
{
    return isSearching && filteredEmpty && !projectsEmpty;
}

QString PageStatusTabRules::refreshLabel(bool isChecking)
{
    return isChecking ? QStringLiteral("Refreshing…") : QStringLiteral("Refresh");
}

PageStatusTabState::PageStatusTabState(QObject *parent)
    : QObject(parent)
    , m_rows(this)
{
}

void PageStatusTabState::setModel(AppModel *model)
{
    if (m_model || !model)
        return;
    m_model = model;
    attach();
}

void PageStatusTabState::setPanel(PanelState *panel)
{
    if (m_panel || !panel)
        return;
    m_panel = panel;
    attach();
}

void PageStatusTabState::attach()
{
    if (!m_model || !m_panel)
        return;
    const auto update = [this] {
        updateRows();
        Q_EMIT changed();
    };
    // The search order names each project's site, so a renamed site can move a row.
    connect(&m_model->projectStore(), &ProjectStore::projectsChanged, this, update);
    connect(&m_model->siteDirectory(), &SiteDirectory::sitesChanged, this, update);
    connect(m_panel, &PanelState::searchTextChanged, this, update);
    const auto announce = [this] { Q_EMIT changed(); };
    connect(m_model, &AppModel::isLoadingChanged, this, announce);
    connect(m_model, &AppModel::loadErrorChanged, this, announce);
    connect(&m_model->adding(), &AddProjectFlow::showingAddChanged, this, announce);
    PageStatusStore &store = m_model->pageStatus();
    connect(&store, &PageStatusStore::isCheckingChanged, this, announce);
    connect(&store, &PageStatusStore::lastErrorChanged, this, announce);
    connect(&store, &PageStatusStore::lastNoticeChanged, this, announce);
    // Any reader of the same default may change it.
    connect(&m_model->defaults(), &UserDefaults::valueChanged, this, [this](const QString &key) {
        if (key == enableNewProjectsByDefaultKey)
            Q_EMIT enableNewProjectsByDefaultChanged();
    });
    updateRows();
    Q_EMIT attached();
    Q_EMIT changed();
    Q_EMIT enableNewProjectsByDefaultChanged();
}

void PageStatusTabState::updateRows()
{
    if (!m_model || !m_panel)
        return;
    const ScopeVerification &scope = m_model->authorizer().scope();
    m_rows.update(PanelFilter::filteredProjects(m_model->projectStore().projects(), m_panel->searchText(),
                                                [&scope](const Project &project) { return scope.siteRecord(project); }));
}

PageStatusTabRules::Content PageStatusTabState::content() const
{
    if (!m_model)
        return PageStatusTabRules::Content::loading;
    return PageStatusTabRules::content(m_model->isLoading(), m_model->loadError().has_value());
}

QString PageStatusTabState::contentName() const
{
    switch (content()) {
    case PageStatusTabRules::Content::loading:
        return QStringLiteral("loading");
    case PageStatusTabRules::Content::loadError:
        return QStringLiteral("loadError");
    case PageStatusTabRules::Content::rows:
        break;
    }
    return QStringLiteral("rows");
}

bool PageStatusTabState::showsNoMatches() const
{
    if (!m_model || !m_panel)
        return false;
    return PageStatusTabRules::showsNoMatches(PanelFilter::isSearching(m_panel->searchText()), m_rows.count() == 0,
                                              m_model->projectStore().projects().isEmpty());
}

QString PageStatusTabState::noMatchesText() const
{
    return m_panel ? PanelFilter::noMatchesText(m_panel->searchText()) : QString();
}

bool PageStatusTabState::showsFirstRunCard() const
{
    if (!m_model)
        return false;
    // The top bar is the Connections tab's own, so its card follows that tab's rule.
    ConnectionsTabRules::Facts facts;
    facts.hasProjects = !m_model->projectStore().projects().isEmpty();
    facts.showingAdd = m_model->adding().showingAdd();
    facts.isLoading = m_model->isLoading();
    facts.hasLoadError = m_model->loadError().has_value();
    return ConnectionsTabRules::showsFirstRunCard(facts);
}

QString PageStatusTabState::refreshLabel() const
{
    return PageStatusTabRules::refreshLabel(m_model && m_model->pageStatus().isChecking());
}

bool PageStatusTabState::refreshEnabled() const
{
    return m_model && !m_model->pageStatus().isChecking();
}

QString PageStatusTabState::lastError() const
{
    return m_model ? m_model->pageStatus().lastErrorText() : QString();
}

QString PageStatusTabState::lastNotice() const
{
    return m_model ? m_model->pageStatus().lastNoticeText() : QString();
}

bool PageStatusTabState::enableNewProjectsByDefault() const
{
    return m_model && m_model->defaults().boolValue(enableNewProjectsByDefaultKey, false);
}

void PageStatusTabState::setEnableNewProjectsByDefault(bool on)
{
    if (m_model)
        m_model->defaults().setBool(enableNewProjectsByDefaultKey, on);
}

void PageStatusTabState::refreshPageStatus()
{
    if (m_model)
        m_model->pageStatus().refresh();
}

void PageStatusTabState::showInfo()
{
    if (m_panel)
        m_panel->setPageStatusShowingInfo(true);
}

void PageStatusTabState::hideInfo()
{
    if (m_panel)
        m_panel->setPageStatusShowingInfo(false);
}
