// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ErrorLog.h"
#include "platform/SystemLog.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the publishing tests share: a system log they can read, and the error events of one area.

/// Keeps the lines the error log writes, so tests see them without the machine's journal.
class RecordingSystemLog final : public SystemLog
{
public:
    QStringList lines;

    void error(const QString &area, const QString &message) override { lines.append(SystemLog::line(area, message)); }
};

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
