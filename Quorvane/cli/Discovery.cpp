// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/Discovery.h"

#include "cli/ProcessRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtConcurrent>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace ClaudeCLI {

namespace {

/// The user's login shell: SHELL, else the password database's entry, else the POSIX shell.
QString loginShell()
{
    const QString fromEnvironment = qEnvironmentVariable("SHELL");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found
        && found->pw_shell && *found->pw_shell)
        return QFile::decodeName(found->pw_shell);
    return QStringLiteral("/bin/sh");
}

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
    QFile npmrc(home + QStringLiteral("/.npmrc"));
    if (prefix.isEmpty() && npmrc.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : npmrc.readAll().split('\n')) {
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

} // namespace

BinaryDiscovery::BinaryDiscovery(Clock &clock, QStringList fixedCandidates, DiscoveryLimits limits)
    : m_clock(clock)
    , m_fixedCandidates(std::move(fixedCandidates))
    , m_limits(limits)
{
}

BinaryDiscovery &BinaryDiscovery::shared()
{
    static BinaryDiscovery discovery(Clock::system());
    return discovery;
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
    return m_state.withLock([&](State &state) {
        if (state.sharedDiscovery)
            return *state.sharedDiscovery;
        const quint64 generation = state.discoveryGeneration;
        QFuture<std::optional<QString>> task = QtConcurrent::run(&driverThreads(), [this, generation] {
            const std::optional<QString> chosen = store(search(), generation);
            m_state.withLock([&](State &current) {
                if (current.discoveryGeneration == generation)
                    current.sharedDiscovery.reset();
            });
            return chosen;
        });
        state.sharedDiscovery = task;
        return task;
    });
}

QFuture<std::optional<QString>> BinaryDiscovery::findBinary()
{
    const BinaryLookup lookup = locateBinary();
    switch (lookup.state) {
    case BinaryLookup::State::Found:
        return QtFuture::makeReadyFuture(std::optional<QString>(lookup.path));
    case BinaryLookup::State::NotFound:
        return QtFuture::makeReadyFuture(std::optional<QString>());
    case BinaryLookup::State::Unresolved:
        break;
    }
    return sharedDiscoveryTask();
}

QFuture<CLIEnvironment> BinaryDiscovery::detectEnvironment()
{
    const quint64 generation = m_state.withLock([](State &state) { return state.discoveryGeneration; });
    return QtConcurrent::run(&driverThreads(), [this, generation] {
        const Search found = search();
        store(found, generation);
        CLIEnvironment environment;
        if (const std::optional<ClaudeInstall> chosen = chosenInstall(found.installs)) {
            environment.binary = chosen->path;
            environment.version = chosen->version;
            environment.supportsLogin = *chosen->version >= kFirstLoginVersion;
        }
        environment.installs = found.installs;
        return environment;
    });
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

QList<ClaudeInstall> BinaryDiscovery::discoverInstalls() const
{
    return search().installs;
}

BinaryDiscovery::Search BinaryDiscovery::search() const
{
    Search result;
    const QString home = QDir::homePath();

    const RunResult shell =
        run(loginShell(), {QStringLiteral("-lc"), QStringLiteral("/usr/bin/env")}, m_limits.loginShellProbe).result();
    const QStringList environment = shell.stdout.split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : environment) {
        if (line.startsWith(QStringLiteral("PATH="))) {
            result.loginPath = line.mid(5);
            break;
        }
    }

    QStringList candidates;
    for (const QString &piece : result.loginPath.split(u':', Qt::SkipEmptyParts)) {
        const QString folder = trimmedHorizontally(piece);
        if (!folder.startsWith(u'/'))
            continue;
        const QString path = folder + (folder.endsWith(u'/') ? QStringLiteral("claude") : QStringLiteral("/claude"));
        if (isExecutableFile(path))
            candidates.append(path);
    }
    candidates += m_fixedCandidates;
    candidates.append(npmPrefixCandidate(environment, home));
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

    RunOptions probe;
    if (!result.loginPath.isEmpty())
        probe.searchPath = result.loginPath;
    for (const QString &path : std::as_const(distinct)) {
        const RunResult answer = run(path, {QStringLiteral("--version")}, m_limits.versionProbe, probe).result();
        result.installs.append({path, answer.exitCode == 0 ? CLIVersion::parse(answer.stdout) : std::nullopt});
    }
    std::stable_sort(result.installs.begin(), result.installs.end(),
                     [](const ClaudeInstall &left, const ClaudeInstall &right) {
                         if (!left.version || !right.version)
                             return left.version.has_value() && !right.version.has_value();
                         return *left.version > *right.version;
                     });
    return result;
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
        ChildProcess::setSearchPath(search.loginPath);
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

BinaryLookup locateBinary()
{
    return BinaryDiscovery::shared().locateBinary();
}

QFuture<std::optional<QString>> sharedDiscoveryTask()
{
    return BinaryDiscovery::shared().sharedDiscoveryTask();
}

QFuture<std::optional<QString>> findBinary()
{
    return BinaryDiscovery::shared().findBinary();
}

QFuture<CLIEnvironment> detectEnvironment()
{
    return BinaryDiscovery::shared().detectEnvironment();
}

void forgetBinaryLocation()
{
    BinaryDiscovery::shared().forgetBinaryLocation();
}

} // namespace ClaudeCLI
