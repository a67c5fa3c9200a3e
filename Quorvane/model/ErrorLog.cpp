// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ErrorLog.h"

#include "model/Redaction.h"

#include <algorithm>

QJsonObject ErrorEvent::toJson() const
{
    return {
        {QStringLiteral("id"), id.toString(QUuid::WithoutBraces).toUpper()},
        {QStringLiteral("at"), at.toUTC().toString(Qt::ISODate)},
        {QStringLiteral("area"), area},
        {QStringLiteral("message"), message},
    };
}

ErrorLog::ErrorLog(SystemLog &systemLog, QObject *parent)
    : QObject(parent)
    , m_systemLog(systemLog)
{
}

ErrorLog &ErrorLog::shared()
{
    // Never destroyed: callers may record while the application object is being torn down.
    static ErrorLog *const log = new ErrorLog;
    return *log;
}

void ErrorLog::record(const QString &area, const QString &message, const QDateTime &at)
{
    // A NUL (the claude sign-in key starts with one) would cut the system log's line short.
    const QString cleanArea = withoutNul(area);
    const QString redacted = redactSecrets(withoutNul(message));

    const bool repeat = std::any_of(m_events.cbegin(), m_events.cend(), [&](const ErrorEvent &event) {
        // A time before the earlier event counts as a repeat as well.
        return event.area == cleanArea && event.message == redacted
            && event.at.msecsTo(at) < repeatWindowSeconds * 1000;
    });
    if (repeat)
        return;

    m_systemLog.error(cleanArea, redacted);

    m_events.append({QUuid::createUuid(), at, cleanArea, redacted});
    emit eventsChanged();
    if (m_events.size() > capacity) {
        m_events.remove(0, m_events.size() - capacity);
        emit eventsChanged();
    }
}

bool isCancellation(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::OperationCanceledError;
}
