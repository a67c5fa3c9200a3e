// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppModel.h"
#include "support/FakeClaude.h"
#include "support/ManualClock.h"
#include "support/ManualDelay.h"
#include "support/MemorySystemLog.h"
#include "support/StoreTesting.h"
#include "support/TempHome.h"

#include <QCoro/QCoroTask>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using namespace std::chrono_literals;
using Outcome = ActivitySheet::Outcome;

namespace {

const QString kEndpoint = QStringLiteral("https://mcp.webflow.com/mcp");
const QString kAcme = QStringLiteral("webflow-acme");

// ~/.claude.json with these user-scope servers at Webflow's endpoint.
QByteArray registry(const QStringList &names)
{
    QJsonObject servers;
    for (const QString &name : names)
        servers.insert(name, QJsonObject{{QStringLiteral("type"), QStringLiteral("http")}, {QStringLiteral("url"), kEndpoint}});
    return QJsonDocument(QJsonObject{{QStringLiteral("mcpServers"), servers}}).toJson();
}

QByteArray line(const QJsonObject &event)
{
    return QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n';
}

struct Site
{
    QString name;
    QString id;
};

// Claude's stream-JSON answer to a scope check: for each server, its sites tool called and answered
// with those sites. One answer serves several servers: each check reads only its own tool.
QByteArray sitesAnswer(const QList<std::pair<QString, QList<Site>>> &servers)
{
    QByteArray output;
    for (const auto &[server, sites] : servers) {
        const QString id = QStringLiteral("use-") + server;
        QJsonArray list;
        for (const Site &site : sites)
            list.append(QJsonObject{{QStringLiteral("id"), site.id}, {QStringLiteral("displayName"), site.name}});
        const QJsonObject use{{QStringLiteral("type"), QStringLiteral("tool_use")},
                              {QStringLiteral("id"), id},
                              {QStringLiteral("name"), QStringLiteral("mcp__") + server + QStringLiteral("__data_sites_tool")},
                              {QStringLiteral("input"), QJsonObject()}};
        const QJsonObject result{{QStringLiteral("type"), QStringLiteral("tool_result")},
                                 {QStringLiteral("tool_use_id"), id},
                                 {QStringLiteral("content"), QString::fromUtf8(QJsonDocument(list).toJson())}};
        output += line({{QStringLiteral("type"), QStringLiteral("assistant")},
                        {QStringLiteral("message"), QJsonObject{{QStringLiteral("content"), QJsonArray{use}}}}});
        output += line({{QStringLiteral("type"), QStringLiteral("user")},
                        {QStringLiteral("message"), QJsonObject{{QStringLiteral("content"), QJsonArray{result}}}}});
    }
    return output + line({{QStringLiteral("type"), QStringLiteral("result")}, {QStringLiteral("result"), QStringLiteral("done")}});
}

// Claude's answer when the server's sites tool itself reports an error.
QByteArray failingSitesAnswer(const QString &server, const QString &text)
{
    const QJsonObject use{{QStringLiteral("type"), QStringLiteral("tool_use")},
                          {QStringLiteral("id"), QStringLiteral("use-1")},
                          {QStringLiteral("name"), QStringLiteral("mcp__") + server + QStringLiteral("__data_sites_tool")},
                          {QStringLiteral("input"), QJsonObject()}};
    const QJsonObject result{{QStringLiteral("type"), QStringLiteral("tool_result")},
                             {QStringLiteral("tool_use_id"), QStringLiteral("use-1")},
                             {QStringLiteral("content"), text},
                             {QStringLiteral("is_error"), true}};
    return line({{QStringLiteral("type"), QStringLiteral("assistant")},
                 {QStringLiteral("message"), QJsonObject{{QStringLiteral("content"), QJsonArray{use}}}}})
        + line({{QStringLiteral("type"), QStringLiteral("user")},
                {QStringLiteral("message"), QJsonObject{{QStringLiteral("content"), QJsonArray{result}}}}});
}

FakeClaude::Reply succeeds(const QByteArray &output = {})
{
    return {output, {}, 0, false, std::nullopt};
}

FakeClaude::Reply hangs()
{
    return {{}, {}, 0, true, std::nullopt};
}

FakeClaude::Reply fails(const QByteArray &error)
{
    return {{}, error, 1, false, std::nullopt};
}

SiteRef siteRef(const QString &name, const QString &id)
{
    return {name, id, std::nullopt};
}

// Runs a flow to its end on the event loop, as the panel's task would.
bool ran(const std::function<QCoro::Task<>()> &start)
{
    bool done = false;
    auto task = [](std::function<QCoro::Task<>()> start, bool &done) -> QCoro::Task<> {
        co_await start();
        done = true;
    }(start, done);
    return QTest::qWaitFor([&] { return done; }, 20000);
}

} // namespace

