// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/ClaudeDriver.h"
#include "cli/RegistryFile.h"
#include "cli/RegistryReader.h"

#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QtConcurrent>

#include <sys/stat.h>
#include <unistd.h>

using ClaudeCLI::RegisteredServer;
using Reason = UnrecognizedServer::Reason;

namespace {

const QString kEndpoint = QStringLiteral("https://mcp.webflow.com/mcp");
const QString kFolder = QStringLiteral("/home/someone/site");

QJsonObject http(const QString &url, const QString &type = QStringLiteral("http"))
{
    return {{QStringLiteral("type"), type}, {QStringLiteral("url"), url}};
}

QByteArray registry(const QJsonObject &user, const QJsonObject &projects = {})
{
    QJsonObject top{{QStringLiteral("numStartups"), 7}, {QStringLiteral("mcpServers"), user}};
    if (!projects.isEmpty())
        top.insert(QStringLiteral("projects"), projects);
    return QJsonDocument(top).toJson();
}

QJsonObject projectWith(const QJsonObject &servers)
{
    return {{QStringLiteral("allowedTools"), QJsonArray()}, {QStringLiteral("mcpServers"), servers}};
}

UnrecognizedServer entry(const QString &name, std::optional<QString> url, std::optional<QString> transport,
                         Reason reason, std::optional<QString> folder = std::nullopt)
{
    return {name, std::move(url), std::move(transport), reason, std::move(folder)};
}

void writeRegistry(const TempHome &home, const QByteArray &content)
{
    QFile file(home.filePath(QStringLiteral(".claude.json")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

/// Whether this process maps the file now.
bool isMapped(const QString &path)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(QFile::encodeName(path));
}

} // namespace

class tst_RegistryReader : public QObject
{
    Q_OBJECT

private slots:
    void classification_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<RegisteredServer>>("servers");
        QTest::addColumn<QList<UnrecognizedServer>>("unrecognized");

        const QString name = QStringLiteral("webflow-acme");
        const QList<RegisteredServer> acme{{name, kEndpoint}};
        QTest::newRow("managed") << registry({{name, http(kEndpoint)}}) << acme << QList<UnrecognizedServer>{};

        const QStringList stillManaged = {
            QStringLiteral("HTTPS://MCP.WEBFLOW.COM/MCP/"), QStringLiteral("https://mcp.webflow.com:443/mcp"),
            QStringLiteral("https://mcp.webflow.com/sse"), QStringLiteral("  https://mcp.webflow.com/mcp\n")};
        for (const QString &url : stillManaged) {
            QTest::addRow("managed at %s", qPrintable(url.trimmed()))
                << registry({{name, http(url, QStringLiteral("HTTP"))}}) << QList<RegisteredServer>{{name, url}}
                << QList<UnrecognizedServer>{};
        }
        const QStringList elsewhere = {
            QStringLiteral("https://mcp.webflow.com/mcp?x=1"), QStringLiteral("https://mcp.webflow.com/mcp?"),
            QStringLiteral("https://mcp.webflow.com/mcp#top"), QStringLiteral("https://me@mcp.webflow.com/mcp"),
            QStringLiteral("https://mcp.webflow.com:8443/mcp"), QStringLiteral("https://mcp.webflow.com/mcp/extra"),
            QStringLiteral("http://mcp.webflow.com/mcp")};
        for (const QString &url : elsewhere) {
            QTest::addRow("unexpected endpoint %s", qPrintable(url))
                << registry({{name, http(url, QStringLiteral("streamable-http"))}}) << QList<RegisteredServer>{}
                << QList<UnrecognizedServer>{entry(name, url, QStringLiteral("streamable-http"), Reason::unexpectedEndpoint)};
        }

        QJsonObject contradictory = http(kEndpoint);
        contradictory.insert(QStringLiteral("command"), QStringLiteral("npx"));
        QTest::newRow("type and command") << registry({{name, contradictory}}) << QList<RegisteredServer>{}
                                          << QList<UnrecognizedServer>{entry(name, kEndpoint,
                                                                             QStringLiteral("contradictory: declares http but carries command: npx"),
                                                                             Reason::transportNotHTTP)};
        QJsonObject unnamed = http(kEndpoint);
        unnamed.insert(QStringLiteral("args"), QJsonArray{QStringLiteral("-y")});
        QTest::newRow("type and args") << registry({{name, unnamed}}) << QList<RegisteredServer>{}
                                       << QList<UnrecognizedServer>{entry(name, kEndpoint,
                                                                          QStringLiteral("contradictory: declares http but carries command: (unnamed)"),
                                                                          Reason::transportNotHTTP)};
        const QJsonObject stdio{{QStringLiteral("command"), QStringLiteral("npx")},
                                {QStringLiteral("args"), QJsonArray{QStringLiteral("-y"), 3, QStringLiteral("pkg")}}};
        QTest::newRow("stdio") << registry({{name, stdio}}) << QList<RegisteredServer>{}
                               << QList<UnrecognizedServer>{entry(name, std::nullopt, QStringLiteral("stdio: npx -y pkg"),
                                                                  Reason::transportNotHTTP)};
        const QJsonObject transportKey{{QStringLiteral("type"), 5}, {QStringLiteral("transport"), QStringLiteral("sse")},
                                       {QStringLiteral("url"), kEndpoint}};
        QTest::newRow("transport key when type is no text")
            << registry({{name, transportKey}}) << acme << QList<UnrecognizedServer>{};
        QTest::newRow("entry is a number") << registry({{name, 42}}) << QList<RegisteredServer>{}
                                           << QList<UnrecognizedServer>{entry(name, std::nullopt, std::nullopt, Reason::transportNotHTTP)};

        QTest::newRow("unsafe name") << registry({{QStringLiteral("webflow-bad name"), http(kEndpoint)}})
                                     << QList<RegisteredServer>{}
                                     << QList<UnrecognizedServer>{entry(QStringLiteral("webflow-bad name"), kEndpoint,
                                                                        QStringLiteral("http"), Reason::unsafeName)};
        QTest::newRow("other tool left out")
            << registry({{QStringLiteral("github"), http(QStringLiteral("https://api.githubcopilot.com/mcp"))}})
            << QList<RegisteredServer>{} << QList<UnrecognizedServer>{};
        QTest::newRow("other name at the Webflow endpoint")
            << registry({{QStringLiteral("github"), http(kEndpoint)}})
            << QList<RegisteredServer>{{QStringLiteral("github"), kEndpoint}} << QList<UnrecognizedServer>{};

        const QString beta = QStringLiteral("quorvane-beta-webflow-acme");
        QTest::newRow("other lane in user scope")
            << registry({{beta, http(kEndpoint)}}) << QList<RegisteredServer>{}
            << QList<UnrecognizedServer>{entry(beta, kEndpoint, QStringLiteral("http"), Reason::foreignLane)};
        QTest::newRow("other lane in a project")
            << registry({}, {{kFolder, projectWith({{beta, http(kEndpoint)}})}}) << QList<RegisteredServer>{}
            << QList<UnrecognizedServer>{entry(beta, kEndpoint, QStringLiteral("http"), Reason::foreignLane, kFolder)};

        const QString projectUrl = QStringLiteral("https://mcp.webflow.com/sse");
        QTest::newRow("shadowed by a project entry")
            << registry({{name, http(kEndpoint)}}, {{kFolder, projectWith({{name, http(projectUrl, QStringLiteral("sse"))}})}})
            << QList<RegisteredServer>{}
            << QList<UnrecognizedServer>{entry(name, projectUrl, QStringLiteral("sse"), Reason::localScopeShadow)};
        QTest::newRow("project scoped")
            << registry({}, {{kFolder, projectWith({{QStringLiteral("webflow-other"), http(kEndpoint)}})}})
            << QList<RegisteredServer>{}
            << QList<UnrecognizedServer>{entry(QStringLiteral("webflow-other"), kEndpoint, QStringLiteral("http"),
                                               Reason::projectScoped, kFolder)};
        QTest::newRow("project entry of another tool left out")
            << registry({}, {{kFolder, projectWith({{QStringLiteral("github"), http(QStringLiteral("https://x.example/mcp"))}})}})
            << QList<RegisteredServer>{} << QList<UnrecognizedServer>{};
        QTest::newRow("first folder wins")
            << registry({}, {{QStringLiteral("/a"), projectWith({{QStringLiteral("webflow-x"), http(kEndpoint)}})},
                             {QStringLiteral("/b"), projectWith({{QStringLiteral("webflow-x"), http(projectUrl)}})}})
            << QList<RegisteredServer>{}
            << QList<UnrecognizedServer>{entry(QStringLiteral("webflow-x"), kEndpoint, QStringLiteral("http"),
                                               Reason::projectScoped, QStringLiteral("/a"))};

        QTest::newRow("wrong types are empty")
            << QByteArray(R"({"mcpServers": [1], "projects": {"/p": 3, "/q": {"mcpServers": "x"}}})")
            << QList<RegisteredServer>{} << QList<UnrecognizedServer>{};

        // Both lists sort by code point: "Z" < "a" < "é" < "😀".
        QTest::newRow("sorted by code point")
            << registry({{QStringLiteral("webflow-é"), http(kEndpoint)},
                         {QStringLiteral("webflow-😀"), http(kEndpoint)},
                         {QStringLiteral("webflow-\uFF21"), http(kEndpoint)},
                         {QStringLiteral("webflow-b"), http(kEndpoint)},
                         {QStringLiteral("webflow-a"), http(kEndpoint)},
                         {QStringLiteral("webflow-Z"), http(kEndpoint)}})
            << QList<RegisteredServer>{{QStringLiteral("webflow-Z"), kEndpoint},
                                       {QStringLiteral("webflow-a"), kEndpoint},
                                       {QStringLiteral("webflow-b"), kEndpoint}}
            << QList<UnrecognizedServer>{
                   entry(QStringLiteral("webflow-é"), kEndpoint, QStringLiteral("http"), Reason::unsafeName),
                   entry(QStringLiteral("webflow-\uFF21"), kEndpoint, QStringLiteral("http"), Reason::unsafeName),
                   entry(QStringLiteral("webflow-😀"), kEndpoint, QStringLiteral("http"), Reason::unsafeName)};
    }

    void classification()
    {
        QFETCH(QByteArray, content);
        QFETCH(QList<RegisteredServer>, servers);
        QFETCH(QList<UnrecognizedServer>, unrecognized);
        TempHome home;
        writeRegistry(home, content);

        const ClaudeCLI::RegistryRead read = ClaudeCLI::readRegistry();
        QCOMPARE(read.error, std::nullopt);
        QCOMPARE(read.servers, servers);
        QCOMPARE(read.unrecognized, unrecognized);
    }

    void unusableFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error");

        const QString unreadable = QStringLiteral("Could not read ~/.claude.json");
        const QString unparseable = QStringLiteral("Could not parse ~/.claude.json");
        QTest::newRow("top level array") << "file" << QByteArray("[]") << unparseable;
        QTest::newRow("not JSON") << "file" << QByteArray("{\"mcpServers\": ") << unparseable;
        QTest::newRow("empty") << "file" << QByteArray() << unparseable;
        // A folder in the file's place cannot be read as a file, even by root.
        QTest::newRow("folder") << "folder" << QByteArray() << unreadable;
        // Neither may hold the read: a FIFO without a writer, a device without an end.
        QTest::newRow("FIFO") << "fifo" << QByteArray() << unreadable;
        QTest::newRow("link to /dev/zero") << "zeros" << QByteArray() << unreadable;
        QTest::newRow("beyond the size limit") << "oversized" << QByteArray() << unreadable;
        QTest::newRow("not a folder on the way") << "under a file" << QByteArray() << unreadable;
    }

