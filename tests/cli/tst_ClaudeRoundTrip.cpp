// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
//
// The operations against the real claude command line (the npm package the build installs), in a
// temporary home. It cannot sign in or reach Webflow offline; the fakes cover those answers.
#include "cli/ClaudeDriver.h"
#include "cli/Registration.h"
#include "cli/RegistryReader.h"
#include "cli/StatusQueries.h"
#include "support/ClaudeOnPath.h"
#include "support/FakeClaude.h"
#include "support/TempHome.h"

#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using ClaudeCLI::RegisteredServer;
using ClaudeCLI::RegistryChange;

namespace {

const QString kBin = QStringLiteral(QUORVANE_CLAUDE_CODE_BIN);
const QString kEndpoint = QStringLiteral("https://mcp.webflow.com/mcp");

// What the application itself does not do: register a server at another endpoint, or for one
// project folder.
void claudeDirectly(const QStringList &arguments, const QString &folder = QDir::tempPath())
{
    QProcess claude;
    claude.setWorkingDirectory(folder);
    claude.start(kBin + QStringLiteral("/claude"), arguments);
    QVERIFY(claude.waitForFinished(60000));
    QVERIFY2(claude.exitStatus() == QProcess::NormalExit && claude.exitCode() == 0,
             claude.readAllStandardError().constData());
}

// The user-scope servers of a registry file.
QJsonObject userServers(const QString &registryPath)
{
    QFile file(registryPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("mcpServers")).toObject();
}

} // namespace

class tst_ClaudeRoundTrip : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<ClaudeOnPath> m_onPath;
    std::unique_ptr<ClaudeCLI::ClaudeDriver> m_driver;

