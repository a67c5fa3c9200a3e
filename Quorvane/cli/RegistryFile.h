// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QJsonObject>
#include <QString>

namespace ClaudeCLI {

/// The largest ~/.claude.json the reader maps; far above any real one, low enough that a file
/// grown without bound is refused instead of read.
inline constexpr qint64 kRegistrySizeLimit = qint64(256) * 1024 * 1024;

/**
 * @brief What one read of Claude's registry file found: the parsed top-level object, or why
 * there is none.
 */
struct RegistryFile
{
    enum class State {
        /// Nothing is at the path.
        Missing,
        /// Something is there but could not be read as a regular file within the size limit.
        Unreadable,
        /// The bytes are not a JSON object (or the file shrank while it was read).
        Unparseable,
        Parsed,
    };
    State state = State::Missing;
    /// The top-level object when parsed.
    QJsonObject registry;
};

/**
 * Reads a registry file by mapping it rather than copying it. Only a regular file within the size
 * limit is read: a FIFO, a device, a folder or a link to one of them is unreadable, and the open
 * never waits for a writer. The file is written in place by Claude Code, so it can shrink while it
 * is mapped; the pages that went then read as zeros and the read is unparseable, never a crash.
 * Blocks on the file: call it on the driver's threads.
 */
[[nodiscard]] RegistryFile readRegistryFile(const QString &path, qint64 sizeLimit = kRegistrySizeLimit);

} // namespace ClaudeCLI
