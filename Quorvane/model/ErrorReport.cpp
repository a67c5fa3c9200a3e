// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ErrorReport.h"

#include "platform/BundleInfo.h"

#include <QNetworkAccessManager>
#include <QRegularExpression>

namespace {

const QString stableLane = QStringLiteral("stable");

/// The hosted backend serves its projects under this suffix; it is never a gateway.
const QString backendHostSuffix = QStringLiteral(".supabase.co");

std::optional<QString> textValue(const QVariantMap &info, const QString &key)
{
    const QVariant value = info.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

bool isPublicHostName(const QString &host)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^[a-z0-9](?:[a-z0-9-]{0,61}[a-z0-9])?(?:\.[a-z0-9](?:[a-z0-9-]{0,61}[a-z0-9])?)+$)"));
    return pattern.match(host).hasMatch();
}

} // namespace

QString builtInErrorGatewayAddress()
{
    return QStringLiteral(QUORVANE_BUILTIN_ERROR_GATEWAY_URL);
}

std::optional<QUrl> errorGatewayURL(const QVariantMap &info, const QString &lane, const QString &builtInAddress)
{
    if (textValue(info, QStringLiteral("QuorvaneBackendLane")) != lane)
        return std::nullopt;
    const std::optional<QString> configured = textValue(info, QStringLiteral("QuorvaneErrorGatewayURL"));
    if (!configured || configured->isEmpty())
        return std::nullopt;

    const QUrl url(*configured, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https"))
        return std::nullopt;
    // hasQuery and hasFragment are true for a bare "?" or "#" as well; an "@" means a user part,
    // even an empty one.
    if (url.authority(QUrl::FullyEncoded).contains(QLatin1Char('@')) || url.port() != -1 || url.hasQuery()
        || url.hasFragment())
        return std::nullopt;
    if (url.path(QUrl::FullyEncoded) != QLatin1String("/error-report"))
        return std::nullopt;
    const QString host = url.host(QUrl::FullyEncoded);
    if (!isPublicHostName(host) || host.endsWith(backendHostSuffix))
        return std::nullopt;
    // Any text the parser would write differently is refused; QUrl lower-cases the host it holds,
    // so this also refuses an upper-case letter in the configured host.
    if (url.toString(QUrl::FullyEncoded) != *configured)
        return std::nullopt;

    if (lane == stableLane) {
        if (*configured != builtInAddress)
            return std::nullopt;
    } else if (lane == QLatin1String("beta")) {
        if (host == QUrl(builtInAddress).host(QUrl::FullyEncoded))
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    return url;
}

QString appBuildNumber(const QVariantMap &info)
{
    return textValue(info, QStringLiteral("CFBundleVersion")).value_or(QStringLiteral("0"));
}

QString appBuildNumber()
{
    return appBuildNumber(BundleInfo::main());
}

QNetworkAccessManager *makeErrorReportSession(QObject *parent)
{
    auto *session = new QNetworkAccessManager(parent);
    session->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    return session;
}

QNetworkRequest errorReportRequest(const QUrl &gateway, std::chrono::milliseconds limit)
{
    QNetworkRequest request(gateway);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setTransferTimeout(int(limit.count()));
    // A redirection answers the request; it is never followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    return request;
}
