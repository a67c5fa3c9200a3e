// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "account/AccountModel.h"
#include "model/CloudAuthSnapshot.h"
#include "model/ConfirmRequest.h"
#include "model/PublishDomain.h"
#include "model/SiteRecord.h"
#include "scheduling/ScheduleFormRules.h"
#include "scheduling/ScheduleOperationStatus.h"
#include "scheduling/ScheduleTimeRules.h"
#include "scheduling/ScheduledPublish.h"

#include <QObject>

#include <QCoro/QCoroTask>

#include <functional>
#include <optional>

/// @brief What a publishing connect started from the scheduling screen asks for.
struct PublishConnectRequest
{
    std::optional<QString> siteID;
    std::optional<QString> siteName;
    QString label;                  ///< the site as the user knows it
    std::optional<QString> mcpName;
    std::function<void()> onConnected; ///< run once the connect succeeded, while it is the current one
};

/**
 * @brief Everything the scheduling screen and its form use that lives beside or above the
 * schedule store: the projects and sites, publishing access, the confirm overlay, the sign-in
 * and verification flows, and the time.
 *
 * The application model implements it over its stores and flows; tests hand in their own. It
 * announces `changed` whenever anything its readers show may have changed.
 */
class SchedulingContext : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // --- Reads --------------------------------------------------------------------------------

    /// The projects in the project store's order, each with the site record the model finds.
    [[nodiscard]] virtual QList<ProjectSite> projects() const = 0;
    /// The site directory's record of @p siteID.
    [[nodiscard]] virtual std::optional<SiteRecord> site(const QString &siteID) const = 0;
    /// Whether publishing access is connected (and not awaiting recovery) for @p siteID.
    [[nodiscard]] virtual bool hasPublishingAccess(const QString &siteID) const = 0;
    /// Whether the access store is available, loaded once and not checking.
    [[nodiscard]] virtual bool publishingAccessSettled() const = 0;
    /// Whether interrupted Webflow authorizations wait for recovery (with the store available).
    [[nodiscard]] virtual bool hasOAuthRecoveryAttempts() const = 0;
    /// The site's stored publish domains, in stored order; empty when none are stored.
    [[nodiscard]] virtual QList<PublishDomain> publishDomains(const QString &siteID) const = 0;
    /// The backend session's state.
    [[nodiscard]] virtual AccountModel::SessionKind cloudSession() const = 0;
    /// Whether a profile from an earlier sign-in on this computer is cached.
    [[nodiscard]] virtual bool hasAccountProfile() const = 0;
    /// Whether the user hid the "Cloud scheduling" note for good (the "dismissedCloudBanner" default).
    [[nodiscard]] virtual bool cloudBannerDismissed() const = 0;
    /// Hides that note for good, stored at once.
    virtual void dismissCloudBanner() = 0;
    /// The current instant with the computer's zone and the user's locale.
    [[nodiscard]] virtual ScheduleTimeContext timeContext() const = 0;

    // --- Store ----------------------------------------------------------------------------------

    /// The schedule store's `replaceSchedule`: the operation's status at once.
    virtual ScheduleOperationStatus replaceSchedule(const ScheduledPublish &draft) = 0;
    /// The schedule store's `awaitOperation`.
    virtual QCoro::Task<std::optional<ScheduleOperationStatus>> awaitOperation(QUuid operationID) = 0;
    /// The schedule store's `refreshQueue`.
    virtual QCoro::Task<bool> refreshQueue() = 0;
    /// The latest status the store holds of @p operationID.
    [[nodiscard]] virtual std::optional<ScheduleOperationStatus> operationStatus(const QUuid &operationID) const = 0;
    /// The store's bound account with its identity counter; none when no account is bound.
    [[nodiscard]] virtual std::optional<CloudAuthSnapshot> identity() const = 0;
    /// The first publish of @p siteID in the store's queue.
    [[nodiscard]] virtual std::optional<ScheduledPublish> scheduleForSite(const QString &siteID) const = 0;
    /// Whether schedules are held and fired by the cloud.
    [[nodiscard]] virtual bool cloudScheduling() const = 0;

    // --- Flows ----------------------------------------------------------------------------------

    /// The site's last-update time for paranoid mode; none when it cannot be read.
    virtual QCoro::Task<std::optional<QDateTime>> fetchSiteLastUpdated(QString siteID) = 0;
    /// Shows a confirmation or notice in the confirm overlay.
    virtual void present(ConfirmRequest request) = 0;
    /// When the site's publishing revocation is still finishing, shows the model's notice and
    /// answers true; no connect may start then.
    virtual bool refuseWhileRevocationPending(const std::optional<QString> &siteID, const QString &label,
                                              const std::optional<QString> &mcpName) = 0;
    /// Starts a publishing connect, not pre-confirmed; nothing happens once the model is gone.
    virtual void connectPublishing(PublishConnectRequest request) = 0;
    /// Offers to reset the Webflow connection when recovery attempts wait.
    virtual void offerWebflowConnectionReset() = 0;
    /// The site scope check of one connection, shown in its activity sheet.
    virtual QCoro::Task<> verifyScope(QString mcpName) = 0;
    /// Asks for a sign-in; @p onSuccess runs after it succeeds.
    virtual void requestSignIn(const QString &reason, std::function<void()> onSuccess) = 0;

signals:
    /// Something a reader above shows may have changed.
    void changed();
};
