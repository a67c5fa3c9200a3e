// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ProjectStore.h"
#include "support/StoreTesting.h"

#include <QTest>

namespace {

using Result = ProjectStore::SaveResult;
using Kind = ProjectStore::SaveFailure::Kind;
using Collision = ProjectStore::NameCollision;
const Result kInvalid{{Kind::invalid, {}}};
const QString kReviewBeta = QStringLiteral("This MCP now verifies a different Webflow site (Beta "
                                           "Shop). Review the change before this project is "
                                           "retargeted.");

Project project(const QString &title, const QString &mcpName)
{
    Project value;
    value.id = QUuid::createUuid();
    value.title = title;
    value.mcpName = mcpName;
    value.createdAt = QDateTime(QDate(2025, 3, 1), QTime(9, 30), Qt::UTC);
    return value;
}

SiteRecord site(const QString &id, const QString &name, const QStringList &connections)
{
    SiteRecord value;
    value.id = id;
    value.name = name;
    value.connections = connections;
    return value;
}

Connection connection(const QString &name, std::optional<ConnectionMeta> meta = std::nullopt)
{
    return Connection{name, std::nullopt, ConnectionStatus::connected, std::move(meta)};
}

QStringList titlesOf(const QList<Project> &projects)
{
    QStringList titles;
    for (const Project &value : projects)
        titles.append(value.title);
    return titles;
}

// A store in a temporary home holding the given projects, with a writer that counts.
struct Fixture : StoreFixture
{
    explicit Fixture(const QList<Project> &projects = {})
        : store(folder(), environment())
    {
        if (!projects.isEmpty() && store.saveProjects(projects))
            qFatal("could not set up the projects");
        writer.writes = 0;
    }

    ProjectStore store;
};

} // namespace

