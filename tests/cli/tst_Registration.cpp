// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/Registration.h"

#include "cli/ClaudeDriver.h"
#include "cli/ProcessRunner.h"
#include "support/ClaudeOnPath.h"
#include "support/FakeClaude.h"
#include "support/TempHome.h"

#include <QCoroTask>
#include <QTest>

using namespace std::chrono_literals;
using ClaudeCLI::RegistryChange;
using Reply = FakeClaude::Reply;

Q_DECLARE_METATYPE(FakeClaude::Reply)

namespace {

const QByteArray kEmptyRegistry = R"({"mcpServers": {}})";

QStringList removal(const QString &name)
{
    return {QStringLiteral("mcp"), QStringLiteral("remove"), name, QStringLiteral("-s"), QStringLiteral("user")};
}

} // namespace

class tst_Registration : public QObject
{
    Q_OBJECT

    // Only a command that hangs should meet the limit: the others get one no loaded machine reaches.
    static std::chrono::milliseconds limitFor(const FakeClaude::Reply &reply) { return reply.hangs ? 500ms : 60s; }

private slots:
    void addServer_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<bool>("runs");
        QTest::addColumn<RegistryChange>("expected");

        const QString acme = QStringLiteral("webflow-acme");
        QTest::newRow("registered") << acme << Reply{"Added HTTP MCP server webflow-acme\n", {}, 0, false, {}} << true
                                    << RegistryChange{true, QStringLiteral("Registered webflow-acme")};
        QTest::newRow("outside the lane") << QStringLiteral("acme") << Reply{} << false
                                          << RegistryChange{false, QStringLiteral("\"acme\" is outside this Quorvane lane's MCP namespace.")};
        QTest::newRow("outside the lane, line break shown safely")
            << QStringLiteral("ac\nme") << Reply{} << false
            << RegistryChange{false, QStringLiteral("\"ac·me\" is outside this Quorvane lane's MCP namespace.")};
        QTest::newRow("invalid name") << QStringLiteral("webflow-a b") << Reply{} << false
                                      << RegistryChange{false, QStringLiteral("Use only letters, numbers, hyphens and underscores.")};
        QTest::newRow("cli's own words") << acme << Reply{"", "  MCP server webflow-acme already exists in user config\n", 1, false, {}}
                                         << true
                                         << RegistryChange{false, QStringLiteral("MCP server webflow-acme already exists in user config")};
        QTest::newRow("no output") << acme << Reply{" \n", "\t", 1, false, {}} << true
                                   << RegistryChange{false, QStringLiteral("Registering webflow-acme failed (exit 1) with no output.")};
        QTest::newRow("killed by a signal") << acme << Reply{{}, {}, 137, false, {}} << true
                                            << RegistryChange{false, QStringLiteral("Registering webflow-acme failed (exit 137) with no output.")};
        QTest::newRow("hangs") << acme << Reply{"Adding…", {}, 0, true, {}} << true
                               << RegistryChange{false, QStringLiteral("Registering webflow-acme timed out. The claude CLI did not finish and was stopped.")};
    }

    void addServer()
    {
        QFETCH(QString, name);
        QFETCH(Reply, reply);
        QFETCH(bool, runs);
        QFETCH(RegistryChange, expected);
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());
        claude.answer(QStringLiteral("mcp add"), reply);

        const RegistryChange change = QCoro::waitFor(ClaudeCLI::addServer(driver, name, limitFor(reply)));
        QCOMPARE(change.message, expected.message);
        QCOMPARE(change.ok, expected.ok);
        const QList<QStringList> calls = claude.calls();
        if (!runs) {
            QVERIFY(calls.isEmpty());
            return;
        }
        const QStringList registration = {QStringLiteral("mcp"), QStringLiteral("add"), QStringLiteral("--transport"),
                                          QStringLiteral("http"), QStringLiteral("--scope"), QStringLiteral("user"),
                                          name, QStringLiteral("https://mcp.webflow.com/mcp")};
        QCOMPARE(calls, QList<QStringList>{registration});
    }

    void removeServer_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<bool>("runs");
        QTest::addColumn<RegistryChange>("expected");

        const QString acme = QStringLiteral("webflow-acme");
        const QByteArray stillThere = R"({"mcpServers": {"webflow-acme": {"type": "http"}}})";
        const QByteArray projectOnly =
            R"({"mcpServers": {}, "projects": {"/p": {"mcpServers": {"webflow-acme": {"type": "http"}}}}})";
        QTest::newRow("removed") << acme << Reply{"Removed\n", {}, 0, false, kEmptyRegistry} << true
                                 << RegistryChange{true, QStringLiteral("Removed webflow-acme")};
        QTest::newRow("name with a space goes as one argument")
            << QStringLiteral("my server") << Reply{"Removed\n", {}, 0, false, kEmptyRegistry} << true
            << RegistryChange{true, QStringLiteral("Removed my server")};
        QTest::newRow("still registered") << acme << Reply{"Removed\n", {}, 0, false, stillThere} << true
                                          << RegistryChange{false, QStringLiteral("The CLI reported success but webflow-acme is still registered in ~/.claude.json.")};
        QTest::newRow("project entry remains")
            << acme << Reply{"Removed\n", {}, 0, false, projectOnly} << true
            << RegistryChange{true, QStringLiteral("Removed webflow-acme from user scope. A project-scoped entry with the same name "
                                                   "is still in ~/.claude.json and has to be removed by hand.")};
        QTest::newRow("registry without mcpServers")
            << acme << Reply{"Removed\n", {}, 0, false, QByteArray(R"({"projects": {}})")} << true
            << RegistryChange{false, QStringLiteral("The CLI finished, but Claude's registry could not be reread. Removal is "
                                                    "unconfirmed; refresh before trying again.")};
        QTest::newRow("registry gone")
            << acme << Reply{"Removed\n", {}, 0, false, {}} << true
            << RegistryChange{false, QStringLiteral("The CLI finished, but Claude's registry could not be reread. Removal is "
                                                    "unconfirmed; refresh before trying again.")};
        QTest::newRow("cli refuses") << acme << Reply{{}, "No MCP server named \"webflow-acme\" in user scope\n", 1, false, {}}
                                     << true
                                     << RegistryChange{false, QStringLiteral("No MCP server named \"webflow-acme\" in user scope")};
        QTest::newRow("hangs") << acme << Reply{{}, {}, 0, true, {}} << true
                               << RegistryChange{false, QStringLiteral("Removing webflow-acme timed out. The claude CLI did not finish and was stopped.")};
        QTest::newRow("other lane") << QStringLiteral("quorvane-beta-webflow-acme") << Reply{} << false
                                    << RegistryChange{false, QStringLiteral("\"quorvane-beta-webflow-acme\" belongs to a different Quorvane lane.")};
        QTest::newRow("empty") << QString() << Reply{} << false
                               << RegistryChange{false, QStringLiteral("Refusing to pass \"\" to the CLI. Remove it from ~/.claude.json by hand.")};
        QTest::newRow("option") << QStringLiteral("--help") << Reply{} << false
                                << RegistryChange{false, QStringLiteral("Refusing to pass \"--help\" to the CLI. Remove it from ~/.claude.json by hand.")};
        QTest::newRow("line break") << QStringLiteral("webflow-a\nb") << Reply{} << false
                                    << RegistryChange{false, QStringLiteral("Refusing to pass \"webflow-a·b\" to the CLI. Remove it from ~/.claude.json by hand.")};
        QTest::newRow("delete character") << QStringLiteral("webflow-a\x7F") << Reply{} << false
                                          << RegistryChange{false, QStringLiteral("Refusing to pass \"webflow-a·\" to the CLI. Remove it from ~/.claude.json by hand.")};
    }

    void removeServer()
    {
        QFETCH(QString, name);
        QFETCH(Reply, reply);
        QFETCH(bool, runs);
        QFETCH(RegistryChange, expected);
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());
        claude.answer(QStringLiteral("mcp remove"), reply);

        const RegistryChange change = QCoro::waitFor(ClaudeCLI::removeServer(driver, name, limitFor(reply)));
        QCOMPARE(change.message, expected.message);
        QCOMPARE(change.ok, expected.ok);
        QCOMPARE(claude.calls(), runs ? QList<QStringList>{removal(name)} : QList<QStringList>{});
    }

    void noClaude()
    {
        TempHome home;
        const ClaudeOnPath nothing(home, home.filePath(QStringLiteral("empty")));
        ClaudeCLI::ClaudeDriver driver(nothing.configuration());
        if (QCoro::waitFor(driver.discovery().findBinary()))
            QSKIP("this machine has a claude of its own");
        QCOMPARE(QCoro::waitFor(ClaudeCLI::addServer(driver, QStringLiteral("webflow-acme"))),
                 (RegistryChange{false, QStringLiteral("claude CLI not found")}));
        QCOMPARE(QCoro::waitFor(ClaudeCLI::removeServer(driver, QStringLiteral("webflow-acme"))),
                 (RegistryChange{false, QStringLiteral("claude CLI not found")}));
    }

    void longNamesAreCutOnlyInMessages()
    {
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());
        const QString name = QStringLiteral("srv ") + QString(200, QLatin1Char('x'));
        claude.answer(QStringLiteral("mcp remove"), {"Removed\n", {}, 0, false, kEmptyRegistry});

        const RegistryChange change = QCoro::waitFor(ClaudeCLI::removeServer(driver, name));
        QCOMPARE(change, (RegistryChange{true, QStringLiteral("Removed ") + name.left(120) + QStringLiteral("…")}));
        QCOMPARE(claude.calls(), QList<QStringList>{removal(name)});
    }

    void hasASCIIControlCharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("plain") << QStringLiteral("webflow-acme é 😀") << false;
        QTest::newRow("nul") << QString(QChar(0)) << true;
        QTest::newRow("unit separator") << QStringLiteral("a\x1F") << true;
        QTest::newRow("delete") << QStringLiteral("\x7F") << true;
        QTest::newRow("C1 control is not ASCII") << QStringLiteral("a\u0085") << false;
        QTest::newRow("empty") << QString() << false;
    }

    void hasASCIIControlCharacter()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(ClaudeCLI::hasASCIIControlCharacter(text), expected);
    }
};

QTEST_GUILESS_MAIN(tst_Registration)
#include "tst_Registration.moc"
