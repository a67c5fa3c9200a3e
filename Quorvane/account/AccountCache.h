// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "account/PersistedAccount.h"
#include "model/LocalStore.h"

#include <QString>

#include <optional>

class Clock;

/**
 * @brief The file account.json in the application's data folder: read once at start-up, then
 * replaced whole after each profile change and removed at sign-out.
 *
 * Loaded as every local store is: a file that is there but cannot be used (another version,
 * content that is neither layout, or a file that cannot be read at all) is never overwritten or
 * removed: its bytes are copied aside as "account-unreadable-<Unix seconds>.json" when they could
 * be read, and the cache stays read-only for the rest of the process. Unlike the other stores it
 * is only a cache: a failed write leaves it writable, so that the next write, or the removal at
 * sign-out, still takes effect.
 */
class AccountCache : public LocalStore
{
    Q_OBJECT

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
    /// folder that cannot be created shows later as a failed write. The clock names backups;
    /// `writer` replaces the file.
    AccountCache(const QString &folder, const Clock &clock, AtomicWriter writer = StoreFile::writeAtomically);

    [[nodiscard]] QString path() const { return filePath(); }
    /// False once an unusable file was preserved.
    [[nodiscard]] bool isWritable() const { return persistenceWritable(); }

    /// Reads and decodes the file; an unusable one is preserved.
    Load load();
    /// Replaces the file atomically; the failure's description, or nothing. Writes nothing while
    /// read-only.
    [[nodiscard]] std::optional<QString> write(const PersistedAccount &account);
    /// Removes the file unless read-only; a missing file is fine.
    void remove() const;

private:
    /// What loading recorded; the owner logs it under its own area.
    std::optional<QString> m_failure;
};
