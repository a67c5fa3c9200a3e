// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>

/// The text without the spaces and tabs at either end; line breaks are kept. Spaces are every
/// Unicode space separator.
[[nodiscard]] QString trimmedOfSpaces(const QString &text);

/// The text cut to at most `keep` user-perceived characters when it has `limit` or more: the
/// cut text is trimmed of spaces and tabs and gets a "…". A shorter text is returned unchanged.
[[nodiscard]] QString cutToCharacters(const QString &text, int limit, int keep);
