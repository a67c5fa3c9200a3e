// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ModelHarness.h"

#include <QSignalSpy>

using namespace std::chrono_literals;

namespace {

using Recovery = Project::IssueRecovery;

const QString kRolledBack = QStringLiteral("Registration was rolled back because local connection metadata could not "
                                           "be saved. Restore persistence, then connect again.");
const QString kRollbackFailed = QStringLiteral("Claude registered this MCP, but local metadata could not be saved "
                                               "and rollback failed. Restore persistence and review Claude's registry.");

// What a test sets up before it types into the add field.
enum class Setup {
    nothing,
    acmeExists,
    trickyTitleExists,
    sitesReadOnly,
    projectsCannotBeSaved,
};

} // namespace

Q_DECLARE_METATYPE(Setup)

// The add field: a typed name becomes a project with its own server name, registered in Claude's
// user scope and recorded, or a sentence under the field says why not.
class tst_AddProjectFlow : public QObject
{
    Q_OBJECT

private:
    static void add(ModelHarness &harness, const QString &typed)
    {
        harness.model->adding().setAddName(typed);
        QCoro::waitFor(harness.model->adding().addProject());
    }

private slots:
    void refusalsStartNothing_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("error");

        QTest::newRow("punctuation only") << Setup::nothing << "!!!" << "Name is required.";
        QTest::newRow("spaces only") << Setup::nothing << "   \n" << "Name is required.";
        QTest::newRow("exact reservation") << Setup::acmeExists << "acme" << "Acme already reserves webflow-acme.";
        QTest::newRow("equivalent name") << Setup::acmeExists << "A-c-me" << "That name can't be used.";
        QTest::newRow("reserving title shown cleaned")
            << Setup::trickyTitleExists << "evil co" << "Evil· Co already reserves webflow-evil-co.";
        QTest::newRow("site directory read-only")
            << Setup::sitesReadOnly << "Acme" << "Projects are read-only until local persistence is available.";
        QTest::newRow("project not saved")
            << Setup::projectsCannotBeSaved << "Acme"
            << "Project changes could not be saved. Keep Quorvane open and free disk space or fix "
               "~/.local/share/Tessavine permissions.";
    }

    void refusalsStartNothing()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, typed);
        QFETCH(QString, error);
        ModelHarness harness;
        ProjectStore &projects = harness.model->projectStore();
        switch (setup) {
        case Setup::nothing:
            break;
        case Setup::acmeExists:
            QVERIFY(std::holds_alternative<Project>(projects.createProject(QStringLiteral("Acme"))));
            break;
        case Setup::trickyTitleExists:
            QVERIFY(std::holds_alternative<Project>(projects.createProject(QStringLiteral("Evil\u202E Co"))));
            break;
        case Setup::sitesReadOnly:
            harness.failingFiles.insert(QStringLiteral("sites.json"));
            (void)harness.model->siteDirectory().markPublishingConnected(QStringLiteral("site-1"), QStringLiteral("Site"));
            QVERIFY(!harness.model->siteDirectory().persistenceWritable());
            break;
        case Setup::projectsCannotBeSaved:
            harness.failingFiles.insert(QStringLiteral("projects.json"));
            break;
        }
        const QList<Project> before = projects.projects();

        AddProjectFlow &adding = harness.model->adding();
        QSignalSpy addingChanges(&adding, &AddProjectFlow::isAddingChanged);
        add(harness, typed);

        QCOMPARE(adding.property("addError").toString(), error);
        QVERIFY(adding.addError());
        QCOMPARE(adding.addName(), typed);
        QCOMPARE(projects.projects(), before);
        QCOMPARE(addingChanges.count(), 0);
        QCOMPARE(harness.claude.calls(), QList<QStringList>{});

        // Opened from the introduction, the field shows the typed name without the refusal.
        QVERIFY(QMetaObject::invokeMethod(&adding, "openAddField"));
        QVERIFY(adding.showingAdd());
        QCOMPARE(adding.addError(), std::nullopt);
        QCOMPARE(adding.addName(), typed);
    }

    void typedNameIsRegisteredAndRecorded_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        QTest::newRow("spaces around") << "  Acme Co  " << "Acme Co" << "webflow-acme-co";
        QTest::newRow("prefix not doubled") << "Webflow Acme" << "Webflow Acme" << "webflow-acme";
    }

    void typedNameIsRegisteredAndRecorded()
    {
        QFETCH(QString, typed);
        QFETCH(QString, title);
        QFETCH(QString, name);
        ModelHarness harness;
        harness.claude.answer(QStringLiteral("mcp add"), {"Added\n", {}, 0, false, std::nullopt});
        AddProjectFlow &adding = harness.model->adding();
        add(harness, QStringLiteral("!!!"));
        QVERIFY(adding.addError());
        QList<bool> addingStates;
        connect(&adding, &AddProjectFlow::isAddingChanged, this, [&] { addingStates.append(adding.isAdding()); });
        const QDateTime addedAt = harness.clock.now();

        add(harness, typed);

        QCOMPARE(harness.claude.calls().value(0), ModelHarness::registration(name));
        QCOMPARE(harness.registeredNames(), QStringList{name});
        const std::optional<Project> project = harness.project(name);
        QVERIFY(project);
        QCOMPARE(project->title, title);
        QCOMPARE(project->issue, std::nullopt);
        ConnectionMeta expected;
        expected.addedAt = ReferenceSeconds::Instant(addedAt);
        QCOMPARE(harness.model->connectionStore().meta(name), std::optional<ConnectionMeta>(expected));
        QCOMPARE(addingStates, (QList<bool>{true, false}));
        QCOMPARE(adding.addName(), QString());
        QCOMPARE(adding.addError(), std::nullopt);
        // The closing refresh shows the new connection with its live status.
        QCOMPARE(harness.statusOf(name), std::optional<ConnectionStatus>(ConnectionStatus::connected));
    }

    // Once the project exists the field is emptied and the registry read again, whatever the
    // registration did; the project's issue tells what went wrong.
    void registrationOutcomes_data()
    {
        QTest::addColumn<QByteArray>("registry");
        QTest::addColumn<FakeClaude::Reply>("addReply");
        QTest::addColumn<FakeClaude::Reply>("removeReply");
        QTest::addColumn<bool>("metadataFails");
        QTest::addColumn<QList<QStringList>>("changes");
        QTest::addColumn<QStringList>("registered");
        QTest::addColumn<std::optional<QString>>("issue");
        QTest::addColumn<std::optional<Recovery>>("recovery");
        QTest::addColumn<QStringList>("addLog");

        const QString name = QStringLiteral("webflow-acme-co");
        const FakeClaude::Reply added{"Added\n", {}, 0, false, std::nullopt};
        const FakeClaude::Reply removed{"Removed\n", {}, 0, false, std::nullopt};
        const FakeClaude::Reply refused{{}, "  MCP server webflow-acme-co already exists in user config\n", 1, false,
                                        std::nullopt};
        const QList<QStringList> both{ModelHarness::registration(name), ModelHarness::removal(name)};

        QTest::newRow("registration refused")
            << QByteArray() << refused << removed << false << QList<QStringList>{ModelHarness::registration(name)}
            << QStringList{} << std::optional<QString>("Not registered yet: MCP server webflow-acme-co already exists in user config")
            << std::optional<Recovery>(Recovery::connectMCP)
            << QStringList{"MCP server webflow-acme-co already exists in user config"};
        QTest::newRow("metadata not saved, rolled back")
            << QByteArray() << added << removed << true << both << QStringList{} << std::optional<QString>(kRolledBack)
            << std::optional<Recovery>(Recovery::reconcileRegistry) << QStringList{};
        QTest::newRow("metadata not saved, rollback failed")
            << QByteArray() << added << FakeClaude::Reply{{}, "permission denied\n", 1, false, std::nullopt} << true
            << both << QStringList{name} << std::optional<QString>(kRollbackFailed)
            << std::optional<Recovery>(Recovery::reconcileRegistry) << QStringList{};
        QTest::newRow("already managed")
            << claudeRegistry({{name, httpEntry()}}) << added << removed << false
            << QList<QStringList>{} << QStringList{name} << std::optional<QString>() << std::optional<Recovery>()
            << QStringList{};
        QTest::newRow("already listed as unrecognized")
            << claudeRegistry({{name, httpEntry(QStringLiteral("https://example.com/mcp"))}})
            << added << removed << false << QList<QStringList>{} << QStringList{name} << std::optional<QString>()
            << std::optional<Recovery>() << QStringList{};
    }

    void registrationOutcomes()
    {
        QFETCH(QByteArray, registry);
        QFETCH(FakeClaude::Reply, addReply);
        QFETCH(FakeClaude::Reply, removeReply);
        QFETCH(bool, metadataFails);
        QFETCH(QList<QStringList>, changes);
        QFETCH(QStringList, registered);
        QFETCH(std::optional<QString>, issue);
        QFETCH(std::optional<Recovery>, recovery);
        QFETCH(QStringList, addLog);
        const QString name = QStringLiteral("webflow-acme-co");
        ModelHarness harness;
        ProjectStore &projects = harness.model->projectStore();
        if (!registry.isEmpty()) {
            harness.writeRegistry(registry);
            QVERIFY(harness.refreshed());
            // The refresh adopted a managed name as a project; the add is to make that project.
            if (const std::optional<Project> adopted = harness.project(name))
                QVERIFY(!projects.remove(adopted->id));
        }
        harness.claude.answer(QStringLiteral("mcp add"), addReply);
        harness.claude.answer(QStringLiteral("mcp remove"), removeReply);
        if (metadataFails)
            harness.failingFiles.insert(QStringLiteral("connections.json"));
        // Every issue the project shows along the way, with its recovery.
        QList<std::pair<std::optional<QString>, std::optional<Recovery>>> shown;
        connect(&projects, &ProjectStore::projectsChanged, this, [&] {
            const std::optional<Project> project = harness.project(name);
            if (project && (shown.isEmpty() || shown.constLast().first != project->issue))
                shown.append({project->issue, project->issueRecovery});
        });

        add(harness, QStringLiteral("Acme Co"));

        QList<QStringList> registryChanges = harness.callsOf(QStringLiteral("mcp"), QStringLiteral("add"));
        registryChanges += harness.callsOf(QStringLiteral("mcp"), QStringLiteral("remove"));
        QCOMPARE(registryChanges, changes);
        QCOMPARE(harness.registeredNames(), registered);
        QVERIFY(harness.project(name));
        QVERIFY(!shown.isEmpty());
        QCOMPARE(shown.constFirst().first, std::nullopt);
        if (issue) {
            QCOMPARE(shown.size() >= 2, true);
            QCOMPARE(shown.at(1).first, issue);
            QCOMPARE(shown.at(1).second, recovery);
        } else {
            QCOMPARE(shown.size(), 1);
        }
        QCOMPARE(harness.logged(QStringLiteral("add")), addLog);
        QCOMPARE(harness.model->adding().addName(), QString());
        QCOMPARE(harness.model->adding().addError(), std::nullopt);
        QVERIFY(!harness.model->adding().isAdding());
        if (metadataFails) {
            QCOMPARE(harness.model->connectionStore().meta(name), std::nullopt);
            QCOMPARE(harness.logged(QStringLiteral("connection-store")).size(), 1);
        }
    }

    void enterTwiceCreatesOneProject()
    {
        ModelHarness harness;
        harness.claude.answer(QStringLiteral("mcp add"), {"Added\n", {}, 0, false, std::nullopt, 200ms});
        AddProjectFlow &adding = harness.model->adding();
        adding.setAddName(QStringLiteral("Acme"));

        QCoro::Task<> first = adding.addProject();
        QVERIFY(adding.isAdding());
        QCoro::waitFor(adding.addProject());
        QVERIFY(adding.isAdding());
        QCOMPARE(adding.addError(), std::nullopt);
        QCoro::waitFor(std::move(first));

        QCOMPARE(harness.model->projectStore().projects().size(), 1);
        QCOMPARE(harness.callsOf(QStringLiteral("mcp"), QStringLiteral("add")),
                 QList<QStringList>{ModelHarness::registration(QStringLiteral("webflow-acme"))});
    }
};

QTEST_MAIN(tst_AddProjectFlow)
#include "tst_AddProjectFlow.moc"
