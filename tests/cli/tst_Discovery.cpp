// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/ClaudeDriver.h"
#include "cli/Discovery.h"
#include "support/ManualClock.h"
#include "support/TempHome.h"
#include "support/TestScript.h"

#include <QDir>
#include <QFile>
#include <QCoroTask>
#include <QTest>

#include <sys/stat.h>

#include <vector>

using ClaudeCLI::BinaryDiscovery;
using ClaudeCLI::ClaudeDriver;
using ClaudeCLI::DriverConfiguration;
using ClaudeCLI::BinaryLookup;

class tst_Discovery : public QObject
{
    Q_OBJECT

private:
    // One home for the whole test: the private working directory lives in it for the process.
    TempHome m_home;
    QString m_root;
    int m_case = 0;

    QString path(const QString &relative) const { return m_root + u'/' + relative; }

    /// A fake claude that logs each probe and answers "--version" with the given line and status.
    QString fakeClaude(const QString &relative, const QByteArray &versionLine, int status = 0)
    {
        return writeTestScript(path(relative), "echo \"$0\" >> \"" + QFile::encodeName(path(QStringLiteral("probes.log")))
                                                   + "\"\necho '" + versionLine + "'\nexit " + QByteArray::number(status) + "\n");
    }

    /// The login shell prints greetings around its environment, as login scripts do.
    QString loginShellWithPath(const QByteArray &pathValue)
    {
        return writeTestScript(
            path(QStringLiteral("shell")),
            "echo \"$@\" >> \"" + QFile::encodeName(path(QStringLiteral("shell.log"))) + "\"\necho 'Welcome back'\n"
            "echo 'HOME=/nowhere'\necho 'PATH=" + pathValue + "'\necho 'PATH=/second/ignored'\n");
    }

    /// A driver that asks the shell and tries only the given fixed locations.
    static DriverConfiguration searching(Clock &clock, const QString &shell, const QStringList &fixedCandidates)
    {
        DriverConfiguration configuration;
        configuration.clock = &clock;
        configuration.loginShell = shell;
        configuration.fixedCandidates = fixedCandidates;
        return configuration;
    }

    template <typename T>
    static T awaited(QFuture<T> future)
    {
        return QCoro::waitFor([](QFuture<T> pending) -> QCoro::Task<T> { co_return co_await pending; }(std::move(future)));
    }

    int lines(const QString &relative) const
    {
        QFile file(path(relative));
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        return int(file.readAll().count('\n'));
    }

private slots:
    void init()
    {
        m_root = QDir(m_home.path()).canonicalPath() + QStringLiteral("/case-%1").arg(++m_case);
        QVERIFY(QDir().mkpath(m_root));
    }

