// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "backend/BackendClient.h"

#include "backend/SessionStorage.h"
#include "foundation/Clock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

#include <QCoro/QCoroNetworkReply>
#include <QCoro/QCoroSignal>

#include <algorithm>
#include <limits>

/// One renewal under way; callers that need a renewal meanwhile wait for its finished().
class BackendRefreshFlight : public QObject
{
    Q_OBJECT
public:
    std::optional<BackendResult<BackendSession>> result;
Q_SIGNALS:
    void finished();
};

namespace {

const QByteArray kJson = QByteArrayLiteral("application/json");

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// Any JSON value, scalars included (QJsonDocument reads only objects and arrays at the top);
// an empty body is null.
std::optional<QJsonValue> jsonValue(const QByteArray &body)
{
    if (body.trimmed().isEmpty())
        return QJsonValue(QJsonValue::Null);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson('[' + body + ']', &error);
    if (error.error != QJsonParseError::NoError || !document.isArray() || document.array().size() != 1)
        return std::nullopt;
    return document.array().at(0);
}

// Whether an interface other than loopback is up and running with an address beyond its own link:
// without one, no name can be looked up.
bool anyNetworkUp()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    return std::any_of(interfaces.cbegin(), interfaces.cend(), [](const QNetworkInterface &interface) {
        const QNetworkInterface::InterfaceFlags flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            return false;
        const QList<QNetworkAddressEntry> entries = interface.addressEntries();
        return std::any_of(entries.cbegin(), entries.cend(),
                           [](const QNetworkAddressEntry &entry) { return !entry.ip().isLinkLocal(); });
    });
}

// The auth service refuses a refresh token that is unknown, revoked or already used with a 4xx
// answer; time-outs and rate limits are 4xx too but say nothing about the token.
bool refusesToken(int status)
{
    return status >= 400 && status < 500 && status != 408 && status != 429;
}

// What an edge function answered: the body of a success, else the error. (The answer's type is
// the client's own.)
template<typename Answer>
BackendResult<QByteArray> functionReply(const BackendResult<Answer> &answer)
{
    if (!answer)
        return answer.error();
    if (!answer.value().isSuccess())
        return BackendError::fromReply(answer.value().status, answer.value().body);
    return answer.value().body;
}

} // namespace

BackendClient::BackendClient(QUrl url, QString publishableKey, SessionStorage *storage, Settings settings,
                             QObject *parent)
    : QObject(parent)
    , m_url(std::move(url))
    , m_publishableKey(std::move(publishableKey))
    , m_storage(storage)
    , m_settings(settings)
    , m_network(new QNetworkAccessManager(this))
{
    if (!m_settings.clock)
        m_settings.clock = &Clock::system();
    if (!m_settings.networkUp)
        m_settings.networkUp = anyNetworkUp;
    m_renewalTimer.setSingleShot(true);
    connect(&m_renewalTimer, &QTimer::timeout, this, [this] {
        QCoro::connect(refreshSession(), this, [](const BackendResult<BackendSession> &) {});
    });
}

BackendClient::~BackendClient() = default;

QCoro::Task<BackendResult<std::optional<BackendSession>>> BackendClient::loadStoredSession()
{
    // Members are returned as explicit copies: g++ 12 moves from any co_return operand, which
    // would empty the member.
    if (m_loaded)
        co_return std::optional<BackendSession>(m_session);
    const BackendResult<std::optional<QByteArray>> stored = co_await m_storage->read(sessionKey);
    if (!stored)
        co_return stored.error();
    // A session signed in while the storage was being read is newer than the stored one.
    if (!m_loaded) {
        m_loaded = true;
        if (stored.value())
            m_session = BackendSession::fromStored(*stored.value());
        scheduleRenewal();
    }
    co_return std::optional<BackendSession>(m_session);
}

QCoro::Task<BackendResult<BackendSession>> BackendClient::session()
{
    const auto loaded = co_await loadStoredSession();
    if (!loaded)
        co_return loaded.error();
    if (!m_session)
        co_return BackendError::sessionMissing();
    const qint64 margin = m_settings.refreshMargin.count();
    if (now().msecsTo(m_session->expiresAt) > margin)
        co_return BackendSession(*m_session);
    co_return co_await refreshSession();
}

