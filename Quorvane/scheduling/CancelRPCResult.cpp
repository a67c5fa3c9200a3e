// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/CancelRPCResult.h"

#include "scheduling/ScheduleCoding.h"

using namespace Qt::StringLiterals;
using namespace ScheduleCoding;

std::optional<CancelRPCResult> CancelRPCResult::fromJson(const QJsonValue &value, QString *error)
{
    Reader reader(value, DateForm::Backend);
    CancelRPCResult result{reader.text("verdict"_L1), reader.optionalUuid("requested_id"_L1),
                           reader.optionalObject("current_schedule"_L1, &ScheduleCloudRow::fromJson)};
    if (!reader.finish(error))
        return std::nullopt;
    return result;
}
