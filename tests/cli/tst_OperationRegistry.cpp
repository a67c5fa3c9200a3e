// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/ChildReaper.h"
#include "cli/OperationRegistry.h"
#include "support/TempHome.h"
#include "support/TestScript.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <csignal>
#include <future>
#include <sys/wait.h>

using namespace std::chrono_literals;
using ClaudeCLI::ChildProcess;
using ClaudeCLI::OperationRegistry;
using ClaudeCLI::LoginOperationRegistry;
using ClaudeCLI::RunOperationRegistry;
using Status = OperationRegistry::LaunchStatus;

namespace {

/// A launch action that records whether it was called and launches nothing.
std::function<OperationRegistry::Launch()> recordingLaunch(bool &called)
{
    return [&called]() -> OperationRegistry::Launch {
        called = true;
        return QStringLiteral("not launched in this test");
    };
}

} // namespace

class tst_OperationRegistry : public QObject
{
    Q_OBJECT

private:
    TempHome m_home;
    ClaudeCLI::ChildReaper m_reaper;
    const std::shared_ptr<const ClaudeCLI::ChildEnvironment> m_environment =
        std::make_shared<const ClaudeCLI::ChildEnvironment>(QProcessEnvironment::systemEnvironment(), QString());

    /// Launches a script under the key and returns its child.
    std::shared_ptr<ChildProcess> launch(OperationRegistry &registry, const QString &key, const QUuid &id,
                                         const QByteArray &body)
    {
        std::shared_ptr<ChildProcess> process;
        const QString started = m_home.filePath(QStringLiteral("started-") + key);
        const QString path = writeTestScript(m_home.filePath(QStringLiteral("bin/") + key), body);
        const auto outcome = registry.launchIfCurrent(key, id, [&]() -> OperationRegistry::Launch {
            auto spawned = ChildProcess::spawn({path, {started}, m_home.path(), -1, {}, m_environment});
            if (auto *error = std::get_if<QString>(&spawned))
                return *error;
            process = std::get<ClaudeCLI::SpawnedChild>(std::move(spawned)).process;
            return process;
        });
        // The child is only worth signalling once its traps are in place.
        if (outcome.status != Status::Launched || !QTest::qWaitFor([&] { return QFile::exists(started); }, 5000))
            return nullptr;
        return process;
    }

private slots:
    void cancellationBeforeRegistrationWaitsForTheRun()
    {
        RunOperationRegistry registry;
        QCOMPARE(registry.markCancelled(QStringLiteral("k")), nullptr);
        QCOMPARE(registry.markCancelled(QStringLiteral("k")), nullptr);

        const std::optional<QUuid> id = registry.registerKey(QStringLiteral("k"));
        QVERIFY(id);
        QVERIFY(registry.isCancelled(QStringLiteral("k"), *id));
        bool called = false;
        QCOMPARE(registry.launchIfCurrent(QStringLiteral("k"), *id, recordingLaunch(called)).status, Status::NotCurrent);
        QVERIFY(!called);
        registry.unregisterKey(QStringLiteral("k"), *id);

        // Two cancellations queued the key once: the next run is not cancelled.
        const std::optional<QUuid> next = registry.registerKey(QStringLiteral("k"));
        QVERIFY(next && *next != *id);
        QVERIFY(!registry.isCancelled(QStringLiteral("k"), *next));
    }

    void cancellationAfterTheRunEndedCancelsTheNextOne()
    {
        RunOperationRegistry registry;
        const std::optional<QUuid> first = registry.registerKey(QStringLiteral("k"));
        registry.unregisterKey(QStringLiteral("k"), *first);
        registry.markCancelled(QStringLiteral("k"));
        const std::optional<QUuid> second = registry.registerKey(QStringLiteral("k"));
        QVERIFY(registry.isCancelled(QStringLiteral("k"), *second));
    }

    void discardingAQueuedCancellationSparesTheNextRunOnly()
    {
        LoginOperationRegistry registry(m_reaper);
        registry.cancel(QStringLiteral("k"));
        registry.cancel(QStringLiteral("other"));
        QVERIFY(registry.discardQueuedCancellation(QStringLiteral("k")));
        QVERIFY(!registry.discardQueuedCancellation(QStringLiteral("k")));
        const std::optional<QUuid> next = registry.registerKey(QStringLiteral("k"));
        QVERIFY(next);
        QVERIFY(!registry.isCancelled(QStringLiteral("k"), *next));
        // Another key's queued cancellation still waits for its run.
        const std::optional<QUuid> other = registry.registerKey(QStringLiteral("other"));
        QVERIFY(registry.isCancelled(QStringLiteral("other"), *other));

        // A run that holds the key keeps the cancellation it was given.
        registry.cancel(QStringLiteral("k"));
        QVERIFY(!registry.discardQueuedCancellation(QStringLiteral("k")));
        QVERIFY(registry.isCancelled(QStringLiteral("k"), *next));
    }

