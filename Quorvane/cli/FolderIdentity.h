// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/UniqueFd.h"

#include <QString>

#include <optional>
#include <vector>

/**
 * @brief The device and inode numbers of a folder: comparing two shows whether a path still names
 * the very folder it named before.
 */
struct FolderIdentity
{
    quint64 device = 0;
    quint64 inode = 0;

    friend bool operator==(const FolderIdentity &, const FolderIdentity &) = default;
};

/**
 * @brief Open descriptors of every folder from the root down to one folder, reached without
 * following a symbolic link; the last is the folder itself. Closed last first when it goes.
 */
class DirectoryChain
{
public:
    DirectoryChain() = default;
    DirectoryChain(DirectoryChain &&) = default;
    DirectoryChain &operator=(DirectoryChain &&other) noexcept;
    ~DirectoryChain();

    /// The folder the chain ends at (close-on-exec, as every descriptor of the chain).
    [[nodiscard]] int folder() const { return m_descriptors.back().get(); }
    [[nodiscard]] const FolderIdentity &identity() const { return m_identity; }

private:
    friend std::optional<DirectoryChain> openDirectoryChain(const QString &path);
    void closeAll();

    std::vector<UniqueFd> m_descriptors;
    FolderIdentity m_identity;
};

/// Whether the path is absolute and canonical: no trailing or doubled "/", no "." or ".."
/// component ("/" itself is fine).
[[nodiscard]] bool isSafeAbsolutePath(const QString &path);

/// Opens every folder of a safe absolute path from the root down, refusing symbolic links, files
/// and missing components; absent (with nothing left open) when any step fails.
[[nodiscard]] std::optional<DirectoryChain> openDirectoryChain(const QString &path);

/// The identity of the folder a safe absolute path names, reached without following links.
[[nodiscard]] std::optional<FolderIdentity> folderIdentity(const QString &path);

/// The identity of an open descriptor when it is a directory.
[[nodiscard]] std::optional<FolderIdentity> directoryIdentity(int descriptor);
