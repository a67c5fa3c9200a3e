// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/ProcessRunner.h"

#include "foundation/UuidText.h"

#include <QDir>
#include <QFile>
#include <QPromise>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ClaudeCLI {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kDrainTick{250};
constexpr int kDrainTicks = 4;
constexpr qsizetype kReadChunk = 65536;

const QString kKeyBusy = QStringLiteral("A CLI operation with this cancellation key is already running.");
const QString kCancelled = QStringLiteral("The CLI operation was cancelled.");
const QString kNoWorkingDirectory =
    QStringLiteral("Quorvane could not create a private working directory for the CLI.");
const QString kFolderChanged =
    QStringLiteral("The project folder changed before the CLI could start. Nothing was removed.");

/// Reads what one pipe has now; false at end of file (or a read error, which ends it too).
bool readAvailable(int fd, QByteArray &into)
{
    char chunk[kReadChunk];
    for (;;) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count > 0) {
            into.append(chunk, count);
            return true;
        }
        if (count < 0 && errno == EINTR)
            continue;
        return false;
    }
}

int pollUntil(std::vector<pollfd> &watches, Clock::time_point wake)
{
    const auto left = std::chrono::ceil<milliseconds>(wake - Clock::now());
    return ::poll(watches.data(), watches.size(), int(std::max<qint64>(0, left.count())));
}

/// The runner's exit code for a wait status: the exit status, or the number of the ending signal.
qint32 exitCodeOf(int waitStatus)
{
    if (WIFSIGNALED(waitStatus))
        return WTERMSIG(waitStatus);
    return WEXITSTATUS(waitStatus);
}

RunResult finishedResult(qint32 exitCode, const QByteArray &out, const QByteArray &err,
                         const RunOptions &options)
{
    RunResult result{exitCode, QString::fromUtf8(out), QString::fromUtf8(err)};
    if (options.keepingLines) {
        result.stdout = keepLines(result.stdout, options.keepingLines);
        result.stderr = keepLines(result.stderr, options.keepingLines);
    }
    return result;
}

void execute(QPromise<RunResult> &promise, const QString &executable, const QStringList &arguments,
             milliseconds timeout, const RunOptions &options)
{
    RunOperationRegistry &registry = RunOperationRegistry::shared();
    const QString key = options.cancellationKey.value_or(QString());
    std::optional<QUuid> id;
    // The key is given up before the caller hears of the result, so that it can run again at once.
    auto deliver = [&](const RunResult &result) {
        if (id)
            registry.unregisterKey(key, *id);
        promise.addResult(result);
        promise.finish();
    };
    auto refuse = [&](const QString &reason) { deliver(finishedResult(-1, {}, reason.toUtf8(), options)); };

    if (options.cancellationKey) {
        id = registry.registerKey(key);
        if (!id) {
            promise.addResult(RunResult{-1, {}, kKeyBusy});
            promise.finish();
            return;
        }
        if (registry.isCancelled(key, *id))
            return deliver(RunResult{-1, {}, kCancelled});
    }
    const std::optional<QString> directory = options.directory ? options.directory : privateWorkingDirectory();
    if (!directory)
        return deliver(RunResult{-1, {}, kNoWorkingDirectory});

    if (options.expectedDirectoryIdentity && folderIdentity(*directory) != options.expectedDirectoryIdentity)
        return refuse(kFolderChanged);
    if (id && registry.isCancelled(key, *id))
        return refuse(kCancelled);

    SpawnRequest request{executable, arguments, *directory, -1, {}, options.searchPath.value_or(QString())};
    std::optional<SpawnedChild> child;
    auto launch = [&]() -> OperationRegistry::Launch {
        std::variant<SpawnedChild, QString> spawned = ChildProcess::spawn(request);
        if (auto *error = std::get_if<QString>(&spawned))
            return *error;
        child = std::get<SpawnedChild>(std::move(spawned));
        return child->process;
    };
    if (id) {
        const OperationRegistry::LaunchOutcome outcome = registry.launchIfCurrent(key, *id, launch);
        if (outcome.status == OperationRegistry::LaunchStatus::NotCurrent)
            return refuse(kCancelled);
        if (outcome.status == OperationRegistry::LaunchStatus::LaunchFailed)
            return refuse(outcome.error);
    } else {
        const OperationRegistry::Launch launched = launch();
        if (auto *error = std::get_if<QString>(&launched))
            return refuse(*error);
    }

    const ChildOutcome outcome = collectChild(*child, timeout, options.killGrace);
    // Every descriptor of the run is closed before the caller hears of the result.
    std::shared_ptr<ChildProcess> process = std::move(child->process);
    child.reset();
    if (outcome.ending != ChildOutcome::Ending::TimedOut)
        process.reset();
    switch (outcome.ending) {
    case ChildOutcome::Ending::Exited:
        return deliver(finishedResult(exitCodeOf(outcome.waitStatus), outcome.stdoutData,
                                      outcome.stderrData, options));
    case ChildOutcome::Ending::WaitFailed:
        return deliver(finishedResult(-1, outcome.stdoutData, outcome.waitError.toUtf8(), options));
    case ChildOutcome::Ending::TimedOut:
        deliver(finishedResult(-2, outcome.stdoutData, outcome.stderrData, options));
        // The caller has its answer; this thread stays to collect the child once the forced kill
        // has ended it, so that no zombie is left behind.
        (void)process->reap();
        return;
    }
}

} // namespace

