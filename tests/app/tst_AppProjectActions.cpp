// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/FlowHarness.h"
#include "app/ModelHarness.h"

namespace {

const QString kAcme = QStringLiteral("webflow-acme");

using Calls = QList<QStringList>;

} // namespace

// The cards' actions on a real model: each one starts the flow that owns it, on the project the
// card handed over.
class tst_AppProjectActions : public QObject
{
    Q_OBJECT

    // A project for webflow-acme, with the server registered when `registered` is set.
    static Project acme(ModelHarness &harness, bool registered)
    {
        harness.writeRegistry(claudeRegistry(registered ? QJsonObject{{kAcme, httpEntry()}} : QJsonObject{}));
        if (registered) {
            if (!harness.refreshed())
                qFatal("the first refresh failed");
        } else {
            const auto made = harness.model->projectStore().createProject(QStringLiteral("Acme"));
            if (!std::holds_alternative<Project>(made))
                qFatal("the project could not be made");
        }
        return *harness.project(kAcme);
    }

    static QStringList addition(const QString &name) { return ModelHarness::registration(name); }

private slots:
    void flowsChangeTheRegistry_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("registered");
        QTest::addColumn<Calls>("calls");
        QTest::addColumn<QStringList>("namesAfter"); // server names of the projects once the flow ended

        const QString renamed = QStringLiteral("webflow-acme-studio");
        QTest::newRow("connect registers a server Claude lacks")
            << "connect" << false << Calls{addition(kAcme)} << QStringList{kAcme};
        QTest::newRow("unregister keeps the project")
            << "unregister" << true << Calls{ModelHarness::removal(kAcme)} << QStringList{kAcme};
        QTest::newRow("remove takes the project away")
            << "remove" << true << Calls{ModelHarness::removal(kAcme)} << QStringList{};
        QTest::newRow("rename moves the registration to the new name")
            << "rename" << true << Calls{ModelHarness::removal(kAcme), addition(renamed)} << QStringList{renamed};
    }

    void flowsChangeTheRegistry()
    {
        QFETCH(QString, action);
        QFETCH(bool, registered);
        QFETCH(Calls, calls);
        QFETCH(QStringList, namesAfter);
        FlowHarness h;
        h.writeRegistry(FlowHarness::registry(registered ? QStringList{kAcme} : QStringList{}));
        AppModel &model = h.makeModel(true);
        h.bindCloud();
        const Project project = h.addProject(QStringLiteral("Acme"));
        if (registered)
            h.addMeta(kAcme);
        h.answerRemoval(kAcme);
        h.claude.answer(QStringLiteral("mcp add"), {"Added HTTP MCP server\n", {}, 0, false, std::nullopt});
        // The authorization after a registration ends at once.
        h.claude.answer(QStringLiteral("mcp login"), {{}, "login refused\n", 1, false, std::nullopt});
        ProjectActions &actions = model.projectActions();

        if (action == u"connect")
            actions.connectProject(project, false, false);
        else if (action == u"unregister")
            actions.unregisterMCP(project);
        else if (action == u"remove")
            actions.removeProject(project);
        else if (action == u"rename")
            actions.renameMCP(project, QStringLiteral("Acme Studio"));

        QTRY_COMPARE(h.registryCalls(), calls);
        if (action == u"connect")
            QTRY_VERIFY(model.activity().sheet() && model.activity().sheet()->outcome != ActivitySheet::Outcome::running);
        if (action == u"remove") // the removal ends by settling its cloud lease
            QTRY_COMPARE(h.rpcCalls(QStringLiteral("finish_project_removal")).size(), 1);
        QTRY_VERIFY(!model.removal().isRemoving(project.id));
        QTRY_VERIFY(model.busy().isEmpty());
        QTRY_VERIFY(!model.isRefreshing());
        const auto names = [&model] {
            QStringList found;
            for (const Project &each : model.projectStore().projects())
                found.append(each.mcpName);
            return found;
        };
        QTRY_COMPARE(names(), namesAfter);
        QCOMPARE(h.registryCalls(), calls);
    }

    // The actions that answer at once or only ask, each reaching the model's own part.
    void askingRecordingAndReading()
    {
        ModelHarness harness;
        const Project project = acme(harness, true);
        AppModel &model = *harness.model;
        ProjectActions &actions = model.projectActions();

        ConfirmRequest request;
        request.id = QUuid::createUuid();
        request.title = QStringLiteral("Remove Acme?");
        actions.present(request);
        QVERIFY(model.confirms().current());
        QCOMPARE(model.confirms().current()->id, request.id);

        actions.record(QStringLiteral("rename"), QStringLiteral("Couldn't rename."));
        QCOMPARE(harness.logged(QStringLiteral("rename")), QStringList{QStringLiteral("Couldn't rename.")});

        QVERIFY(!actions.removalDescription(project).isEmpty());
        QCOMPARE(actions.removalDescription(project), model.removal().removalDescription(project));

        // Nothing is pending for a site without publishing state: no notice, and the connect may go on.
        QVERIFY(!actions.refuseWhileRevocationPending(QStringLiteral("site-1"), QStringLiteral("Acme"), kAcme));
        QCOMPARE(model.confirms().current()->id, request.id);

        // A forced refresh reads the registry again.
        harness.writeRegistry(claudeRegistry({{kAcme, httpEntry()}, {QStringLiteral("webflow-beta"), httpEntry()}}));
        actions.refresh(true);
        QTRY_COMPARE(model.connections().size(), 2);
        QTRY_VERIFY(!model.isRefreshing());

        // Checking the scope opens its sheet on the connection.
        actions.verifyScope(kAcme);
        QTRY_VERIFY(model.activity().sheet());
        QCOMPARE(model.activity().sheet()->subject, std::optional<QString>(kAcme));
        QTRY_VERIFY(model.activity().sheet()->outcome != ActivitySheet::Outcome::running);
        QTRY_VERIFY(model.busy().isEmpty());
    }
};

QTEST_MAIN(tst_AppProjectActions)
#include "tst_AppProjectActions.moc"
