// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
// The runner's own cost per run, against the least a run with the same plumbing can cost:
// posix_spawn of /bin/true with standard input from /dev/null and both outputs into pipes, read to
// their end, then waitpid, with nothing around them.
#include "cli/ClaudeDriver.h"
#include "cli/ProcessRunner.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <initializer_list>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

bool drained(int fd)
{
    char chunk[4096];
    const ssize_t count = ::read(fd, chunk, sizeof chunk);
    return count == 0 || (count < 0 && errno != EINTR && errno != EAGAIN);
}

/// One bare run; false when it did not run to a clean exit.
bool bareSpawnWithPipes()
{
    char program[] = "/bin/true";
    char *arguments[] = {program, nullptr};
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, program, &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    pollfd watches[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = 2;
    while (error == 0 && open > 0 && ::poll(watches, 2, -1) > 0) {
        for (pollfd &watch : watches) {
            if (watch.fd >= 0 && watch.revents && drained(watch.fd)) {
                ::close(watch.fd);
                watch.fd = -1;
                --open;
            }
        }
    }
    for (const pollfd &watch : watches) {
        if (watch.fd >= 0)
            ::close(watch.fd);
    }
    int status = 0;
    return error == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_BareSpawnWithPipes(benchmark::State &state)
{
    for (auto _ : state) {
        if (!bareSpawnWithPipes()) {
            state.SkipWithError("the bare spawn failed");
            break;
        }
    }
}
BENCHMARK(BM_BareSpawnWithPipes)->UseRealTime();

void BM_RunnerRun(benchmark::State &state)
{
    ClaudeCLI::ClaudeDriver driver;
    const QString program = QStringLiteral("/bin/true");
    for (auto _ : state) {
        const ClaudeCLI::RunResult result = ClaudeCLI::run(driver, program, {}, std::chrono::seconds(10)).result();
        if (result.exitCode != 0) {
            state.SkipWithError("the run failed");
            break;
        }
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_RunnerRun)->UseRealTime();

void BM_RunnerRunKeyed(benchmark::State &state)
{
    ClaudeCLI::ClaudeDriver driver;
    const QString program = QStringLiteral("/bin/true");
    ClaudeCLI::RunOptions options;
    options.cancellationKey = QStringLiteral("verify:bench");
    for (auto _ : state) {
        const ClaudeCLI::RunResult result = ClaudeCLI::run(driver, program, {}, std::chrono::seconds(10), options).result();
        if (result.exitCode != 0) {
            state.SkipWithError("the run failed");
            break;
        }
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_RunnerRunKeyed)->UseRealTime();

// The two alternate within each iteration, and which goes first alternates too, so that neither a
// machine whose load changes over the run nor the order of the pair weighs on one side only;
// "ratio" is the runner's time over the bare spawn's.
void BM_RunnerAgainstBareSpawn(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    ClaudeCLI::ClaudeDriver driver;
    const QString program = QStringLiteral("/bin/true");
    Clock::duration bare{};
    Clock::duration runner{};
    bool bareFirst = true;
    for (auto _ : state) {
        bool ran = true;
        for (const bool bareTurn : {bareFirst, !bareFirst}) {
            const Clock::time_point start = Clock::now();
            if (bareTurn) {
                ran = bareSpawnWithPipes() && ran;
                bare += Clock::now() - start;
            } else {
                ran = ClaudeCLI::run(driver, program, {}, std::chrono::seconds(10)).result().exitCode == 0 && ran;
                runner += Clock::now() - start;
            }
        }
        bareFirst = !bareFirst;
        if (!ran) {
            state.SkipWithError("a run failed");
            break;
        }
    }
    const double iterations = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["bare_us"] = std::chrono::duration<double, std::micro>(bare).count() / iterations;
    state.counters["runner_us"] = std::chrono::duration<double, std::micro>(runner).count() / iterations;
    state.counters["ratio"] = std::chrono::duration<double>(runner) / std::chrono::duration<double>(bare);
}
BENCHMARK(BM_RunnerAgainstBareSpawn)->UseRealTime()->MinTime(5);

} // namespace

BENCHMARK_MAIN();
