// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/DisconnectResult.h"
#include "publishing/GrantRow.h"
#include "publishing/OAuthCancelResponse.h"
#include "publishing/OAuthRecoveryAttempt.h"
#include "publishing/OAuthStartResponse.h"
#include "publishing/OAuthTruthRow.h"
#include "publishing/SiteState.h"
#include "publishing/StateVerdict.h"
#include "support/JsonEdit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<GrantRow>)
Q_DECLARE_METATYPE(std::optional<OAuthRecoveryAttempt>)
Q_DECLARE_METATYPE(std::optional<DisconnectFailure>)
Q_DECLARE_METATYPE(std::optional<StateVerdict>)
Q_DECLARE_METATYPE(std::optional<QDateTime>)

namespace {

const QString operationText = u"1b4e28ba-2fa1-11d2-883f-0016d3cca427"_s;
const QString userText = u"6f9619ff-8b86-d011-b42d-00c04fc964ff"_s;

QJsonValue json(const QByteArray &text)
{
    // Scalars too: a reply may be a bare null or Boolean.
    return QJsonDocument::fromJson('[' + text + ']').array().at(0);
}

QJsonObject grantRow()
{
    const QJsonArray domains{
        QJsonObject{{u"id"_s, u"d1"_s}, {u"url"_s, u"https://acme.com"_s}, {u"isStaging"_s, false}},
        QJsonObject{{u"id"_s, u"d2"_s}, {u"url"_s, u"https://acme.webflow.io"_s}, {u"isStaging"_s, true}}};
    return {{u"site_id"_s, u"site-a"_s},
            {u"site_name"_s, u"Acme"_s},
            {u"domains"_s, domains},
            {u"created_at"_s, u"2026-03-08T09:30:00.123456+00:00"_s},
            {u"connection_status"_s, u"active"_s},
            {u"extra"_s, 1}};
}

QDateTime utc(int hour, int minute, int second, int millisecond = 0)
{
    return QDateTime(QDate(2026, 3, 8), QTime(hour, minute, second, millisecond), Qt::UTC);
}

} // namespace

class tst_PublishAccessWire : public QObject
{
    Q_OBJECT

private slots:
    void grantRows_data()
    {
        QTest::addColumn<QJsonObject>("row");
        QTest::addColumn<std::optional<GrantRow>>("expected");

        const QList<PublishDomain> domains{{u"d1"_s, u"https://acme.com"_s, false},
                                           {u"d2"_s, u"https://acme.webflow.io"_s, true}};
        const GrantRow full{u"site-a"_s, u"Acme"_s, domains, utc(9, 30, 0, 123), GrantConnectionStatus::Active};
        const auto except = [&full](auto change) {
            GrantRow row = full;
            change(row);
            return std::optional(row);
        };
        const std::optional<GrantRow> fails;

        QTest::newRow("every field, extra key ignored") << grantRow() << std::optional(full);
        QTest::newRow("status null") << with(grantRow(), u"connection_status"_s, QJsonValue::Null)
                                     << except([](GrantRow &row) { row.connectionStatus.reset(); });
        QTest::newRow("status missing") << with(grantRow(), u"connection_status"_s, QJsonValue::Undefined)
                                        << except([](GrantRow &row) { row.connectionStatus.reset(); });
        QTest::newRow("revocation confirmed") << with(grantRow(), u"connection_status"_s, u"revocation_confirmed"_s)
                                              << except([](GrantRow &row) {
                                                     row.connectionStatus = GrantConnectionStatus::RevocationConfirmed;
                                                 });
        QTest::newRow("status outside the four") << with(grantRow(), u"connection_status"_s, u"paused"_s) << fails;
        QTest::newRow("status in another case") << with(grantRow(), u"connection_status"_s, u"Active"_s) << fails;
        QTest::newRow("domains null") << with(grantRow(), u"domains"_s, QJsonValue::Null)
                                      << except([](GrantRow &row) { row.domains.reset(); });
        QTest::newRow("domains empty") << with(grantRow(), u"domains"_s, QJsonArray())
                                       << except([](GrantRow &row) { row.domains = QList<PublishDomain>(); });
        QTest::newRow("a domain without isStaging")
            << with(grantRow(), u"domains"_s, QJsonArray{QJsonObject{{u"id"_s, u"d1"_s}, {u"url"_s, u"https://acme.com"_s}}})
            << fails;
        QTest::newRow("site id null") << with(grantRow(), u"site_id"_s, QJsonValue::Null) << fails;
        QTest::newRow("site name null") << with(grantRow(), u"site_name"_s, QJsonValue::Null)
                                        << except([](GrantRow &row) { row.siteName.reset(); });
        QTest::newRow("site name a number") << with(grantRow(), u"site_name"_s, 7) << fails;
        QTest::newRow("timestamp without fraction") << with(grantRow(), u"created_at"_s, u"2026-03-08T09:30:00Z"_s)
                                                    << except([](GrantRow &row) { row.createdAt = utc(9, 30, 0); });
        QTest::newRow("timestamp only a date") << with(grantRow(), u"created_at"_s, u"2026-03-08"_s) << fails;
    }

