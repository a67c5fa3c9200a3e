// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QString>

/**
 * @brief A failed call to the hosted backend, as a value.
 *
 * The kind tells apart what the callers treat differently (no session, no network, a time-out, a
 * cancellation, the server's refusal); the message is the sentence to show or log. A message never
 * holds the request's URL, so tokens and project addresses cannot leak through it, and a server's
 * own text reaches it only redacted and cut short.
 */
class BackendError
{
public:
    enum class Kind {
        Server,         ///< the server answered with an error status; see status(), code(), body()
        SessionMissing, ///< no stored session, or the server refused to renew it
        Offline,        ///< no network, or the connection was lost mid-request
        Unreachable,    ///< the server could not be reached (refused, unknown host, TLS failure)
        TimedOut,       ///< no complete answer within the client's time limit
        Cancelled,      ///< the request was abandoned on purpose
        InvalidReply,   ///< a success answer whose body could not be read
        Storage,        ///< the saved session could not be read or written
    };

    /// How many user-perceived characters of a server's message are kept; a longer one is cut
    /// there and ends in "…".
    static constexpr qsizetype messageLimit = 500;

    BackendError() = default;

    /// An error answer: the message is the server's own ("msg", "message", "error_description" or
    /// "error" of a JSON body), else the body text, else a sentence naming the status. The server's
    /// text is redacted, shown safely (control characters as "·") and cut at messageLimit.
    [[nodiscard]] static BackendError fromReply(int status, const QByteArray &body);
    /// What the client knows of a request that ended without an answer, beyond Qt's error code.
    struct TransportEnd
    {
        QNetworkReply::NetworkError error = QNetworkReply::UnknownNetworkError;
        bool timedOut = false;  ///< the client's own time limit ended it
        bool abandoned = false; ///< the client abandoned it on purpose
        bool networkUp = true;  ///< a network other than loopback was up when it failed
    };

    /// A request that ended without an answer. Only an abandoned one is Cancelled: Qt ends a
    /// request past its transfer timeout as it ends an abandoned one, and that is TimedOut. A
    /// failed name lookup without a network is Offline, not Unreachable.
    [[nodiscard]] static BackendError fromTransport(const TransportEnd &end);
    [[nodiscard]] static BackendError sessionMissing(int status = 0, const QString &message = {});
    [[nodiscard]] static BackendError invalidReply(const QString &detail);
    [[nodiscard]] static BackendError storage(int status, const QString &message);

    [[nodiscard]] Kind kind() const { return m_kind; }
    /// The HTTP status of an answer; 0 when there was none.
    [[nodiscard]] int status() const { return m_status; }
    /// The sentence describing the failure; for a server error, the server's message.
    [[nodiscard]] QString message() const { return m_message; }
    /// The server's machine code ("PGRST116", "otp_expired", "revocation_pending"), when it gave one.
    [[nodiscard]] QString code() const { return m_code; }
    /// The raw body of an error answer, for callers that read it; never to be shown or logged.
    [[nodiscard]] QByteArray body() const { return m_body; }

    /// A server's text as it may reach a sentence, a log line or a kept event: redacted, shown
    /// safely (control characters as "·") and cut at messageLimit.
    [[nodiscard]] static QString serverText(const QString &text);

    /// True for failures of the way to the server (offline, unreachable, timed out) rather than of
    /// the request itself.
    [[nodiscard]] bool isTransport() const;

    friend bool operator==(const BackendError &, const BackendError &) = default;

private:
    BackendError(Kind kind, QString message) : m_kind(kind), m_message(std::move(message)) {}

    Kind m_kind = Kind::Server;
    int m_status = 0;
    QString m_message;
    QString m_code;
    QByteArray m_body;
};
