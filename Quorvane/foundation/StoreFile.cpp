// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/StoreFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <cmath>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

StoreFile::ReadResult failed(const QString &error)
{
    return {StoreFile::ReadResult::Outcome::Failed, {}, error};
}

/// Closes the descriptor when the read is over, whichever way it ends.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

StoreFile::ReadResult StoreFile::read(const QString &path, qint64 limit)
{
    // O_NONBLOCK: opening a FIFO to read would otherwise wait for a writer that may never come.
    // It changes nothing for the regular files that are read below.
    int fd = -1;
    do {
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ENOENT)
            return {ReadResult::Outcome::Missing, {}, {}};
        return failed(qt_error_string(errno));
    }
    const Descriptor file(fd);

    struct stat info = {};
    if (::fstat(file.get(), &info) != 0)
        return failed(qt_error_string(errno));
    if (S_ISDIR(info.st_mode))
        return failed(qt_error_string(EISDIR));
    if (!S_ISREG(info.st_mode))
        return failed(QStringLiteral("not a regular file"));
    if (info.st_size > limit)
        return failed(QStringLiteral("larger than %1 bytes").arg(limit));

    // The file may grow while it is read; one byte past the limit tells that it did.
    QByteArray bytes(qsizetype(info.st_size) + 1, Qt::Uninitialized);
    qsizetype total = 0;
    while (total < bytes.size()) {
        const ssize_t count = ::read(file.get(), bytes.data() + total, size_t(bytes.size() - total));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return failed(qt_error_string(errno));
        if (count == 0)
            break;
        total += count;
        if (total == bytes.size() && total <= limit)
            bytes.resize(std::min<qint64>(limit + 1, bytes.size() * 2));
    }
    if (total > limit)
        return failed(QStringLiteral("larger than %1 bytes").arg(limit));
    bytes.truncate(total);
    return {ReadResult::Outcome::Read, std::move(bytes), {}};
}

std::optional<QString> StoreFile::writeAtomically(const QByteArray &bytes, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // The temporary file takes a new file's default mode (or the replaced file's); set ours before
    // any byte of the data is in it.
    if (!file.setPermissions(ownerOnly)) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

void StoreFile::makeFolder(const QString &path)
{
    if (QFileInfo(path).isDir())
        return;
    const QString parent = QFileInfo(path).absolutePath();
    if (QDir().mkpath(parent))
        QDir().mkdir(path, ownerOnly | QFileDevice::ExeOwner);
}

void StoreFile::removeStaleTemporaries(const QString &path)
{
    const QFileInfo file(path);
    // QSaveFile links its data under "<name>.XXXXXX" just before renaming it over the file.
    const QRegularExpression temporary(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(file.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    QDir folder = file.dir();
    const QFileInfoList candidates =
        folder.entryInfoList({file.fileName() + QStringLiteral(".??????")}, QDir::Files);
    for (const QFileInfo &candidate : candidates) {
        if (!candidate.isSymLink() && candidate.isFile() && temporary.match(candidate.fileName()).hasMatch())
            folder.remove(candidate.fileName());
    }
}

QByteArray StoreFile::encode(const QJsonObject &document)
{
    // QJsonObject keeps its members ordered by key, so the indented text lists them sorted.
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

QString StoreFile::unreadableCopyName(const QString &baseName, const QDateTime &now)
{
    return baseName + QStringLiteral("-unreadable-") + QString::number(now.toSecsSinceEpoch())
        + QStringLiteral(".json");
}

std::optional<StoreFile::Versioned<>> StoreFile::versioned(const QJsonDocument &document,
                                                           QLatin1StringView key)
{
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue version = object.value(QLatin1StringView("version"));
    const QJsonValue content = object.value(key);
    // A version written as 1.0 is still the integer 1; 1.5, text or a number beyond 64 bits is not.
    if (!version.isDouble() || content.isUndefined())
        return std::nullopt;
    const double number = version.toDouble();
    if (number != std::trunc(number) || std::abs(number) > 9.0e15)
        return std::nullopt;
    return Versioned<>{static_cast<qint64>(number), content};
}
