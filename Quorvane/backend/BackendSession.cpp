// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "backend/BackendSession.h"

#include <QJsonDocument>

namespace {

// Whole seconds since 1970 from a JSON number; none for anything else.
std::optional<qint64> wholeSeconds(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double seconds = value.toDouble();
    if (seconds < 0 || seconds > 1e12 || seconds != qint64(seconds))
        return std::nullopt;
    return qint64(seconds);
}

std::optional<BackendSession> sessionFrom(const QJsonObject &object, const QDateTime &expiresAt)
{
    const QJsonValue access = object.value(QLatin1StringView("access_token"));
    const QJsonValue refresh = object.value(QLatin1StringView("refresh_token"));
    if (!access.isString() || !refresh.isString() || access.toString().isEmpty()
        || refresh.toString().isEmpty() || !expiresAt.isValid())
        return std::nullopt;
    const std::optional<BackendUser> user = BackendUser::fromJson(object.value(QLatin1StringView("user")).toObject());
    if (!user)
        return std::nullopt;
    return BackendSession{access.toString(), refresh.toString(), expiresAt, *user};
}

} // namespace

std::optional<BackendUser> BackendUser::fromJson(const QJsonObject &object)
{
    const QJsonValue id = object.value(QLatin1StringView("id"));
    const QJsonValue email = object.value(QLatin1StringView("email"));
    if (!id.isString() || !(email.isString() || email.isUndefined() || email.isNull()))
        return std::nullopt;
    const QUuid uuid = QUuid::fromString(id.toString());
    if (uuid.isNull())
        return std::nullopt;
    return BackendUser{uuid, email.isString() ? email.toString() : QString()};
}

std::optional<BackendSession> BackendSession::fromAuthReply(const QJsonObject &reply, const QDateTime &now)
{
    QDateTime expiresAt;
    if (const auto lifetime = wholeSeconds(reply.value(QLatin1StringView("expires_in"))))
        expiresAt = QDateTime::fromSecsSinceEpoch(now.toSecsSinceEpoch() + *lifetime, Qt::UTC);
    else if (const auto at = wholeSeconds(reply.value(QLatin1StringView("expires_at"))))
        expiresAt = QDateTime::fromSecsSinceEpoch(*at, Qt::UTC);
    return sessionFrom(reply, expiresAt);
}

QByteArray BackendSession::toStored() const
{
    const QJsonObject object{
        {QStringLiteral("access_token"), accessToken},
        {QStringLiteral("refresh_token"), refreshToken},
        {QStringLiteral("expires_at"), double(expiresAt.toSecsSinceEpoch())},
        {QStringLiteral("user"), QJsonObject{{QStringLiteral("id"), user.id.toString(QUuid::WithoutBraces)},
                                             {QStringLiteral("email"), user.email}}},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<BackendSession> BackendSession::fromStored(const QByteArray &bytes)
{
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const auto at = wholeSeconds(object.value(QLatin1StringView("expires_at")));
    return sessionFrom(object, at ? QDateTime::fromSecsSinceEpoch(*at, Qt::UTC) : QDateTime());
}
