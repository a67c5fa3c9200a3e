// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/FakeBackend.h"

#include <QDateTime>

FakeBackend::Reply FakeBackend::postgrestError(int status, const QString &code, const QString &message)
{
    return Reply::json(status, QJsonObject{{QStringLiteral("code"), code},
                                           {QStringLiteral("message"), message},
                                           {QStringLiteral("details"), QJsonValue::Null},
                                           {QStringLiteral("hint"), QJsonValue::Null}});
}

FakeBackend::Reply FakeBackend::authError(int status, const QString &errorCode, const QString &message)
{
    return Reply::json(status, QJsonObject{{QStringLiteral("code"), status},
                                           {QStringLiteral("error_code"), errorCode},
                                           {QStringLiteral("msg"), message}});
}

FakeBackend::FakeBackend(QObject *parent)
    : FakeHttpServer(parent)
{
    installAuthRoutes();
}

void FakeBackend::setTable(const QString &table, const QJsonArray &rows)
{
    setUserTable(table, [rows](const QUuid &) { return rows; });
}

void FakeBackend::setUserTable(const QString &table, std::function<QJsonArray(const QUuid &user)> rowsOf)
{
    const QString path = QStringLiteral("/rest/v1/") + table;
    route("GET", path, [this, rowsOf](const Request &request) {
        const QJsonArray rows = rowsOf(userOf(request));
        if (request.header("Accept") == "application/vnd.pgrst.object+json") {
            if (rows.size() != 1)
                return postgrestError(406, QStringLiteral("PGRST116"),
                                      QStringLiteral("JSON object requested, multiple (or no) rows returned"));
            return Reply::json(200, rows.first());
        }
        return Reply::json(200, rows);
    });
    route("PATCH", path, [this, rowsOf](const Request &request) { return Reply::json(200, rowsOf(userOf(request))); });
}

void FakeBackend::setRpc(const QString &function, Handler handler)
{
    route("POST", QStringLiteral("/rest/v1/rpc/") + function, std::move(handler));
}

void FakeBackend::setFunction(const QString &function, Handler handler)
{
    route("POST", QStringLiteral("/functions/v1/") + function, std::move(handler));
}

void FakeBackend::setOpenFunction(const QString &function, Handler handler)
{
    m_openPaths.insert(QStringLiteral("/functions/v1/") + function);
    setFunction(function, std::move(handler));
}

QJsonObject FakeBackend::issueSession()
{
    return issueSessionFor(userId, userEmail);
}

QJsonObject FakeBackend::issueSessionFor(const QUuid &user, const QString &email)
{
    ++m_issued;
    const QString access = QStringLiteral("access-token-%1").arg(m_issued);
    const QString refresh = QStringLiteral("refresh-token-%1").arg(m_issued);
    m_accessTokens.insert(access, user);
    m_refreshTokens.insert(refresh, user);
    m_emails.insert(user, email);
    return {
        {QStringLiteral("access_token"), access},
        {QStringLiteral("token_type"), QStringLiteral("bearer")},
        {QStringLiteral("expires_in"), expiresIn},
        {QStringLiteral("expires_at"), double(QDateTime::currentSecsSinceEpoch() + expiresIn)},
        {QStringLiteral("refresh_token"), refresh},
        {QStringLiteral("user"), QJsonObject{{QStringLiteral("id"), user.toString(QUuid::WithoutBraces)},
                                             {QStringLiteral("aud"), QStringLiteral("authenticated")},
                                             {QStringLiteral("role"), QStringLiteral("authenticated")},
                                             {QStringLiteral("email"), email}}},
    };
}

void FakeBackend::installAuthRoutes()
{
    route("POST", QStringLiteral("/auth/v1/otp"), [](const Request &request) {
        if (!request.json().value(QLatin1StringView("email")).isString())
            return authError(400, QStringLiteral("validation_failed"),
                             QStringLiteral("Only an email address or phone number should be provided"));
        return Reply::json(200, QJsonObject{});
    });
    route("POST", QStringLiteral("/auth/v1/verify"), [this](const Request &request) {
        const QJsonObject body = request.json();
        if (body.value(QLatin1StringView("type")).toString() != QStringLiteral("email")
            || body.value(QLatin1StringView("token")).toString() != validCode)
            return authError(403, QStringLiteral("otp_expired"), QStringLiteral("Token has expired or is invalid"));
        return Reply::json(200, issueSession());
    });
    route("POST", QStringLiteral("/auth/v1/token"), [this](const Request &request) {
        if (request.query != QStringLiteral("grant_type=refresh_token"))
            return authError(400, QStringLiteral("validation_failed"), QStringLiteral("unsupported_grant_type"));
        const QString token = request.json().value(QLatin1StringView("refresh_token")).toString();
        // Single use: the token is spent by this answer.
        if (!m_refreshTokens.contains(token))
            return authError(400, QStringLiteral("refresh_token_already_used"),
                             QStringLiteral("Invalid Refresh Token: Already Used"));
        const QUuid user = m_refreshTokens.take(token);
        return Reply::json(200, issueSessionFor(user, m_emails.value(user)));
    });
    route("POST", QStringLiteral("/auth/v1/logout"), [this](const Request &request) {
        const QString token = QString::fromUtf8(request.header("Authorization")).section(u' ', 1);
        if (!m_accessTokens.contains(token))
            return authError(403, QStringLiteral("session_not_found"),
                             QStringLiteral("Session from session_id claim in JWT does not exist"));
        // Global scope: every session of that user ends.
        const QUuid user = m_accessTokens.value(token);
        const auto ofUser = [&user](const auto &entry) { return entry.value() == user; };
        m_accessTokens.removeIf(ofUser);
        m_refreshTokens.removeIf(ofUser);
        return Reply{204, {}};
    });
}

bool FakeBackend::authorized(const Request &request) const
{
    const QByteArray bearer = request.header("Authorization");
    return bearer.startsWith("Bearer ") && m_accessTokens.contains(QString::fromUtf8(bearer.mid(7)));
}

QUuid FakeBackend::userOf(const Request &request) const
{
    const QByteArray bearer = request.header("Authorization");
    return bearer.startsWith("Bearer ") ? m_accessTokens.value(QString::fromUtf8(bearer.mid(7))) : QUuid();
}

FakeBackend::Reply FakeBackend::respond(const Request &request)
{
    if (request.header("apikey") != publishableKey.toUtf8())
        return Reply::json(401, QJsonObject{{QStringLiteral("message"), QStringLiteral("Invalid API key")}});
    const bool data = !request.path.startsWith(QStringLiteral("/auth/"));
    const bool underKey = request.header("Authorization") == "Bearer " + publishableKey.toUtf8();
    if (data && !authorized(request) && !(underKey && m_openPaths.contains(request.path)))
        return postgrestError(401, QStringLiteral("PGRST301"), QStringLiteral("JWT expired"));
    if (std::optional<Reply> reply = routed(request))
        return *reply;
    if (request.path.startsWith(QStringLiteral("/rest/v1/rpc/")))
        return postgrestError(
                              404, QStringLiteral("PGRST202"),
                              QStringLiteral("Could not find the function public.%1 in the schema cache").arg(request.path.section(u'/', 4)));
    if (request.path.startsWith(QStringLiteral("/rest/v1/")))
        return postgrestError(404, QStringLiteral("42P01"),
                              QStringLiteral("relation \"public.%1\" does not exist").arg(request.path.section(u'/', 3)));
    return Reply::json(404, QJsonObject{{QStringLiteral("code"), QStringLiteral("NOT_FOUND")},
                                        {QStringLiteral("message"), QStringLiteral("Requested function was not found")}});
}
