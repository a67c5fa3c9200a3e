// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "support/FakeHttpServer.h"

#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>
#include <utility>

/**
 * @brief The hosted backend played by a FakeHttpServer for one test.
 *
 * It answers the auth service (/auth/v1: otp, verify, token, logout) with real sessions whose
 * refresh tokens are single-use, and the data interfaces (/rest/v1 tables and rpc/,
 * /functions/v1) from the route table that tests fill: setTable(), setRpc(), setFunction(), or
 * route() for anything else. Every route but a script checks the publishable key, and data routes
 * the bearer token, like the real service does.
 */
class FakeBackend : public FakeHttpServer
{
    Q_OBJECT

public:
    /// A PostgREST error body {"code","message","details","hint"}.
    [[nodiscard]] static Reply postgrestError(int status, const QString &code, const QString &message);
    /// A GoTrue error body {"code","error_code","msg"}.
    [[nodiscard]] static Reply authError(int status, const QString &errorCode, const QString &message);

    /// The publishable key the fake expects in "apikey".
    static inline const QString publishableKey = QStringLiteral("sb_publishable_fake-backend-key");
    /// The one-time code that verify accepts.
    static inline const QString validCode = QStringLiteral("123456");

    explicit FakeBackend(QObject *parent = nullptr);

    /// The signed-in user of the sessions the fake issues.
    QUuid userId = QUuid::fromString(QStringLiteral("3f2b8c1e-5d4a-4e8f-9a7b-1c2d3e4f5a6b"));
    QString userEmail = QStringLiteral("ada@example.com");
    /// The lifetime of issued access tokens, in seconds ("expires_in").
    int expiresIn = 3600;

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
    /// An edge function that authorises a call by what its body carries (a one-time capability):
    /// it also answers a call under the publishable key alone, which other data routes refuse.
    void setOpenFunction(const QString &function, Handler handler);

    /// A session for the fake's user, as the verify and token endpoints answer it; its tokens are
    /// valid until used up (refresh) or revoked (logout).
    [[nodiscard]] QJsonObject issueSession();

    /// The user whose access token the request carries; null for none or an unknown token.
    [[nodiscard]] QUuid userOf(const Request &request) const;

    // --- Scheduled publishing ------------------------------------------------------------------

    /// Every row of "scheduled_publishes", of all users, as the service keeps them: snake_case
    /// columns, ids and dates as PostgreSQL writes them.
    QList<QJsonObject> scheduledPublishes;
    /// The project-removal leases the service holds, by lease id: the user and the project's key
    /// ("site:…" or "connection:…").
    QHash<QUuid, std::pair<QUuid, QString>> removalLeases;

    /// Serves "scheduled_publishes" (reads with a "status" list, an order and a limit, only the
    /// requesting user's rows) and the RPCs "replace_scheduled_publish",
    /// "cancel_scheduled_publish", "begin_project_removal" and "finish_project_removal" from the
    /// two fields above, the way the service does.
    void serveScheduledPublishing();
    /// A date as PostgreSQL's JSON writes a timestamptz ("2026-03-08T09:00:00.25+00:00").
    [[nodiscard]] static QString postgresTimestamp(const QDateTime &instant);

    // --- Publish events ----------------------------------------------------------------------

    /// @brief One row of "publish_events" as the service keeps it.
    struct PublishEvent
    {
        QUuid id;
        QUuid owner; ///< the only user the row-level rules let read or mark it
        QString kind;
        QString message;
        QDateTime createdAt;
        std::optional<QDateTime> seenAt;
    };

    /// Every row of "publish_events", of all users.
    QList<PublishEvent> publishEvents;
    /// Serves "publish_events" from the field above: a read answers the requesting user's rows
    /// with the columns id, kind, message and created_at, honouring "seen_at=is.null" and an order
    /// on created_at; an update sets "seen_at" of that user's rows its "id=in.(…)" filter names,
    /// and answers them.
    void servePublishEvents();
    /// An unseen event of the fake's user, created @p minutes after a fixed instant.
    [[nodiscard]] PublishEvent publishEvent(const QString &kind, const QString &message, int minutes) const;

protected:
    [[nodiscard]] Reply respond(const Request &request) override;

private:
    [[nodiscard]] QJsonObject issueSessionFor(const QUuid &user, const QString &email);
    [[nodiscard]] bool authorized(const Request &request) const;
    void installAuthRoutes();

    /// Live tokens and the user each was issued to.
    QHash<QString, QUuid> m_accessTokens;
    QHash<QString, QUuid> m_refreshTokens;
    /// The e-mail address of each user a session was issued to.
    QHash<QUuid, QString> m_emails;
    /// The paths of the open functions.
    QSet<QString> m_openPaths;
    int m_issued = 0;
};
