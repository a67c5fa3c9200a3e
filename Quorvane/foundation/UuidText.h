// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>
#include <QStringView>
#include <QUuid>

#include <optional>

/**
 * @brief The text form of a UUID in our own files and records: 36 characters, written upper-case,
 * read in either case ("0F8FAD5B-D9CB-469F-A165-70867728950E").
 */
namespace UuidText {

/// The 36-character text of the UUID in upper case, without braces.
[[nodiscard]] QString format(const QUuid &uuid);

/// The UUID of a 36-character text in either case; none for anything else (braces included).
[[nodiscard]] std::optional<QUuid> parse(QStringView text);

} // namespace UuidText
