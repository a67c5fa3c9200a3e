// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/ClaudeDriver.h"

#include <QString>

class TempHome;

/**
 * @brief A stand-in for the user's login shell that puts one folder in front of the test's PATH,
 * so that a driver built with `configuration()` finds that folder's claude executable first.
 */
class ClaudeOnPath
{
public:
    /// The stand-in login shell is written into the home.
    ClaudeOnPath(const TempHome &home, const QString &folder);

    /// The stand-in login shell.
    [[nodiscard]] const QString &loginShell() const { return m_loginShell; }
    /// A driver's configuration whose discovery asks the stand-in shell.
    [[nodiscard]] ClaudeCLI::DriverConfiguration configuration() const;

private:
    QString m_loginShell;
};
