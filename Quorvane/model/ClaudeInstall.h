// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/CLIVersion.h"

#include <QString>

#include <optional>

/**
 * @brief One claude executable found on the machine.
 */
struct ClaudeInstall
{
    QString path;
    /// Absent when the executable did not tell its version, which makes the install broken.
    std::optional<CLIVersion> version;

    friend bool operator==(const ClaudeInstall &, const ClaudeInstall &) = default;
};

[[nodiscard]] inline size_t qHash(const ClaudeInstall &install, size_t seed = 0) noexcept
{
    return qHashMulti(seed, install.path, install.version.has_value(),
                      install.version.value_or(CLIVersion{}));
}
