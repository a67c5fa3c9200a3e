// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/SchedulingContext.h"

#include <QHash>
#include <QSet>

#include <coroutine>
#include <utility>
#include <vector>

/// @brief A wait that ends when the test opens it; every waiter resumes inside `open`.
class Gate
{
public:
    bool closed = false;

    QCoro::Task<> pass()
    {
        if (closed)
            co_await Awaiter{*this};
    }
    void open()
    {
        closed = false;
        const std::vector<std::coroutine_handle<>> waiting = std::exchange(m_waiting, {});
        for (const std::coroutine_handle<> handle : waiting)
            handle.resume();
    }
    ~Gate() { open(); }

private:
    struct Awaiter
    {
        Gate &gate;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle) { gate.m_waiting.push_back(handle); }
        void await_resume() const noexcept {}
    };
    std::vector<std::coroutine_handle<>> m_waiting;
};

/**
 * @brief The scheduling screen's surroundings as a test sets them: projects, sites, access and
 * domains it fills in, a store whose operations settle as the test scripts them (held at a gate
 * when it asks), and records of every request, connect, verification and sign-in.
 */
class FakeSchedulingContext final : public SchedulingContext
{
public:
    // Reads.
    QList<ProjectSite> projectList;
    QHash<QString, SiteRecord> sites;
    QSet<QString> access;
    bool settled = true;
    bool recoveryAttempts = false;
    QHash<QString, QList<PublishDomain>> domainMap;
    /// Pinned to a summer morning in Los Angeles in US English; tests move `now` by hand.
    ScheduleTimeContext time{QDateTime(QDate(2026, 6, 3), QTime(10, 0, 45), QTimeZone("America/Los_Angeles")),
                             QTimeZone("America/Los_Angeles"), QLocale(QStringLiteral("en_US"))};
    bool cloud = true;
    AccountModel::SessionKind session = AccountModel::SessionKind::Authenticated;
    bool profile = true;
    bool bannerDismissed = false;
    std::optional<CloudAuthSnapshot> snapshot;
    QList<ScheduledPublish> queue;

    // The store.
    QList<ScheduledPublish> replaced;
    QHash<QUuid, ScheduleOperationStatus> statuses;
    /// How a replace settles once awaited.
    ScheduleOperationOutcome finalOutcome = ScheduleOperationOutcome::accepted();
    Gate operationGate;
    /// What a refresh of the queue settles every held operation to; none leaves them.
    std::optional<ScheduleOperationOutcome> outcomeAfterRefresh;
    /// Forget the operations at a refresh, as a store rebound to another account would.
    bool forgetAtRefresh = false;
    int refreshCount = 0;
    Gate refreshGate;

    // Flows.
    std::optional<QDateTime> lastUpdated;
    int fetchCount = 0;
    Gate fetchGate;
    QList<ConfirmRequest> presented;
    bool revocationPending = false;
    QList<PublishConnectRequest> connects;
    QStringList verified;
    /// Site record a verification finds for the project it checks.
    std::optional<std::pair<QUuid, SiteRecord>> verificationFinds;
    int resetOffers = 0;
    QStringList signInReasons;
    std::function<void()> signInSuccess;

    QList<ProjectSite> projects() const override { return projectList; }
    std::optional<SiteRecord> site(const QString &siteID) const override
    {
        const auto found = sites.constFind(siteID);
        return found == sites.cend() ? std::nullopt : std::optional(*found);
    }
    bool hasPublishingAccess(const QString &siteID) const override { return access.contains(siteID); }
    bool publishingAccessSettled() const override { return settled; }
    bool hasOAuthRecoveryAttempts() const override { return recoveryAttempts; }
    QList<PublishDomain> publishDomains(const QString &siteID) const override { return domainMap.value(siteID); }
    ScheduleTimeContext timeContext() const override { return time; }
    AccountModel::SessionKind cloudSession() const override { return session; }
    bool hasAccountProfile() const override { return profile; }
    bool cloudBannerDismissed() const override { return bannerDismissed; }
    void dismissCloudBanner() override { bannerDismissed = true; }

    ScheduleOperationStatus replaceSchedule(const ScheduledPublish &draft) override
    {
        replaced.append(draft);
        const ScheduleOperationStatus status{QUuid::createUuid(), ScheduleOperationKind::replace(draft.id, draft.siteId),
                                             ScheduleOperationOutcome::pending()};
        statuses.insert(status.id, status);
        return status;
    }
    QCoro::Task<std::optional<ScheduleOperationStatus>> awaitOperation(QUuid operationID) override
    {
        co_await operationGate.pass();
        const auto found = statuses.find(operationID);
        if (found == statuses.end())
            co_return std::nullopt;
        found->outcome = finalOutcome;
        co_return *found;
    }
    QCoro::Task<bool> refreshQueue() override
    {
        ++refreshCount;
        co_await refreshGate.pass();
        if (forgetAtRefresh)
            statuses.clear();
        if (outcomeAfterRefresh) {
            for (ScheduleOperationStatus &status : statuses)
                status.outcome = *outcomeAfterRefresh;
        }
        co_return true;
    }
    std::optional<ScheduleOperationStatus> operationStatus(const QUuid &operationID) const override
    {
        const auto found = statuses.constFind(operationID);
        return found == statuses.cend() ? std::nullopt : std::optional(*found);
    }
    std::optional<CloudAuthSnapshot> identity() const override { return snapshot; }
    std::optional<ScheduledPublish> scheduleForSite(const QString &siteID) const override
    {
        for (const ScheduledPublish &schedule : queue) {
            if (schedule.siteId == siteID)
                return schedule;
        }
        return std::nullopt;
    }
    bool cloudScheduling() const override { return cloud; }

    QCoro::Task<std::optional<QDateTime>> fetchSiteLastUpdated(QString) override
    {
        ++fetchCount;
        co_await fetchGate.pass();
        co_return lastUpdated;
    }
    void present(ConfirmRequest request) override { presented.append(std::move(request)); }
    bool refuseWhileRevocationPending(const std::optional<QString> &, const QString &,
                                      const std::optional<QString> &) override
    {
        return revocationPending;
    }
    void connectPublishing(PublishConnectRequest request) override { connects.append(std::move(request)); }
    void offerWebflowConnectionReset() override { ++resetOffers; }
    QCoro::Task<> verifyScope(QString mcpName) override
    {
        verified.append(mcpName);
        if (verificationFinds) {
            for (ProjectSite &entry : projectList) {
                if (entry.project.id == verificationFinds->first)
                    entry.site = verificationFinds->second;
            }
        }
        co_return;
    }
    void requestSignIn(const QString &reason, std::function<void()> onSuccess) override
    {
        signInReasons.append(reason);
        signInSuccess = std::move(onSuccess);
    }

    /// Confirms the newest request, as the overlay's confirm button does.
    void confirmLatest()
    {
        const ConfirmRequest request = presented.last();
        if (request.action)
            request.action();
    }
};
