// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/LocalStore.h"

#include "model/ErrorLog.h"
#include "foundation/Clock.h"

#include <QDir>

LocalStore::LocalStore(const QString &folder, const QString &fileName, const QString &area,
                       Clock &clock, AtomicWriter writer, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_writer(std::move(writer))
    , m_folder(folder)
    , m_filePath(QDir(folder).filePath(fileName))
    , m_area(area)
{
    QDir().mkpath(folder);
}

std::optional<QByteArray> LocalStore::readFile(const QString &unreadableSentence)
{
    StoreFile::ReadResult read = StoreFile::read(m_filePath);
    switch (read.outcome) {
    case StoreFile::ReadResult::Outcome::Read:
        return std::move(read.bytes);
    case StoreFile::ReadResult::Outcome::Missing:
        break;
    case StoreFile::ReadResult::Outcome::Failed:
        disableWriting(unreadableSentence);
        record(read.error);
        break;
    }
    return std::nullopt;
}

std::optional<QString> LocalStore::write(const QByteArray &bytes) const
{
    return m_writer(bytes, m_filePath);
}

std::optional<QString> LocalStore::preserveCopy(const QByteArray &bytes,
                                                const QString &baseName) const
{
    const QString name = StoreFile::unreadableCopyName(baseName, m_clock.now());
    if (const std::optional<QString> error =
            StoreFile::writeAtomically(bytes, QDir(m_folder).filePath(name))) {
        record(QStringLiteral("backup failed: ") + *error);
        return std::nullopt;
    }
    return name;
}

void LocalStore::setPersistenceIssue(const QString &issue)
{
    if (m_persistenceIssue == issue)
        return;
    m_persistenceIssue = issue;
    emit persistenceIssueChanged();
}

void LocalStore::disableWriting(const QString &issue)
{
    setPersistenceIssue(issue);
    if (!m_persistenceWritable)
        return;
    m_persistenceWritable = false;
    emit persistenceWritableChanged();
}

void LocalStore::record(const QString &message) const
{
    ErrorLog::shared().record(m_area, message, m_clock.now());
}
