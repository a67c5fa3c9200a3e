// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUrl>

#include <optional>

/**
 * @brief The check of the consent link that the backend's start function returns, before any
 * browser sees it.
 *
 * The link must be Webflow's own authorize endpoint on the MCP host, an authorization-code request
 * with PKCE (S256) for the MCP endpoint as resource, carrying exactly the attempt's state and
 * redirecting to the backend's own OAuth function; anything else is refused.
 *
 * The link is split by our own RFC 3986 reader over its raw bytes, not by QUrl: QUrl lower-cases
 * the scheme and the host ("HTTPS" would pass as "https") and cannot tell a query item "a" from
 * "a=". What passes is opened as exactly those bytes.
 */
namespace AuthorizeLink {

/// The path of Webflow's authorize endpoint.
inline constexpr QByteArrayView authorizePath = "/oauth/authorize";
/// The path of the backend function that receives the authorization code.
inline constexpr QByteArrayView redirectPath = "/functions/v1/webflow-mcp-oauth";

/// The bytes of @p authorizeURL when every rule holds for it, @p state (the start reply's) and
/// @p backendURL (the build's backend, which must be https); none otherwise. Pure.
[[nodiscard]] std::optional<QByteArray> validatedAuthorizeURL(const QString &authorizeURL, const QString &state,
                                                  const std::optional<QUrl> &backendURL);

/// Whether some byte is not an ASCII letter, digit, "-" or "_". False for empty text.
[[nodiscard]] bool hasCharacterOutsideBase64URL(QByteArrayView text);
/// Whether some byte is not a digit, "A"-"F", "a"-"f" or "-". False for empty text.
[[nodiscard]] bool hasCharacterOutsideHexOrHyphen(QByteArrayView text);
/// Whether some byte is outside 33-126. False for empty text.
[[nodiscard]] bool hasCharacterOutsideVisibleASCII(QByteArrayView text);

/// Whether the text can be the one-time capability of a connect attempt: exactly 43 bytes of the
/// base64url alphabet.
[[nodiscard]] bool isCancelCapability(const QString &capability);

} // namespace AuthorizeLink