    void busyKeyIsRefusedAndLeftAlone()
    {
        RunOperationRegistry registry;
        const std::optional<QUuid> id = registry.registerKey(QStringLiteral("k"));
        QCOMPARE(registry.registerKey(QStringLiteral("k")), std::nullopt);
        QVERIFY(!registry.isCancelled(QStringLiteral("k"), *id));
        // A stale run's id neither removes nor reads the current entry.
        const QUuid stale = QUuid::createUuid();
        registry.unregisterKey(QStringLiteral("k"), stale);
        QCOMPARE(registry.registerKey(QStringLiteral("k")), std::nullopt);
        registry.markCancelled(QStringLiteral("k"));
        QVERIFY(!registry.isCancelled(QStringLiteral("k"), stale));
        QVERIFY(registry.isCancelled(QStringLiteral("k"), *id));
    }

    void launchFailureLeavesTheEntry()
    {
        LoginOperationRegistry registry(m_reaper);
        const std::optional<QUuid> id = registry.registerKey(QStringLiteral("k"));
        bool called = false;
        const auto outcome = registry.launchIfCurrent(QStringLiteral("k"), *id, recordingLaunch(called));
        QVERIFY(called);
        QCOMPARE(outcome.status, Status::LaunchFailed);
        QCOMPARE(outcome.error, QStringLiteral("not launched in this test"));
        QCOMPARE(registry.registerKey(QStringLiteral("k")), std::nullopt);
        QVERIFY(!registry.launchIfCurrent(QStringLiteral("other"), *id, recordingLaunch(called)).error.size());
    }

    void cancelLoginEndsAChild_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("endingSignal");

        QTest::newRow("leaves on SIGTERM") << QByteArray("touch \"$1\"; exec sleep 30") << SIGTERM;
        QTest::newRow("ignores SIGTERM") << QByteArray("trap '' TERM; touch \"$1\"; exec sleep 30") << SIGKILL;
    }

    void cancelLoginEndsAChild()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, endingSignal);
        LoginOperationRegistry registry(m_reaper, 400ms);
        const QString key = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-');
        const std::optional<QUuid> id = registry.registerKey(key);
        const std::shared_ptr<ChildProcess> process = launch(registry, key, *id, body);
        QVERIFY(process);

        QElapsedTimer clock;
        clock.start();
        registry.cancel(key);
        const auto status = process->reap();
        QVERIFY(std::holds_alternative<int>(status));
        QVERIFY(WIFSIGNALED(std::get<int>(status)));
        QCOMPARE(WTERMSIG(std::get<int>(status)), endingSignal);
        if (endingSignal == SIGKILL)
            QVERIFY2(clock.elapsed() >= 350, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(registry.isCancelled(key, *id));
    }

    void cancelRunNeverForcesAKill()
    {
        RunOperationRegistry registry;
        const std::optional<QUuid> id = registry.registerKey(QStringLiteral("term-only"));
        const std::shared_ptr<ChildProcess> process =
            launch(registry, QStringLiteral("term-only"), *id, "trap 'exit 7' TERM; touch \"$1\"; while :; do sleep 0.05; done");
        QVERIFY(process);
        registry.cancel(QStringLiteral("term-only"));
        const auto status = process->reap();
        QVERIFY(WIFEXITED(std::get<int>(status)));
        QCOMPARE(WEXITSTATUS(std::get<int>(status)), 7);
    }

    void cancellationDuringTheLaunchReachesTheChild()
    {
        // The registry's lock is not held while a child is launched: a cancellation from another
        // thread meanwhile goes through at once and stops the child as soon as it is recorded.
        RunOperationRegistry registry;
        const QString key = QStringLiteral("during-launch");
        const std::optional<QUuid> id = registry.registerKey(key);
        const QString path = writeTestScript(m_home.filePath(QStringLiteral("bin/during-launch")), "exec sleep 30");
        std::future<void> cancelling;
        bool cancelledWithoutWaiting = false;
        std::shared_ptr<ChildProcess> process;
        const auto outcome = registry.launchIfCurrent(key, *id, [&]() -> OperationRegistry::Launch {
            cancelling = std::async(std::launch::async, [&] { registry.cancel(key); });
            cancelledWithoutWaiting = cancelling.wait_for(5s) == std::future_status::ready;
            auto spawned = ChildProcess::spawn({path, {}, m_home.path(), -1, {}, m_environment});
            if (auto *error = std::get_if<QString>(&spawned))
                return *error;
            process = std::get<ClaudeCLI::SpawnedChild>(std::move(spawned)).process;
            return process;
        });
        cancelling.wait();
        QVERIFY(cancelledWithoutWaiting);
        QCOMPARE(outcome.status, Status::Launched);
        QVERIFY(process);
        const auto status = process->reap();
        QVERIFY(WIFSIGNALED(std::get<int>(status)));
        QCOMPARE(WTERMSIG(std::get<int>(status)), SIGTERM);
    }

    void signInKeyCannotMeetAServerName()
    {
        QCOMPARE(ClaudeCLI::claudeAuthKey().size(), 12);
        QCOMPARE(ClaudeCLI::claudeAuthKey().front(), QChar(u'\0'));
        QVERIFY(ClaudeCLI::claudeAuthKey().endsWith(u"claude-auth"));
    }
};

QTEST_GUILESS_MAIN(tst_OperationRegistry)
#include "tst_OperationRegistry.moc"
