// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>
#include <QStringView>

// Text made safe to keep in logs and to send in error reports. The functions are pure and may be
// used on any thread.

/// The text with sign-in and authorization addresses, addresses that carry codes, tokens or keys,
/// token and code parameters of a query or fragment, token members of JSON, API keys, backend
/// secret keys, webhook secrets, bearer credentials and JSON Web Tokens replaced by markers. Lone
/// surrogates are replaced by U+FFFD first (see withoutLoneSurrogates()).
[[nodiscard]] QString redactSecrets(const QString &text);

/// The text with every lone UTF-16 surrogate (one half of a pair without the other) replaced by
/// U+FFFD. A regular expression matches nothing at all in a text that holds one.
[[nodiscard]] QString withoutLoneSurrogates(QStringView text);

/// The text without NUL characters. The claude sign-in runs under the key "\0claude-auth";
/// a message or log line that names it shows "claude-auth".
[[nodiscard]] QString withoutNul(const QString &text);
