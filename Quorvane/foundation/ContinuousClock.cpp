// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/ContinuousClock.h"

#include <QCoroTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <coroutine>

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace {

struct TimerFd
{
    int fd = -1;
    ~TimerFd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Resumes the awaiting coroutine when the descriptor becomes readable. (QCoro's signal awaiter
// cannot forward activated(), whose last argument is a private tag.) The resumption is posted:
// the coroutine destroys the notifier, which must not happen inside its own signal.
struct Readable
{
    QSocketNotifier &notifier;
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiting)
    {
        QObject::connect(&notifier, &QSocketNotifier::activated, &notifier,
                         [&notifier = notifier, waiting] {
                             notifier.setEnabled(false);
                             notifier.disconnect();
                             QTimer::singleShot(0, [waiting] { waiting.resume(); });
                         });
    }
    void await_resume() const noexcept {}
};

} // namespace

namespace ContinuousClock {

QCoro::Task<> sleepFor(std::chrono::milliseconds duration)
{
    if (duration.count() <= 0) {
        co_await QCoro::sleepFor(std::chrono::milliseconds(0));
        co_return;
    }
    TimerFd timer{::timerfd_create(CLOCK_BOOTTIME, TFD_CLOEXEC | TFD_NONBLOCK)};
    if (timer.fd < 0) {
        // No boot-time timer (a kernel without it): the monotonic timer is the closest there is.
        co_await QCoro::sleepFor(duration);
        co_return;
    }
    itimerspec spec{};
    spec.it_value.tv_sec = duration.count() / 1000;
    spec.it_value.tv_nsec = (duration.count() % 1000) * 1000000;
    if (::timerfd_settime(timer.fd, 0, &spec, nullptr) != 0) {
        co_await QCoro::sleepFor(duration);
        co_return;
    }
    QSocketNotifier notifier(timer.fd, QSocketNotifier::Read);
    co_await Readable{notifier};
    quint64 expirations = 0;
    while (::read(timer.fd, &expirations, sizeof expirations) < 0 && errno == EINTR) {
    }
}

Delay delay()
{
    return [](std::chrono::milliseconds duration) { return sleepFor(duration); };
}

} // namespace ContinuousClock
