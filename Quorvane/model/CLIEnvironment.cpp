// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/CLIEnvironment.h"

#include <algorithm>

QList<ClaudeInstall> CLIEnvironment::brokenInstalls() const
{
    QList<ClaudeInstall> broken;
    std::copy_if(installs.cbegin(), installs.cend(), std::back_inserter(broken),
                 [](const ClaudeInstall &install) { return !install.version; });
    return broken;
}
