// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>

// Text made safe to keep in logs and to send in error reports. Both functions are pure and may
// be used on any thread.

/// The text with sign-in and authorization addresses, addresses that carry codes, tokens or keys,
/// API keys, webhook secrets, bearer credentials and JSON Web Tokens replaced by markers.
[[nodiscard]] QString redactSecrets(const QString &text);

/// The text without NUL characters. The claude sign-in runs under the key "\0claude-auth";
/// a message or log line that names it shows "claude-auth".
[[nodiscard]] QString withoutNul(const QString &text);