    void grantRows()
    {
        QFETCH(QJsonObject, row);
        QFETCH(std::optional<GrantRow>, expected);
        QString error;
        QCOMPARE(GrantRow::fromJson(row, &error), expected);
        QCOMPARE(error.isEmpty(), expected.has_value());
    }

    void recoveryRows_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<std::optional<OAuthRecoveryAttempt>>("expected");

        QTest::newRow("every field")
            << QByteArray(R"({"state":"s1","site_id":"site-a","site_name":"Acme","created_at":"2026-03-08T09:30:00.5Z","provider":"webflow_mcp"})")
            << std::optional(OAuthRecoveryAttempt{u"s1"_s, u"site-a"_s, u"Acme"_s, utc(9, 30, 0, 500), u"webflow_mcp"_s});
        QTest::newRow("provider null")
            << QByteArray(R"({"state":"s1","created_at":"2026-03-08T09:30:00+00:00","provider":null})")
            << std::optional(OAuthRecoveryAttempt{u"s1"_s, {}, {}, utc(9, 30, 0), {}});
        QTest::newRow("created_at null") << QByteArray(R"({"state":"s1","created_at":null})")
                                         << std::optional<OAuthRecoveryAttempt>();
        QTest::newRow("state missing") << QByteArray(R"({"created_at":"2026-03-08T09:30:00Z"})")
                                       << std::optional<OAuthRecoveryAttempt>();
    }

    void recoveryRows()
    {
        QFETCH(QByteArray, row);
        QFETCH(std::optional<OAuthRecoveryAttempt>, expected);
        QCOMPARE(OAuthRecoveryAttempt::fromJson(json(row)), expected);
    }

    void truthRowsReadUuidsInEitherCase()
    {
        const auto lower = OAuthTruthRow::fromJson(json(R"({"operation_id":")" + operationText.toUtf8() + R"(","phase":"committed"})"));
        const auto upper = OAuthTruthRow::fromJson(
            json(R"({"operation_id":")" + operationText.toUpper().toUtf8() + R"(","phase":"cancelled"})"));
        QVERIFY(lower && upper);
        QCOMPARE(lower->operationID, QUuid::fromString(operationText));
        QCOMPARE(upper->operationID, QUuid::fromString(operationText));
        QVERIFY(!OAuthTruthRow::fromJson(json(R"({"operation_id":null,"phase":"committed"})")));
        QVERIFY(!OAuthTruthRow::fromJson(json(R"({"operation_id":"op-1","phase":"committed"})")));
    }

    void startRequestLeavesAbsentKeysOut()
    {
        const QUuid user = QUuid::fromString(userText);
        const QUuid operation = QUuid::fromString(operationText);
        QCOMPARE(QJsonDocument(StartRequest{{}, {}, user, operation}.toJson()).toJson(QJsonDocument::Compact),
                 R"({"expectedUserId":")" + userText.toUpper().toUtf8() + R"(","operationId":")"
                     + operationText.toUpper().toUtf8() + R"("})");
        const QJsonObject named = StartRequest{u"site-a"_s, u"Acme"_s, user, operation}.toJson();
        QCOMPARE(named.value("siteId"_L1), QJsonValue(u"site-a"_s));
        QCOMPARE(named.value("siteName"_L1), QJsonValue(u"Acme"_s));
    }

    void startAndCancelReplies()
    {
        const QJsonObject start{{u"authorizeURL"_s, u"https://webflow.com/oauth/authorize?x=1"_s},
                                {u"state"_s, u"st"_s},
                                {u"operationId"_s, operationText},
                                {u"cancelCapability"_s, u"cap"_s}};
        QCOMPARE(OAuthStartResponse::fromJson(start),
                 std::optional(OAuthStartResponse{u"https://webflow.com/oauth/authorize?x=1"_s, u"st"_s,
                                                  QUuid::fromString(operationText), u"cap"_s}));
        QJsonObject withoutCapability = start;
        withoutCapability.remove(u"cancelCapability"_s);
        QVERIFY(!OAuthStartResponse::fromJson(withoutCapability));

        QCOMPARE(OAuthCancelResponse::fromJson(QJsonObject()), std::optional(OAuthCancelResponse{}));
        QCOMPARE(OAuthCancelResponse::fromJson(json(R"({"cancelled":false,"alreadyTerminal":true})")),
                 std::optional(OAuthCancelResponse{false, true}));
        QVERIFY(!OAuthCancelResponse::fromJson(json(R"({"cancelled":"yes"})")));
        QCOMPARE(QJsonDocument(OAuthCancelRequest{u"st"_s, QUuid::fromString(operationText), u"cap"_s}.toJson())
                     .toJson(QJsonDocument::Compact),
                 R"({"cancelCapability":"cap","operationId":")" + operationText.toUpper().toUtf8() + R"(","state":"st"})");
    }

    void disconnectReplies()
    {
        QCOMPARE(DisconnectResult::fromJson(json(R"({"disconnected":false,"alreadyDisconnected":true})")),
                 std::optional(DisconnectResult{false, true}));
        QCOMPARE(DisconnectResult::fromJson(json(R"({"disconnected":true})")), std::optional(DisconnectResult{true, {}}));
        QVERIFY(!DisconnectResult::fromJson(json(R"({"alreadyDisconnected":true})")));
        QVERIFY(!DisconnectResult::fromJson(json(R"({"disconnected":"true"})")));
    }

    void disconnectFailures_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<std::optional<DisconnectFailure>>("expected");
        QTest::addColumn<bool>("pending");

        QTest::newRow("code revocation_pending")
            << QByteArray(R"({"code":"revocation_pending","error":"Still revoking."})")
            << std::optional(DisconnectFailure{u"revocation_pending"_s, u"Still revoking."_s, {}}) << true;
        QTest::newRow("pending_revocation true, other code")
            << QByteArray(R"({"code":"upstream","pending_revocation":true})")
            << std::optional(DisconnectFailure{u"upstream"_s, {}, true}) << true;
        QTest::newRow("only an error") << QByteArray(R"({"error":"Grant not found."})")
                                       << std::optional(DisconnectFailure{{}, u"Grant not found."_s, {}}) << false;
        QTest::newRow("empty body") << QByteArray() << std::optional<DisconnectFailure>() << false;
        QTest::newRow("not JSON") << QByteArray("<html>502</html>") << std::optional<DisconnectFailure>() << false;
        QTest::newRow("not UTF-8") << QByteArray("{\"error\":\"\xff\"}") << std::optional<DisconnectFailure>() << false;
        QTest::newRow("pending_revocation as text") << QByteArray(R"({"pending_revocation":"true"})")
                                                    << std::optional<DisconnectFailure>() << false;
        QTest::newRow("a JSON array") << QByteArray(R"([{"code":"revocation_pending"}])")
                                      << std::optional<DisconnectFailure>() << false;
    }

    void disconnectFailures()
    {
        QFETCH(QByteArray, body);
        QFETCH(std::optional<DisconnectFailure>, expected);
        QFETCH(bool, pending);
        const std::optional<DisconnectFailure> failure = DisconnectFailure::fromBody(body);
        QCOMPARE(failure, expected);
        QCOMPARE(failure && failure->isPendingRevocation(), pending);
    }

    void inspectVerdicts_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<std::optional<StateVerdict>>("expected");

        const std::optional<StateVerdict> none;
        QTest::newRow("null") << QByteArray("null") << none;
        QTest::newRow("committed without outcome") << QByteArray(R"({"phase":"committed"})") << none;
        QTest::newRow("recovery required without outcome")
            << QByteArray(R"({"phase":"recovery_required","site_id":"site-a"})")
            << std::optional(StateVerdict{u"recovery_required"_s, {}, {}, u"site-a"_s});
        QTest::newRow("reconciliation pending without outcome") << QByteArray(R"({"phase":"reconciliation_pending"})")
                                                                << std::optional(StateVerdict{u"reconciliation_pending"_s, {}, {}, {}});
        QTest::newRow("granted in any phase")
            << QByteArray(R"({"phase":"committed","outcome":"granted","landed_site_id":"site-b"})")
            << std::optional(StateVerdict{u"committed"_s, u"granted"_s, u"site-b"_s, {}});
        QTest::newRow("an array") << QByteArray(R"([{"phase":"committed","outcome":"granted"}])") << none;
        QTest::newRow("phase missing") << QByteArray(R"({"outcome":"granted"})") << none;
    }

    void inspectVerdicts()
    {
        QFETCH(QByteArray, reply);
        QFETCH(std::optional<StateVerdict>, expected);
        QCOMPARE(StateVerdict::fromReply(json(reply)), expected);
    }

    void siteStateDates_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("decodes");
        QTest::addColumn<std::optional<QDateTime>>("expected");

        const std::optional<QDateTime> none;
        QTest::newRow("milliseconds and Z") << QByteArray(R"({"lastUpdated":"2026-03-08T15:30:00.123Z"})") << true
                                            << std::optional(utc(15, 30, 0, 123));
        QTest::newRow("no fraction") << QByteArray(R"({"lastUpdated":"2026-03-08T15:30:00Z"})") << true
                                     << std::optional(utc(15, 30, 0));
        QTest::newRow("an offset") << QByteArray(R"({"lastUpdated":"2026-03-08T17:30:00.5+02:00"})") << true
                                   << std::optional(utc(15, 30, 0, 500));
        QTest::newRow("no zone") << QByteArray(R"({"lastUpdated":"2026-03-08T15:30:00.123"})") << true << none;
        QTest::newRow("no zone, no fraction") << QByteArray(R"({"lastUpdated":"2026-03-08T15:30:00"})") << true << none;
        QTest::newRow("only a date") << QByteArray(R"({"lastUpdated":"2026-03-08"})") << true << none;
        QTest::newRow("an offset without colon") << QByteArray(R"({"lastUpdated":"2026-03-08T15:30:00+0000"})") << true
                                                 << none;
        QTest::newRow("null") << QByteArray(R"({"lastUpdated":null})") << true << none;
        QTest::newRow("missing") << QByteArray(R"({})") << true << none;
        QTest::newRow("a number") << QByteArray(R"({"lastUpdated":1700000000})") << false << none;
    }

    void siteStateDates()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, decodes);
        QFETCH(std::optional<QDateTime>, expected);
        const std::optional<SiteState> state = SiteState::fromJson(json(reply));
        QCOMPARE(state.has_value(), decodes);
        if (state)
            QCOMPARE(state->lastUpdatedDate(), expected);
    }
};

QTEST_GUILESS_MAIN(tst_PublishAccessWire)
#include "tst_PublishAccessWire.moc"
