// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

/// @brief The reply of "begin_project_removal"; the verdict is judged by the caller.
struct BeginProjectRemovalResponse
{
    QString verdict;
    std::optional<QUuid> leaseID; ///< the removal lease the backend now holds for the project

    [[nodiscard]] static std::optional<BeginProjectRemovalResponse> fromJson(const QJsonValue &value,
                                                                             QString *error = nullptr);

    friend bool operator==(const BeginProjectRemovalResponse &, const BeginProjectRemovalResponse &) = default;
};
