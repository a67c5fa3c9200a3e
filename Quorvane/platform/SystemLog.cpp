// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/SystemLog.h"

#include <syslog.h>

Q_LOGGING_CATEGORY(lcErrors, "studio.velliscor.quorvane.errors")

QString SystemLog::line(const QString &area, const QString &message)
{
    QString text = QLatin1Char('[') + area + QStringLiteral("] ") + message;
    return text.remove(QChar::Null);
}

JournalLog::JournalLog()
{
    // openlog keeps the pointer, so the identifier is a literal that outlives every later call.
    openlog("studio.velliscor.quorvane", LOG_PID, LOG_USER);
}

void JournalLog::error(const QString &area, const QString &message)
{
    if (!lcErrors().isCriticalEnabled())
        return;
    syslog(LOG_ERR, "%s", line(area, message).toUtf8().constData());
}