    void unusableFile()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        TempHome home;
        const QString path = home.filePath(QStringLiteral(".claude.json"));
        QString readPath = path;
        if (kind == u"file") {
            writeRegistry(home, content);
        } else if (kind == u"folder") {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == u"zeros") {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        } else if (kind == u"oversized") {
            // Sparse: it takes no room on the disk.
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(ClaudeCLI::kRegistrySizeLimit + 1));
        } else if (kind == u"under a file") {
            writeRegistry(home, "{}");
            readPath = path + QStringLiteral("/inside");
        }

        const ClaudeCLI::RegistryRead read = ClaudeCLI::readRegistry(readPath);
        QCOMPARE(read.error, error);
        QVERIFY(read.servers.isEmpty());
        QVERIFY(read.unrecognized.isEmpty());
        QCOMPARE(ClaudeCLI::registeredServerNames(readPath).has_value(), false);
    }

    void fileShrinkingWhileMappedIsUnparseable()
    {
        // Claude Code rewrites the file in place; cut short under the reader, it must not end the process.
        TempHome home;
        const QString path = home.filePath(QStringLiteral(".claude.json"));
        QJsonObject projects;
        for (int i = 0; i < 20000; ++i)
            projects.insert(QStringLiteral("/home/someone/project-%1").arg(i), QJsonObject{{QStringLiteral("history"), QJsonArray{i, i + 1}}});
        const QByteArray content = registry({}, projects);

        bool cutWhileMapped = false;
        for (int attempt = 0; attempt < 20 && !cutWhileMapped; ++attempt) {
            writeRegistry(home, content);
            QFuture<ClaudeCLI::RegistryFile> read = QtConcurrent::run([path] { return ClaudeCLI::readRegistryFile(path); });
            while (!read.isFinished() && !cutWhileMapped) {
                if (isMapped(path)) {
                    QCOMPARE(::truncate(QFile::encodeName(path).constData(), 0), 0);
                    cutWhileMapped = true;
                }
            }
            const ClaudeCLI::RegistryFile result = read.result();
            if (cutWhileMapped)
                QCOMPARE(result.state, ClaudeCLI::RegistryFile::State::Unparseable);
            else
                QCOMPARE(result.state, ClaudeCLI::RegistryFile::State::Parsed);
        }
        QVERIFY(cutWhileMapped);
    }

    void driverReadsItsRegistryOnItsThreads()
    {
        TempHome home;
        writeRegistry(home, registry({{QStringLiteral("webflow-acme"), http(kEndpoint)}}));
        ClaudeCLI::ClaudeDriver driver;
        QCOMPARE(driver.registryPath(), home.filePath(QStringLiteral(".claude.json")));
        const ClaudeCLI::RegistryRead read = ClaudeCLI::readRegistry(driver).result();
        QCOMPARE(read.servers, (QList<RegisteredServer>{{QStringLiteral("webflow-acme"), kEndpoint}}));
    }

    void missingFile()
    {
        TempHome home;
        QCOMPARE(ClaudeCLI::readRegistry(), ClaudeCLI::RegistryRead{});
        QCOMPARE(ClaudeCLI::registeredServerNames().has_value(), false);
    }

    void registeredNames()
    {
        TempHome home;
        writeRegistry(home, registry({{QStringLiteral("my server"), 1}, {QStringLiteral("webflow-a"), http(kEndpoint)}},
                                     {{kFolder, projectWith({{QStringLiteral("webflow-a"), http(kEndpoint)},
                                                             {QStringLiteral("github"), 2}})}}));
        const std::optional<ClaudeCLI::RegisteredNames> names = ClaudeCLI::registeredServerNames();
        QVERIFY(names);
        QCOMPARE(names->user, (QSet<QString>{QStringLiteral("my server"), QStringLiteral("webflow-a")}));
        QCOMPARE(names->local, (QSet<QString>{QStringLiteral("webflow-a"), QStringLiteral("github")}));

        writeRegistry(home, QByteArray(R"({"projects": {}})"));
        QCOMPARE(ClaudeCLI::registeredServerNames().has_value(), false);
    }
};

QTEST_GUILESS_MAIN(tst_RegistryReader)
#include "tst_RegistryReader.moc"
