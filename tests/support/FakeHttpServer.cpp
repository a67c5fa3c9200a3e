// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/FakeHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <utility>

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
    case 302: return "Found";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 406: return "Not Acceptable";
    case 409: return "Conflict";
    case 422: return "Unprocessable Entity";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

} // namespace

void ReplyGate::open()
{
    m_open = true;
    // Each send may be the last use of a socket; take the list first.
    const QList<std::function<void()>> waiting = std::exchange(m_waiting, {});
    for (const std::function<void()> &send : waiting)
        send();
}

QByteArray FakeHttpServer::Request::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool FakeHttpServer::Request::hasHeader(const QByteArray &name) const
{
    return std::any_of(headers.cbegin(), headers.cend(),
                       [&name](const auto &entry) { return entry.first.compare(name, Qt::CaseInsensitive) == 0; });
}

QJsonObject FakeHttpServer::Request::json() const
{
    return QJsonDocument::fromJson(body).object();
}

FakeHttpServer::Reply FakeHttpServer::Reply::json(int status, const QJsonValue &value)
{
    const QByteArray body = value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
        : value.isObject()                  ? QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact)
                                            : QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).mid(1).chopped(1);
    return {status, body, {{"Content-Type", "application/json"}}};
}

FakeHttpServer::FakeHttpServer(QObject *parent)
    : QObject(parent)
{
    const bool listening = m_server.listen(QHostAddress::LocalHost, 0);
    Q_ASSERT(listening);
    m_url = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()));
    connect(&m_server, &QTcpServer::newConnection, this, &FakeHttpServer::accept);
}

QUrl FakeHttpServer::url(const QString &path) const
{
    QUrl url = m_url;
    url.setPath(path);
    return url;
}

void FakeHttpServer::stopListening()
{
    m_server.close();
    // Connections kept alive would still carry requests.
    const QList<QTcpSocket *> sockets = m_buffers.keys();
    for (QTcpSocket *socket : sockets)
        socket->abort();
}

void FakeHttpServer::route(const QByteArray &method, const QString &path, Handler handler)
{
    m_routes.insert(routeKey(method, path), std::move(handler));
}

void FakeHttpServer::script(const QByteArray &method, const QString &path, Reply reply)
{
    m_scripted[routeKey(method, path)].append(std::move(reply));
}

QList<FakeHttpServer::Request> FakeHttpServer::requests(const QByteArray &method, const QString &path) const
{
    QList<Request> matching;
    for (const Request &request : m_requests) {
        if (request.method == method && request.path == path)
            matching.append(request);
    }
    return matching;
}

FakeHttpServer::Reply FakeHttpServer::respond(const Request &request)
{
    return routed(request).value_or(Reply{404, {}});
}

std::optional<FakeHttpServer::Reply> FakeHttpServer::routed(const Request &request) const
{
    const auto handler = m_routes.constFind(routeKey(request.method, request.path));
    if (handler == m_routes.constEnd())
        return std::nullopt;
    return (*handler)(request);
}

void FakeHttpServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        ++m_connections;
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void FakeHttpServer::readFrom(QTcpSocket *socket)
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

        Reply reply;
        if (auto scripted = m_scripted.find(routeKey(request.method, request.path));
            scripted != m_scripted.end() && !scripted->isEmpty())
            reply = scripted->takeFirst();
        else
            reply = respond(request);
        // The send below must not hold the gate that holds it.
        const std::shared_ptr<ReplyGate> gate = std::exchange(reply.gate, nullptr);
        const QPointer<QTcpSocket> peer(socket);
        const auto send = [peer, reply] {
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
        if (gate && !gate->isOpen()) {
            gate->hold([peer, send, delay = reply.delay] {
                if (peer && delay.count() > 0)
                    QTimer::singleShot(delay, peer.data(), send);
                else
                    send();
            });
        } else if (reply.delay.count() > 0) {
            QTimer::singleShot(reply.delay, socket, send);
        } else {
            send();
            if (reply.drop)
                return; // the socket and its buffer are gone
        }
    }
}
