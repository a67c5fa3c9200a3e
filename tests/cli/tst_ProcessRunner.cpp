// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/PrivateDirectory.h"
#include "cli/ProcessRunner.h"
#include "support/TempHome.h"
#include "support/TestScript.h"

#include <QCoroTask>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;
using ClaudeCLI::RunOptions;
using ClaudeCLI::RunResult;

namespace {

/// Open descriptors, without the event descriptor each of Qt's threads keeps while it lives.
int openDescriptorCount()
{
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    int count = 0;
    for (const QString &name : descriptors.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)) {
        char target[64] = {};
        const QByteArray link = QFile::encodeName(descriptors.filePath(name));
        if (::readlink(link.constData(), target, sizeof target - 1) < 0 || qstrcmp(target, "anon_inode:[eventfd]") != 0)
            ++count;
    }
    return count;
}

bool hasZombieChild()
{
    siginfo_t info{};
    return ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
}

bool processExists(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

} // namespace

class tst_ProcessRunner : public QObject
{
    Q_OBJECT

private:
    TempHome m_home;
    // Built inside the home: its private working directory goes into the home's temporary folder.
    ClaudeCLI::ClaudeDriver m_driver;
    int m_scripts = 0;

    QString script(const QByteArray &body)
    {
        return writeTestScript(m_home.filePath(QStringLiteral("bin/script-%1").arg(++m_scripts)), body);
    }

private slots:
    void runs_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");

