// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/SessionVault.h"
#include "backend/BackendClient.h"
#include "support/FakeBackend.h"
#include "support/ManualClock.h"
#include "support/MemorySessionStorage.h"

#include <QSignalSpy>
#include <QTest>

#include <QCoro/QCoroTask>

using namespace std::chrono_literals;

Q_DECLARE_METATYPE(BackendQuery)
Q_DECLARE_METATYPE(BackendError::TransportEnd)

namespace {

const QString kUserId = QStringLiteral("3f2b8c1e-5d4a-4e8f-9a7b-1c2d3e4f5a6b");

QByteArray header(const FakeBackend::Request &request, const QByteArray &name)
{
    return request.header(name);
}

} // namespace

class tst_BackendClient : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeBackend> m_fake;
    std::unique_ptr<MemorySessionStorage> m_storage;
    std::unique_ptr<ManualClock> m_clock;

    std::unique_ptr<BackendClient> makeClient(SessionStorage *storage = nullptr,
                                              std::chrono::milliseconds timeout = 5000ms)
    {
        BackendClient::Settings settings;
        settings.clock = m_clock.get();
        settings.requestTimeout = timeout;
        return std::make_unique<BackendClient>(m_fake->url(), FakeBackend::publishableKey,
                                               storage ? storage : m_storage.get(), settings);
    }

    // Signs in through the code check, so the fake knows the tokens.
    void signIn(BackendClient &client)
    {
        const auto user = QCoro::waitFor(client.verifyEmailCode(QStringLiteral("ada@example.com"), FakeBackend::validCode));
        QVERIFY(user.ok());
    }

    void checkCommonHeaders(const FakeBackend::Request &request, const QByteArray &bearer)
    {
        QCOMPARE(header(request, "apikey"), FakeBackend::publishableKey.toUtf8());
        QCOMPARE(header(request, "Authorization"), "Bearer " + bearer);
    }

