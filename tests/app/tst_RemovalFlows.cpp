// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "FlowHarness.h"

#include "foundation/Redaction.h"
#include "foundation/ServerNames.h"
#include "foundation/UuidText.h"

#include <QDir>
#include <QSignalSpy>

using Outcome = RemovalFlows::RemovalOutcome;
using Recovery = Project::IssueRecovery;

namespace {

const QString kAcme = QStringLiteral("webflow-acme");

QStringList removal(const QString &name, const QString &scope = QStringLiteral("user"))
{
    return {QStringLiteral("mcp"), QStringLiteral("remove"), name, QStringLiteral("-s"), scope};
}

QStringList addition(const QString &name)
{
    return {QStringLiteral("mcp"), QStringLiteral("add"), QStringLiteral("--transport"), QStringLiteral("http"),
            QStringLiteral("--scope"), QStringLiteral("user"), name, FlowHarness::endpoint};
}

// A scheduled publish row of the signed-in user for a site.
QJsonObject scheduleRow(const FlowHarness &h, const QString &site, const QString &connection,
                        const QString &status = QStringLiteral("scheduled"))
{
    return {{QStringLiteral("id"), QUuid::createUuid().toString(QUuid::WithoutBraces)},
            {QStringLiteral("user_id"), h.backend.userId.toString(QUuid::WithoutBraces)},
            {QStringLiteral("connection_name"), connection},
            {QStringLiteral("site_id"), site},
            {QStringLiteral("site_name"), QStringLiteral("Acme")},
            {QStringLiteral("publish_at"), QStringLiteral("2026-01-16T09:00:00+00:00")},
            {QStringLiteral("time_zone"), QStringLiteral("Europe/Berlin")},
            {QStringLiteral("domains"), QJsonArray()},
            {QStringLiteral("skip_if_changed"), false},
            {QStringLiteral("baseline_last_updated"), QJsonValue::Null},
            {QStringLiteral("status"), status},
            {QStringLiteral("created_at"), QStringLiteral("2026-01-15T09:00:00+00:00")},
            {QStringLiteral("completed_at"), QJsonValue::Null},
            {QStringLiteral("failure"), QJsonValue::Null}};
}

QList<bool> committedFlags(const FlowHarness &h)
{
    QList<bool> flags;
    for (const QJsonObject &body : h.rpcCalls(QStringLiteral("finish_project_removal")))
        flags.append(body.value(QLatin1StringView("p_committed")).toBool());
    return flags;
}

} // namespace

// Taking registrations and projects away: each flow either finishes or keeps what it could not
// remove safely, explains why where the user looks, and never cancels in the cloud what it then
// cannot record here.
class tst_RemovalFlows : public QObject
{
    Q_OBJECT

private slots:
    void unregisterKeepsTheProject_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("claudeRuns");
        QTest::addColumn<QString>("issue");
        QTest::addColumn<bool>("reconcile");
        QTest::addColumn<bool>("intentStays");
        QTest::addColumn<bool>("metaAfter"); // verified sites stored

