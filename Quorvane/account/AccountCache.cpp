// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/AccountCache.h"

#include <QFile>

namespace {

// The file's words for every way it cannot be used, as the account model shows them.
const QString kUnsupportedSentence =
    QStringLiteral("Saved account data used an unsupported format and was preserved.");

} // namespace

AccountCache::AccountCache(const QString &folder, const Clock &clock, AtomicWriter writer)
    : LocalStore(folder, {QStringLiteral("account.json"), QStringLiteral("account-cache")},
                 {
                     kUnsupportedSentence,
                     kUnsupportedSentence,
                     kUnsupportedSentence,
                     QStringLiteral("Account status could not be cached for offline use."),
                 },
                 {clock,
                  [this](const QString &, const QString &message, const QDateTime &) { m_failure = message; },
                  std::move(writer)},
                 nullptr)
{
}

AccountCache::Load AccountCache::load()
{
    m_failure.reset();
    const Layouts<PersistedAccount> layouts{
        // PersistedAccount reads the older bare profile too, as the current version.
        [](const QByteArray &bytes) -> std::optional<StoreFile::Versioned<PersistedAccount>> {
            std::optional<PersistedAccount> account = PersistedAccount::decode(bytes);
            if (!account)
                return std::nullopt;
            return StoreFile::Versioned<PersistedAccount>{account->version, std::move(*account)};
        },
        {},
    };
    if (std::optional<PersistedAccount> account = LocalStore::load(layouts))
        return {Load::Outcome::Loaded, std::move(*account), std::nullopt};
    if (persistenceWritable())
        return {};
    return {Load::Outcome::Preserved, {}, m_failure};
}

std::optional<QString> AccountCache::write(const PersistedAccount &account)
{
    if (!persistenceWritable())
        return std::nullopt;
    const std::optional<QString> failure = LocalStore::write(account.encode());
    setPersistenceIssue(failure ? sentences().saveFailed : QString());
    return failure;
}

void AccountCache::remove() const
{
    if (persistenceWritable())
        QFile::remove(filePath());
}
