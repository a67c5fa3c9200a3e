// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
// The runner's own cost per run, against the least a run with the same plumbing can cost:
// posix_spawn of /bin/true with standard input from /dev/null and both outputs into pipes, read to
// their end, then waitpid, with nothing around them.
#include "cli/ClaudeDriver.h"
#include "cli/ProcessRunner.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
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

void BM_BareSpawnWithPipes(benchmark::State &state)
{
    char program[] = "/bin/true";
    char *arguments[] = {program, nullptr};
    for (auto _ : state) {
        int out[2];
        int err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
            state.SkipWithError("pipe2 failed");
            break;
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
        if (error != 0) {
            state.SkipWithError("posix_spawn failed");
            break;
        }
        pollfd watches[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        int open = 2;
        while (open > 0 && ::poll(watches, 2, -1) > 0) {
            for (pollfd &watch : watches) {
                if (watch.fd >= 0 && watch.revents && drained(watch.fd)) {
                    ::close(watch.fd);
                    watch.fd = -1;
                    --open;
                }
            }
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        benchmark::DoNotOptimize(status);
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

} // namespace

BENCHMARK_MAIN();
