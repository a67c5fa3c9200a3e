// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/UniqueFd.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <memory>
#include <mutex>
#include <optional>
#include <variant>
#include <vector>

namespace ClaudeCLI {

class ChildProcess;

/**
 * @brief The environment block every child gets: the driver's environment with the search path
 * as PATH. Built once and shared by every launch that uses it, read-only from then on.
 */
class ChildEnvironment
{
public:
    /// An empty search path keeps the environment's own PATH.
    ChildEnvironment(QProcessEnvironment environment, const QString &searchPath);
    ChildEnvironment(const ChildEnvironment &) = delete;
    ChildEnvironment &operator=(const ChildEnvironment &) = delete;

    [[nodiscard]] const QString &searchPath() const { return m_searchPath; }
    /// The null-terminated "NAME=value" list posix_spawn takes.
    [[nodiscard]] char *const *entries() const { return m_pointers.data(); }

private:
    QString m_searchPath;
    std::vector<QByteArray> m_texts;
    std::vector<char *> m_pointers;
};

/// What to start and where: the executable is used as given (no PATH search, no shell).
struct SpawnRequest
{
    QString executable;
    QStringList arguments;
    /// The working folder by path; ignored when `directoryDescriptor` is given.
    QString directory;
    /// An open folder the child starts in, bound by the descriptor rather than its path.
    int directoryDescriptor = -1;
    /// The slave side of a pseudo-terminal: it becomes the child's controlling terminal and its
    /// three standard streams. Empty: standard input from /dev/null, output and error into two
    /// new pipes.
    QByteArray terminal;
    /// The child's environment; must be given.
    std::shared_ptr<const ChildEnvironment> environment;
};

/// A launched child with the read ends of its output pipes (invalid for terminal runs).
struct SpawnedChild
{
    std::shared_ptr<ChildProcess> process;
    UniqueFd stdoutRead;
    UniqueFd stderrRead;
};

/**
 * @brief One child process of the driver. It is signalled through a pidfd, so a signal sent late
 * (a forced kill seconds after a cancellation) can never reach another process that reuses the
 * number; and the pidfd turns readable when the child terminates.
 */
class ChildProcess : public std::enable_shared_from_this<ChildProcess>
{
public:
    ChildProcess(pid_t pid, UniqueFd pidfd);
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    /// Starts a child with every descriptor of ours close-on-exec and all signals at their
    /// defaults; the read ends of its pipes are non-blocking. On failure the launch error's
    /// description.
    [[nodiscard]] static std::variant<SpawnedChild, QString> spawn(const SpawnRequest &request);

    [[nodiscard]] pid_t pid() const { return m_pid; }
    /// Readable once the child has terminated.
    [[nodiscard]] int pidfd() const { return m_pidfd.get(); }
    [[nodiscard]] bool isRunning() const;
    /// Sends a signal unless the child has already been reaped.
    void signal(int signal) const;
    /// Waits for the child to terminate and collects it: its wait status, or the error of
    /// waitpid as text. Only the first call waits; later ones answer what it collected, because
    /// once collected the number may already belong to another process.
    [[nodiscard]] std::variant<int, QString> reap();

private:
    pid_t m_pid;
    UniqueFd m_pidfd;
    std::mutex m_reapLock;
    std::optional<std::variant<int, QString>> m_reaped;
};

/// The system's text for an error number.
[[nodiscard]] QString errorText(int error);

} // namespace ClaudeCLI
