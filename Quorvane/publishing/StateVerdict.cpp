// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/StateVerdict.h"

#include "foundation/JsonReader.h"

using namespace Qt::StringLiterals;

QJsonObject InspectAttempt::toJson() const
{
    return {{u"p_state"_s, state}};
}

std::optional<StateVerdict> StateVerdict::fromJson(const QJsonValue &value, QString *error)
{
    JsonReader reader(value);
    StateVerdict verdict{reader.text("phase"_L1), reader.optionalText("outcome"_L1),
                         reader.optionalText("landed_site_id"_L1), reader.optionalText("site_id"_L1)};
    if (!reader.finish(error))
        return std::nullopt;
    return verdict;
}

std::optional<StateVerdict> StateVerdict::fromReply(const QJsonValue &reply)
{
    if (reply.isNull())
        return std::nullopt;
    std::optional<StateVerdict> verdict = fromJson(reply);
    if (!verdict || verdict->outcome)
        return verdict;
    if (verdict->phase == u"recovery_required"_s || verdict->phase == u"reconciliation_pending"_s)
        return verdict;
    return std::nullopt;
}
