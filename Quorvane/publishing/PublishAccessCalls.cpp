// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/PublishAccessCalls.h"

#include "backend/BackendClient.h"
#include "foundation/JsonReader.h"

#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace {

template<typename Row>
QCoro::Task<BackendResult<QList<Row>>> readRows(BackendClient *client, BackendQuery query)
{
    const BackendResult<QJsonValue> reply = co_await client->select(std::move(query));
    if (!reply)
        co_return reply.error();
    QString error;
    std::optional<QList<Row>> rows = decodeJsonArray(reply.value(), &Row::fromJson, &error);
    if (!rows)
        co_return BackendError::invalidReply(error);
    co_return std::move(*rows);
}

// Edge functions answer with a JSON object; anything else fails the call.
template<typename Reply>
BackendResult<Reply> functionReply(const BackendResult<QByteArray> &reply)
{
    if (!reply)
        return reply.error();
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(reply.value(), &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject())
        return BackendError::invalidReply(u"the answer is not a JSON object"_s);
    QString error;
    std::optional<Reply> decoded = Reply::fromJson(document.object(), &error);
    if (!decoded)
        return BackendError::invalidReply(error);
    return std::move(*decoded);
}

template<typename Reply, typename Request>
QCoro::Task<BackendResult<Reply>> callFunction(BackendClient *client, QString function, Request request)
{
    const QJsonObject body = request.toJson();
    co_return functionReply<Reply>(co_await client->invoke(std::move(function), body));
}

} // namespace

namespace PublishAccessCalls {

QCoro::Task<BackendResult<QList<GrantRow>>> readGrants(BackendClient *client)
{
    const BackendQuery query = BackendQuery(u"site_publish_grants"_s)
                                   .select(u"site_id,site_name,domains,created_at,connection_status"_s);
    co_return co_await readRows<GrantRow>(client, query);
}

QCoro::Task<BackendResult<QList<OAuthRecoveryAttempt>>> readRecoveryAttempts(BackendClient *client)
{
    const BackendQuery query = BackendQuery(u"oauth_states"_s)
                                   .select(u"state,site_id,site_name,created_at,provider"_s)
                                   .eq(u"phase"_s, u"recovery_required"_s)
                                   .order(u"created_at"_s, BackendQuery::Ascending);
    co_return co_await readRows<OAuthRecoveryAttempt>(client, query);
}

QCoro::Task<BackendResult<QList<OAuthTruthRow>>> readCancellationTruth(BackendClient *client)
{
    const BackendQuery query = BackendQuery(u"oauth_states"_s).select(u"operation_id,phase"_s);
    co_return co_await readRows<OAuthTruthRow>(client, query);
}

QCoro::Task<BackendResult<OAuthStartResponse>> startOAuth(BackendClient *client, StartRequest request)
{
    co_return co_await callFunction<OAuthStartResponse>(client, u"webflow-mcp-oauth-start"_s, request);
}

QCoro::Task<BackendResult<OAuthCancelResponse>> cancelOAuth(BackendClient *client, OAuthCancelRequest request)
{
    // The one-time capability in the body authorises the cancel, so it also goes out under
    // another account's session, or signed out, after the account that started it has gone.
    const QJsonObject body = request.toJson();
    co_return functionReply<OAuthCancelResponse>(co_await client->invokeWithCapability(u"webflow-oauth-cancel"_s, body));
}

QCoro::Task<BackendResult<DisconnectResult>> disconnect(BackendClient *client, DisconnectRequest request)
{
    co_return co_await callFunction<DisconnectResult>(client, u"webflow-disconnect"_s, request);
}

QCoro::Task<BackendResult<SiteState>> readSiteState(BackendClient *client, SiteStateRequest request)
{
    co_return co_await callFunction<SiteState>(client, u"site-state"_s, request);
}

QCoro::Task<std::optional<StateVerdict>> inspectAttempt(BackendClient *client, InspectAttempt parameters)
{
    const QJsonObject body = parameters.toJson();
    const BackendResult<QJsonValue> reply = co_await client->rpc(u"inspect_publish_oauth_attempt"_s, body);
    if (!reply)
        co_return std::nullopt;
    co_return StateVerdict::fromReply(reply.value());
}

QCoro::Task<BackendResult<bool>> acknowledgeRecovery(BackendClient *client, RecoveryAcknowledgement parameters)
{
    const QJsonObject body = parameters.toJson();
    const BackendResult<QJsonValue> reply = co_await client->rpc(u"acknowledge_publish_oauth_recovery"_s, body);
    if (!reply)
        co_return reply.error();
    if (!reply.value().isBool())
        co_return BackendError::invalidReply(u"the answer is not a Boolean"_s);
    co_return reply.value().toBool();
}

} // namespace PublishAccessCalls
