// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/ChildProcess.h"

#include <QByteArrayView>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace ClaudeCLI {

/// How a watched child ended.
struct ChildOutcome
{
    enum class Ending {
        /// The child terminated; `waitStatus` says how.
        Exited,
        /// The time limit came first: the child got SIGTERM and is collected once it is gone.
        TimedOut,
        /// Collecting the child failed; `waitError` says why.
        WaitFailed,
    };
    Ending ending = Ending::Exited;
    int waitStatus = 0;
    QString waitError;
};

/// Receives the bytes of one output stream as they arrive, on the reaper's thread.
using StreamSink = std::function<void(QByteArrayView bytes)>;

/// One child for the reaper to watch, read and collect.
struct ChildWatch
{
    /// An output stream, read until end of file (an error reading it ends it too).
    struct Stream
    {
        UniqueFd descriptor;
        StreamSink sink;
    };

    std::shared_ptr<ChildProcess> process;
    /// At most two; every one is closed before `onEnded` is called.
    std::vector<Stream> streams;
    /// Counted from the hand-over: a child still running then gets SIGTERM and, `killGrace` later,
    /// SIGKILL. A child that exited within it keeps its status even when the drain is cut short.
    std::chrono::milliseconds timeout{0};
    std::chrono::milliseconds killGrace{0};
    /// How long the streams may stay open after the exit: a grandchild may hold them.
    std::chrono::milliseconds drain{0};
    /// Called once, on the reaper's thread, without the child: the watch's own references to it
    /// are gone by then unless it timed out and is still to be collected.
    std::function<void(const ChildOutcome &)> onEnded;
};

/**
 * @brief The one place where the driver's children are launched and waited for: a thread running
 * an epoll loop over their pidfds and output descriptors, with their time limits and forced kills
 * as its timeouts.
 *
 * Why one thread and not socket notifiers on the caller's loop: the answers have to arrive while
 * the GUI thread is busy (a drain, a forced kill seconds after a cancellation, the collection of a
 * child that outlived its answer), and the GUI thread must not wait for a spawn. Nothing else in
 * the driver waits on a child, and every child is collected exactly once, here. When the reaper goes, the children it still watches get SIGTERM, later SIGKILL, and
 * are collected before its thread ends.
 */
class ChildReaper
{
public:
    ChildReaper();
    ~ChildReaper();
    ChildReaper(const ChildReaper &) = delete;
    ChildReaper &operator=(const ChildReaper &) = delete;

    /// Takes a launched child over; from any thread.
    void watch(ChildWatch watch);
    /// Runs the work on the reaper's thread before it next waits; from any thread. The driver
    /// launches its children this way: the thread that starts a child is the one that watches it,
    /// and no other thread has to be woken on the way (a launch is short: a few checks of a folder
    /// and the spawn itself).
    void post(std::function<void()> work);
    /// Sends SIGKILL after `grace` unless the child has terminated by then; nothing can stop it.
    void killAfter(std::shared_ptr<ChildProcess> process, std::chrono::milliseconds grace);

private:
    struct Pending;
    void loop();
    void wake();

    UniqueFd m_epoll;
    UniqueFd m_wake;
    std::mutex m_lock;
    std::unique_ptr<Pending> m_pending;
    std::thread m_thread;
};

} // namespace ClaudeCLI
