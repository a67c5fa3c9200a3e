// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>

class BackendError;

/**
 * @brief The sentences the sign-in sheet shows when sending or checking a one-time code fails.
 *
 * A lost or missing connection and a time-out read as one plain sentence; a code check the
 * server turns down as expired or invalid reads as a mismatch; anything else keeps the error's
 * own sentence (for a locked keyring, the session vault's).
 */
namespace SignInErrors {

inline const QString noConnection = QStringLiteral("No connection. Check your network and try again.");
inline const QString codeMismatch = QStringLiteral("That code didn't match. Check the newest email or resend.");

/// The sentence for a failed code request (isVerify false) or code check (isVerify true).
[[nodiscard]] QString sentence(const BackendError &error, bool isVerify);

} // namespace SignInErrors
