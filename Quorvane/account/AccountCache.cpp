// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/AccountCache.h"

#include "foundation/StoreFile.h"
#include "foundation/Clock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

AccountCache::AccountCache(const QString &folder, const Clock &clock)
    : m_path(QDir(folder).filePath(QStringLiteral("account.json")))
    , m_clock(clock)
{
    QDir().mkpath(folder);
}

AccountCache::Load AccountCache::load()
{
    const StoreFile::ReadResult read = StoreFile::read(m_path);
    switch (read.outcome) {
    case StoreFile::ReadResult::Outcome::Missing:
        return {};
    case StoreFile::ReadResult::Outcome::Failed:
        // Something is there that we cannot see into: treat it like a format we do not know,
        // so that no later write replaces what may be the user's only copy.
        m_writable = false;
        return {Load::Outcome::Preserved, {}, QStringLiteral("account.json could not be read: ") + read.error};
    case StoreFile::ReadResult::Outcome::Read:
        break;
    }
    const std::optional<PersistedAccount> account = PersistedAccount::decode(read.bytes);
    if (account && account->version == PersistedAccount::currentVersion)
        return {Load::Outcome::Loaded, *account, std::nullopt};
    return {Load::Outcome::Preserved, {}, preserve(read.bytes)};
}

std::optional<QString> AccountCache::preserve(const QByteArray &bytes)
{
    m_writable = false;
    const QString backup = QFileInfo(m_path).dir().filePath(
        StoreFile::unreadableCopyName(QStringLiteral("account"), m_clock.now()));
    if (const std::optional<QString> error = StoreFile::writeAtomically(bytes, backup))
        return QStringLiteral("backup failed: ") + *error;
    return std::nullopt;
}

std::optional<QString> AccountCache::write(const PersistedAccount &account) const
{
    if (!m_writable)
        return std::nullopt;
    return StoreFile::writeAtomically(account.encode(), m_path);
}

void AccountCache::remove() const
{
    if (m_writable)
        QFile::remove(m_path);
}
