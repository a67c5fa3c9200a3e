// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/ChildProcess.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
// glibc 2.36 declares these without C linkage for C++.
extern "C" {
#include <sys/pidfd.h>
}
#include <sys/wait.h>
#include <vector>

namespace ClaudeCLI {

namespace {

/// A null-terminated vector of C strings that owns its texts.
class CStringVector
{
public:
    void append(QByteArray text) { m_texts.push_back(std::move(text)); }
    char **data()
    {
        m_pointers.clear();
        for (QByteArray &text : m_texts)
            m_pointers.push_back(text.data());
        m_pointers.push_back(nullptr);
        return m_pointers.data();
    }

private:
    std::vector<QByteArray> m_texts;
    std::vector<char *> m_pointers;
};

/// Spawn attributes and file actions released on every path.
struct SpawnSetup
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    SpawnSetup()
    {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup &) = delete;
    SpawnSetup &operator=(const SpawnSetup &) = delete;
};

bool makePipe(UniqueFd &readEnd, UniqueFd &writeEnd)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    readEnd.reset(fds[0]);
    writeEnd.reset(fds[1]);
    // Only our end: the reaper reads whatever is there and never waits inside a read.
    return ::fcntl(fds[0], F_SETFL, O_NONBLOCK) == 0;
}

} // namespace

ChildProcess::ChildProcess(pid_t pid, UniqueFd pidfd)
    : m_pid(pid)
    , m_pidfd(std::move(pidfd))
{
}

ChildEnvironment::ChildEnvironment(QProcessEnvironment environment, const QString &searchPath)
    : m_searchPath(searchPath)
{
    if (!searchPath.isEmpty())
        environment.insert(QStringLiteral("PATH"), searchPath);
    const QStringList entries = environment.toStringList();
    m_texts.reserve(entries.size());
    for (const QString &entry : entries)
        m_texts.push_back(QFile::encodeName(entry));
    for (QByteArray &text : m_texts)
        m_pointers.push_back(text.data());
    m_pointers.push_back(nullptr);
}

std::variant<SpawnedChild, QString> ChildProcess::spawn(const SpawnRequest &request)
{
    SpawnedChild child;
    UniqueFd stdoutWrite;
    UniqueFd stderrWrite;
    const bool terminal = !request.terminal.isEmpty();
    if (!terminal
        && (!makePipe(child.stdoutRead, stdoutWrite) || !makePipe(child.stderrRead, stderrWrite)))
        return QStringLiteral("Could not create CLI output pipes.");

    SpawnSetup setup;
    // The child starts clean whatever the calling thread has blocked or ignored.
    sigset_t mask;
    sigemptyset(&mask);
    posix_spawnattr_setsigmask(&setup.attributes, &mask);
    sigfillset(&mask);
    posix_spawnattr_setsigdefault(&setup.attributes, &mask);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;

    const QByteArray directory = QFile::encodeName(request.directory);
    int failed = 0;
    if (request.directoryDescriptor >= 0)
        failed = posix_spawn_file_actions_addfchdir_np(&setup.actions, request.directoryDescriptor);
    else if (!directory.isEmpty())
        failed = posix_spawn_file_actions_addchdir_np(&setup.actions, directory.constData());
    if (terminal) {
        // A new session whose first terminal opened becomes its controlling terminal.
        flags |= POSIX_SPAWN_SETSID;
        failed = failed
            || posix_spawn_file_actions_addopen(&setup.actions, 0, request.terminal.constData(), O_RDWR, 0)
            || posix_spawn_file_actions_adddup2(&setup.actions, 0, 1)
            || posix_spawn_file_actions_adddup2(&setup.actions, 0, 2);
    } else {
        failed = failed
            || posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0)
            || posix_spawn_file_actions_adddup2(&setup.actions, stdoutWrite.get(), 1)
            || posix_spawn_file_actions_adddup2(&setup.actions, stderrWrite.get(), 2);
    }
    if (failed || posix_spawnattr_setflags(&setup.attributes, flags) != 0)
        return QStringLiteral("Could not prepare the CLI process.");

    const QByteArray executable = QFile::encodeName(request.executable);
    CStringVector arguments;
    arguments.append(executable);
    for (const QString &argument : request.arguments)
        arguments.append(argument.toUtf8());

    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, executable.constData(), &setup.actions, &setup.attributes,
                                    arguments.data(), request.environment->entries());
    // Only the child may hold the write ends, so that end of file arrives when it is done.
    stdoutWrite.reset();
    stderrWrite.reset();
    if (error != 0)
        return errorText(error);

    // The child stays unreaped until we collect it, so its number cannot be reused before the
    // pidfd is taken.
    UniqueFd pidfd(::pidfd_open(pid, 0));
    if (!pidfd.isValid()) {
        const int openError = errno;
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        return errorText(openError);
    }
    child.process = std::make_shared<ChildProcess>(pid, std::move(pidfd));
    return child;
}

bool ChildProcess::isRunning() const
{
    pollfd watch{m_pidfd.get(), POLLIN, 0};
    return ::poll(&watch, 1, 0) == 0;
}

void ChildProcess::signal(int signal) const
{
    ::pidfd_send_signal(m_pidfd.get(), signal, nullptr, 0);
}

std::variant<int, QString> ChildProcess::reap()
{
    std::lock_guard<std::mutex> locker(m_reapLock);
    if (m_reaped)
        return *m_reaped;
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0) {
        if (errno != EINTR) {
            m_reaped = errorText(errno);
            return *m_reaped;
        }
    }
    m_reaped = status;
    return status;
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace ClaudeCLI
