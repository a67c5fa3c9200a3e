// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AddFieldState.h"
#include "app/ConnectionsTabRules.h"
#include "app/ConnectionsTabState.h"
#include "app/ModelHarness.h"

#include <QSignalSpy>

using namespace std::chrono_literals;
using Banner = ConnectionsTabRules::Banner;
using Auth = ClaudeCLI::AuthStatus::State;

namespace {

ClaudeInstall install(const QString &path, std::optional<CLIVersion> version = std::nullopt)
{
    return {path, version};
}

// An installation that can do everything: no notice of its own.
CLIEnvironment healthyClaude()
{
    CLIEnvironment environment;
    environment.binary = QStringLiteral("/usr/bin/claude");
    environment.version = CLIVersion{2, 1, 190};
    environment.supportsLogin = true;
    environment.installs = {install(QStringLiteral("/usr/bin/claude"), CLIVersion{2, 1, 190})};
    return environment;
}

// The first run: no project, nothing loading, nothing wrong.
ConnectionsTabRules::Facts firstRun()
{
    ConnectionsTabRules::Facts facts;
    facts.environment = healthyClaude();
    return facts;
}

QString bannerName(Banner banner)
{
    switch (banner) {
    case Banner::whatsNew:
        return QStringLiteral("whatsNew");
    case Banner::claudeSignedOut:
        return QStringLiteral("signedOut");
    case Banner::claudeCLI:
        return QStringLiteral("cli");
    case Banner::persistence:
        return QStringLiteral("persistence");
    case Banner::webflowReset:
        return QStringLiteral("webflowReset");
    }
    return {};
}

QStringList bannerNames(const QList<Banner> &banners)
{
    QStringList names;
    for (Banner banner : banners)
        names.append(bannerName(banner));
    return names;
}

} // namespace

Q_DECLARE_METATYPE(CLIEnvironment)
Q_DECLARE_METATYPE(ConnectionsTabRules::Facts)

// The Connections tab's decisions: the claude notice's texts, the banner column's rows and
// order, the first-run card and the empty state under the banners, and the add field's hints and
// roads on a real model.
class tst_ConnectionsTab : public QObject
{
    Q_OBJECT

private slots:
    void theClaudeNoticeNamesWhatIsWrong_data()
    {
        QTest::addColumn<CLIEnvironment>("environment");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("detail");

        const QString notFound = QStringLiteral("Install Claude Code. Quorvane picks it up on its own within a few seconds.");
        const QString needsNewer = QStringLiteral("Needs 2.1.186+. Until then use a terminal: claude → /mcp.");
        const CLIVersion oldest{2, 1, 186};

        CLIEnvironment none;
        none.installs = {install(QStringLiteral("/opt/claude"), oldest), install(QStringLiteral("/bin/claude"))};
        QTest::newRow("no executable, whatever was installed") << none << "Claude CLI not found" << notFound;

        CLIEnvironment good = healthyClaude();
        good.version = oldest;
        good.installs = {install(QStringLiteral("/usr/bin/claude"), oldest)};
        QTest::newRow("oldest version that logs in, nothing broken") << good << QString() << QString();

        CLIEnvironment oneBroken = good;
        oneBroken.installs.append(install(QStringLiteral("/home/u/.local/bin/claude")));
        QTest::newRow("one broken install") << oneBroken << "1 broken Claude install ignored" << "Using 2.1.186.";

        CLIEnvironment twoBroken = healthyClaude();
        twoBroken.installs.append(install(QStringLiteral("/a/claude")));
        twoBroken.installs.prepend(install(QStringLiteral("/b/claude")));
        QTest::newRow("two broken installs") << twoBroken << "2 broken Claude installs ignored" << "Using 2.1.190.";

        CLIEnvironment tooOld;
        tooOld.binary = QStringLiteral("/usr/bin/claude");
        tooOld.version = CLIVersion{2, 1, 185};
        tooOld.installs = {install(QStringLiteral("/usr/bin/claude"), CLIVersion{2, 1, 185})};
        QTest::newRow("too old to log in") << tooOld << "CLI 2.1.185 can't authorize from here" << needsNewer;

        CLIEnvironment unreadable;
        unreadable.binary = QStringLiteral("/usr/bin/claude");
        unreadable.installs = {install(QStringLiteral("/usr/bin/claude")), install(QStringLiteral("/x/claude"))};
        QTest::newRow("version unreadable: two spaces, broken installs unmentioned")
            << unreadable << "CLI  can't authorize from here" << needsNewer;
    }

