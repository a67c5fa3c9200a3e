// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/FolderIdentity.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

} // namespace

DirectoryChain &DirectoryChain::operator=(DirectoryChain &&other) noexcept
{
    closeAll();
    m_descriptors = std::move(other.m_descriptors);
    m_identity = other.m_identity;
    return *this;
}

DirectoryChain::~DirectoryChain()
{
    closeAll();
}

void DirectoryChain::closeAll()
{
    while (!m_descriptors.empty())
        m_descriptors.pop_back();
}

bool isSafeAbsolutePath(const QString &path)
{
    if (!path.startsWith(u'/'))
        return false;
    if (path == u"/")
        return true;
    if (path.endsWith(u'/') || path.contains(u"//"))
        return false;
    const QStringList components = path.split(u'/', Qt::SkipEmptyParts);
    return !components.contains(QStringLiteral(".")) && !components.contains(QStringLiteral(".."));
}

std::optional<FolderIdentity> directoryIdentity(int descriptor)
{
    struct stat status{};
    if (::fstat(descriptor, &status) != 0 || !S_ISDIR(status.st_mode))
        return std::nullopt;
    return FolderIdentity{quint64(status.st_dev), quint64(status.st_ino)};
}

std::optional<DirectoryChain> openDirectoryChain(const QString &path)
{
    if (!isSafeAbsolutePath(path))
        return std::nullopt;
    DirectoryChain chain;
    UniqueFd root(::open("/", kFolderFlags));
    if (!root.isValid())
        return std::nullopt;
    chain.m_descriptors.push_back(std::move(root));
    for (const QString &component : path.split(u'/', Qt::SkipEmptyParts)) {
        UniqueFd next(::openat(chain.m_descriptors.back().get(),
                               QFile::encodeName(component).constData(), kFolderFlags));
        if (!next.isValid())
            return std::nullopt;
        chain.m_descriptors.push_back(std::move(next));
    }
    const std::optional<FolderIdentity> identity = directoryIdentity(chain.folder());
    if (!identity)
        return std::nullopt;
    chain.m_identity = *identity;
    return chain;
}

std::optional<FolderIdentity> folderIdentity(const QString &path)
{
    const std::optional<DirectoryChain> chain = openDirectoryChain(path);
    if (!chain)
        return std::nullopt;
    return chain->identity();
}
