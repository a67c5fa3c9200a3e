// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/StatusQueries.h"

#include "cli/ProcessRunner.h"

#include "cli/ClaudeDriver.h"
#include "support/FakeClaude.h"
#include "support/TempHome.h"

#include <QCoroTask>
#include <QTest>

using namespace std::chrono_literals;
using ClaudeCLI::AuthStatus;

Q_DECLARE_METATYPE(ClaudeCLI::AuthStatus)

class tst_StatusQueries : public QObject
{
    Q_OBJECT

private slots:
    void parseStatusLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<ConnectionStatus>("expected");

        // What claude 2.1 prints.
        QTest::newRow("real connected") << QStringLiteral("  Status: ✔ Connected") << ConnectionStatus::connected;
        QTest::newRow("real needs auth") << QStringLiteral("  Status: ! Needs authentication") << ConnectionStatus::needsAuth;
        QTest::newRow("real failed") << QStringLiteral("  Status: ✘ Failed to connect") << ConnectionStatus::failed;

        QTest::newRow("check mark") << QStringLiteral("Status: ✓ Connected") << ConnectionStatus::connected;
        QTest::newRow("check mark alone") << QStringLiteral("Status: ✓") << ConnectionStatus::connected;
        QTest::newRow("warning needs auth") << QStringLiteral("Status: ⚠ Needs authentication") << ConnectionStatus::needsAuth;
        QTest::newRow("needs auth beats failed") << QStringLiteral("Status: failed, NEEDS AUTHENTICATION") << ConnectionStatus::needsAuth;
        QTest::newRow("ballot x failed") << QStringLiteral("Status: ✗ Failed to connect") << ConnectionStatus::failed;
        QTest::newRow("tools fetch failed") << QStringLiteral("Status: Connected (tools fetch failed)") << ConnectionStatus::degraded;
        QTest::newRow("tools fetch failed, not connected") << QStringLiteral("Status: tools fetch failed") << ConnectionStatus::failed;
        QTest::newRow("disconnected") << QStringLiteral("Status: disconnected") << ConnectionStatus::failed;
        QTest::newRow("not connected") << QStringLiteral("Status: not connected") << ConnectionStatus::failed;
        QTest::newRow("error") << QStringLiteral("Status: Error") << ConnectionStatus::failed;
        QTest::newRow("connected word") << QStringLiteral("Status: connected") << ConnectionStatus::connected;
        QTest::newRow("reconnected") << QStringLiteral("Status: reconnected") << ConnectionStatus::unknown;
        QTest::newRow("pending") << QStringLiteral("Status: pending") << ConnectionStatus::unknown;
        QTest::newRow("empty") << QString() << ConnectionStatus::unknown;
    }

    void parseStatusLine()
    {
        QFETCH(QString, line);
        QFETCH(ConnectionStatus, expected);
        QCOMPARE(ClaudeCLI::parseStatusLine(line), expected);
    }

    void statusLineFilter_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("kept");

        QTest::newRow("status") << QStringLiteral("Status: ✔ Connected") << true;
        QTest::newRow("indented status") << QStringLiteral(" \t Status: x") << true;
        QTest::newRow("no server") << QStringLiteral("No MCP server named \"x\". Configured servers: y") << true;
        QTest::newRow("no server, lower case") << QStringLiteral("error: no mcp server found") << true;
        QTest::newRow("scope") << QStringLiteral("  Scope: User config") << false;
        QTest::newRow("status later in line") << QStringLiteral("  URL: https://x/Status: ok") << false;
    }

    void statusLineFilter()
    {
        QFETCH(QString, line);
        QFETCH(bool, kept);
        QCOMPARE(ClaudeCLI::statusLineFilter(line), kept);
    }

    void authStatus_data()
    {
        QTest::addColumn<QByteArray>("standardOutput");
        QTest::addColumn<QByteArray>("standardError");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<AuthStatus>("expected");

        QTest::newRow("json signed in with address")
            << QByteArray(R"({"loggedIn": true, "email": "ana@example.com", "authMethod": "claude.ai"})") << QByteArray() << 0
            << AuthStatus::signedIn(QStringLiteral("ana@example.com"));
        QTest::newRow("json signed in without address")
            << QByteArray(R"({"loggedIn": true})") << QByteArray() << 0 << AuthStatus::signedIn();
        QTest::newRow("json email not text")
            << QByteArray(R"({"loggedIn": true, "email": 7})") << QByteArray() << 0 << AuthStatus::signedIn();
        QTest::newRow("json signed out, exit 1")
            << QByteArray("{\n  \"loggedIn\": false,\n  \"authMethod\": \"none\"\n}\n") << QByteArray() << 1
            << AuthStatus::signedOut();
        QTest::newRow("json without loggedIn: text rules")
            << QByteArray(R"({"authMethod": "Logged in"})") << QByteArray() << 0 << AuthStatus::signedIn();
        QTest::newRow("loggedIn as text: text rules")
            << QByteArray(R"({"loggedIn": "true"})") << QByteArray() << 0 << AuthStatus::unknown();
        QTest::newRow("text signed out on stdout")
            << QByteArray("Not logged in · Please run /login\n") << QByteArray() << 1 << AuthStatus::signedOut();
        QTest::newRow("text signed out on stderr")
            << QByteArray() << QByteArray("Not logged in · Please run /login\n") << 1 << AuthStatus::signedOut();
        QTest::newRow("text logged out") << QByteArray("You are LOGGED OUT") << QByteArray() << 0 << AuthStatus::signedOut();
        QTest::newRow("text signed in on stderr")
            << QByteArray() << QByteArray("Logged in as a user\n") << 0 << AuthStatus::signedIn();
        QTest::newRow("empty") << QByteArray() << QByteArray() << 0 << AuthStatus::unknown();
        QTest::newRow("something else") << QByteArray("Usage: claude auth") << QByteArray() << 2 << AuthStatus::unknown();
    }

    void authStatus()
    {
        QFETCH(QByteArray, standardOutput);
        QFETCH(QByteArray, standardError);
        QFETCH(int, exitCode);
        QFETCH(AuthStatus, expected);
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());
        claude.answer(QStringLiteral("auth status"), {standardOutput, standardError, exitCode, false, std::nullopt});

        QCOMPARE(QCoro::waitFor(ClaudeCLI::authStatus(driver)), expected);
        QCOMPARE(claude.calls(), (QList<QStringList>{{QStringLiteral("auth"), QStringLiteral("status")}}));
    }

    void authStatusHangs()
    {
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());
        claude.answer(QStringLiteral("auth status"), {R"({"loggedIn": true})", {}, 0, true, std::nullopt});
        QCOMPARE(QCoro::waitFor(ClaudeCLI::authStatus(driver, 300ms)), AuthStatus::unknown());
    }

    void serverStatus_data()
    {
        QTest::addColumn<QByteArray>("standardOutput");
        QTest::addColumn<QByteArray>("standardError");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<ConnectionStatus>("expected");

        const QByteArray real = "webflow-acme:\n  Scope: User config (available in all your projects)\n"
                                "  Status: ✔ Connected\n  Type: http\n  URL: https://mcp.webflow.com/mcp\n\n"
                                "To remove this server, run: claude mcp remove webflow-acme -s user\n";
        QTest::newRow("connected") << real << QByteArray() << 0 << ConnectionStatus::connected;
        QTest::newRow("judged by the first status line, whatever the exit")
            << QByteArray("Status: ✘ Failed to connect\nStatus: ✔ Connected\n") << QByteArray() << 3
            << ConnectionStatus::failed;
        QTest::newRow("missing") << QByteArray() << QByteArray("No MCP server named \"webflow-acme\". Configured servers: x\n")
                                 << 1 << ConnectionStatus::missing;
        QTest::newRow("missing, found wording")
            << QByteArray() << QByteArray("No MCP server found with name: webflow-acme") << 1 << ConnectionStatus::missing;
        QTest::newRow("no-server text on stdout only")
            << QByteArray("No MCP server found with name: webflow-acme") << QByteArray() << 1 << ConnectionStatus::unknown;
        QTest::newRow("no-server text with exit 2")
            << QByteArray() << QByteArray("No MCP server found with name: webflow-acme") << 2 << ConnectionStatus::unknown;
        QTest::newRow("no status line") << QByteArray("webflow-acme:\n  Type: http\n") << QByteArray() << 0
                                        << ConnectionStatus::unknown;
    }

    void serverStatus()
    {
        QFETCH(QByteArray, standardOutput);
        QFETCH(QByteArray, standardError);
        QFETCH(int, exitCode);
        QFETCH(ConnectionStatus, expected);
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());
        claude.answer(QStringLiteral("mcp get"), {standardOutput, standardError, exitCode, false, std::nullopt});

        QCOMPARE(QCoro::waitFor(ClaudeCLI::serverStatus(driver, QStringLiteral("webflow-acme"))), expected);
        QCOMPARE(claude.calls(),
                 (QList<QStringList>{{QStringLiteral("mcp"), QStringLiteral("get"), QStringLiteral("webflow-acme")}}));
    }

    void serverStatusHangs()
    {
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());
        claude.answer(QStringLiteral("mcp get"), {"  Status: ✔ Connected\n", {}, 0, true, std::nullopt});
        QCOMPARE(QCoro::waitFor(ClaudeCLI::serverStatus(driver, QStringLiteral("webflow-acme"), 300ms)),
                 ConnectionStatus::timedOut);
    }

    void refusedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("space") << QStringLiteral("webflow-a b");
        QTest::newRow("empty") << QString();
        QTest::newRow("option") << QStringLiteral("-webflow");
        QTest::newRow("other lane") << QStringLiteral("quorvane-beta-webflow-acme");
    }

    void refusedNames()
    {
        QFETCH(QString, name);
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());
        claude.answer(QStringLiteral("mcp get"), {"Status: ✔ Connected\n", {}, 0, false, std::nullopt});
        QCOMPARE(QCoro::waitFor(ClaudeCLI::serverStatus(driver, name)), ConnectionStatus::unknown);
        QVERIFY(claude.calls().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_StatusQueries)
#include "tst_StatusQueries.moc"
