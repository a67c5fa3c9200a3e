// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
// The runner's own cost per run, against the least a run can cost: posix_spawn and waitpid of
// /bin/true with nothing around them.
#include "cli/ProcessRunner.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

void BM_BareSpawnAndWait(benchmark::State &state)
{
    char program[] = "/bin/true";
    char *arguments[] = {program, nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        if (::posix_spawn(&pid, program, nullptr, nullptr, arguments, environ) != 0) {
            state.SkipWithError("posix_spawn failed");
            break;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        benchmark::DoNotOptimize(status);
    }
}
BENCHMARK(BM_BareSpawnAndWait)->UseRealTime();

void BM_RunnerRun(benchmark::State &state)
{
    const QString program = QStringLiteral("/bin/true");
    for (auto _ : state) {
        const ClaudeCLI::RunResult result = ClaudeCLI::run(program, {}, std::chrono::seconds(10)).result();
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
    const QString program = QStringLiteral("/bin/true");
    ClaudeCLI::RunOptions options;
    options.cancellationKey = QStringLiteral("verify:bench");
    for (auto _ : state) {
        const ClaudeCLI::RunResult result = ClaudeCLI::run(program, {}, std::chrono::seconds(10), options).result();
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
