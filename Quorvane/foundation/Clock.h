// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>

/**
 * @brief Where the current time comes from. Models that compare against "now" take a Clock so
 * that tests can hand in one they advance by hand.
 */
class Clock
{
public:
    virtual ~Clock() = default;

    /// The current time, in UTC.
    [[nodiscard]] virtual QDateTime now() const = 0;

    /// The wall clock of the system.
    [[nodiscard]] static Clock &system();
};
