// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppModel.h"
#include "onboarding/ReleaseNotes.h"
#include "platform/AppInfo.h"
#include "support/FakeClaude.h"
#include "support/ManualClock.h"
#include "support/RegistryJson.h"
#include "support/ManualDelay.h"
#include "support/MemorySystemLog.h"
#include "support/StoreTesting.h"
#include "support/TempHome.h"

#include <QCoro/QCoroTask>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSettings>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace std::chrono_literals;

namespace {

QJsonObject managedServers(const QStringList &names)
{
    QJsonObject servers;
    for (const QString &name : names)
        servers.insert(name, httpEntry());
    return servers;
}

// Runs a refresh to its end on the event loop, as the panel's task would.
bool refreshed(AppModel &model, bool force = true)
{
    std::optional<bool> result;
    auto task = [](AppModel &model, bool force, std::optional<bool> &result) -> QCoro::Task<> {
        result = co_await model.refresh(force);
    }(model, force, result);
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 10000))
        return false;
    return *result;
}

bool bootstrapped(AppModel &model)
{
    bool done = false;
    auto task = [](AppModel &model, bool &done) -> QCoro::Task<> {
        co_await model.bootstrap();
        done = true;
    }(model, done);
    return QTest::qWaitFor([&] { return done; }, 10000);
}

QStringList namesOf(const QList<Connection> &connections)
{
    QStringList names;
    for (const Connection &connection : connections)
        names.append(connection.name);
    return names;
}

ConnectionStatus statusOf(const AppModel &model, const QString &name)
{
    for (const Connection &connection : model.connections()) {
        if (connection.name == name)
            return connection.status;
    }
    return ConnectionStatus::unknown;
}

} // namespace

// A refresh makes the model match ~/.claude.json, keeps what it knew when the file cannot be
// used, and asks claude for each server's live status a few at a time.
class tst_AppModelRefresh : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<FakeClaude> m_claude;
    MemorySystemLog m_systemLog;
    ManualClock m_clock;
    ManualDelay m_time;

    QString settingsFile() const { return m_home->filePath(QStringLiteral("settings.ini")); }
    QString autostartFile() const { return m_home->filePath(QStringLiteral("autostart/quorvane.desktop")); }

    std::unique_ptr<AppModel> makeModel(AtomicWriter writer = {}, bool smokeTest = false,
                                        const QString &version = QStringLiteral("2.0.0"))
    {
        AppModel::Environment environment;
        environment.systemLog = &m_systemLog;
        environment.driver = m_claude->configuration();
        environment.driver.registryPath = m_home->filePath(QStringLiteral(".claude.json"));
        environment.pillDelay = m_time.delay();
        environment.clock = &m_clock;
        environment.accountPause = m_time.delay();
        environment.schedulePollDelay = m_time.delay();
        environment.storeWriter = std::move(writer);
        environment.operatingSystem = QStringLiteral("Debian GNU/Linux 12 (bookworm), kernel 6.1.0-18-amd64");
        environment.settingsFile = settingsFile();
        environment.loginItem = LoginItem(QStringLiteral("quorvane"), QStringLiteral("/usr/bin/quorvane"),
                                          m_home->filePath(QStringLiteral("autostart")));
        environment.version = version;
        environment.releaseNotes = [](const QString &version) -> std::optional<QStringList> {
            if (version == u"2.0.0")
                return QStringList{"Scheduled publishing", "Faster refresh"};
            return ReleaseNotes::linesFor(version);
        };
        environment.smokeTest = smokeTest;
        return std::make_unique<AppModel>(std::move(environment));
    }

    void writeRegistry(const QByteArray &content) { putFile(m_home->filePath(QStringLiteral(".claude.json")), content); }

    void answerStatus(const QString &line, std::chrono::milliseconds delay = 0ms, const QString &name = {})
    {
        const QString command = name.isEmpty() ? QStringLiteral("mcp get") : QStringLiteral("mcp get ") + name;
        FakeClaude::Reply reply{("Status: " + line + "\n").toUtf8(), {}, 0, false, std::nullopt, delay};
        m_claude->answer(command, reply);
    }

