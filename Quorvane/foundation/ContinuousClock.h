// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QCoroTask>

#include <chrono>
#include <functional>

/**
 * @brief Waits that keep counting while the machine sleeps.
 *
 * QTimer runs on the monotonic clock, which stands still during suspend: a 1.25 s close delay
 * started just before the lid closes would still be pending an hour later. These waits run on
 * the boot-time clock instead, so they end at the right moment after a resume (at once, when
 * their time passed while the machine slept).
 */
namespace ContinuousClock {

/// A wait of the given length. Owners take one so that tests can hand in their own.
using Delay = std::function<QCoro::Task<>(std::chrono::milliseconds)>;

/// Waits the given time on the boot-time clock, resuming on the calling thread's event loop.
/// A zero or negative time resumes from the event loop without a wait.
[[nodiscard]] QCoro::Task<> sleepFor(std::chrono::milliseconds duration);

/// `sleepFor` as a Delay.
[[nodiscard]] Delay delay();

} // namespace ContinuousClock
