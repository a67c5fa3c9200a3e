// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/ChildReaper.h"

#include <cerrno>
#include <csignal>
#include <map>
#include <optional>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace ClaudeCLI {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr size_t kReadChunk = 65536;
// A stream that keeps writing gets this much per turn, so that the other children still get theirs.
constexpr int kChunksPerTurn = 16;
constexpr std::uint64_t kWakeTag = 0;

struct ForcedKill
{
    Clock::time_point at;
    std::shared_ptr<ChildProcess> process;
};

/// One watched child on the reaper's thread.
struct Entry
{
    ChildWatch watch;
    Clock::time_point deadline;
    std::optional<Clock::time_point> drainEnd;
    bool pidfdWatched = true;
    bool answered = false;
    std::optional<ChildOutcome> ending;

    [[nodiscard]] bool streamsClosed() const
    {
        for (const ChildWatch::Stream &stream : watch.streams) {
            if (stream.descriptor.isValid())
                return false;
        }
        return true;
    }
};

std::uint64_t tagOf(std::uint64_t id, std::uint64_t slot)
{
    return id << 2 | slot;
}

} // namespace

struct ChildReaper::Pending
{
    std::vector<std::function<void()>> work;
    std::vector<ChildWatch> watches;
    std::vector<ForcedKill> kills;
    bool stopping = false;
};

ChildReaper::ChildReaper()
    : m_epoll(::epoll_create1(EPOLL_CLOEXEC))
    , m_wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    , m_pending(std::make_unique<Pending>())
{
    if (!m_epoll.isValid() || !m_wake.isValid())
        qFatal("the driver could not set up its child watch: %s", qPrintable(errorText(errno)));
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = kWakeTag;
    ::epoll_ctl(m_epoll.get(), EPOLL_CTL_ADD, m_wake.get(), &event);
    m_thread = std::thread([this] { loop(); });
}

ChildReaper::~ChildReaper()
{
    {
        std::lock_guard<std::mutex> locker(m_lock);
        m_pending->stopping = true;
    }
    wake();
    m_thread.join();
}

void ChildReaper::watch(ChildWatch watch)
{
    {
        std::lock_guard<std::mutex> locker(m_lock);
        m_pending->watches.push_back(std::move(watch));
    }
    wake();
}

void ChildReaper::post(std::function<void()> work)
{
    {
        std::lock_guard<std::mutex> locker(m_lock);
        m_pending->work.push_back(std::move(work));
    }
    wake();
}

void ChildReaper::killAfter(std::shared_ptr<ChildProcess> process, milliseconds grace)
{
    {
        std::lock_guard<std::mutex> locker(m_lock);
        m_pending->kills.push_back({Clock::now() + grace, std::move(process)});
    }
    wake();
}

void ChildReaper::wake()
{
    const std::uint64_t one = 1;
    (void)!::write(m_wake.get(), &one, sizeof one);
}

