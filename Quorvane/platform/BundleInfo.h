// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>
#include <QVariantMap>

/**
 * @brief The information keys of this build and the folder that holds the application's resources.
 *
 * CMake writes the keys into Info.json beside the resource bundle (share/quorvane/). Functions that
 * read a key take the map as a parameter so tests can hand in their own.
 */
namespace BundleInfo {

/// The resources folder of the running executable: <executable dir>/../share/quorvane.
[[nodiscard]] QString resourcesPath();

/// The keys of the running build, read once; empty when Info.json is missing or unreadable.
[[nodiscard]] const QVariantMap &main();

/// The keys stored in a JSON object file; empty when the file is missing or not a JSON object.
[[nodiscard]] QVariantMap read(const QString &path);

} // namespace BundleInfo
