// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ProjectCancellationBarrierRegistry.h"

#include <algorithm>

std::optional<ProjectCancellationLease>
ProjectCancellationBarrierRegistry::attachServerID(const QUuid &serverID, const ProjectCancellationLease &lease)
{
    const auto stored = leases.find(lease.id);
    if (stored == leases.end() || *stored != lease)
        return std::nullopt;
    stored->serverID = serverID;
    return *stored;
}

void ProjectCancellationBarrierRegistry::remove(const ProjectCancellationLease &lease)
{
    const auto stored = leases.find(lease.id);
    if (stored != leases.end() && *stored == lease)
        leases.erase(stored);
}

bool ProjectCancellationBarrierRegistry::blocks(const ScheduledPublish &schedule,
                                                const std::optional<CloudAuthSnapshot> &identity) const
{
    if (!identity)
        return false;
    const QString site = QStringLiteral("site:") + schedule.siteId;
    const QString connection = QStringLiteral("connection:") + schedule.connectionName;
    return std::any_of(leases.cbegin(), leases.cend(), [&](const ProjectCancellationLease &lease) {
        return lease.identity == *identity && (lease.key.value == site || lease.key.value == connection);
    });
}
