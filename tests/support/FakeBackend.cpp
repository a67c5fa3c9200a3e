// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/FakeBackend.h"

#include <QJsonDocument>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace {

QString routeKey(const QByteArray &method, const QString &path)
{
    return QString::fromLatin1(method) + u' ' + path;
}

QByteArray reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 406: return "Not Acceptable";
    case 422: return "Unprocessable Entity";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

} // namespace

QByteArray FakeBackend::Request::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QJsonObject FakeBackend::Request::json() const
{
    return QJsonDocument::fromJson(body).object();
}

FakeBackend::Reply FakeBackend::Reply::json(int status, const QJsonValue &value)
{
    const QByteArray body = value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
        : value.isObject()                  ? QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact)
                                            : QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).mid(1).chopped(1);
    return {status, body, {{"Content-Type", "application/json"}}};
}

FakeBackend::Reply FakeBackend::Reply::postgrestError(int status, const QString &code, const QString &message)
{
    return json(status, QJsonObject{{QStringLiteral("code"), code},
                                    {QStringLiteral("message"), message},
                                    {QStringLiteral("details"), QJsonValue::Null},
                                    {QStringLiteral("hint"), QJsonValue::Null}});
}

FakeBackend::Reply FakeBackend::Reply::authError(int status, const QString &errorCode, const QString &message)
{
    return json(status, QJsonObject{{QStringLiteral("code"), status},
                                    {QStringLiteral("error_code"), errorCode},
                                    {QStringLiteral("msg"), message}});
}

FakeBackend::FakeBackend(QObject *parent)
    : QObject(parent)
{
    const bool listening = m_server.listen(QHostAddress::LocalHost, 0);
    Q_ASSERT(listening);
    m_url = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()));
    connect(&m_server, &QTcpServer::newConnection, this, &FakeBackend::accept);
    installAuthRoutes();
}

void FakeBackend::stopListening()
{
    m_server.close();
    // Connections kept alive would still carry requests.
    const QList<QTcpSocket *> sockets = m_buffers.keys();
    for (QTcpSocket *socket : sockets)
        socket->abort();
}

void FakeBackend::route(const QByteArray &method, const QString &path, Handler handler)
{
    m_routes.insert(routeKey(method, path), std::move(handler));
}

