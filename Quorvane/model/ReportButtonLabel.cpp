// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ReportButtonLabel.h"

using State = ErrorLog::ReportState;

ReportButtonLabel ReportButtonLabel::of(State state)
{
    switch (state) {
    case State::Sending:
        return {QStringLiteral("Sending…"), QString(), true, false};
    case State::Sent:
        return {QStringLiteral("Sent, thank you"), QStringLiteral("checkmark"), false, false};
    case State::Failed:
        return {QStringLiteral("Couldn't send, retry"), QString(), false, true};
    case State::Idle:
        break;
    }
    return {QStringLiteral("Report to Developer"), QString(), false, true};
}
