// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/ClaudeOnPath.h"

#include "support/TempHome.h"
#include "support/TestScript.h"

#include <QFile>

ClaudeOnPath::ClaudeOnPath(const TempHome &home, const QString &folder)
    // The rest of PATH stays: children of the claude found get the login shell's PATH.
    : m_loginShell(writeTestScript(home.filePath(QStringLiteral("login-shell")),
                                   "echo 'PATH=" + QFile::encodeName(folder) + ":" + qgetenv("PATH") + "'\n"))
{
}

ClaudeCLI::DriverConfiguration ClaudeOnPath::configuration() const
{
    ClaudeCLI::DriverConfiguration configuration;
    configuration.loginShell = m_loginShell;
    return configuration;
}