    void theClaudeNoticeNamesWhatIsWrong()
    {
        QFETCH(CLIEnvironment, environment);
        QFETCH(QString, heading);
        QFETCH(QString, detail);
        const auto notice = ConnectionsTabRules::claudeCLINotice(environment);
        QCOMPARE(notice.has_value(), !heading.isEmpty());
        if (notice) {
            QCOMPARE(notice->heading, heading);
            QCOMPARE(notice->detail, detail);
        }
    }

    void theBannerColumnKeepsItsOrderAndTheEmptyStateStaysClearOfIt_data()
    {
        QTest::addColumn<ConnectionsTabRules::Facts>("facts");
        QTest::addColumn<QStringList>("banners");
        QTest::addColumn<bool>("firstRunCard");
        QTest::addColumn<bool>("emptyState");

        QTest::newRow("first run, nothing on screen") << firstRun() << QStringList() << true << true;

        auto persistence = firstRun();
        persistence.hasPersistenceIssue = true;
        QTest::newRow("one notice: the empty state still shows")
            << persistence << QStringList{"persistence"} << true << true;

        auto twoNotices = persistence;
        twoNotices.environment = CLIEnvironment();
        QTest::newRow("two notices: the empty state gives way")
            << twoNotices << QStringList{"cli", "persistence"} << true << false;

        auto whatsNewSearched = persistence;
        whatsNewSearched.hasWhatsNew = true;
        whatsNewSearched.searching = true;
        QTest::newRow("a what's-new card hidden by a search does not count")
            << whatsNewSearched << QStringList{"persistence"} << true << true;

        auto whatsNew = whatsNewSearched;
        whatsNew.searching = false;
        QTest::newRow("what's new and a notice") << whatsNew << QStringList{"whatsNew", "persistence"} << true << false;

        auto signedOutAlone = firstRun();
        signedOutAlone.claude = Auth::signedOut;
        QTest::newRow("signed out without connections: no notice") << signedOutAlone << QStringList() << true << true;

        auto signedOut = signedOutAlone;
        signedOut.hasConnections = true;
        QTest::newRow("signed out with a connection") << signedOut << QStringList{"signedOut"} << true << true;

        auto resetSearched = firstRun();
        resetSearched.needsWebflowReset = true;
        resetSearched.hasPersistenceIssue = true;
        resetSearched.searching = true;
        QTest::newRow("the reset notice hides while searching, the saving one stays")
            << resetSearched << QStringList{"persistence"} << true << true;

        auto everything = firstRun();
        everything.hasWhatsNew = true;
        everything.claude = Auth::signedOut;
        everything.hasConnections = true;
        everything.environment.installs.append(install(QStringLiteral("/x/claude")));
        everything.hasPersistenceIssue = true;
        everything.needsWebflowReset = true;
        everything.hasProjects = true;
        QTest::newRow("all five, in order")
            << everything << QStringList{"whatsNew", "signedOut", "cli", "persistence", "webflowReset"} << false
            << false;

        auto unrecognized = firstRun();
        unrecognized.hasUnrecognized = true;
        QTest::newRow("an unmanaged entry's card stands in the column") << unrecognized << QStringList() << true << false;

        auto loading = firstRun();
        loading.isLoading = true;
        QTest::newRow("loading") << loading << QStringList() << false << false;

        auto loadError = firstRun();
        loadError.hasLoadError = true;
        QTest::newRow("the registry cannot be read") << loadError << QStringList() << false << false;

        auto adding = firstRun();
        adding.showingAdd = true;
        QTest::newRow("the add field is open") << adding << QStringList() << false << false;

        auto projects = firstRun();
        projects.hasProjects = true;
        QTest::newRow("a project exists") << projects << QStringList() << false << false;
    }

    void theBannerColumnKeepsItsOrderAndTheEmptyStateStaysClearOfIt()
    {
        QFETCH(ConnectionsTabRules::Facts, facts);
        QFETCH(QStringList, banners);
        QFETCH(bool, firstRunCard);
        QFETCH(bool, emptyState);
        QCOMPARE(bannerNames(ConnectionsTabRules::visibleBanners(facts)), banners);
        QCOMPARE(ConnectionsTabRules::showsFirstRunCard(facts), firstRunCard);
        QCOMPARE(ConnectionsTabRules::showsConnectionsEmptyState(facts), emptyState);
    }

