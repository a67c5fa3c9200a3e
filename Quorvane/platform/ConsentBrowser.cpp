// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/ConsentBrowser.h"

#include <QDesktopServices>
#include <QUrl>

bool SystemConsentBrowser::open(const QByteArray &link)
{
    // Strict, and from the encoded bytes: a tolerant parse would repair the text into a link
    // other than the one that was checked.
    const QUrl url = QUrl::fromEncoded(link, QUrl::StrictMode);
    return url.isValid() && QDesktopServices::openUrl(url);
}
