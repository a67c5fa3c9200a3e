// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/DialogStyle.h"
#include "model/ActivitySheet.h"
#include "model/ReportButtonLabel.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

/**
 * @brief What the activity overlay shows for one sheet at one moment: the status icon and its
 * words, the explanation line, the first button and whether retry and report show.
 *
 * Only two things depend on the time: the cancel-run and retry buttons appear 4 seconds after the
 * activity started, and with a retry on offer a hint about the browser replaces the note after 25
 * seconds. The overlay raises `tick` every half second and the state reads the engine's clock
 * (PanelServices) at each evaluation, so a threshold shows at the latest one tick after it passed.
 */
class ActivityOverlayState : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    /// The sheet's outcome, as `ActivitySheet::Outcome` numbers it.
    Q_PROPERTY(int outcome READ outcome WRITE setOutcome NOTIFY inputsChanged)
    Q_PROPERTY(QDateTime startedAt READ startedAt WRITE setStartedAt NOTIFY inputsChanged)
    Q_PROPERTY(QString note READ note WRITE setNote NOTIFY inputsChanged)
    /// The presenter offers a cancel of the run, a retry, an error report.
    Q_PROPERTY(bool canCancel READ canCancel WRITE setCanCancel NOTIFY inputsChanged)
    Q_PROPERTY(bool canRetry READ canRetry WRITE setCanRetry NOTIFY inputsChanged)
    Q_PROPERTY(bool canReport READ canReport WRITE setCanReport NOTIFY inputsChanged)
    /// Raised by the overlay's ticking; each change re-reads the clock.
    Q_PROPERTY(int tick READ tick WRITE setTick NOTIFY inputsChanged)
    /// The sheet's log; a change of its length after the first asks the overlay to follow it.
    Q_PROPERTY(QString log READ log WRITE setLog NOTIFY logChanged)

    Q_PROPERTY(StatusIcon statusIcon READ statusIcon NOTIFY inputsChanged)
    /// The words the status icon stands for, for the header's accessible label.
    Q_PROPERTY(QString statusText READ statusText NOTIFY inputsChanged)
    Q_PROPERTY(bool showsExplanation READ showsExplanation NOTIFY inputsChanged)
    Q_PROPERTY(QString explanation READ explanation NOTIFY inputsChanged)
    Q_PROPERTY(QString firstLabel READ firstLabel NOTIFY inputsChanged)
    Q_PROPERTY(DialogStyle::ButtonVariant firstVariant READ firstVariant NOTIFY inputsChanged)
    /// What the first button does.
    Q_PROPERTY(FirstAction firstAction READ firstAction NOTIFY inputsChanged)
    /// The first button answers Escape while the activity runs and Return once it has ended.
    Q_PROPERTY(bool firstAnswersEscape READ firstAnswersEscape NOTIFY inputsChanged)
    Q_PROPERTY(bool firstAnswersReturn READ firstAnswersReturn NOTIFY inputsChanged)
    Q_PROPERTY(bool showsRetry READ showsRetry NOTIFY inputsChanged)
    Q_PROPERTY(bool showsReport READ showsReport NOTIFY inputsChanged)
    /// The shared error log's report state, as `ErrorLog::ReportState` numbers it.
    Q_PROPERTY(int reportState READ reportState WRITE setReportState NOTIFY reportStateChanged)
    /// What the report button shows for that state.
    Q_PROPERTY(ReportButtonLabel reportLabel READ reportLabel NOTIFY reportStateChanged)

