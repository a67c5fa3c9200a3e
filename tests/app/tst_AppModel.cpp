// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppModel.h"
#include "kit/KitServices.h"
#include "platform/AppInfo.h"
#include "support/ManualClock.h"
#include "support/ManualDelay.h"
#include "support/MemorySessionStorage.h"
#include "support/MemorySystemLog.h"
#include "support/StoreTesting.h"
#include "support/TempHome.h"

#include <QDateTime>
#include <QSignalSpy>
#include <QFileInfo>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <map>
#include <memory>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)

// The application model hands out what it was built from, owns the stores and the account, and its
// engines draw from its services.
class tst_AppModel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_scratch;
    MemorySystemLog m_systemLog;
    ManualDelay m_time;
    ManualClock m_clock;
    TestWriter m_writer;
    MemorySessionStorage m_sessions;
    std::unique_ptr<TempHome> m_home;

    AppModel::Environment environment()
    {
        AppModel::Environment environment;
        environment.systemLog = &m_systemLog;
        environment.driver.loginShell = QStringLiteral("/bin/sh");
        environment.driver.temporaryFolder = m_scratch.path();
        environment.pillDelay = m_time.delay();
        environment.clock = &m_clock;
        environment.storeWriter = m_writer.writer();
        environment.sessionStorage = &m_sessions;
        environment.accountPause = m_time.delay();
        environment.schedulePollDelay = m_time.delay();
        environment.networkUp = [] { return true; };
        return environment;
    }

    // A backend nothing answers: the model must not talk to it while it is built.
    AppModel::Environment environmentWithBackend()
    {
        AppModel::Environment environment = this->environment();
        environment.backend = BackendConfiguration{QUrl(QStringLiteral("https://backend.invalid")),
                                                   QStringLiteral("sb_publishable_test")};
        return environment;
    }

    QString dataFile(const QString &name) const { return m_home->appDataDir() + u'/' + name; }

