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
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;

namespace {

const QString kEndpoint = QStringLiteral("https://mcp.webflow.com/mcp");

QJsonObject httpEntry(const QString &url = kEndpoint)
{
    return {{QStringLiteral("type"), QStringLiteral("http")}, {QStringLiteral("url"), url}};
}

// ~/.claude.json with user-scope servers and, per folder, local-scope ones.
QByteArray registry(const QJsonObject &user, const QJsonObject &folders = {})
{
    QJsonObject top{{QStringLiteral("mcpServers"), user}};
    QJsonObject projects;
    for (auto it = folders.begin(); it != folders.end(); ++it)
        projects.insert(it.key(), QJsonObject{{QStringLiteral("mcpServers"), it.value()}});
    if (!projects.isEmpty())
        top.insert(QStringLiteral("projects"), projects);
    return QJsonDocument(top).toJson();
}

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

    std::unique_ptr<AppModel> makeModel()
    {
        AppModel::Environment environment;
        environment.systemLog = &m_systemLog;
        environment.driver = m_claude->configuration();
        environment.driver.registryPath = m_home->filePath(QStringLiteral(".claude.json"));
        environment.pillDelay = m_time.delay();
        environment.clock = &m_clock;
        environment.accountPause = m_time.delay();
        environment.schedulePollDelay = m_time.delay();
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
        writeRegistry(registry(user, folders));
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
        writeRegistry(registry(managedServers(names)));
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
        writeRegistry(registry(managedServers({"webflow-acme"})));
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
        writeRegistry(registry(managedServers({"webflow-acme"})));
        answerStatus(before);
        const auto model = makeModel();
        QVERIFY(refreshed(*model));
        const qsizetype callsBefore = m_claude->calls().size();
        answerStatus(now);
        QVERIFY(refreshed(*model));
        QCOMPARE(m_claude->calls().size() - callsBefore, asked);
        QCOMPARE(statusOf(*model, "webflow-acme"), shown);
    }

    void anUnforcedRefreshWaitsForTheOneUnderWayAndAForcedOneSupersedesIt()
    {
        writeRegistry(registry(managedServers({"webflow-acme"})));
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
