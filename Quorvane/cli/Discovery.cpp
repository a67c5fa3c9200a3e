// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/Discovery.h"

#include "cli/ClaudeDriver.h"
#include "cli/ProcessRunner.h"
#include "foundation/StoreFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtConcurrent>

#include <algorithm>
#include <vector>

namespace ClaudeCLI {

namespace {

QString trimmedHorizontally(QString text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && (text[start] == u' ' || text[start] == u'\t'))
        ++start;
    while (end > start && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    return text.mid(start, end - start);
}

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

/// The value of the first "NAME=" line among the environment lines, or empty.
QString variable(const QStringList &environment, QStringView name)
{
    for (const QString &line : environment) {
        if (line.size() > name.size() && line.startsWith(name) && line[name.size()] == u'=')
            return line.mid(name.size() + 1);
    }
    return {};
}

/// The bin folder of npm's global prefix, when the user set one (login environment, our own
/// environment, or ~/.npmrc); npm's default prefix is already among the fixed locations.
QString npmPrefixCandidate(const QStringList &loginEnvironment, const QString &home)
{
    QString prefix;
    for (const QStringView name : {u"NPM_CONFIG_PREFIX", u"npm_config_prefix"}) {
        if (prefix.isEmpty())
            prefix = variable(loginEnvironment, name);
        if (prefix.isEmpty())
            prefix = qEnvironmentVariable(name.toLatin1().constData());
    }
    // Read like a store file: a FIFO or a link to a device in its place must neither block
    // discovery nor grow memory without bound.
    constexpr qint64 largestNpmrc = 1024 * 1024;
    const StoreFile::ReadResult npmrc =
        prefix.isEmpty() ? StoreFile::read(home + QStringLiteral("/.npmrc"), largestNpmrc) : StoreFile::ReadResult{};
    if (npmrc.outcome == StoreFile::ReadResult::Outcome::Read) {
        for (const QByteArray &line : npmrc.bytes.split('\n')) {
            const qsizetype equals = line.indexOf('=');
            if (equals > 0 && line.left(equals).trimmed() == "prefix") {
                prefix = QString::fromUtf8(line.mid(equals + 1).trimmed());
                break;
            }
        }
    }
    if (prefix.startsWith(QStringLiteral("~/")))
        prefix = home + prefix.mid(1);
    if (!prefix.startsWith(u'/'))
        return {};
    return prefix + QStringLiteral("/bin/claude");
}

/// The distinct executables to probe, by their resolved paths: those on the login shell's PATH,
/// the fixed locations, npm's prefix and the Node version manager's installs. Touches the file
/// system: runs on the driver's threads.
QStringList distinctCandidates(const QString &loginPath, const QStringList &loginEnvironment,
                               const QStringList &fixedCandidates)
{
    const QString home = QDir::homePath();
    QStringList candidates;
    for (const QString &piece : loginPath.split(u':', Qt::SkipEmptyParts)) {
        const QString folder = trimmedHorizontally(piece);
        if (!folder.startsWith(u'/'))
            continue;
        const QString path = folder + (folder.endsWith(u'/') ? QStringLiteral("claude") : QStringLiteral("/claude"));
        if (isExecutableFile(path))
            candidates.append(path);
    }
    candidates += fixedCandidates;
    candidates.append(npmPrefixCandidate(loginEnvironment, home));
    const QString nodeVersions = home + QStringLiteral("/.local/share/fnm/node-versions");
    for (const QString &entry : QDir(nodeVersions).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString path = nodeVersions + u'/' + entry + QStringLiteral("/installation/bin/claude");
        if (QFileInfo::exists(path))
            candidates.append(path);
    }

    QStringList distinct;
    for (const QString &candidate : std::as_const(candidates)) {
        if (candidate.isEmpty() || !QFileInfo::exists(candidate))
            continue;
        const QString resolved = QFileInfo(candidate).canonicalFilePath();
        if (!resolved.isEmpty() && !distinct.contains(resolved))
            distinct.append(resolved);
    }
    return distinct;
}

} // namespace

BinaryDiscovery::BinaryDiscovery(ClaudeDriver &driver, Clock &clock, QStringList fixedCandidates, DiscoveryLimits limits)
    : m_driver(driver)
    , m_clock(clock)
    , m_fixedCandidates(std::move(fixedCandidates))
    , m_limits(limits)
{
}

QStringList BinaryDiscovery::standardCandidates()
{
    const QString home = QDir::homePath();
    return {
        QStringLiteral("/opt/homebrew/bin/claude"),
        QStringLiteral("/usr/local/bin/claude"),
        home + QStringLiteral("/.claude/local/claude"),
        home + QStringLiteral("/.local/bin/claude"),
        home + QStringLiteral("/.bun/bin/claude"),
        // Where npm installs globally for users who moved its prefix out of /usr/local, and where
        // distribution packages put it.
        home + QStringLiteral("/.npm-global/bin/claude"),
        QStringLiteral("/usr/bin/claude"),
    };
}

BinaryLookup BinaryDiscovery::locateBinary()
{
    const QDateTime now = m_clock.now();
    return m_state.withLock([&](State &state) -> BinaryLookup {
        if (state.cachedBinary.state == BinaryLookup::State::NotFound && state.lastDiscoveryAt
            && state.lastDiscoveryAt->msecsTo(now) > m_limits.notFoundRetry.count())
            return {};
        return state.cachedBinary;
    });
}

QFuture<std::optional<QString>> BinaryDiscovery::sharedDiscoveryTask()
{
    auto promise = std::make_shared<QPromise<std::optional<QString>>>();
    std::optional<quint64> generation;
    QFuture<std::optional<QString>> task = m_state.withLock([&](State &state) {
        if (state.sharedDiscovery)
            return *state.sharedDiscovery;
        generation = state.discoveryGeneration;
        QFuture<std::optional<QString>> future = promise->future();
        state.sharedDiscovery = future;
        return future;
    });
    // The search starts outside the lock: it takes it again to store its answer.
    if (generation) {
        promise->start();
        runSharedSearch(promise, *generation);
    }
    return task;
}

QCoro::Task<> BinaryDiscovery::runSharedSearch(std::shared_ptr<QPromise<std::optional<QString>>> promise,
                                               quint64 generation)
{
    const std::weak_ptr<const void> life = m_driver.life();
    const Search found = co_await search();
    if (life.expired()) {
        // Those waiting learn that no claude is to be had and so leave the driver alone.
        promise->addResult(std::nullopt);
        promise->finish();
        co_return;
    }
    const std::optional<QString> chosen = store(found, generation);
    m_state.withLock([&](State &current) {
        if (current.discoveryGeneration == generation)
            current.sharedDiscovery.reset();
    });
    promise->addResult(chosen);
    promise->finish();
}

QCoro::Task<std::optional<QString>> BinaryDiscovery::findBinary()
{
    const BinaryLookup lookup = locateBinary();
    switch (lookup.state) {
    case BinaryLookup::State::Found:
        co_return lookup.path;
    case BinaryLookup::State::NotFound:
        co_return std::nullopt;
    case BinaryLookup::State::Unresolved:
        break;
    }
    const QFuture<std::optional<QString>> shared = sharedDiscoveryTask();
    co_return co_await shared;
}

QCoro::Task<CLIEnvironment> BinaryDiscovery::detectEnvironment()
{
    const quint64 generation = m_state.withLock([](State &state) { return state.discoveryGeneration; });
    const std::weak_ptr<const void> life = m_driver.life();
    const Search found = co_await search();
    if (life.expired())
        co_return CLIEnvironment{};
    store(found, generation);
    CLIEnvironment environment;
    if (const std::optional<ClaudeInstall> chosen = chosenInstall(found.installs)) {
        environment.binary = chosen->path;
        environment.version = chosen->version;
        environment.supportsLogin = *chosen->version >= kFirstLoginVersion;
    }
    environment.installs = found.installs;
    co_return environment;
}

void BinaryDiscovery::forgetBinaryLocation()
{
    m_state.withLock([](State &state) {
        state.cachedBinary = {};
        state.lastDiscoveryAt.reset();
        ++state.discoveryGeneration;
        state.sharedDiscovery.reset();
    });
}

QCoro::Task<QList<ClaudeInstall>> BinaryDiscovery::discoverInstalls()
{
    const Search found = co_await search();
    co_return found.installs;
}

QCoro::Task<BinaryDiscovery::Search> BinaryDiscovery::search()
{
    Search result;
    const std::weak_ptr<const void> life = m_driver.life();
    const QString shell = m_driver.loginShell();
    const QFuture<RunResult> shellRun =
        run(m_driver, shell, {QStringLiteral("-lc"), QStringLiteral("/usr/bin/env")}, m_limits.loginShellProbe);
    const RunResult answer = co_await shellRun;
    if (life.expired())
        co_return Search{};
    const QStringList environment = answer.stdout.split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : environment) {
        if (line.startsWith(QStringLiteral("PATH="))) {
            result.loginPath = line.mid(5);
            break;
        }
    }

