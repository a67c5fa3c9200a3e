// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
//
// Reading ~/.claude.json at every refresh: a registry grown to 20 MB by the project histories
// Claude Code keeps, shaped like a real one. The reader (map the file, parse it) is printed next
// to the bare parse of the same bytes already in memory, so its own cost shows; the full read
// adds the classification of the servers.
#include "RealisticRegistry.h"

#include "cli/RegistryFile.h"
#include "cli/RegistryReader.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <chrono>
#include <initializer_list>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kTargetSize = 20 * 1024 * 1024;

// One generated registry in a temporary folder for the whole program.
struct Registry
{
    QTemporaryDir folder;
    QByteArray bytes = RealisticRegistry::generate(kTargetSize);
    QString path = folder.filePath(QStringLiteral(".claude.json"));

    Registry()
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("could not write the generated registry");
    }
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

void BM_ParseOnly(benchmark::State &state)
{
    const QByteArray &bytes = registry().bytes;
    for (auto _ : state)
        benchmark::DoNotOptimize(QJsonDocument::fromJson(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_RegistryFile(benchmark::State &state)
{
    const QString &path = registry().path;
    // Each result goes within its iteration, as the parse's does: holding one over would double the
    // memory the next parse has to find.
    for (auto _ : state)
        benchmark::DoNotOptimize(ClaudeCLI::readRegistryFile(path));
    if (ClaudeCLI::readRegistryFile(path).state != ClaudeCLI::RegistryFile::State::Parsed)
        state.SkipWithError("the generated registry did not parse");
    state.SetBytesProcessed(state.iterations() * registry().bytes.size());
}

void BM_ReadRegistry(benchmark::State &state)
{
    const qsizetype size = registry().bytes.size();
    for (auto _ : state)
        benchmark::DoNotOptimize(ClaudeCLI::readRegistry(registry().path));
    const ClaudeCLI::RegistryRead read = ClaudeCLI::readRegistry(registry().path);
    if (read.error || read.servers.size() != RealisticRegistry::kManagedServers)
        state.SkipWithError("the generated registry did not read as expected");
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["megabytes"] = double(size) / (1024 * 1024);
}

// The two alternate within each iteration, and which goes first alternates too, so that a shared
// machine's changing load weighs on both alike; "ratio" is the reader's time over the parse's.
void BM_ReaderAgainstBareParse(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    const QByteArray &bytes = registry().bytes;
    const QString &path = registry().path;
    Clock::duration parse{};
    Clock::duration reader{};
    bool parseFirst = true;
    for (auto _ : state) {
        for (const bool parseTurn : {parseFirst, !parseFirst}) {
            const Clock::time_point start = Clock::now();
            if (parseTurn) {
                benchmark::DoNotOptimize(QJsonDocument::fromJson(bytes));
                parse += Clock::now() - start;
            } else {
                benchmark::DoNotOptimize(ClaudeCLI::readRegistryFile(path));
                reader += Clock::now() - start;
            }
        }
        parseFirst = !parseFirst;
    }
    const double iterations = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["parse_ms"] = std::chrono::duration<double, std::milli>(parse).count() / iterations;
    state.counters["reader_ms"] = std::chrono::duration<double, std::milli>(reader).count() / iterations;
    state.counters["ratio"] = std::chrono::duration<double>(reader) / std::chrono::duration<double>(parse);
}

} // namespace

BENCHMARK(BM_ReaderAgainstBareParse)->Unit(benchmark::kMillisecond)->MinTime(10);
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_RegistryFile)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_ReadRegistry)->Unit(benchmark::kMillisecond)->MinTime(3);

BENCHMARK_MAIN();
