// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/LocalStore.h"

#include "foundation/Clock.h"

#include <QDir>
#include <QFileInfo>

LocalStore::LocalStore(const QString &folder, Naming naming, Sentences sentences,
                       Environment environment, QObject *parent)
    : QObject(parent)
    , m_clock(environment.clock)
    , m_record(std::move(environment.record))
    , m_writer(std::move(environment.writer))
    , m_folder(folder)
    , m_filePath(QDir(folder).filePath(naming.fileName))
    , m_naming(std::move(naming))
    , m_sentences(std::move(sentences))
{
    StoreFile::makeFolder(folder);
}

std::optional<QByteArray> LocalStore::readFile()
{
    StoreFile::removeStaleTemporaries(m_filePath);
    StoreFile::ReadResult read = StoreFile::read(m_filePath);
    switch (read.outcome) {
    case StoreFile::ReadResult::Outcome::Read:
        return std::move(read.bytes);
    case StoreFile::ReadResult::Outcome::Missing:
        break;
    case StoreFile::ReadResult::Outcome::Failed:
        disableWriting(m_sentences.unreadable);
        record(m_naming.fileName + QStringLiteral(" could not be read: ") + read.error);
        break;
    }
    return std::nullopt;
}

void LocalStore::setAside(const QByteArray &bytes, SetAside why)
{
    disableWriting(why == SetAside::otherVersion ? m_sentences.unsupported : m_sentences.undecodable);
    const std::optional<QString> copy = preserveCopy(bytes);
    if (const std::optional<QString> note = setAsideNote(why, bytes, copy))
        record(*note);
}

std::optional<QString> LocalStore::setAsideNote(SetAside, const QByteArray &,
                                                const std::optional<QString> &) const
{
    return std::nullopt;
}

std::optional<QString> LocalStore::preserveCopy(const QByteArray &bytes) const
{
    const QString name = StoreFile::unreadableCopyName(QFileInfo(m_naming.fileName).completeBaseName(),
                                                       m_clock.now());
    if (const std::optional<QString> error =
            StoreFile::writeAtomically(bytes, QDir(m_folder).filePath(name))) {
        record(QStringLiteral("backup failed: ") + *error);
        return std::nullopt;
    }
    return name;
}

LocalStore::SaveResult LocalStore::save(const QByteArray &bytes)
{
    if (!m_persistenceWritable)
        return SaveFailure{SaveFailure::Kind::readOnly, m_persistenceIssue};
    if (const std::optional<QString> error = write(bytes)) {
        disableWriting(m_sentences.saveFailed);
        record(*error);
        return SaveFailure{SaveFailure::Kind::writeFailed, m_persistenceIssue};
    }
    return std::nullopt;
}

std::optional<QString> LocalStore::write(const QByteArray &bytes) const
{
    return m_writer(bytes, m_filePath);
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
    m_record(m_naming.area, message, m_clock.now());
}
