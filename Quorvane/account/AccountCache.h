// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "account/PersistedAccount.h"

#include <QString>

#include <optional>

class Clock;

/**
 * @brief The file account.json in the application's data folder: read once at start-up, then
 * replaced whole after each profile change and removed at sign-out.
 *
 * A file that is there but cannot be used (another version, content that is neither layout, or
 * a file that cannot be read at all) is never overwritten or removed: its bytes are copied aside
 * as "account-unreadable-<Unix seconds>.json" when they could be read, and the cache stays
 * read-only for the rest of the process.
 */
class AccountCache
{
public:
    /// What load() found.
    struct Load
    {
        enum class Outcome {
            Missing,   ///< no file: nothing cached yet
            Loaded,    ///< `account` holds a document of the current version
            Preserved, ///< the file could not be used; the cache is now read-only
        };
        Outcome outcome = Outcome::Missing;
        PersistedAccount account;
        /// For the error log: why a preserved file could not be read or copied aside.
        std::optional<QString> failure;
    };

    /// The cache "account.json" in folder, which is created (with its parents) when missing; a
    /// folder that cannot be created shows later as a failed write. The clock names backups.
    AccountCache(const QString &folder, const Clock &clock);

    [[nodiscard]] QString path() const { return m_path; }
    /// False once an unusable file was preserved.
    [[nodiscard]] bool isWritable() const { return m_writable; }

    /// Reads and decodes the file; an unusable one is preserved.
    Load load();
    /// Replaces the file atomically; the failure's description, or nothing. Writes nothing while
    /// read-only.
    [[nodiscard]] std::optional<QString> write(const PersistedAccount &account) const;
    /// Removes the file unless read-only; a missing file is fine.
    void remove() const;

private:
    /// Makes the cache read-only and copies the bytes aside; a failed copy's description.
    std::optional<QString> preserve(const QByteArray &bytes);

    QString m_path;
    const Clock &m_clock;
    bool m_writable = true;
};
