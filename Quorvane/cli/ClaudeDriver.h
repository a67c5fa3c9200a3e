// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/ChildProcess.h"
#include "cli/ChildReaper.h"
#include "cli/Discovery.h"
#include "cli/OperationRegistry.h"
#include "foundation/Clock.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

namespace ClaudeCLI {

/// What a driver is built from; every part has the application's own default.
struct DriverConfiguration
{
    /// Dates discovery's answers.
    Clock *clock = &Clock::system();
    /// The shell asked for the user's PATH; empty: SHELL, else the password database's, else /bin/sh.
    QString loginShell;
    /// The fixed install locations discovery tries; absent: the usual ones.
    std::optional<QStringList> fixedCandidates;
    DiscoveryLimits discoveryLimits;
    /// Claude's registry; empty: ~/.claude.json.
    QString registryPath;
    /// Where the private working directory goes; empty: the user's temporary folder.
    QString temporaryFolder;
    /// How long a cancelled login's child has between SIGTERM and SIGKILL.
    std::chrono::milliseconds loginKillGrace = kKillGrace;
    /// The environment children get, with PATH replaced by the search path; absent: the
    /// application's own when the driver is built.
    std::optional<QProcessEnvironment> environment;
};

/**
 * @brief The claude driver: the one owner of everything the operations on the claude command
 * line share. It holds the discovery and its cache, the registries of keyed runs and logins, the
 * search path with the environment built from it, the private working directory, the threads that
 * read and write files, and the reaper that launches and collects the children. The application
 * builds one for its whole life and hands it to what runs claude; tests build their own.
 *
 * Operations take the driver by reference and must not outlive it. Destroying it waits for the
 * launches and reads under way, stops the children still running (SIGTERM, later SIGKILL) and
 * collects them.
 */
class ClaudeDriver
{
public:
    explicit ClaudeDriver(DriverConfiguration configuration = {});
    ~ClaudeDriver();
    ClaudeDriver(const ClaudeDriver &) = delete;
    ClaudeDriver &operator=(const ClaudeDriver &) = delete;

    [[nodiscard]] BinaryDiscovery &discovery() { return *m_discovery; }
    /// Expires as the driver starts to go. A coroutine handed the driver takes one before it
    /// awaits: what it awaited may finish because the driver is going (its children stopped, its
    /// pool emptied) and resume it once the driver is gone.
    [[nodiscard]] std::weak_ptr<const void> life() const { return m_life; }
    /// The keyed runs of the pipe runner (the scope check); `cancel` sends SIGTERM.
    [[nodiscard]] RunOperationRegistry &runs() { return *m_runs; }
    /// The keyed runs of the terminal runner; `cancel` sends SIGTERM, later SIGKILL.
    [[nodiscard]] LoginOperationRegistry &logins() { return *m_logins; }
    /// Launches the children and collects them.
    [[nodiscard]] ChildReaper &reaper() { return *m_reaper; }
    /// Where file work runs (registry reads, folder checks, configuration files); nothing run here
    /// waits on a child or on another task.
    [[nodiscard]] QThreadPool &threads() { return m_threads; }

    [[nodiscard]] const QString &loginShell() const { return m_loginShell; }
    [[nodiscard]] const QString &registryPath() const { return m_registryPath; }

    /// The PATH later children get: that of the login shell that located `claude`, so that an
    /// install started through "#!/usr/bin/env node" finds its interpreter. Empty: the
    /// environment's own.
    void setSearchPath(const QString &path);
    [[nodiscard]] QString searchPath() const;
    /// The environment for the search path; another path gets one of its own.
    [[nodiscard]] std::shared_ptr<const ChildEnvironment> environment(const std::optional<QString> &searchPath = {});

    /// The folder every child runs in, which only the user may enter; made on the first call
    /// (absent for the driver's life when that fails), after removing those that processes now
    /// gone left behind, and removed with the driver. Touches the file system: call it on the
    /// driver's threads or the reaper's.
    [[nodiscard]] std::optional<QString> privateWorkingDirectory();

private:
    const QString m_loginShell;
    const QString m_registryPath;
    const QString m_temporaryFolder;
    const QProcessEnvironment m_baseEnvironment;
    std::shared_ptr<const int> m_life = std::make_shared<const int>(0);

    mutable std::mutex m_lock;
    std::shared_ptr<const ChildEnvironment> m_environment;
    std::shared_ptr<const ChildEnvironment> m_otherEnvironment;
    bool m_workingDirectoryTried = false;
    std::optional<QString> m_workingDirectory;

    // The destructor empties the pool first, then stops the reaper, then removes the folder.
    std::unique_ptr<ChildReaper> m_reaper;
    std::unique_ptr<RunOperationRegistry> m_runs;
    std::unique_ptr<LoginOperationRegistry> m_logins;
    std::unique_ptr<BinaryDiscovery> m_discovery;
    QThreadPool m_threads;
};

/// The user's login shell: SHELL, else the password database's entry, else the POSIX shell.
[[nodiscard]] QString defaultLoginShell();

} // namespace ClaudeCLI
