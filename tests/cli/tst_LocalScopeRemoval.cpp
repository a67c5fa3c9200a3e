// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/LocalScopeRemoval.h"
#include "support/FakeClaude.h"
#include "support/TempHome.h"
#include "support/TestScript.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QCoroTask>
#include <QTest>

#include <fcntl.h>

using namespace std::chrono_literals;
using ClaudeCLI::LocalRemovalResult;
using ClaudeCLI::RegistrationState;
using ClaudeCLI::RunResult;

Q_DECLARE_METATYPE(ClaudeCLI::RegistrationState)

class tst_LocalScopeRemoval : public QObject
{
    Q_OBJECT

private:
    TempHome m_home;
    ClaudeCLI::ClaudeDriver m_driver;
    QString m_root;
    int m_scripts = 0;

    QString script(const QByteArray &body)
    {
        return writeTestScript(m_root + QStringLiteral("/bin/script-%1").arg(++m_scripts), body);
    }

    QString makeFolder(const QString &name)
    {
        const QString folder = m_root + u'/' + name;
        QDir().mkpath(folder);
        return folder;
    }

    static QCoro::Task<RunResult> awaited(QFuture<RunResult> run) { co_return co_await run; }

    /// A registration check that answers from a list, one answer per call.
    static ClaudeCLI::RegistrationCheck answering(QList<RegistrationState> answers)
    {
        auto remaining = std::make_shared<QList<RegistrationState>>(std::move(answers));
        return [remaining](const QString &, const QString &) { return remaining->takeFirst(); };
    }

    /// A runner that runs the script bound to the pinned folder, after `meanwhile`.
    ClaudeCLI::LocalRemovalRunner runningScript(QString executable, std::function<void()> meanwhile = {})
    {
        return [this, executable, meanwhile](QString name, FolderIdentity pinned, int descriptor) {
            if (meanwhile)
                meanwhile();
            return awaited(ClaudeCLI::runInFolder(m_driver, executable, {name}, descriptor, pinned, 5s));
        };
    }

    LocalRemovalResult removeLocally(const QString &name, const QString &folder, ClaudeCLI::RegistrationCheck check,
                                     ClaudeCLI::LocalRemovalRunner runner)
    {
        return QCoro::waitFor(ClaudeCLI::removeLocalServer(m_driver, name, folder, std::move(check), std::move(runner)));
    }

private slots:
    void initTestCase()
    {
        m_root = QDir(m_home.path()).canonicalPath();
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<RegistrationState>("state");
        QTest::addColumn<QString>("message");

        const QString project = QStringLiteral("/project");
        QTest::newRow("other lane") << "quorvane-beta-webflow-x" << project << RegistrationState::Registered
                                    << "\"quorvane-beta-webflow-x\" belongs to a different Quorvane lane.";
        QTest::newRow("unsafe name") << "a b" << project << RegistrationState::Registered
                                     << "\"a b\" is not a name this app will pass to the CLI.";
        QTest::newRow("control character shown cleaned") << "a\u202Eb" << project << RegistrationState::Registered
                                                         << "\"a·b\" is not a name this app will pass to the CLI.";
        const QString notCanonical = QStringLiteral(
            "The saved project folder is not a canonical absolute path. Remove this entry from ~/.claude.json by hand.");
        QTest::newRow("trailing slash") << "webflow-x" << "/project/" << RegistrationState::Registered << notCanonical;
        QTest::newRow("dot-dot") << "webflow-x" << "/project/../etc" << RegistrationState::Registered << notCanonical;
        QTest::newRow("relative") << "webflow-x" << "project" << RegistrationState::Registered << notCanonical;
        QTest::newRow("registry unreadable") << "webflow-x" << project << RegistrationState::Unreadable
                                             << "Claude's registry could not be read. Nothing was removed.";
        QTest::newRow("no longer registered")
            << "webflow-x" << project << RegistrationState::NotRegistered
            << "The local registration changed since the last refresh. Refresh and review it before removing anything.";
        QTest::newRow("folder gone") << "webflow-x" << "/missing-folder" << RegistrationState::Registered
                                     << "The folder no longer exists. Quorvane will not recreate filesystem paths from "
                                        "registry text; remove this entry from ~/.claude.json by hand.";
        QTest::newRow("folder is a link") << "webflow-x" << "/linked" << RegistrationState::Registered
                                          << "The saved project folder is not a trusted directory. Refresh or remove "
                                             "the entry by hand.";
    }