    void newestWorkingVersionWinsAndLinksAreProbedOnce()
    {
        const QString older = fakeClaude(QStringLiteral("a/bin/claude"), "2.1.185 (Claude Code)");
        const QString newer = fakeClaude(QStringLiteral("pkg/claude-code/cli"), "claude 2.1.186 (Claude Code)");
        const QString broken = fakeClaude(QStringLiteral("c/bin/claude"), "2.9.9", 1);
        const QString silent = fakeClaude(QStringLiteral("d/claude"), "no version here");
        QVERIFY(QDir().mkpath(path(QStringLiteral("b/bin"))));
        QVERIFY(QFile::link(newer, path(QStringLiteral("b/bin/claude"))));
        QVERIFY(QDir().mkpath(path(QStringLiteral("fixed"))));
        QVERIFY(QFile::link(newer, path(QStringLiteral("fixed/claude"))));
        // Empty, relative and padded pieces, and one ending in "/".
        const QString shell = loginShellWithPath("::relative/bin: " + QFile::encodeName(path(QStringLiteral("c/bin"))) + "\t:"
                           + QFile::encodeName(path(QStringLiteral("a/bin/"))) + ":"
                           + QFile::encodeName(path(QStringLiteral("b/bin"))) + ":/missing/bin");

        ManualClock clock;
        ClaudeDriver driver(searching(clock, shell, {path(QStringLiteral("fixed/claude")), QString(), path(QStringLiteral("d/claude")),
                                                     path(QStringLiteral("none/claude"))}));
        BinaryDiscovery &discovery = driver.discovery();
        const CLIEnvironment environment = QCoro::waitFor(discovery.detectEnvironment());

        const QList<ClaudeInstall> expected = {
            {newer, CLIVersion{2, 1, 186}}, {older, CLIVersion{2, 1, 185}}, {broken, std::nullopt}, {silent, std::nullopt}};
        QCOMPARE(environment.installs, expected);
        QCOMPARE(environment.binary, std::optional<QString>(newer));
        QCOMPARE(environment.version, std::optional<CLIVersion>(CLIVersion{2, 1, 186}));
        QVERIFY(environment.supportsLogin);
        QCOMPARE(lines(QStringLiteral("probes.log")), 4);
        QCOMPARE(discovery.locateBinary(), (BinaryLookup{BinaryLookup::State::Found, newer}));

        QFile shellLog(path(QStringLiteral("shell.log")));
        QVERIFY(shellLog.open(QIODevice::ReadOnly));
        QCOMPARE(shellLog.readAll(), QByteArray("-lc /usr/bin/env\n"));
    }

    void loginNeedsAVersionFromTheThreshold_data()
    {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<bool>("supportsLogin");

        QTest::newRow("2.1.185") << QByteArray("2.1.185") << false;
        QTest::newRow("2.1.186") << QByteArray("2.1.186") << true;
        QTest::newRow("2.2.0") << QByteArray("2.2.0") << true;
        QTest::newRow("3.0.0") << QByteArray("3.0.0") << true;
    }

    void loginNeedsAVersionFromTheThreshold()
    {
        QFETCH(QByteArray, version);
        QFETCH(bool, supportsLogin);
        ManualClock clock;
        ClaudeDriver driver(searching(clock, loginShellWithPath(""), {fakeClaude(QStringLiteral("claude"), version)}));
        QCOMPARE(QCoro::waitFor(driver.discovery().detectEnvironment()).supportsLogin, supportsLogin);
    }

    void nodeVersionManagerInstallsAreFound()
    {
        const QString installed = QDir::cleanPath(
            fakeClaude(QStringLiteral("../.local/share/fnm/node-versions/v20.1.0/installation/bin/claude"), "2.1.190"));
        ManualClock clock;
        ClaudeDriver driver(searching(clock, loginShellWithPath(""), {}));
        const std::optional<QString> binary = QCoro::waitFor(driver.discovery().detectEnvironment()).binary;
        QVERIFY(QDir(m_home.filePath(QStringLiteral(".local/share/fnm"))).removeRecursively());
        QCOMPARE(binary, std::optional<QString>(installed));
    }

