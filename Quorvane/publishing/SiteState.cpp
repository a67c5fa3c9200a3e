// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/SiteState.h"

#include "foundation/InternetDateTime.h"
#include "foundation/JsonReader.h"

using namespace Qt::StringLiterals;

QJsonObject SiteStateRequest::toJson() const
{
    return {{u"siteId"_s, siteID}};
}

std::optional<SiteState> SiteState::fromJson(const QJsonValue &value, QString *error)
{
    JsonReader reader(value);
    SiteState state{reader.optionalText("lastUpdated"_L1)};
    if (!reader.finish(error))
        return std::nullopt;
    return state;
}

std::optional<QDateTime> SiteState::lastUpdatedDate() const
{
    if (!lastUpdated)
        return std::nullopt;
    const QDateTime date = InternetDateTime::parse(*lastUpdated, InternetDateTime::rfc3339Form);
    if (!date.isValid())
        return std::nullopt;
    return date;
}
