// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/Desktop.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>

void SystemDesktop::copyText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

bool SystemDesktop::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}
