// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/SystemLog.h"

#include <syslog.h>

Q_LOGGING_CATEGORY(lcErrors, "studio.velliscor.quorvane.errors")

namespace {

class Journal final : public SystemLog
{
public:
    Journal()
    {
        // openlog keeps the pointer, so the identifier must outlive every later syslog call.
        openlog("studio.velliscor.quorvane", LOG_PID, LOG_USER);
    }

    void error(const QString &area, const QString &message) override
    {
        if (!lcErrors().isCriticalEnabled())
            return;
        syslog(LOG_ERR, "%s", line(area, message).toUtf8().constData());
    }
};

} // namespace

QString SystemLog::line(const QString &area, const QString &message)
{
    QString text = QLatin1Char('[') + area + QStringLiteral("] ") + message;
    return text.remove(QChar::Null);
}

SystemLog &SystemLog::journal()
{
    static Journal journal;
    return journal;
}
