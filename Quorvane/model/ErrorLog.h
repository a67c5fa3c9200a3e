// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "platform/SystemLog.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QString>
#include <QUuid>

/**
 * @brief One recorded failure, its message already free of secrets.
 */
struct ErrorEvent
{
    QUuid id;        ///< made when the event is recorded; its identity in lists
    QDateTime at;    ///< the time the caller gave
    QString area;    ///< the caller's area name
    QString message; ///< the caller's sentence after redaction

    /// {"id", "at", "area", "message"}: the id as upper-case hyphenated text, the time as
    /// ISO-8601 UTC text with whole seconds.
    [[nodiscard]] QJsonObject toJson() const;

    friend bool operator==(const ErrorEvent &, const ErrorEvent &) = default;
};

/**
 * @brief The one place where user-visible failures are reported: it keeps the newest 50 in
 * memory for the error report and writes each to the system log.
 *
 * Used on the main thread only. Nothing is written to a file: a new process starts empty.
 */
class ErrorLog : public QObject
{
    Q_OBJECT
    /// The state of the error-report sender.
    Q_PROPERTY(ReportState reportState READ reportState NOTIFY reportStateChanged)

public:
    /// The state of the error-report sender.
    enum class ReportState {
        Idle,    ///< nothing in progress
        Sending, ///< a request is under way
        Sent,    ///< the gateway accepted the last report
        Failed,  ///< the last report was not delivered
    };
    Q_ENUM(ReportState)

    /// How many events the log keeps.
    static constexpr qsizetype capacity = 50;
    /// A repeat of the same failure within this many seconds is dropped.
    static constexpr qint64 repeatWindowSeconds = 60;

    explicit ErrorLog(SystemLog &systemLog = SystemLog::journal(), QObject *parent = nullptr);

    /// The process-wide log, made on first use.
    [[nodiscard]] static ErrorLog &shared();

    /// Records a failure: the message is redacted, a repeat of the same area and message within
    /// 60 seconds of an earlier one is dropped, one line goes to the system log, and the newest 50
    /// events are kept. `at` is the current time (from the caller's clock).
    void record(const QString &area, const QString &message, const QDateTime &at);

    /// The kept events, oldest first.
    [[nodiscard]] const QList<ErrorEvent> &events() const { return m_events; }

    [[nodiscard]] ReportState reportState() const { return m_reportState; }

signals:
    /// An event was added or the oldest ones were dropped.
    void eventsChanged();
    /// The report sender moved to another state.
    void reportStateChanged();

private:
    SystemLog &m_systemLog;
    QList<ErrorEvent> m_events;
    ReportState m_reportState = ReportState::Idle;
};

/// Whether a failed network request was cancelled rather than failed; a cancelled operation ends
/// quietly and is not recorded.
[[nodiscard]] bool isCancellation(QNetworkReply::NetworkError error);
