// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/ScheduledPublish.h"

#include <optional>

/// @brief What the cloud said about a cancellation.
class CancellationOutcome
{
public:
    enum class Case { Superseded, Cancelled, Absent, Publishing, Unknown };

    /// A newer schedule replaced the one to cancel; @p schedule is the one now in the queue.
    [[nodiscard]] static CancellationOutcome superseded(const ScheduledPublish &schedule)
    {
        return CancellationOutcome(Case::Superseded, schedule);
    }
    [[nodiscard]] static CancellationOutcome cancelled() { return CancellationOutcome(Case::Cancelled); }
    /// There was nothing left to cancel.
    [[nodiscard]] static CancellationOutcome absent() { return CancellationOutcome(Case::Absent); }
    /// The publish is running and cannot be cancelled.
    [[nodiscard]] static CancellationOutcome publishing() { return CancellationOutcome(Case::Publishing); }
    /// Not confirmed either way.
    [[nodiscard]] static CancellationOutcome unknown() { return CancellationOutcome(Case::Unknown); }

    [[nodiscard]] Case which() const { return m_case; }
    /// The newer schedule of `superseded`; absent otherwise.
    [[nodiscard]] const std::optional<ScheduledPublish> &schedule() const { return m_schedule; }

    friend bool operator==(const CancellationOutcome &, const CancellationOutcome &) = default;

private:
    explicit CancellationOutcome(Case which, std::optional<ScheduledPublish> schedule = std::nullopt)
        : m_case(which)
        , m_schedule(std::move(schedule))
    {
    }

    Case m_case;
    std::optional<ScheduledPublish> m_schedule;
};
