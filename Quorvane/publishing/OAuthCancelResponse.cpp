// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/OAuthCancelResponse.h"

#include "foundation/JsonReader.h"
#include "foundation/UuidText.h"

using namespace Qt::StringLiterals;

QJsonObject OAuthCancelRequest::toJson() const
{
    return {{u"state"_s, state},
            {u"operationId"_s, UuidText::format(operationID)},
            {u"cancelCapability"_s, cancelCapability}};
}

std::optional<OAuthCancelResponse> OAuthCancelResponse::fromJson(const QJsonValue &value, QString *error)
{
    JsonReader reader(value);
    OAuthCancelResponse response{reader.optionalBoolean("cancelled"_L1), reader.optionalBoolean("alreadyTerminal"_L1)};
    if (!reader.finish(error))
        return std::nullopt;
    return response;
}
