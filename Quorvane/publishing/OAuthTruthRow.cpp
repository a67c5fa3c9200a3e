// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/OAuthTruthRow.h"

#include "foundation/JsonReader.h"

using namespace Qt::StringLiterals;

std::optional<OAuthTruthRow> OAuthTruthRow::fromJson(const QJsonValue &value, QString *error, const QString &path)
{
    JsonReader reader(value, path);
    OAuthTruthRow row{reader.uuid("operation_id"_L1), reader.text("phase"_L1)};
    if (!reader.finish(error))
        return std::nullopt;
    return row;
}
