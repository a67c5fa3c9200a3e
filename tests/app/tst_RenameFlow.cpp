// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "FlowHarness.h"

#include "cli/RegistryReader.h"

#include <QSignalSpy>

namespace {

const QString kOld = QStringLiteral("webflow-acme");
const QString kNew = QStringLiteral("webflow-acme-co");

QStringList removal(const QString &name)
{
    return {QStringLiteral("mcp"), QStringLiteral("remove"), name, QStringLiteral("-s"), QStringLiteral("user")};
}

QStringList addition(const QString &name)
{
    return {QStringLiteral("mcp"), QStringLiteral("add"), QStringLiteral("--transport"), QStringLiteral("http"),
            QStringLiteral("--scope"), QStringLiteral("user"), name, FlowHarness::endpoint};
}

} // namespace

// Renaming is one recorded transaction: the old registration goes, the new one comes, the
// metadata and the project follow, and a failing step puts back what the earlier ones changed.
class tst_RenameFlow : public QObject
{
    Q_OBJECT

private slots:
    void rename_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<QStringList>>("calls");
        QTest::addColumn<QString>("said");   // an issue the project showed on the way; empty: none ever
        QTest::addColumn<QString>("name");   // the project's server name afterwards
        QTest::addColumn<bool>("intentStays");
        QTest::addColumn<QString>("metaAt"); // where the verified metadata is afterwards; empty: gone
        QTest::addColumn<QString>("logged"); // "area: message" in the error log, or empty
        QTest::addColumn<QStringList>("registered"); // user-scope servers afterwards