// Authorizing a connection runs claude's login under a terminal, then measures and records which
// sites the grant reaches, and takes back a grant that reaches several.
class tst_AuthorizeFlow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<FakeClaude> m_claude;
    MemorySystemLog m_systemLog;
    ManualClock m_clock;
    ManualDelay m_time;
    std::unique_ptr<AppModel> m_model;
    /// Makes every later write of connections.json fail, as a full disk would.
    bool m_connectionsUnwritable = false;

    void makeModel()
    {
        AppModel::Environment environment;
        environment.systemLog = &m_systemLog;
        environment.driver = m_claude->configuration();
        environment.driver.registryPath = m_home->filePath(QStringLiteral(".claude.json"));
        environment.pillDelay = m_time.delay();
        environment.clock = &m_clock;
        environment.accountPause = m_time.delay();
        environment.schedulePollDelay = m_time.delay();
        environment.baseFolder = m_home->filePath(QStringLiteral("data"));
        environment.settingsFile = m_home->filePath(QStringLiteral("settings.ini"));
        environment.loginItem = LoginItem(QStringLiteral("quorvane"), QStringLiteral("/usr/bin/quorvane"),
                                          m_home->filePath(QStringLiteral("autostart")));
        environment.version = QStringLiteral("2.0.0");
        environment.storeWriter = [this](const QByteArray &bytes, const QString &path) -> std::optional<QString> {
            if (m_connectionsUnwritable && path.endsWith(QStringLiteral("connections.json")))
                return QStringLiteral("No space left on device");
            return StoreFile::writeAtomically(bytes, path);
        };
        m_model = std::make_unique<AppModel>(std::move(environment));
    }

    void writeRegistry(const QStringList &names)
    {
        putFile(m_home->filePath(QStringLiteral(".claude.json")), registry(names));
    }

    // A model that knows these connections, each with a project, all answering their status check.
    void start(const QStringList &names, const QString &status = QStringLiteral("✓ Connected"))
    {
        writeRegistry(names);
        m_claude->answer(QStringLiteral("mcp get"), succeeds(("Status: " + status + "\n").toUtf8()));
        makeModel();
        QVERIFY(ran([this]() -> QCoro::Task<> { co_await m_model->refresh(true); }));
        QCOMPARE(m_model->connections().size(), names.size());
    }

    // The registry edits claude makes when the cleanup removes and registers the server again.
    void answerReRegistration(const QString &name)
    {
        FakeClaude::Reply removal = succeeds();
        removal.registryAfter = registry({});
        m_claude->answer(QStringLiteral("mcp remove"), removal);
        FakeClaude::Reply addition = succeeds();
        addition.registryAfter = registry({name});
        m_claude->answer(QStringLiteral("mcp add"), addition);
    }

    bool authorized(const QString &name)
    {
        return ran([this, name]() -> QCoro::Task<> { co_await m_model->authorizer().authorize(name); });
    }

    [[nodiscard]] QList<QStringList> callsOf(const QStringList &command) const
    {
        QList<QStringList> found;
        for (const QStringList &call : m_claude->calls()) {
            if (call.mid(0, command.size()) == command)
                found.append(call);
        }
        return found;
    }

    [[nodiscard]] const ActivitySheet &sheet() const { return *m_model->activity().sheet(); }

    [[nodiscard]] Project project(const QString &name) const
    {
        return m_model->projectStore().projectForMCPName(name).value_or(Project());
    }

    [[nodiscard]] QStringList logged(const QString &area) const
    {
        QStringList messages;
        for (const ErrorEvent &event : m_model->errorLog().events()) {
            if (event.area == area)
                messages.append(event.message);
        }
        return messages;
    }

    // Stored metadata that says the connection was verified for these sites after it was added.
    void storeVerifiedSites(const QString &name, const QList<SiteRef> &sites)
    {
        ConnectionMeta meta;
        meta.addedAt = ReferenceSeconds::Instant(m_clock.now().addSecs(-60));
        meta.verifiedAt = ReferenceSeconds::Instant(m_clock.now().addSecs(-30));
        meta.sites = sites;
        meta.source = QStringLiteral("model");
        QMap<QString, ConnectionMeta> entries = m_model->connectionStore().connections();
        entries.insert(name, meta);
        QVERIFY(!m_model->connectionStore().save(entries));
    }