private slots:
    void init()
    {
        m_home = std::make_unique<TempHome>();
        m_claude = std::make_unique<FakeClaude>(*m_home);
        m_systemLog.lines.clear();
    }

    void cleanup()
    {
        m_claude.reset();
        m_home.reset();
    }

    void theListsFollowTheRegistryWithEveryReason()
    {
        QJsonObject user = managedServers({"webflow-acme", "webflow-beta"});
        user.insert(QStringLiteral("-webflow-dash"), httpEntry());
        user.insert(QStringLiteral("webflow-stdio"), QJsonObject{{QStringLiteral("command"), QStringLiteral("npx")}});
        user.insert(QStringLiteral("webflow-elsewhere"), httpEntry(QStringLiteral("https://example.com/mcp")));
        user.insert(QStringLiteral("webflow-shadowed"), httpEntry());
        user.insert(QStringLiteral("quorvane-beta-webflow-acme"), httpEntry());
        const QJsonObject folders{{QStringLiteral("/home/ada/site"),
                                   QJsonObject{{QStringLiteral("webflow-shadowed"), httpEntry()},
                                               {QStringLiteral("webflow-local"), httpEntry()}}}};
        writeRegistry(claudeRegistry(user, folders));
        answerStatus(QStringLiteral("✓ Connected"));
        const auto model = makeModel();
        QVERIFY(model->isLoading());

        QVERIFY(refreshed(*model));
        QVERIFY(!model->isLoading());
        QVERIFY(!model->isRefreshing());
        QVERIFY(!model->loadError());
        QCOMPARE(namesOf(model->connections()), (QStringList{"webflow-acme", "webflow-beta"}));
        QMap<QString, UnrecognizedServer::Reason> reasons;
        for (const UnrecognizedServer &server : model->unrecognized())
            reasons.insert(server.name, server.reason);
        using Reason = UnrecognizedServer::Reason;
        const QMap<QString, Reason> expected{
            {"-webflow-dash", Reason::unsafeName},
            {"webflow-stdio", Reason::transportNotHTTP},
            {"webflow-elsewhere", Reason::unexpectedEndpoint},
            {"webflow-shadowed", Reason::localScopeShadow},
            {"quorvane-beta-webflow-acme", Reason::foreignLane},
            {"webflow-local", Reason::projectScoped},
        };
        QCOMPARE(reasons, expected);
        QCOMPARE(model->unrecognizedRows().rowCount(), 6);
        QCOMPARE(model->connectionRows().rowCount(), 2);
        // Every managed server got its live answer, and each got a project of its own.
        QCOMPARE(statusOf(*model, "webflow-acme"), ConnectionStatus::connected);
        QCOMPARE(statusOf(*model, "webflow-beta"), ConnectionStatus::connected);
        QVERIFY(model->statusChecksInFlight().isEmpty());
        QCOMPARE(model->projectStore().projects().size(), 2);
        QVERIFY(model->connectionRows().data(model->connectionRows().index(0), ConnectionListModel::HasProjectRole).toBool());
    }

    void tenServersAreAskedAtMostFourAtOnce()
    {
        QStringList names;
        for (int i = 0; i < 10; ++i)
            names.append(QStringLiteral("webflow-site-%1").arg(i));
        writeRegistry(claudeRegistry(managedServers(names)));
        answerStatus(QStringLiteral("✓ Connected"), 300ms);
        const auto model = makeModel();
        QVERIFY(refreshed(*model));
        int asked = 0;
        for (const QStringList &call : m_claude->calls())
            asked += call.mid(0, 2) == QStringList{"mcp", "get"} ? 1 : 0;
        QCOMPARE(asked, 10);
        QVERIFY(m_claude->mostAtOnce() >= 2);
        QVERIFY2(m_claude->mostAtOnce() <= AppModel::maxConcurrentStatusChecks,
                 qPrintable(QString::number(m_claude->mostAtOnce())));
        for (const QString &name : std::as_const(names))
            QCOMPARE(statusOf(*model, name), ConnectionStatus::connected);
        QVERIFY(model->statusChecksInFlight().isEmpty());
    }

    void anUnparseableRegistryKeepsWhatWasKnownAndAMissingOneDropsIt()
    {
        writeRegistry(claudeRegistry(managedServers({"webflow-acme"})));
        answerStatus(QStringLiteral("✓ Connected"));
        const auto model = makeModel();
        QVERIFY(refreshed(*model));
        QVERIFY(model->connectionStore().connections().contains(QStringLiteral("webflow-acme")));
        const QList<Connection> before = model->connections();
        QCOMPARE(before.constFirst().status, ConnectionStatus::connected);

        writeRegistry("{ not json");
        QSignalSpy errors(model.get(), &AppModel::loadErrorChanged);
        QVERIFY(refreshed(*model));
        QCOMPARE(model->loadError(), std::optional<QString>(QStringLiteral("Could not parse ~/.claude.json")));
        QCOMPARE(model->property("loadError").toString(), QStringLiteral("Could not parse ~/.claude.json"));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(model->connections(), before);
        QVERIFY(model->unrecognized().isEmpty());
        QVERIFY(model->connectionStore().connections().contains(QStringLiteral("webflow-acme")));
        QVERIFY(m_systemLog.lines.join(u'\n').contains(QStringLiteral("Could not parse ~/.claude.json")));

        QFile::remove(m_home->filePath(QStringLiteral(".claude.json")));
        QVERIFY(refreshed(*model));
        QVERIFY(!model->loadError());
        QVERIFY(model->connections().isEmpty());
        QCOMPARE(model->connectionRows().rowCount(), 0);
        QVERIFY(model->connectionStore().connections().isEmpty());
        // Refresh never removes projects; recovering interrupted work is what deals with them.
        QCOMPARE(model->projectStore().projects().size(), 1);
    }

    void aConnectedServerIsAskedAgainBeforeItShowsAsBroken_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("now");
        QTest::addColumn<int>("asked");
        QTest::addColumn<ConnectionStatus>("shown");
        QTest::newRow("connected, then failing") << "✓ Connected" << "✗ Failed to connect" << 2 << ConnectionStatus::failed;
        QTest::newRow("connected, then needs auth") << "✓ Connected" << "⚠ Needs authentication" << 1 << ConnectionStatus::needsAuth;
        QTest::newRow("failing, then failing") << "✗ Failed to connect" << "✗ Failed to connect" << 1 << ConnectionStatus::failed;
    }

    void aConnectedServerIsAskedAgainBeforeItShowsAsBroken()
    {
        QFETCH(QString, before);
        QFETCH(QString, now);
        QFETCH(int, asked);
        QFETCH(ConnectionStatus, shown);
        writeRegistry(claudeRegistry(managedServers({"webflow-acme"})));
        answerStatus(before);
        const auto model = makeModel();
        QVERIFY(refreshed(*model));
        const qsizetype callsBefore = m_claude->calls().size();
        answerStatus(now);
        QVERIFY(refreshed(*model));
        QCOMPARE(m_claude->calls().size() - callsBefore, asked);
        QCOMPARE(statusOf(*model, "webflow-acme"), shown);
    }

    void anInterruptedOperationIsFinishedOrExplained_data()
    {
        QTest::addColumn<QByteArray>("intent");
        QTest::addColumn<QStringList>("registered");
        QTest::addColumn<QString>("unwritable");
        QTest::addColumn<bool>("projectStays");
        QTest::addColumn<QString>("mcpName");
        QTest::addColumn<bool>("intentStays");
        QTest::addColumn<QString>("issue");
        QTest::addColumn<QStringList>("metaNames");

        const QByteArray unregister = R"({"unregister": {"name": "webflow-a"}})";
        const QByteArray remove = R"({"remove": {"name": "webflow-a"}})";
        const QByteArray rename = R"({"rename": {"from": "webflow-a", "to": "webflow-b"}})";
        QTest::newRow("unregister, still registered")
            << unregister << QStringList{"webflow-a"} << QString() << true << "webflow-a" << false
            << "The interrupted unregister did not change Claude's registry. The connection was kept; retry the "
               "action if you still want to disconnect it."
            << QStringList{"webflow-a"};
        QTest::newRow("unregister, gone") << unregister << QStringList{} << QString() << true << "webflow-a" << false
                                          << QString() << QStringList{};
        QTest::newRow("unregister, gone, metadata read-only")
            << unregister << QStringList{} << "connections.json" << true << "webflow-a" << true
            << "Claude no longer has this registration, but local connection metadata is read-only. Restore "
               "persistence, then refresh to finish recovery."
            << QStringList{"webflow-a"};
        QTest::newRow("removal, still registered")
            << remove << QStringList{"webflow-a"} << QString() << true << "webflow-a" << false
            << "The interrupted removal did not change Claude's registry. The project was kept; use Remove Project "
               "again if you still want to remove it."
            << QStringList{"webflow-a"};
        QTest::newRow("removal, gone") << remove << QStringList{} << QString() << false << QString() << false
                                       << QString() << QStringList{};
        QTest::newRow("removal, gone, metadata read-only")
            << remove << QStringList{} << "connections.json" << true << "webflow-a" << true
            << "Claude removed this registration, but local connection metadata is read-only. Restore persistence, "
               "then refresh to finish removing the project."
            << QStringList{"webflow-a"};
        QTest::newRow("rename, only the new name") << rename << QStringList{"webflow-b"} << QString() << true
                                                   << "webflow-b" << false << QString() << QStringList{"webflow-b"};
        QTest::newRow("rename, only the new name, metadata read-only")
            << rename << QStringList{"webflow-b"} << "connections.json" << true << "webflow-a" << true
            << "Claude completed the rename, but local connection metadata is read-only. Restore persistence, then "
               "refresh to finish recovery."
            << QStringList{"webflow-a"};
        QTest::newRow("rename, only the new name, projects read-only")
            // The explanation cannot be saved either: the project store's own problem shows instead.
            << rename << QStringList{"webflow-b"} << "projects.json" << true << "webflow-a" << true << QString()
            << QStringList{"webflow-b"};
        QTest::newRow("rename, only the new name, which the project refuses")
            << QByteArray(R"({"rename": {"from": "webflow-a", "to": "acme-b"}})") << QStringList{"acme-b"} << QString()
            << true << "webflow-a" << true
            << "Claude completed the rename, but the project could not be updated locally. Restore project "
               "persistence, then refresh."
            << QStringList{"acme-b"};
        QTest::newRow("rename, both names")
            << rename << QStringList{"webflow-a", "webflow-b"} << QString() << true << "webflow-a" << true
            << "Both the old and new MCP names exist after an interrupted rename. Remove the unintended "
               "registration, then refresh to finish recovery."
            << QStringList{"webflow-a", "webflow-b"};
        QTest::newRow("rename, neither name")
            << rename << QStringList{} << QString() << true << "webflow-a" << true
            << "Neither MCP name exists after an interrupted rename. Restore either the old or new registration, "
               "then refresh to finish recovery."
            << QStringList{};
        QTest::newRow("rename, only the old name")
            << rename << QStringList{"webflow-a"} << QString() << true << "webflow-a" << false
            << "The interrupted rename left the original registration intact. Retry Rename MCP if you still want "
               "the new name."
            << QStringList{"webflow-a"};
    }

    void anInterruptedOperationIsFinishedOrExplained()
    {
        QFETCH(QByteArray, intent);
        QFETCH(QStringList, registered);
        QFETCH(QString, unwritable);
        QFETCH(bool, projectStays);
        QFETCH(QString, mcpName);
        QFETCH(bool, intentStays);
        QFETCH(QString, issue);
        QFETCH(QStringList, metaNames);

        const QString folder = m_home->appDataDir();
        putFile(folder + QStringLiteral("/projects.json"),
                R"({"version": 1, "projects": [{"id": "0f8fad5b-d9cb-469f-a165-70867728950e", "title": "Acme",
                    "mcpName": "webflow-a", "createdAt": "2025-03-01T09:30:00Z", "registryIntent": )"
                    + intent + "}]}");
        putFile(folder + QStringLiteral("/connections.json"),
                R"({"version": 1, "connections": {"webflow-a": {"addedAt": 700000000}}})");
        writeRegistry(claudeRegistry(managedServers(registered)));
        answerStatus(QStringLiteral("✓ Connected"));
        const auto model = makeModel([unwritable](const QByteArray &bytes, const QString &path) -> std::optional<QString> {
            if (!unwritable.isEmpty() && path.endsWith(u'/' + unwritable))
                return QStringLiteral("The disk is full.");
            return StoreFile::writeAtomically(bytes, path);
        });
        QVERIFY(model->projectStore().projects().constFirst().registryIntent);

        QVERIFY(refreshed(*model));
        const QList<Project> &projects = model->projectStore().projects();
        const auto project = std::find_if(projects.cbegin(), projects.cend(), [](const Project &project) {
            return project.title == u"Acme";
        });
        QCOMPARE(project != projects.cend(), projectStays);
        QCOMPARE(model->connectionStore().connections().keys(), metaNames);
        QCOMPARE(model->persistenceIssue().has_value(), !unwritable.isEmpty());
        if (!projectStays)
            return;
        QCOMPARE(project->mcpName, mcpName);
        QCOMPARE(project->registryIntent.has_value(), intentStays);
        QCOMPARE(project->issue.value_or(QString()), issue);
        if (!issue.isEmpty())
            QCOMPARE(project->issueRecovery, std::optional(Project::IssueRecovery::reconcileRegistry));

        // An explanation given as the intent was settled lasts one refresh; one of an unfinished
        // operation is given again.
        QVERIFY(refreshed(*model));
        const Project &again = model->projectStore().projects().constFirst();
        QCOMPARE(again.issue.value_or(QString()), intentStays ? issue : QString());
    }

    void theDiagnosticsSayWhatTheModelKnows_data()
    {
        QTest::addColumn<QByteArray>("registryContent");
        QTest::addColumn<QByteArray>("authAnswer");
        QTest::addColumn<QStringList>("facts");
        QJsonObject user = managedServers({"webflow-acme"});
        user.insert(QStringLiteral("quorvane-beta-webflow-acme"), httpEntry());
        QTest::newRow("claude signed out, one entry of the other lane")
            << claudeRegistry(user) << QByteArray(R"({"loggedIn": false})")
            << QStringList{"Claude CLI: 99.0.0", "Connections: 1", "Unrecognized entries: 1",
                           "Account profile cache: missing", "Cloud session: temporarily unavailable",
                           "Claude Code: signed out"};
        QTest::newRow("registry unreadable, claude signed in")
            << QByteArray("{ not json") << QByteArray(R"({"loggedIn": true, "email": "ada@example.com"})")
            << QStringList{"Claude CLI: 99.0.0", "Connections: 0", "Account profile cache: missing",
                           "Cloud session: temporarily unavailable", "Load error: Could not parse ~/.claude.json"};
    }

    void theDiagnosticsSayWhatTheModelKnows()
    {
        QFETCH(QByteArray, registryContent);
        QFETCH(QByteArray, authAnswer);
        QFETCH(QStringList, facts);
        writeRegistry(registryContent);
        answerStatus(QStringLiteral("✓ Connected"));
        m_claude->answer(QStringLiteral("auth status"), {authAnswer, {}, 0, false, std::nullopt});
        const auto model = makeModel();
        QVERIFY(refreshed(*model));
        bool asked = false;
        auto task = [](AppModel &model, bool &asked) -> QCoro::Task<> {
            co_await model.refreshClaudeAuth();
            asked = true;
        }(*model, asked);
        QTRY_VERIFY(asked);

        const QString expected = QStringLiteral("Send to: support@velliscor.studio\n\nQuorvane ") + appVersion()
            + QStringLiteral("\nDebian GNU/Linux 12 (bookworm), kernel 6.1.0-18-amd64\n") + facts.join(u'\n')
            + QStringLiteral("\n\nPlease describe what happened, and what you expected instead:\n");
        QCOMPARE(model->diagnosticsReport(), expected);
        // Names of servers and the account's e-mail stay out of it.
        QVERIFY(!model->diagnosticsReport().contains(QStringLiteral("webflow-acme")));
        QVERIFY(!model->diagnosticsReport().contains(QStringLiteral("ada@")));
    }

    // "Recheck" may be pressed again before the first answer: the answer to the last press decides,
    // however the two arrive.
    void onlyTheNewestClaudeCheckIsKept()
    {
        writeRegistry(claudeRegistry(managedServers({"webflow-acme"})));
        answerStatus(QStringLiteral("✓ Connected"));
        const auto model = makeModel();
        QVERIFY(refreshed(*model));
        m_claude->answerInTurn(QStringLiteral("auth status"),
                               {{R"({"loggedIn": false})", {}, 0, false, std::nullopt, 400ms},
                                {R"({"loggedIn": true, "email": "ada@example.com"})", {}, 0, false, std::nullopt}});
        QSignalSpy changes(model.get(), &AppModel::claudeAuthChanged);
        const auto asked = [this] {
            qsizetype count = 0;
            for (const QStringList &call : m_claude->calls())
                count += call.join(u' ').contains(QStringLiteral("auth status"));
            return count;
        };
        bool olderDone = false;
        auto older = [](AppModel &model, bool &done) -> QCoro::Task<> {
            co_await model.refreshClaudeAuth();
            done = true;
        }(*model, olderDone);
        // The slow check has taken the first answer before the second is asked.
        QTRY_COMPARE(asked(), 1);
        bool newerDone = false;
        auto newer = [](AppModel &model, bool &done) -> QCoro::Task<> {
            co_await model.refreshClaudeAuth();
            done = true;
        }(*model, newerDone);
        QTRY_VERIFY(olderDone && newerDone);
        QCOMPARE(model->claudeAuthState(), QStringLiteral("signedIn"));
        QCOMPARE(model->claudeAuthEmail(), QStringLiteral("ada@example.com"));
        QCOMPARE(changes.count(), 1);

        // What a flow learns outdates a check still on its way.
        m_claude->answer(QStringLiteral("auth status"), {R"({"loggedIn": true})", {}, 0, false, std::nullopt, 200ms});
        bool done = false;
        auto overtaken = [](AppModel &model, bool &done) -> QCoro::Task<> {
            QCoro::Task<> check = model.refreshClaudeAuth();
            model.setClaudeAuth(ClaudeCLI::AuthStatus::signedOut());
            co_await check;
            done = true;
        }(*model, done);
        QTRY_VERIFY(done);
        QCOMPARE(model->claudeAuthState(), QStringLiteral("signedOut"));
    }

    void nothingRunsBeforeTheFirstShowing()
    {
        writeRegistry(claudeRegistry(managedServers({"webflow-acme"})));
        answerStatus(QStringLiteral("✓ Connected"));
        m_claude->answer(QStringLiteral("auth status"), {R"({"loggedIn": false})", {}, 0, false, std::nullopt});
        const auto model = makeModel();
        QTest::qWait(50);
        QVERIFY(m_claude->calls().isEmpty());
        QVERIFY(model->isLoading());
        QVERIFY(!QFileInfo::exists(settingsFile()));

        QVERIFY(bootstrapped(*model));
        QVERIFY(model->didBootstrap());
        QCOMPARE(model->claudeAuth(), ClaudeCLI::AuthStatus::signedOut());
        QCOMPARE(statusOf(*model, "webflow-acme"), ConnectionStatus::connected);
        QVERIFY(model->environment().binary);
        QCOMPARE(model->refreshGeneration(), 1U);
        const qsizetype calls = m_claude->calls().size();

        // Later showings only refresh.
        QVERIFY(bootstrapped(*model));
        QCOMPARE(model->refreshGeneration(), 2U);
        QCOMPARE(m_claude->calls().size(), calls + 1);
    }

    void aSmokeTestWritesNothing()
    {
        writeRegistry(claudeRegistry(managedServers({"webflow-acme"})));
        answerStatus(QStringLiteral("✓ Connected"));
        const auto model = makeModel({}, true);
        QVERIFY(bootstrapped(*model));
        QVERIFY(!QFileInfo::exists(settingsFile()));
        QVERIFY(!QFileInfo::exists(m_home->filePath(QStringLiteral("autostart"))));
        QVERIFY(!model->showingIntro());
        QVERIFY(!model->launchAtLogin());
        // The sign-in question and the refresh still run.
        QCOMPARE(m_claude->calls().constFirst(), (QStringList{"auth", "status"}));
        QCOMPARE(statusOf(*model, "webflow-acme"), ConnectionStatus::connected);
    }

    void theFirstRunDefaultsApplyOnce_data()
    {
        QTest::addColumn<QByteArray>("settingsBefore");
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("intro");
        QTest::addColumn<QStringList>("whatsNew");
        QTest::addColumn<QString>("lastSeen");
        QTest::addColumn<bool>("launchAtLogin");
        QTest::newRow("first launch") << QByteArray() << "2.0.0" << true << QStringList{} << "2.0.0" << true;
        const QByteArray seen = "[General]\ndidDefaultLaunchAtLogin=true\nhasSeenIntro=true\nlastSeenVersion=";
        QTest::newRow("same version again, start at login turned off")
            << seen + "2.0.0\n" << "2.0.0" << false << QStringList{} << "2.0.0" << false;
        QTest::newRow("new version") << seen + "1.0.0\n" << "2.0.0" << false
                                     << QStringList{"Scheduled publishing", "Faster refresh"} << "2.0.0" << false;
        QTest::newRow("new version without notes") << seen + "1.0.0\n" << "2.1.0" << false << QStringList{} << "2.1.0"
                                                   << false;
        QTest::newRow("a feature release after an update")
            << seen + "0.3.2\n" << "0.4.0" << false << *ReleaseNotes::linesFor(QStringLiteral("0.4.0")) << "0.4.0"
            << false;
        QTest::newRow("a downgrade shows the older version's notes")
            << seen + "0.4.0\n" << "0.3.0" << false << *ReleaseNotes::linesFor(QStringLiteral("0.3.0")) << "0.3.0"
            << false;
        QTest::newRow("a first launch of a feature release records it without a card")
            << QByteArray() << "0.4.0" << true << QStringList{} << "0.4.0" << true;
        QTest::newRow("new version while the intro shows")
            << QByteArray("[General]\ndidDefaultLaunchAtLogin=true\nlastSeenVersion=1.0.0\n") << "2.0.0" << true
            << QStringList{} << "1.0.0" << false;
    }

    void theFirstRunDefaultsApplyOnce()
    {
        QFETCH(QByteArray, settingsBefore);
        QFETCH(QString, version);
        QFETCH(bool, intro);
        QFETCH(QStringList, whatsNew);
        QFETCH(QString, lastSeen);
        QFETCH(bool, launchAtLogin);
        if (!settingsBefore.isEmpty())
            putFile(settingsFile(), settingsBefore);
        writeRegistry(claudeRegistry({}));
        const auto model = makeModel({}, false, version);
        QVERIFY(bootstrapped(*model));
        QCOMPARE(model->showingIntro(), intro);
        QCOMPARE(model->whatsNew().value_or(QStringList()), whatsNew);
        QCOMPARE(model->launchAtLogin(), launchAtLogin);
        QCOMPARE(QFileInfo::exists(autostartFile()), launchAtLogin);
        const QSettings settings(settingsFile(), QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("lastSeenVersion")).toString(), lastSeen);
        QVERIFY(settings.value(QStringLiteral("didDefaultLaunchAtLogin")).toBool());
        QVERIFY(settings.value(QStringLiteral("hasSeenIntro")).toBool());
        if (!whatsNew.isEmpty()) {
            model->dismissWhatsNew();
            QVERIFY(!model->whatsNew());
        }
    }

    void anUnforcedRefreshWaitsForTheOneUnderWayAndAForcedOneSupersedesIt()
    {
        writeRegistry(claudeRegistry(managedServers({"webflow-acme"})));
        answerStatus(QStringLiteral("✗ Failed to connect"), 400ms);
        const auto model = makeModel();
        std::optional<bool> first;
        auto running = [](AppModel &model, std::optional<bool> &result) -> QCoro::Task<> {
            result = co_await model.refresh(true);
        }(*model, first);
        QVERIFY(model->isRefreshing());
        QTRY_VERIFY(!model->statusChecksInFlight().isEmpty());
        QVERIFY(!refreshed(*model, false));
        QCOMPARE(model->refreshGeneration(), 1U);

        // The newer refresh's answer is the one that shows; the older one's is dropped.
        answerStatus(QStringLiteral("✓ Connected"), 0ms, QStringLiteral("webflow-acme"));
        QVERIFY(refreshed(*model, true));
        QCOMPARE(model->refreshGeneration(), 2U);
        QCOMPARE(statusOf(*model, "webflow-acme"), ConnectionStatus::connected);
        QTRY_VERIFY(first.has_value());
        QCOMPARE(statusOf(*model, "webflow-acme"), ConnectionStatus::connected);
        QVERIFY(!model->isRefreshing());
    }
};

QTEST_MAIN(tst_AppModelRefresh)
#include "tst_AppModelRefresh.moc"
