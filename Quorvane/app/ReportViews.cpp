// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ReportViews.h"

using State = ErrorLog::ReportState;

ReportStatusLine ReportStatusLine::of(State state)
{
    switch (state) {
    case State::Sending:
        return {true, QStringLiteral("Sending report…"), true, QString(), false, false};
    case State::Sent:
        return {true, QStringLiteral("Report sent, thank you."), false, QStringLiteral("checkmark.circle.fill"), true,
                false};
    case State::Failed:
        // The More button is drawn as an ellipsis; the sentence points at it the same way.
        return {true, QStringLiteral("Couldn't send the report. Try again from the ⋯ menu."), false,
                QStringLiteral("xmark.circle"), false, true};
    case State::Idle:
        break;
    }
    return {};
}

LoadErrorNoticeLook LoadErrorNoticeLook::of(bool reportingAvailable, State state)
{
    return {reportingAvailable, ReportButtonLabel::of(state)};
}

ReportStatusLine ReportViews::statusLine(int state)
{
    return ReportStatusLine::of(State(state));
}

LoadErrorNoticeLook ReportViews::loadErrorNotice(bool reportingAvailable, int state)
{
    return LoadErrorNoticeLook::of(reportingAvailable, State(state));
}