    void theFirstRunCardSignsInOnlyWhenClaudeIsSignedOut_data()
    {
        QTest::addColumn<Auth>("claude");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<bool>("signsIn");
        QTest::newRow("signed out") << Auth::signedOut << "First, sign into Claude" << true;
        QTest::newRow("unknown") << Auth::unknown << "Add a Webflow project" << false;
        QTest::newRow("signed in") << Auth::signedIn << "Add a Webflow project" << false;
    }

    void theFirstRunCardSignsInOnlyWhenClaudeIsSignedOut()
    {
        QFETCH(Auth, claude);
        QFETCH(QString, heading);
        QFETCH(bool, signsIn);
        const auto card = ConnectionsTabRules::firstRunCard(claude);
        QCOMPARE(card.heading, heading);
        QCOMPARE(card.signsIn, signsIn);
    }

    void theReservedNameHintNamesTheServerTheAddWouldTake_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("hint");
        const auto reserves = [](const char *name) {
            return QStringLiteral("Reserves %1. Enter to add.").arg(QLatin1String(name));
        };
        QTest::newRow("plain") << "Acme Co" << reserves("webflow-acme-co");
        QTest::newRow("spaces around are trimmed") << "  Acme Co  " << reserves("webflow-acme-co");
        QTest::newRow("own prefix kept once") << "Webflow-Acme" << reserves("webflow-acme");
        QTest::newRow("beta lane prefix dropped") << "quorvane-beta-webflow-acme" << reserves("webflow-acme");
        QTest::newRow("accents deleted, not transliterated") << "Café 2" << reserves("webflow-caf-2");
        QTest::newRow("a leading dash stays") << "-acme" << reserves("webflow--acme");
        QTest::newRow("only underscores") << "___" << QString();
        QTest::newRow("only dashes") << "---" << QString();
        QTest::newRow("only a letter outside a to z") << "é" << QString();
        QTest::newRow("empty") << "" << QString();
    }

    void theReservedNameHintNamesTheServerTheAddWouldTake()
    {
        QFETCH(QString, typed);
        QFETCH(QString, hint);
        QCOMPARE(ConnectionsTabRules::reservedNameHint(typed).value_or(QString()), hint);
    }

    void theCollisionHintNamesTheNameAlreadyTaken_data()
    {
        QTest::addColumn<QStringList>("projects"); // "title|mcpName"
        QTest::addColumn<QStringList>("connections");
        QTest::addColumn<QStringList>("unrecognized");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("hint");

        const QStringList acme{"Acme|webflow-acme"};
        QTest::newRow("same key as a title") << acme << QStringList() << QStringList() << "acme" << "Matches Acme exactly.";
        QTest::newRow("longer than a title")
            << acme << QStringList() << QStringList() << "Acme Corp" << "Close to Acme. Same client?";
        QTest::newRow("a single letter inside a key")
            << acme << QStringList() << QStringList() << "a" << "Close to Acme. Same client?";
        QTest::newRow("a connection without a project")
            << QStringList() << QStringList{"webflow-acme"} << QStringList() << "ACME" << "Matches webflow-acme exactly.";
        QTest::newRow("an exact match anywhere beats an earlier close one")
            << QStringList{"Acme Studio|webflow-acme-studio"} << QStringList{"webflow-acme"} << QStringList() << "acme"
            << "Matches webflow-acme exactly.";
        QTest::newRow("an unmanaged entry's name is shown display-safe")
            << QStringList() << QStringList() << QStringList{QStringLiteral("webflow-ac\u202Eme")} << "acme"
            << QStringLiteral("Matches webflow-ac\u00B7me exactly.");
        QTest::newRow("nothing alike") << acme << QStringList{"webflow-globex"} << QStringList() << "Initech" << QString();
        QTest::newRow("nothing typed") << acme << QStringList() << QStringList() << "" << QString();
    }

    void theCollisionHintNamesTheNameAlreadyTaken()
    {
        QFETCH(QStringList, projects);
        QFETCH(QStringList, connections);
        QFETCH(QStringList, unrecognized);
        QFETCH(QString, typed);
        QFETCH(QString, hint);
        ModelHarness harness;
        QList<Project> stored;
        for (const QString &entry : std::as_const(projects)) {
            Project project;
            project.id = QUuid::createUuid();
            project.title = entry.section(u'|', 0, 0);
            project.mcpName = entry.section(u'|', 1, 1);
            stored.append(project);
        }
        QVERIFY(harness.model->projectStore().saveProjects(stored).has_value() == false);
        QList<Connection> listed;
        for (const QString &name : std::as_const(connections))
            listed.append(Connection{name, ModelHarness::endpoint, ConnectionStatus::connected, std::nullopt});
        harness.model->setConnections(listed);
        QList<UnrecognizedServer> entries;
        for (const QString &name : std::as_const(unrecognized)) {
            UnrecognizedServer server;
            server.name = name;
            entries.append(server);
        }
        harness.model->setUnrecognized(entries);

        AddFieldState field;
        field.setModel(harness.model.get());
        harness.model->adding().setAddName(typed);
        QCOMPARE(field.collisionHint(), hint);
    }

    // The message line: a failure in place of the hint until something clears it; the buttons'
    // states; the roads that open and close the field.
    void theAddFieldOpensClosesAndShowsItsFailure()
    {
        ModelHarness harness;
        AddProjectFlow &adding = harness.model->adding();
        AddFieldState field;
        field.setModel(harness.model.get());
        QSignalSpy changed(&field, &AddFieldState::changed);

        QVERIFY(field.addNewEnabled());
        QVERIFY(!field.addEnabled());
        QVERIFY(field.toggle());
        QVERIFY(adding.showingAdd());
        adding.setAddName(QStringLiteral("Acme Co"));
        QCOMPARE(field.message(), QStringLiteral("Reserves webflow-acme-co. Enter to add."));
        QVERIFY(!field.messageIsError());
        QVERIFY(field.addEnabled());
        QVERIFY(changed.count() > 0);

        adding.setAddError(QStringLiteral("Claude is busy."));
        QCOMPARE(field.message(), QStringLiteral("Claude is busy."));
        QVERIFY(field.messageIsError());
        QCOMPARE(field.reservedNameHint(), QStringLiteral("Reserves webflow-acme-co. Enter to add."));

        // Cancel keeps the text and clears the failure; opening again shows the hint.
        QVERIFY(!field.toggle());
        QVERIFY(!adding.showingAdd());
        QCOMPARE(adding.addName(), QStringLiteral("Acme Co"));
        QVERIFY(adding.addError() == std::nullopt);
        QVERIFY(field.toggle());
        QCOMPARE(field.message(), QStringLiteral("Reserves webflow-acme-co. Enter to add."));

        // Only spaces: Add works and leaves the refusal to the add.
        adding.setAddName(QStringLiteral("   "));
        QVERIFY(field.addEnabled());
        QCOMPARE(field.message(), QString());

        // Losing focus closes only an empty field.
        field.collapseIfEmpty();
        QVERIFY(adding.showingAdd());
        adding.setAddName(QString());
        adding.setAddError(QStringLiteral("Name is required."));
        field.collapseIfEmpty();
        QVERIFY(!adding.showingAdd());
        QVERIFY(adding.addError() == std::nullopt);

        // Escape empties and closes; on a closed field it does nothing.
        field.open();
        field.open();
        QVERIFY(adding.showingAdd());
        adding.setAddName(QStringLiteral("Globex"));
        QVERIFY(field.cancel());
        QVERIFY(!adding.showingAdd());
        QCOMPARE(adding.addName(), QString());
        QVERIFY(!field.cancel());
    }

    // Saving impossible: Add New cannot open the field, but an open one can still close; Add is off.
    void theAddButtonsFollowLocalSaving()
    {
        ModelHarness harness;
        AddProjectFlow &adding = harness.model->adding();
        AddFieldState field;
        field.setModel(harness.model.get());
        field.open();
        adding.setAddName(QStringLiteral("Acme"));
        QVERIFY(field.canSaveLocally());
        QVERIFY(field.addEnabled());

        harness.failingFiles.insert(QStringLiteral("sites.json"));
        (void)harness.model->siteDirectory().markPublishingConnected(QStringLiteral("site-1"), QStringLiteral("Site"));
        QVERIFY(!harness.model->siteDirectory().persistenceWritable());
        QVERIFY(!field.canSaveLocally());
        QVERIFY(!field.addEnabled());
        QVERIFY(field.addNewEnabled());
        QVERIFY(!field.toggle());
        QVERIFY(!field.addNewEnabled());
        QVERIFY(!field.toggle());
        QVERIFY(!adding.showingAdd());
    }

    // Return while an add runs starts no second one, and Escape then leaves the field open.
    void anAddUnderWayIsNeitherRepeatedNorClosedByEscape()
    {
        ModelHarness harness;
        harness.claude.answer(QStringLiteral("mcp add"), {{}, {}, 0, false, std::nullopt, 300ms});
        AppModel &model = *harness.model;
        QVERIFY(harness.refreshed());
        AddFieldState field;
        field.setModel(&model);
        field.open();
        model.adding().setAddName(QStringLiteral("Acme Co"));
        field.submit();
        QVERIFY(model.adding().isAdding());
        QVERIFY(!field.addEnabled());
        field.submit();
        QVERIFY(!field.cancel());
        QVERIFY(model.adding().showingAdd());
        QTRY_VERIFY(!model.adding().isAdding());
        // The add ends with a refresh and its status checks; the model must outlive them.
        QTRY_VERIFY(!model.isRefreshing() && model.statusChecksInFlight().isEmpty());
        QCOMPARE(harness.callsOf(QStringLiteral("mcp"), QStringLiteral("add")).size(), 1);
        QCOMPARE(model.projectStore().projects().size(), 1);
        // The field stays open and empty after a success.
        QVERIFY(model.adding().showingAdd());
        QCOMPARE(model.adding().addName(), QString());
    }

    // The tab's state follows the model and the search text as they change.
    void theTabStateFollowsTheModel()
    {
        ModelHarness harness;
        AppModel &model = *harness.model;
        ConnectionsTabState tab;
        tab.setModel(&model);
        QVERIFY(!tab.showsFirstRunCard()); // loading until the first refresh
        QVERIFY(!tab.showsEmptyState());
        QSignalSpy changed(&tab, &ConnectionsTabState::changed);
        QVERIFY(harness.refreshed());
        QVERIFY(tab.showsFirstRunCard());
        QVERIFY(tab.showsEmptyState());
        QVERIFY(changed.count() > 0);

        tab.setSearchText(QStringLiteral(" \t "));
        QVERIFY(!tab.searching());
        tab.setSearchText(QStringLiteral(" a "));
        QVERIFY(tab.searching());

        model.adding().setShowingAdd(true);
        QVERIFY(!tab.showsFirstRunCard());
        QVERIFY(!tab.showsEmptyState());
        model.adding().setShowingAdd(false);

        UnrecognizedServer shadow;
        shadow.name = QStringLiteral("webflow-shadow");
        shadow.reason = UnrecognizedServer::Reason::localScopeShadow;
        model.setUnrecognized({shadow});
        QVERIFY(tab.showsFirstRunCard());
        QVERIFY(!tab.showsEmptyState());
        model.setUnrecognized({});
        QVERIFY(tab.showsEmptyState());

        // A connection while claude is signed out brings its notice.
        model.setClaudeAuth(ClaudeCLI::AuthStatus::signedOut());
        QCOMPARE(tab.firstRunHeading(), QStringLiteral("First, sign into Claude"));
        QVERIFY(!tab.showsClaudeSignedOut());
        model.setConnections({Connection{QStringLiteral("webflow-acme"), ModelHarness::endpoint,
                                         ConnectionStatus::connected, std::nullopt}});
        QVERIFY(tab.showsClaudeSignedOut());
        QCOMPARE(tab.visibleBannerCount(), 1);

        // An equal change tells nothing.
        changed.clear();
        model.setClaudeAuth(ClaudeCLI::AuthStatus::signedOut());
        tab.setSearchText(QStringLiteral(" a "));
        QCOMPARE(changed.count(), 0);
    }

    // Several rechecks at once: the answer to the newest decides, even when an older one comes later.
    void theNewestRecheckDecides()
    {
        ModelHarness harness;
        harness.claude.answerInTurn(
            QStringLiteral("auth status"),
            {{R"({"loggedIn": false})", {}, 0, false, std::nullopt, 800ms},
             {R"({"loggedIn": true, "email": "ada@example.com"})", {}, 0, false, std::nullopt}});
        AppModel &model = *harness.model;
        ConnectionsTabState tab;
        tab.setModel(&model);
        tab.recheckClaudeAuth();
        QTRY_COMPARE(harness.callsOf(QStringLiteral("auth"), QStringLiteral("status")).size(), 1);
        tab.recheckClaudeAuth();
        QTRY_COMPARE(model.claudeAuth().state, Auth::signedIn);
        QSignalSpy changed(&model, &AppModel::claudeAuthChanged);
        // The older, slower answer arrives and is dropped.
        QVERIFY(!changed.wait(1500));
        QCOMPARE(model.claudeAuth().state, Auth::signedIn);
    }
};

QTEST_MAIN(tst_ConnectionsTab)
#include "tst_ConnectionsTab.moc"
