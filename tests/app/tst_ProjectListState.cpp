// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ModelHarness.h"
#include "app/ProjectListState.h"
#include "publishing/PublishingTesting.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

namespace {

const QString dot = QStringLiteral("\u00B7");

QStringList column(const QAbstractItemModel &rows, const QByteArray &role)
{
    const int key = rows.roleNames().key(role);
    QStringList values;
    for (int row = 0; row < rows.rowCount(); ++row)
        values.append(rows.data(rows.index(row, 0), key).toString());
    return values;
}

QStringList titles(AppModel &model, const QStringList &ids)
{
    QStringList found;
    for (const QString &id : ids) {
        for (const Project &project : model.projectStore().projects()) {
            if (project.id == QUuid(id))
                found.append(project.title);
        }
    }
    return found;
}

QJsonObject grant(const QString &site, const QString &name, const QString &status = QStringLiteral("active"))
{
    return {{QStringLiteral("site_id"), site},
            {QStringLiteral("site_name"), name},
            {QStringLiteral("created_at"), QStringLiteral("2026-03-08T09:30:00Z")},
            {QStringLiteral("connection_status"), status}};
}

Project made(AppModel &model, const QString &title)
{
    const auto created = model.projectStore().createProject(title);
    if (!std::holds_alternative<Project>(created))
        qFatal("the project could not be made");
    return std::get<Project>(created);
}

} // namespace

// The Connections tab's list over a real model: what it lists in which order, and what its
// questions and its Assign menu do to the registry and the stores.
class tst_ProjectListState : public QObject
{
    Q_OBJECT

private slots:
    void followsTheSearch_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("projects");
        QTest::addColumn<QStringList>("unrecognized");
        QTest::addColumn<QString>("noMatches"); // empty: no line

