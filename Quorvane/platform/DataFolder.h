// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>

/**
 * @brief Where the application keeps its own files: the stores, the account cache and the schedule
 * cache. On Linux it is the per-user data folder plus "Tessavine" (~/.local/share/Tessavine).
 */
namespace DataFolder {

/// The folder's path; not created here (each store creates it before its first read).
[[nodiscard]] QString path();

/// A path as a sentence names it: inside the home folder it starts with "~"
/// ("~/.local/share/Tessavine"); elsewhere it is shown whole.
[[nodiscard]] QString displayPath(const QString &path);

} // namespace DataFolder