void ChildReaper::loop()
{
    std::map<std::uint64_t, std::unique_ptr<Entry>> entries;
    std::vector<ForcedKill> kills;
    std::uint64_t nextId = 1;
    bool stopping = false;
    const int epoll = m_epoll.get();

    const auto unwatch = [&](int descriptor) { ::epoll_ctl(epoll, EPOLL_CTL_DEL, descriptor, nullptr); };
    const auto closeStreams = [&](Entry &entry) {
        for (ChildWatch::Stream &stream : entry.watch.streams) {
            if (stream.descriptor.isValid()) {
                unwatch(stream.descriptor.get());
                stream.descriptor.reset();
            }
        }
    };
    // The answer goes out once; the descriptors are closed before it.
    const auto answer = [&](Entry &entry, const ChildOutcome &outcome) {
        closeStreams(entry);
        entry.answered = true;
        std::function<void(const ChildOutcome &)> onEnded = std::move(entry.watch.onEnded);
        entry.watch.streams.clear();
        onEnded(outcome);
    };
    const auto stopAtTheLimit = [&](Entry &entry, Clock::time_point now) {
        entry.watch.process->signal(SIGTERM);
        kills.push_back({now + entry.watch.killGrace, entry.watch.process});
        answer(entry, {ChildOutcome::Ending::TimedOut, 0, {}});
    };

    for (;;) {
        std::vector<std::function<void()>> work;
        {
            std::lock_guard<std::mutex> locker(m_lock);
            work.swap(m_pending->work);
        }
        for (std::function<void()> &step : work)
            step();
        {
            std::lock_guard<std::mutex> locker(m_lock);
            for (ChildWatch &watch : m_pending->watches) {
                auto entry = std::make_unique<Entry>();
                entry->watch = std::move(watch);
                entry->deadline = Clock::now() + entry->watch.timeout;
                const std::uint64_t id = nextId++;
                epoll_event event{};
                event.events = EPOLLIN;
                event.data.u64 = tagOf(id, 0);
                ::epoll_ctl(epoll, EPOLL_CTL_ADD, entry->watch.process->pidfd(), &event);
                for (size_t i = 0; i < entry->watch.streams.size(); ++i) {
                    event.data.u64 = tagOf(id, i + 1);
                    ::epoll_ctl(epoll, EPOLL_CTL_ADD, entry->watch.streams[i].descriptor.get(), &event);
                }
                entries.emplace(id, std::move(entry));
            }
            m_pending->watches.clear();
            for (ForcedKill &kill : m_pending->kills)
                kills.push_back(std::move(kill));
            m_pending->kills.clear();
            stopping = m_pending->stopping;
        }
        // Going away: every child still running is stopped as at its time limit, outside the lock,
        // as every answer is.
        if (stopping) {
            const Clock::time_point now = Clock::now();
            for (auto &[id, entry] : entries) {
                if (!entry->answered && !entry->ending)
                    stopAtTheLimit(*entry, now);
            }
        }
        if (stopping && entries.empty()) {
            // A launch handed over meanwhile still gets its child watched (and stopped).
            std::lock_guard<std::mutex> locker(m_lock);
            if (m_pending->work.empty() && m_pending->watches.empty())
                return;
            continue;
        }

        // Sleep until the nearest time limit, drain end or forced kill.
        std::optional<Clock::time_point> wakeAt;
        const auto consider = [&](Clock::time_point at) { wakeAt = wakeAt ? std::min(*wakeAt, at) : at; };
        for (const auto &[id, entry] : entries) {
            if (entry->answered)
                continue;
            consider(entry->deadline);
            if (entry->drainEnd)
                consider(*entry->drainEnd);
        }
        for (const ForcedKill &kill : kills)
            consider(kill.at);
        int timeout = -1;
        if (wakeAt) {
            const auto left = std::chrono::ceil<milliseconds>(*wakeAt - Clock::now()).count();
            timeout = int(std::clamp<qint64>(left, 0, 60000));
        }

        epoll_event events[32];
        const int ready = ::epoll_wait(epoll, events, 32, timeout);
        for (int i = 0; i < ready; ++i) {
            const std::uint64_t tag = events[i].data.u64;
            if (tag == kWakeTag) {
                std::uint64_t count = 0;
                (void)!::read(m_wake.get(), &count, sizeof count);
                continue;
            }
            const auto found = entries.find(tag >> 2);
            if (found == entries.end())
                continue;
            Entry &entry = *found->second;
            const std::uint64_t slot = tag & 3;
            if (slot == 0) {
                if (!entry.pidfdWatched)
                    continue;
                unwatch(entry.watch.process->pidfd());
                entry.pidfdWatched = false;
                const std::variant<int, QString> reaped = entry.watch.process->reap();
                if (const auto *error = std::get_if<QString>(&reaped))
                    entry.ending = ChildOutcome{ChildOutcome::Ending::WaitFailed, 0, *error};
                else
                    entry.ending = ChildOutcome{ChildOutcome::Ending::Exited, std::get<int>(reaped), {}};
                entry.drainEnd = Clock::now() + entry.watch.drain;
                continue;
            }
            if (slot - 1 >= entry.watch.streams.size())
                continue;
            ChildWatch::Stream &stream = entry.watch.streams[slot - 1];
            if (!stream.descriptor.isValid())
                continue;
            char chunk[kReadChunk];
            for (int turn = 0; turn < kChunksPerTurn; ++turn) {
                const ssize_t count = ::read(stream.descriptor.get(), chunk, sizeof chunk);
                if (count > 0) {
                    stream.sink(QByteArrayView(chunk, count));
                    continue;
                }
                if (count < 0 && errno == EINTR)
                    continue;
                if (count < 0 && errno == EAGAIN)
                    break;
                // End of file, or an error that ends the stream (EIO once a terminal's last
                // holder has gone).
                unwatch(stream.descriptor.get());
                stream.descriptor.reset();
                break;
            }
        }

        const Clock::time_point now = Clock::now();
        for (auto kill = kills.begin(); kill != kills.end();) {
            if (kill->at > now) {
                ++kill;
                continue;
            }
            kill->process->signal(SIGKILL);
            kill = kills.erase(kill);
        }
        for (auto it = entries.begin(); it != entries.end();) {
            Entry &entry = *it->second;
            if (!entry.answered) {
                if (entry.ending) {
                    const bool failed = entry.ending->ending == ChildOutcome::Ending::WaitFailed;
                    if (failed || entry.streamsClosed() || now >= std::min(*entry.drainEnd, entry.deadline)) {
                        const ChildOutcome outcome = *entry.ending;
                        closeStreams(entry);
                        // The watch lets go of the child before the caller hears of it.
                        std::unique_ptr<Entry> done = std::move(it->second);
                        it = entries.erase(it);
                        done->watch.process.reset();
                        std::function<void(const ChildOutcome &)> onEnded = std::move(done->watch.onEnded);
                        done.reset();
                        onEnded(outcome);
                        continue;
                    }
                } else if (now >= entry.deadline) {
                    stopAtTheLimit(entry, now);
                }
            } else if (entry.ending) {
                // A child that outlived its answer is collected now.
                it = entries.erase(it);
                continue;
            }
            ++it;
        }
    }
}

} // namespace ClaudeCLI