QThreadPool &driverThreads()
{
    static QThreadPool *pool = [] {
        auto *threads = new QThreadPool;
        // Each run blocks a thread while its child lives; the application checks many servers
        // at once, so the pool must not make runs queue behind each other.
        threads->setMaxThreadCount(256);
        return threads;
    }();
    return *pool;
}

QFuture<RunResult> run(QString executable, QStringList arguments, milliseconds timeout, RunOptions options)
{
    auto promise = std::make_shared<QPromise<RunResult>>();
    QFuture<RunResult> future = promise->future();
    promise->start();
    driverThreads().start([promise, executable = std::move(executable),
                           arguments = std::move(arguments), timeout, options = std::move(options)] {
        execute(*promise, executable, arguments, timeout, options);
    });
    return future;
}

ChildOutcome collectChild(SpawnedChild &child, milliseconds timeout, milliseconds killGrace)
{
    ChildOutcome outcome;
    const Clock::time_point deadline = Clock::now() + timeout;
    bool outAtEOF = false;
    bool errAtEOF = false;
    bool exited = false;
    int drainTicks = 0;
    Clock::time_point nextTick;

    for (;;) {
        if (exited && outAtEOF && errAtEOF)
            return outcome;
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            // A child that exited within the limit keeps its status: only the drain is cut short.
            if (exited)
                return outcome;
            child.process->signal(SIGTERM);
            child.process->killAfter(killGrace);
            outcome.ending = ChildOutcome::Ending::TimedOut;
            return outcome;
        }
        if (exited && now >= nextTick) {
            if (++drainTicks >= kDrainTicks)
                return outcome;
            nextTick += kDrainTick;
            continue;
        }

        std::vector<pollfd> watches;
        if (!outAtEOF)
            watches.push_back({child.stdoutRead.get(), POLLIN, 0});
        if (!errAtEOF)
            watches.push_back({child.stderrRead.get(), POLLIN, 0});
        if (!exited)
            watches.push_back({child.process->pidfd(), POLLIN, 0});
        if (pollUntil(watches, exited ? std::min(deadline, nextTick) : deadline) <= 0)
            continue;
        for (const pollfd &watch : watches) {
            if (watch.revents == 0)
                continue;
            if (watch.fd == child.stdoutRead.get())
                outAtEOF = !readAvailable(watch.fd, outcome.stdoutData);
            else if (watch.fd == child.stderrRead.get())
                errAtEOF = !readAvailable(watch.fd, outcome.stderrData);
            else {
                std::variant<int, QString> reaped = child.process->reap();
                if (auto *error = std::get_if<QString>(&reaped)) {
                    outcome.ending = ChildOutcome::Ending::WaitFailed;
                    outcome.waitError = *error;
                    return outcome;
                }
                outcome.waitStatus = std::get<int>(reaped);
                exited = true;
                nextTick = Clock::now() + kDrainTick;
            }
        }
    }
}

std::optional<QString> makePrivateWorkingDirectory(const QString &parent, const QUuid &id)
{
    const QString path = parent + QStringLiteral("/quorvane-cwd-")
        + UuidText::format(id);
    const QByteArray encoded = QFile::encodeName(path);
    struct stat status{};
    if (::lstat(encoded.constData(), &status) == 0 || errno != ENOENT)
        return std::nullopt;
    if (::mkdir(encoded.constData(), 0700) != 0)
        return std::nullopt;
    if (::lstat(encoded.constData(), &status) != 0)
        return std::nullopt;
    if (!S_ISDIR(status.st_mode) || (status.st_mode & 07777) != 0700) {
        ::rmdir(encoded.constData());
        return std::nullopt;
    }
    return path;
}

std::optional<QString> privateWorkingDirectory()
{
    static const std::optional<QString> directory =
        makePrivateWorkingDirectory(QDir::tempPath(), QUuid::createUuid());
    return directory;
}

QString keepLines(const QString &text, const std::function<bool(const QString &)> &predicate)
{
    QStringList kept;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool lineEnd = i == text.size() || (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'));
        if (!lineEnd)
            continue;
        const QString line = text.mid(start, i - start);
        if (predicate(line))
            kept.append(line);
        start = i + 1;
    }
    return kept.join(u'\n');
}

} // namespace ClaudeCLI
