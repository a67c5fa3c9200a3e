// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QTcpSocket;

/**
 * @brief Holds back the replies that carry it until the test opens it: a request the code under
 * test has made stays unanswered for exactly as long as the test needs, without a timed wait.
 */
class ReplyGate
{
public:
    /// Sends every reply held so far; replies that meet an open gate go out at once.
    void open();
    [[nodiscard]] bool isOpen() const { return m_open; }
    /// How many replies wait behind the gate.
    [[nodiscard]] qsizetype held() const { return m_waiting.size(); }

private:
    friend class FakeHttpServer;
    void hold(std::function<void()> send) { m_waiting.append(std::move(send)); }

    bool m_open = false;
    QList<std::function<void()>> m_waiting;
};

/**
 * @brief An HTTP/1.1 server on 127.0.0.1 for one test: every request is recorded exactly as it
 * arrived and answered from a route table that the test fills (route()), after any one-off answers
 * queued for its route (script(): any status, headers and body, a delay, or a dropped connection).
 * A request without a route gets a 404.
 */
class FakeHttpServer : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray method;
        QString path;
        /// The raw query, as sent after the "?" (still percent-encoded).
        QString query;
        QList<std::pair<QByteArray, QByteArray>> headers;
        QByteArray body;

        /// The value of a header (names compared without case); empty when absent.
        [[nodiscard]] QByteArray header(const QByteArray &name) const;
        /// Whether the request carries the header at all.
        [[nodiscard]] bool hasHeader(const QByteArray &name) const;
        /// The body as a JSON object; empty when it is not one.
        [[nodiscard]] QJsonObject json() const;
    };

    struct Reply
    {
        int status = 200;
        QByteArray body = {};
        QList<std::pair<QByteArray, QByteArray>> headers = {};
        /// Answer only after this long.
        std::chrono::milliseconds delay{0};
        /// Close the connection instead of answering. Qt sends a request again once when a
        /// connection it kept open closes without an answer, so a test that wants the failure
        /// scripts two.
        bool drop = false;
        /// Answer only once this gate is open (then after `delay`).
        std::shared_ptr<ReplyGate> gate = {};

        [[nodiscard]] static Reply json(int status, const QJsonValue &value);
    };

    using Handler = std::function<Reply(const Request &)>;

    explicit FakeHttpServer(QObject *parent = nullptr);

    /// The base URL, http://127.0.0.1:<port>.
    [[nodiscard]] QUrl url() const { return m_url; }
    /// The URL of a path on this server.
    [[nodiscard]] QUrl url(const QString &path) const;
    /// Stops accepting connections and closes the open ones, so that new requests are refused.
    void stopListening();

    /// Answers method + path with the handler (replacing an earlier route).
    void route(const QByteArray &method, const QString &path, Handler handler);
    /// Queues an answer that the next request to method + path receives instead of the route's.
    void script(const QByteArray &method, const QString &path, Reply reply);

    /// Every request received, in order.
    [[nodiscard]] QList<Request> requests() const { return m_requests; }
    /// The requests received for method + path.
    [[nodiscard]] QList<Request> requests(const QByteArray &method, const QString &path) const;
    /// How many connections were accepted.
    [[nodiscard]] int connections() const { return m_connections; }

protected:
    /// The answer to a request that no script answers; by default its route's, else a 404.
    [[nodiscard]] virtual Reply respond(const Request &request);
    /// The answer of the request's route; none without one.
    [[nodiscard]] std::optional<Reply> routed(const Request &request) const;

private:
    void accept();
    void readFrom(QTcpSocket *socket);

    QTcpServer m_server;
    QUrl m_url;
    QHash<QString, Handler> m_routes;
    QHash<QString, QList<Reply>> m_scripted;
    QList<Request> m_requests;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    int m_connections = 0;
};
