// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/ProfileRow.h"

#include "foundation/JsonReader.h"

using namespace Qt::StringLiterals;

std::optional<ProfileRow> ProfileRow::fromJson(const QJsonValue &value)
{
    JsonReader reader(value);
    ProfileRow row{reader.text("email"_L1), reader.boolean("marketing_opt_in"_L1)};
    if (!reader.ok())
        return std::nullopt;
    return row;
}
