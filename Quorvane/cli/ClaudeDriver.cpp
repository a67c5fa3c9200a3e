// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/ClaudeDriver.h"

#include "cli/PrivateDirectory.h"
#include "cli/RegistryReader.h"

#include <QDir>
#include <QFile>

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace ClaudeCLI {

namespace {

// Launches and file reads are short and never wait on a child, so a few threads serve every
// run the application starts at once.
constexpr int kDriverThreads = 4;

template <typename T>
T orDefault(T value, T fallback)
{
    return value.isEmpty() ? std::move(fallback) : std::move(value);
}

} // namespace

QString defaultLoginShell()
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

ClaudeDriver::ClaudeDriver(DriverConfiguration configuration)
    : m_loginShell(orDefault(configuration.loginShell, defaultLoginShell()))
    , m_registryPath(orDefault(configuration.registryPath, ClaudeCLI::registryPath()))
    , m_temporaryFolder(orDefault(configuration.temporaryFolder, QDir::tempPath()))
    , m_baseEnvironment(configuration.environment.value_or(QProcessEnvironment::systemEnvironment()))
    , m_environment(std::make_shared<const ChildEnvironment>(m_baseEnvironment, QString()))
    , m_reaper(std::make_unique<ChildReaper>())
    , m_runs(std::make_unique<RunOperationRegistry>())
    , m_logins(std::make_unique<LoginOperationRegistry>(*m_reaper, configuration.loginKillGrace))
    , m_discovery(std::make_unique<BinaryDiscovery>(
          *this, *configuration.clock,
          configuration.fixedCandidates.value_or(BinaryDiscovery::standardCandidates()),
          configuration.discoveryLimits))
{
    m_threads.setMaxThreadCount(kDriverThreads);
}

ClaudeDriver::~ClaudeDriver()
{
    m_life.reset();
    m_threads.waitForDone();
    m_reaper.reset();
    // No child is left to run in it.
    if (m_workingDirectory)
        removePrivateWorkingDirectory(*m_workingDirectory);
}

void ClaudeDriver::setSearchPath(const QString &path)
{
    std::lock_guard<std::mutex> locker(m_lock);
    if (m_environment->searchPath() != path)
        m_environment = std::make_shared<const ChildEnvironment>(m_baseEnvironment, path);
}

QString ClaudeDriver::searchPath() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_environment->searchPath();
}

std::shared_ptr<const ChildEnvironment> ClaudeDriver::environment(const std::optional<QString> &searchPath)
{
    std::lock_guard<std::mutex> locker(m_lock);
    if (!searchPath || *searchPath == m_environment->searchPath())
        return m_environment;
    // Discovery probes every install with the login shell's PATH before choosing one: those
    // probes share one environment too.
    if (!m_otherEnvironment || m_otherEnvironment->searchPath() != *searchPath)
        m_otherEnvironment = std::make_shared<const ChildEnvironment>(m_baseEnvironment, *searchPath);
    return m_otherEnvironment;
}

std::optional<QString> ClaudeDriver::privateWorkingDirectory()
{
    std::lock_guard<std::mutex> locker(m_lock);
    if (!m_workingDirectoryTried) {
        m_workingDirectoryTried = true;
        // Folders of earlier runs that ended without removing theirs (a crash, a forced quit).
        removeAbandonedWorkingDirectories(m_temporaryFolder);
        m_workingDirectory = makePrivateWorkingDirectory(m_temporaryFolder, ::getpid(), QUuid::createUuid());
    }
    return m_workingDirectory;
}

} // namespace ClaudeCLI
