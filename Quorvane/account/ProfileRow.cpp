// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/ProfileRow.h"

#include <QJsonObject>

using namespace Qt::StringLiterals;

std::optional<ProfileRow> ProfileRow::fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject row = value.toObject();
    const QJsonValue email = row.value("email"_L1);
    const QJsonValue optIn = row.value("marketing_opt_in"_L1);
    if (!email.isString() || !optIn.isBool())
        return std::nullopt;
    return ProfileRow{email.toString(), optIn.toBool()};
}
