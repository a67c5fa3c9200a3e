// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QString>

/**
 * @brief A ~/.claude.json shaped like one Claude Code has kept for a long time: written with
 * two-space indentation and keys in the order the tool adds them (not sorted), with project
 * histories holding non-ASCII text and escaped characters, projects of different shapes, six
 * user-scope Webflow servers and a few project-level servers.
 */
namespace RealisticRegistry {

/// The user-scope servers the benchmarks' registry holds that this application manages.
inline constexpr int kManagedServers = 6;

/// A registry of about the given size in bytes.
[[nodiscard]] QByteArray generate(qsizetype targetSize);

/// The same registry with one more user-scope server of this application, added first.
[[nodiscard]] QByteArray withUserServer(const QByteArray &registry, const QString &name);

} // namespace RealisticRegistry
