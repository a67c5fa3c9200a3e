// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PanelTab.h"

namespace PanelTab {

QString title(Tab tab)
{
    switch (tab) {
    case Tab::connections:
        return QStringLiteral("Connections");
    case Tab::scheduledPublishing:
        return QStringLiteral("Scheduled Publishing");
    case Tab::pageStatus:
        return QStringLiteral("Page Status");
    }
    return {};
}

std::optional<Tab> fromTitle(const QString &text)
{
    for (const Tab tab : {Tab::connections, Tab::scheduledPublishing, Tab::pageStatus}) {
        if (title(tab) == text)
            return tab;
    }
    return std::nullopt;
}

} // namespace PanelTab
