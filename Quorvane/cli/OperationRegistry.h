// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/ChildProcess.h"
#include "cli/ChildReaper.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QUuid>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <variant>

namespace ClaudeCLI {

/// How long a forced kill waits after the request to terminate.
inline constexpr std::chrono::milliseconds kKillGrace{3000};

/**
 * @brief A value and the mutex that guards it: every read or write happens inside `withLock`, and
 * nothing that waits, signals a process or calls back may run there.
 */
template <typename T>
class LockedState
{
public:
    explicit LockedState(T value = T()) : m_value(std::move(value)) {}
    LockedState(const LockedState &) = delete;
    LockedState &operator=(const LockedState &) = delete;

    template <typename Function>
    decltype(auto) withLock(Function &&function)
    {
        std::lock_guard<std::mutex> locker(m_lock);
        return std::forward<Function>(function)(m_value);
    }

private:
    std::mutex m_lock;
    T m_value;
};

/**
 * @brief The keyed runs in flight: at most one per key, a cancellation reaches a run at any stage,
 * and a cancellation that comes before its run has registered waits for it. The lock guards the
 * entries only: a launch happens outside it, and a cancellation that comes while the child is
 * being launched reaches it as soon as the launch has recorded it.
 */
class OperationRegistry
{
public:
    /// What a launch action yields: the child, or the launch error's description.
    using Launch = std::variant<std::shared_ptr<ChildProcess>, QString>;

    enum class LaunchStatus { Launched, LaunchFailed, NotCurrent };
    struct LaunchOutcome
    {
        LaunchStatus status = LaunchStatus::NotCurrent;
        /// The launch error's description when the launch failed.
        QString error;
    };

    virtual ~OperationRegistry() = default;

    /// Creates the entry of a run, already cancelled when a cancellation was queued for the key;
    /// none when another run holds the key.
    [[nodiscard]] std::optional<QUuid> registerKey(const QString &key);
    /// Whether the run with this id still owns the key and was cancelled.
    [[nodiscard]] bool isCancelled(const QString &key, const QUuid &id);
    /// Launches only while the run owns a live, uncancelled entry, and records the child there; a
    /// cancellation that came during the launch stops the child at once.
    [[nodiscard]] LaunchOutcome launchIfCurrent(const QString &key, const QUuid &id,
                                                const std::function<Launch()> &launch);
    /// Marks the run cancelled (or queues the key when no run holds it) and returns its child.
    std::shared_ptr<ChildProcess> markCancelled(const QString &key);
    /// Removes the entry when it still belongs to the run with this id.
    void unregisterKey(const QString &key, const QUuid &id);
    /// Cancels the run under the key, at whatever stage it is; never waits.
    void cancel(const QString &key);
    /// Forgets a cancellation queued for a key that no run held, so that it cannot stop a later
    /// run; a run that holds the key keeps its own cancellation. Answers whether one was queued.
    bool discardQueuedCancellation(const QString &key);

protected:
    /// How a cancelled run's child is stopped.
    virtual void stop(ChildProcess &process) = 0;

private:
    struct Entry
    {
        QUuid id;
        std::shared_ptr<ChildProcess> process;
        bool cancelled = false;
    };
    struct State
    {
        QHash<QString, Entry> entries;
        QSet<QString> queuedCancellations;
    };
    LockedState<State> m_state;
};

/// @brief The keyed runs of the pipe runner (the scope check, under "verify:" and the name): a
/// cancelled child gets SIGTERM and nothing more.
class RunOperationRegistry final : public OperationRegistry
{
protected:
    void stop(ChildProcess &process) override;
};

/// @brief The keyed runs of the terminal runner (a server's login, the sign-in of `claude`): a
/// cancelled child gets SIGTERM and, when it is still running `killGrace` later, SIGKILL.
class LoginOperationRegistry final : public OperationRegistry
{
public:
    LoginOperationRegistry(ChildReaper &reaper, std::chrono::milliseconds killGrace = kKillGrace);

protected:
    void stop(ChildProcess &process) override;

private:
    ChildReaper &m_reaper;
    const std::chrono::milliseconds m_killGrace;
};

/// The key of the sign-in of `claude` itself in the login registry: U+0000 and "claude-auth", so
/// that it never meets a server name.
[[nodiscard]] QString claudeAuthKey();

} // namespace ClaudeCLI
