// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ErrorLog.h"
#include "support/MemorySystemLog.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the publishing tests share: the error events of one area.

/// The messages the log holds under `area`, oldest first.
inline QStringList messagesIn(const ErrorLog &log, const QString &area)
{
    QStringList messages;
    for (const ErrorEvent &event : log.events()) {
        if (event.area == area)
            messages.append(event.message);
    }
    return messages;
}
