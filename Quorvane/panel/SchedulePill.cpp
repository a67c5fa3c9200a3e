// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/SchedulePill.h"

SchedulePill SchedulePill::of(const Input &input)
{
    SchedulePill pill;
    const bool upcoming = input.upcomingTime.has_value();
    pill.publishingMissing = upcoming && input.accessSettled && !input.hasAccess;
    pill.dots = upcoming && !input.accessLoadedOnce;
    pill.icon = pill.publishingMissing ? QStringLiteral("exclamationmark.triangle.fill") : QStringLiteral("clock");
    pill.label = upcoming ? *input.upcomingTime : QStringLiteral("Schedule Publish");
    pill.prominentBrand = upcoming && !pill.publishingMissing;
    pill.warning = pill.publishingMissing;
    if (upcoming)
        pill.sizingLabels = {*input.upcomingTime};
    pill.accessibilityLabel = upcoming ? QStringLiteral("Scheduled ") + *input.upcomingTime
                                       : QStringLiteral("Schedule Publish");
    return pill;
}