QCoro::Task<BackendResult<BackendSession>> BackendClient::refreshSession()
{
    if (m_flight) {
        const std::shared_ptr<BackendRefreshFlight> flight = m_flight;
        co_await qCoro(flight.get(), &BackendRefreshFlight::finished);
        co_return BackendResult<BackendSession>(*flight->result);
    }
    const auto loaded = co_await loadStoredSession();
    if (!loaded)
        co_return loaded.error();
    if (m_flight) // another caller started a renewal while the storage was read
        co_return co_await refreshSession();
    if (!m_session)
        co_return BackendError::sessionMissing();

    const auto flight = std::make_shared<BackendRefreshFlight>();
    m_flight = flight;
    BackendResult<BackendSession> result = co_await renew(m_session->refreshToken);
    m_flight.reset();
    flight->result = result;
    Q_EMIT flight->finished();
    co_return result;
}

QCoro::Task<BackendResult<BackendSession>> BackendClient::renew(QString refreshToken)
{
    const QPointer<BackendClient> self(this);
    const Request request{"POST", endpoint(QStringLiteral("/auth/v1/token"), QStringLiteral("grant_type=refresh_token")),
                          compact({{QStringLiteral("refresh_token"), refreshToken}}), {}};
    const BackendResult<Answer> answer = co_await send(request, m_publishableKey);
    if (!self)
        co_return BackendError::fromTransport({QNetworkReply::OperationCanceledError, false, true});
    // Signed out or signed in anew while waiting: the answer belongs to a session that is gone.
    if (!m_session || m_session->refreshToken != refreshToken) {
        if (m_session)
            co_return BackendSession(*m_session);
        co_return BackendError::sessionMissing();
    }
    if (!answer)
        co_return answer.error();

    const Answer &reply = answer.value();
    if (!reply.isSuccess()) {
        const BackendError refusal = BackendError::fromReply(reply.status, reply.body);
        if (!refusesToken(reply.status))
            co_return refusal;
        co_await clearSession();
        co_return BackendError::sessionMissing(reply.status, refusal.message());
    }
    const std::optional<QJsonValue> json = jsonValue(reply.body);
    const std::optional<BackendSession> renewed =
        json && json->isObject() ? BackendSession::fromAuthReply(json->toObject(), now()) : std::nullopt;
    if (!renewed)
        co_return BackendError::invalidReply(QStringLiteral("the renewed session is incomplete"));
    const BackendResult<> stored = co_await storeSession(*renewed, AuthEvent::TokenRefreshed);
    if (!stored)
        co_return stored.error();
    co_return *renewed;
}

QCoro::Task<BackendResult<>> BackendClient::requestEmailCode(QString email, QJsonObject userMetadata)
{
    const QJsonObject body{{QStringLiteral("email"), email},
                           {QStringLiteral("create_user"), true},
                           {QStringLiteral("data"), userMetadata}};
    const Request request{"POST", endpoint(QStringLiteral("/auth/v1/otp")), compact(body), {}};
    const BackendResult<Answer> answer = co_await send(request, m_publishableKey);
    if (!answer)
        co_return answer.error();
    if (!answer.value().isSuccess())
        co_return BackendError::fromReply(answer.value().status, answer.value().body);
    co_return {};
}

QCoro::Task<BackendResult<BackendUser>> BackendClient::verifyEmailCode(QString email, QString code)
{
    const QJsonObject body{{QStringLiteral("type"), QStringLiteral("email")},
                           {QStringLiteral("email"), email},
                           {QStringLiteral("token"), code}};
    const QPointer<BackendClient> self(this);
    const Request request{"POST", endpoint(QStringLiteral("/auth/v1/verify")), compact(body), {}};
    const BackendResult<Answer> answer = co_await send(request, m_publishableKey);
    if (!answer)
        co_return answer.error();
    if (!answer.value().isSuccess())
        co_return BackendError::fromReply(answer.value().status, answer.value().body);
    const std::optional<QJsonValue> json = jsonValue(answer.value().body);
    if (!json || !json->isObject())
        co_return BackendError::invalidReply(QStringLiteral("the sign-in answer is not an object"));
    const QJsonObject object = json->toObject();

    if (object.contains(QLatin1StringView("access_token"))) {
        const std::optional<BackendSession> session = BackendSession::fromAuthReply(object, now());
        if (!session)
            co_return BackendError::invalidReply(QStringLiteral("the new session is incomplete"));
        if (!self)
            co_return session->user;
        const BackendResult<> stored = co_await storeSession(*session, AuthEvent::SignedIn);
        if (!stored)
            co_return stored.error();
        co_return session->user;
    }
    // Without a session the answer is the user itself (or holds it under "user").
    std::optional<BackendUser> user = BackendUser::fromJson(object);
    if (!user)
        user = BackendUser::fromJson(object.value(QLatin1StringView("user")).toObject());
    if (!user)
        co_return BackendError::invalidReply(QStringLiteral("the sign-in answer names no user"));
    co_return *user;
}

