// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTcpServer>
#include <QUrl>
#include <QUuid>

#include <chrono>
#include <functional>

class QTcpSocket;

/**
 * @brief The hosted backend played by an HTTP/1.1 server on 127.0.0.1 for one test.
 *
 * It answers the auth service (/auth/v1: otp, verify, token, logout) with real sessions whose
 * refresh tokens are single-use, and the data interfaces (/rest/v1 tables and rpc/,
 * /functions/v1) from a route table that tests fill: setTable(), setRpc(), setFunction(), or
 * route() for anything else. Data routes check the bearer token like the real service does.
 * Every request is recorded exactly as it arrived. script() queues one-off answers for a route
 * (any status and body, a delay, or a dropped connection) that come before its handler.
 */
class FakeBackend : public QObject
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

        [[nodiscard]] static Reply json(int status, const QJsonValue &value);
        /// A PostgREST error body {"code","message","details","hint"}.
        [[nodiscard]] static Reply postgrestError(int status, const QString &code, const QString &message);
        /// A GoTrue error body {"code","error_code","msg"}.
        [[nodiscard]] static Reply authError(int status, const QString &errorCode, const QString &message);
    };

    using Handler = std::function<Reply(const Request &)>;

    /// The publishable key the fake expects in "apikey".
    static inline const QString publishableKey = QStringLiteral("sb_publishable_fake-backend-key");
    /// The one-time code that verify accepts.
    static inline const QString validCode = QStringLiteral("123456");

    explicit FakeBackend(QObject *parent = nullptr);

    /// The base URL, http://127.0.0.1:<port>.
    [[nodiscard]] QUrl url() const { return m_url; }
    /// Stops accepting connections and closes the open ones, so that new requests are refused.
    void stopListening();

    /// The signed-in user of the sessions the fake issues.
    QUuid userId = QUuid::fromString(QStringLiteral("3f2b8c1e-5d4a-4e8f-9a7b-1c2d3e4f5a6b"));
    QString userEmail = QStringLiteral("ada@example.com");
    /// The lifetime of issued access tokens, in seconds ("expires_in").
    int expiresIn = 3600;

    /// Answers method + path with the handler (replacing an earlier route).
    void route(const QByteArray &method, const QString &path, Handler handler);
    /// Queues an answer that the next request to method + path receives instead of the route's.
    void script(const QByteArray &method, const QString &path, Reply reply);
    /// A table whose reads answer these rows (a single-object read answers the one row, or the
    /// "PGRST116" error) and whose updates answer them as the changed rows.
    void setTable(const QString &table, const QJsonArray &rows);
    /// A table whose rows depend on the signed-in user, as the service's row-level rules make
    /// them: each read or update answers rowsOf(the user of the request's token) as setTable does.
    void setUserTable(const QString &table, std::function<QJsonArray(const QUuid &user)> rowsOf);
    /// A database function.
    void setRpc(const QString &function, Handler handler);
    /// An edge function.
    void setFunction(const QString &function, Handler handler);

    /// A session for the fake's user, as the verify and token endpoints answer it; its tokens are
    /// valid until used up (refresh) or revoked (logout).
    [[nodiscard]] QJsonObject issueSession();

    /// The user whose access token the request carries; null for none or an unknown token.
    [[nodiscard]] QUuid userOf(const Request &request) const;

    /// Every request received, in order.
    [[nodiscard]] QList<Request> requests() const { return m_requests; }
    /// The requests received for method + path.
    [[nodiscard]] QList<Request> requests(const QByteArray &method, const QString &path) const;

private:
    void accept();
    void readFrom(QTcpSocket *socket);
    [[nodiscard]] Reply answer(const Request &request);
    [[nodiscard]] QJsonObject issueSessionFor(const QUuid &user, const QString &email);
    [[nodiscard]] bool authorized(const Request &request) const;
    void installAuthRoutes();

    QTcpServer m_server;
    QUrl m_url;
    QHash<QString, Handler> m_routes;
    QHash<QString, QList<Reply>> m_scripted;
    QList<Request> m_requests;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    /// Live tokens and the user each was issued to.
    QHash<QString, QUuid> m_accessTokens;
    QHash<QString, QUuid> m_refreshTokens;
    /// The e-mail address of each user a session was issued to.
    QHash<QUuid, QString> m_emails;
    int m_issued = 0;
};