        QTest::newRow("unregistered") << "ok" << true << "" << false << false << false;
        QTest::newRow("claude fails: the metadata is back")
            << "claude fails" << true << "Couldn't unregister the MCP connection. Error: server is busy" << false
            << false << true;
        QTest::newRow("claude fails without metadata: nothing put back")
            << "claude fails, no metadata" << true << "Couldn't unregister the MCP connection. Error: server is busy"
            << false << false << false;
        QTest::newRow("metadata cannot be saved: claude not asked")
            << "metadata unsavable" << false
            << "Connection metadata could not be saved, so Claude's registry was not changed." << true << true << true;
    }

    void unregisterKeepsTheProject()
    {
        QFETCH(QString, setup);
        QFETCH(bool, claudeRuns);
        QFETCH(QString, issue);
        QFETCH(bool, reconcile);
        QFETCH(bool, intentStays);
        QFETCH(bool, metaAfter);
        FlowHarness h;
        h.writeRegistry(FlowHarness::registry({kAcme}));
        AppModel &model = h.makeModel();
        const Project project = h.addProject(QStringLiteral("Acme"));
        if (setup != u"claude fails, no metadata")
            h.addMeta(kAcme);
        if (setup.startsWith(u"claude fails"))
            h.refuseRemoval(kAcme, "Error: server is busy\n");
        else
            h.answerRemoval(kAcme, FlowHarness::registry({}));
        if (setup == u"metadata unsavable")
            h.refuseWrite = [](const QString &file, const QByteArray &) { return file == u"connections.json"; };

        finished(model.removal().unregisterMCP(project));

        QCOMPARE(h.registryCalls(), claudeRuns ? QList<QStringList>{removal(kAcme)} : QList<QStringList>{});
        const std::optional<Project> after = h.project(kAcme);
        QVERIFY(after);
        QCOMPARE(after->issue.value_or(QString()), issue);
        QCOMPARE(after->issueRecovery == Recovery::reconcileRegistry, reconcile);
        QCOMPARE(after->registryIntent.has_value(), intentStays);
        if (intentStays)
            QCOMPARE(*after->registryIntent, (Project::RegistryIntent{Project::RegistryIntent::Unregister{kAcme}}));
        const std::optional<ConnectionMeta> meta = model.connectionStore().meta(kAcme);
        // A refresh gives a registered name without metadata a fresh entry; verified sites come back
        // only from what was put back.
        QCOMPARE(meta && meta->sites, metaAfter);
        if (metaAfter)
            QCOMPARE(meta->sites->first().name, QStringLiteral("Acme"));
    }

    void removalByNameReportsInAnErrorSheet_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("log"); // "store" stands for the model's persistence problem
        QTest::addColumn<bool>("claudeRuns");

        const QString bell = QStringLiteral("webflow-acme\u0007;rm -rf ~");
        QTest::newRow("read-only project store: claude not asked")
            << kAcme << "unreadable projects" << "Local persistence is read-only." << "store" << false;
        QTest::newRow("claude fails: output redacted, metadata back")
            << kAcme << "claude fails" << "The CLI reported an error."
            << "Error: Bearer ‹redacted› was refused" << true;
        QTest::newRow("a name outside the rules never reaches the command line")
            << bell << "" << "The CLI reported an error."
            << "Refusing to pass \"" + ClaudeCLI::displayName(bell) + "\" to the CLI. Remove it from ~/.claude.json by hand."
            << false;
    }

    void removalByNameReportsInAnErrorSheet()
    {
        QFETCH(QString, name);
        QFETCH(QString, setup);
        QFETCH(QString, note);
        QFETCH(QString, log);
        QFETCH(bool, claudeRuns);
        FlowHarness h;
        if (setup == u"unreadable projects")
            putFile(h.home.appDataDir() + QStringLiteral("/projects.json"), "{ not json");
        h.writeRegistry(FlowHarness::registry({kAcme}));
        AppModel &model = h.makeModel();
        h.addMeta(kAcme);
        h.refuseRemoval(name, "Error: Bearer abcdefghijklmnopqrstuvwxyz0123 was refused\n");

        QVERIFY(!finished(model.removal().removeConnection(name)));

        QCOMPARE(h.registryCalls(), claudeRuns ? QList<QStringList>{removal(name)} : QList<QStringList>{});
        const std::optional<ActivitySheet> &sheet = model.activity().sheet();
        QVERIFY(sheet);
        QCOMPARE(sheet->kind, ActivitySheet::Kind::error);
        QCOMPARE(sheet->title, QStringLiteral("Could not remove ") + ClaudeCLI::displayName(name));
        QVERIFY(!sheet->title.contains(QChar(7)));
        QVERIFY(!sheet->subject);
        QCOMPARE(sheet->note, note);
        QCOMPARE(sheet->log, log == u"store" ? redactSecrets(*model.persistenceIssue()) : log);
        QCOMPARE(sheet->outcome, ActivitySheet::Outcome::failure);
        QVERIFY(model.busy().isEmpty());
        // Whatever happened, the verified metadata is where it was.
        QCOMPARE(model.connectionStore().meta(kAcme)->sites->first().name, QStringLiteral("Acme"));
        if (setup == u"claude fails")
            QCOMPARE(h.logged(QStringLiteral("remove")), QStringList{"Error: Bearer ‹redacted› was refused"});
    }

    void failedRemovalDuringABatchAddsOneLine()
    {
        FlowHarness h;
        h.writeRegistry(FlowHarness::registry({kAcme}));
        AppModel &model = h.makeModel();
        h.refuseRemoval(kAcme, "Error: server is busy\n");
        model.removal().setBatchProbe([] { return true; });
        const QUuid batch = model.activity().open(ActivitySheet::Kind::authorizing,
                                                  QStringLiteral("Authorizing 3 connections"), std::nullopt,
                                                  QStringLiteral("One after another."));

        QVERIFY(!finished(model.removal().removeConnection(kAcme)));

        QCOMPARE(model.activity().sheet()->id, batch);
        QCOMPARE(model.activity().sheet()->log, QStringLiteral("✕ Could not remove webflow-acme: Error: server is busy\n"));
        QCOMPARE(model.activity().sheet()->outcome, ActivitySheet::Outcome::running);
    }

    void removeProject_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("issue");
        QTest::addColumn<bool>("removed");
        QTest::addColumn<QList<QStringList>>("calls");
        QTest::addColumn<int>("cancellations");
        QTest::addColumn<QList<bool>>("finishes");

        QTest::newRow("publish cancelled under a lease: one removal, committed")
            << "scheduled" << Outcome::removed << "" << true << QList<QStringList>{removal(kAcme)} << 1 << QList{true};
        QTest::newRow("only a folder's entry: no claude, metadata dropped")
            << "project-scoped" << Outcome::removed << "" << true << QList<QStringList>{} << 1 << QList{true};
        QTest::newRow("publish running")
            << "publishing" << Outcome::keptPublishing
            << "A publish is running right now, so the project and its connection were kept. Try again after it "
               "finishes."
            << false << QList<QStringList>{} << 1 << QList<bool>{};
        QTest::newRow("claude fails after the cancellation")
            << "claude fails" << Outcome::keptUnregisterFailed
            << "The scheduled publish is cancelled, but the MCP connection couldn't be unregistered, so the project "
               "was kept. Try again."
            << false << QList<QStringList>{removal(kAcme)} << 1 << QList{false};
        QTest::newRow("commit refused: registered again")
            << "commit refused" << Outcome::keptPersistenceFailed << "" << false
            << QList<QStringList>{removal(kAcme), addition(kAcme)} << 1 << QList{false};
        QTest::newRow("shared site: the cloud is left alone")
            << "shared" << Outcome::removed << "" << true << QList<QStringList>{removal(kAcme)} << 0 << QList<bool>{};
        QTest::newRow("no account: kept, no child started")
            << "no account" << Outcome::keptCancelFailed
            << "Couldn't confirm that every scheduled publish was cancelled, so the project and its connection were "
               "kept. Try again."
            << false << QList<QStringList>{} << 0 << QList<bool>{};
        QTest::newRow("read-only store: the notice, nothing cancelled")
            << "read-only" << Outcome::keptPersistenceFailed << "" << false << QList<QStringList>{} << 0
            << QList<bool>{};
    }

    void removeProject()
    {
        QFETCH(QString, setup);
        QFETCH(Outcome, outcome);
        QFETCH(QString, issue);
        QFETCH(bool, removed);
        QFETCH(QList<QStringList>, calls);
        QFETCH(int, cancellations);
        QFETCH(QList<bool>, finishes);
        FlowHarness h;
        if (setup == u"read-only")
            putFile(h.home.appDataDir() + QStringLiteral("/sites.json"), "{ not json");
        if (setup == u"project-scoped")
            h.writeRegistry(FlowHarness::registry({}, {{h.home.path(), {kAcme}}}));
        else
            h.writeRegistry(FlowHarness::registry({kAcme, QStringLiteral("webflow-acme-blog")}));
        if (setup == u"scheduled" || setup == u"claude fails")
            h.backend.scheduledPublishes = {scheduleRow(h, QStringLiteral("site-1"), kAcme)};
        if (setup == u"publishing")
            h.backend.scheduledPublishes = {scheduleRow(h, QStringLiteral("site-1"), kAcme, QStringLiteral("publishing"))};
        AppModel &model = h.makeModel(true);
        if (setup != u"no account")
            h.bindCloud();
        const Project project = h.addProject(QStringLiteral("Acme"), QStringLiteral("site-1"));
        (void)h.addProject(QStringLiteral("Acme Blog"),
                           setup == u"shared" ? std::optional<QString>(QStringLiteral("site-1")) : std::nullopt);
        h.addMeta(kAcme);
        if (setup == u"claude fails")
            h.refuseRemoval(kAcme, "Error: server is busy\n");
        else
            h.answerRemoval(kAcme, FlowHarness::registry({QStringLiteral("webflow-acme-blog")}));
        h.claude.answer(QStringLiteral("mcp add"),
                        {"Added HTTP MCP server\n", {}, 0, false,
                         FlowHarness::registry({kAcme, QStringLiteral("webflow-acme-blog")})});
        if (setup == u"commit refused") {
            // Every write that would drop the project is refused; the store then turns read-only.
            const QByteArray id = project.id.toString(QUuid::WithoutBraces).toLower().toUtf8();
            h.refuseWrite = [id](const QString &file, const QByteArray &bytes) {
                return file == u"projects.json" && !bytes.toLower().contains(id);
            };
        }

        QCOMPARE(finished(model.removal().removeProject(project)), outcome);

        QCOMPARE(h.registryCalls(), calls);
        QCOMPARE(h.rpcCalls(QStringLiteral("begin_project_removal")).size(), cancellations);
        QCOMPARE(committedFlags(h), finishes);
        QCOMPARE(!h.project(kAcme), removed);
        QVERIFY(!model.removal().isRemoving(project.id));
        if (!removed && !issue.isEmpty())
            QCOMPARE(h.project(kAcme)->issue, std::optional(issue));
        if (removed)
            QVERIFY(!model.connectionStore().meta(kAcme));
        if (setup == u"claude fails")
            QVERIFY(!h.project(kAcme)->registryIntent);
        if (setup == u"commit refused") {
            // Registered again with fresh metadata, so no registration is left without a project.
            const std::optional<ConnectionMeta> meta = model.connectionStore().meta(kAcme);
            QVERIFY(meta && !meta->sites && meta->addedAt);
        }
        if (setup == u"no account") {
            QVERIFY(h.claude.calls().isEmpty());
            QCOMPARE(model.scheduleStore().syncError(),
                     std::optional<QString>(QStringLiteral("Couldn't identify the signed-in account, so the project "
                                                           "and its publish were kept.")));
        }
        if (setup == u"read-only") {
            const std::optional<ConfirmRequest> notice = model.confirms().current();
            QVERIFY(notice);
            QCOMPARE(notice->title, QStringLiteral("Local data is read-only"));
            QCOMPARE(notice->message, *model.persistenceIssue());
            QVERIFY(notice->isNotice);
            QCOMPARE(notice->icon, std::optional<QString>(QStringLiteral("cloud-off")));
            QVERIFY(h.claude.calls().isEmpty());
        } else {
            QVERIFY(!model.confirms().current());
        }
    }

    void aRunningRemovalIsNotAnInterruptedOne_data()
    {
        QTest::addColumn<bool>("all");
        QTest::addColumn<bool>("goneMeanwhile");
        QTest::newRow("remove project: recovery meanwhile") << false << false;
        QTest::newRow("remove all: recovery meanwhile") << true << false;
        QTest::newRow("remove project: the project went meanwhile") << false << true;
        QTest::newRow("remove all: the project went meanwhile") << true << true;
    }

    // A refresh while the unregistration runs sees the removal's intent with the registration
    // about to go; it must not settle that intent as an interrupted one. And a project that went
    // anyway counts as removed: registering it again would leave a registration without a project.
    void aRunningRemovalIsNotAnInterruptedOne()
    {
        QFETCH(bool, all);
        QFETCH(bool, goneMeanwhile);
        FlowHarness h;
        h.writeRegistry(FlowHarness::registry({kAcme}));
        h.backend.scheduledPublishes = {scheduleRow(h, QStringLiteral("site-1"), kAcme)};
        AppModel &model = h.makeModel(true);
        h.bindCloud();
        const Project project = h.addProject(QStringLiteral("Acme"), QStringLiteral("site-1"));
        h.claude.answer(QStringLiteral("mcp remove ") + kAcme,
                        {"Removed\n", {}, 0, false, FlowHarness::registry({}), std::chrono::milliseconds(400)});

        std::optional<Outcome> outcome;
        QCoro::Task<> running = [](AppModel &model, Project project, bool all,
                                   std::optional<Outcome> &outcome) -> QCoro::Task<> {
            if (all)
                co_await model.removal().removeAllProjects();
            else
                outcome = co_await model.removal().removeProject(project);
        }(model, project, all, outcome);
        QTRY_VERIFY(h.project(kAcme) && h.project(kAcme)->registryIntent);
        QVERIFY(model.removal().isRemoving(project.id));
        if (!all) {
            // A second removal of the same project meanwhile touches nothing.
            QCOMPARE(finished(model.removal().removeProject(project)), Outcome::keptCancelFailed);
        }
        if (goneMeanwhile) {
            QVERIFY(!model.projectStore().remove(project.id));
        } else {
            model.recoverInterruptedOperations({});
            QVERIFY(h.project(kAcme));
            QCOMPARE(h.project(kAcme)->registryIntent,
                     std::optional(Project::RegistryIntent{Project::RegistryIntent::Remove{kAcme}}));
            QVERIFY(!h.project(kAcme)->issue);
        }

        QCoro::waitFor(std::move(running));
        if (!all)
            QCOMPARE(outcome, std::optional(Outcome::removed));
        QVERIFY(!h.project(kAcme));
        QCOMPARE(h.registryCalls(), QList<QStringList>{removal(kAcme)});
        QCOMPARE(h.rpcCalls(QStringLiteral("begin_project_removal")).size(), 1);
        QCOMPARE(committedFlags(h), QList{true});
        QVERIFY(!model.removal().isRemoving(project.id));
        QVERIFY(!model.removal().clearAllNotice());
    }

    void removeAll_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<QStringList>("issues");
        QTest::addColumn<QList<QStringList>>("calls");
        QTest::addColumn<QList<QJsonObject>>("cancellations");
        QTest::addColumn<QList<bool>>("finishes");

        const QString user = QStringLiteral("3F2B8C1E-5D4A-4E8F-9A7B-1C2D3E4F5A6B");
        const auto begin = [&](const QString &connection, const QString &site = {}) {
            QJsonObject body{{QStringLiteral("p_user"), user}, {QStringLiteral("p_connection_name"), connection}};
            if (!site.isEmpty())
                body.insert(QStringLiteral("p_site_id"), site);
            return body;
        };
        QTest::newRow("one cancellation per shared site")
            << "shared" << "" << QStringList{} << QStringList{}
            << QList<QStringList>{removal(QStringLiteral("webflow-solo")), removal(kAcme), removal(QStringLiteral("webflow-acme-blog"))}
            << QList{begin(QStringLiteral("webflow-solo")), begin(kAcme, QStringLiteral("site-1"))}
            << QList{true, true};
        QTest::newRow("the counts and each kept project's issue")
            << "mixed"
            << "1 kept because a publish is running right now (try again after it finishes). 1 kept because Claude "
               "Code couldn't unregister them (their schedules are cancelled; try again)."
            << QStringList{"webflow-pub", "webflow-stuck"}
            << QStringList{"A publish is running right now, so this project was kept.",
                           "The scheduled publish is cancelled, but the MCP connection couldn't be unregistered, so "
                           "the project was kept. Try again."}
            << QList<QStringList>{removal(QStringLiteral("webflow-fine")), removal(QStringLiteral("webflow-stuck"))}
            << QList{begin(QStringLiteral("webflow-pub"), QStringLiteral("site-2")),
                     begin(QStringLiteral("webflow-fine"), QStringLiteral("site-3")),
                     begin(QStringLiteral("webflow-stuck"), QStringLiteral("site-4"))}
            << QList{true, false};
        QTest::newRow("no account: every project kept for the cloud")
            << "no account"
            << "2 kept because their scheduled publishes couldn't be cancelled with the cloud (try again when it's "
               "reachable)."
            << QStringList{"webflow-pub", "webflow-stuck"}
            << QStringList{"Couldn't confirm cancellation, so this project was kept.",
                           "Couldn't confirm cancellation, so this project was kept."}
            << QList<QStringList>{} << QList<QJsonObject>{} << QList<bool>{};
        QTest::newRow("read-only store: the notice, nothing cancelled")
            << "read-only" << "" << QStringList{"webflow-pub", "webflow-stuck"} << QStringList{"", ""}
            << QList<QStringList>{} << QList<QJsonObject>{} << QList<bool>{};
    }

    void removeAll()
    {
        QFETCH(QString, setup);
        QFETCH(QString, notice);
        QFETCH(QStringList, kept);
        QFETCH(QStringList, issues);
        QFETCH(QList<QStringList>, calls);
        QFETCH(QList<QJsonObject>, cancellations);
        QFETCH(QList<bool>, finishes);
        FlowHarness h;
        if (setup == u"read-only")
            putFile(h.home.appDataDir() + QStringLiteral("/connections.json"), "{ not json");
        QStringList names;
        if (setup == u"shared") {
            names = {kAcme, QStringLiteral("webflow-acme-blog"), QStringLiteral("webflow-solo")};
            h.backend.scheduledPublishes = {scheduleRow(h, QStringLiteral("site-1"), kAcme)};
            // Groups go in key order: the lone project's connection, then the site's projects.
            h.answerRemoval(QStringLiteral("webflow-solo"), FlowHarness::registry({kAcme, "webflow-acme-blog"}));
            h.answerRemoval(kAcme, FlowHarness::registry({"webflow-acme-blog"}));
            h.answerRemoval(QStringLiteral("webflow-acme-blog"), FlowHarness::registry({}));
        } else {
            names = {QStringLiteral("webflow-pub"), QStringLiteral("webflow-fine"), QStringLiteral("webflow-stuck")};
            h.backend.scheduledPublishes = {
                scheduleRow(h, QStringLiteral("site-2"), "webflow-pub", QStringLiteral("publishing"))};
            h.answerRemoval(QStringLiteral("webflow-fine"), FlowHarness::registry({"webflow-pub", "webflow-stuck"}));
            h.refuseRemoval(QStringLiteral("webflow-stuck"), "Error: server is busy\n");
        }
        h.writeRegistry(FlowHarness::registry(names));
        AppModel &model = h.makeModel(true);
        if (setup != u"no account" && setup != u"read-only")
            h.bindCloud();
        if (setup == u"shared") {
            (void)h.addProject(QStringLiteral("Acme"), QStringLiteral("site-1"));
            (void)h.addProject(QStringLiteral("Acme Blog"), QStringLiteral("site-1"));
            (void)h.addProject(QStringLiteral("Solo"));
        } else if (setup == u"mixed") {
            (void)h.addProject(QStringLiteral("Pub"), QStringLiteral("site-2"));
            (void)h.addProject(QStringLiteral("Fine"), QStringLiteral("site-3"));
            (void)h.addProject(QStringLiteral("Stuck"), QStringLiteral("site-4"));
        } else {
            (void)h.addProject(QStringLiteral("Pub"));
            (void)h.addProject(QStringLiteral("Stuck"));
        }
        QSignalSpy clearing(&model.removal(), &RemovalFlows::isClearingAllProjectsChanged);

        finished(model.removal().removeAllProjects());

        QCOMPARE(clearing.size(), 2);
        QVERIFY(!model.removal().isClearingAllProjects());
        QCOMPARE(model.removal().clearAllNotice().value_or(QString()), notice);
        QStringList left;
        QStringList leftIssues;
        for (const Project &project : model.projectStore().projects()) {
            left.append(project.mcpName);
            leftIssues.append(project.issue.value_or(QString()));
        }
        QCOMPARE(left, kept);
        QCOMPARE(leftIssues, issues);
        QCOMPARE(h.registryCalls(), calls);
        QCOMPARE(h.rpcCalls(QStringLiteral("begin_project_removal")), cancellations);
        QCOMPARE(committedFlags(h), finishes);
        QCOMPARE(model.confirms().current().has_value(), setup == u"read-only");
    }

    void aSecondRemoveAllMeanwhileChangesNothing()
    {
        FlowHarness h;
        h.writeRegistry(FlowHarness::registry({kAcme}));
        AppModel &model = h.makeModel(true);
        h.bindCloud();
        (void)h.addProject(QStringLiteral("Acme"));
        QCoro::Task<> first = model.removal().removeAllProjects();
        QVERIFY(model.removal().isClearingAllProjects());
        QSignalSpy notice(&model.removal(), &RemovalFlows::clearAllNoticeChanged);
        finished(model.removal().removeAllProjects());
        QVERIFY(model.removal().isClearingAllProjects());
        QVERIFY(notice.isEmpty());
        QCoro::waitFor(std::move(first));
        QVERIFY(!model.removal().isClearingAllProjects());
    }

    void localRegistration_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("log"); // empty: no sheet
        QTest::addColumn<bool>("claudeRuns");

        QTest::newRow("removed in its folder") << "ok" << "" << true;
        QTest::newRow("folder gone: refused before claude")
            << "folder gone"
            << "The folder no longer exists. Quorvane will not recreate filesystem paths from registry text; remove "
               "this entry from ~/.claude.json by hand."
            << false;
        QTest::newRow("claude fails: secret redacted") << "claude fails" << "Bearer ‹redacted› was refused\n" << true;
    }

    void localRegistration()
    {
        QFETCH(QString, setup);
        QFETCH(QString, log);
        QFETCH(bool, claudeRuns);
        FlowHarness h;
        const QString name = QStringLiteral("webflow-local");
        QString folder = h.home.filePath(QStringLiteral("sites/acme"));
        if (setup != u"folder gone") {
            QVERIFY(QDir().mkpath(folder));
            folder = QFileInfo(folder).canonicalFilePath();
        }
        h.writeRegistry(FlowHarness::registry({}, {{folder, {name}}}));
        if (setup == u"claude fails")
            h.refuseRemoval(name, "Bearer abcdefghijklmnopqrstuvwxyz0123 was refused\n");
        else
            h.answerRemoval(name, FlowHarness::registry({}, {{folder, {}}}));
        AppModel &model = h.makeModel();
        QVERIFY(finished(model.refresh(true)));
        QCOMPARE(model.unrecognized().size(), 1);
        bool busyAtSheet = false;
        connect(&model.activity(), &ActivityCenter::sheetChanged, this,
                [&] { busyAtSheet = model.busy().contains(name); });

        finished(model.removal().removeLocalRegistration(name, folder));

        QCOMPARE(h.registryCalls(), claudeRuns ? QList<QStringList>{removal(name, QStringLiteral("local"))} : QList<QStringList>{});
        QVERIFY(model.busy().isEmpty());
        const std::optional<ActivitySheet> &sheet = model.activity().sheet();
        if (log.isEmpty()) {
            QVERIFY2(!sheet, qPrintable(sheet ? sheet->log : QString()));
            QVERIFY(model.unrecognized().isEmpty()); // the refresh dropped the entry
            return;
        }
        QVERIFY(sheet);
        QVERIFY(!busyAtSheet);
        QCOMPARE(sheet->kind, ActivitySheet::Kind::error);
        QCOMPARE(sheet->title, QStringLiteral("Could not remove webflow-local"));
        QCOMPARE(sheet->note, QStringLiteral("The CLI reported an error."));
        QCOMPARE(sheet->log, log);
        QCOMPARE(sheet->outcome, ActivitySheet::Outcome::failure);
        QCOMPARE(h.logged(QStringLiteral("remove-local")), QStringList{log});
        QCOMPARE(model.unrecognized().size(), 1); // no refresh after a failure
    }
};

QTEST_MAIN(tst_RemovalFlows)
#include "tst_RemovalFlows.moc"
