// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "backend/BackendClient.h"
#include "publishing/PublishAccessCalls.h"
#include "support/FakeBackend.h"
#include "support/ManualClock.h"
#include "support/MemorySessionStorage.h"

#include <QJsonArray>
#include <QTest>

#include <QCoro/QCoroTask>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FakeBackend::Reply)
Q_DECLARE_METATYPE(std::optional<StateVerdict>)

namespace {

const QString operation = u"1B4E28BA-2FA1-11D2-883F-0016D3CCA427"_s;
const QString user = u"3F2B8C1E-5D4A-4E8F-9A7B-1C2D3E4F5A6B"_s;

FakeBackend::Reply text(int status, const QByteArray &body)
{
    return FakeBackend::Reply{status, body};
}

} // namespace

// The calls of the connect, cancellation and reconciliation flows, each once through a real
// client: what goes out and how the reply is read. The store's tests cover the others.
class tst_PublishAccessCalls : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeBackend> m_fake;
    std::unique_ptr<MemorySessionStorage> m_storage;
    ManualClock m_clock;
    std::unique_ptr<BackendClient> m_client;

private slots:
    void init()
    {
        m_fake = std::make_unique<FakeBackend>();
        m_storage = std::make_unique<MemorySessionStorage>();
        m_storage->items.insert(BackendClient::sessionKey,
                                BackendSession::fromAuthReply(m_fake->issueSession(), m_clock.now())->toStored());
        BackendClient::Settings settings;
        settings.clock = &m_clock;
        m_client = std::make_unique<BackendClient>(m_fake->url(), FakeBackend::publishableKey, m_storage.get(), settings);
    }

    void cleanup()
    {
        m_client.reset();
        m_fake.reset();
    }

    void truthReadFailsOnOneBadRow()
    {
        m_fake->setTable(u"oauth_states"_s, QJsonArray{QJsonObject{{u"operation_id"_s, operation.toLower()}, {u"phase"_s, u"committed"_s}}});
        const auto rows = QCoro::waitFor(PublishAccessCalls::readCancellationTruth(m_client.get()));
        QVERIFY(rows.ok());
        QCOMPARE(rows.value(), QList<OAuthTruthRow>({{QUuid::fromString(operation), u"committed"_s}}));
        QCOMPARE(m_fake->requests("GET", u"/rest/v1/oauth_states"_s).first().query, u"select=operation_id,phase"_s);

        m_fake->setTable(u"oauth_states"_s, QJsonArray{QJsonObject{{u"operation_id"_s, operation}, {u"phase"_s, u"committed"_s}},
                                                        QJsonObject{{u"operation_id"_s, QJsonValue::Null}, {u"phase"_s, u"expired"_s}}});
        const auto bad = QCoro::waitFor(PublishAccessCalls::readCancellationTruth(m_client.get()));
        QVERIFY(!bad.ok());
        QCOMPARE(bad.error().kind(), BackendError::Kind::InvalidReply);
        QCOMPARE(bad.error().message(), u"The backend's reply could not be read: \"row 1.operation_id\" is missing"_s);
    }

    void startAndCancel()
    {
        m_fake->script("POST", u"/functions/v1/webflow-mcp-oauth-start"_s,
                       FakeBackend::Reply::json(200, QJsonObject{{u"authorizeURL"_s, u"https://webflow.com/oauth/authorize"_s},
                                                                 {u"state"_s, u"st"_s},
                                                                 {u"operationId"_s, operation},
                                                                 {u"cancelCapability"_s, u"cap"_s}}));
        const StartRequest start{{}, u"Acme"_s, QUuid::fromString(user), QUuid::fromString(operation)};
        const auto started = QCoro::waitFor(PublishAccessCalls::startOAuth(m_client.get(), start));
        QVERIFY(started.ok());
        QCOMPARE(started.value().state, u"st"_s);
        QCOMPARE(m_fake->requests("POST", u"/functions/v1/webflow-mcp-oauth-start"_s).first().body,
                 R"({"expectedUserId":")" + user.toUtf8() + R"(","operationId":")" + operation.toUtf8()
                     + R"(","siteName":"Acme"})");

        m_fake->script("POST", u"/functions/v1/webflow-oauth-cancel"_s, text(200, "{}"));
        const OAuthCancelRequest cancel{u"st"_s, QUuid::fromString(operation), u"cap"_s};
        const auto cancelled = QCoro::waitFor(PublishAccessCalls::cancelOAuth(m_client.get(), cancel));
        QVERIFY(cancelled.ok());
        QCOMPARE(cancelled.value(), OAuthCancelResponse{});

        m_fake->script("POST", u"/functions/v1/webflow-oauth-cancel"_s, text(200, "true"));
        const auto scalar = QCoro::waitFor(PublishAccessCalls::cancelOAuth(m_client.get(), cancel));
        QVERIFY(!scalar.ok());
        QCOMPARE(scalar.error().kind(), BackendError::Kind::InvalidReply);
    }

    void inspectNeverFails_data()
    {
        QTest::addColumn<FakeBackend::Reply>("reply");
        QTest::addColumn<std::optional<StateVerdict>>("expected");

        QTest::newRow("a verdict") << text(200, R"({"phase":"committed","outcome":"granted","landed_site_id":"site-a"})")
                                   << std::optional(StateVerdict{u"committed"_s, u"granted"_s, u"site-a"_s, {}});
        QTest::newRow("null") << text(200, "null") << std::optional<StateVerdict>();
        QTest::newRow("an empty body") << text(200, {}) << std::optional<StateVerdict>();
        QTest::newRow("an array") << text(200, R"([{"phase":"committed","outcome":"granted"}])")
                                  << std::optional<StateVerdict>();
        QTest::newRow("an error") << FakeBackend::postgrestError(400, u"P0001"_s, u"unknown state"_s)
                                  << std::optional<StateVerdict>();
    }

    void inspectNeverFails()
    {
        QFETCH(FakeBackend::Reply, reply);
        QFETCH(std::optional<StateVerdict>, expected);
        m_fake->script("POST", u"/rest/v1/rpc/inspect_publish_oauth_attempt"_s, reply);
        QCOMPARE(QCoro::waitFor(PublishAccessCalls::inspectAttempt(m_client.get(), InspectAttempt{u"st"_s})), expected);
        QCOMPARE(m_fake->requests("POST", u"/rest/v1/rpc/inspect_publish_oauth_attempt"_s).first().body,
                 R"({"p_state":"st"})");
    }
};

QTEST_GUILESS_MAIN(tst_PublishAccessCalls)
#include "tst_PublishAccessCalls.moc"
