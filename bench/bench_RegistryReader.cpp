// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
//
// Reading ~/.claude.json at every refresh: a registry grown to 20 MB by the project histories
// Claude Code keeps, with a few servers. Printed next to the parse alone, so the cost of the
// file read and of the classification on top of Qt's JSON parser shows.
#include "cli/RegistryReader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kTargetSize = 20 * 1024 * 1024;

QJsonObject httpServer(const QString &url)
{
    return {{QStringLiteral("type"), QStringLiteral("http")}, {QStringLiteral("url"), url}};
}

QJsonObject project(int index)
{
    QJsonArray history;
    for (int entry = 0; entry < 60; ++entry) {
        history.append(QJsonObject{
            {QStringLiteral("display"),
             QStringLiteral("Refactor the layout of page %1 and keep the hero section's spacing as it was; "
                            "then check every breakpoint and the CMS collection bindings once more (%2)")
                 .arg(entry)
                 .arg(index)},
            {QStringLiteral("pastedContents"), QJsonObject{}}});
    }
    QJsonObject servers;
    if (index % 50 == 0)
        servers.insert(QStringLiteral("webflow-local-%1").arg(index), httpServer(QStringLiteral("https://mcp.webflow.com/mcp")));
    if (index % 7 == 0)
        servers.insert(QStringLiteral("github"), httpServer(QStringLiteral("https://api.githubcopilot.com/mcp/")));
    return {{QStringLiteral("allowedTools"), QJsonArray{QStringLiteral("Bash(npm test:*)")}},
            {QStringLiteral("history"), history},
            {QStringLiteral("mcpServers"), servers},
            {QStringLiteral("hasTrustDialogAccepted"), true},
            {QStringLiteral("lastCost"), 0.4213},
            {QStringLiteral("lastSessionId"), QStringLiteral("5f0c2f1e-8d4b-4b7a-9a53-%1").arg(index, 12, 10, QLatin1Char('0'))}};
}

QByteArray registryWithProjects(qsizetype count)
{
    QJsonObject user;
    for (int i = 0; i < 6; ++i)
        user.insert(QStringLiteral("webflow-client-%1").arg(i), httpServer(QStringLiteral("https://mcp.webflow.com/mcp")));
    user.insert(QStringLiteral("quorvane-beta-webflow-x"), httpServer(QStringLiteral("https://mcp.webflow.com/mcp")));
    user.insert(QStringLiteral("filesystem"), QJsonObject{{QStringLiteral("command"), QStringLiteral("npx")},
                                                          {QStringLiteral("args"), QJsonArray{QStringLiteral("-y"), QStringLiteral("fs")}}});
    QJsonObject projects;
    for (int i = 0; i < count; ++i)
        projects.insert(QStringLiteral("/home/someone/Sites/client-%1").arg(i), project(i));
    const QJsonObject top{{QStringLiteral("numStartups"), 412}, {QStringLiteral("mcpServers"), user},
                          {QStringLiteral("projects"), projects}};
    // Claude Code writes the file indented, as here.
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

QByteArray generatedRegistry()
{
    // Measured on a hundred projects, then scaled to the target size.
    const qsizetype sample = 100;
    const qsizetype sampleSize = registryWithProjects(sample).size();
    return registryWithProjects(sample * kTargetSize / sampleSize);
}

// One generated registry in a temporary HOME for the whole program.
struct Registry
{
    QTemporaryDir home;
    QByteArray bytes = generatedRegistry();

    Registry()
    {
        QFile file(home.filePath(QStringLiteral(".claude.json")));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("could not write the generated registry");
        file.close();
        qputenv("HOME", QFile::encodeName(home.path()));
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

// The file read on its own, which readRegistry also pays.
void BM_ReadFileAndParse(benchmark::State &state)
{
    const QString path = registry().home.filePath(QStringLiteral(".claude.json"));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("could not open the generated registry");
        benchmark::DoNotOptimize(QJsonDocument::fromJson(file.readAll()));
    }
    state.SetBytesProcessed(state.iterations() * registry().bytes.size());
}

void BM_ReadRegistry(benchmark::State &state)
{
    const qsizetype size = registry().bytes.size();
    ClaudeCLI::RegistryRead read;
    for (auto _ : state) {
        read = ClaudeCLI::readRegistry(registry().home.filePath(QStringLiteral(".claude.json")));
        benchmark::DoNotOptimize(read);
    }
    if (read.error || read.servers.size() != 6)
        state.SkipWithError("the generated registry did not read as expected");
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["megabytes"] = double(size) / (1024 * 1024);
}

} // namespace

BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFileAndParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRegistry)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
