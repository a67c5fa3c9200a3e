// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/ActivityOverlayState.h"

#include "foundation/Clock.h"
#include "panel/PanelServices.h"

using SheetOutcome = ActivitySheet::Outcome;
using Variant = DialogStyle::ButtonVariant;

static_assert(int(ActivityOverlayState::Outcome::Running) == int(SheetOutcome::running));
static_assert(int(ActivityOverlayState::Outcome::Success) == int(SheetOutcome::success));
static_assert(int(ActivityOverlayState::Outcome::Warning) == int(SheetOutcome::warning));
static_assert(int(ActivityOverlayState::Outcome::Failure) == int(SheetOutcome::failure));

ActivityOverlayState::Look ActivityOverlayState::look(SheetOutcome outcome, double elapsed, const QString &note,
                                                      bool canCancel, bool canRetry, bool canReport)
{
    Look look;
    const bool actionsDue = elapsed >= actionsAfterSeconds;
    switch (outcome) {
    case SheetOutcome::running:
        look.statusIcon = StatusIcon::Spinner;
        look.statusText = QStringLiteral("In progress");
        look.showsExplanation = true;
        look.explanation = elapsed >= browserHintAfterSeconds && canRetry ? browserHint : note;
        if (actionsDue && canCancel) {
            look.firstLabel = QStringLiteral("Cancel run");
            look.firstVariant = Variant::Destructive;
            look.firstAction = FirstAction::CancelRun;
        } else {
            look.firstLabel = QStringLiteral("Cancel and Close");
            look.firstVariant = Variant::Secondary;
            look.firstAction = FirstAction::Close;
        }
        look.firstAnswersEscape = true;
        look.showsRetry = actionsDue && canRetry;
        return look;
    case SheetOutcome::success:
    case SheetOutcome::warning:
        look.statusIcon = outcome == SheetOutcome::success ? StatusIcon::Success : StatusIcon::Warning;
        look.statusText = outcome == SheetOutcome::success ? QStringLiteral("Finished") : QStringLiteral("Finished with a warning");
        look.firstLabel = QStringLiteral("Done");
        look.firstVariant = Variant::Primary;
        break;
    case SheetOutcome::failure:
        look.statusIcon = StatusIcon::Failure;
        look.statusText = QStringLiteral("Failed");
        look.firstLabel = QStringLiteral("Close");
        // Beside the report button the close button steps back.
        look.firstVariant = canReport ? Variant::Secondary : Variant::Primary;
        look.showsReport = canReport;
        break;
    }
    look.firstAction = FirstAction::Close;
    look.firstAnswersReturn = true;
    return look;
}

template <typename T>
void ActivityOverlayState::assign(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    emit inputsChanged();
}

void ActivityOverlayState::setOutcome(int outcome)
{
    assign(m_outcome, SheetOutcome(outcome));
}

void ActivityOverlayState::setStartedAt(const QDateTime &startedAt)
{
    assign(m_startedAt, startedAt);
}

void ActivityOverlayState::setNote(const QString &note)
{
    assign(m_note, note);
}

void ActivityOverlayState::setCanCancel(bool can)
{
    assign(m_canCancel, can);
}

void ActivityOverlayState::setCanRetry(bool can)
{
    assign(m_canRetry, can);
}

void ActivityOverlayState::setCanReport(bool can)
{
    assign(m_canReport, can);
}

void ActivityOverlayState::setTick(int tick)
{
    assign(m_tick, tick);
}

void ActivityOverlayState::setLog(const QString &log)
{
    if (m_logSet && log == m_log)
        return;
    const bool grew = m_logSet && log.size() != m_log.size();
    m_log = log;
    m_logSet = true;
    emit logChanged();
    if (grew)
        emit logLengthChanged();
}

void ActivityOverlayState::setReportState(int state)
{
    if (m_reportState == ErrorLog::ReportState(state))
        return;
    m_reportState = ErrorLog::ReportState(state);
    emit reportStateChanged();
}

double ActivityOverlayState::elapsed() const
{
    if (!m_startedAt.isValid())
        return 0;
    return double(m_startedAt.msecsTo(PanelServices::clockOf(this).now())) / 1000.0;
}

ActivityOverlayState::Look ActivityOverlayState::current() const
{
    return look(m_outcome, elapsed(), m_note, m_canCancel, m_canRetry, m_canReport);
}
