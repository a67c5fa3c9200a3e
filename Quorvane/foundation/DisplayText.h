// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>
#include <QStringView>

// Texts from outside the application (names and URLs read from ~/.claude.json) are shown and
// quoted only through these, so that a line break, a bidirectional override or an invisible
// character can never reshape a message.

/// Whether any Unicode scalar of the text is a control (Cc) or format (Cf) character.
[[nodiscard]] bool containsControlCharacter(QStringView text);

/// The text with every user-perceived character that holds a control or format scalar replaced
/// as a whole by "·"; when the result has more than `maximum` user-perceived characters, its first
/// `maximum` followed by "…".
[[nodiscard]] QString sanitizedForDisplay(QStringView text, qsizetype maximum);
