// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "foundation/ContinuousClock.h"

#include <QCoroTask>

#include <algorithm>
#include <chrono>
#include <coroutine>
#include <vector>

/**
 * @brief Waits whose time moves only when the test moves it: hand `delay()` to an owner that
 * takes a ContinuousClock::Delay, then `advance` past the waits' ends.
 *
 * A wait always suspends, even one of zero length, as the real one does; it resumes inside the
 * `advance` that reaches its end, earliest end first.
 */
class ManualDelay
{
public:
    ManualDelay() = default;
    ManualDelay(const ManualDelay &) = delete;
    ManualDelay &operator=(const ManualDelay &) = delete;

    /// Ends the waits still pending: a coroutine that never resumed would never free its frame.
    /// Declared before the objects that wait, the delay goes after them, and their coroutines
    /// then wake to find their owner gone.
    ~ManualDelay() { advanceTo(std::chrono::milliseconds::max()); }

    /// A Delay on this clock.
    [[nodiscard]] ContinuousClock::Delay delay()
    {
        return [this](std::chrono::milliseconds duration) { return wait(duration); };
    }

    /// Moves the time on by `step`; the waits that end by then resume before this returns.
    void advance(std::chrono::milliseconds step) { advanceTo(m_now + step); }

    /// How many waits have not ended yet.
    [[nodiscard]] int pending() const { return int(m_waits.size()); }

private:
    struct Wait
    {
        std::chrono::milliseconds end;
        std::coroutine_handle<> waiting;
    };

    struct Awaiter
    {
        ManualDelay &delay;
        std::chrono::milliseconds end;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> waiting) { delay.m_waits.push_back({end, waiting}); }
        void await_resume() const noexcept {}
    };

    QCoro::Task<> wait(std::chrono::milliseconds duration) { co_await Awaiter{*this, m_now + duration}; }

    void advanceTo(std::chrono::milliseconds target)
    {
        // One at a time, the time standing at each wait's end, so that a wait started by a
        // resumed coroutine counts from there and also ends within this step when it fits.
        for (;;) {
            const auto next = std::min_element(m_waits.begin(), m_waits.end(),
                                               [](const Wait &a, const Wait &b) { return a.end < b.end; });
            if (next == m_waits.end() || next->end > target)
                break;
            const Wait due = *next;
            m_waits.erase(next);
            m_now = std::max(m_now, due.end);
            due.waiting.resume();
        }
        if (target != std::chrono::milliseconds::max())
            m_now = std::max(m_now, target);
    }

    std::chrono::milliseconds m_now{0};
    std::vector<Wait> m_waits;
};
