// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ErrorLog.h"

#include "platform/AppInfo.h"
#include "model/ErrorReport.h"
#include "foundation/InternetDateTime.h"
#include "foundation/Redaction.h"
#include "foundation/UuidText.h"
#include "platform/BundleInfo.h"

#include <QCoroNetworkReply>
#include <QCoroTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QSysInfo>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <memory>

namespace {

/// Where each user-perceived character of the text begins, and the text's end.
QList<qsizetype> characterBoundaries(const QString &text)
{
    QList<qsizetype> boundaries;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = 0; at != -1; at = finder.toNextBoundary())
        boundaries.append(at);
    return boundaries;
}

QString firstCharacters(const QString &text, qsizetype count)
{
    const QList<qsizetype> boundaries = characterBoundaries(text);
    return boundaries.size() - 1 <= count ? text : text.left(boundaries.at(count));
}

QString lastCharacters(const QString &text, qsizetype count)
{
    const QList<qsizetype> boundaries = characterBoundaries(text);
    return boundaries.size() - 1 <= count ? text : text.mid(boundaries.at(boundaries.size() - 1 - count));
}

} // namespace

QJsonObject ErrorEvent::toJson() const
{
    return {
        {QStringLiteral("id"), UuidText::format(id)},
        {QStringLiteral("at"), InternetDateTime::format(at)},
        {QStringLiteral("area"), area},
        {QStringLiteral("message"), message},
    };
}

ErrorLog::Payload ErrorLog::Payload::make(std::optional<QString> email, std::optional<QString> note,
                                          std::optional<QString> logTail, QList<ErrorEvent> events)
{
    Payload payload{::appVersion(), ::appBuildNumber(), QSysInfo::prettyProductName(), std::move(email), {}, {},
                    std::move(events)};
    if (note)
        payload.note = firstCharacters(redactSecrets(*note), 2000);
    if (logTail)
        payload.logTail = lastCharacters(redactSecrets(*logTail), 4000);
    return payload;
}

QByteArray ErrorLog::Payload::toJson() const
{
    QJsonArray eventArray;
    for (const ErrorEvent &event : events)
        eventArray.append(event.toJson());
    QJsonObject body{
        {QStringLiteral("app_version"), appVersion},
        {QStringLiteral("build"), build},
        {QStringLiteral("os"), os},
        {QStringLiteral("events"), eventArray},
    };
    if (email)
        body.insert(QStringLiteral("email"), *email);
    if (note)
        body.insert(QStringLiteral("note"), *note);
    if (logTail)
        body.insert(QStringLiteral("log_tail"), *logTail);
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

ErrorLog::ErrorLog(SystemLog &systemLog, GatewayLookup gateway, Delay delay, QObject *parent)
    : QObject(parent)
    , m_systemLog(systemLog)
    , m_gateway(gateway ? std::move(gateway) : GatewayLookup([] {
          return errorGatewayURL(BundleInfo::main(), QStringLiteral("stable"), builtInErrorGatewayAddress());
      }))
    , m_delay(delay ? std::move(delay) : Delay([](std::chrono::milliseconds time) { return QCoro::sleepFor(time); }))
{
}

FailureRecorder ErrorLog::recorder()
{
    return [this](const QString &area, const QString &message, const QDateTime &at) { record(area, message, at); };
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

bool ErrorLog::isReportingAvailable() const
{
    return m_gateway().has_value();
}

void ErrorLog::sendReport(std::optional<QString> email, std::optional<QString> note, std::optional<QString> logTail)
{
    if (m_reportState == ReportState::Sending)
        return;
    setReportState(ReportState::Sending);

    const std::optional<QUrl> gateway = m_gateway();
    if (!gateway) {
        finishReport(ReportState::Failed);
        return;
    }
    const QByteArray body = Payload::make(std::move(email), std::move(note), std::move(logTail), m_events).toJson();
    if (!m_session)
        m_session = makeErrorReportSession(this);
    deliverReport(this, m_session->post(errorReportRequest(*gateway), body));
}

QCoro::Task<> ErrorLog::deliverReport(QPointer<ErrorLog> log, QNetworkReply *reply)
{
    const std::unique_ptr<QNetworkReply, void (*)(QNetworkReply *)> owned(
        reply, [](QNetworkReply *finished) { finished->deleteLater(); });
    co_await qCoro(reply).waitForFinished(std::chrono::milliseconds(-1));

    // A redirection is not followed, so it arrives here as a 3xx status and counts as a failure.
    bool isHttp = false;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(&isHttp);
    const bool accepted = reply->error() == QNetworkReply::NoError && isHttp && status >= 200 && status <= 299;
    if (log)
        log->finishReport(accepted ? ReportState::Sent : ReportState::Failed);
}

void ErrorLog::finishReport(ReportState outcome)
{
    setReportState(outcome);
    returnToIdle(this, m_delay, outcome);
}

QCoro::Task<> ErrorLog::returnToIdle(QPointer<ErrorLog> log, Delay delay, ReportState outcome)
{
    co_await delay(reportOutcomeShownFor);
    // A newer send owns the state now unless it still shows this outcome.
    if (log && log->m_reportState == outcome)
        log->setReportState(ReportState::Idle);
}

void ErrorLog::setReportState(ReportState state)
{
    if (m_reportState == state)
        return;
    m_reportState = state;
    emit reportStateChanged();
}

bool isCancellation(QNetworkReply::NetworkError error, bool abandoned)
{
    return abandoned && error == QNetworkReply::OperationCanceledError;
}
