// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/ScopeCheck.h"

#include "cli/OperationRegistry.h"
#include "cli/ProcessRunner.h"
#include "cli/ClaudeDriver.h"
#include "support/FakeClaude.h"
#include "support/TempHome.h"

#include <QCoroTask>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QJsonDocument>
#include <QTest>

using namespace std::chrono_literals;
using ClaudeCLI::ScopeCheckResult;

Q_DECLARE_METATYPE(ClaudeCLI::ScopeCheckResult)

namespace {

const QString kName = QStringLiteral("webflow-acme");
const QString kEndpoint = QStringLiteral("https://mcp.webflow.com/mcp");
const QString kTool = QStringLiteral("mcp__webflow-acme__data_sites_tool");
const QString kNeverCalled = QStringLiteral("Claude never called the sites tool, so nothing was verified.");

QByteArray line(const QJsonObject &event)
{
    return QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray toolUse(const QString &id, const QString &name = kTool)
{
    const QJsonObject block{{QStringLiteral("type"), QStringLiteral("tool_use")}, {QStringLiteral("id"), id},
                            {QStringLiteral("name"), name}, {QStringLiteral("input"), QJsonObject()}};
    return line({{QStringLiteral("type"), QStringLiteral("assistant")},
                 {QStringLiteral("message"), QJsonObject{{QStringLiteral("content"), QJsonArray{block}}}}});
}

QByteArray toolResult(const std::optional<QString> &id, const QJsonValue &content, bool isError = false)
{
    QJsonObject block{{QStringLiteral("type"), QStringLiteral("tool_result")}, {QStringLiteral("content"), content},
                      {QStringLiteral("is_error"), isError}};
    if (id)
        block.insert(QStringLiteral("tool_use_id"), *id);
    return line({{QStringLiteral("type"), QStringLiteral("user")},
                 {QStringLiteral("message"), QJsonObject{{QStringLiteral("content"), QJsonArray{block}}}}});
}

QByteArray finalReply(const QString &text)
{
    return line({{QStringLiteral("type"), QStringLiteral("result")}, {QStringLiteral("result"), text}});
}

QByteArray systemInit()
{
    return line({{QStringLiteral("type"), QStringLiteral("system")}, {QStringLiteral("subtype"), QStringLiteral("init")}});
}

ScopeCheckResult sites(QList<SiteRef> list)
{
    return {true, true, std::move(list), QString(), false};
}

ScopeCheckResult failed(const QString &message, bool toolRan = false)
{
    return {false, toolRan, {}, message, false};
}

} // namespace

class tst_ScopeCheck : public QObject
{
    Q_OBJECT

private slots:
    void analysis_data()
    {
        QTest::addColumn<QByteArray>("standardOutput");
        QTest::addColumn<QByteArray>("standardError");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<ScopeCheckResult>("expected");

        const SiteRef acme{QStringLiteral("Acme"), QStringLiteral("s1"), QStringLiteral("acme")};
        const SiteRef beta{QStringLiteral("Beta"), QStringLiteral("s2"), std::nullopt};
        const QString acmeJson = QStringLiteral(R"({"id": "s1", "displayName": "Acme", "slug": "acme"})");
        const QString betaJson = QStringLiteral(R"({"siteId": "s2", "name": "Beta"})");

        QTest::newRow("one site") << systemInit() + toolUse("t1") + toolResult("t1", "[" + acmeJson + "]") + finalReply("[…]")
                                  << QByteArray() << 0 << sites({acme});
        QTest::newRow("no site") << toolUse("t1") + toolResult("t1", "[]") << QByteArray() << 0 << sites({});
        QTest::newRow("several sites, wrapped")
            << toolUse("t1") + toolResult("t1", "{\"sites\": [" + acmeJson + ", " + betaJson + "]}") << QByteArray() << 0
            << sites({acme, beta});
        QTest::newRow("under data, then sites")
            << toolUse("t1") + toolResult("t1", R"({"data": {"sites": [{"id": "s9", "displayName": "Nine"}]}})")
            << QByteArray() << 0 << sites({{QStringLiteral("Nine"), QStringLiteral("s9"), std::nullopt}});
        QTest::newRow("second call answered first")
            << toolUse("t1") + toolUse("t2") + toolResult("t2", "[" + betaJson + "]") + toolResult("t1", "[" + acmeJson + "]")
            << QByteArray() << 0 << sites({beta});
        QTest::newRow("results of other tools are skipped")
            << toolUse("x1", QStringLiteral("Bash")) + toolUse("t1") + toolResult("x1", "[" + betaJson + "]")
                   + toolResult("t1", "[" + acmeJson + "]")
            << QByteArray() << 0 << sites({acme});
        QTest::newRow("text split over two blocks")
            << toolUse("t1")
                   + toolResult("t1", QJsonArray{QJsonObject{{QStringLiteral("type"), QStringLiteral("text")},
                                                            {QStringLiteral("text"), "{\"sites\": [" + acmeJson}},
                                                QJsonObject{{QStringLiteral("text"), QStringLiteral("]}")}}})
            << QByteArray() << 0 << sites({acme});
        QTest::newRow("a failing exit with a good result")
            << toolUse("t1") + toolResult("t1", "[" + acmeJson + "]") << QByteArray() << 1 << sites({acme});
        QTest::newRow("result without id matches a call with an empty id")
            << toolUse("") + toolResult(std::nullopt, "[" + acmeJson + "]") << QByteArray() << 0 << sites({acme});

        QTest::newRow("tool error") << toolUse("t1") + toolResult("t1", "Webflow said no", true) << QByteArray() << 0
                                    << failed(QStringLiteral("The sites tool failed: Webflow said no"), true);
        QTest::newRow("tool error without detail") << toolUse("t1") + toolResult("t1", "", true) << QByteArray() << 0
                                                   << failed(QStringLiteral("The sites tool failed: no detail returned"), true);
        QTest::newRow("two whole documents")
            << toolUse("t1")
                   + toolResult("t1", QJsonArray{QJsonObject{{QStringLiteral("text"), QStringLiteral("[]")}},
                                                QJsonObject{{QStringLiteral("text"), QStringLiteral("[]")}}})
            << QByteArray() << 0
            << failed(QStringLiteral("The sites tool ran but its response could not be read: []\n[]"), true);
        QTest::newRow("sites is an object")
            << toolUse("t1") + toolResult("t1", R"({"sites": {}})") << QByteArray() << 0
            << failed(QStringLiteral(R"(The sites tool ran but its response could not be read: {"sites": {}})"), true);
        QTest::newRow("site without id")
            << toolUse("t1") + toolResult("t1", R"([{"name": "No id"}])") << QByteArray() << 0
            << failed(QStringLiteral(R"(The sites tool ran but the response was missing fields: a site object has no "id" (or "siteId") field)"),
                      true);
        QTest::newRow("call without result")
            << toolUse("t1") + toolResult("other", "[]") << QByteArray() << 0
            << failed(QStringLiteral("Claude called the sites tool but no matching result came back from the server."));

        const QString signedOut = QStringLiteral("The claude CLI itself is signed out. Run `claude` then `/login`, then try again.");
        QTest::newRow("signed out") << finalReply("Invalid API key · Please run /login") << QByteArray() << 1
                                    << ScopeCheckResult{false, false, {}, signedOut, true};
        QTest::newRow("signed-out phrase inside the sites")
            << toolUse("t1") + toolResult("t1", R"([{"id": "s1", "name": "please RUN /login"}])") << QByteArray() << 0
            << ScopeCheckResult{false, false, {}, signedOut, true};

        const QString weekly = QStringLiteral("You've hit your weekly limit · resets Mon 9am");
        QTest::newRow("usage limit")
            << finalReply(weekly) << QByteArray() << 0
            << failed(QStringLiteral("Your Claude plan is out of usage, so the check couldn't run. This is the plan's "
                                     "limit, not a problem with the connection.\n\nClaude said: ")
                      + weekly + QStringLiteral("\n\nTry again after the reset."));
        QTest::newRow("standard error wins over the reply")
            << finalReply(weekly) << QByteArray("  MCP server failed to start\n") << 0
            << failed(kNeverCalled + QStringLiteral("\n\nMCP server failed to start"));
        QTest::newRow("nothing at all") << systemInit() << QByteArray() << 0 << failed(kNeverCalled);
        const QString longReply = QString(500, QLatin1Char('r'));
        QTest::newRow("long reply quoted in part")
            << finalReply(longReply) << QByteArray() << 0
            << failed(kNeverCalled + QStringLiteral(" It replied:\n\n") + longReply.left(300));
        QTest::newRow("long usage reply quoted in part")
            << finalReply(weekly + longReply) << QByteArray() << 0
            << failed(QStringLiteral("Your Claude plan is out of usage, so the check couldn't run. This is the plan's "
                                     "limit, not a problem with the connection.\n\nClaude said: ")
                      + (weekly + longReply).left(200) + QStringLiteral("\n\nTry again after the reset."));
    }

