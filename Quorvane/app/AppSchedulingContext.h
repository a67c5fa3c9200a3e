// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/StoreSchedulingContext.h"

class AppModel;

/**
 * @brief The scheduling screen's surroundings in the running application: the model's projects
 * and sites, publishing access and its flows, the confirm queue, the cloud side's sign-in, and the
 * user's choice about the cloud note.
 *
 * The model owns it for its whole life; every screen and form built over the model's schedule
 * store reads through it, and it announces `changed` whenever one of those sources changes.
 */
class AppSchedulingContext final : public StoreSchedulingContext
{
    Q_OBJECT

public:
    /// The user default that remembers the cloud note was hidden for good.
    static inline const QString dismissedCloudBannerKey = QStringLiteral("dismissedCloudBanner");

    /// @p model must outlive the context; it is read only after construction.
    explicit AppSchedulingContext(AppModel &model, QObject *parent = nullptr);

    [[nodiscard]] QList<ProjectSite> projects() const override;
    [[nodiscard]] std::optional<SiteRecord> site(const QString &siteID) const override;
    [[nodiscard]] bool hasPublishingAccess(const QString &siteID) const override;
    [[nodiscard]] bool publishingAccessSettled() const override;
    [[nodiscard]] bool hasOAuthRecoveryAttempts() const override;
    [[nodiscard]] QList<PublishDomain> publishDomains(const QString &siteID) const override;
    [[nodiscard]] AccountModel::SessionKind cloudSession() const override;
    [[nodiscard]] bool hasAccountProfile() const override;
    [[nodiscard]] bool cloudBannerDismissed() const override;
    void dismissCloudBanner() override;

    QCoro::Task<std::optional<QDateTime>> fetchSiteLastUpdated(QString siteID) override;
    void present(ConfirmRequest request) override;
    bool refuseWhileRevocationPending(const std::optional<QString> &siteID, const QString &label,
                                      const std::optional<QString> &mcpName) override;
    void connectPublishing(PublishConnectRequest request) override;
    void offerWebflowConnectionReset() override;
    QCoro::Task<> verifyScope(QString mcpName) override;
    void requestSignIn(const QString &reason, std::function<void()> onSuccess) override;

private:
    AppModel &m_model;
};
