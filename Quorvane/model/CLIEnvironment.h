// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/CLIVersion.h"
#include "model/ClaudeInstall.h"

#include <QList>
#include <QString>

#include <optional>

/**
 * @brief What the application found of the claude command-line tool. A default-constructed
 * environment is the empty one the application starts with.
 */
struct CLIEnvironment
{
    /// The executable the application runs; absent when none usable was found.
    std::optional<QString> binary;
    std::optional<CLIVersion> version;
    /// Whether that executable is new enough for the in-app MCP login.
    bool supportsLogin = false;
    /// Every install found, in discovery order.
    QList<ClaudeInstall> installs;

    /// The installs whose version could not be read, in their order in `installs`.
    [[nodiscard]] QList<ClaudeInstall> brokenInstalls() const;

    friend bool operator==(const CLIEnvironment &, const CLIEnvironment &) = default;
};