private slots:
    void init()
    {
        m_fake = std::make_unique<FakeBackend>();
        m_storage = std::make_unique<MemorySessionStorage>();
        m_clock = std::make_unique<ManualClock>();
    }

    void cleanup()
    {
        m_fake.reset();
        m_storage.reset();
    }

    void codeRequestSendsTheExactBody()
    {
        const auto client = makeClient();
        const auto result = QCoro::waitFor(client->requestEmailCode(
            QStringLiteral("ada@example.com"), QJsonObject{{QStringLiteral("marketing_opt_in"), true}}));
        QVERIFY(result.ok());

        const auto requests = m_fake->requests("POST", QStringLiteral("/auth/v1/otp"));
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().query, QString());
        QCOMPARE(requests.first().body,
                 R"({"create_user":true,"data":{"marketing_opt_in":true},"email":"ada@example.com"})");
        checkCommonHeaders(requests.first(), FakeBackend::publishableKey.toUtf8());
        QCOMPARE(header(requests.first(), "Content-Type"), "application/json");
    }

    void codeRequestFailureCarriesTheServerMessage()
    {
        m_fake->script("POST", QStringLiteral("/auth/v1/otp"),
                       FakeBackend::authError(429, QStringLiteral("over_email_send_rate_limit"),
                                              QStringLiteral("email rate limit exceeded")));
        const auto client = makeClient();
        const auto result = QCoro::waitFor(client->requestEmailCode(QStringLiteral("ada@example.com"), {}));
        QVERIFY(!result.ok());
        QCOMPARE(result.error().kind(), BackendError::Kind::Server);
        QCOMPARE(result.error().status(), 429);
        QCOMPARE(result.error().message(), QStringLiteral("email rate limit exceeded"));
        QCOMPARE(result.error().code(), QStringLiteral("over_email_send_rate_limit"));
    }

    void verifyStoresAndAnnouncesTheSession()
    {
        const auto client = makeClient();
        QSignalSpy changes(client.get(), &BackendClient::authChanged);
        const auto user = QCoro::waitFor(client->verifyEmailCode(QStringLiteral("ada@example.com"), QStringLiteral("123456")));
        QVERIFY(user.ok());
        QCOMPARE(user.value().id, QUuid::fromString(kUserId));
        QCOMPARE(user.value().email, QStringLiteral("ada@example.com"));

        const auto requests = m_fake->requests("POST", QStringLiteral("/auth/v1/verify"));
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().body, R"({"email":"ada@example.com","token":"123456","type":"email"})");
        checkCommonHeaders(requests.first(), FakeBackend::publishableKey.toUtf8());

        const std::optional<BackendSession> session = client->currentSession();
        QVERIFY(session);
        QCOMPARE(session->accessToken, QStringLiteral("access-token-1"));
        QCOMPARE(session->refreshToken, QStringLiteral("refresh-token-1"));
        QCOMPARE(session->expiresAt, m_clock->now().addSecs(3600));
        QCOMPARE(BackendSession::fromStored(m_storage->items.value(BackendClient::sessionKey)), session);

        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.first().at(0).value<BackendClient::AuthEvent>(), BackendClient::AuthEvent::SignedIn);
        QCOMPARE(changes.first().at(1).value<std::optional<BackendSession>>(), session);
    }

    void rejectedCodeIsAServerErrorAndStoresNothing()
    {
        const auto client = makeClient();
        QSignalSpy changes(client.get(), &BackendClient::authChanged);
        const auto user = QCoro::waitFor(client->verifyEmailCode(QStringLiteral("ada@example.com"), QStringLiteral("000000")));
        QVERIFY(!user.ok());
        QCOMPARE(user.error().kind(), BackendError::Kind::Server);
        QCOMPARE(user.error().status(), 403);
        QCOMPARE(user.error().message(), QStringLiteral("Token has expired or is invalid"));
        QVERIFY(m_storage->items.isEmpty());
        QVERIFY(!client->currentSession());
        QCOMPARE(changes.size(), 0);
    }

    void signInThatCannotBeSavedFails()
    {
        m_storage->failure = BackendError::storage(4, SessionVault::failureSentence);
        const auto client = makeClient();
        const auto user = QCoro::waitFor(client->verifyEmailCode(QStringLiteral("ada@example.com"), FakeBackend::validCode));
        QVERIFY(!user.ok());
        QCOMPARE(user.error().kind(), BackendError::Kind::Storage);
        QCOMPARE(user.error().message(), SessionVault::failureSentence);
        QVERIFY(!client->currentSession());
    }

    void expiredSessionIsRefreshedBeforeTheCall()
    {
        m_fake->setTable(QStringLiteral("profiles"), QJsonArray{QJsonObject{{QStringLiteral("email"), QStringLiteral("ada@example.com")}}});
        const auto client = makeClient();
        signIn(*client);
        QSignalSpy changes(client.get(), &BackendClient::authChanged);
        m_clock->advance(3600 * 1000 - 59 * 1000); // inside the one-minute margin

        const auto rows = QCoro::waitFor(client->select(BackendQuery(QStringLiteral("profiles")).select(QStringLiteral("email"))));
        QVERIFY(rows.ok());

        const auto refreshes = m_fake->requests("POST", QStringLiteral("/auth/v1/token"));
        QCOMPARE(refreshes.size(), 1);
        QCOMPARE(refreshes.first().query, QStringLiteral("grant_type=refresh_token"));
        QCOMPARE(refreshes.first().body, R"({"refresh_token":"refresh-token-1"})");
        checkCommonHeaders(refreshes.first(), FakeBackend::publishableKey.toUtf8());

        const auto reads = m_fake->requests("GET", QStringLiteral("/rest/v1/profiles"));
        QCOMPARE(reads.size(), 1);
        checkCommonHeaders(reads.first(), "access-token-2");

        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.first().at(0).value<BackendClient::AuthEvent>(), BackendClient::AuthEvent::TokenRefreshed);
        QCOMPARE(BackendSession::fromStored(m_storage->items.value(BackendClient::sessionKey))->refreshToken,
                 QStringLiteral("refresh-token-2"));
    }

    void concurrentCallsShareOneRefresh()
    {
        m_fake->setTable(QStringLiteral("scheduled_publishes"), QJsonArray{});
        m_fake->setRpc(QStringLiteral("finish_project_removal"),
                       [](const FakeBackend::Request &) { return FakeBackend::Reply::json(200, true); });
        const auto client = makeClient();
        signIn(*client);
        m_clock->advance(2 * 3600 * 1000);

        auto read = client->select(BackendQuery(QStringLiteral("scheduled_publishes")).select(QStringLiteral("*")));
        auto call = client->rpc(QStringLiteral("finish_project_removal"), QJsonObject{});
        const auto readResult = QCoro::waitFor(std::move(read));
        const auto callResult = QCoro::waitFor(std::move(call));
        QVERIFY2(readResult.ok(), qPrintable(readResult.ok() ? QString() : readResult.error().message()));
        QVERIFY2(callResult.ok(), qPrintable(callResult.ok() ? QString() : callResult.error().message()));
        QCOMPARE(callResult.value(), QJsonValue(true));

        QCOMPARE(m_fake->requests("POST", QStringLiteral("/auth/v1/token")).size(), 1);
        checkCommonHeaders(m_fake->requests("GET", QStringLiteral("/rest/v1/scheduled_publishes")).first(), "access-token-2");
        checkCommonHeaders(m_fake->requests("POST", QStringLiteral("/rest/v1/rpc/finish_project_removal")).first(),
                           "access-token-2");
    }

    void refusedRefreshEndsTheSession()
    {
        const auto client = makeClient();
        signIn(*client);
        m_clock->advance(2 * 3600 * 1000);
        m_fake->script("POST", QStringLiteral("/auth/v1/token"),
                       FakeBackend::authError(400, QStringLiteral("refresh_token_already_used"),
                                              QStringLiteral("Invalid Refresh Token: Already Used")));
        QSignalSpy changes(client.get(), &BackendClient::authChanged);

        const auto session = QCoro::waitFor(client->session());
        QVERIFY(!session.ok());
        QCOMPARE(session.error().kind(), BackendError::Kind::SessionMissing);
        QCOMPARE(session.error().status(), 400);
        QCOMPARE(session.error().message(), QStringLiteral("Invalid Refresh Token: Already Used"));
        QVERIFY(!m_storage->items.contains(BackendClient::sessionKey));
        QVERIFY(!client->currentSession());
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.first().at(0).value<BackendClient::AuthEvent>(), BackendClient::AuthEvent::SignedOut);
        QCOMPARE(changes.first().at(1).value<std::optional<BackendSession>>(), std::nullopt);
    }

    void unreachableServerKeepsTheSession_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<BackendError::Kind>("kind");
        QTest::newRow("connection refused") << true << BackendError::Kind::Unreachable;
        QTest::newRow("server error") << false << BackendError::Kind::Server;
    }

    void unreachableServerKeepsTheSession()
    {
        QFETCH(bool, refused);
        QFETCH(BackendError::Kind, kind);
        const auto client = makeClient();
        signIn(*client);
        const QByteArray stored = m_storage->items.value(BackendClient::sessionKey);
        m_clock->advance(2 * 3600 * 1000);
        if (refused)
            m_fake->stopListening();
        else
            m_fake->script("POST", QStringLiteral("/auth/v1/token"),
                           FakeBackend::Reply::json(503, QJsonObject{{QStringLiteral("message"), QStringLiteral("upstream unavailable")}}));
        QSignalSpy changes(client.get(), &BackendClient::authChanged);

        const auto session = QCoro::waitFor(client->session());
        QVERIFY(!session.ok());
        QCOMPARE(session.error().kind(), kind);
        QVERIFY(!session.error().message().contains(QStringLiteral("127.0.0.1")));
        QCOMPARE(m_storage->items.value(BackendClient::sessionKey), stored);
        QVERIFY(client->currentSession());
        QCOMPARE(changes.size(), 0);
    }

    void globalSignOutThenLocal()
    {
        const auto client = makeClient();
        signIn(*client);
        QSignalSpy changes(client.get(), &BackendClient::authChanged);

        QVERIFY(QCoro::waitFor(client->signOut(BackendClient::SignOutScope::Global)).ok());
        const auto logouts = m_fake->requests("POST", QStringLiteral("/auth/v1/logout"));
        QCOMPARE(logouts.size(), 1);
        QCOMPARE(logouts.first().query, QStringLiteral("scope=global"));
        QCOMPARE(logouts.first().body, QByteArray());
        checkCommonHeaders(logouts.first(), "access-token-1");
        QVERIFY(!client->currentSession());
        QVERIFY(!m_storage->items.contains(BackendClient::sessionKey));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.first().at(0).value<BackendClient::AuthEvent>(), BackendClient::AuthEvent::SignedOut);

        QVERIFY(QCoro::waitFor(client->signOut(BackendClient::SignOutScope::Local)).ok());
        QCOMPARE(m_fake->requests().size(), 2); // verify and logout: the local sign-out asks nobody
        QCOMPARE(changes.size(), 1);
    }

    void globalSignOutOfflineStillEndsTheLocalSession()
    {
        const auto client = makeClient();
        signIn(*client);
        m_fake->script("POST", QStringLiteral("/auth/v1/logout"), FakeBackend::Reply{.drop = true});
        m_fake->script("POST", QStringLiteral("/auth/v1/logout"), FakeBackend::Reply{.drop = true});
        QSignalSpy changes(client.get(), &BackendClient::authChanged);

        const auto result = QCoro::waitFor(client->signOut(BackendClient::SignOutScope::Global));
        QVERIFY(!result.ok());
        QVERIFY(result.error().isTransport());
        QVERIFY(!client->currentSession());
        QVERIFY(!m_storage->items.contains(BackendClient::sessionKey));
        QCOMPARE(changes.size(), 1);
    }

    void sessionSurvivesARestartThroughTheVault()
    {
        SessionVault vault(QStringLiteral("studio.velliscor.quorvane.test-") + QUuid::createUuid().toString(QUuid::WithoutBraces));
        m_fake->setTable(QStringLiteral("profiles"), QJsonArray{QJsonObject{{QStringLiteral("email"), QStringLiteral("ada@example.com")}}});
        std::optional<BackendSession> before;
        {
            const auto client = makeClient(&vault);
            signIn(*client);
            before = client->currentSession();
        }
        const auto client = makeClient(&vault);
        QVERIFY(!client->currentSession());
        const auto loaded = QCoro::waitFor(client->loadStoredSession());
        QVERIFY(loaded.ok());
        QCOMPARE(loaded.value(), before);
        QVERIFY(QCoro::waitFor(client->select(BackendQuery(QStringLiteral("profiles")).select(QStringLiteral("email")).single())).ok());
        checkCommonHeaders(m_fake->requests("GET", QStringLiteral("/rest/v1/profiles")).first(), "access-token-1");

        QVERIFY(QCoro::waitFor(client->signOut(BackendClient::SignOutScope::Local)).ok());
        QCOMPARE(QCoro::waitFor(vault.read(BackendClient::sessionKey)).value(), std::nullopt);
    }

    void lockedStorageIsNotNoSession()
    {
        m_storage->failure = BackendError::storage(4, SessionVault::failureSentence);
        const auto client = makeClient();
        const auto loaded = QCoro::waitFor(client->loadStoredSession());
        QVERIFY(!loaded.ok());
        QCOMPARE(loaded.error().kind(), BackendError::Kind::Storage);
        const auto session = QCoro::waitFor(client->session());
        QCOMPARE(session.error().kind(), BackendError::Kind::Storage);
    }

    void dataCallsNeedASession()
    {
        const auto client = makeClient();
        const auto rows = QCoro::waitFor(client->select(BackendQuery(QStringLiteral("profiles")).select(QStringLiteral("*"))));
        QVERIFY(!rows.ok());
        QCOMPARE(rows.error().kind(), BackendError::Kind::SessionMissing);
        QVERIFY(m_fake->requests().isEmpty());
    }

    void rejectedTokenIsRenewedOnceAndRetried()
    {
        m_fake->setTable(QStringLiteral("site_publish_grants"), QJsonArray{});
        const auto client = makeClient();
        signIn(*client);
        m_fake->script("GET", QStringLiteral("/rest/v1/site_publish_grants"),
                       FakeBackend::postgrestError(401, QStringLiteral("PGRST301"), QStringLiteral("JWT expired")));
        const auto rows = QCoro::waitFor(client->select(BackendQuery(QStringLiteral("site_publish_grants")).select(QStringLiteral("site_id"))));
        QVERIFY(rows.ok());
        QCOMPARE(rows.value(), QJsonValue(QJsonArray{}));
        const auto reads = m_fake->requests("GET", QStringLiteral("/rest/v1/site_publish_grants"));
        QCOMPARE(reads.size(), 2);
        checkCommonHeaders(reads.at(1), "access-token-2");
    }

    void queryStrings_data()
    {
        QTest::addColumn<BackendQuery>("query");
        QTest::addColumn<QString>("expected");

        const QStringList historyStatuses{QStringLiteral("published"), QStringLiteral("failed"),
                                          QStringLiteral("skipped_drift"), QStringLiteral("skipped_targets_changed")};
        QTest::newRow("queue") << BackendQuery(QStringLiteral("scheduled_publishes"))
                                      .select(QStringLiteral("*"))
                                      .in(QStringLiteral("status"), {QStringLiteral("scheduled"), QStringLiteral("publishing")})
                               << QStringLiteral("select=*&status=in.(scheduled,publishing)");
        QTest::newRow("history") << BackendQuery(QStringLiteral("scheduled_publishes"))
                                        .select(QStringLiteral("*"))
                                        .in(QStringLiteral("status"), historyStatuses)
                                        .order(QStringLiteral("completed_at"), BackendQuery::Descending)
                                        .limit(50)
                                 << QStringLiteral("select=*&status=in.(published,failed,skipped_drift,skipped_targets_changed)"
                                                   "&order=completed_at.desc.nullslast&limit=50");
        QTest::newRow("unseen events") << BackendQuery(QStringLiteral("publish_events"))
                                              .select(QStringLiteral("id,kind,message,created_at"))
                                              .isNull(QStringLiteral("seen_at"))
                                              .order(QStringLiteral("created_at"), BackendQuery::Ascending)
                                       << QStringLiteral("select=id,kind,message,created_at&seen_at=is.null"
                                                         "&order=created_at.asc.nullslast");
        QTest::newRow("mark seen") << BackendQuery(QStringLiteral("publish_events"))
                                          .in(QStringLiteral("id"), {QStringLiteral("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"),
                                                                     QStringLiteral("11111111-2222-3333-4444-555555555555")})
                                   << QStringLiteral("id=in.(0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0,11111111-2222-3333-4444-555555555555)");
        QTest::newRow("grants") << BackendQuery(QStringLiteral("site_publish_grants"))
                                       .select(QStringLiteral("site_id,site_name,domains,created_at,connection_status"))
                                << QStringLiteral("select=site_id,site_name,domains,created_at,connection_status");
        QTest::newRow("recovery attempts") << BackendQuery(QStringLiteral("oauth_states"))
                                                  .select(QStringLiteral("state,site_id,site_name,created_at,provider"))
                                                  .eq(QStringLiteral("phase"), QStringLiteral("recovery_required"))
                                                  .order(QStringLiteral("created_at"), BackendQuery::Ascending)
                                           << QStringLiteral("select=state,site_id,site_name,created_at,provider"
                                                             "&phase=eq.recovery_required&order=created_at.asc.nullslast");
        QTest::newRow("truth") << BackendQuery(QStringLiteral("oauth_states")).select(QStringLiteral("operation_id,phase"))
                               << QStringLiteral("select=operation_id,phase");
        QTest::newRow("profile") << BackendQuery(QStringLiteral("profiles")).select(QStringLiteral("email,marketing_opt_in")).single()
                                 << QStringLiteral("select=email,marketing_opt_in");
        QTest::newRow("profile update") << BackendQuery(QStringLiteral("profiles")).eq(QStringLiteral("id"), kUserId)
                                        << QStringLiteral("id=eq.") + kUserId;
        QTest::newRow("reserved characters") << BackendQuery(QStringLiteral("t"))
                                                    .eq(QStringLiteral("name"), QStringLiteral("a+b&c=d #1"))
                                                    .in(QStringLiteral("site"), {QStringLiteral("x,y"), QStringLiteral("say \"hi\"")})
                                             << QStringLiteral("name=eq.a%2Bb%26c%3Dd%20%231"
                                                               "&site=in.(%22x,y%22,%22say%20%5C%22hi%5C%22%22)");
    }

    void queryStrings()
    {
        QFETCH(BackendQuery, query);
        QFETCH(QString, expected);
        QCOMPARE(query.queryString(), expected);

        // Exactly so on the wire.
        m_fake->setTable(query.table(), QJsonArray{QJsonObject{}});
        const auto client = makeClient();
        signIn(*client);
        const auto rows = QCoro::waitFor(client->select(query));
        QVERIFY2(rows.ok(), qPrintable(rows.ok() ? QString() : QString::number(int(rows.error().kind())) + rows.error().message()));
        QCOMPARE(m_fake->requests("GET", QStringLiteral("/rest/v1/") + query.table()).first().query, expected);
    }

    void singleReadAsksForOneObject()
    {
        m_fake->setTable(QStringLiteral("profiles"), QJsonArray{});
        const auto client = makeClient();
        signIn(*client);
        const auto row = QCoro::waitFor(client->select(BackendQuery(QStringLiteral("profiles")).select(QStringLiteral("email")).single()));
        QCOMPARE(header(m_fake->requests("GET", QStringLiteral("/rest/v1/profiles")).first(), "Accept"),
                 "application/vnd.pgrst.object+json");
        QVERIFY(!row.ok());
        QCOMPARE(row.error().status(), 406);
        QCOMPARE(row.error().code(), QStringLiteral("PGRST116"));
        QCOMPARE(row.error().message(), QStringLiteral("JSON object requested, multiple (or no) rows returned"));
    }

    void updateSendsValuesAndAsksForTheRows()
    {
        m_fake->setTable(QStringLiteral("profiles"), QJsonArray{QJsonObject{{QStringLiteral("marketing_opt_in"), true}}});
        const auto client = makeClient();
        signIn(*client);
        const auto changed = QCoro::waitFor(client->update(BackendQuery(QStringLiteral("profiles")).eq(QStringLiteral("id"), kUserId),
                                                           QJsonObject{{QStringLiteral("marketing_opt_in"), true}}));
        QVERIFY(changed.ok());
        const auto request = m_fake->requests("PATCH", QStringLiteral("/rest/v1/profiles")).first();
        QCOMPARE(request.query, QStringLiteral("id=eq.") + kUserId);
        QCOMPARE(request.body, R"({"marketing_opt_in":true})");
        QCOMPARE(header(request, "Prefer"), "return=representation");
        QCOMPARE(header(request, "Content-Type"), "application/json");
        checkCommonHeaders(request, "access-token-1");
    }

    void rpcRepliesAndErrors_data()
    {
        QTest::addColumn<FakeBackend::Reply>("reply");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");

        const QJsonObject verdict{{QStringLiteral("verdict"), QStringLiteral("cancelled")},
                                  {QStringLiteral("lease_id"), QStringLiteral("0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0")}};
        QTest::newRow("object") << FakeBackend::Reply::json(200, verdict) << true << QJsonValue(verdict) << 0 << QString();
        QTest::newRow("boolean") << FakeBackend::Reply::json(200, false) << true << QJsonValue(false) << 0 << QString();
        QTest::newRow("null") << FakeBackend::Reply::json(200, QJsonValue::Null) << true << QJsonValue() << 0 << QString();
        QTest::newRow("empty body") << FakeBackend::Reply{204, {}} << true << QJsonValue() << 0 << QString();
        QTest::newRow("raised exception")
            << FakeBackend::postgrestError(400, QStringLiteral("P0001"), QStringLiteral("duplicate publish target"))
            << false << QJsonValue() << 400 << QStringLiteral("duplicate publish target");
        QTest::newRow("not JSON") << FakeBackend::Reply{200, "<html>"} << false << QJsonValue() << 0
                                  << QStringLiteral("The backend's reply could not be read: the answer is not JSON");
    }

    void rpcRepliesAndErrors()
    {
        QFETCH(FakeBackend::Reply, reply);
        QFETCH(bool, ok);
        QFETCH(QJsonValue, value);
        QFETCH(int, status);
        QFETCH(QString, message);
        m_fake->setRpc(QStringLiteral("begin_project_removal"), [reply](const FakeBackend::Request &) { return reply; });
        const auto client = makeClient();
        signIn(*client);

        const QJsonObject parameters{{QStringLiteral("p_user"), kUserId},
                                     {QStringLiteral("p_connection_name"), QStringLiteral("webflow-acme")}};
        const auto result = QCoro::waitFor(client->rpc(QStringLiteral("begin_project_removal"), parameters));
        const auto request = m_fake->requests("POST", QStringLiteral("/rest/v1/rpc/begin_project_removal")).first();
        QCOMPARE(request.body, R"({"p_connection_name":"webflow-acme","p_user":")" + kUserId.toUtf8() + R"("})");
        checkCommonHeaders(request, "access-token-1");
        QCOMPARE(result.ok(), ok);
        if (ok) {
            QCOMPARE(result.value(), value);
        } else {
            QCOMPARE(result.error().status(), status);
            QCOMPARE(result.error().message(), message);
        }
    }

    void edgeFunctionErrorCarriesStatusAndBody()
    {
        const QByteArray body = R"({"code":"revocation_pending","error":"Webflow has not confirmed the revocation yet."})";
        m_fake->setFunction(QStringLiteral("webflow-disconnect"),
                            [body](const FakeBackend::Request &) { return FakeBackend::Reply{409, body}; });
        m_fake->setFunction(QStringLiteral("site-state"), [](const FakeBackend::Request &) {
            return FakeBackend::Reply::json(200, QJsonObject{{QStringLiteral("lastUpdated"), QStringLiteral("2026-01-15T15:30:00.123Z")}});
        });
        const auto client = makeClient();
        signIn(*client);

        const auto state = QCoro::waitFor(client->invoke(QStringLiteral("site-state"), QJsonObject{{QStringLiteral("siteId"), QStringLiteral("site-1")}}));
        QVERIFY(state.ok());
        QCOMPARE(state.value(), R"({"lastUpdated":"2026-01-15T15:30:00.123Z"})");
        const auto request = m_fake->requests("POST", QStringLiteral("/functions/v1/site-state")).first();
        QCOMPARE(request.body, R"({"siteId":"site-1"})");
        QCOMPARE(request.query, QString());
        checkCommonHeaders(request, "access-token-1");

        const auto failed = QCoro::waitFor(client->invoke(QStringLiteral("webflow-disconnect"), QJsonObject{}));
        QVERIFY(!failed.ok());
        QCOMPARE(failed.error().kind(), BackendError::Kind::Server);
        QCOMPARE(failed.error().status(), 409);
        QCOMPARE(failed.error().body(), body);
        QCOMPARE(failed.error().code(), QStringLiteral("revocation_pending"));
        QCOMPARE(failed.error().message(), QStringLiteral("Webflow has not confirmed the revocation yet."));
    }

    void serverMessages_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");

        const QString secret = QStringLiteral("\u2039redacted\u203A");
        const QString ellipsis = QStringLiteral("\u2026");
        QTest::newRow("bearer in a JSON message")
            << QByteArray(R"({"msg":"Bearer abc.def was refused"})") << "Bearer " + secret + " was refused";
        QTest::newRow("session in a text body")
            << QByteArray(R"(upstream answered {"access_token":"abc","refresh_token":"r-1"})")
            << "upstream answered {\"access_token\":\"" + secret + "\",\"refresh_token\":\"" + secret + "\"}";
        QTest::newRow("lone surrogate before a key")
            << QByteArray(R"({"message":"\ud800 sb_secret_abcdefgh rejected"})")
            << QStringLiteral("\uFFFD ") + secret + " rejected";
        QTest::newRow("line breaks shown safely") << QByteArray("first line\nsecond line\n")
                                                  << QStringLiteral("first line\u00B7second line");
        QTest::newRow("500 characters kept") << QByteArray(500, 'a') << QString(500, u'a');
        QTest::newRow("a long JSON message")
            << QByteArray(R"({"message":")" + QByteArray(600, 'm') + R"("})") << QString(500, u'm') + ellipsis;
        QTest::newRow("an error page of 8 MB")
            << "<html>" + QByteArray(8 * 1024 * 1024, 'x') << "<html>" + QString(494, u'x') + ellipsis;
        QTest::newRow("nothing but white space") << QByteArray(" \n ") << QStringLiteral("The server answered with status 502.");
    }

    void serverMessages()
    {
        // The server's words reach the user's sentence, the log and the error report: never a
        // secret, never a page.
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        const BackendError error = BackendError::fromReply(502, body);
        QCOMPARE(error.kind(), BackendError::Kind::Server);
        QCOMPARE(error.message(), message);
        QCOMPARE(error.body(), body);
    }

    void transportFailuresAreToldApart()
    {
        m_fake->setTable(QStringLiteral("profiles"), QJsonArray{});
        // Long enough for the sign-in on a loaded machine, short against the 60 s delay below.
        const auto client = makeClient(nullptr, 2s);
        signIn(*client);
        const BackendQuery query = BackendQuery(QStringLiteral("profiles")).select(QStringLiteral("*"));

        m_fake->script("GET", QStringLiteral("/rest/v1/profiles"), FakeBackend::Reply{.delay = 60s});
        const auto slow = QCoro::waitFor(client->select(query));
        QVERIFY(!slow.ok());
        QCOMPARE(slow.error().kind(), BackendError::Kind::TimedOut);
        QCOMPARE(slow.error().message(), QStringLiteral("The request timed out."));

        m_fake->script("GET", QStringLiteral("/rest/v1/profiles"), FakeBackend::Reply{.drop = true});
        m_fake->script("GET", QStringLiteral("/rest/v1/profiles"), FakeBackend::Reply{.drop = true});
        const auto dropped = QCoro::waitFor(client->select(query));
        QVERIFY(!dropped.ok());
        QCOMPARE(dropped.error().kind(), BackendError::Kind::Offline);

        const auto longClient = makeClient(nullptr, 60s);
        m_fake->script("GET", QStringLiteral("/rest/v1/profiles"), FakeBackend::Reply{.delay = 60s});
        auto pending = longClient->select(query);
        QTRY_COMPARE(m_fake->requests("GET", QStringLiteral("/rest/v1/profiles")).size(), 4);
        longClient->cancelAll();
        const auto cancelled = QCoro::waitFor(std::move(pending));
        QVERIFY(!cancelled.ok());
        QCOMPARE(cancelled.error().kind(), BackendError::Kind::Cancelled);

        for (const auto &result : {slow, dropped, cancelled})
            QVERIFY(!result.error().message().contains(QStringLiteral("127.0.0.1")));
    }

    void transportEnds_data()
    {
        using End = BackendError::TransportEnd;
        QTest::addColumn<End>("end");
        QTest::addColumn<BackendError::Kind>("kind");
        QTest::addColumn<QString>("message");

        const QString timedOut = QStringLiteral("The request timed out.");
        const QString offline = QStringLiteral("The network connection appears to be offline.");
        QTest::newRow("abandoned") << End{QNetworkReply::OperationCanceledError, false, true}
                                   << BackendError::Kind::Cancelled << QStringLiteral("The request was cancelled.");
        QTest::newRow("past the client's limit") << End{QNetworkReply::OperationCanceledError, true}
                                                 << BackendError::Kind::TimedOut << timedOut;
        // Nobody abandoned it: Qt's transfer timeout ended it, and a time-out is never a quiet cancel.
        QTest::newRow("past Qt's transfer timeout") << End{QNetworkReply::OperationCanceledError}
                                                    << BackendError::Kind::TimedOut << timedOut;
        QTest::newRow("timeout error") << End{QNetworkReply::TimeoutError} << BackendError::Kind::TimedOut << timedOut;
        QTest::newRow("lookup fails without a network") << End{QNetworkReply::HostNotFoundError, false, false, false}
                                                        << BackendError::Kind::Offline << offline;
        QTest::newRow("lookup fails with a network")
            << End{QNetworkReply::HostNotFoundError} << BackendError::Kind::Unreachable
            << QStringLiteral("A server with the specified hostname could not be found.");
        QTest::newRow("refused without a network") << End{QNetworkReply::ConnectionRefusedError, false, false, false}
                                                   << BackendError::Kind::Unreachable
                                                   << QStringLiteral("Could not connect to the server.");
        QTest::newRow("connection lost") << End{QNetworkReply::RemoteHostClosedError} << BackendError::Kind::Offline
                                         << QStringLiteral("The network connection was lost.");
    }

    void transportEnds()
    {
        QFETCH(BackendError::TransportEnd, end);
        QFETCH(BackendError::Kind, kind);
        QFETCH(QString, message);
        const BackendError error = BackendError::fromTransport(end);
        QCOMPARE(error.kind(), kind);
        QCOMPARE(error.message(), message);
    }

    void failedLookup_data()
    {
        QTest::addColumn<bool>("networkUp");
        QTest::addColumn<BackendError::Kind>("kind");
        QTest::newRow("no network: offline") << false << BackendError::Kind::Offline;
        QTest::newRow("a network: the server is unknown") << true << BackendError::Kind::Unreachable;
    }

    void failedLookup()
    {
        QFETCH(bool, networkUp);
        QFETCH(BackendError::Kind, kind);
        int asked = 0;
        BackendClient::Settings settings;
        settings.clock = m_clock.get();
        settings.networkUp = [&asked, networkUp] {
            ++asked;
            return networkUp;
        };
        // ".invalid" is never a host name (RFC 6761): its lookup fails at once, with or without a network.
        BackendClient client(QUrl(QStringLiteral("http://quorvane-test.invalid")), FakeBackend::publishableKey,
                             m_storage.get(), settings);
        const auto sent = QCoro::waitFor(client.requestEmailCode(QStringLiteral("ada@example.com"), {}));
        QVERIFY(!sent.ok());
        QCOMPARE(sent.error().kind(), kind);
        QCOMPARE(asked, 1);
    }

    void sessionIsRenewedBeforeItExpires()
    {
        BackendClient::Settings settings;
        settings.clock = m_clock.get();
        settings.refreshMargin = 3600s - 30ms;
        BackendClient client(m_fake->url(), FakeBackend::publishableKey, m_storage.get(), settings);
        signIn(client);
        QSignalSpy changes(&client, &BackendClient::authChanged);
        QVERIFY(changes.wait());
        QCOMPARE(changes.first().at(0).value<BackendClient::AuthEvent>(), BackendClient::AuthEvent::TokenRefreshed);
        QCOMPARE(client.currentSession()->refreshToken, QStringLiteral("refresh-token-2"));
    }
};

QTEST_GUILESS_MAIN(tst_BackendClient)
#include "tst_BackendClient.moc"
