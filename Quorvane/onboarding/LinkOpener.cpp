// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "onboarding/LinkOpener.h"

#include <QDesktopServices>

bool SystemLinkOpener::openLink(const QUrl &url)
{
    return url.isValid() && QDesktopServices::openUrl(url);
}