QCoro::Task<BackendResult<>> BackendClient::signOut(SignOutScope scope)
{
    const QPointer<BackendClient> self(this);
    const auto loaded = co_await loadStoredSession();
    if (!loaded)
        co_return loaded.error();
    if (!self || !m_session)
        co_return {};
    if (scope == SignOutScope::Local)
        co_return co_await clearSession();

    // A valid access token, so that the server really ends the session rather than turning an
    // expired token away while the refresh token lives on.
    const BackendResult<BackendSession> valid = co_await session();
    std::optional<BackendError> failure;
    if (!valid) {
        if (valid.error().kind() != BackendError::Kind::SessionMissing)
            failure = valid.error();
    } else {
        const Request request{"POST", endpoint(QStringLiteral("/auth/v1/logout"), QStringLiteral("scope=global")),
                              {}, {}};
        const BackendResult<Answer> answer = co_await send(request, valid.value().accessToken);
        if (!answer) {
            failure = answer.error();
        } else if (const Answer &reply = answer.value(); !reply.isSuccess()) {
            // 401, 403 and 404 say that the session is already over on the server.
            if (reply.status != 401 && reply.status != 403 && reply.status != 404)
                failure = BackendError::fromReply(reply.status, reply.body);
        }
    }
    if (!self)
        co_return failure ? BackendResult<>(*failure) : BackendResult<>();
    const BackendResult<> cleared = co_await clearSession();
    if (failure)
        co_return *failure;
    co_return cleared;
}

QCoro::Task<BackendResult<QJsonValue>> BackendClient::select(BackendQuery query)
{
    const QByteArray accept = query.isSingle() ? QByteArrayLiteral("application/vnd.pgrst.object+json") : kJson;
    Request request{"GET", endpoint(QStringLiteral("/rest/v1/") + query.table(), query.queryString()), {}, {{"Accept", accept}}};
    co_return co_await sendForJson(std::move(request));
}

QCoro::Task<BackendResult<QJsonValue>> BackendClient::update(BackendQuery query, QJsonObject values)
{
    Request request{"PATCH", endpoint(QStringLiteral("/rest/v1/") + query.table(), query.queryString()), compact(values),
                    {{"Prefer", "return=representation"}}};
    co_return co_await sendForJson(std::move(request));
}

QCoro::Task<BackendResult<QJsonValue>> BackendClient::rpc(QString function, QJsonObject parameters)
{
    Request request{"POST", endpoint(QStringLiteral("/rest/v1/rpc/") + function), compact(parameters), {}};
    co_return co_await sendForJson(std::move(request));
}

QCoro::Task<BackendResult<QByteArray>> BackendClient::invoke(QString function, QJsonObject body)
{
    Request request{"POST", endpoint(QStringLiteral("/functions/v1/") + function), compact(body), {}};
    co_return functionReply(co_await sendAuthorized(std::move(request)));
}

QCoro::Task<BackendResult<QByteArray>> BackendClient::invokeWithCapability(QString function, QJsonObject body)
{
    const Request request{"POST", endpoint(QStringLiteral("/functions/v1/") + function), compact(body), {}};
    const BackendResult<BackendSession> valid = co_await session();
    const QString bearer = valid ? valid.value().accessToken : m_publishableKey;
    co_return functionReply(co_await send(request, bearer));
}

void BackendClient::cancelAll()
{
    const QSet<QNetworkReply *> replies = m_inFlight;
    m_abandoned.unite(replies);
    for (QNetworkReply *reply : replies)
        reply->abort();
}

QUrl BackendClient::endpoint(const QString &path, const QString &query) const
{
    QUrl url = m_url;
    QString base = url.path();
    while (base.endsWith(u'/'))
        base.chop(1);
    url.setPath(base + path);
    url.setQuery(query.isEmpty() ? QString() : query, QUrl::StrictMode);
    return url;
}

QDateTime BackendClient::now() const
{
    return m_settings.clock->now();
}

