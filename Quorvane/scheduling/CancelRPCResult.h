// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/ScheduleCloudRow.h"

#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

/// @brief The reply of "cancel_scheduled_publish"; the verdict is judged by the caller.
struct CancelRPCResult
{
    QString verdict;
    std::optional<QUuid> requestedID;
    std::optional<ScheduleCloudRow> currentSchedule;

    [[nodiscard]] static std::optional<CancelRPCResult> fromJson(const QJsonValue &value,
                                                                 QString *error = nullptr);

    friend bool operator==(const CancelRPCResult &, const CancelRPCResult &) = default;
};
