// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/ProjectCancellationLease.h"
#include "scheduling/ScheduledPublish.h"

#include <QHash>
#include <QUuid>

#include <optional>

/**
 * @brief The removal leases of projects being removed, which hold back new publishes of those
 * projects.
 *
 * A lease only blocks under the identity that took it, so leases left over from an earlier
 * account block nothing until their removal flow takes them out. A lease is changed or removed
 * only by its current value: a copy from before its server id was attached no longer matches.
 */
struct ProjectCancellationBarrierRegistry
{
    /// Each lease under its own id.
    QHash<QUuid, ProjectCancellationLease> leases;

    void add(const ProjectCancellationLease &lease) { leases.insert(lease.id, lease); }

    /// Stores and answers the copy of @p lease with @p serverID; nothing when @p lease is not the
    /// stored value (removed, or changed meanwhile).
    std::optional<ProjectCancellationLease> attachServerID(const QUuid &serverID,
                                                           const ProjectCancellationLease &lease);

    /// Removes @p lease when it is exactly the stored value; otherwise does nothing.
    void remove(const ProjectCancellationLease &lease);

    /// Whether a lease taken under @p identity covers @p schedule's site or connection; never
    /// without an identity.
    [[nodiscard]] bool blocks(const ScheduledPublish &schedule,
                              const std::optional<CloudAuthSnapshot> &identity) const;

    friend bool operator==(const ProjectCancellationBarrierRegistry &,
                           const ProjectCancellationBarrierRegistry &) = default;
};