        // The entry the user can remove comes first, whatever the names say.
        const QStringList entries{QStringLiteral("webflow-stdio"), QStringLiteral("b-local")};
        QTest::newRow("no search: all, by title") << "" << QStringList{"acme", "Beta", "Zed"} << entries << "";
        QTest::newRow("blanks are no search") << "  \t" << QStringList{"acme", "Beta", "Zed"} << entries << "";
        QTest::newRow("title, any case") << " BETA " << QStringList{"Beta"} << QStringList{} << "";
        QTest::newRow("only an entry matches: no line") << "STDIO" << QStringList{} << QStringList{"webflow-stdio"} << "";
        QTest::newRow("nothing matches: the trimmed term is quoted")
            << "  Nope " << QStringList{} << QStringList{} << QStringLiteral("No matches for \u201CNope\u201D");
    }

    void followsTheSearch()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, projects);
        QFETCH(QStringList, unrecognized);
        QFETCH(QString, noMatches);
        ModelHarness harness;
        // A stdio server (no HTTP) and a server under a folder without one: the first group
        // holds the one the user can remove.
        QJsonObject user{{QStringLiteral("webflow-stdio"), QJsonObject{{QStringLiteral("type"), QStringLiteral("stdio")},
                                                                    {QStringLiteral("command"), QStringLiteral("fs")}}}};
        harness.writeRegistry(claudeRegistry(user));
        AppModel &model = *harness.model;
        QVERIFY(harness.refreshed());
        made(model, QStringLiteral("Zed"));
        made(model, QStringLiteral("acme"));
        made(model, QStringLiteral("Beta"));
        // A second entry that sorts before the first by name but after it by group.
        QList<UnrecognizedServer> entries = model.unrecognized();
        QCOMPARE(entries.size(), 1);
        UnrecognizedServer shadow;
        shadow.name = QStringLiteral("b-local");
        shadow.reason = UnrecognizedServer::Reason::localScopeShadow;
        entries.append(shadow);
        model.setUnrecognized(entries);

        ProjectListState list;
        list.setModel(&model);
        QCOMPARE(column(list.projects(), "projectId").size(), 3);
        list.setSearchText(search);

        QCOMPARE(titles(model, column(list.projects(), "projectId")), projects);
        QCOMPARE(column(list.unrecognized(), "name"), unrecognized);
        QCOMPARE(list.showsNoMatches(), !noMatches.isEmpty());
        if (!noMatches.isEmpty())
            QCOMPARE(list.noMatchesText(), noMatches);
        QVERIFY(!list.showsHowTo());
    }

    // An entry being worked on shows as busy; the how-to card shows only without projects.
    void busyEntriesAndTheHowToCard()
    {
        ModelHarness harness;
        harness.writeRegistry(claudeRegistry(
            {{QStringLiteral("webflow-stdio"), QJsonObject{{QStringLiteral("type"), QStringLiteral("stdio")},
                                                        {QStringLiteral("command"), QStringLiteral("fs")}}}}));
        AppModel &model = *harness.model;
        QVERIFY(harness.refreshed());
        ProjectListState list;
        list.setModel(&model);
        QVERIFY(list.showsHowTo());
        QCOMPARE(column(list.unrecognized(), "busy"), QStringList{"false"});

        model.setBusy(QStringLiteral("webflow-stdio"), true);
        QCOMPARE(column(list.unrecognized(), "busy"), QStringList{"true"});

        QVERIFY(!model.showingIntro());
        list.openHowTo();
        QVERIFY(model.showingIntro());

        made(model, QStringLiteral("Acme"));
        QVERIFY(!list.showsHowTo());
        model.setBusy(QStringLiteral("webflow-stdio"), false);
    }

    // The question shows the folder safely; confirming removes the registration in the folder
    // exactly as the registry names it.
    void removalShowsSafeTextAndActsOnTheRawFolder()
    {
        ModelHarness harness;
        const QString name = QStringLiteral("webflow-local");
        QString folder = harness.home.filePath(QStringLiteral("sites/ac\u202Eme\u2066"));
        QVERIFY(QDir().mkpath(folder));
        folder = QFileInfo(folder).canonicalFilePath();
        QJsonObject server{{QStringLiteral("type"), QStringLiteral("http")},
                           {QStringLiteral("url"), ModelHarness::endpoint}};
        const QJsonObject folders{{folder, QJsonObject{{name, server}}}};
        harness.writeRegistry(claudeRegistry({}, folders));
        harness.claude.answer(QStringLiteral("mcp remove ") + name,
                              {"Removed\n", {}, 0, false, claudeRegistry({}, {{folder, QJsonObject()}})});
        AppModel &model = *harness.model;
        QVERIFY(harness.refreshed());
        ProjectListState list;
        list.setModel(&model);
        const QStringList keys = column(list.unrecognized(), "key");
        QCOMPARE(keys.size(), 1);
        QVERIFY(!column(list.unrecognized(), "folder").first().contains(QChar(0x202E)));

        list.confirmRemoval(keys.first());

        const std::optional<ConfirmRequest> request = model.confirms().current();
        QVERIFY(request);
        QCOMPARE(request->title, QStringLiteral("Remove webflow-local?"));
        QString shown = folder;
        shown.replace(QChar(0x202E), dot).replace(QChar(0x2066), dot);
        QCOMPARE(request->message, "Unregisters it from Claude Code for this folder only:\n" + shown
                                       + "\n\nNothing about this entry is contacted or launched.");
        model.confirms().confirmCurrent();
        QTRY_COMPARE(harness.callsOf(QStringLiteral("mcp"), QStringLiteral("remove")),
                     (QList<QStringList>{{QStringLiteral("mcp"), QStringLiteral("remove"), name, QStringLiteral("-s"),
                                          QStringLiteral("local")}}));
        QTRY_VERIFY(model.busy().isEmpty());
        QVERIFY2(!model.activity().sheet(), qPrintable(model.activity().sheet() ? model.activity().sheet()->log : QString()));
        QTRY_VERIFY(model.unrecognized().isEmpty());
        QTRY_VERIFY(list.unrecognized().rowCount() == 0);
        QTRY_VERIFY(model.busy().isEmpty());
        QVERIFY(!model.activity().sheet());
    }

    void assigning_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<std::optional<QString>>("siteAfter");
        QTest::addColumn<bool>("notice");

        QTest::newRow("assigned") << "" << std::optional<QString>(QStringLiteral("site-orphan")) << false;
        QTest::newRow("the project's server came to verify another site meanwhile: nothing changes")
            << "rebound" << std::optional<QString>() << false;
        QTest::newRow("the project cannot be saved: logged and shown")
            << "unsavable" << std::optional<QString>() << true;
    }

    void assigning()
    {
        QFETCH(QString, setup);
        QFETCH(std::optional<QString>, siteAfter);
        QFETCH(bool, notice);
        ModelHarness harness;
        AppModel &model = *harness.model;
        made(model, QStringLiteral("Bound"));
        QVERIFY(!model.projectStore().setSiteId(harness.project(QStringLiteral("webflow-bound"))->id,
                                                QStringLiteral("site-bound")));
        const Project free = made(model, QStringLiteral("Free"));
        ProjectListState list;
        list.setModel(&model);

        const QVariantList items = list.assignMenu(QStringLiteral("site-orphan"));
        QCOMPARE(items.size(), 1);
        const QVariantMap item = items.first().toMap();
        QCOMPARE(item.value(QStringLiteral("title")).toString(), QStringLiteral("Free"));
        QVERIFY(item.value(QStringLiteral("enabled")).toBool());
        if (setup == u"rebound") {
            ConnectionMeta meta;
            meta.sites = QList<SiteRef>{SiteRef{QStringLiteral("Other"), QStringLiteral("site-other"), std::nullopt}};
            const Connection verified{free.mcpName, std::nullopt, ConnectionStatus::connected, meta};
            QVERIFY(!model.siteDirectory().reconcile({verified}, {QStringLiteral("site-other")}, {}, {}));
            QVERIFY(model.siteDirectory().siteListing(free.mcpName));
        }
        if (setup == u"unsavable")
            harness.failingFiles.insert(QStringLiteral("projects.json"));

        list.assignSite(item.value(QStringLiteral("projectId")).toString(), QStringLiteral("site-orphan"));

        QCOMPARE(harness.project(QStringLiteral("webflow-free"))->siteId, siteAfter);
        const std::optional<ConfirmRequest> shown = model.confirms().current();
        QCOMPARE(shown.has_value(), notice);
        if (notice) {
            QCOMPARE(shown->title, QStringLiteral("Couldn't assign site-orphan"));
            QVERIFY(shown->isNotice);
            QVERIFY(!shown->message.isEmpty());
            QVERIFY(harness.logged(QStringLiteral("project-store")).contains(shown->message));
        }
        if (setup.isEmpty()) {
            QVERIFY(model.siteDirectory().site(QStringLiteral("site-orphan")));
            // Every project now stands for a site: nothing left to offer.
            const QVariantMap none = list.assignMenu(QStringLiteral("site-next")).first().toMap();
            QCOMPARE(none.value(QStringLiteral("title")).toString(), QStringLiteral("Add a project first"));
            QVERIFY(!none.value(QStringLiteral("enabled")).toBool());
        }
    }

    // Sites with access but no project: in name order, a pending revocation offering only its
    // retry, backend names shown safely, hidden while searching.
    void orphanRowsFollowPublishingAccess()
    {
        ModelHarness harness;
        AppModel &model = *harness.model;
        made(model, QStringLiteral("Acme"));
        FakeBackend backend;
        MemorySessionStorage storage;
        const QJsonArray grants{grant(QStringLiteral("site-g"), QStringLiteral("gamma")),
                                grant(QStringLiteral("site-b"), QStringLiteral("beta\u202E\u2069"),
                                      QStringLiteral("revocation_pending")),
                                grant(QStringLiteral("site-a"), QStringLiteral("Alpha"))};
        backend.setUserTable(QStringLiteral("site_publish_grants"), [&grants](const QUuid &) { return grants; });
        backend.setUserTable(QStringLiteral("oauth_states"), [](const QUuid &) { return QJsonArray(); });
        const std::unique_ptr<BackendClient> client = signedInClient(backend, storage, harness.clock, userA);
        ProjectListState list;
        list.setModel(&model);
        QVERIFY(!list.showsOrphans());

        model.publishAccess().setClient(client.get());
        model.publishAccess().bindAccount(userA, 1);
        QVERIFY(QCoro::waitFor(model.publishAccess().refresh()));

        QVERIFY(list.showsOrphans());
        QCOMPARE(column(list.orphans(), "siteId"),
                 (QStringList{QStringLiteral("site-a"), QStringLiteral("site-b"), QStringLiteral("site-g")}));
        QCOMPARE(column(list.orphans(), "name"), (QStringList{"Alpha", "beta" + dot + dot, "gamma"}));
        QCOMPARE(column(list.orphans(), "pending"), (QStringList{"false", "true", "false"}));
        QCOMPARE(column(list.orphans(), "assignable"), (QStringList{"true", "false", "true"}));

        list.confirmRevoke(QStringLiteral("site-b"));
        std::optional<ConfirmRequest> request = model.confirms().current();
        QVERIFY(request);
        QCOMPARE(request->title, "Finish disconnect for beta" + dot + dot + "?");
        QCOMPARE(request->confirmLabel, QStringLiteral("Retry Cleanup"));
        model.confirms().dismissConfirm();
        list.confirmRevoke(QStringLiteral("site-a"));
        request = model.confirms().current();
        QVERIFY(request);
        QCOMPARE(request->title, QStringLiteral("Revoke publishing access for Alpha?"));
        model.confirms().dismissConfirm();

        list.setSearchText(QStringLiteral("acme"));
        QVERIFY(!list.showsOrphans());
        QCOMPARE(list.orphans().rowCount(), 0);
        list.setSearchText(QString());
        QVERIFY(list.showsOrphans());
        model.publishAccess().setClient(nullptr);
    }
};

QTEST_MAIN(tst_ProjectListState)
#include "tst_ProjectListState.moc"
