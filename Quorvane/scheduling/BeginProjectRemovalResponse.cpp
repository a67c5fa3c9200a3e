// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/BeginProjectRemovalResponse.h"

#include "scheduling/ScheduleCoding.h"

using namespace Qt::StringLiterals;
using namespace ScheduleCoding;

std::optional<BeginProjectRemovalResponse> BeginProjectRemovalResponse::fromJson(const QJsonValue &value,
                                                                                 QString *error)
{
    // A lease id is a UUID even though only its presence is acted on: garbage fails the reply.
    Reader reader(value, DateForm::Backend);
    BeginProjectRemovalResponse response{reader.text("verdict"_L1), reader.optionalUuid("lease_id"_L1)};
    if (!reader.finish(error))
        return std::nullopt;
    return response;
}
