// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/CancellationReceiptFile.h"

#include "foundation/UuidText.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace CancellationReceiptFile {

namespace {

constexpr mode_t privateMode = 0600;

Loaded refused(const QString &sentence)
{
    return {{}, false, sentence};
}

// A file we may trust: a regular file of the effective user, reachable by one name only (a second
// link is a name someone else may hold), readable and writable by us alone.
bool isPrivateRegularFile(const struct stat &status, uid_t owner)
{
    return S_ISREG(status.st_mode) && status.st_uid == owner && status.st_nlink == 1
        && (status.st_mode & 0777) == privateMode;
}

// Closes a descriptor on every way out; the result of that close is of no interest.
class Descriptor
{
public:
    Descriptor(int fd, const PosixCalls &calls) : m_fd(fd), m_calls(calls) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            m_calls.close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    [[nodiscard]] int get() const { return m_fd; }
    /// Gives the descriptor up to the caller, who closes it.
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
    const PosixCalls &m_calls;
};

// At most limit bytes, so that a file that grows after its size was checked cannot make the load
// read past the limit; none on a read error.
std::optional<QByteArray> readAtMost(int fd, qint64 limit, const PosixCalls &calls)
{
    QByteArray bytes;
    char chunk[64 * 1024];
    while (bytes.size() < limit) {
        const size_t wanted = size_t(std::min<qint64>(qint64(sizeof chunk), limit - bytes.size()));
        const ssize_t got = calls.read(fd, chunk, wanted);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (got == 0)
            break;
        bytes.append(chunk, got);
    }
    return bytes;
}

int failWith(int error)
{
    return error != 0 ? error : EIO;
}

} // namespace

PosixCalls::PosixCalls()
    : lstat([](const char *path, struct stat *status) { return ::lstat(path, status); })
    , fstat([](int fd, struct stat *status) { return ::fstat(fd, status); })
    , open([](const char *path, int flags, mode_t mode) { return ::open(path, flags, mode); })
    , read([](int fd, void *buffer, size_t size) { return ::read(fd, buffer, size); })
    , fchmod([](int fd, mode_t mode) { return ::fchmod(fd, mode); })
    , write([](int fd, const void *buffer, size_t size) { return ::write(fd, buffer, size); })
    , fsync([](int fd) { return ::fsync(fd); })
    , close([](int fd) { return ::close(fd); })
    , rename([](const char *from, const char *to) { return ::rename(from, to); })
    , unlink([](const char *path) { return ::unlink(path); })
    , geteuid([] { return ::geteuid(); })
{
}

Loaded loadCancellationReceipts(const QString &path, const PosixCalls &calls)
{
    const QByteArray name = QFile::encodeName(path);
    const uid_t owner = calls.geteuid();

    struct stat named {};
    if (calls.lstat(name.constData(), &named) != 0)
        return errno == ENOENT ? Loaded{} : refused(unsafeSentence);
    if (!isPrivateRegularFile(named, owner))
        return refused(unsafeSentence);

    const Descriptor file(calls.open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC, 0), calls);
    if (file.get() < 0)
        return refused(unsafeSentence);
    struct stat opened {};
    if (calls.fstat(file.get(), &opened) != 0 || !isPrivateRegularFile(opened, owner))
        return refused(unsafeSentence);
    // The name may have been pointed at another file between the two looks.
    if (opened.st_dev != named.st_dev || opened.st_ino != named.st_ino)
        return refused(unsafeSentence);
    if (opened.st_size > sizeLimit)
        return refused(unsafeSentence);
    const std::optional<QByteArray> bytes = readAtMost(file.get(), sizeLimit + 1, calls);
    if (!bytes || bytes->size() > sizeLimit)
        return refused(unsafeSentence);

    const PersistedOAuthCancellations::Decoded decoded = PersistedOAuthCancellations::decode(*bytes);
    switch (decoded.verdict) {
    case PersistedOAuthCancellations::Verdict::Loaded:
        return {decoded.receipts, true, std::nullopt};
    case PersistedOAuthCancellations::Verdict::Corrupt:
        return refused(corruptSentence);
    case PersistedOAuthCancellations::Verdict::Unsupported:
        return refused(unsupportedSentence);
    case PersistedOAuthCancellations::Verdict::Unsafe:
        break;
    }
    return refused(unsafeSentence);
}

int writeReceiptAtomically(const QByteArray &bytes, const QString &target, const PosixCalls &calls)
{
    const QFileInfo info(target);
    const QByteArray targetName = QFile::encodeName(target);
    const QByteArray folderName = QFile::encodeName(info.path());
    // A fresh name each time: a temporary file left by a crash is never reused.
    const QByteArray temporaryName = QFile::encodeName(
        info.path() + QStringLiteral("/.") + info.fileName() + u'.' + UuidText::format(QUuid::createUuid())
        + QStringLiteral(".tmp"));

    const int fd = calls.open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              privateMode);
    if (fd < 0)
        return failWith(errno);
    Descriptor temporary(fd, calls);
    const auto abandon = [&](int error) {
        if (temporary.get() >= 0)
            calls.close(temporary.release());
        calls.unlink(temporaryName.constData());
        return failWith(error);
    };

    // The mode given to open is narrowed by the umask; this one is exact.
    if (calls.fchmod(temporary.get(), privateMode) != 0)
        return abandon(errno);
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t count = calls.write(temporary.get(), bytes.constData() + written, size_t(bytes.size() - written));
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return abandon(errno);
        }
        if (count == 0)
            return abandon(EIO);
        written += count;
    }
    if (calls.fsync(temporary.get()) != 0)
        return abandon(errno);
    if (calls.close(temporary.release()) != 0)
        return abandon(errno);
    if (calls.rename(temporaryName.constData(), targetName.constData()) != 0)
        return abandon(errno);

    // From here the new content is in place; a failure still counts, since it is not yet sure to
    // survive a crash or to be the file we wrote.
    const Descriptor folder(calls.open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0), calls);
    if (folder.get() < 0)
        return failWith(errno);
    if (calls.fsync(folder.get()) != 0)
        return failWith(errno);
    struct stat written {};
    if (calls.lstat(targetName.constData(), &written) != 0 || !isPrivateRegularFile(written, calls.geteuid()))
        return EACCES;
    return 0;
}

} // namespace CancellationReceiptFile
