// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
//
// Whether the GUI thread stays responsive while the driver works: registering, removing (which
// reads the 20 MB registry again to confirm) and checking the scope of a server, then reading
// the registry as a refresh does, against the fake claude in a temporary home. A 1 ms timer
// ticks on the calling thread meanwhile; the counter "longest_gap_ms" is the largest interval
// between two of its ticks, which must stay under one frame (16 ms); "longest_gap_busy_ms" is how
// much of that gap the thread itself was working.
#include "RealisticRegistry.h"

#include "cli/ClaudeDriver.h"
#include "cli/Registration.h"
#include "cli/RegistryReader.h"
#include "cli/ScopeCheck.h"
#include "support/FakeClaude.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QCoroFuture>
#include <QCoroTask>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

constexpr qsizetype kTargetSize = 20 * 1024 * 1024;
const QString kName = QStringLiteral("webflow-bench");

QByteArray line(const QJsonObject &event)
{
    return QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n';
}

/// Claude's stream for a scope check whose sites tool lists one site.
QByteArray scopeCheckStream()
{
    const QString tool = QStringLiteral("mcp__") + kName + QStringLiteral("__data_sites_tool");
    const QJsonObject use{{QStringLiteral("type"), QStringLiteral("tool_use")}, {QStringLiteral("id"), QStringLiteral("t1")},
                          {QStringLiteral("name"), tool}, {QStringLiteral("input"), QJsonObject()}};
    const QJsonObject result{{QStringLiteral("type"), QStringLiteral("tool_result")},
                             {QStringLiteral("tool_use_id"), QStringLiteral("t1")},
                             {QStringLiteral("content"), QStringLiteral(R"([{"id": "s1", "displayName": "Acme", "slug": "acme"}])")}};
    const QJsonObject assistant{{QStringLiteral("content"), QJsonArray{use}}};
    const QJsonObject user{{QStringLiteral("content"), QJsonArray{result}}};
    return line({{QStringLiteral("type"), QStringLiteral("assistant")}, {QStringLiteral("message"), assistant}})
        + line({{QStringLiteral("type"), QStringLiteral("user")}, {QStringLiteral("message"), user}});
}

qint64 threadCpuTime()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

/// One round of what the application does with a connection; false when a step went wrong.
QCoro::Task<bool> round(ClaudeCLI::ClaudeDriver &driver)
{
    const ClaudeCLI::RegistryChange added = co_await ClaudeCLI::addServer(driver, kName);
    const ClaudeCLI::RegistryChange removed = co_await ClaudeCLI::removeServer(driver, kName);
    const ClaudeCLI::ScopeCheckResult checked =
        co_await ClaudeCLI::verifySites(driver, kName, QStringLiteral("https://mcp.webflow.com/mcp"));
    const QFuture<ClaudeCLI::RegistryRead> reading = ClaudeCLI::readRegistry(driver);
    const ClaudeCLI::RegistryRead read = co_await reading;
    co_return added.ok && removed.ok && checked.ok && read.servers.size() == RealisticRegistry::kManagedServers;
}

void BM_OperationsKeepTheLoopResponsive(benchmark::State &state)
{
    TempHome home;
    const QByteArray without = RealisticRegistry::generate(kTargetSize);
    const QByteArray with = RealisticRegistry::withUserServer(without, kName);
    QFile registry(home.filePath(QStringLiteral(".claude.json")));
    if (!registry.open(QIODevice::WriteOnly) || registry.write(without) != without.size())
        qFatal("could not write the generated registry");
    registry.close();
    FakeClaude claude(home);
    claude.answer(QStringLiteral("mcp add"), {"Added HTTP MCP server\n", {}, 0, false, with});
    claude.answer(QStringLiteral("mcp remove"), {"Removed MCP server\n", {}, 0, false, without});
    claude.answer(QStringLiteral("-p"), {scopeCheckStream(), {}, 0, false, std::nullopt});
    ClaudeCLI::ClaudeDriver driver(claude.configuration());
    // Discovery runs once per driver; the rounds measure the operations themselves.
    if (!QCoro::waitFor(driver.discovery().findBinary()))
        qFatal("the fake claude was not found");

    // The longest gap, and how much of it this thread spent working: on a loaded machine a gap can
    // also be time the thread waited for a processor.
    qint64 longestGap = 0;
    qint64 longestGapBusy = 0;
    QElapsedTimer sinceTick;
    qint64 busyAtTick = 0;
    const auto tick = [&] {
        const qint64 gap = sinceTick.nsecsElapsed();
        const qint64 busy = threadCpuTime() - busyAtTick;
        if (gap > longestGap) {
            longestGap = gap;
            longestGapBusy = busy;
        }
        sinceTick.start();
        busyAtTick = threadCpuTime();
    };
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, tick);
    for (auto _ : state) {
        sinceTick.start();
        busyAtTick = threadCpuTime();
        ticker.start();
        const bool done = QCoro::waitFor(round(driver));
        tick();
        ticker.stop();
        if (!done) {
            state.SkipWithError("a step of the round failed");
            break;
        }
    }
    state.counters["longest_gap_ms"] = double(longestGap) / 1e6;
    state.counters["longest_gap_busy_ms"] = double(longestGapBusy) / 1e6;
    state.counters["megabytes"] = double(without.size()) / (1024 * 1024);
}
BENCHMARK(BM_OperationsKeepTheLoopResponsive)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
