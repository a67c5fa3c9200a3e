// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/PrivateDirectory.h"

#include "foundation/UuidText.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace ClaudeCLI {

namespace {

const QString kPrefix = QStringLiteral("quorvane-cwd-");

/// The owning process's number in a private working directory's name, when it has one.
std::optional<pid_t> ownerOf(const QString &name)
{
    if (!name.startsWith(kPrefix))
        return std::nullopt;
    const qsizetype dash = name.indexOf(u'-', kPrefix.size());
    if (dash < 0)
        return std::nullopt;
    bool number = false;
    const qint64 pid = QStringView(name).sliced(kPrefix.size(), dash - kPrefix.size()).toLongLong(&number);
    if (!number || pid <= 0 || pid > INT_MAX)
        return std::nullopt;
    return pid_t(pid);
}

bool isGone(pid_t pid)
{
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

std::optional<QString> makePrivateWorkingDirectory(const QString &parent, pid_t owner, const QUuid &id)
{
    const QString path = parent + u'/' + kPrefix + QString::number(owner) + u'-' + UuidText::format(id);
    const QByteArray encoded = QFile::encodeName(path);
    struct stat status{};
    if (::lstat(encoded.constData(), &status) == 0 || errno != ENOENT)
        return std::nullopt;
    if (::mkdir(encoded.constData(), 0700) != 0)
        return std::nullopt;
    if (::lstat(encoded.constData(), &status) != 0)
        return std::nullopt;
    if (!S_ISDIR(status.st_mode) || (status.st_mode & 07777) != 0700) {
        ::rmdir(encoded.constData());
        return std::nullopt;
    }
    return path;
}

int removeAbandonedWorkingDirectories(const QString &parent)
{
    int removed = 0;
    const QStringList names = QDir(parent).entryList({kPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : names) {
        const std::optional<pid_t> owner = ownerOf(name);
        if (!owner || !isGone(*owner))
            continue;
        const QString path = parent + u'/' + name;
        struct stat status{};
        // The temporary folder is shared: only a real folder of this user is ours to remove.
        if (::lstat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISDIR(status.st_mode)
            || status.st_uid != ::getuid())
            continue;
        removePrivateWorkingDirectory(path);
        ++removed;
    }
    return removed;
}

void removePrivateWorkingDirectory(const QString &path)
{
    // Links inside are removed, never followed.
    QDir(path).removeRecursively();
}

} // namespace ClaudeCLI
