// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/CloudAuthSnapshot.h"
#include "scheduling/CancellationOutcome.h"

#include <QString>
#include <QUuid>

#include <optional>

/// @brief Names the project whose removal holds back scheduling: "site:…" or "connection:…".
struct ProjectCancellationKey
{
    QString value;

    /// "site:" and the site id when it is present and not empty, else "connection:" and the
    /// connection name; neither part is trimmed.
    [[nodiscard]] static ProjectCancellationKey forProject(const std::optional<QString> &siteID,
                                                           const QString &connectionName)
    {
        if (siteID && !siteID->isEmpty())
            return {QStringLiteral("site:") + *siteID};
        return {QStringLiteral("connection:") + connectionName};
    }

    friend bool operator==(const ProjectCancellationKey &, const ProjectCancellationKey &) = default;
};

/// @brief A removal barrier taken for a project; a copy with a server id is a different lease.
struct ProjectCancellationLease
{
    QUuid id;                      ///< fresh per removal; the key in the barrier registry
    std::optional<QUuid> serverID; ///< the backend's lease id, once granted
    ProjectCancellationKey key;    ///< the project it covers
    CloudAuthSnapshot identity;    ///< who started the removal

    friend bool operator==(const ProjectCancellationLease &, const ProjectCancellationLease &) = default;
};

/// @brief The answer of a project cancellation: the outcome and, when confirmed, the held lease.
struct ProjectCancellationResult
{
    CancellationOutcome outcome = CancellationOutcome::unknown();
    std::optional<ProjectCancellationLease> lease;

    friend bool operator==(const ProjectCancellationResult &, const ProjectCancellationResult &) = default;
};
