// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/AuthorizeLink.h"

#include "foundation/ServerNames.h"

#include <QHash>
#include <QList>
#include <QSet>

#include <algorithm>

namespace {

bool isAlpha(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool isUnreserved(char c)
{
    return isAlpha(c) || isDigit(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

bool isSubDelimiter(char c)
{
    return QByteArrayView("!$&'()*+,;=").contains(c);
}

/// Whether every byte is unreserved, a sub-delimiter, one of @p extra, or the start of a
/// well-formed percent escape.
bool isMadeOf(QByteArrayView text, QByteArrayView extra)
{
    for (qsizetype index = 0; index < text.size(); ++index) {
        const char c = text.at(index);
        if (c == '%') {
            if (index + 2 >= text.size() || !isHexDigit(text.at(index + 1)) || !isHexDigit(text.at(index + 2)))
                return false;
            index += 2;
        } else if (!isUnreserved(c) && !isSubDelimiter(c) && !extra.contains(c)) {
            return false;
        }
    }
    return true;
}

bool isScheme(QByteArrayView text)
{
    if (text.isEmpty() || !isAlpha(text.front()))
        return false;
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return isAlpha(c) || isDigit(c) || c == '+' || c == '-' || c == '.'; });
}

QByteArray decoded(QByteArrayView text)
{
    return QByteArray::fromPercentEncoding(text.toByteArray());
}

/// One query item as written: a name and, when the item has "=", a value (both still encoded).
struct QueryItem
{
    QByteArrayView name;
    std::optional<QByteArrayView> value;
};

/**
 * @brief A URI reference split into its RFC 3986 components, each as written. A component that
 * is absent differs from one that is present and empty ("https://h/p?" has an empty query).
 */
struct UriParts
{
    std::optional<QByteArrayView> scheme;
    std::optional<QByteArrayView> userInfo;
    std::optional<QByteArrayView> host; ///< present exactly when there is an authority
    std::optional<QByteArrayView> port; ///< present whenever the authority has a ":"
    QByteArrayView path;
    std::optional<QByteArrayView> query;
    std::optional<QByteArrayView> fragment;

    /// Splits the text by the grammar's delimiters (Appendix B) and then checks that each
    /// component holds only the characters its rule allows; none when one does not.
    static std::optional<UriParts> split(QByteArrayView text)
    {
        UriParts parts;
        QByteArrayView rest = text;
        if (const qsizetype hash = rest.indexOf('#'); hash >= 0) {
            parts.fragment = rest.sliced(hash + 1);
            rest = rest.first(hash);
        }
        if (const qsizetype question = rest.indexOf('?'); question >= 0) {
            parts.query = rest.sliced(question + 1);
            rest = rest.first(question);
        }
        if (const qsizetype colon = rest.indexOf(':'); colon >= 0 && !rest.first(colon).contains('/')) {
            parts.scheme = rest.first(colon);
            rest = rest.sliced(colon + 1);
        }
        if (rest.startsWith("//")) {
            rest = rest.sliced(2);
            const qsizetype slash = rest.indexOf('/');
            QByteArrayView authority = slash >= 0 ? rest.first(slash) : rest;
            rest = slash >= 0 ? rest.sliced(slash) : QByteArrayView();
            if (const qsizetype at = authority.indexOf('@'); at >= 0) {
                parts.userInfo = authority.first(at);
                authority = authority.sliced(at + 1);
            }
            if (const qsizetype colon = authority.indexOf(':'); colon >= 0) {
                parts.port = authority.sliced(colon + 1);
                authority = authority.first(colon);
            }
            parts.host = authority;
        }
        parts.path = rest;

        if (parts.scheme && !isScheme(*parts.scheme))
            return std::nullopt;
        // "@" can appear in neither the user information nor a host name, and IP literals are no
        // host we would accept: each of these makes the text no URI of ours.
        if (parts.userInfo && !isMadeOf(*parts.userInfo, ":"))
            return std::nullopt;
        if (parts.host && !isMadeOf(*parts.host, {}))
            return std::nullopt;
        if (parts.port && !std::all_of(parts.port->begin(), parts.port->end(), isDigit))
            return std::nullopt;
        if (!isMadeOf(parts.path, ":@/"))
            return std::nullopt;
        if (parts.query && !isMadeOf(*parts.query, ":@/?"))
            return std::nullopt;
        if (parts.fragment && !isMadeOf(*parts.fragment, ":@/?"))
            return std::nullopt;
        return parts;
    }

    /// The query's items in order, split at "&" and at each item's first "=".
    [[nodiscard]] QList<QueryItem> queryItems() const
    {
        QList<QueryItem> items;
        if (!query || query->isEmpty())
            return items;
        QByteArrayView rest = *query;
        for (;;) {
            const qsizetype ampersand = rest.indexOf('&');
            const QByteArrayView item = ampersand >= 0 ? rest.first(ampersand) : rest;
            if (const qsizetype equals = item.indexOf('='); equals >= 0)
                items.append({item.first(equals), item.sliced(equals + 1)});
            else
                items.append({item, std::nullopt});
            if (ampersand < 0)
                return items;
            rest = rest.sliced(ampersand + 1);
        }
    }
};

/// Webflow's MCP endpoint as the application registers it, and its host: one constant for both.
const QByteArray &mcpEndpoint()
{
    static const QByteArray endpoint = ClaudeCLI::webflowMCPEndpoint.toUtf8();
    return endpoint;
}

const QByteArray &mcpHost()
{
    static const QByteArray host = [] {
        const std::optional<UriParts> parts = UriParts::split(mcpEndpoint());
        return parts && parts->host ? parts->host->toByteArray() : QByteArray();
    }();
    return host;
}

const QSet<QByteArray> &requiredNames()
{
    static const QSet<QByteArray> names{"response_type", "client_id", "redirect_uri", "state",
                                        "code_challenge", "code_challenge_method", "resource"};
    return names;
}

bool hasByteOutside(QByteArrayView text, bool (*inside)(char))
{
    return !std::all_of(text.begin(), text.end(), inside);
}

bool isRedirectToBackend(QByteArrayView redirect, const QUrl &backendURL)
{
    const std::optional<UriParts> parts = UriParts::split(redirect);
    if (!parts || parts->scheme != QByteArrayView("https"))
        return false;
    // QUrl gives no host as an empty text; only both without a host count as equal.
    const QByteArray backendHost = backendURL.host().toUtf8();
    const std::optional<QByteArray> host = parts->host ? std::optional(decoded(*parts->host)) : std::nullopt;
    if (host.has_value() != !backendHost.isEmpty() || (host && *host != backendHost))
        return false;
    return !parts->userInfo && !parts->port && decoded(parts->path) == AuthorizeLink::redirectPath && !parts->query
        && !parts->fragment;
}

} // namespace

namespace AuthorizeLink {

std::optional<QByteArray> validatedAuthorizeURL(const QString &authorizeURL, const QString &state,
                                    const std::optional<QUrl> &backendURL)
{
    const QByteArray link = authorizeURL.toUtf8();
    const std::optional<UriParts> parts = UriParts::split(link);
    if (!parts || parts->scheme != QByteArrayView("https"))
        return std::nullopt;
    if (!parts->host || decoded(*parts->host) != mcpHost())
        return std::nullopt;
    if (parts->port || parts->userInfo)
        return std::nullopt;
    if (decoded(parts->path) != authorizePath || parts->fragment || !parts->query)
        return std::nullopt;

    const QList<QueryItem> items = parts->queryItems();
    if (items.size() != requiredNames().size())
        return std::nullopt;
    QHash<QByteArray, QByteArray> values;
    for (const QueryItem &item : items) {
        const QByteArray name = decoded(item.name);
        if (!item.value || values.contains(name))
            return std::nullopt;
        values.insert(name, decoded(*item.value));
    }
    const QList<QByteArray> names = values.keys();
    if (QSet<QByteArray>(names.cbegin(), names.cend()) != requiredNames())
        return std::nullopt;

    const QByteArray stateBytes = state.toUtf8();
    const QByteArray clientID = values.value("client_id");
    const QByteArray challenge = values.value("code_challenge");
    if (values.value("response_type") != "code" || values.value("state") != stateBytes)
        return std::nullopt;
    if (state.size() < 32 || state.size() > 160 || hasCharacterOutsideHexOrHyphen(stateBytes))
        return std::nullopt;
    if (clientID.size() < 8 || clientID.size() > 512 || hasCharacterOutsideVisibleASCII(clientID))
        return std::nullopt;
    if (values.value("code_challenge_method") != "S256")
        return std::nullopt;
    if (challenge.size() != 43 || hasCharacterOutsideBase64URL(challenge))
        return std::nullopt;
    if (values.value("resource") != mcpEndpoint())
        return std::nullopt;
    if (!backendURL || backendURL->scheme() != QLatin1StringView("https"))
        return std::nullopt;
    if (!isRedirectToBackend(values.value("redirect_uri"), *backendURL))
        return std::nullopt;
    return link;
}

bool hasCharacterOutsideBase64URL(QByteArrayView text)
{
    return hasByteOutside(text, [](char c) { return isAlpha(c) || isDigit(c) || c == '-' || c == '_'; });
}

bool hasCharacterOutsideHexOrHyphen(QByteArrayView text)
{
    return hasByteOutside(text, [](char c) { return isHexDigit(c) || c == '-'; });
}

bool hasCharacterOutsideVisibleASCII(QByteArrayView text)
{
    return hasByteOutside(text, [](char c) { return c >= 33 && c <= 126; });
}

bool isCancelCapability(const QString &capability)
{
    const QByteArray bytes = capability.toUtf8();
    return bytes.size() == 43 && !hasCharacterOutsideBase64URL(bytes);
}

} // namespace AuthorizeLink
