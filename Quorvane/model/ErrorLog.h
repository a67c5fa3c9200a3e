// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/FailureRecorder.h"
#include "platform/SystemLog.h"

#include <QCoroTask>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QUuid>

#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;

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
 * The application's owner makes one and hands it (or its recorder()) to what records; tests make
 * their own. Used on the main thread only. Nothing is written to a file: a new process starts
 * empty.
 */
class ErrorLog : public QObject
{
    Q_OBJECT
    /// The state of the error-report sender.
    Q_PROPERTY(ReportState reportState READ reportState NOTIFY reportStateChanged)
    /// Whether this build has a gateway to send reports to; without one no report control is shown.
    Q_PROPERTY(bool reportingAvailable READ isReportingAvailable CONSTANT)

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

    /// The body of one error report.
    struct Payload
    {
        QString appVersion;
        QString build;
        QString os;                    ///< the operating system's own description of itself
        std::optional<QString> email;  ///< unchanged
        std::optional<QString> note;   ///< redacted, then its first 2000 characters
        std::optional<QString> logTail; ///< redacted, then its last 4000 characters
        QList<ErrorEvent> events;

        /// The body for the running build: the note and log tail are redacted before they are
        /// cut, so a secret across the cut is never sent in part.
        [[nodiscard]] static Payload make(std::optional<QString> email, std::optional<QString> note,
                                          std::optional<QString> logTail, QList<ErrorEvent> events);

        /// Compact JSON; absent values leave their keys out.
        [[nodiscard]] QByteArray toJson() const;

        friend bool operator==(const Payload &, const Payload &) = default;
    };

    /// The validated gateway address, or nothing when reporting is unavailable.
    using GatewayLookup = std::function<std::optional<QUrl>()>;
    /// Waits the given time; the report state goes back to idle after it.
    using Delay = std::function<QCoro::Task<>(std::chrono::milliseconds)>;

    /// How long "sent" or "failed" stays before the state goes back to idle.
    static constexpr std::chrono::milliseconds reportOutcomeShownFor{5000};

    /// Every event also goes to `systemLog`, which must outlive the log. `gateway` defaults to
    /// this build's configured gateway in the stable lane, `delay` to a timer on the monotonic
    /// clock.
    explicit ErrorLog(SystemLog &systemLog, GatewayLookup gateway = {}, Delay delay = {},
                      QObject *parent = nullptr);

    /// Records a failure: the message is redacted, a repeat of the same area and message within
    /// 60 seconds of an earlier one is dropped, one line goes to the system log, and the newest 50
    /// events are kept. `at` is the current time (from the caller's clock).
    void record(const QString &area, const QString &message, const QDateTime &at);

    /// A recorder that records here; it must not be called once the log is gone.
    [[nodiscard]] FailureRecorder recorder();

    /// The kept events, oldest first.
    [[nodiscard]] const QList<ErrorEvent> &events() const { return m_events; }

    [[nodiscard]] ReportState reportState() const { return m_reportState; }

    [[nodiscard]] bool isReportingAvailable() const;

    /// Sends one report with every held event; the outcome shows only in `reportState`, which
    /// returns to idle 5 seconds after it. Does nothing while a report is being sent.
    void sendReport(std::optional<QString> email, std::optional<QString> note, std::optional<QString> logTail);

signals:
    /// An event was added or the oldest ones were dropped.
    void eventsChanged();
    /// The report sender moved to another state.
    void reportStateChanged();

private:
    void setReportState(ReportState state);
    void finishReport(ReportState outcome);
    // Coroutines take the log as a QPointer: it may be gone when they resume.
    static QCoro::Task<> deliverReport(QPointer<ErrorLog> log, QNetworkReply *reply);
    static QCoro::Task<> returnToIdle(QPointer<ErrorLog> log, Delay delay, ReportState outcome);

    SystemLog &m_systemLog;
    GatewayLookup m_gateway;
    Delay m_delay;
    QNetworkAccessManager *m_session = nullptr; // made on the first send
    QList<ErrorEvent> m_events;
    ReportState m_reportState = ReportState::Idle;
};

/// Whether a failed network request was cancelled rather than failed; a cancelled operation ends
/// quietly and is not recorded. Qt ends a request that runs past its transfer timeout with
/// OperationCanceledError too, so the code alone cannot tell: only the caller knows whether it
/// abandoned the request on purpose (`abandoned`). Ended any other way, a time-out among them, the
/// request failed, and the failure is logged and shown.
[[nodiscard]] bool isCancellation(QNetworkReply::NetworkError error, bool abandoned);
