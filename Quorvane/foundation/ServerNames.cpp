// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/ServerNames.h"

#include "foundation/DisplayText.h"
#include "foundation/Redaction.h"

#include <QRegularExpression>
#include <QUrl>

namespace ClaudeCLI {

namespace {

constexpr QStringView webflowMCPHost = u"mcp.webflow.com";

bool isReservedServerName(const QString &lowerCaseName)
{
    return lowerCaseName == u"workspace" || lowerCaseName == u"claude-in-chrome"
        || lowerCaseName == u"computer-use";
}

} // namespace

bool isSafeServerName(QStringView name)
{
    // Anchored to the very end: a plain "$" would also accept a name that ends in a line feed.
    static const QRegularExpression safe(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9_-]+")));
    return !name.startsWith(u'-') && safe.match(name).hasMatch();
}

std::optional<QString> validateServerName(QStringView name)
{
    if (name.isEmpty())
        return QStringLiteral("Name is required.");
    if (name.startsWith(u'-'))
        return QStringLiteral("Name cannot start with a hyphen.");
    if (!isSafeServerName(name))
        return QStringLiteral("Use only letters, numbers, hyphens and underscores.");
    if (isReservedServerName(name.toString().toLower()))
        return u'"' + name.toString() + QStringLiteral("\" is a reserved server name.");
    return std::nullopt;
}

bool isWebflowEndpoint(const std::optional<QString> &url)
{
    if (!url)
        return false;
    const QUrl parsed(url->trimmed(), QUrl::StrictMode);
    if (!parsed.isValid())
        return false;
    if (parsed.scheme().toLower() != u"https" || parsed.host().toLower() != webflowMCPHost)
        return false;
    // A null user info means the URL has no "@" at all; "https://@host" carries an empty one.
    if (!parsed.userInfo().isNull())
        return false;
    if (parsed.port() != -1 && parsed.port() != 443)
        return false;
    if (parsed.hasQuery() || parsed.hasFragment())
        return false;

    QString path = parsed.path(QUrl::FullyEncoded).toLower();
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path == u"/mcp" || path == u"/sse";
}

QString slugify(QStringView text)
{
    static const QRegularExpression spaces(QStringLiteral(R"([\s_]+)"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression outside(QStringLiteral("[^a-z0-9-]"));
    static const QRegularExpression hyphens(QStringLiteral("-{2,}"));

    // A lone surrogate would make every pattern below match nothing.
    QString slug = withoutLoneSurrogates(text).toLower();
    slug.replace(spaces, QStringLiteral("-"));
    slug.remove(outside);
    slug.replace(hyphens, QStringLiteral("-"));
    return slug;
}

QString displayName(QStringView name)
{
    return sanitizedForDisplay(name, 120);
}

} // namespace ClaudeCLI