public:
    /// The outcomes in `ActivitySheet::Outcome`'s order, named for QML.
    enum class Outcome { Running, Success, Warning, Failure };
    Q_ENUM(Outcome)
    enum class StatusIcon { Spinner, Success, Warning, Failure };
    Q_ENUM(StatusIcon)
    enum class FirstAction { CancelRun, Close };
    Q_ENUM(FirstAction)

    /// After this many seconds a running activity offers cancel-run and retry.
    static constexpr double actionsAfterSeconds = 4.0;
    /// After this many seconds a running activity with a retry shows the browser hint.
    static constexpr double browserHintAfterSeconds = 25.0;
    static inline const QString browserHint = QStringLiteral(
        "Still waiting on the browser. If you signed in to the wrong account, or the window never opened, Retry starts it over.");

    /// Everything the overlay shows that is decided rather than copied from the sheet.
    struct Look
    {
        StatusIcon statusIcon = StatusIcon::Spinner;
        QString statusText;
        bool showsExplanation = false;
        /// The hint or the note; empty once the activity has ended.
        QString explanation;
        QString firstLabel;
        DialogStyle::ButtonVariant firstVariant = DialogStyle::ButtonVariant::Secondary;
        FirstAction firstAction = FirstAction::Close;
        bool firstAnswersEscape = false;
        bool firstAnswersReturn = false;
        bool showsRetry = false;
        bool showsReport = false;

        friend bool operator==(const Look &, const Look &) = default;
    };

    /// The look of a sheet `elapsed` seconds after it started (negative for a start ahead of now).
    [[nodiscard]] static Look look(ActivitySheet::Outcome outcome, double elapsed, const QString &note,
                                   bool canCancel, bool canRetry, bool canReport);

    using QObject::QObject;

    [[nodiscard]] int outcome() const { return int(m_outcome); }
    void setOutcome(int outcome);
    [[nodiscard]] QDateTime startedAt() const { return m_startedAt; }
    void setStartedAt(const QDateTime &startedAt);
    [[nodiscard]] QString note() const { return m_note; }
    void setNote(const QString &note);
    [[nodiscard]] bool canCancel() const { return m_canCancel; }
    void setCanCancel(bool can);
    [[nodiscard]] bool canRetry() const { return m_canRetry; }
    void setCanRetry(bool can);
    [[nodiscard]] bool canReport() const { return m_canReport; }
    void setCanReport(bool can);
    [[nodiscard]] int tick() const { return m_tick; }
    void setTick(int tick);
    [[nodiscard]] QString log() const { return m_log; }
    void setLog(const QString &log);
    [[nodiscard]] int reportState() const { return int(m_reportState); }
    void setReportState(int state);
    [[nodiscard]] ReportButtonLabel reportLabel() const { return ReportButtonLabel::of(m_reportState); }

    /// Seconds from the start to the engine's clock's now.
    [[nodiscard]] double elapsed() const;
    [[nodiscard]] Look current() const;

    [[nodiscard]] StatusIcon statusIcon() const { return current().statusIcon; }
    [[nodiscard]] QString statusText() const { return current().statusText; }
    [[nodiscard]] bool showsExplanation() const { return current().showsExplanation; }
    [[nodiscard]] QString explanation() const { return current().explanation; }
    [[nodiscard]] QString firstLabel() const { return current().firstLabel; }
    [[nodiscard]] DialogStyle::ButtonVariant firstVariant() const { return current().firstVariant; }
    [[nodiscard]] FirstAction firstAction() const { return current().firstAction; }
    [[nodiscard]] bool firstAnswersEscape() const { return current().firstAnswersEscape; }
    [[nodiscard]] bool firstAnswersReturn() const { return current().firstAnswersReturn; }
    [[nodiscard]] bool showsRetry() const { return current().showsRetry; }
    [[nodiscard]] bool showsReport() const { return current().showsReport; }

signals:
    /// Any input changed, the tick included.
    void inputsChanged();
    void logChanged();
    void reportStateChanged();
    /// The log's length changed after it was first set: the overlay scrolls to its end.
    void logLengthChanged();

private:
    template <typename T>
    void assign(T &field, const T &value);

    ActivitySheet::Outcome m_outcome = ActivitySheet::Outcome::running;
    QDateTime m_startedAt;
    QString m_note;
    bool m_canCancel = false;
    bool m_canRetry = false;
    bool m_canReport = false;
    int m_tick = 0;
    QString m_log;
    bool m_logSet = false;
    ErrorLog::ReportState m_reportState = ErrorLog::ReportState::Idle;
};
