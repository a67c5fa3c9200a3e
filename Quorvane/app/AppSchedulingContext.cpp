// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppSchedulingContext.h"

#include "app/AppModel.h"
#include "app/PanelDefaults.h"

AppSchedulingContext::AppSchedulingContext(AppModel &model, QObject *parent)
    : StoreSchedulingContext(model.scheduleStore(), model.clock(), parent)
    , m_model(model)
{
    // The form's site menu, its targets and the screen's banners read all of these.
    connect(&model.projectStore(), &ProjectStore::projectsChanged, this, &SchedulingContext::changed);
    connect(&model.siteDirectory(), &SiteDirectory::sitesChanged, this, &SchedulingContext::changed);
    PublishAccessStore &access = model.publishAccess();
    for (const auto signal : {&PublishAccessStore::connectedSiteIDsChanged, &PublishAccessStore::recoveryRequiredSiteIDsChanged,
                              &PublishAccessStore::oauthRecoveryAttemptsChanged, &PublishAccessStore::domainsChanged,
                              &PublishAccessStore::availableChanged, &PublishAccessStore::isCheckingChanged,
                              &PublishAccessStore::hasLoadedOnceChanged})
        connect(&access, signal, this, &SchedulingContext::changed);
    connect(&model.account(), &AccountModel::cloudSessionStateChanged, this, &SchedulingContext::changed);
    connect(&model.account(), &AccountModel::profileChanged, this, &SchedulingContext::changed);
}

QList<ProjectSite> AppSchedulingContext::projects() const
{
    const ScopeVerification &scope = m_model.authorizer().scope();
    QList<ProjectSite> entries;
    for (const Project &project : m_model.projectStore().projects())
        entries.append({project, scope.siteRecord(project)});
    return entries;
}

std::optional<SiteRecord> AppSchedulingContext::site(const QString &siteID) const
{
    return m_model.siteDirectory().site(siteID);
}

bool AppSchedulingContext::hasPublishingAccess(const QString &siteID) const
{
    return m_model.publishAccess().hasPublishingAccess(siteID);
}

bool AppSchedulingContext::publishingAccessSettled() const
{
    return m_model.publishAccess().isSettled();
}

bool AppSchedulingContext::hasOAuthRecoveryAttempts() const
{
    const PublishAccessStore &access = m_model.publishAccess();
    return access.available() && !access.oauthRecoveryAttempts().isEmpty();
}

QList<PublishDomain> AppSchedulingContext::publishDomains(const QString &siteID) const
{
    return m_model.publishAccess().domains().value(siteID);
}

AccountModel::SessionKind AppSchedulingContext::cloudSession() const
{
    return m_model.account().sessionKind();
}

bool AppSchedulingContext::hasAccountProfile() const
{
    return m_model.account().hasProfile();
}

bool AppSchedulingContext::cloudBannerDismissed() const
{
    return PanelDefaults(m_model.settingsFile()).boolValue(dismissedCloudBannerKey, false);
}

void AppSchedulingContext::dismissCloudBanner()
{
    PanelDefaults(m_model.settingsFile()).setBool(dismissedCloudBannerKey, true);
    // The tab's empty state and the screen's note read the same default through this context.
    Q_EMIT changed();
}

QCoro::Task<std::optional<QDateTime>> AppSchedulingContext::fetchSiteLastUpdated(QString siteID)
{
    return m_model.publishAccess().fetchSiteLastUpdated(std::move(siteID));
}

void AppSchedulingContext::present(ConfirmRequest request)
{
    m_model.confirms().present(std::move(request));
}

bool AppSchedulingContext::refuseWhileRevocationPending(const std::optional<QString> &siteID, const QString &label,
                                                        const std::optional<QString> &mcpName)
{
    return m_model.publishing().refuseWhileRevocationPending(siteID.value_or(QString()), label,
                                                             mcpName.value_or(QString()));
}

void AppSchedulingContext::connectPublishing(PublishConnectRequest request)
{
    PublishingFlows::PublishConnectParams params{std::move(request.siteID), std::move(request.siteName),
                                                 std::move(request.label), std::move(request.mcpName),
                                                 std::move(request.onConnected)};
    // The connect runs on by itself; the flows drop what it finds once they are gone.
    m_model.publishing().connectPublishing(std::move(params), false);
}

void AppSchedulingContext::offerWebflowConnectionReset()
{
    m_model.publishing().offerWebflowConnectionReset();
}

QCoro::Task<> AppSchedulingContext::verifyScope(QString mcpName)
{
    return m_model.authorizer().scope().verifyScope(std::move(mcpName));
}

void AppSchedulingContext::requestSignIn(const QString &reason, std::function<void()> onSuccess)
{
    m_model.cloud().requestSignIn(reason, std::move(onSuccess));
}
