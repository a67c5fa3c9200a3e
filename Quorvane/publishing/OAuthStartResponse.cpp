// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/OAuthStartResponse.h"

#include "foundation/JsonReader.h"
#include "foundation/UuidText.h"

using namespace Qt::StringLiterals;

QJsonObject StartRequest::toJson() const
{
    QJsonObject body{{u"expectedUserId"_s, UuidText::format(expectedUserID)},
                     {u"operationId"_s, UuidText::format(operationID)}};
    if (siteID)
        body.insert(u"siteId"_s, *siteID);
    if (siteName)
        body.insert(u"siteName"_s, *siteName);
    return body;
}

std::optional<OAuthStartResponse> OAuthStartResponse::fromJson(const QJsonValue &value, QString *error)
{
    JsonReader reader(value);
    OAuthStartResponse response{reader.text("authorizeURL"_L1), reader.text("state"_L1),
                                reader.uuid("operationId"_L1), reader.text("cancelCapability"_L1)};
    if (!reader.finish(error))
        return std::nullopt;
    return response;
}
