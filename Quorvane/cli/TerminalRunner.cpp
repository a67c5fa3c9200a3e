// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/TerminalRunner.h"

#include "cli/ClaudeDriver.h"
#include "cli/ProcessRunner.h"
#include "foundation/ServerNames.h"
#include "foundation/Redaction.h"

#include <QPromise>
#include <QRegularExpression>
#include <QScopeGuard>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace ClaudeCLI {

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kExitDrain{250};

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

/// The output of one terminal run as it streams: whole characters only, escapes removed.
struct Stream
{
    OutputHandler onOutput;
    QByteArray carried;
    QString buffer;

    void deliver(const QByteArray &bytes)
    {
        const QString piece = cleaned(bytes);
        if (piece.isEmpty())
            return;
        onOutput(piece);
        buffer += piece;
    }
    void append(QByteArrayView bytes)
    {
        carried.append(bytes);
        const qsizetype complete = completeLength(carried);
        const QByteArray piece = carried.left(complete);
        carried.remove(0, complete);
        deliver(piece);
    }
};

/// Opens the terminal and launches the child under the key; the launch error's sentence, or what
/// the reaper is to watch.
std::variant<TerminalRunResult, ChildWatch> launch(ClaudeDriver &driver, const QString &key, const QUuid &id,
                                                   const QString &executable, const QStringList &arguments)
{
    LoginOperationRegistry &registry = driver.logins();
    const std::optional<QString> directory = driver.privateWorkingDirectory();
    if (!directory)
        return TerminalRunResult{false, QStringLiteral("Quorvane could not create a private working directory for the CLI.")};
    std::optional<Terminal> terminal = openTerminal();
    if (!terminal)
        return TerminalRunResult{false, QStringLiteral("Could not allocate a terminal for the authorization flow.")};
    if (registry.isCancelled(key, id))
        return TerminalRunResult{false, kCancelledBeforeStart};
    std::shared_ptr<ChildProcess> process;
    const OperationRegistry::LaunchOutcome launched = registry.launchIfCurrent(key, id, [&]() -> OperationRegistry::Launch {
        std::variant<SpawnedChild, QString> spawned = ChildProcess::spawn(
            {executable, arguments, *directory, -1, terminal->slavePath, driver.environment()});
        if (auto *error = std::get_if<QString>(&spawned))
            return *error;
        process = std::get<SpawnedChild>(std::move(spawned)).process;
        return process;
    });
    // Only the child keeps the terminal's slave side, so that the master sees its end.
    terminal->slave.reset();
    if (launched.status == OperationRegistry::LaunchStatus::NotCurrent)
        return TerminalRunResult{false, kCancelledBeforeStart};
    if (launched.status == OperationRegistry::LaunchStatus::LaunchFailed)
        return TerminalRunResult{false, launched.error};
    ::fcntl(terminal->master.get(), F_SETFL, O_NONBLOCK);
    ChildWatch watch;
    watch.process = std::move(process);
    watch.streams.push_back({std::move(terminal->master), {}});
    return watch;
}

} // namespace

QCoro::Task<TerminalRunResult> ptyRun(ClaudeDriver &driver, QString key, QStringList arguments, OutputHandler onOutput,
                                      TerminalOptions options)
{
    LoginOperationRegistry &registry = driver.logins();
    const std::weak_ptr<const void> life = driver.life();
    const std::optional<QUuid> id = registry.registerKey(key);
    if (!id)
        co_return TerminalRunResult{false, QStringLiteral("An authorization for ") + withoutNul(key)
                                               + QStringLiteral(" is already running.")};
    // The key is given up before the caller hears of the result, whichever way it ends.
    const auto release = qScopeGuard([&registry, &life, key, id] {
        // The registry goes with the driver, which may have gone while the run was awaited.
        if (!life.expired())
            registry.unregisterKey(key, *id);
    });
    if (registry.isCancelled(key, *id))
        co_return TerminalRunResult{false, kCancelledBeforeStart};
    std::optional<QString> executable = options.executable;
    if (!executable)
        executable = co_await driver.discovery().findBinary();
    if (!executable || life.expired())
        co_return TerminalRunResult{false, QStringLiteral("claude CLI not found")};
    if (registry.isCancelled(key, *id))
        co_return TerminalRunResult{false, kCancelledBeforeStart};

    auto stream = std::make_shared<Stream>(Stream{std::move(onOutput), {}, {}});
    auto promise = std::make_shared<QPromise<TerminalRunResult>>();
    QFuture<TerminalRunResult> ended = promise->future();
    promise->start();
    // Launched on the reaper's thread, which watches the child from then on.
    driver.reaper().post([&driver, key, id = *id, executable = *executable, arguments, stream, promise, options] {
        std::variant<TerminalRunResult, ChildWatch> launched = launch(driver, key, id, executable, arguments);
        if (const auto *refusal = std::get_if<TerminalRunResult>(&launched)) {
            promise->addResult(*refusal);
            promise->finish();
            return;
        }
        ChildWatch watch = std::get<ChildWatch>(std::move(launched));
        watch.streams.front().sink = [stream](QByteArrayView bytes) { stream->append(bytes); };
        watch.timeout = options.timeout;
        watch.killGrace = options.killGrace;
        watch.drain = kExitDrain;
        watch.onEnded = [stream, promise, key](const ChildOutcome &outcome) {
            TerminalRunResult result;
            if (outcome.ending == ChildOutcome::Ending::TimedOut) {
                result = {false, QStringLiteral("Timed out waiting for authorization.")};
            } else {
                stream->deliver(std::exchange(stream->carried, {}));
                if (outcome.ending == ChildOutcome::Ending::Exited && outcome.waitStatus == 0)
                    result = {true, QStringLiteral("Authenticated ") + withoutNul(key)};
                else
                    result = {false, stream->buffer.trimmed()};
            }
            promise->addResult(result);
            promise->finish();
        };
        driver.reaper().watch(std::move(watch));
    });
    co_return co_await ended;
}

QCoro::Task<TerminalRunResult> loginArguments(ClaudeDriver &driver, QString name, OutputHandler onOutput)
{
    if (name.startsWith(otherLanePrefix) || !isSafeServerName(name)) {
        co_return TerminalRunResult{
            false, u'"' + displayName(name) + QStringLiteral("\" is not a name this app will pass to the CLI.")};
    }
    const QStringList arguments = {QStringLiteral("mcp"), QStringLiteral("login"), name};
    co_return co_await ptyRun(driver, name, arguments, std::move(onOutput));
}

} // namespace ClaudeCLI
