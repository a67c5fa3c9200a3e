// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/ProcessRunner.h"

#include <QPromise>

#include <sys/wait.h>

namespace ClaudeCLI {

namespace {

using std::chrono::milliseconds;

// A grandchild may hold the pipes open after the child's exit: what it writes within this
// window still counts.
constexpr milliseconds kDrain{1000};

const QString kKeyBusy = QStringLiteral("A CLI operation with this cancellation key is already running.");
const QString kCancelled = QStringLiteral("The CLI operation was cancelled.");
const QString kNoWorkingDirectory =
    QStringLiteral("Quorvane could not create a private working directory for the CLI.");
const QString kFolderChanged =
    QStringLiteral("The project folder changed before the CLI could start. Nothing was removed.");

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

/// One run from its registration to its answer, on the reaper's thread throughout.
struct Run
{
    ClaudeDriver &driver;
    QPromise<RunResult> promise;
    RunOptions options;
    std::optional<QUuid> id;
    QByteArray out;
    QByteArray err;

    /// The key is given up before the caller hears of the result, so that it can run again at once.
    void deliver(const RunResult &result)
    {
        if (id)
            driver.runs().unregisterKey(*options.cancellationKey, *id);
        promise.addResult(result);
        promise.finish();
    }
    void refuse(const QString &reason) { deliver(finishedResult(kNotStarted, {}, reason.toUtf8(), options)); }
};

std::optional<FolderIdentity> currentIdentity(const RunOptions &options, const QString &directory)
{
    if (options.directoryDescriptor)
        return directoryIdentity(*options.directoryDescriptor);
    return folderIdentity(directory);
}

void launch(const std::shared_ptr<Run> &run, const QString &executable, const QStringList &arguments,
            milliseconds timeout)
{
    ClaudeDriver &driver = run->driver;
    const RunOptions &options = run->options;
    RunOperationRegistry &registry = driver.runs();
    if (options.cancellationKey) {
        run->id = registry.registerKey(*options.cancellationKey);
        if (!run->id) {
            run->promise.addResult(RunResult{kNotStarted, {}, kKeyBusy});
            run->promise.finish();
            return;
        }
        if (registry.isCancelled(*options.cancellationKey, *run->id))
            return run->deliver(RunResult{kNotStarted, {}, kCancelled});
    }
    std::optional<QString> directory = options.directory;
    if (!options.directoryDescriptor && !directory) {
        directory = driver.privateWorkingDirectory();
        if (!directory)
            return run->deliver(RunResult{kNotStarted, {}, kNoWorkingDirectory});
    }
    if (options.expectedDirectoryIdentity
        && currentIdentity(options, directory.value_or(QString())) != options.expectedDirectoryIdentity)
        return run->refuse(kFolderChanged);
    if (run->id && registry.isCancelled(*options.cancellationKey, *run->id))
        return run->refuse(kCancelled);

    const SpawnRequest request{executable, arguments, directory.value_or(QString()),
                               options.directoryDescriptor.value_or(-1), {}, driver.environment(options.searchPath)};
    std::optional<SpawnedChild> child;
    auto spawn = [&]() -> OperationRegistry::Launch {
        std::variant<SpawnedChild, QString> spawned = ChildProcess::spawn(request);
        if (auto *error = std::get_if<QString>(&spawned))
            return *error;
        child = std::get<SpawnedChild>(std::move(spawned));
        return child->process;
    };
    if (run->id) {
        const OperationRegistry::LaunchOutcome outcome = registry.launchIfCurrent(*options.cancellationKey, *run->id, spawn);
        if (outcome.status == OperationRegistry::LaunchStatus::NotCurrent)
            return run->refuse(kCancelled);
        if (outcome.status == OperationRegistry::LaunchStatus::LaunchFailed)
            return run->refuse(outcome.error);
    } else {
        const OperationRegistry::Launch launched = spawn();
        if (auto *error = std::get_if<QString>(&launched))
            return run->refuse(*error);
    }

    ChildWatch watch;
    watch.process = std::move(child->process);
    watch.streams.push_back({std::move(child->stdoutRead), [run](QByteArrayView bytes) { run->out.append(bytes); }});
    watch.streams.push_back({std::move(child->stderrRead), [run](QByteArrayView bytes) { run->err.append(bytes); }});
    watch.timeout = timeout;
    watch.killGrace = options.killGrace;
    watch.drain = kDrain;
    watch.onEnded = [run](const ChildOutcome &outcome) {
        switch (outcome.ending) {
        case ChildOutcome::Ending::Exited:
            return run->deliver(finishedResult(exitCodeOf(outcome.waitStatus), run->out, run->err, run->options));
        case ChildOutcome::Ending::WaitFailed:
            return run->deliver(finishedResult(kNotStarted, run->out, outcome.waitError.toUtf8(), run->options));
        case ChildOutcome::Ending::TimedOut:
            return run->deliver(finishedResult(kTimedOut, run->out, run->err, run->options));
        }
    };
    driver.reaper().watch(std::move(watch));
}

} // namespace

qint32 exitCodeOf(int waitStatus)
{
    if (WIFSIGNALED(waitStatus))
        return kSignalledBase + WTERMSIG(waitStatus);
    return WEXITSTATUS(waitStatus);
}

QFuture<RunResult> run(ClaudeDriver &driver, QString executable, QStringList arguments, milliseconds timeout,
                       RunOptions options)
{
    auto state = std::make_shared<Run>(Run{driver, {}, std::move(options), {}, {}, {}});
    QFuture<RunResult> future = state->promise.future();
    state->promise.start();
    driver.reaper().post([state, executable = std::move(executable), arguments = std::move(arguments), timeout] {
        launch(state, executable, arguments, timeout);
    });
    return future;
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