QCoro::Task<BackendResult<BackendClient::Answer>> BackendClient::send(Request request, QString bearer)
{
    QNetworkRequest http(request.url);
    // Our endpoints never redirect; following one would carry the bearer token elsewhere.
    http.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    http.setRawHeader("apikey", m_publishableKey.toUtf8());
    http.setRawHeader("Authorization", "Bearer " + bearer.toUtf8());
    if (!request.body.isEmpty())
        http.setRawHeader("Content-Type", kJson);
    if (!http.hasRawHeader("Accept"))
        http.setRawHeader("Accept", kJson);
    for (const auto &[name, value] : request.headers)
        http.setRawHeader(name, value);

    const QPointer<BackendClient> self(this);
    std::unique_ptr<QNetworkReply, void (*)(QNetworkReply *)> reply(
        m_network->sendCustomRequest(http, request.method, request.body),
        [](QNetworkReply *r) { r->deleteLater(); });
    m_inFlight.insert(reply.get());

    // Our own timer rather than the transfer timeout: it limits the whole request, not only the
    // pauses between its bytes.
    bool timedOut = false;
    QTimer timer;
    timer.setSingleShot(true);
    QNetworkReply *raw = reply.get();
    connect(&timer, &QTimer::timeout, raw, [&timedOut, raw] {
        timedOut = true;
        raw->abort();
    });
    timer.start(m_settings.requestTimeout);

    co_await reply.get();
    timer.stop();
    // A client that is gone took its requests with it: nobody is left to tell of them.
    bool abandoned = true;
    if (self) {
        m_inFlight.remove(raw);
        abandoned = m_abandoned.remove(raw);
    }

    const QNetworkReply::NetworkError error = reply->error();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (timedOut || error == QNetworkReply::OperationCanceledError || !status.isValid()) {
        const bool networkUp = !self || error != QNetworkReply::HostNotFoundError || m_settings.networkUp();
        co_return BackendError::fromTransport({error, timedOut, abandoned, networkUp});
    }
    co_return Answer{status.toInt(), reply->isOpen() ? reply->readAll() : QByteArray()};
}

QCoro::Task<BackendResult<BackendClient::Answer>> BackendClient::sendAuthorized(Request request)
{
    const QPointer<BackendClient> self(this);
    const BackendResult<BackendSession> valid = co_await session();
    if (!valid)
        co_return valid.error();
    BackendResult<Answer> answer = co_await send(request, valid.value().accessToken);
    // 401 is the answer to a token the server no longer accepts (a clock that runs behind ours, a
    // token revoked early): renew once and try again.
    if (!self || !answer || answer.value().status != 401)
        co_return answer;
    const BackendResult<BackendSession> renewed = co_await refreshSession();
    if (!renewed)
        co_return renewed.error();
    if (!self)
        co_return answer;
    co_return co_await send(request, renewed.value().accessToken);
}

QCoro::Task<BackendResult<QJsonValue>> BackendClient::sendForJson(Request request)
{
    const BackendResult<Answer> answer = co_await sendAuthorized(std::move(request));
    if (!answer)
        co_return answer.error();
    if (!answer.value().isSuccess())
        co_return BackendError::fromReply(answer.value().status, answer.value().body);
    const std::optional<QJsonValue> json = jsonValue(answer.value().body);
    if (!json)
        co_return BackendError::invalidReply(QStringLiteral("the answer is not JSON"));
    co_return *json;
}

QCoro::Task<BackendResult<>> BackendClient::storeSession(BackendSession session, AuthEvent event)
{
    if (event == AuthEvent::TokenRefreshed) {
        // The old refresh token is spent: the renewed session is the only one left, so it is
        // kept even when it cannot be saved.
        adoptSession(session, event);
        co_return co_await m_storage->write(sessionKey, session.toStored());
    }
    // A sign-in that cannot be saved would be lost at the next start: it fails instead.
    const QPointer<BackendClient> self(this);
    const BackendResult<> stored = co_await m_storage->write(sessionKey, session.toStored());
    if (stored && self)
        adoptSession(session, event);
    co_return stored;
}

void BackendClient::adoptSession(const BackendSession &session, AuthEvent event)
{
    m_loaded = true;
    m_session = session;
    scheduleRenewal();
    Q_EMIT authChanged(event, m_session);
}

QCoro::Task<BackendResult<>> BackendClient::clearSession()
{
    m_loaded = true;
    const bool hadSession = m_session.has_value();
    m_session.reset();
    m_renewalTimer.stop();
    if (hadSession)
        Q_EMIT authChanged(AuthEvent::SignedOut, std::nullopt);
    co_return co_await m_storage->remove(sessionKey);
}

void BackendClient::scheduleRenewal()
{
    m_renewalTimer.stop();
    if (!m_session)
        return;
    const qint64 remaining = now().msecsTo(m_session->expiresAt);
    qint64 due = remaining - m_settings.refreshMargin.count();
    // A token that lives no longer than the margin would otherwise be renewed again at once,
    // over and over.
    if (due <= 0 && remaining > 0)
        due = remaining / 2;
    m_renewalTimer.start(int(std::clamp<qint64>(due, 0, std::numeric_limits<int>::max())));
}

#include "BackendClient.moc"