    void analysis()
    {
        QFETCH(QByteArray, standardOutput);
        QFETCH(QByteArray, standardError);
        QFETCH(int, exitCode);
        QFETCH(ScopeCheckResult, expected);
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());
        claude.answer(QStringLiteral("-p"), {standardOutput, standardError, exitCode, false, std::nullopt});

        const ScopeCheckResult result = QCoro::waitFor(ClaudeCLI::verifySites(driver, kName, kEndpoint));
        QCOMPARE(result.message, expected.message);
        QCOMPARE(result, expected);

        const QList<QStringList> calls = claude.calls();
        QCOMPARE(calls.size(), 1);
        const QString configPath = calls.first().value(5);
        QVERIFY(configPath.startsWith(*driver.privateWorkingDirectory() + QStringLiteral("/quorvane-mcp-")));
        QVERIFY2(!QFileInfo::exists(configPath), "the configuration file outlived the check");
    }

    void commandLineAndConfiguration()
    {
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());
        claude.answer(QStringLiteral("-p"), {toolUse("t1") + toolResult("t1", "[]"), {}, 0, false, std::nullopt});
        QVERIFY(QCoro::waitFor(ClaudeCLI::verifySites(driver, kName, kEndpoint)).ok);

        const QList<QStringList> calls = claude.calls();
        QCOMPARE(calls.size(), 1);
        const QStringList arguments = calls.first();
        QCOMPARE(arguments.size(), 14);
        const QString prompt = QStringLiteral(
            "Call the sites tool on the only MCP server available to you and list every site it can access. "
            "Reply with nothing but the tool's JSON. No prose, no code fences.");
        QCOMPARE(prompt.size(), 160);
        const QStringList expected = {QStringLiteral("-p"), prompt, QStringLiteral("--allowedTools"), kTool,
                                      QStringLiteral("--mcp-config"), arguments.at(5), QStringLiteral("--strict-mcp-config"),
                                      QStringLiteral("--setting-sources"), QStringLiteral("project,local"),
                                      QStringLiteral("--permission-mode"), QStringLiteral("dontAsk"),
                                      QStringLiteral("--output-format"), QStringLiteral("stream-json"), QStringLiteral("--verbose")};
        QCOMPARE(arguments, expected);
        QVERIFY(QRegularExpression(QStringLiteral("/quorvane-mcp-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.json$"))
                    .match(arguments.at(5))
                    .hasMatch());
        const QByteArray config = R"({"mcpServers":{"webflow-acme":{"type":"http","url":"https://mcp.webflow.com/mcp"}}})";
        QCOMPARE(claude.mcpConfig(), config);
        QCOMPARE(claude.mcpConfigMode(), QStringLiteral("600"));
    }

    void timeOutEvenWithGoodPartialOutput()
    {
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());
        claude.answer(QStringLiteral("-p"), {toolUse("t1") + toolResult("t1", "[]"), {}, 0, true, std::nullopt});

        const ScopeCheckResult result = QCoro::waitFor(ClaudeCLI::verifySites(driver, kName, kEndpoint, 500ms));
        QCOMPARE(result, failed(QStringLiteral("The scope check timed out after 3 minutes and was stopped. Nothing was changed.")));
        QVERIFY(!QFileInfo::exists(claude.calls().value(0).value(5)));
    }

    void cancelledBeforeStart()
    {
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());
        claude.answer(QStringLiteral("-p"), {toolUse("t1") + toolResult("t1", "[]"), {}, 0, false, std::nullopt});
        driver.runs().cancel(QStringLiteral("verify:") + kName);

        const ScopeCheckResult result = QCoro::waitFor(ClaudeCLI::verifySites(driver, kName, kEndpoint));
        QVERIFY(!result.ok);
        QVERIFY(!result.toolRan);
        QVERIFY2(result.message.startsWith(kNeverCalled + QStringLiteral("\n\n")), qPrintable(result.message));
        QVERIFY2(result.message.contains(QStringLiteral("cancelled")), qPrintable(result.message));
        QVERIFY(claude.calls().isEmpty());
        QCOMPARE(QDir(*driver.privateWorkingDirectory()).entryList({QStringLiteral("quorvane-mcp-*")}, QDir::Files),
                 QStringList());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("message");

        QTest::newRow("other lane") << QStringLiteral("quorvane-beta-webflow-acme") << kEndpoint
                                    << QStringLiteral("\"quorvane-beta-webflow-acme\" is not a name this app will verify.");
        QTest::newRow("leading hyphen") << QStringLiteral("-acme") << kEndpoint
                                        << QStringLiteral("\"-acme\" is not a name this app will verify.");
        QTest::newRow("dot") << QStringLiteral("webflow.acme") << kEndpoint
                             << QStringLiteral("\"webflow.acme\" is not a name this app will verify.");
        QTest::newRow("line break shown safely") << QStringLiteral("webflow-\nacme") << kEndpoint
                                                 << QStringLiteral("\"webflow-·acme\" is not a name this app will verify.");
        QTest::newRow("not Webflow") << kName << QStringLiteral("https://example.com/mcp")
                                     << QStringLiteral("\"webflow-acme\" is not registered at a Webflow endpoint.");
    }

    void refusals()
    {
        QFETCH(QString, name);
        QFETCH(QString, url);
        QFETCH(QString, message);
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());

        QCOMPARE(QCoro::waitFor(ClaudeCLI::verifySites(driver, name, url)), failed(message));
        QVERIFY(claude.calls().isEmpty());
        QCOMPARE(QDir(*driver.privateWorkingDirectory()).entryList({QStringLiteral("quorvane-mcp-*")}, QDir::Files),
                 QStringList());
    }

    void extractSiteObjects_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("count");

        QTest::newRow("bare array") << QByteArray(R"([{"id": 1}, {"id": 2}])") << 2;
        QTest::newRow("empty array") << QByteArray("[]") << 0;
        QTest::newRow("array with a number") << QByteArray(R"([{"id": 1}, 2])") << -1;
        QTest::newRow("result then items") << QByteArray(R"({"result": {"items": [{"id": 1}]}})") << 1;
        QTest::newRow("empty object under sites falls through")
            << QByteArray(R"({"sites": {}, "results": [{"id": 1}]})") << 1;
        QTest::newRow("first key that gives a list wins")
            << QByteArray(R"({"items": [{"id": 1}], "data": [{"id": 1}, {"id": 2}]})") << 1;
        QTest::newRow("nothing") << QByteArray(R"({"other": []})") << -1;
    }

    void extractSiteObjects()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, count);
        const QJsonDocument document = QJsonDocument::fromJson(json);
        const std::optional<QJsonArray> found = ClaudeCLI::extractSiteObjects(
            document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object()));
        QCOMPARE(found ? int(found->size()) : -1, count);
    }

    void quotedString()
    {
        // A JSON text that spells an array inside a string is not a list.
        QCOMPARE(ClaudeCLI::extractSiteObjects(QJsonValue(QStringLiteral("[]"))), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(tst_ScopeCheck)
#include "tst_ScopeCheck.moc"
