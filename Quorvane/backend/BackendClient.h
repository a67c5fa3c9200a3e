// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "backend/BackendQuery.h"
#include "backend/BackendResult.h"
#include "backend/BackendSession.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QUrl>

#include <QCoro/QCoroTask>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class BackendRefreshFlight;
class Clock;
class QNetworkAccessManager;
class QNetworkReply;
class SessionStorage;

/**
 * @brief Our client of the hosted backend (a Supabase project): e-mail one-time-code sign-in with
 * a stored, automatically renewed session; table reads and updates; RPC; edge functions.
 *
 * Every request carries the publishable key ("apikey") and a bearer token: the signed-in user's
 * access token for data calls, the publishable key for the sign-in calls. Data calls need a
 * session: without one they fail with BackendError::Kind::SessionMissing instead of running
 * anonymously (an anonymous read answers with no rows, which would look like an empty account).
 *
 * The access token is renewed shortly before it expires (a timer) and whenever a call finds it
 * about to expire or refused. Renewal is single-flight: refresh tokens are single-use, so callers
 * that need a renewal while one is under way wait for that one. A renewal the server refuses ends
 * the session (removed from the storage, announced as SignedOut); one that cannot reach the
 * server keeps it.
 *
 * Lives on the main thread for the life of the process, and must outlive every call it starts
 * (the calls resume inside it).
 */
class BackendClient : public QObject
{
    Q_OBJECT

public:
    /// What changed about the session, as announced by authChanged().
    enum class AuthEvent {
        SignedIn,       ///< a code check produced a new session
        TokenRefreshed, ///< the session was renewed
        SignedOut,      ///< the session ended (sign-out, or a renewal the server refused)
    };
    Q_ENUM(AuthEvent)

    enum class SignOutScope {
        Global, ///< the server ends every session of the user; the local one is removed too
        Local,  ///< only the session stored here is removed; the server is not asked
    };

    struct Settings
    {
        /// How long one request may take before it fails as timed out.
        std::chrono::milliseconds requestTimeout{30000};
        /// How long before its expiry the access token is renewed.
        std::chrono::milliseconds refreshMargin{60000};
        /// Where "now" comes from when expiry is judged.
        const Clock *clock = nullptr;
        /// Whether a network other than loopback is up, asked when a name lookup fails (without
        /// one the failure is Offline); when empty, the machine's interfaces are looked at.
        std::function<bool()> networkUp;
    };

    /// The storage key of the session.
    static inline const QString sessionKey = QStringLiteral("backend-session");

    /// A client of the backend at url (its REST interfaces live under /auth/v1, /rest/v1 and
    /// /functions/v1), keeping its session in storage, which must outlive the client.
    BackendClient(QUrl url, QString publishableKey, SessionStorage *storage, Settings settings,
                  QObject *parent = nullptr);
    ~BackendClient() override;

    // --- Session ---------------------------------------------------------------------------

    /// Reads the stored session once (later calls answer from memory) without the network and
    /// without judging its expiry. None when nothing is stored; a storage failure is an error.
    QCoro::Task<BackendResult<std::optional<BackendSession>>> loadStoredSession();
    /// The session held in memory, as last loaded, signed in or renewed.
    [[nodiscard]] std::optional<BackendSession> currentSession() const { return m_session; }
    /// A session that is valid now, renewed first when it expires within the refresh margin.
    /// Fails with SessionMissing when none is stored or the server refused to renew it.
    QCoro::Task<BackendResult<BackendSession>> session();
    /// Renews the session now (joining a renewal under way).
    QCoro::Task<BackendResult<BackendSession>> refreshSession();

    // --- Sign-in and sign-out --------------------------------------------------------------

    /// Asks the backend to e-mail a one-time code, creating the user when none exists yet.
    /// userMetadata is stored with a new user (e.g. {"marketing_opt_in": true}).
    QCoro::Task<BackendResult<>> requestEmailCode(QString email, QJsonObject userMetadata);
    /// Checks an e-mailed sign-in code. With a session in the answer it is stored and announced
    /// as SignedIn; the result is the session's user, or the user of an answer without session.
    QCoro::Task<BackendResult<BackendUser>> verifyEmailCode(QString email, QString code);
    /// Signs out in the given scope. Global asks the server to end the user's sessions and then
    /// removes the local one whatever the server said; the result tells whether the server did.
    QCoro::Task<BackendResult<>> signOut(SignOutScope scope);

    // --- Data -------------------------------------------------------------------------------

    /// Reads rows: a JSON array, or an object for a single() query.
    QCoro::Task<BackendResult<QJsonValue>> select(BackendQuery query);
    /// Sets the given columns in the rows the query's filters pick; the answer holds the changed
    /// rows.
    QCoro::Task<BackendResult<QJsonValue>> update(BackendQuery query, QJsonObject values);
    /// Calls a database function with named parameters; the answer is its JSON result (null for
    /// an empty answer).
    QCoro::Task<BackendResult<QJsonValue>> rpc(QString function, QJsonObject parameters);
    /// POSTs the body to an edge function and gives the raw answer body. An error status fails
    /// with a Server error whose body() is the raw answer.
    QCoro::Task<BackendResult<QByteArray>> invoke(QString function, QJsonObject body);
    /// invoke() for a function whose body carries its own authorisation (a one-time capability):
    /// it goes under the session of whoever is signed in, or under the publishable key alone when
    /// no session can be had, rather than failing.
    QCoro::Task<BackendResult<QByteArray>> invokeWithCapability(QString function, QJsonObject body);

    /// Abandons every request under way; each fails with BackendError::Kind::Cancelled.
    void cancelAll();

Q_SIGNALS:
    /// Every change of session: the event and the session after it (none after SignedOut).
    void authChanged(BackendClient::AuthEvent event, const std::optional<BackendSession> &session);

private:
    struct Answer
    {
        int status = 0;
        QByteArray body;
        [[nodiscard]] bool isSuccess() const { return status >= 200 && status < 300; }
    };
    struct Request
    {
        QByteArray method;
        QUrl url;
        QByteArray body;
        QList<std::pair<QByteArray, QByteArray>> headers;
    };

    [[nodiscard]] QUrl endpoint(const QString &path, const QString &query = {}) const;
    [[nodiscard]] QDateTime now() const;
    QCoro::Task<BackendResult<Answer>> send(Request request, QString bearer);
    QCoro::Task<BackendResult<Answer>> sendAuthorized(Request request);
    QCoro::Task<BackendResult<QJsonValue>> sendForJson(Request request);
    QCoro::Task<BackendResult<BackendSession>> renew(QString refreshToken);
    QCoro::Task<BackendResult<>> storeSession(BackendSession session, AuthEvent event);
    void adoptSession(const BackendSession &session, AuthEvent event);
    QCoro::Task<BackendResult<>> clearSession();
    void scheduleRenewal();

    QUrl m_url;
    QString m_publishableKey;
    SessionStorage *m_storage;
    Settings m_settings;
    QNetworkAccessManager *m_network;
    QTimer m_renewalTimer;
    bool m_loaded = false;
    std::optional<BackendSession> m_session;
    std::shared_ptr<BackendRefreshFlight> m_flight;
    QSet<QNetworkReply *> m_inFlight;
    /// The replies cancelAll() aborted, until their request sees it.
    QSet<QNetworkReply *> m_abandoned;
};
