// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/ScheduledPublish.h"

#include <QJsonObject>
#include <QUuid>

/// @brief The parameters of "replace_scheduled_publish": a schedule of the signed-in user.
struct ReplaceParams
{
    /// Sent whole except `createdAt` and `cloudStatus`, which the backend keeps itself.
    ScheduledPublish schedule;
    QUuid userID;

    /// The call's keys; times as UTC with milliseconds and "Z", the baseline left out when absent.
    [[nodiscard]] QJsonObject toJson() const;

    friend bool operator==(const ReplaceParams &, const ReplaceParams &) = default;
};