        QTest::newRow("silent success") << QByteArray("exit 0") << 5000 << 0 << "" << "";
        QTest::newRow("failure with output") << QByteArray("echo out; echo err >&2; exit 3") << 5000 << 3
                                             << "out\n" << "err\n";
        QTest::newRow("killed by a signal") << QByteArray("echo before; kill -9 $$") << 5000 << 128 + 9
                                            << "before\n" << "";
        QTest::newRow("standard input is empty") << QByteArray("cat; echo done") << 5000 << 0 << "done\n" << "";
        QTest::newRow("invalid UTF-8 replaced") << QByteArray("printf 'a\\377b\\303\\251'") << 5000 << 0
                                                << QStringLiteral("a\uFFFDb\u00E9") << "";
        QTest::newRow("time limit") << QByteArray("echo started; exec sleep 30") << 1000 << -2 << "started\n" << "";
        // The child exits at once; a grandchild holds the pipes past the limit.
        QTest::newRow("time limit during the drain after the exit")
            << QByteArray("sleep 3 & echo out; exit 4") << 500 << 4 << "out\n" << "";
        QTest::newRow("arguments passed unchanged") << QByteArray("printf '[%s]' \"$@\"") << 5000 << 0
                                                    << "[a b][][*]" << "";
    }

    void runs()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, timeoutMs);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);

        QElapsedTimer clock;
        clock.start();
        RunOptions options;
        options.killGrace = 200ms;
        const RunResult result = ClaudeCLI::run(m_driver, script(body), {QStringLiteral("a b"), QString(), QStringLiteral("*")},
                                                std::chrono::milliseconds(timeoutMs), options)
                                     .result();
        QCOMPARE(result, (RunResult{exitCode, out, err}));
        if (exitCode == -2)
            QVERIFY2(clock.elapsed() < timeoutMs + 4000, qPrintable(QString::number(clock.elapsed())));
    }

    void aChildIsCollectedOnce()
    {
        auto spawned = ClaudeCLI::ChildProcess::spawn({QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 6")},
                                                       m_home.path(), -1, {}, m_driver.environment()});
        QVERIFY(std::holds_alternative<ClaudeCLI::SpawnedChild>(spawned));
        const std::shared_ptr<ClaudeCLI::ChildProcess> child = std::get<ClaudeCLI::SpawnedChild>(spawned).process;
        const std::variant<int, QString> first = child->reap();
        QVERIFY(std::holds_alternative<int>(first));
        QCOMPARE(WEXITSTATUS(std::get<int>(first)), 6);
        // A second wait could collect another process that took the number since.
        QCOMPARE(child->reap(), first);
    }

    void launchFailureIsTheSystemsText()
    {
        const RunResult result = ClaudeCLI::run(m_driver, m_home.filePath(QStringLiteral("missing")), {}, 5s).result();
        QCOMPARE(result, (RunResult{-1, {}, QStringLiteral("No such file or directory")}));
    }

    void largeOutputOnBothPipesArrivesWhole()
    {
        const RunResult result =
            ClaudeCLI::run(m_driver, script("head -c 1048576 /dev/zero | tr '\\0' o & head -c 1048576 /dev/zero | tr '\\0' e >&2; wait"),
                           {}, 10s)
                .result();
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.stdout, QString(1048576, u'o'));
        QCOMPARE(result.stderr, QString(1048576, u'e'));
    }

    void grandchildHoldingThePipeIsNotWaitedFor()
    {
        QElapsedTimer clock;
        clock.start();
        const RunResult result = ClaudeCLI::run(m_driver, script("sleep 4 & echo parent; exit 4"), {}, 10s).result();
        const qint64 elapsed = clock.elapsed();
        QCOMPARE(result, (RunResult{4, QStringLiteral("parent\n"), {}}));
        QVERIFY2(elapsed >= 900 && elapsed < 5000, qPrintable(QString::number(elapsed)));
    }

    void childIgnoringSigtermIsKilledAfterTheGrace()
    {
        // The one case that waits out the real grace of three seconds.
        const QString pidFile = m_home.filePath(QStringLiteral("ignoring.pid"));
        QElapsedTimer clock;
        clock.start();
        const RunResult result =
            ClaudeCLI::run(m_driver, script("trap '' TERM; echo $$ > \"$1\"; exec sleep 30"), {pidFile}, 300ms)
                .result();
        QCOMPARE(result.exitCode, -2);
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));

        QFile file(pidFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const pid_t pid = file.readAll().trimmed().toInt();
        QVERIFY(pid > 0);
        QVERIFY(processExists(pid));
        QTRY_VERIFY_WITH_TIMEOUT(!processExists(pid), 10000);
        QVERIFY2(clock.elapsed() >= 3000 && clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
    }

    void childrenRunInThePrivateWorkingDirectory()
    {
        const RunResult first = ClaudeCLI::run(m_driver, QStringLiteral("/bin/pwd"), {QStringLiteral("-P")}, 5s).result();
        const RunResult second = ClaudeCLI::run(m_driver, QStringLiteral("/bin/pwd"), {QStringLiteral("-P")}, 5s).result();
        QCOMPARE(first.exitCode, 0);
        QCOMPARE(second, first);

        const QString folder = first.stdout.trimmed();
        QCOMPARE(m_driver.privateWorkingDirectory(), std::optional<QString>(folder));
        const QRegularExpression name(QStringLiteral("^%1/quorvane-cwd-%2-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$")
                                          .arg(QRegularExpression::escape(QDir(m_home.tempDir()).canonicalPath()))
                                          .arg(::getpid()));
        QVERIFY2(name.match(folder).hasMatch(), qPrintable(folder));
        struct stat status{};
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &status), 0);
        QVERIFY(S_ISDIR(status.st_mode));
        QCOMPARE(status.st_mode & 07777, 0700u);
    }

    void privateWorkingDirectoryNeverReplacesWhatIsThere()
    {
        const QUuid id = QUuid::createUuid();
        const QString taken = m_home.filePath(QStringLiteral("quorvane-cwd-%1-").arg(::getpid())
                                              + id.toString(QUuid::WithoutBraces).toUpper());
        QFile file(taken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("mine");
        file.close();

        QCOMPARE(ClaudeCLI::makePrivateWorkingDirectory(m_home.path(), ::getpid(), id), std::nullopt);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("mine"));
        QVERIFY(ClaudeCLI::makePrivateWorkingDirectory(m_home.path(), ::getpid(), QUuid::createUuid()).has_value());
    }

    void privateWorkingDirectoryGoesWithTheDriver()
    {
        const QString temporary = m_home.filePath(QStringLiteral("own-temporary"));
        QVERIFY(QDir().mkpath(temporary));
        ClaudeCLI::DriverConfiguration configuration;
        configuration.temporaryFolder = temporary;
        QString folder;
        {
            ClaudeCLI::ClaudeDriver driver(configuration);
            const RunResult result = ClaudeCLI::run(driver, QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("pwd -P; touch left-behind")}, 5s).result();
            QCOMPARE(result.exitCode, 0);
            folder = result.stdout.trimmed();
            QVERIFY(QFileInfo(folder).isDir());
        }
        QVERIFY2(!QFileInfo::exists(folder), qPrintable(folder));
        QCOMPARE(QDir(temporary).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    void childrenStillRunningStopWithTheDriver()
    {
        const QString pidFile = m_home.filePath(QStringLiteral("outlived.pid"));
        QFuture<RunResult> pending;
        {
            ClaudeCLI::ClaudeDriver driver;
            RunOptions options;
            options.killGrace = 200ms;
            pending = ClaudeCLI::run(driver, script("trap '' TERM; echo $$ > \"$1\"; exec sleep 30"), {pidFile}, 60s, options);
            QTRY_VERIFY(QFileInfo(pidFile).size() > 0);
        }
        // The driver went only once its child was stopped and collected, and the caller had its answer.
        QVERIFY(pending.isFinished());
        QCOMPARE(pending.result().exitCode, ClaudeCLI::kTimedOut);
        QFile file(pidFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!processExists(file.readAll().trimmed().toInt()));
        QVERIFY(!hasZombieChild());
    }

    void foldersOfProcessesGoneAreRemovedAtStart()
    {
        const QString temporary = m_home.filePath(QStringLiteral("shared-temporary"));
        QVERIFY(QDir().mkpath(temporary));
        // A number that belonged to a process of ours which has ended and been collected.
        auto spawned = ClaudeCLI::ChildProcess::spawn({QStringLiteral("/bin/true"), {}, m_home.path(), -1, {}, m_driver.environment()});
        QVERIFY(std::holds_alternative<ClaudeCLI::SpawnedChild>(spawned));
        const std::shared_ptr<ClaudeCLI::ChildProcess> ended = std::get<ClaudeCLI::SpawnedChild>(spawned).process;
        QVERIFY(std::holds_alternative<int>(ended->reap()));
        const QString suffix = QStringLiteral("-0F0E0D0C-0000-4000-8000-000000000001");
        const QString abandoned = temporary + QStringLiteral("/quorvane-cwd-%1").arg(ended->pid()) + suffix;
        const QString living = temporary + QStringLiteral("/quorvane-cwd-%1").arg(::getppid()) + suffix;
        const QString unnumbered = temporary + QStringLiteral("/quorvane-cwd-") + suffix.mid(1);
        for (const QString &folder : {abandoned, living, unnumbered})
            QVERIFY(QDir().mkpath(folder));
        QFile leftover(abandoned + QStringLiteral("/quorvane-mcp-left.json"));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        // A link named like an abandoned folder is not followed into what it points at.
        const QString target = m_home.filePath(QStringLiteral("linked-target"));
        QVERIFY(QDir().mkpath(target));
        const QString link = temporary + QStringLiteral("/quorvane-cwd-%1-link").arg(ended->pid());
        QVERIFY(QFile::link(target, link));

        ClaudeCLI::DriverConfiguration configuration;
        configuration.temporaryFolder = temporary;
        ClaudeCLI::ClaudeDriver driver(configuration);
        const std::optional<QString> own = driver.privateWorkingDirectory();
        QVERIFY(own);
        QVERIFY(!QFileInfo::exists(abandoned));
        QVERIFY(QFileInfo(living).isDir());
        QVERIFY(QFileInfo(unnumbered).isDir());
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(QFileInfo(target).isDir());
        QVERIFY(QFileInfo(*own).isDir());
    }

    void childrenGetTheSearchPath()
    {
        const std::shared_ptr<const ClaudeCLI::ChildEnvironment> first = m_driver.environment();
        QCOMPARE(m_driver.environment(), first);
        m_driver.setSearchPath(m_home.filePath(QStringLiteral("login/bin")));
        const std::shared_ptr<const ClaudeCLI::ChildEnvironment> changed = m_driver.environment();
        QVERIFY(changed != first);
        // The same path again builds nothing new.
        m_driver.setSearchPath(m_home.filePath(QStringLiteral("login/bin")));
        QCOMPARE(m_driver.environment(), changed);

        const QStringList echoPath = {QStringLiteral("-c"), QStringLiteral("echo \"$PATH\"")};
        RunResult result = ClaudeCLI::run(m_driver, QStringLiteral("/bin/sh"), echoPath, 5s).result();
        QCOMPARE(result, (RunResult{0, m_home.filePath(QStringLiteral("login/bin")) + u'\n', {}}));
        RunOptions probe;
        probe.searchPath = QStringLiteral("/probe/bin");
        result = ClaudeCLI::run(m_driver, QStringLiteral("/bin/sh"), echoPath, 5s, probe).result();
        QCOMPARE(result, (RunResult{0, QStringLiteral("/probe/bin\n"), {}}));
        m_driver.setSearchPath(QString());
    }

    void expectedIdentityIsCheckedBeforeTheLaunch()
    {
        const QString folder = m_home.filePath(QStringLiteral("project"));
        QVERIFY(QDir().mkpath(folder));
        const QString canonical = QDir(folder).canonicalPath();
        const std::optional<FolderIdentity> identity = folderIdentity(canonical);
        QVERIFY(identity);
        const QString marker = m_home.filePath(QStringLiteral("identity-ran"));
        const QString touch = script("touch \"$1\"; pwd -P");

        RunOptions options;
        options.directory = canonical;
        options.expectedDirectoryIdentity = identity;
        RunResult result = ClaudeCLI::run(m_driver, touch, {marker}, 5s, options).result();
        QCOMPARE(result, (RunResult{0, canonical + u'\n', {}}));

        // The old folder is kept elsewhere, so the new one cannot reuse its inode.
        QVERIFY(QFile::remove(marker));
        QVERIFY(QDir().rename(folder, folder + QStringLiteral("-old")));
        QVERIFY(QDir().mkpath(folder));
        result = ClaudeCLI::run(m_driver, touch, {marker}, 5s, options).result();
        QCOMPARE(result, (RunResult{-1, {}, QStringLiteral("The project folder changed before the CLI could start. Nothing was removed.")}));
        QVERIFY(!QFile::exists(marker));
    }

    void keptLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("expected");

        QTest::newRow("empty lines dropped") << "one\ntwo\n" << "nonEmpty" << "one\ntwo";
        QTest::newRow("all accepted") << "one\n\ntwo\n" << "all" << "one\n\ntwo\n";
        QTest::newRow("none accepted") << "one\ntwo" << "none" << "";
        QTest::newRow("CR LF does not end a line") << "one\r\ntwo\nthree" << "noThree" << "one\r\ntwo";
    }

    void keptLines()
    {
        QFETCH(QString, text);
        QFETCH(QString, rule);
        QFETCH(QString, expected);
        const std::function<bool(const QString &)> predicate = [rule](const QString &line) {
            if (rule == u"nonEmpty")
                return !line.isEmpty();
            if (rule == u"noThree")
                return line != u"three";
            return rule == u"all";
        };
        QCOMPARE(ClaudeCLI::keepLines(text, predicate), expected);
    }

    void filterAppliesToBothTextsAndToTheLaunchError()
    {
        RunOptions options;
        options.keepingLines = [](const QString &line) { return line.startsWith(u"keep"); };
        RunResult result =
            ClaudeCLI::run(m_driver, script("echo keep 1; echo drop; echo keep 2 >&2; echo drop >&2"), {}, 5s, options).result();
        QCOMPARE(result, (RunResult{0, QStringLiteral("keep 1"), QStringLiteral("keep 2")}));
        result = ClaudeCLI::run(m_driver, m_home.filePath(QStringLiteral("missing")), {}, 5s, options).result();
        QCOMPARE(result, (RunResult{-1, {}, {}}));
    }

    void secondRunUnderABusyKeyIsRefused()
    {
        RunOptions keyed;
        keyed.cancellationKey = QStringLiteral("verify:busy");
        const QString key = *keyed.cancellationKey;
        const QString started = m_home.filePath(QStringLiteral("busy-started"));
        QFuture<RunResult> first = ClaudeCLI::run(m_driver, script("touch \"$1\"; exec sleep 30"), {started}, 20s, keyed);
        QTRY_VERIFY(QFile::exists(started));

        const RunResult second = ClaudeCLI::run(m_driver, script("exit 0"), {}, 5s, keyed).result();
        QCOMPARE(second, (RunResult{-1, {}, QStringLiteral("A CLI operation with this cancellation key is already running.")}));
        QVERIFY(!first.isFinished());

        m_driver.runs().cancel(key);
        QCOMPARE(first.result(), (RunResult{128 + SIGTERM, {}, {}}));
        // The key is free again once the run has ended.
        QCOMPARE(ClaudeCLI::run(m_driver, script("exit 5"), {}, 5s, keyed).result().exitCode, 5);
    }

    void queuedCancellationStopsTheRunBeforeItsChild()
    {
        RunOptions keyed;
        keyed.cancellationKey = QStringLiteral("verify:queued");
        const QString key = *keyed.cancellationKey;
        const QString marker = m_home.filePath(QStringLiteral("queued-ran"));
        const QString touch = script("touch \"$1\"");
        m_driver.runs().cancel(key);
        m_driver.runs().cancel(key);

        const RunResult result = ClaudeCLI::run(m_driver, touch, {marker}, 5s, keyed).result();
        QCOMPARE(result, (RunResult{-1, {}, QStringLiteral("The CLI operation was cancelled.")}));
        QVERIFY(!QFile::exists(marker));

        // Two cancellations queue the key once: the next run goes ahead.
        QCOMPARE(ClaudeCLI::run(m_driver, touch, {marker}, 5s, keyed).result().exitCode, 0);
        QVERIFY(QFile::exists(marker));
    }

    void cancelRunSendsSigtermOnly()
    {
        RunOptions keyed;
        keyed.cancellationKey = QStringLiteral("verify:term-only");
        const QString key = *keyed.cancellationKey;
        const QString started = m_home.filePath(QStringLiteral("term-started"));
        QFuture<RunResult> running = ClaudeCLI::run(m_driver, 
            script("trap 'echo term' TERM; touch \"$1\"; i=0; while [ $i -lt 10 ]; do sleep 0.1; i=$((i+1)); done; echo alive"),
            {started}, 20s, keyed);
        QTRY_VERIFY(QFile::exists(started));
        m_driver.runs().cancel(key);
        QCOMPARE(running.result(), (RunResult{0, QStringLiteral("term\nalive\n"), {}}));
    }

    void callersAwaitTheResult()
    {
        const auto task = [this](QString executable, QStringList arguments) -> QCoro::Task<RunResult> {
            co_return co_await ClaudeCLI::run(m_driver, std::move(executable), std::move(arguments), 5s);
        };
        const RunResult result = QCoro::waitFor(task(QStringLiteral("/bin/echo"), {QStringLiteral("awaited")}));
        QCOMPARE(result, (RunResult{0, QStringLiteral("awaited\n"), {}}));
    }

    void noDescriptorOrZombieLeaksAfterManyRuns()
    {
        // One run first, so that the pool's threads and the private folder exist before counting.
        QCOMPARE(ClaudeCLI::run(m_driver, QStringLiteral("/bin/true"), {}, 5s).result().exitCode, 0);
        const int before = openDescriptorCount();

        for (int batch = 0; batch < 20; ++batch) {
            QList<QFuture<RunResult>> runs;
            for (int i = 0; i < 50; ++i) {
                runs.append(i % 10 == 9 ? ClaudeCLI::run(m_driver, m_home.filePath(QStringLiteral("missing")), {}, 5s)
                                        : ClaudeCLI::run(m_driver, QStringLiteral("/bin/true"), {}, 5s));
            }
            for (QFuture<RunResult> &run : runs)
                QVERIFY(run.result().exitCode == 0 || run.result().exitCode == -1);
        }
        QCOMPARE(openDescriptorCount(), before);
        QVERIFY(!hasZombieChild());
    }
};

QTEST_GUILESS_MAIN(tst_ProcessRunner)
#include "tst_ProcessRunner.moc"