private slots:
    void init()
    {
        m_home = std::make_unique<TempHome>();
        m_claude = std::make_unique<FakeClaude>(*m_home);
        m_systemLog.lines.clear();
        m_connectionsUnwritable = false;
        m_clock.set(QDateTime(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC));
    }

    void cleanup()
    {
        m_model.reset();
        m_claude.reset();
        m_home.reset();
    }

    void authorizationRecordsWhatTheGrantReaches_data()
    {
        QTest::addColumn<QList<Site>>("sites");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("scopeLine");
        QTest::addColumn<std::optional<QString>>("issue");
        QTest::addColumn<std::optional<QString>>("siteId");

        QTest::newRow("one site") << QList<Site>{{"Acme", "s1"}} << Outcome::success
                                  << QStringLiteral("✓ Correctly scoped to one site: Acme\n") << std::optional<QString>()
                                  << std::optional<QString>(QStringLiteral("s1"));
        QTest::newRow("no site") << QList<Site>{} << Outcome::warning
                                 << QStringLiteral("⚠ The tool ran and returned no sites. This grant reaches nothing.\n")
                                 << std::optional<QString>(QStringLiteral(
                                        "The authorization reaches no sites. Re-connect and tick the client's site."))
                                 << std::optional<QString>();
        QTest::newRow("two sites") << QList<Site>{{"Acme", "s1"}, {"Beta", "s2"}} << Outcome::warning
                                   << QStringLiteral("⚠ 2 sites in scope: Acme, Beta\nRe-authorize and tick only one site.\n")
                                   << std::optional<QString>(QStringLiteral(
                                          "Removed: the authorization reached 2 sites. Connect again and tick only one."))
                                   << std::optional<QString>();
    }

    void authorizationRecordsWhatTheGrantReaches()
    {
        QFETCH(QList<Site>, sites);
        QFETCH(Outcome, outcome);
        QFETCH(QString, scopeLine);
        QFETCH(std::optional<QString>, issue);
        QFETCH(std::optional<QString>, siteId);
        start({kAcme});
        // The refresh gave the connection its project.
        QVERIFY(m_model->projectStore().projectForMCPName(kAcme));
        m_claude->answer(QStringLiteral("mcp login"), succeeds("Waiting for the browser…\r\nDone.\n"));
        m_claude->answer(QStringLiteral("-p"), succeeds(sitesAnswer({{kAcme, sites}})));
        answerReRegistration(kAcme);

        QVERIFY(authorized(kAcme));
        QCOMPARE(sheet().title, QStringLiteral("Authorizing webflow-acme"));
        QCOMPARE(sheet().kind, ActivitySheet::Kind::authorizing);
        QCOMPARE(sheet().outcome, outcome);
        QCOMPARE(sheet().log, QStringLiteral("Waiting for the browser…\nDone.\n\n✓ Authenticated webflow-acme\n"
                                             "\nRunning scope check…\n")
                                  + scopeLine);
        QCOMPARE(callsOf({"mcp", "login"}), (QList<QStringList>{{"mcp", "login", kAcme}}));
        QCOMPARE(callsOf({"-p"}).size(), 1);
        // The consent flow needs a terminal; the print-mode check does not get one.
        for (const FakeClaude::Call &call : m_claude->callRecords()) {
            if (call.arguments.mid(0, 2) == QStringList{"mcp", "login"} || call.arguments.startsWith(QStringLiteral("-p")))
                QCOMPARE(call.terminal, call.arguments.first() == u"mcp");
        }
        QCOMPARE(project(kAcme).issue, issue);
        QCOMPARE(project(kAcme).siteId, siteId);
        QVERIFY(!project(kAcme).registryIntent);
        QVERIFY(m_model->busy().isEmpty());
        QVERIFY(!m_model->connectingPill().presented());

        const ConnectionMeta meta = m_model->connectionStore().connections().value(kAcme);
        QCOMPARE(meta.addedAt, ReferenceSeconds::Instant(m_clock.now()));
        if (sites.size() < 2) {
            QList<SiteRef> recorded;
            for (const Site &site : sites)
                recorded.append({site.name, site.id, std::nullopt});
            QCOMPARE(meta.sites, recorded);
            QCOMPARE(meta.source, QStringLiteral("model"));
            QVERIFY(callsOf({"mcp", "remove"}).isEmpty());
            QVERIFY(callsOf({"mcp", "add"}).isEmpty());
            QVERIFY(logged(QStringLiteral("single-site")).isEmpty());
        } else {
            // The grant is taken back: removed, registered again, and the metadata starts afresh.
            const QList<QStringList> calls = m_claude->calls();
            const auto removal = std::find_if(calls.cbegin(), calls.cend(), [](const QStringList &call) {
                return call.mid(0, 2) == QStringList{"mcp", "remove"};
            });
            QVERIFY(removal != calls.cend());
            QVERIFY(removal->contains(kAcme));
            const auto addition = std::find_if(removal, calls.cend(), [](const QStringList &call) {
                return call.mid(0, 2) == QStringList{"mcp", "add"};
            });
            QVERIFY(addition != calls.cend());
            QCOMPARE(addition->mid(2), (QStringList{"--transport", "http", "--scope", "user", kAcme, kEndpoint}));
            QVERIFY(!meta.sites);
            QVERIFY(!meta.verifiedAt);
            QCOMPARE(logged(QStringLiteral("single-site")),
                     QStringList{QStringLiteral("webflow-acme authorization removed: grant reached 2 sites.")});
            QCOMPARE(project(kAcme).issueRecovery, Project::IssueRecovery::connectMCP);
        }
    }

    void failedLoginStillRefreshesAndChecksNothing()
    {
        start({kAcme});
        m_claude->answer(QStringLiteral("mcp login"), {{}, "The browser flow was declined.\n", 1, false, std::nullopt});
        const qsizetype statusChecks = callsOf({"mcp", "get"}).size();

        QVERIFY(authorized(kAcme));
        QCOMPARE(sheet().outcome, Outcome::failure);
        QVERIFY2(sheet().log.endsWith(QStringLiteral("\n✕ The browser flow was declined.\n")), qPrintable(sheet().log));
        QVERIFY(callsOf({"-p"}).isEmpty());
        QCOMPARE(callsOf({"mcp", "get"}).size(), statusChecks + 1);
        QCOMPARE(logged(QStringLiteral("authorize")),
                 QStringList{QStringLiteral("Provider authorization did not complete successfully.")});
        // The intent stays: the connection has no verified sites until a later check records some.
        QVERIFY(m_model->connectionStore().connections().value(kAcme).addedAt);
        QVERIFY(!m_model->connectionStore().connections().value(kAcme).sites);
        QVERIFY(m_model->busy().isEmpty());
    }

    void readOnlyStoreShowsTheNoticeAndOpensNoSheet()
    {
        putFile(m_home->filePath(QStringLiteral("data/projects.json")), "not json");
        start({kAcme});
        QVERIFY(!m_model->projectStore().persistenceWritable());

        QVERIFY(authorized(kAcme));
        QVERIFY(!m_model->activity().sheet());
        const std::optional<ConfirmRequest> notice = m_model->confirms().current();
        QVERIFY(notice);
        QCOMPARE(notice->title, QStringLiteral("Local data is read-only"));
        QCOMPARE(notice->message, m_model->projectStore().persistenceIssue());
        QVERIFY(notice->isNotice);
        QCOMPARE(notice->icon, QStringLiteral("cloud-off"));
        QVERIFY(callsOf({"mcp", "login"}).isEmpty());
    }

    void checkRecordsNothingWhenTheGrantChangedMeanwhile()
    {
        start({kAcme});
        FakeClaude::Reply slow = succeeds(sitesAnswer({{kAcme, {{"Acme", "s1"}}}}));
        slow.delay = 1s;
        m_claude->answer(QStringLiteral("-p"), slow);

        bool done = false;
        auto task = [](AppModel &model, bool &done) -> QCoro::Task<> {
            co_await model.authorizer().scope().verifyScope(kAcme);
            done = true;
        }(*m_model, done);
        QTRY_COMPARE_WITH_TIMEOUT(callsOf({"-p"}).size(), 1, 10000);
        // A new authorization stamps the connection while claude is still answering.
        m_clock.advance(5000);
        ConnectionMeta replaced;
        replaced.addedAt = ReferenceSeconds::Instant(m_clock.now());
        QVERIFY(!m_model->connectionStore().save({{kAcme, replaced}}));
        QTRY_VERIFY_WITH_TIMEOUT(done, 20000);

        QCOMPARE(sheet().title, QStringLiteral("Checking webflow-acme"));
        QCOMPARE(sheet().outcome, Outcome::warning);
        QCOMPARE(sheet().log, QStringLiteral("⚠ The grant changed while this check was running, so nothing was "
                                             "recorded.\n\nRe-run the scope check to measure the connection as it "
                                             "stands now.\n"));
        QCOMPARE(m_model->connectionStore().connections().value(kAcme), replaced);
        QVERIFY(!project(kAcme).siteId);
    }

    void cancelSkipsTheCleanupAndSparesTheNextAuthorization_data()
    {
        QTest::addColumn<QString>("stage");
        QTest::newRow("during the login") << QStringLiteral("login");
        QTest::newRow("during the authorization's scope check") << QStringLiteral("check");
        QTest::newRow("during a stand-alone scope check") << QStringLiteral("verify");
    }

    void cancelSkipsTheCleanupAndSparesTheNextAuthorization()
    {
        QFETCH(QString, stage);
        start({kAcme});
        answerReRegistration(kAcme);
        const QStringList waitFor = stage == u"login" ? QStringList{"mcp", "login"} : QStringList{"-p"};
        m_claude->answer(QStringLiteral("mcp login"), stage == u"login" ? hangs() : succeeds());
        m_claude->answer(QStringLiteral("-p"), hangs());
        // Two stored sites would start the cleanup of a check that was not cancelled.
        storeVerifiedSites(kAcme, {{QStringLiteral("Acme"), QStringLiteral("s1"), std::nullopt},
                                   {QStringLiteral("Beta"), QStringLiteral("s2"), std::nullopt}});

        bool done = false;
        auto task = [](AppModel &model, QString stage, bool &done) -> QCoro::Task<> {
            if (stage == u"verify")
                co_await model.authorizer().scope().verifyScope(kAcme);
            else
                co_await model.authorizer().authorize(kAcme);
            done = true;
        }(*m_model, stage, done);
        QTRY_COMPARE_WITH_TIMEOUT(callsOf(waitFor).size(), 1, 10000);
        const QUuid cancelled = sheet().id;
        m_model->activity().cancelActivity(cancelled);
        QTRY_VERIFY_WITH_TIMEOUT(done, 20000);

        QCOMPARE(sheet().id, cancelled);
        QCOMPARE(sheet().outcome, Outcome::failure);
        QVERIFY2(sheet().log.endsWith(QStringLiteral("\n✕ Cancelling…\n")), qPrintable(sheet().log));
        QVERIFY(callsOf({"mcp", "remove"}).isEmpty());
        QVERIFY(m_model->busy().isEmpty());
        if (stage == u"verify")
            QCOMPARE(m_model->connectionStore().meta(kAcme)->sites->size(), 2);

        // The cancel that found no run under one of the keys does not stop the next authorization.
        m_claude->answer(QStringLiteral("mcp login"), succeeds());
        m_claude->answer(QStringLiteral("-p"), succeeds(sitesAnswer({{kAcme, {{"Acme", "s1"}}}})));
        QVERIFY(authorized(kAcme));
        QVERIFY(sheet().id != cancelled);
        QCOMPARE(sheet().outcome, Outcome::success);
        QVERIFY2(sheet().log.contains(QStringLiteral("✓ Authenticated webflow-acme\n")), qPrintable(sheet().log));
        QVERIFY2(sheet().log.contains(QStringLiteral("✓ Correctly scoped to one site: Acme\n")), qPrintable(sheet().log));
    }

    void connectionWithoutProjectOrEndpointStillAuthorizes()
    {
        start({kAcme});
        const QString ghost = QStringLiteral("webflow-ghost");
        m_claude->answer(QStringLiteral("mcp login"), succeeds());
        QStringList pillTitles;
        connect(&m_model->connectingPill(), &ConnectingPill::titleChanged, this,
                [&] { pillTitles.append(m_model->connectingPill().title()); });

        QVERIFY(authorized(ghost));
        // The pill names the connection itself when no project does.
        QCOMPARE(pillTitles, QStringList{ghost});
        QVERIFY(!m_model->connectingPill().presented());
        QCOMPARE(sheet().outcome, Outcome::failure);
        QVERIFY2(sheet().log.endsWith(QStringLiteral("✓ Authenticated webflow-ghost\n\nRunning scope check…\nCould not "
                                                     "verify: no registered endpoint for webflow-ghost.\n")),
                 qPrintable(sheet().log));
        QVERIFY(callsOf({"-p"}).isEmpty());
        QVERIFY(!m_model->projectStore().projectForMCPName(ghost));
    }

    void retryWhileRunningWaitsForTheRunToEnd()
    {
        start({kAcme});
        FakeClaude::Reply waiting = hangs();
        waiting.standardOutput = "Waiting for the browser…\n";
        m_claude->answerInTurn(QStringLiteral("mcp login"), {waiting, succeeds()});
        m_claude->answer(QStringLiteral("-p"), succeeds(sitesAnswer({{kAcme, {{"Acme", "s1"}}}})));
        bool done = false;
        auto task = [](AppModel &model, bool &done) -> QCoro::Task<> {
            co_await model.authorizer().authorize(kAcme);
            done = true;
        }(*m_model, done);
        // The first call has taken its turn once its output shows.
        QTRY_VERIFY_WITH_TIMEOUT(sheet().log.contains(QStringLiteral("Waiting for the browser…\n")), 10000);
        const QUuid first = sheet().id;
        QString firstLog;
        connect(&m_model->activity(), &ActivityCenter::sheetChanged, this, [&] {
            if (m_model->activity().sheet() && sheet().id == first)
                firstLog = sheet().log;
        });

        m_model->activity().retryActivity(kAcme);
        QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(sheet().id != first && sheet().outcome == Outcome::success, 20000);
        // The old run ended the ordinary way, under the retry's line, then the new one ran in full.
        QVERIFY2(firstLog.startsWith(QStringLiteral("Waiting for the browser…\n\n↻ Retry queued: waiting for the cancelled "
                                                    "run to wind down…\n\n✕ ")),
                 qPrintable(firstLog));
        QCOMPARE(callsOf({"mcp", "login"}).size(), 2);
        QVERIFY2(sheet().log.contains(QStringLiteral("✓ Correctly scoped to one site: Acme\n")), qPrintable(sheet().log));
        QVERIFY(!m_model->activity().pendingRetry());
    }

    void retryOnAFinishedSheetStartsAtOnce()
    {
        start({kAcme});
        m_claude->answer(QStringLiteral("mcp login"), {{}, "declined\n", 1, false, std::nullopt});
        QVERIFY(authorized(kAcme));
        const QUuid failed = sheet().id;
        QCOMPARE(sheet().outcome, Outcome::failure);

        m_claude->answer(QStringLiteral("mcp login"), succeeds());
        m_claude->answer(QStringLiteral("-p"), succeeds(sitesAnswer({{kAcme, {{"Acme", "s1"}}}})));
        m_model->activity().retryActivity(kAcme);
        QTRY_VERIFY_WITH_TIMEOUT(sheet().id != failed && sheet().outcome == Outcome::success, 20000);
        QCOMPARE(callsOf({"mcp", "login"}).size(), 2);
        QVERIFY(!m_model->activity().pendingRetry());
        QVERIFY2(sheet().log.contains(QStringLiteral("✓ Authenticated webflow-acme\n")), qPrintable(sheet().log));
    }

    void standAloneCheckOutcomes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("storedSites");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("log");
        QTest::addColumn<std::optional<QString>>("issue");
        QTest::addColumn<bool>("signedOut");

        const QString kept = QStringLiteral("Couldn't verify the site scope this time; the previous result was kept. "
                                            "Verify Site (gear) retries.");
        QTest::newRow("not registered") << QStringLiteral("webflow-ghost") << 0 << QByteArray() << Outcome::failure
                                        << QStringLiteral("Could not verify: no registered endpoint for webflow-ghost.\n")
                                        << std::optional<QString>() << false;
        QTest::newRow("failed, an earlier result kept")
            << kAcme << 1 << failingSitesAnswer(kAcme, QStringLiteral("rate limited")) << Outcome::warning
            << QStringLiteral("⚠ Could not verify. Previous result kept.\n\nThe sites tool failed: rate limited\n")
            << std::optional<QString>(kept) << false;
        QTest::newRow("failed, nothing earlier")
            << kAcme << -1 << failingSitesAnswer(kAcme, QStringLiteral("rate limited")) << Outcome::failure
            << QStringLiteral("✕ Could not verify. Previous result kept.\n\nThe sites tool failed: rate limited\n")
            << std::optional<QString>() << false;
        QTest::newRow("claude signed out")
            << kAcme << -1 << QByteArray("Not logged in · Please run /login\n") << Outcome::failure
            << QStringLiteral("✕ Could not verify. Previous result kept.\n\nThe claude CLI itself is signed out. Run "
                              "`claude` then `/login`, then try again.\n\nRun `claude` in a terminal and sign in with "
                              "/login, then try again.\n")
            << std::optional<QString>() << true;
    }

    void standAloneCheckOutcomes()
    {
        QFETCH(QString, name);
        QFETCH(int, storedSites);
        QFETCH(QByteArray, answer);
        QFETCH(Outcome, outcome);
        QFETCH(QString, log);
        QFETCH(std::optional<QString>, issue);
        QFETCH(bool, signedOut);
        start({kAcme});
        if (name != kAcme)
            QVERIFY(std::holds_alternative<Project>(m_model->projectStore().createProject(QStringLiteral("Ghost"))));
        if (storedSites >= 0)
            storeVerifiedSites(kAcme, QList<SiteRef>(storedSites, siteRef(QStringLiteral("Acme"), QStringLiteral("s1"))));
        const std::optional<ConnectionMeta> before = m_model->connectionStore().meta(kAcme);
        m_claude->answer(QStringLiteral("-p"), succeeds(answer));

        QVERIFY(ran([this, name]() -> QCoro::Task<> { co_await m_model->authorizer().scope().verifyScope(name); }));
        QCOMPARE(sheet().kind, ActivitySheet::Kind::verifying);
        QCOMPARE(sheet().note, QStringLiteral("Asking Claude which sites this connection can reach."));
        QCOMPARE(sheet().outcome, outcome);
        QCOMPARE(sheet().log, log);
        QCOMPARE(project(name).issue, issue);
        if (issue)
            QCOMPARE(project(name).issueRecovery, Project::IssueRecovery::verifySite);
        QCOMPARE(m_model->claudeAuth().state == ClaudeCLI::AuthStatus::State::signedOut, signedOut);
        // A failed check never overwrites what was stored.
        QCOMPARE(m_model->connectionStore().meta(kAcme), before);
        QCOMPARE(callsOf({"-p"}).size(), name == kAcme ? 1 : 0);
        QVERIFY(m_model->busy().isEmpty());
    }

    void checkAfterSignedOutRecordsAndClearsTheKeptResultIssue()
    {
        start({kAcme});
        m_model->setClaudeAuth(ClaudeCLI::AuthStatus::signedOut());
        (void)m_model->projectStore().setIssue(QStringLiteral("Couldn't verify the site scope this time; the previous "
                                                              "result was kept. Verify Site (gear) retries."),
                                               kAcme);
        m_claude->answer(QStringLiteral("-p"), succeeds(sitesAnswer({{kAcme, {{"Acme", "s1"}}}})));

        QVERIFY(ran([this]() -> QCoro::Task<> { co_await m_model->authorizer().scope().verifyScope(kAcme); }));
        QCOMPARE(sheet().outcome, Outcome::success);
        QCOMPARE(sheet().log, QStringLiteral("✓ Correctly scoped to one site: Acme\n"));
        QCOMPARE(m_model->claudeAuth(), ClaudeCLI::AuthStatus::signedIn());
        QVERIFY(!project(kAcme).issue);
        QCOMPARE(project(kAcme).siteId, QStringLiteral("s1"));
        QCOMPARE(m_model->connectionStore().meta(kAcme)->sites, QList<SiteRef>{siteRef(QStringLiteral("Acme"), QStringLiteral("s1"))});
        QCOMPARE(m_model->authorizer().scope().siteRecord(project(kAcme))->connections, QStringList{kAcme});
    }

    void unsavableIntentStopsBeforeTheLogin()
    {
        start({kAcme});
        m_connectionsUnwritable = true;
        QVERIFY(authorized(kAcme));
        QCOMPARE(sheet().outcome, Outcome::failure);
        QCOMPARE(sheet().log, QStringLiteral("Could not save the authorization intent. Nothing was changed.\n"));
        QVERIFY(callsOf({"mcp", "login"}).isEmpty());
        QVERIFY(!m_model->connectionStore().persistenceWritable());
        QVERIFY(m_model->busy().isEmpty());
        QVERIFY(!m_model->connectingPill().presented());
    }

    void overbroadCleanupPaths_data()
    {
        QTest::addColumn<bool>("removalWorks");
        QTest::addColumn<bool>("registrationWorks");
        QTest::addColumn<bool>("metadataWritable");
        QTest::addColumn<QString>("issue");
        QTest::addColumn<Project::IssueRecovery>("recovery");
        QTest::addColumn<QString>("settledIssue");
        QTest::addColumn<bool>("intentKept");
        QTest::addColumn<int>("removals");

        // The closing refresh lets the recovery of interrupted operations settle a kept intent; where
        // it explains the outcome itself, its sentence is its own (an empty one here).
        const QString removal = QStringLiteral("The authorization reaches 2 sites and could not be removed "
                                               "automatically. Disconnect it and connect again, ticking only one site.");
        QTest::newRow("removal fails") << false << true << true << removal << Project::IssueRecovery::connectMCP
                                       << removal << false << 1;
        const QString registration =
            QStringLiteral("The authorization reached 2 sites and was removed, but re-registering failed: add refused");
        QTest::newRow("registering again fails") << true << false << true << registration
                                                 << Project::IssueRecovery::connectMCP << registration << false << 1;
        QTest::newRow("metadata unsaved, registration rolled back")
            << true << true << false
            << QStringLiteral("The overbroad authorization was removed, but the clean registration was rolled back "
                              "because local metadata is read-only. Restore persistence, then connect again.")
            << Project::IssueRecovery::reconcileRegistry << QString() << true << 2;
        const QString rollback = QStringLiteral("The overbroad authorization was removed and re-registration succeeded, "
                                                "but local metadata and rollback both failed. Restore persistence and "
                                                "review Claude's registry.");
        QTest::newRow("metadata unsaved, rollback fails") << true << true << false << rollback
                                                          << Project::IssueRecovery::reconcileRegistry << QString()
                                                          << false << 2;
    }

    void overbroadCleanupPaths()
    {
        QFETCH(bool, removalWorks);
        QFETCH(bool, registrationWorks);
        QFETCH(bool, metadataWritable);
        QFETCH(QString, issue);
        QFETCH(Project::IssueRecovery, recovery);
        QFETCH(QString, settledIssue);
        QFETCH(bool, intentKept);
        QFETCH(int, removals);
        start({kAcme});
        storeVerifiedSites(kAcme, {siteRef(QStringLiteral("Acme"), QStringLiteral("s1")),
                                   siteRef(QStringLiteral("Beta"), QStringLiteral("s2"))});
        answerReRegistration(kAcme);
        if (!removalWorks)
            m_claude->answer(QStringLiteral("mcp remove"), fails("permission denied\n"));
        else if (QByteArray(QTest::currentDataTag()).contains("rollback fails"))
            m_claude->answerInTurn(QStringLiteral("mcp remove"), {succeeds(), fails("permission denied\n")});
        if (!registrationWorks)
            m_claude->answer(QStringLiteral("mcp add"), fails("add refused\n"));
        m_connectionsUnwritable = !metadataWritable;
        // The cleanup's own sentence, as the card showed it before the refresh.
        std::optional<Project> issued;
        connect(&m_model->projectStore(), &ProjectStore::projectsChanged, this, [&] {
            if (!issued && project(kAcme).issue == issue)
                issued = project(kAcme);
        });

        QVERIFY(ran([this]() -> QCoro::Task<> {
            co_await m_model->authorizer().scope().removeOverbroadAuthorization(kAcme);
        }));
        QVERIFY(issued);
        QCOMPARE(issued->issueRecovery, recovery);
        QCOMPARE(issued->registryIntent.has_value(), removalWorks);
        if (!settledIssue.isEmpty())
            QCOMPARE(project(kAcme).issue, settledIssue);
        QCOMPARE(project(kAcme).registryIntent.has_value(), intentKept);
        QCOMPARE(callsOf({"mcp", "remove"}).size(), removals);
        QCOMPARE(callsOf({"mcp", "add"}).size(), removalWorks ? 1 : 0);
        QVERIFY(m_model->busy().isEmpty());
        const QStringList singleSite = logged(QStringLiteral("single-site"));
        if (!removalWorks)
            QVERIFY2(singleSite.size() == 1 && singleSite.first().startsWith(QStringLiteral("remove failed: ")),
                     qPrintable(singleSite.join(u'|')));
        else if (!registrationWorks)
            QCOMPARE(singleSite, (QStringList{QStringLiteral("add refused"),
                                              QStringLiteral("webflow-acme authorization removed: grant reached 2 sites.")}));
        else
            QVERIFY(singleSite.isEmpty());
    }

    void cleanupLeavesClaudeAloneWithoutAProjectIntent()
    {
        start({kAcme});
        storeVerifiedSites(kAcme, {siteRef(QStringLiteral("Acme"), QStringLiteral("s1")),
                                   siteRef(QStringLiteral("Beta"), QStringLiteral("s2"))});
        // An interrupted operation's intent refuses the cleanup's own.
        QVERIFY(!m_model->projectStore().setRegistryIntent(project(kAcme).id,
                                                          {Project::RegistryIntent::Remove{kAcme}}));
        QVERIFY(ran([this]() -> QCoro::Task<> {
            co_await m_model->authorizer().scope().removeOverbroadAuthorization(kAcme);
        }));
        QCOMPARE(project(kAcme).issue, QStringLiteral("The authorization reaches multiple sites, but safe cleanup "
                                                      "could not be recorded locally. Restore project persistence and "
                                                      "try again."));
        QVERIFY(callsOf({"mcp", "remove"}).isEmpty());
        QCOMPARE(m_model->connectionStore().meta(kAcme)->sites->size(), 2);
    }

    void moveProjectAsksBeforeRetargeting_data()
    {
        QTest::addColumn<std::optional<QString>>("siteId");
        QTest::addColumn<std::optional<QString>>("pendingId");
        QTest::addColumn<std::optional<QString>>("pendingName");
        QTest::addColumn<QString>("shownPending");
        QTest::addColumn<QString>("shownCurrent");

        const std::optional<QString> none;
        QTest::newRow("stored name, no site yet") << none << std::optional<QString>("s2") << std::optional<QString>("Beta Co")
                                                  << QStringLiteral("Beta Co") << QStringLiteral("the current site");
        QTest::newRow("directory names, custom first") << std::optional<QString>("s1") << std::optional<QString>("s2")
                                                       << none << QStringLiteral("Beta") << QStringLiteral("Acme Live");
        QTest::newRow("sites the directory lacks") << std::optional<QString>("s9") << std::optional<QString>("s8") << none
                                                   << QStringLiteral("s8") << QStringLiteral("s9");
        QTest::newRow("nothing pending") << std::optional<QString>("s1") << none << none << QString() << QString();
    }

    void moveProjectAsksBeforeRetargeting()
    {
        QFETCH(std::optional<QString>, siteId);
        QFETCH(std::optional<QString>, pendingId);
        QFETCH(std::optional<QString>, pendingName);
        QFETCH(QString, shownPending);
        QFETCH(QString, shownCurrent);
        putFile(m_home->filePath(QStringLiteral("data/sites.json")), R"({"version": 1, "sites": [
            {"id": "s1", "name": "Acme Old", "customName": "Acme Live", "connections": []},
            {"id": "s2", "name": "Beta", "connections": []}]})");
        makeModel();
        Project moved;
        moved.id = QUuid::createUuid();
        moved.title = QStringLiteral("Acme");
        moved.mcpName = kAcme;
        moved.createdAt = m_clock.now();
        moved.siteId = siteId;
        moved.pendingSiteId = pendingId;
        moved.pendingSiteName = pendingName;
        if (pendingId) {
            moved.issue = QStringLiteral("The MCP now verifies a different Webflow site.");
            moved.issueRecovery = Project::IssueRecovery::reviewSiteIdentity;
        }
        QVERIFY(!m_model->projectStore().saveProjects({moved}));

        m_model->authorizer().moveProjectWithId(moved.id);
        const std::optional<ConfirmRequest> request = m_model->confirms().current();
        if (!pendingId) {
            QVERIFY(!request);
            return;
        }
        QVERIFY(request);
        QCOMPARE(request->title, QStringLiteral("Move Acme to ") + shownPending + u'?');
        QCOMPARE(request->message, QStringLiteral("The MCP now verifies ") + shownPending
                                       + QStringLiteral(", but this project is still pinned to ") + shownCurrent
                                       + QStringLiteral(". Moving it retargets future project actions; any existing "
                                                        "schedule or publishing grant for ")
                                       + shownCurrent
                                       + QStringLiteral(" stays with that site and remains manageable separately."));
        QCOMPARE(request->confirmLabel, QStringLiteral("Move Project"));
        QCOMPARE(request->icon, QStringLiteral("arrow.left.arrow.right"));
        QVERIFY(!request->isDestructive && !request->isNotice);
        // Nothing moves until the user confirms.
        QCOMPARE(project(kAcme).siteId, siteId);

        m_model->confirms().confirmCurrent();
        const Project after = project(kAcme);
        QCOMPARE(after.siteId, pendingId);
        QVERIFY(!after.pendingSiteId && !after.pendingSiteName && !after.issue && !after.issueRecovery);
        QVERIFY(!m_model->confirms().current());
    }

    void stoppingABatchEndsItAfterTheCurrentConnection_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("cancel") << false;
        QTest::newRow("close") << true;
    }

    void stoppingABatchEndsItAfterTheCurrentConnection()
    {
        QFETCH(bool, close);
        const QString alpha = QStringLiteral("webflow-alpha");
        const QString beta = QStringLiteral("webflow-beta");
        const QString gamma = QStringLiteral("webflow-gamma");
        start({alpha, beta, gamma}, QStringLiteral("⚠ Needs authentication"));
        m_claude->answer(QStringLiteral("mcp login"), succeeds());
        m_claude->answer(QStringLiteral("mcp login ") + beta, hangs());
        m_claude->answer(QStringLiteral("-p"), succeeds(sitesAnswer({{alpha, {{"Alpha", "s1"}}}})));

        m_model->authorizer().connectAll();
        const QUuid batch = sheet().id;
        QTRY_COMPARE_WITH_TIMEOUT(callsOf({"mcp", "login", beta}).size(), 1, 20000);
        if (close)
            m_model->activity().closeActivity();
        else
            m_model->activity().cancelActivity(batch);
        QTRY_VERIFY_WITH_TIMEOUT(!m_model->authorizer().isBatchRunning(), 20000);

        QVERIFY(callsOf({"mcp", "login", gamma}).isEmpty());
        if (close) {
            QVERIFY(!m_model->activity().sheet());
            return;
        }
        const QString summary = QStringLiteral("1 authorized, 1 failed, stopped early");
        QCOMPARE(sheet().id, batch);
        QCOMPARE(sheet().title, summary);
        QCOMPARE(sheet().outcome, Outcome::failure);
        QVERIFY2(sheet().log.endsWith(QStringLiteral("\n✕ Cancelling…\n\n") + summary + QStringLiteral("\n✕ webflow-beta\n")),
                 qPrintable(sheet().log));
        // The cancel reached the run, not the next authorization of that connection.
        m_claude->answer(QStringLiteral("mcp login ") + beta, succeeds());
        QVERIFY(authorized(beta));
        QVERIFY2(sheet().log.contains(QStringLiteral("✓ Authenticated webflow-beta\n")), qPrintable(sheet().log));
    }

    void batchSummarisesEachConnection()
    {
        const QString alpha = QStringLiteral("webflow-alpha");
        const QString beta = QStringLiteral("webflow-beta");
        const QString gamma = QStringLiteral("webflow-gamma");
        start({alpha, beta, gamma}, QStringLiteral("⚠ Needs authentication"));
        QCOMPARE(m_model->authorizer().connectionsNeedingAuth(), (QStringList{alpha, beta, gamma}));
        m_claude->answer(QStringLiteral("mcp login"), succeeds());
        m_claude->answer(QStringLiteral("mcp login ") + gamma, {{}, "declined\n", 1, false, std::nullopt});
        m_claude->answer(QStringLiteral("-p"), succeeds(sitesAnswer({{alpha, {{"Alpha", "s1"}}}, {beta, {}}})));

        QStringList titles;
        connect(&m_model->activity(), &ActivityCenter::sheetChanged, this, [&] {
            if (m_model->activity().sheet() && (titles.isEmpty() || titles.last() != sheet().title))
                titles.append(sheet().title);
        });
        QSignalSpy running(&m_model->authorizer(), &AuthorizeFlow::isBatchRunningChanged);
        m_model->authorizer().connectAll();
        QVERIFY(m_model->authorizer().isBatchRunning());
        // A second run is refused while one is under way.
        const QUuid batch = sheet().id;
        m_model->authorizer().connectAll();
        QCOMPARE(sheet().id, batch);
        QTRY_VERIFY_WITH_TIMEOUT(!m_model->authorizer().isBatchRunning(), 30000);
        QCOMPARE(running.size(), 2);

        const QString summary = QStringLiteral("1 authorized, 1 needs attention, 1 failed");
        QCOMPARE(titles, (QStringList{"Authorizing 3 connections", "Authorizing 1 of 3", "Authorizing 2 of 3",
                                      "Authorizing 3 of 3", summary}));
        QCOMPARE(sheet().id, batch);
        QVERIFY(!sheet().subject);
        QCOMPARE(sheet().outcome, Outcome::failure);
        QVERIFY2(sheet().log.startsWith(QStringLiteral("\n[webflow-alpha]\n")), qPrintable(sheet().log));
        QVERIFY2(sheet().log.contains(QStringLiteral("\n[webflow-beta]\n")), qPrintable(sheet().log));
        QVERIFY2(sheet().log.contains(QStringLiteral("\n[webflow-gamma]\n")), qPrintable(sheet().log));
        QVERIFY2(sheet().log.endsWith(u'\n' + summary + QStringLiteral("\n⚠ webflow-beta\n✕ webflow-gamma\n")),
                 qPrintable(sheet().log));
        QCOMPARE(project(alpha).siteId, QStringLiteral("s1"));
        QCOMPARE(project(beta).issue,
                 QStringLiteral("The authorization reaches no sites. Re-connect and tick the client's site."));
        QCOMPARE(callsOf({"mcp", "login"}).size(), 3);
        QCOMPARE(callsOf({"-p"}).size(), 2);

        // Nothing needs authorization: no run, no sheet.
        m_model->activity().closeActivity();
        m_claude->answer(QStringLiteral("mcp get"), succeeds("Status: ✓ Connected\n"));
        QVERIFY(ran([this]() -> QCoro::Task<> { co_await m_model->refresh(true); }));
        QVERIFY(m_model->authorizer().connectionsNeedingAuth().isEmpty());
        m_model->authorizer().connectAll();
        QVERIFY(!m_model->authorizer().isBatchRunning());
        QVERIFY(!m_model->activity().sheet());
    }
};

QTEST_MAIN(tst_AuthorizeFlow)
#include "tst_AuthorizeFlow.moc"
