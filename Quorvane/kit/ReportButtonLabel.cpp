// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/ReportButtonLabel.h"

using State = ErrorLog::ReportState;

QString ReportButtonLabel::text(State state)
{
    switch (state) {
    case State::Sending:
        return QStringLiteral("Sending…");
    case State::Sent:
        return QStringLiteral("Sent, thank you");
    case State::Failed:
        return QStringLiteral("Couldn't send, retry");
    case State::Idle:
        break;
    }
    return QStringLiteral("Report to Developer");
}

QString ReportButtonLabel::symbol(State state)
{
    return state == State::Sent ? QStringLiteral("checkmark") : QString();
}

bool ReportButtonLabel::busy(State state)
{
    return state == State::Sending;
}

bool ReportButtonLabel::pressable(State state)
{
    return state == State::Idle || state == State::Failed;
}