    void npmrcPrefixIsReadOnlyFromARegularFile_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("a prefix in ~/.npmrc") << false;
        QTest::newRow("a FIFO in its place") << true;
    }

    void npmrcPrefixIsReadOnlyFromARegularFile()
    {
        QFETCH(bool, fifo);
        const QString npmrc = m_home.filePath(QStringLiteral(".npmrc"));
        QFile::remove(npmrc);
        const QString installed = fakeClaude(QStringLiteral("npm-global/bin/claude"), "2.1.190");
        if (fifo) {
            QCOMPARE(::mkfifo(QFile::encodeName(npmrc).constData(), 0600), 0);
        } else {
            QFile file(npmrc);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("registry=https://registry.example\nprefix = " + QFile::encodeName(path(QStringLiteral("npm-global"))) + "\n");
        }
        ManualClock clock;
        ClaudeDriver driver(searching(clock, loginShellWithPath(""), {}));
        const std::optional<QString> binary = QCoro::waitFor(driver.discovery().detectEnvironment()).binary;
        QFile::remove(npmrc);
        QCOMPARE(binary.value_or(QStringLiteral("none")), fifo ? QStringLiteral("none") : installed);
    }

    void concurrentLookupsShareOneSearch()
    {
        const QString shell = loginShellWithPath(QFile::encodeName(path(QStringLiteral("bin"))));
        const QString claude = fakeClaude(QStringLiteral("bin/claude"), "2.1.186");
        ManualClock clock;
        ClaudeDriver driver(searching(clock, shell, {}));
        BinaryDiscovery &discovery = driver.discovery();
        QCOMPARE(discovery.locateBinary().state, BinaryLookup::State::Unresolved);

        std::vector<QCoro::Task<std::optional<QString>>> lookups;
        for (int i = 0; i < 8; ++i)
            lookups.push_back(discovery.findBinary());
        for (QCoro::Task<std::optional<QString>> &lookup : lookups)
            QCOMPARE(QCoro::waitFor(std::move(lookup)), std::optional<QString>(claude));
        QCOMPARE(lines(QStringLiteral("shell.log")), 1);
        QCOMPARE(lines(QStringLiteral("probes.log")), 1);
        // Children of the claude found get the PATH of the shell that found it.
        QCOMPARE(driver.searchPath(), path(QStringLiteral("bin")));

        // Answered from the cache from now on.
        QCOMPARE(QCoro::waitFor(discovery.findBinary()), std::optional<QString>(claude));
        QCOMPARE(lines(QStringLiteral("shell.log")), 1);
    }

    void notFoundIsTrustedForThirtySeconds()
    {
        ManualClock clock;
        ClaudeDriver driver(searching(clock, loginShellWithPath(""), {path(QStringLiteral("none/claude"))}));
        BinaryDiscovery &discovery = driver.discovery();
        const CLIEnvironment environment = QCoro::waitFor(discovery.detectEnvironment());
        QCOMPARE(environment.binary, std::nullopt);
        QCOMPARE(environment.version, std::nullopt);
        QVERIFY(!environment.supportsLogin);
        QVERIFY(environment.installs.isEmpty());

        QCOMPARE(discovery.locateBinary().state, BinaryLookup::State::NotFound);
        QCOMPARE(QCoro::waitFor(discovery.findBinary()), std::nullopt);
        clock.advance(30000);
        QCOMPARE(discovery.locateBinary().state, BinaryLookup::State::NotFound);
        clock.advance(1);
        QCOMPARE(discovery.locateBinary().state, BinaryLookup::State::Unresolved);
        QCOMPARE(lines(QStringLiteral("shell.log")), 1);

        // The next lookup searches again and now finds the freshly installed tool.
        const QString claude = fakeClaude(QStringLiteral("none/claude"), "2.1.186");
        QCOMPARE(QCoro::waitFor(discovery.findBinary()), std::optional<QString>(claude));
        QCOMPARE(lines(QStringLiteral("shell.log")), 2);
    }

    void searchUnderWayWhenForgottenStoresNothing()
    {
        // The shell blocks until the test lets it go, so the reset lands in the middle.
        const QString gate = path(QStringLiteral("gate"));
        const QString shell = writeTestScript(path(QStringLiteral("slow-shell")),
                                              "while [ ! -e '" + QFile::encodeName(gate) + "' ]; do sleep 0.02; done\n");
        const QString claude = fakeClaude(QStringLiteral("claude"), "2.1.186");
        ManualClock clock;
        ClaudeDriver driver(searching(clock, shell, {claude}));
        BinaryDiscovery &discovery = driver.discovery();

        QFuture<std::optional<QString>> first = discovery.sharedDiscoveryTask();
        discovery.forgetBinaryLocation();
        QFile(gate).open(QIODevice::WriteOnly);
        QCOMPARE(awaited(first), std::optional<QString>(claude));
        QCOMPARE(discovery.locateBinary().state, BinaryLookup::State::Unresolved);
    }
};

QTEST_GUILESS_MAIN(tst_Discovery)
#include "tst_Discovery.moc"
