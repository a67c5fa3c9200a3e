// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/OAuthRecoveryAttempt.h"

#include "foundation/BackendTimestamp.h"
#include "foundation/JsonReader.h"

using namespace Qt::StringLiterals;

std::optional<OAuthRecoveryAttempt> OAuthRecoveryAttempt::fromJson(const QJsonValue &value, QString *error,
                                                                   const QString &path)
{
    JsonReader reader(value, path, &BackendTimestamp::parse);
    OAuthRecoveryAttempt attempt{reader.text("state"_L1), reader.optionalText("site_id"_L1),
                                 reader.optionalText("site_name"_L1), reader.date("created_at"_L1),
                                 reader.optionalText("provider"_L1)};
    if (!reader.finish(error))
        return std::nullopt;
    return attempt;
}
