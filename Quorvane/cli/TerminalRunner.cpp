// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/TerminalRunner.h"

#include "cli/Discovery.h"
#include "cli/ProcessRunner.h"
#include "foundation/ServerNames.h"
#include "foundation/Redaction.h"

#include <QRegularExpression>
#include <QtConcurrent>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace ClaudeCLI {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kExitDrain{250};
constexpr int kReadChunk = 8192;

const QString kCancelledBeforeStart = QStringLiteral("Authorization cancelled before it started.");

/// The length of the complete UTF-8 part; an incomplete sequence at the end waits for more bytes.
qsizetype completeLength(const QByteArray &bytes)
{
    const qsizetype size = bytes.size();
    for (qsizetype i = size - 1; i >= 0 && i >= size - 3; --i) {
        const auto byte = uchar(bytes[i]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const int length = (byte & 0xE0) == 0xC0 ? 2 : (byte & 0xF0) == 0xE0 ? 3 : (byte & 0xF8) == 0xF0 ? 4 : 0;
        return length > size - i ? i : size;
    }
    return size;
}

/// The text of a piece without OSC 8 hyperlink brackets, CSI sequences and carriage returns.
QString cleaned(const QByteArray &bytes)
{
    static const QRegularExpression hyperlink(QStringLiteral("\x1b\\]8;;[^\x07\x1b]*(\x07|\x1b\\\\)"));
    static const QRegularExpression controlSequence(QStringLiteral("\x1b\\[[0-9;?]*[A-Za-z]"));
    QString text = QString::fromUtf8(bytes);
    text.remove(hyperlink);
    text.remove(controlSequence);
    text.remove(u'\r');
    return text;
}

struct Terminal
{
    UniqueFd master;
    UniqueFd slave;
    QByteArray slavePath;
};

std::optional<Terminal> openTerminal()
{
    Terminal terminal;
    terminal.master.reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    char name[128];
    if (!terminal.master.isValid() || ::grantpt(terminal.master.get()) != 0
        || ::unlockpt(terminal.master.get()) != 0 || ::ptsname_r(terminal.master.get(), name, sizeof name) != 0)
        return std::nullopt;
    terminal.slavePath = name;
    terminal.slave.reset(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    // Wide enough that the consent link is never wrapped.
    const winsize size{60, 400, 0, 0};
    if (!terminal.slave.isValid() || ::ioctl(terminal.slave.get(), TIOCSWINSZ, &size) != 0)
        return std::nullopt;
    return terminal;
}

/// Reads the terminal until the child has exited and the terminal is drained (or 0.25 seconds
/// have passed since the exit), or until the time limit.
TerminalRunResult watch(Terminal &terminal, const std::shared_ptr<ChildProcess> &process, const QString &key,
                        const OutputHandler &onOutput, const TerminalOptions &options)
{
    const Clock::time_point deadline = Clock::now() + options.timeout;
    QByteArray carried;
    QString buffer;
    bool readerAtEOF = false;
    bool exited = false;
    bool exitOK = false;
    Clock::time_point drainEnd;
    const auto deliver = [&](const QByteArray &bytes) {
        const QString piece = cleaned(bytes);
        if (piece.isEmpty())
            return;
        onOutput(piece);
        buffer += piece;
    };

    for (;;) {
        const Clock::time_point now = Clock::now();
        if (exited && (readerAtEOF || now >= drainEnd))
            break;
        if (now >= deadline) {
            if (!exited) {
                process->signal(SIGTERM);
                process->killAfter(options.killGrace);
                // The answer goes out now; the child is collected once the forced kill ended it.
                std::thread([process] { (void)process->reap(); }).detach();
            }
            return {false, QStringLiteral("Timed out waiting for authorization.")};
        }
        std::vector<pollfd> watches;
        if (!readerAtEOF)
            watches.push_back({terminal.master.get(), POLLIN, 0});
        if (!exited)
            watches.push_back({process->pidfd(), POLLIN, 0});
        const Clock::time_point wake = exited ? std::min(deadline, drainEnd) : deadline;
        const auto left = std::chrono::ceil<milliseconds>(wake - now);
        if (::poll(watches.data(), watches.size(), int(std::max<qint64>(0, left.count()))) <= 0)
            continue;
        for (const pollfd &ready : watches) {
            if (ready.revents == 0)
                continue;
            if (ready.fd == terminal.master.get()) {
                char chunk[kReadChunk];
                const ssize_t count = ::read(ready.fd, chunk, sizeof chunk);
                if (count < 0 && errno == EINTR)
                    continue;
                if (count <= 0) {
                    deliver(std::exchange(carried, {}));
                    readerAtEOF = true;
                    terminal.master.reset();
                    continue;
                }
                carried.append(chunk, count);
                const qsizetype complete = completeLength(carried);
                const QByteArray piece = carried.left(complete);
                carried.remove(0, complete);
                deliver(piece);
            } else {
                const std::variant<int, QString> status = process->reap();
                exited = true;
                exitOK = std::holds_alternative<int>(status) && std::get<int>(status) == 0;
                drainEnd = Clock::now() + kExitDrain;
            }
        }
    }
    if (exitOK)
        return {true, QStringLiteral("Authenticated ") + withoutNul(key)};
    return {false, buffer.trimmed()};
}

TerminalRunResult runInTerminal(const QString &key, const QStringList &arguments, const OutputHandler &onOutput,
                                const TerminalOptions &options)
{
    LoginOperationRegistry &registry = LoginOperationRegistry::shared();
    const std::optional<QUuid> id = registry.registerKey(key);
    if (!id)
        return {false, QStringLiteral("An authorization for ") + withoutNul(key) + QStringLiteral(" is already running.")};
    const auto outcome = [&]() -> TerminalRunResult {
        if (registry.isCancelled(key, *id))
            return {false, kCancelledBeforeStart};
        const std::optional<QString> directory = privateWorkingDirectory();
        if (!directory)
            return {false, QStringLiteral("Quorvane could not create a private working directory for the CLI.")};
        const std::optional<QString> executable = options.executable ? options.executable : findBinary().result();
        if (!executable)
            return {false, QStringLiteral("claude CLI not found")};
        if (registry.isCancelled(key, *id))
            return {false, kCancelledBeforeStart};

        std::optional<Terminal> terminal = openTerminal();
        if (!terminal)
            return {false, QStringLiteral("Could not allocate a terminal for the authorization flow.")};
        if (registry.isCancelled(key, *id))
            return {false, kCancelledBeforeStart};
        std::shared_ptr<ChildProcess> process;
        const OperationRegistry::LaunchOutcome launched = registry.launchIfCurrent(key, *id, [&]() -> OperationRegistry::Launch {
            std::variant<SpawnedChild, QString> spawned =
                ChildProcess::spawn({*executable, arguments, *directory, -1, terminal->slavePath, {}});
            if (auto *error = std::get_if<QString>(&spawned))
                return *error;
            process = std::get<SpawnedChild>(std::move(spawned)).process;
            return process;
        });
        // Only the child keeps the terminal's slave side, so that the master sees its end.
        terminal->slave.reset();
        if (launched.status == OperationRegistry::LaunchStatus::NotCurrent)
            return {false, kCancelledBeforeStart};
        if (launched.status == OperationRegistry::LaunchStatus::LaunchFailed)
            return {false, launched.error};
        return watch(*terminal, process, key, onOutput, options);
    }();
    registry.unregisterKey(key, *id);
    return outcome;
}

} // namespace

QFuture<TerminalRunResult> ptyRun(QString key, QStringList arguments, OutputHandler onOutput, TerminalOptions options)
{
    return QtConcurrent::run(&driverThreads(), [key = std::move(key), arguments = std::move(arguments),
                                                onOutput = std::move(onOutput), options = std::move(options)] {
        return runInTerminal(key, arguments, onOutput, options);
    });
}

QFuture<TerminalRunResult> loginArguments(QString name, OutputHandler onOutput)
{
    if (name.startsWith(otherLanePrefix) || !isSafeServerName(name)) {
        return QtFuture::makeReadyFuture(TerminalRunResult{
            false, u'"' + displayName(name) + QStringLiteral("\" is not a name this app will pass to the CLI.")});
    }
    return ptyRun(name, {QStringLiteral("mcp"), QStringLiteral("login"), name}, std::move(onOutput));
}

} // namespace ClaudeCLI
