// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/ClaudeOnPath.h"

#include "cli/Discovery.h"
#include "support/TempHome.h"
#include "support/TestScript.h"

#include <QFile>

ClaudeOnPath::ClaudeOnPath(const TempHome &home, const QString &folder)
    : m_savedShell(qgetenv("SHELL"))
{
    // The rest of PATH stays: children of the claude found get the login shell's PATH.
    const QString shell = writeTestScript(home.filePath(QStringLiteral("login-shell")),
                                          "echo 'PATH=" + QFile::encodeName(folder) + ":" + qgetenv("PATH") + "'\n");
    qputenv("SHELL", QFile::encodeName(shell));
    ClaudeCLI::forgetBinaryLocation();
}

ClaudeOnPath::~ClaudeOnPath()
{
    if (m_savedShell.isNull())
        qunsetenv("SHELL");
    else
        qputenv("SHELL", m_savedShell);
    ClaudeCLI::forgetBinaryLocation();
}
