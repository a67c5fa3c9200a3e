// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/RegistryReader.h"

#include <algorithm>

/// Whether a read of Claude's registry holds the name in user scope: managed, or unrecognized for
/// a reason other than belonging to one folder or to the other lane (those hold no name of ours).
[[nodiscard]] inline bool holdsUserScopeName(const ClaudeCLI::RegistryRead &read, const QString &name)
{
    const bool managed = std::any_of(read.servers.cbegin(), read.servers.cend(),
                                     [&](const ClaudeCLI::RegisteredServer &server) { return server.name == name; });
    return managed
        || std::any_of(read.unrecognized.cbegin(), read.unrecognized.cend(), [&](const UnrecognizedServer &server) {
               return server.name == name && !UnrecognizedServer::isOwnedElsewhere(server.reason);
           });
}
