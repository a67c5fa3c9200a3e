// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "ScheduleSamples.h"
#include "backend/BackendClient.h"
#include "foundation/UuidText.h"
#include "scheduling/ScheduleStore.h"
#include "support/FakeBackend.h"
#include "support/ManualDelay.h"
#include "support/MemorySessionStorage.h"
#include "support/StoreTesting.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <QCoro/QCoroTask>

#include <chrono>
#include <memory>

/**
 * @brief A schedule store as its owner makes it, with everything it is handed under the test's
 * control: the cache folder in a temporary home, a clock, an error log, a writer that can fail, a
 * poll delay that moves by hand, and the hosted backend played on loopback with a signed-in
 * session.
 *
 * Members go in reverse order: the store first, then the client (whose requests end with it), so
 * no coroutine is left waiting.
 */
struct ScheduleHarness
{
    static inline const QUuid userA = QUuid::fromString(QStringLiteral("3f2b8c1e-5d4a-4e8f-9a7b-1c2d3e4f5a6b"));
    static inline const QUuid userB = QUuid::fromString(QStringLiteral("9c8d7e6f-1a2b-4c3d-8e9f-0a1b2c3d4e5f"));

    StoreFixture files;
    FakeBackend fake;
    MemorySessionStorage storage;
    ManualDelay delay;
    std::unique_ptr<BackendClient> client;
    std::unique_ptr<ScheduleStore> store;

    ScheduleHarness() { fake.serveScheduledPublishing(); }

    [[nodiscard]] QString cachePath() const { return files.folder() + QStringLiteral("/scheduled-publishes.json"); }

    /// A store over the cache folder as it is now.
    ScheduleStore &makeStore(bool localOnly = false)
    {
        store.reset();
        store = std::make_unique<ScheduleStore>(files.log, files.clock, files.folder(), delay.delay(), localOnly,
                                                files.writer.writer());
        return *store;
    }

    /// A backend client whose stored session belongs to @p user.
    BackendClient &signInClient(const QUuid &user = userA)
    {
        fake.userId = user;
        storage.items.insert(BackendClient::sessionKey,
                             BackendSession::fromAuthReply(fake.issueSession(), files.clock.now())->toStored());
        BackendClient::Settings settings;
        settings.requestTimeout = std::chrono::milliseconds(5000);
        settings.clock = &files.clock;
        client = std::make_unique<BackendClient>(fake.url(), FakeBackend::publishableKey, &storage, settings);
        return *client;
    }

    /// A store bound to @p user with a signed-in client, after one applied queue read.
    ScheduleStore &cloudStore(const QUuid &user = userA)
    {
        ScheduleStore &made = makeStore();
        made.attachClient(&signInClient(user));
        made.bindAccount(user);
        if (!QCoro::waitFor(made.refreshQueue()))
            qFatal("the first queue read was not applied");
        return made;
    }

    /// A row of "scheduled_publishes" for @p schedule, as the service writes it.
    [[nodiscard]] static QJsonObject row(const ScheduledPublish &schedule, const QUuid &user,
                                         const QString &status = QStringLiteral("scheduled"))
    {
        QJsonArray domains;
        for (const PublishDomain &domain : schedule.domains)
            domains.append(domain.toJson());
        return {
            {QStringLiteral("id"), schedule.id.toString(QUuid::WithoutBraces)},
            {QStringLiteral("user_id"), user.toString(QUuid::WithoutBraces)},
            {QStringLiteral("connection_name"), schedule.connectionName},
            {QStringLiteral("site_id"), schedule.siteId},
            {QStringLiteral("site_name"), schedule.siteName},
            {QStringLiteral("publish_at"), FakeBackend::postgresTimestamp(schedule.publishAt)},
            {QStringLiteral("time_zone"), schedule.timeZoneID},
            {QStringLiteral("domains"), domains},
            {QStringLiteral("skip_if_changed"), schedule.skipIfChanged},
            {QStringLiteral("baseline_last_updated"),
             schedule.baselineLastUpdated ? QJsonValue(FakeBackend::postgresTimestamp(*schedule.baselineLastUpdated))
                                          : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("status"), status},
            {QStringLiteral("created_at"), FakeBackend::postgresTimestamp(schedule.createdAt)},
            {QStringLiteral("completed_at"), QJsonValue::Null},
            {QStringLiteral("failure"), QJsonValue::Null},
        };
    }

    /// The bodies of the calls made to an RPC, oldest first.
    [[nodiscard]] QList<QJsonObject> rpcCalls(const QString &function) const
    {
        QList<QJsonObject> bodies;
        for (const FakeHttpServer::Request &request : fake.requests("POST", QStringLiteral("/rest/v1/rpc/") + function))
            bodies.append(request.json());
        return bodies;
    }

    /// The cache file as JSON.
    [[nodiscard]] QJsonObject cacheDocument() const { return QJsonDocument::fromJson(fileBytes(cachePath())).object(); }
};
