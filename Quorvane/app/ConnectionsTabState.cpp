// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ConnectionsTabState.h"

#include "app/AppModel.h"
#include "app/PanelFilter.h"
#include "cli/OperationRegistry.h"

ConnectionsTabState::ConnectionsTabState(QObject *parent)
    : QObject(parent)
{
}

void ConnectionsTabState::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (model) {
        const auto follow = [this](auto *sender, auto signal) { connect(sender, signal, this, &ConnectionsTabState::update); };
        follow(model, &AppModel::isLoadingChanged);
        follow(model, &AppModel::loadErrorChanged);
        follow(model, &AppModel::whatsNewChanged);
        follow(model, &AppModel::claudeAuthChanged);
        follow(model, &AppModel::environmentChanged);
        follow(model, &AppModel::persistenceIssueChanged);
        follow(model, &AppModel::busyChanged);
        follow(&model->adding(), &AddProjectFlow::showingAddChanged);
        follow(&model->projectStore(), &ProjectStore::projectsChanged);
        follow(&model->connectionRows(), &KeyedListModel::countChanged);
        follow(&model->unrecognizedRows(), &KeyedListModel::countChanged);
        follow(&model->publishAccess(), &PublishAccessStore::oauthRecoveryAttemptsChanged);
    }
    update();
    Q_EMIT modelChanged();
}

void ConnectionsTabState::setSearchText(const QString &text)
{
    if (m_searchText == text)
        return;
    m_searchText = text;
    update();
    Q_EMIT searchTextChanged();
}

QString ConnectionsTabState::cliNoticeHeading() const
{
    const auto notice = ConnectionsTabRules::claudeCLINotice(m_facts.environment);
    return notice ? notice->heading : QString();
}

QString ConnectionsTabState::cliNoticeDetail() const
{
    const auto notice = ConnectionsTabRules::claudeCLINotice(m_facts.environment);
    return notice ? notice->detail : QString();
}

void ConnectionsTabState::recheckClaudeAuth()
{
    if (m_model)
        m_model->recheckClaudeAuth();
}

void ConnectionsTabState::signInToClaude()
{
    if (m_model && !m_signingIn)
        m_model->claudeSignIn().start();
}

void ConnectionsTabState::update()
{
    ConnectionsTabRules::Facts facts;
    bool signingIn = false;
    facts.searching = PanelFilter::isSearching(m_searchText);
    if (m_model) {
        const AppModel &model = *m_model;
        facts.hasProjects = !m_model->projectStore().projects().isEmpty();
        facts.showingAdd = m_model->adding().showingAdd();
        facts.isLoading = model.isLoading();
        facts.hasLoadError = model.loadError().has_value();
        facts.hasUnrecognized = !model.unrecognized().isEmpty();
        facts.hasWhatsNew = model.whatsNew().has_value();
        facts.claude = model.claudeAuth().state;
        facts.hasConnections = !model.connections().isEmpty();
        facts.environment = model.environment();
        facts.hasPersistenceIssue = model.persistenceIssue().has_value();
        facts.needsWebflowReset = !m_model->publishAccess().oauthRecoveryAttempts().isEmpty();
        signingIn = model.busy().contains(ClaudeCLI::claudeAuthKey());
    }
    if (facts == m_facts && signingIn == m_signingIn)
        return;
    m_facts = std::move(facts);
    m_signingIn = signingIn;
    Q_EMIT changed();
}
