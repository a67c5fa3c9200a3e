// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/ModelHarness.h"
#include "app/PanelState.h"
#include "backend/BackendClient.h"
#include "backend/BackendSession.h"
#include "support/FakeBackend.h"
#include "support/MemorySessionStorage.h"

#include <QJsonArray>
#include <QTest>

#include <memory>

/**
 * @brief What the tabs' tests stand on: a real application model over a temporary home
 * (ModelHarness), the panel's state for it and, when asked, the hosted backend played on loopback
 * with a session of the fake's user in the keyring.
 *
 * Build a fresh one per test function. Members go in reverse order of need: the panel goes
 * first, then the model, then the backend the model talks to.
 */
class TabFixture
{
public:
    enum class Backend { none, cloud };

    /// @p adjust changes the model's parts beyond these (release notes, …).
    explicit TabFixture(Backend backend = Backend::none, const std::function<void(AppModel::Environment &)> &adjust = {})
        : harness({}, [this, backend, &adjust](AppModel::Environment &environment) {
            if (adjust)
                adjust(environment);
            if (backend == Backend::none)
                return;
            environment.backend = BackendConfiguration{fake.url(), FakeBackend::publishableKey};
            sessions.items.insert(BackendClient::sessionKey,
                                  BackendSession::fromAuthReply(fake.issueSession(), environment.clock->now())->toStored());
            environment.sessionStorage = &sessions;
            environment.networkUp = [] { return true; };
        })
        , model(*harness.model)
        , panel(std::make_unique<PanelState>(model, harness.clock, harness.time.delay()))
    {
    }

    ~TabFixture()
    {
        panel.reset();
        // A refresh still under way would end against a model that is gone.
        if (!QTest::qWaitFor([this] { return !model.isRefreshing(); }, 10000))
            qWarning("a refresh was still running when the test ended");
    }

    TabFixture(const TabFixture &) = delete;
    TabFixture &operator=(const TabFixture &) = delete;

    [[nodiscard]] QString settingsFile() const { return harness.home.filePath(QStringLiteral("settings.ini")); }

    /// Applies the stored session as the launch does and waits until the first cloud refresh
    /// it starts has read everything; false when it does not. The backend serves the queue, the
    /// history and the events from its own fields, the @p grants, and the @p recoveryAttempts as
    /// the OAuth attempts waiting for a reset.
    [[nodiscard]] bool signIn(const QJsonArray &grants = {}, const QJsonArray &recoveryAttempts = {})
    {
        fake.serveScheduledPublishing();
        fake.servePublishEvents();
        fake.setUserTable(QStringLiteral("site_publish_grants"), [grants](const QUuid &) { return grants; });
        fake.route("GET", QStringLiteral("/rest/v1/oauth_states"), [recoveryAttempts](const FakeHttpServer::Request &request) {
            const bool recovery = request.query.contains(QStringLiteral("recovery_required"));
            return FakeHttpServer::Reply::json(200, recovery ? recoveryAttempts : QJsonArray());
        });
        model.cloud().startCloudBootstrap();
        return QTest::qWaitFor([this] { return model.cloud().cloudAuthUserID() == fake.userId; }, 10000)
            && QTest::qWaitFor([this] { return model.publishAccess().hasLoadedOnce(); }, 10000)
            && QTest::qWaitFor([this] { return model.cloud().cloudRefreshTask()->finished; }, 10000);
    }

    /// A grant of publishing access to @p site, as the grants table answers it.
    [[nodiscard]] static QJsonObject grant(const QString &site, const QString &name)
    {
        return {{QStringLiteral("site_id"), site},
                {QStringLiteral("site_name"), name},
                {QStringLiteral("domains"), QJsonArray()},
                {QStringLiteral("created_at"), QStringLiteral("2026-01-15T09:00:00+00:00")},
                {QStringLiteral("connection_status"), QStringLiteral("active")}};
    }

    /// An OAuth attempt of @p site that Webflow may have authorized without telling the backend.
    [[nodiscard]] static QJsonObject recoveryAttempt(const QString &site, const QString &name)
    {
        return {{QStringLiteral("state"), QStringLiteral("state-") + site},
                {QStringLiteral("site_id"), site},
                {QStringLiteral("site_name"), name},
                {QStringLiteral("created_at"), QStringLiteral("2026-01-15T09:00:00+00:00")},
                {QStringLiteral("provider"), QStringLiteral("webflow_mcp")}};
    }

    FakeBackend fake;
    MemorySessionStorage sessions;
    ModelHarness harness;
    AppModel &model;
    std::unique_ptr<PanelState> panel;
};