private slots:
    void initTestCase()
    {
        for (const char *name : {"DISABLE_AUTOUPDATER", "CLAUDE_CODE_DISABLE_NONESSENTIAL_TRAFFIC", "DISABLE_TELEMETRY",
                                 "DISABLE_ERROR_REPORTING"})
            qputenv(name, "1");
        // Nothing of the machine's own sign-in may reach the tool.
        for (const char *name : {"ANTHROPIC_API_KEY", "ANTHROPIC_AUTH_TOKEN", "CLAUDE_CODE_OAUTH_TOKEN"})
            qunsetenv(name);
    }

    void init()
    {
        m_home = std::make_unique<TempHome>();
        m_onPath = std::make_unique<ClaudeOnPath>(*m_home, kBin);
        m_driver = std::make_unique<ClaudeCLI::ClaudeDriver>(m_onPath->configuration());
    }

    void cleanup()
    {
        m_driver.reset();
        m_onPath.reset();
        m_home.reset();
    }

    void addThenReadBack()
    {
        const QString name = QStringLiteral("webflow-acme");
        QCOMPARE(QCoro::waitFor(ClaudeCLI::addServer(*m_driver, name)), (RegistryChange{true, QStringLiteral("Registered webflow-acme")}));

        const ClaudeCLI::RegistryRead read = ClaudeCLI::readRegistry(m_driver->registryPath());
        QCOMPARE(read.error, std::nullopt);
        QCOMPARE(read.servers, (QList<RegisteredServer>{{name, kEndpoint}}));
        QVERIFY(read.unrecognized.isEmpty());
    }

    void statusOfUnreachableAndUnknownServers()
    {
        claudeDirectly({QStringLiteral("mcp"), QStringLiteral("add"), QStringLiteral("--transport"), QStringLiteral("http"),
                        QStringLiteral("--scope"), QStringLiteral("user"), QStringLiteral("webflow-down"),
                        QStringLiteral("http://127.0.0.1:9/mcp")});

        QCOMPARE(QCoro::waitFor(ClaudeCLI::serverStatus(*m_driver, QStringLiteral("webflow-down"))), ConnectionStatus::failed);
        QCOMPARE(QCoro::waitFor(ClaudeCLI::serverStatus(*m_driver, QStringLiteral("webflow-nobody"))), ConnectionStatus::missing);
    }

    void removeIsConfirmed()
    {
        const QString name = QStringLiteral("webflow-acme");
        QVERIFY(QCoro::waitFor(ClaudeCLI::addServer(*m_driver, name)).ok);
        QCOMPARE(QCoro::waitFor(ClaudeCLI::removeServer(*m_driver, name)), (RegistryChange{true, QStringLiteral("Removed webflow-acme")}));
        QVERIFY(ClaudeCLI::readRegistry(m_driver->registryPath()).servers.isEmpty());

        // A second removal is refused by the tool in its own words.
        const RegistryChange again = QCoro::waitFor(ClaudeCLI::removeServer(*m_driver, name));
        QVERIFY(!again.ok);
        QVERIFY2(again.message.contains(name), qPrintable(again.message));
    }

    void localScopeEntries()
    {
        const QString folder = m_home->filePath(QStringLiteral("site"));
        QVERIFY(QDir().mkpath(folder));
        claudeDirectly({QStringLiteral("mcp"), QStringLiteral("add"), QStringLiteral("--transport"), QStringLiteral("http"),
                        QStringLiteral("webflow-site"), kEndpoint},
                       folder);
        const QString key = QDir(folder).canonicalPath();

        QCOMPARE(ClaudeCLI::readRegistry(m_driver->registryPath()).unrecognized,
                 (QList<UnrecognizedServer>{{QStringLiteral("webflow-site"), kEndpoint, QStringLiteral("http"),
                                             UnrecognizedServer::Reason::projectScoped, key}}));

        // The same name in user scope is shadowed inside that folder, and listed once.
        QVERIFY(QCoro::waitFor(ClaudeCLI::addServer(*m_driver, QStringLiteral("webflow-site"))).ok);
        const ClaudeCLI::RegistryRead read = ClaudeCLI::readRegistry(m_driver->registryPath());
        QVERIFY(read.servers.isEmpty());
        QCOMPARE(read.unrecognized,
                 (QList<UnrecognizedServer>{{QStringLiteral("webflow-site"), kEndpoint, QStringLiteral("http"),
                                             UnrecognizedServer::Reason::localScopeShadow, std::nullopt}}));

        // Removing the user entry says that the project's entry stays.
        QCOMPARE(QCoro::waitFor(ClaudeCLI::removeServer(*m_driver, QStringLiteral("webflow-site"))),
                 (RegistryChange{true, QStringLiteral("Removed webflow-site from user scope. A project-scoped entry with the "
                                                      "same name is still in ~/.claude.json and has to be removed by hand.")}));
    }

    // The fake that the other tests use leaves ~/.claude.json's servers as the real tool does.
    void fakeEditsTheRegistryLikeTheRealTool()
    {
        const QStringList names = {QStringLiteral("webflow-acme"), QStringLiteral("webflow-beta")};
        for (const QString &name : names)
            QVERIFY(QCoro::waitFor(ClaudeCLI::addServer(*m_driver, name)).ok);
        const QJsonObject realAfterAdding = userServers(m_driver->registryPath());
        QVERIFY(QCoro::waitFor(ClaudeCLI::removeServer(*m_driver, names.first())).ok);
        const QJsonObject realAfterRemoving = userServers(m_driver->registryPath());

        // A second home of its own (it points HOME there while it lives).
        TempHome fakeHome;
        FakeClaude fake(fakeHome);
        ClaudeCLI::ClaudeDriver fakeDriver(fake.configuration());
        fake.answer(QStringLiteral("mcp add"), {"Added\n", {}, 0, false, std::nullopt});
        fake.answer(QStringLiteral("mcp remove"), {"Removed\n", {}, 0, false, std::nullopt});
        for (const QString &name : names)
            QVERIFY(QCoro::waitFor(ClaudeCLI::addServer(fakeDriver, name)).ok);
        QCOMPARE(userServers(fakeDriver.registryPath()), realAfterAdding);
        QVERIFY(QCoro::waitFor(ClaudeCLI::removeServer(fakeDriver, names.first())).ok);
        QCOMPARE(userServers(fakeDriver.registryPath()), realAfterRemoving);
        QCOMPARE(realAfterRemoving.keys(), QStringList{names.last()});
    }

    void signedOut()
    {
        QCOMPARE(QCoro::waitFor(ClaudeCLI::authStatus(*m_driver)), ClaudeCLI::AuthStatus::signedOut());
    }
};

QTEST_GUILESS_MAIN(tst_ClaudeRoundTrip)
#include "tst_ClaudeRoundTrip.moc"
