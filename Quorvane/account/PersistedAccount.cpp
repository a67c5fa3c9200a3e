// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/PersistedAccount.h"

#include "model/StoreFile.h"
#include "model/UuidText.h"

#include <QJsonDocument>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

std::optional<int> integer(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::trunc(number) || std::abs(number) > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(number);
}

std::optional<PersistedAccount> currentLayout(const QJsonObject &document)
{
    const std::optional<int> version = integer(document.value("version"_L1));
    const std::optional<AccountProfile> profile = AccountProfile::fromJson(document.value("profile"_L1));
    if (!version || !profile)
        return std::nullopt;
    PersistedAccount account{*version, std::nullopt, *profile};
    const QJsonValue owner = document.value("ownerID"_L1);
    if (owner.isString()) {
        account.ownerID = UuidText::parse(owner.toString());
        if (!account.ownerID)
            return std::nullopt;
    } else if (!owner.isUndefined() && !owner.isNull()) {
        return std::nullopt;
    }
    return account;
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