private slots:
    void init()
    {
        m_home = std::make_unique<TempHome>();
        m_writer = TestWriter();
        m_sessions.items.clear();
        m_systemLog.lines.clear();
    }

    void cleanup() { m_home.reset(); }

    void aNewModelHasLoadedNothingYet()
    {
        AppModel model(environmentWithBackend());
        QVERIFY(model.isLoading());
        QVERIFY(!model.loadError());
        QVERIFY(!model.isRefreshing());
        QCOMPARE(model.refreshGeneration(), 0U);
        QVERIFY(model.busy().isEmpty());
        QVERIFY(!model.didBootstrap());
        QVERIFY(!model.showingIntro());
        QVERIFY(!model.persistenceIssue());
        QVERIFY(model.connectionStore().connections().isEmpty());
        QVERIFY(model.projectStore().projects().isEmpty());
        // The stores live in the application's data folder unless told otherwise, and reading
        // them writes nothing.
        QVERIFY(QFileInfo(m_home->appDataDir()).isDir());
        QCOMPARE(m_writer.writes, 0);
        QVERIFY(!QFileInfo::exists(m_home->path() + QStringLiteral("/.claude.json")));
    }

    void theStoresLiveInTheGivenFolder()
    {
        const QString folder = m_scratch.path() + QStringLiteral("/base");
        putFile(folder + QStringLiteral("/projects.json"),
                R"({"version":1,"projects":[{"id":"0f8fad5b-d9cb-469f-a165-70867728950e","title":"Acme","mcpName":"webflow-acme","createdAt":"2025-03-01T09:30:00Z"}]})");
        AppModel::Environment environment = this->environment();
        environment.baseFolder = folder;
        AppModel model(std::move(environment));
        QCOMPARE(model.projectStore().projects().size(), 1);
        QCOMPARE(model.projectStore().projects().constFirst().title, QStringLiteral("Acme"));
        QVERIFY(!QFileInfo::exists(m_home->appDataDir()));
    }

    void thePersistenceIssueIsTheFirstStoresInTheFixedOrder_data()
    {
        QTest::addColumn<QStringList>("unreadable");
        QTest::addColumn<QString>("owner");
        QTest::newRow("all writable") << QStringList{} << QString();
        QTest::newRow("project store before the account")
            << QStringList{"account.json", "projects.json"} << "projects";
        QTest::newRow("connection store first")
            << QStringList{"sites.json", "projects.json", "connections.json"} << "connections";
        QTest::newRow("site directory before the account") << QStringList{"account.json", "sites.json"} << "sites";
        QTest::newRow("the account last") << QStringList{"account.json"} << "account";
    }

    void thePersistenceIssueIsTheFirstStoresInTheFixedOrder()
    {
        QFETCH(QStringList, unreadable);
        QFETCH(QString, owner);
        for (const QString &name : unreadable)
            putFile(dataFile(name), R"({"version":99})");
        AppModel model(environmentWithBackend());
        const std::map<QString, std::optional<QString>> issues{
            {QString(), std::nullopt},
            {QStringLiteral("connections"), model.connectionStore().persistenceIssue()},
            {QStringLiteral("projects"), model.projectStore().persistenceIssue()},
            {QStringLiteral("sites"), model.siteDirectory().persistenceIssue()},
            {QStringLiteral("account"), model.account().persistenceIssue()},
        };
        const std::optional<QString> expected = issues.at(owner);
        QVERIFY(!expected || !expected->isEmpty());
        QCOMPARE(model.persistenceIssue(), expected);
        QCOMPARE(model.property("persistenceIssue").toString(), expected.value_or(QString()));
    }

    void aStoreThatStopsSavingSurfacesOnce()
    {
        AppModel model(environment());
        QSignalSpy changed(&model, &AppModel::persistenceIssueChanged);
        m_writer.failure = QStringLiteral("disk full");
        QVERIFY(model.projectStore().createProject(QStringLiteral("Acme")).index() == 1);
        QCOMPARE(changed.size(), 1);
        QVERIFY(model.persistenceIssue());
        QCOMPARE(*model.persistenceIssue(), model.projectStore().persistenceIssue());
        // A second failure with the same sentence is no news.
        QVERIFY(model.projectStore().createProject(QStringLiteral("Beta")).index() == 1);
        QCOMPARE(changed.size(), 1);
    }

    void theClientsSessionChangesReachTheAccount_data()
    {
        QTest::addColumn<bool>("profileCached");
        QTest::addColumn<AccountModel::SessionKind>("expected");
        QTest::newRow("refused renewal with a profile held")
            << true << AccountModel::SessionKind::ReauthenticationRequired;
        QTest::newRow("refused renewal without a profile") << false << AccountModel::SessionKind::SignedOut;
    }

    void theClientsSessionChangesReachTheAccount()
    {
        QFETCH(bool, profileCached);
        QFETCH(AccountModel::SessionKind, expected);
        if (profileCached)
            putFile(dataFile(QStringLiteral("account.json")),
                    R"({"version":1,"ownerID":"3F2B8C1E-5D4A-4E8F-9A7B-1C2D3E4F5A6B","profile":{"email":"ada@example.com","marketingOptIn":false,"fetchedAt":790171200}})");
        AppModel model(environmentWithBackend());
        QVERIFY(model.account().client());
        QCOMPARE(model.account().hasProfile(), profileCached);
        QVERIFY(model.account().sessionKind() != expected);
        Q_EMIT model.account().client()->authChanged(BackendClient::AuthEvent::SignedOut, std::nullopt);
        QCOMPARE(model.account().sessionKind(), expected);
    }

    void theLoginToggleFollowsTheDesktop()
    {
        const QString folder = m_scratch.path() + QStringLiteral("/autostart");
        const LoginItem item(LoginItem::applicationId, QStringLiteral("/usr/bin/quorvane"), folder);
        QCOMPARE(item.setEnabled(true), std::nullopt);
        AppModel::Environment environment = this->environment();
        environment.loginItem = item;
        AppModel model(std::move(environment));
        QVERIFY(model.launchAtLogin());
        QSignalSpy changed(&model, &AppModel::launchAtLoginChanged);

        // Switched off in the desktop's settings: the toggle turns it on again rather than off.
        putFile(item.path(), "[Desktop Entry]\nExec=q\nHidden=true\n");
        model.setLaunchAtLogin();
        QVERIFY(item.isEnabled());
        QVERIFY(model.launchAtLogin());
        QCOMPARE(changed.size(), 0);
        model.setLaunchAtLogin();
        QVERIFY(!item.isEnabled());
        QVERIFY(!model.launchAtLogin());
        QCOMPARE(changed.size(), 1);

        // A refused change is only recorded; the toggle shows what the desktop has.
        const QString blocker = m_home->filePath(QStringLiteral("blocker"));
        putFile(blocker, "a file where the folder would be");
        const LoginItem blocked(LoginItem::applicationId, QStringLiteral("/usr/bin/quorvane"),
                                blocker + QStringLiteral("/autostart"));
        environment = this->environment();
        environment.loginItem = blocked;
        AppModel refused(std::move(environment));
        refused.setLaunchAtLogin();
        QVERIFY(!refused.launchAtLogin());
        QCOMPARE(refused.errorLog().events().size(), 1);
        QCOMPARE(refused.errorLog().events().constFirst().area, QStringLiteral("launch-at-login"));
    }

    void withoutABackendTheAccountIsUnavailable()
    {
        AppModel model(environment());
        QVERIFY(!model.account().client());
        QCOMPARE(model.account().sessionKind(), AccountModel::SessionKind::TemporarilyUnavailable);
        QVERIFY(!model.publishAccess().client());
    }

    void failuresGoToTheHandedInLog()
    {
        AppModel model(environment());
        model.errorLog().record(QStringLiteral("startup"), QStringLiteral("it failed"), QDateTime::currentDateTimeUtc());
        QCOMPARE(model.errorLog().events().size(), 1);
        QCOMPARE(m_systemLog.lines, QStringList{SystemLog::line(QStringLiteral("startup"), QStringLiteral("it failed"))});
    }

    void theDriverIsBuiltFromTheConfiguration()
    {
        AppModel model(environment());
        QCOMPARE(model.driver().loginShell(), QStringLiteral("/bin/sh"));
    }

    void eachRootsEngineDrawsFromItsOwnIcons()
    {
        AppModel first(environment());
        AppModel second(environment());
        QQmlEngine firstEngine;
        QQmlEngine secondEngine;
        first.attach(firstEngine);
        second.attach(secondEngine);
        for (auto [model, engine] : {std::pair{&first, &firstEngine}, std::pair{&second, &secondEngine}}) {
            QQmlComponent icon(engine);
            icon.setData("import Quorvane.Kit\nMicroIcon { symbol: \"checkmark.circle.fill\" }\n", QUrl());
            QVERIFY2(icon.isReady(), qPrintable(icon.errorString()));
            const std::unique_ptr<QObject> made(icon.create());
            QVERIFY(made);
            const KitServices *services = KitServices::of(made.get());
            QVERIFY(services);
            QCOMPARE(&services->icons(), &model->icons());
        }
    }

    void thePillWaitsOnTheHandedInClock()
    {
        AppModel model(environment());
        model.connectingPill().show(QStringLiteral("Acme"));
        QVERIFY(model.connectingPill().markConnected(QStringLiteral("Acme site")));
        QVERIFY(model.connectingPill().presented());
        m_time.advance(ConnectingPill::successShownFor);
        QVERIFY(!model.connectingPill().presented());
    }
};

QTEST_MAIN(tst_AppModel)
#include "tst_AppModel.moc"