    const QFuture<QStringList> probing = QtConcurrent::run(&m_driver.threads(), distinctCandidates, result.loginPath,
                                                           environment, m_fixedCandidates);
    const QStringList distinct = co_await probing;
    if (life.expired())
        co_return Search{};

    RunOptions probe;
    if (!result.loginPath.isEmpty())
        probe.searchPath = result.loginPath;
    for (const QString &path : distinct) {
        const QFuture<RunResult> versionRun = run(m_driver, path, {QStringLiteral("--version")}, m_limits.versionProbe, probe);
        const RunResult version = co_await versionRun;
        if (life.expired())
            co_return Search{};
        result.installs.append({path, version.exitCode == 0 ? CLIVersion::parse(version.stdout) : std::nullopt});
    }
    std::stable_sort(result.installs.begin(), result.installs.end(),
                     [](const ClaudeInstall &left, const ClaudeInstall &right) {
                         if (!left.version || !right.version)
                             return left.version.has_value() && !right.version.has_value();
                         return *left.version > *right.version;
                     });
    co_return result;
}

std::optional<QString> BinaryDiscovery::store(const Search &search, quint64 generation)
{
    const std::optional<ClaudeInstall> chosen = chosenInstall(search.installs);
    const QDateTime now = m_clock.now();
    const bool stored = m_state.withLock([&](State &state) {
        if (state.discoveryGeneration != generation)
            return false;
        state.cachedBinary = chosen ? BinaryLookup{BinaryLookup::State::Found, chosen->path}
                                    : BinaryLookup{BinaryLookup::State::NotFound, {}};
        state.lastDiscoveryAt = now;
        return true;
    });
    // Later children of the claude that was chosen get the PATH of the shell that located it.
    if (stored && chosen)
        m_driver.setSearchPath(search.loginPath);
    if (chosen)
        return chosen->path;
    return std::nullopt;
}

std::optional<ClaudeInstall> chosenInstall(const QList<ClaudeInstall> &installs)
{
    if (installs.isEmpty() || !installs.front().version)
        return std::nullopt;
    return installs.front();
}

} // namespace ClaudeCLI