    void refusals()
    {
        QFETCH(QString, name);
        QFETCH(QString, folder);
        QFETCH(RegistrationState, state);
        QFETCH(QString, message);
        makeFolder(QStringLiteral("project"));
        QFile::link(m_root + QStringLiteral("/project"), m_root + QStringLiteral("/linked"));
        const QString marker = m_root + QStringLiteral("/refusal-ran");
        const QString absolute = folder.startsWith(u'/') ? m_root + folder : folder;

        const LocalRemovalResult result =
            removeLocally(name, absolute, answering({state}), runningScript(script("touch '" + QFile::encodeName(marker) + "'")));
        QCOMPARE(result, (LocalRemovalResult{false, message}));
        QVERIFY(!QFile::exists(marker));
    }

    void removalRunsInThePinnedFolder()
    {
        const QString folder = makeFolder(QStringLiteral("site"));
        const QString log = m_root + QStringLiteral("/site.log");
        const QString removal = script("pwd -P > '" + QFile::encodeName(log) + "'; echo \"$@\" >> '" + QFile::encodeName(log) + "'");
        const LocalRemovalResult result =
            removeLocally(QStringLiteral("webflow-site"), folder,
                          answering({RegistrationState::Registered, RegistrationState::NotRegistered}), runningScript(removal));
        QCOMPARE(result, (LocalRemovalResult{true, QStringLiteral("Removed webflow-site.")}));
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QFile::encodeName(folder) + "\nwebflow-site\n");
    }

    void folderSwappedForALinkMeanwhile()
    {
        const QString folder = makeFolder(QStringLiteral("swapped"));
        const QString elsewhere = makeFolder(QStringLiteral("elsewhere"));
        const QString log = m_root + QStringLiteral("/swapped.log");
        const LocalRemovalResult result =
            removeLocally(QStringLiteral("webflow-site"), folder,
                          answering({RegistrationState::Registered, RegistrationState::NotRegistered}),
                          runningScript(script("pwd -P > '" + QFile::encodeName(log) + "'"), [=] {
                              QDir().rename(folder, folder + QStringLiteral("-pinned"));
                              QFile::link(elsewhere, folder);
                          }));
        QCOMPARE(result, (LocalRemovalResult{false, QStringLiteral("The project folder changed while the CLI was running. "
                                                                   "Removal is unconfirmed; refresh before trying again.")}));
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QFile::encodeName(folder + QStringLiteral("-pinned")) + "\n");
    }

    void unconfirmedOrFailedRuns_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<RegistrationState>("afterwards");
        QTest::addColumn<QString>("message");

        QTest::newRow("still registered") << QByteArray("exit 0") << RegistrationState::Registered
                                          << "The CLI reported success but webflow-site is still registered for this exact folder.";
        QTest::newRow("registry gone") << QByteArray("exit 0") << RegistrationState::Unreadable
                                       << "The CLI finished, but Claude's registry could not be reread. Removal is "
                                          "unconfirmed; refresh before trying again.";
        QTest::newRow("failure with output") << QByteArray("echo 'No MCP server'; echo ' found' >&2; exit 1")
                                             << RegistrationState::Registered << "No MCP server\n found\n";
        QTest::newRow("silent failure") << QByteArray("exit 3") << RegistrationState::Registered << "The CLI returned 3.";
        QTest::newRow("killed") << QByteArray("kill -9 $$") << RegistrationState::Registered << "The CLI returned 137.";
    }

    void unconfirmedOrFailedRuns()
    {
        QFETCH(QByteArray, body);
        QFETCH(RegistrationState, afterwards);
        QFETCH(QString, message);
        const QString folder = makeFolder(QStringLiteral("outcomes"));
        const LocalRemovalResult result = removeLocally(QStringLiteral("webflow-site"), folder,
                                                        answering({RegistrationState::Registered, afterwards}),
                                                        runningScript(script(body)));
        QCOMPARE(result, (LocalRemovalResult{false, message}));
    }

    void defaultCheckAndRunnerReadTheRegistryAndRunClaude()
    {
        TempHome home;
        const QString folder = QDir(home.path()).canonicalPath() + QStringLiteral("/site");
        QVERIFY(QDir().mkpath(folder));
        const QByteArray before = "{\"projects\": {\"" + QFile::encodeName(folder) + "\": {\"mcpServers\": {\"webflow-site\": {}}}}}";
        const QByteArray after = "{\"projects\": {\"" + QFile::encodeName(folder) + "\": {\"mcpServers\": {}}}}";
        QFile registry(home.filePath(QStringLiteral(".claude.json")));
        QVERIFY(registry.open(QIODevice::WriteOnly));
        registry.write(before);
        registry.close();
        FakeClaude claude(home);
        claude.answer(QStringLiteral("mcp remove"), {"Removed\n", {}, 0, false, after});
        ClaudeCLI::ClaudeDriver driver(claude.configuration());

        const LocalRemovalResult result =
            QCoro::waitFor(ClaudeCLI::removeLocalServer(driver, QStringLiteral("webflow-site"), folder));
        QCOMPARE(result, (LocalRemovalResult{true, QStringLiteral("Removed webflow-site.")}));
        QCOMPARE(claude.calls(), (QList<QStringList>{{QStringLiteral("mcp"), QStringLiteral("remove"), QStringLiteral("webflow-site"),
                                                      QStringLiteral("-s"), QStringLiteral("local")}}));
    }

    void runInFolderLimits()
    {
        const QString folder = makeFolder(QStringLiteral("limits"));
        const std::optional<DirectoryChain> chain = openDirectoryChain(folder);
        QVERIFY(chain);
        const FolderIdentity identity = chain->identity();

        // A grandchild holding the pipes is not waited for beyond the drain.
        QElapsedTimer clock;
        clock.start();
        RunResult result = ClaudeCLI::runInFolder(m_driver, script("sleep 4 & echo bye"), {}, chain->folder(), identity, 10s)
                               .result();
        QCOMPARE(result, (RunResult{0, QStringLiteral("bye\n"), {}}));
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));

        result = ClaudeCLI::runInFolder(m_driver, script("trap '' TERM; exec sleep 30"), {}, chain->folder(), identity,
                                        300ms, 100ms)
                     .result();
        QCOMPARE(result.exitCode, -2);

        result = ClaudeCLI::runInFolder(m_driver, script("exit 0"), {}, chain->folder(),
                                        FolderIdentity{identity.device, identity.inode + 1}, 5s)
                     .result();
        QCOMPARE(result, (RunResult{-1, {}, QStringLiteral("The project folder changed before the CLI could start. Nothing was removed.")}));

        result = ClaudeCLI::runInFolder(m_driver, m_root + QStringLiteral("/vanished"), {}, chain->folder(), identity, 5s)
                     .result();
        QCOMPARE(result, (RunResult{-1, {}, QStringLiteral("No such file or directory")}));
        QVERIFY(::fcntl(chain->folder(), F_GETFD) & FD_CLOEXEC);
    }

    void registrationState_data()
    {
        QTest::addColumn<QByteArray>("registry");
        QTest::addColumn<RegistrationState>("state");

        QTest::newRow("registered") << QByteArray(R"({"projects":{"/p":{"mcpServers":{"webflow-x":null}}}})")
                                    << RegistrationState::Registered;
        QTest::newRow("other folder only") << QByteArray(R"({"projects":{"/q":{"mcpServers":{"webflow-x":{}}},"/p":{}}})")
                                           << RegistrationState::NotRegistered;
        QTest::newRow("servers not an object") << QByteArray(R"({"projects":{"/p":{"mcpServers":[]}}})")
                                               << RegistrationState::NotRegistered;
        QTest::newRow("no projects") << QByteArray(R"({"mcpServers":{}})") << RegistrationState::Unreadable;
        QTest::newRow("not JSON") << QByteArray("{") << RegistrationState::Unreadable;
        QTest::newRow("no file") << QByteArray() << RegistrationState::Unreadable;
    }

    void registrationState()
    {
        QFETCH(QByteArray, registry);
        QFETCH(RegistrationState, state);
        const QString path = m_home.filePath(QStringLiteral(".claude.json"));
        QFile::remove(path);
        if (!registry.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(registry);
        }
        QCOMPARE(ClaudeCLI::localRegistrationState(path, QStringLiteral("webflow-x"), QStringLiteral("/p")), state);
    }
};

QTEST_GUILESS_MAIN(tst_LocalScopeRemoval)
#include "tst_LocalScopeRemoval.moc"
