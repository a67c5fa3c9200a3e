// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/PersistedAccount.h"

#include "foundation/JsonReader.h"
#include "foundation/StoreFile.h"
#include "foundation/UuidText.h"

#include <QJsonDocument>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

std::optional<PersistedAccount> currentLayout(const QJsonObject &document)
{
    JsonReader reader(document);
    const qint64 version = reader.integer("version"_L1);
    const std::optional<QUuid> ownerID = reader.optionalUuid("ownerID"_L1);
    const std::optional<AccountProfile> profile = AccountProfile::fromJson(document.value("profile"_L1));
    if (!reader.ok() || version > std::numeric_limits<int>::max() || version < -std::numeric_limits<int>::max()
        || !profile)
        return std::nullopt;
    return PersistedAccount{int(version), ownerID, *profile};
}

} // namespace

QByteArray PersistedAccount::encode() const
{
    QJsonObject document{{u"version"_s, version}, {u"profile"_s, profile.toJson()}};
    if (ownerID)
        document.insert(u"ownerID"_s, UuidText::format(*ownerID));
    return StoreFile::encode(document);
}

std::optional<PersistedAccount> PersistedAccount::decode(const QByteArray &bytes)
{
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject())
        return std::nullopt;
    if (std::optional<PersistedAccount> account = currentLayout(document.object()))
        return account;
    if (std::optional<AccountProfile> profile = AccountProfile::fromJson(document.object()))
        return PersistedAccount{currentVersion, std::nullopt, *profile};
    return std::nullopt;
}
