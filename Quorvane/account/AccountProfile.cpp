// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/AccountProfile.h"

#include "foundation/ReferenceSeconds.h"

using namespace Qt::StringLiterals;

QDateTime AccountProfile::referenceDate()
{
    return ReferenceSeconds::origin();
}

QDateTime AccountProfile::distantPast()
{
    // The same instant as Foundation's distantPast, so a cache moved between platforms agrees.
    return referenceDate().addSecs(-63114076800);
}

QJsonObject AccountProfile::toJson() const
{
    // Milliseconds are all a QDateTime holds, and the shortest text of this double reads back
    // to the same milliseconds.
    return {{u"email"_s, email},
            {u"marketingOptIn"_s, marketingOptIn},
            {u"fetchedAt"_s, ReferenceSeconds::from(fetchedAt)}};
}

std::optional<AccountProfile> AccountProfile::fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();

    const QJsonValue email = object.value("email"_L1);
    if (!email.isString())
        return std::nullopt;
    AccountProfile profile{email.toString(), false, distantPast()};

    const QJsonValue optIn = object.value("marketingOptIn"_L1);
    if (optIn.isBool())
        profile.marketingOptIn = optIn.toBool();
    else if (!optIn.isUndefined() && !optIn.isNull())
        return std::nullopt;

    const QJsonValue fetchedAt = object.value("fetchedAt"_L1);
    if (fetchedAt.isDouble()) {
        // Beyond a few million years QDateTime cannot hold the instant.
        const std::optional<QDateTime> at = ReferenceSeconds::toDate(fetchedAt.toDouble(), 1e14);
        if (!at)
            return std::nullopt;
        profile.fetchedAt = *at;
    } else if (!fetchedAt.isUndefined() && !fetchedAt.isNull()) {
        return std::nullopt;
    }
    return profile;
}
