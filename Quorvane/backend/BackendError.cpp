// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "backend/BackendError.h"

#include "foundation/DisplayText.h"
#include "foundation/Redaction.h"
#include "model/ErrorLog.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// How much of a server's text is read at all.
constexpr qsizetype examined = 64 * 1024;

QString stringMember(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    return value.isString() ? value.toString() : QString();
}

} // namespace

BackendError BackendError::fromReply(int status, const QByteArray &body)
{
    BackendError error(Kind::Server, {});
    error.m_status = status;
    error.m_body = body;

    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (document.isObject()) {
        const QJsonObject object = document.object();
        // GoTrue writes "msg" (older releases "error_description" with "error"), PostgREST
        // "message", edge functions whatever their author chose, mostly "message" or "error".
        for (const auto key : {QLatin1StringView("msg"), QLatin1StringView("message"),
                               QLatin1StringView("error_description"), QLatin1StringView("error")}) {
            error.m_message = serverText(stringMember(object, key));
            if (!error.m_message.isEmpty())
                break;
        }
        error.m_code = stringMember(object, QLatin1StringView("error_code"));
        if (error.m_code.isEmpty())
            error.m_code = stringMember(object, QLatin1StringView("code"));
    }
    if (error.m_message.isEmpty() && !document.isObject())
        error.m_message = serverText(QString::fromUtf8(body.left(3 * examined)));
    if (error.m_message.isEmpty())
        error.m_message = QStringLiteral("The server answered with status %1.").arg(status);
    return error;
}

BackendError BackendError::fromTransport(const TransportEnd &end)
{
    if (isCancellation(end.error, end.abandoned))
        return {Kind::Cancelled, QStringLiteral("The request was cancelled.")};
    // Not abandoned, an OperationCanceledError is a time limit's: ours, or Qt's transfer timeout.
    if (end.timedOut || end.error == QNetworkReply::TimeoutError || end.error == QNetworkReply::OperationCanceledError)
        return {Kind::TimedOut, QStringLiteral("The request timed out.")};
    switch (end.error) {
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
        return {Kind::Offline, QStringLiteral("The network connection appears to be offline.")};
    case QNetworkReply::RemoteHostClosedError:
        return {Kind::Offline, QStringLiteral("The network connection was lost.")};
    case QNetworkReply::HostNotFoundError:
        // Without a network every name lookup fails: the server is not missing, the network is.
        if (!end.networkUp)
            return {Kind::Offline, QStringLiteral("The network connection appears to be offline.")};
        return {Kind::Unreachable, QStringLiteral("A server with the specified hostname could not be found.")};
    case QNetworkReply::ConnectionRefusedError:
        return {Kind::Unreachable, QStringLiteral("Could not connect to the server.")};
    case QNetworkReply::SslHandshakeFailedError:
        return {Kind::Unreachable, QStringLiteral("A secure connection to the server could not be made.")};
    default:
        return {Kind::Unreachable, QStringLiteral("The server could not be reached.")};
    }
}

BackendError BackendError::sessionMissing(int status, const QString &message)
{
    BackendError error(Kind::SessionMissing, message.isEmpty() ? QStringLiteral("Auth session missing.") : message);
    error.m_status = status;
    return error;
}

BackendError BackendError::invalidReply(const QString &detail)
{
    return {Kind::InvalidReply, QStringLiteral("The backend's reply could not be read: %1").arg(detail)};
}

BackendError BackendError::storage(int status, const QString &message)
{
    BackendError error(Kind::Storage, message);
    error.m_status = status;
    return error;
}

// A server's text becomes the user's sentence, a log line and a kept event: its secrets are taken
// out and it is cut short, so that an error page of megabytes stays one short line. Only a head of
// the text is read: the cut leaves nothing of what lies past it, and a secret cut in two at the
// head's end still opens like one and is redacted.
QString BackendError::serverText(const QString &text)
{
    return sanitizedForDisplay(redactSecrets(text.left(examined).trimmed()), messageLimit);
}

bool BackendError::isTransport() const
{
    return m_kind == Kind::Offline || m_kind == Kind::Unreachable || m_kind == Kind::TimedOut;
}