void FakeBackend::script(const QByteArray &method, const QString &path, Reply reply)
{
    m_scripted[routeKey(method, path)].append(std::move(reply));
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
                return Reply::postgrestError(406, QStringLiteral("PGRST116"),
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

QList<FakeBackend::Request> FakeBackend::requests(const QByteArray &method, const QString &path) const
{
    QList<Request> matching;
    for (const Request &request : m_requests) {
        if (request.method == method && request.path == path)
            matching.append(request);
    }
    return matching;
}

void FakeBackend::installAuthRoutes()
{
    route("POST", QStringLiteral("/auth/v1/otp"), [](const Request &request) {
        if (!request.json().value(QLatin1StringView("email")).isString())
            return Reply::authError(400, QStringLiteral("validation_failed"),
                                    QStringLiteral("Only an email address or phone number should be provided"));
        return Reply::json(200, QJsonObject{});
    });
    route("POST", QStringLiteral("/auth/v1/verify"), [this](const Request &request) {
        const QJsonObject body = request.json();
        if (body.value(QLatin1StringView("type")).toString() != QStringLiteral("email")
            || body.value(QLatin1StringView("token")).toString() != validCode)
            return Reply::authError(403, QStringLiteral("otp_expired"), QStringLiteral("Token has expired or is invalid"));
        return Reply::json(200, issueSession());
    });
    route("POST", QStringLiteral("/auth/v1/token"), [this](const Request &request) {
        if (request.query != QStringLiteral("grant_type=refresh_token"))
            return Reply::authError(400, QStringLiteral("validation_failed"), QStringLiteral("unsupported_grant_type"));
        const QString token = request.json().value(QLatin1StringView("refresh_token")).toString();
        // Single use: the token is spent by this answer.
        if (!m_refreshTokens.contains(token))
            return Reply::authError(400, QStringLiteral("refresh_token_already_used"),
                                    QStringLiteral("Invalid Refresh Token: Already Used"));
        const QUuid user = m_refreshTokens.take(token);
        return Reply::json(200, issueSessionFor(user, m_emails.value(user)));
    });
    route("POST", QStringLiteral("/auth/v1/logout"), [this](const Request &request) {
        const QString token = QString::fromUtf8(request.header("Authorization")).section(u' ', 1);
        if (!m_accessTokens.contains(token))
            return Reply::authError(403, QStringLiteral("session_not_found"),
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

FakeBackend::Reply FakeBackend::answer(const Request &request)
{
    const QString key = routeKey(request.method, request.path);
    if (auto scripted = m_scripted.find(key); scripted != m_scripted.end() && !scripted->isEmpty())
        return scripted->takeFirst();
    if (request.header("apikey") != publishableKey.toUtf8())
        return Reply::json(401, QJsonObject{{QStringLiteral("message"), QStringLiteral("Invalid API key")}});
    const bool data = !request.path.startsWith(QStringLiteral("/auth/"));
    if (data && !authorized(request))
        return Reply::postgrestError(401, QStringLiteral("PGRST301"), QStringLiteral("JWT expired"));
    if (const auto handler = m_routes.constFind(key); handler != m_routes.constEnd())
        return (*handler)(request);
    if (request.path.startsWith(QStringLiteral("/rest/v1/rpc/")))
        return Reply::postgrestError(
            404, QStringLiteral("PGRST202"),
            QStringLiteral("Could not find the function public.%1 in the schema cache").arg(request.path.section(u'/', 4)));
    if (request.path.startsWith(QStringLiteral("/rest/v1/")))
        return Reply::postgrestError(404, QStringLiteral("42P01"),
                                     QStringLiteral("relation \"public.%1\" does not exist").arg(request.path.section(u'/', 3)));
    return Reply::json(404, QJsonObject{{QStringLiteral("code"), QStringLiteral("NOT_FOUND")},
                                        {QStringLiteral("message"), QStringLiteral("Requested function was not found")}});
}

void FakeBackend::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void FakeBackend::readFrom(QTcpSocket *socket)
{
    QByteArray &buffer = m_buffers[socket];
    buffer.append(socket->readAll());
    for (;;) {
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
        if (requestLine.size() < 2) {
            socket->abort();
            return;
        }
        Request request;
        request.method = requestLine.at(0);
        const QByteArray target = requestLine.at(1);
        const qsizetype question = target.indexOf('?');
        request.path = QString::fromUtf8(question < 0 ? target : target.left(question));
        request.query = question < 0 ? QString() : QString::fromUtf8(target.mid(question + 1));
        qsizetype length = 0;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines.at(i).trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0)
                continue;
            const QByteArray name = line.left(colon).trimmed();
            const QByteArray value = line.mid(colon + 1).trimmed();
            request.headers.append({name, value});
            if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
                length = value.toLongLong();
        }
        if (buffer.size() < headerEnd + 4 + length)
            return;
        request.body = buffer.mid(headerEnd + 4, length);
        buffer.remove(0, headerEnd + 4 + length);
        m_requests.append(request);

        const Reply reply = answer(request);
        const QPointer<QTcpSocket> peer(socket);
        const auto respond = [peer, reply] {
            if (!peer)
                return;
            if (reply.drop) {
                peer->abort();
                return;
            }
            QByteArray response = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reason(reply.status) + "\r\n";
            for (const auto &[name, value] : reply.headers)
                response += name + ": " + value + "\r\n";
            response += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n\r\n" + reply.body;
            peer->write(response);
        };
        if (reply.delay.count() > 0) {
            QTimer::singleShot(reply.delay, socket, respond);
        } else {
            respond();
            if (reply.drop)
                return; // the socket and its buffer are gone
        }
    }
}