class tst_ProjectOperations : public QObject
{
    Q_OBJECT

private slots:
    void normalizedMCPName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("words") << "Acme Co" << "webflow-acme-co";
        QTest::newRow("own prefix") << "webflow-acme" << "webflow-acme";
        QTest::newRow("other lane prefix") << "quorvane-beta-webflow-acme" << "webflow-acme";
        QTest::newRow("bare Webflow") << "Webflow" << "webflow-webflow";
        QTest::newRow("one prefix only") << "webflow-webflow-x" << "webflow-webflow-x";
        QTest::newRow("two hyphens") << "--" << "";
        QTest::newRow("exclamation marks") << "!!!" << "";
        QTest::newRow("leading hyphen") << "-Acme" << "webflow--acme";
        QTest::newRow("underscores") << "ACME_co" << "webflow-acme-co";
    }

    void normalizedMCPName()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(::normalizedMCPName(name), expected);
    }

    void createProject_data()
    {
        QTest::addColumn<QList<Project>>("existing");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("created");

        QTest::newRow("spaces only") << QList<Project>{} << "   " << false;
        QTest::newRow("punctuation only") << QList<Project>{} << "?!" << false;
        QTest::newRow("server name with the same key")
            << QList<Project>{project("Other", "webflow-acmeco")} << "Acme Co" << false;
        QTest::newRow("other lane's server name with the same key")
            << QList<Project>{project("Other", "quorvane-beta-webflow-acme-co")} << "Acme Co"
            << false;
        QTest::newRow("same title, other server name")
            << QList<Project>{project("Acme Co", "webflow-something")} << "Acme Co" << true;
    }

    void createProject()
    {
        QFETCH(QList<Project>, existing);
        QFETCH(QString, title);
        QFETCH(bool, created);
        Fixture fixture(existing);
        const auto result = fixture.store.createProject(title);
        QCOMPARE(std::holds_alternative<Project>(result), created);
        if (!created) {
            QCOMPARE(std::get<ProjectStore::SaveFailure>(result), *kInvalid);
            QCOMPARE(fixture.writer.writes, 0);
            QCOMPARE(fixture.store.projects(), existing);
            return;
        }
        const Project added = std::get<Project>(result);
        QCOMPARE(added.title, title.trimmed());
        QCOMPARE(added.mcpName, ::normalizedMCPName(title));
        QCOMPARE(added.createdAt, fixture.clock.now());
        QVERIFY(!added.issue && !added.siteId && !added.registryIntent);
        QCOMPARE(fixture.store.projects().last(), added);
    }

    void setTitleAndMCPName()
    {
        const Project acme = project("Acme", "webflow-acme");
        Fixture fixture({acme});
        QCOMPARE(fixture.store.setTitle(acme.id, QStringLiteral(" \n ")), kInvalid);
        QCOMPARE(fixture.store.setTitle(QUuid::createUuid(), QStringLiteral("X")), kInvalid);
        QCOMPARE(fixture.store.setTitle(acme.id, QStringLiteral("Acme")), Result()); // saves anyway
        QCOMPARE(fixture.writer.writes, 1);
        QCOMPARE(fixture.store.setTitle(acme.id, QStringLiteral("  New  ")), Result());
        QCOMPARE(fixture.store.projects().first().title, QStringLiteral("New"));

        QCOMPARE(fixture.store.setMCPName(acme.id, QStringLiteral("acme")), kInvalid);
        QCOMPARE(fixture.store.setRegistryIntent(
                     acme.id, {Project::RegistryIntent::Rename{"webflow-acme", "webflow-b"}}),
                 Result());
        QCOMPARE(fixture.store.setMCPName(acme.id, QStringLiteral("webflow-Acme Co")), Result());
        QCOMPARE(fixture.store.projects().first().mcpName, QStringLiteral("webflow-Acme Co"));
        QVERIFY(!fixture.store.projects().first().registryIntent);
    }

    void setIssue()
    {
        Project review = project("Review", "webflow-review");
        review.siteId = QStringLiteral("a");
        review.pendingSiteId = QStringLiteral("b");
        review.issue = kReviewBeta;
        review.issueRecovery = Project::IssueRecovery::reviewSiteIdentity;
        const Project plain = project("Plain", "webflow-plain");
        Fixture fixture({review, plain});

        QCOMPARE(fixture.store.setIssue(QStringLiteral("x"), QStringLiteral("webflow-none")), kInvalid);
        QCOMPARE(fixture.store.setIssue(std::nullopt, QStringLiteral("webflow-review")), Result());
        QCOMPARE(fixture.writer.writes, 0);
        QCOMPARE(fixture.store.projects().first(), review);

        QCOMPARE(fixture.store.setIssue(QStringLiteral("Couldn't register: timeout"),
                                        QStringLiteral("webflow-plain")),
                 Result());
        QCOMPARE(fixture.store.projects().last().issueRecovery,
                 std::optional(Project::IssueRecovery::connectMCP));
        QCOMPARE(fixture.store.setIssue(QStringLiteral("Couldn't register: timeout"),
                                        QStringLiteral("webflow-plain"),
                                        Project::IssueRecovery::reconcileRegistry),
                 Result());
        QCOMPARE(fixture.store.projects().last().issueRecovery,
                 std::optional(Project::IssueRecovery::reconcileRegistry));
        QCOMPARE(fixture.store.setIssue(std::nullopt, QStringLiteral("webflow-plain")), Result());
        QVERIFY(!fixture.store.projects().last().issue);
        QVERIFY(!fixture.store.projects().last().issueRecovery);
    }

    void registryIntent()
    {
        const Project acme = project("Acme", "webflow-acme");
        Fixture fixture({acme});
        QCOMPARE(fixture.store.clearRegistryIntent(acme.id), Result());
        QCOMPARE(fixture.writer.writes, 0);
        const Project::RegistryIntent remove{Project::RegistryIntent::Remove{"webflow-acme"}};
        QCOMPARE(fixture.store.setRegistryIntent(acme.id, remove), Result());
        QCOMPARE(fixture.store.setRegistryIntent(
                     acme.id, {Project::RegistryIntent::Unregister{"webflow-acme"}}),
                 kInvalid);
        QCOMPARE(fixture.store.projects().first().registryIntent, std::optional(remove));
        QCOMPARE(fixture.store.clearRegistryIntent(acme.id), Result());
        QVERIFY(!fixture.store.projects().first().registryIntent);
        QCOMPARE(fixture.store.clearRegistryIntent(QUuid::createUuid()), kInvalid);
    }

    void clearingAnAbsentIntentSucceedsWhileReadOnly()
    {
        const Project acme = project("Acme", "webflow-acme");
        Fixture fixture({acme});
        fixture.writer.failure = QStringLiteral("Read-only file system");
        QCOMPARE(fixture.store.setTitle(acme.id, QStringLiteral("B")).value().kind,
                 Kind::writeFailed);
        QCOMPARE(fixture.store.clearRegistryIntent(acme.id), Result());
        QCOMPARE(fixture.store.remove(QUuid::createUuid()), kInvalid);
        QCOMPARE(fixture.store.setIssue(std::nullopt, QStringLiteral("webflow-nobody")), kInvalid);
        QCOMPARE(fixture.writer.writes, 1);
    }

    void siteBinding()
    {
        Project bound = project("Bound", "webflow-bound");
        bound.siteId = QStringLiteral("a");
        bound.issue = QStringLiteral("Something else");
        bound.issueRecovery = Project::IssueRecovery::verifySite;
        const Project unbound = project("Unbound", "webflow-unbound");
        Fixture fixture({bound, unbound});

        QCOMPARE(fixture.store.setSiteId(bound.id, QStringLiteral("a")), kInvalid);
        QCOMPARE(fixture.store.setSiteId(unbound.id, std::nullopt), kInvalid);
        QCOMPARE(fixture.store.acceptPendingSite(bound.id), kInvalid);
        QCOMPARE(fixture.writer.writes, 0);

        QCOMPARE(fixture.store.setSiteId(bound.id, QStringLiteral("b")), Result());
        const Project moved = fixture.store.projects().first();
        QCOMPARE(moved.siteId, std::optional(QStringLiteral("b")));
        QCOMPARE(moved.issue, std::optional(QStringLiteral("Something else")));
        QVERIFY(!moved.issueRecovery);
    }

    void reconcileSites()
    {
        Project bound = project("Bound", "webflow-bound");
        bound.siteId = QStringLiteral("a");
        const Project unbound = project("Unbound", "webflow-unbound");
        Fixture fixture({bound, unbound});

        QCOMPARE(fixture.store.reconcileSites({}), Result());
        QCOMPARE(fixture.store.reconcileSites({site("x", "X", {"webflow-nobody"})}), Result());
        QCOMPARE(fixture.store.reconcileSites({site("a", "Alpha", {"webflow-bound"})}), Result());
        QCOMPARE(fixture.writer.writes, 0); // nothing changed, nothing written

        // A project listed by two sites is bound to the first and asked to review the second.
        QCOMPARE(fixture.store.reconcileSites({site("c", "Gamma", {"webflow-unbound"}),
                                               site("b", "Beta Shop", {"webflow-bound",
                                                                       "webflow-unbound"})}),
                 Result());
        const Project reviewed = fixture.store.projects().first();
        QCOMPARE(reviewed.pendingSiteId, std::optional(QStringLiteral("b")));
        QCOMPARE(reviewed.pendingSiteName, std::optional(QStringLiteral("Beta Shop")));
        QCOMPARE(reviewed.issue, std::optional(kReviewBeta));
        QCOMPARE(reviewed.issueRecovery, std::optional(Project::IssueRecovery::reviewSiteIdentity));
        const Project newlyBound = fixture.store.projects().last();
        QCOMPARE(newlyBound.siteId, std::optional(QStringLiteral("c")));
        QCOMPARE(newlyBound.pendingSiteId, std::optional(QStringLiteral("b")));

        // The same review again still counts as a change.
        const int writes = fixture.writer.writes;
        QCOMPARE(fixture.store.reconcileSites({site("b", "Beta Shop", {"webflow-bound"})}), Result());
        QCOMPARE(fixture.writer.writes, writes + 1);

        // Clearing the issue leaves the review; verifying the bound site again settles it.
        QCOMPARE(fixture.store.setIssue(std::nullopt, QStringLiteral("webflow-bound")), Result());
        QCOMPARE(fixture.store.projects().first().issue, std::optional(kReviewBeta));
        QCOMPARE(fixture.store.reconcileSites({site("a", "Alpha", {"webflow-bound"})}), Result());
        const Project settled = fixture.store.projects().first();
        QCOMPARE(settled.siteId, std::optional(QStringLiteral("a")));
        QVERIFY(!settled.pendingSiteId && !settled.pendingSiteName && !settled.issue);

        // Accepting a pending site moves the project there.
        QCOMPARE(fixture.store.acceptPendingSite(newlyBound.id), Result());
        const Project accepted = fixture.store.projects().last();
        QCOMPARE(accepted.siteId, std::optional(QStringLiteral("b")));
        QVERIFY(!accepted.pendingSiteId && !accepted.issue && !accepted.issueRecovery);
    }

    void adoptUnclaimedConnections_data()
    {
        QTest::addColumn<Connection>("unclaimed");
        QTest::addColumn<QString>("title");

        ConnectionMeta withSite;
        withSite.sites = QList<SiteRef>{SiteRef{"Acme Inc.", "s1", {}}, SiteRef{"Other", "s2", {}}};
        ConnectionMeta noSites;
        noSites.sites = QList<SiteRef>{};
        QTest::newRow("from the name") << connection("webflow-acme-co") << "Acme Co";
        QTest::newRow("empty pieces") << connection("webflow--a--b-") << "A B";
        QTest::newRow("prefix only") << connection("webflow-") << "";
        QTest::newRow("other lane keeps its words")
            << connection("quorvane-beta-webflow-acme") << "Quorvane Beta Webflow Acme";
        QTest::newRow("full upper-case mapping") << connection("webflow-ßtraße") << "SStraße";
        QTest::newRow("first site's name") << connection("webflow-x", withSite) << "Acme Inc.";
        QTest::newRow("empty site list") << connection("webflow-acme", noSites) << "Acme";
    }

    void adoptUnclaimedConnections()
    {
        QFETCH(Connection, unclaimed);
        QFETCH(QString, title);
        Fixture fixture;
        QCOMPARE(fixture.store.adoptUnclaimedConnections({unclaimed}), Result());
        QCOMPARE(titlesOf(fixture.store.projects()), QStringList{title});
        const Project adopted = fixture.store.projects().first();
        QCOMPARE(adopted.mcpName, unclaimed.name);
        QCOMPARE(adopted.createdAt, fixture.clock.now());
    }

    void adoptionSkipsClaimedNames()
    {
        Fixture fixture({project("Mine", "webflow-mine")});
        ConnectionMeta added;
        added.addedAt = ReferenceSeconds::Instant(QDateTime(QDate(2024, 5, 1), QTime(8, 0), Qt::UTC));
        QCOMPARE(fixture.store.adoptUnclaimedConnections({}), Result());
        QCOMPARE(fixture.store.adoptUnclaimedConnections({connection("webflow-mine")}), Result());
        QCOMPARE(fixture.writer.writes, 0);
        QCOMPARE(fixture.store.adoptUnclaimedConnections(
                     {connection("webflow-new", added), connection("webflow-new"),
                      connection("webflow-mine")}),
                 Result());
        QCOMPARE(fixture.writer.writes, 1);
        QCOMPARE(titlesOf(fixture.store.projects()), (QStringList{"Mine", "New"}));
        QCOMPARE(fixture.store.projects().last().createdAt, added.addedAt->date());
    }

    void removeAndLookUp()
    {
        const Project a = project("A", "webflow-a");
        const Project b = project("B", "webflow-b");
        Fixture fixture({a, b, a});
        QCOMPARE(fixture.store.remove(QUuid::createUuid()), kInvalid);
        QCOMPARE(fixture.writer.writes, 0);
        QCOMPARE(fixture.store.projectForMCPName(QStringLiteral("webflow-b")), std::optional(b));
        QVERIFY(!fixture.store.projectForMCPName(QStringLiteral("WEBFLOW-B")));
        QCOMPARE(fixture.store.remove(a.id), Result());
        QCOMPARE(fixture.store.projects(), QList<Project>{b});
    }

    void nameCollision_data()
    {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("extras");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::optional<Collision>>("expected");

        const auto exact = [](const QString &name) {
            return std::optional(Collision{name, Collision::Kind::exact});
        };
        const auto close = [](const QString &name) {
            return std::optional(Collision{name, Collision::Kind::close});
        };
        QTest::newRow("same key, other case") << QStringList{"ACME"} << QStringList{} << "Acme"
                                              << exact("ACME");
        QTest::newRow("typed is contained") << QStringList{"Acme Corp"} << QStringList{} << "Acme"
                                            << close("Acme Corp");
        QTest::newRow("typed contains") << QStringList{"Acme"} << QStringList{}
                                        << "acme corporation" << close("Acme");
        QTest::newRow("punctuation only") << QStringList{"Acme"} << QStringList{} << "?!"
                                          << std::optional<Collision>();
        QTest::newRow("exact later beats close earlier")
            << QStringList{"Acme Corp"} << QStringList{"webflow-acme"} << "Acme"
            << exact("webflow-acme");
        QTest::newRow("a server name matches") << QStringList{"Zed"} << QStringList{} << "zed"
                                               << exact("Zed");
        QTest::newRow("an empty key never matches")
            << QStringList{"Other"} << QStringList{"!!!"} << "Brand new" << std::optional<Collision>();
    }

    void nameCollision()
    {
        QFETCH(QStringList, titles);
        QFETCH(QStringList, extras);
        QFETCH(QString, typed);
        QFETCH(std::optional<Collision>, expected);
        QList<Project> projects;
        for (const QString &title : titles)
            projects.append(project(title, QStringLiteral("webflow-unrelated-") + QString::number(projects.size())));
        Fixture fixture(projects);
        QCOMPARE(fixture.store.nameCollision(typed, extras), expected);
    }

    void sortProjectsByTitle_data()
    {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("case-insensitive") << QStringList{"beta", "Alpha", "alpha"}
                                          << QStringList{"Alpha", "alpha", "beta"};
        QTest::newRow("stable") << QStringList{"alpha", "beta", "Alpha"}
                                << QStringList{"alpha", "Alpha", "beta"};
    }

    void sortProjectsByTitle()
    {
        QFETCH(QStringList, titles);
        QFETCH(QStringList, sorted);
        QList<Project> projects;
        for (const QString &title : titles)
            projects.append(project(title, QStringLiteral("webflow-x")));
        const QList<Project> input = projects;
        QCOMPARE(titlesOf(::sortProjectsByTitle(projects)), sorted);
        QCOMPARE(projects, input);
    }
};

QTEST_GUILESS_MAIN(tst_ProjectOperations)
#include "tst_ProjectOperations.moc"
