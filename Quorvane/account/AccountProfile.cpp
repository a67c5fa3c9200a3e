// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/AccountProfile.h"

#include <cmath>

using namespace Qt::StringLiterals;

QDateTime AccountProfile::referenceDate()
{
    return QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
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
            {u"fetchedAt"_s, double(referenceDate().msecsTo(fetchedAt)) / 1000.0}};
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
        const double seconds = fetchedAt.toDouble();
        // Beyond a few million years QDateTime cannot hold the instant.
        if (!std::isfinite(seconds) || std::abs(seconds) > 1e14)
            return std::nullopt;
        profile.fetchedAt = referenceDate().addMSecs(std::llround(seconds * 1000.0));
        if (!profile.fetchedAt.isValid())
            return std::nullopt;
    } else if (!fetchedAt.isUndefined() && !fetchedAt.isNull()) {
        return std::nullopt;
    }
    return profile;
}