        const QString added = QStringLiteral("Error: the server refused the name");
        QTest::newRow("renamed: old removed before new added")
            << "ok" << "  Acme Co  " << QList{removal(kOld), addition(kNew)} << "" << kNew << false << kNew << ""
            << QStringList{kNew};
        QTest::newRow("old name only in a folder: nothing removed first")
            << "old project-scoped" << "Acme Co" << QList<QStringList>{addition(kNew)} << "" << kNew << false << kNew
            << ""
            << QStringList{kNew};
        QTest::newRow("same name after normalizing: nothing at all")
            << "ok" << " ACME " << QList<QStringList>{} << "" << kOld << false << kOld << ""
            << QStringList{kOld};
        QTest::newRow("normalizes to nothing: nothing at all")
            << "ok" << "!!!" << QList<QStringList>{} << "" << kOld << false << kOld << ""
            << QStringList{kOld};
        QTest::newRow("reserved by another project")
            << "reserved" << "Acme Co" << QList<QStringList>{} << "webflow-acme-co is already reserved by another project."
            << kOld << false << kOld << ""
            << QStringList{kOld};
        QTest::newRow("new name held by a folder's entry")
            << "new project-scoped" << "Acme Co" << QList<QStringList>{}
            << "Rename not applied: webflow-acme-co is already registered." << kOld << false << kOld << ""
            << QStringList{kOld};
        QTest::newRow("old removal fails")
            << "old removal fails" << "Acme Co" << QList<QStringList>{removal(kOld)}
            << "Rename not applied: the old registration couldn't be removed. Error: server is busy" << kOld << false
            << kOld << "rename: Error: server is busy"
            << QStringList{kOld};
        QTest::newRow("add fails, restore fails: the intent stays")
            << "add fails" << "Acme Co" << QList{removal(kOld), addition(kNew), addition(kOld)}
            << "Rename not applied, and the old registration could not be restored: " + added << kOld << true << ""
            << "add: " + added
            << QStringList{};
        QTest::newRow("add fails, old registration restored: the intent is cleared")
            << "add fails, restored" << "Acme Co" << QList{removal(kOld), addition(kNew), addition(kOld)}
            << "Rename not applied: " + added << kOld << false << kOld << "add: " + added
            << QStringList{kOld};
        QTest::newRow("add fails without an old registration")
            << "add fails, old project-scoped" << "Acme Co" << QList<QStringList>{addition(kNew)}
            << "Rename not applied: " + added << kOld << false << kOld << "add: " + added
            << QStringList{};
        QTest::newRow("add reports failure yet registered: renamed")
            << "add fails yet registers" << "Acme Co" << QList{removal(kOld), addition(kNew)} << "" << kNew << false
            << kNew << ""
            << QStringList{kNew};
        QTest::newRow("metadata cannot move: registry put back")
            << "metadata unsavable" << "Acme Co" << QList{removal(kOld), addition(kNew), removal(kNew), addition(kOld)}
            << "Rename reached Claude Code, but connection metadata could not be saved. Quorvane restored the old "
               "registration where possible. Restore persistence and review both names."
            << kOld << false << kOld << ""
            << QStringList{kOld};
        QTest::newRow("metadata cannot move, undo fails: the intent stays")
            << "metadata unsavable, undo fails" << "Acme Co"
            << QList{removal(kOld), addition(kNew), removal(kNew), addition(kOld)}
            << "Rename reached Claude Code, but connection metadata could not be saved. Quorvane restored the old "
               "registration where possible. Restore persistence and review both names."
            << kOld << true << kOld << ""
            << QStringList{kOld, kNew};
        QTest::newRow("project cannot be renamed: registry and metadata put back")
            << "project unsavable" << "Acme Co" << QList{removal(kOld), addition(kNew), removal(kNew), addition(kOld)}
            << "" << kOld << true << kOld << ""
            << QStringList{kOld};
    }

    void rename()
    {
        QFETCH(QString, setup);
        QFETCH(QString, typed);
        QFETCH(QList<QStringList>, calls);
        QFETCH(QString, said);
        QFETCH(QString, name);
        QFETCH(bool, intentStays);
        QFETCH(QString, metaAt);
        QFETCH(QString, logged);
        QFETCH(QStringList, registered);
        FlowHarness h;
        const QString folder = h.home.path();
        if (setup.contains(u"old project-scoped"))
            h.writeRegistry(FlowHarness::registry({}, {{folder, {kOld}}}));
        else if (setup == u"new project-scoped")
            h.writeRegistry(FlowHarness::registry({kOld}, {{folder, {kNew}}}));
        else
            h.writeRegistry(FlowHarness::registry({kOld}));
        AppModel &model = h.makeModel();
        const Project project = h.addProject(QStringLiteral("Acme"));
        if (setup == u"reserved")
            (void)h.addProject(QStringLiteral("Acme Co"));
        h.addMeta(kOld);

        // claude edits ~/.claude.json on each successful add and remove, as the real tool does.
        if (setup == u"old removal fails")
            h.refuseRemoval(kOld, "Error: server is busy\n");
        else
            h.answerRemoval(kOld);
        const FakeClaude::Reply success{"Added HTTP MCP server\n", {}, 0, false, std::nullopt};
        const FakeClaude::Reply refused{{}, "Error: the server refused the name\n", 1, false, std::nullopt};
        if (setup == u"add fails, restored")
            h.claude.answerInTurn(QStringLiteral("mcp add"), {refused, success});
        else if (setup == u"add fails yet registers")
            h.claude.answer(QStringLiteral("mcp add"), {{}, refused.standardError, 1, false, FlowHarness::registry({kNew})});
        else
            h.claude.answer(QStringLiteral("mcp add"), setup.startsWith(u"add fails") ? refused : success);
        if (setup == u"metadata unsavable, undo fails")
            h.refuseRemoval(kNew, "Error: server is busy\n");
        else
            h.answerRemoval(kNew);
        if (setup.startsWith(u"metadata unsavable"))
            h.refuseWrite = [](const QString &file, const QByteArray &) { return file == u"connections.json"; };
        if (setup == u"project unsavable") {
            h.refuseWrite = [](const QString &file, const QByteArray &bytes) {
                return file == u"projects.json" && bytes.contains("\"mcpName\": \"webflow-acme-co\"");
            };
        }
        // The flow's own closing refresh may settle or clear what it said: follow every issue.
        QStringList issues;
        connect(&model.projectStore(), &ProjectStore::projectsChanged, this, [&] {
            for (const Project &each : model.projectStore().projects()) {
                if (each.id == project.id && each.issue && !issues.contains(*each.issue))
                    issues.append(*each.issue);
            }
        });

        finished(model.renamer().renameMCP(project, typed));

        QCOMPARE(h.registryCalls(), calls);
        QStringList servers;
        for (const ClaudeCLI::RegisteredServer &server : ClaudeCLI::readRegistry(h.registryPath()).servers)
            servers.append(server.name);
        QCOMPARE(servers, registered);
        if (said.isEmpty())
            QVERIFY2(issues.isEmpty(), qPrintable(issues.join(u'|')));
        else
            QVERIFY2(issues.contains(said), qPrintable(issues.join(u'|')));
        const auto after = std::find_if(model.projectStore().projects().cbegin(), model.projectStore().projects().cend(),
                                        [&](const Project &each) { return each.id == project.id; });
        QVERIFY(after != model.projectStore().projects().cend());
        QCOMPARE(after->mcpName, name);
        QCOMPARE(after->registryIntent.has_value(), intentStays);
        if (intentStays)
            QCOMPARE(*after->registryIntent, (Project::RegistryIntent{Project::RegistryIntent::Rename{kOld, kNew}}));
        // With neither name registered at the end, the closing refresh drops the metadata.
        if (metaAt.isEmpty()) {
            QVERIFY(model.connectionStore().connections().isEmpty());
        } else {
            QCOMPARE(model.connectionStore().connections().keys(), QStringList{metaAt});
            QCOMPARE(model.connectionStore().connections().value(metaAt).sites->first().name, QStringLiteral("Acme"));
        }
        QVERIFY(model.busy().isEmpty());
        QStringList entries;
        for (const ErrorEvent &event : model.errorLog().events()) {
            if (event.area == u"rename" || event.area == u"add")
                entries.append(event.area + QStringLiteral(": ") + event.message);
        }
        QCOMPARE(entries, logged.isEmpty() ? QStringList{} : QStringList{logged});
    }

    void aRenameThatCannotBeRecordedTellsTheAddField()
    {
        FlowHarness h;
        h.writeRegistry(FlowHarness::registry({kOld}));
        AppModel &model = h.makeModel();
        const Project project = h.addProject(QStringLiteral("Acme"));
        // The intent's write is the first that fails, and it turns the store read-only.
        h.refuseWrite = [](const QString &file, const QByteArray &) { return file == u"projects.json"; };
        QSignalSpy told(&model.renamer(), &RenameFlow::addErrorRaised);

        finished(model.renamer().renameMCP(project, QStringLiteral("Acme Co")));

        QCOMPARE(told.size(), 1);
        QCOMPARE(told.first().first().toString(), model.projectStore().persistenceIssue());
        QCOMPARE(model.adding().addError(), std::optional(model.projectStore().persistenceIssue()));
        QVERIFY(!model.projectStore().persistenceIssue().isEmpty());
        QVERIFY(h.registryCalls().isEmpty());
        QVERIFY(model.busy().isEmpty());
    }
};

QTEST_MAIN(tst_RenameFlow)
#include "tst_RenameFlow.moc"
