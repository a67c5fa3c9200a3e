// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ModelHarness.h"

using namespace std::chrono_literals;

namespace {

using Check = ConnectFlow::RegistrationCheck;
using Kind = ConnectFlow::RegistrationCheck::Kind;
using Reply = FakeClaude::Reply;

const QString kAcme = QStringLiteral("webflow-acme");

Reply statusLine(const QByteArray &status)
{
    return {"Status: " + status + "\n", {}, 0, false, std::nullopt};
}

const Reply kNoSuchServer{{}, "No MCP server found with name: webflow-acme\n", 1, false, std::nullopt};

// A notice or question as the test compares it.
struct Shown
{
    QString title;
    QString message;
    QString icon;
    bool isNotice = false;
    friend bool operator==(const Shown &, const Shown &) = default;
};

std::optional<Shown> shown(const AppModel &model)
{
    const std::optional<ConfirmRequest> request = const_cast<AppModel &>(model).confirms().current();
    if (!request)
        return std::nullopt;
    return Shown{request->title, request->message, request->icon.value_or(QString()), request->isNotice};
}

char *toString(const std::optional<Shown> &value)
{
    if (!value)
        return qstrdup("none");
    const QStringList parts{value->title, value->message, value->icon,
                            value->isNotice ? QStringLiteral("notice") : QStringLiteral("question")};
    return qstrdup(qPrintable(parts.join(QStringLiteral(" | "))));
}

} // namespace

namespace QTest {
template <>
inline char *toString(const std::optional<Shown> &value)
{
    return ::toString(value);
}
} // namespace QTest

// Connect asks Claude's registry about the project's server at this moment, never passes a name
// to claude that an unmanaged entry holds, and asks before replacing an authorization.
class tst_ConnectFlow : public QObject
{
    Q_OBJECT

private:
    /// A model that manages webflow-acme as its project "Acme", after a refresh.
    static void manageAcme(ModelHarness &harness)
    {
        harness.writeRegistry(claudeRegistry({{kAcme, httpEntry()}}));
        QVERIFY(harness.refreshed());
        QVERIFY(harness.project(kAcme));
        const std::optional<Project> adopted = harness.project(kAcme);
        QVERIFY(!harness.model->projectStore().setTitle(adopted->id, QStringLiteral("Acme")));
    }

    static Check inspect(ModelHarness &harness, const QString &name)
    {
        return QCoro::waitFor(harness.model->connecting().inspectRegistration(name));
    }

    static void connectAcme(ModelHarness &harness, bool reauthenticate = false)
    {
        const std::optional<Project> project = harness.project(kAcme);
        QVERIFY(project);
        QCoro::waitFor(harness.model->connecting().connectProject(*project, reauthenticate, false));
    }

    static QString attention(UnrecognizedServer::Reason reason) { return ConnectFlow::attentionMessage(reason); }

private slots:
    void inspection_data()
    {
        QTest::addColumn<QByteArray>("registry");
        QTest::addColumn<QList<Reply>>("answers");
        QTest::addColumn<Check>("expected");
        QTest::addColumn<std::optional<ConnectionStatus>>("row");
        QTest::addColumn<int>("statusQueries");
        QTest::addColumn<std::optional<Shown>>("notice");

        const QByteArray managed = claudeRegistry({{kAcme, httpEntry()}});
        const QList<Reply> connected{statusLine("✔ Connected")};
        const QString folder = QStringLiteral("/srv/site");
        const QString attentionTitle = QStringLiteral("This MCP registration needs attention");

        QTest::newRow("connected") << managed << connected << Check{Kind::live, ConnectionStatus::connected}
                                   << std::optional(ConnectionStatus::connected) << 1 << std::optional<Shown>();
        QTest::newRow("failed, then connected")
            << managed << QList<Reply>{statusLine("✘ failed"), statusLine("✔ Connected")}
            << Check{Kind::live, ConnectionStatus::connected} << std::optional(ConnectionStatus::connected) << 2
            << std::optional<Shown>();
        QTest::newRow("unknown twice") << managed << QList<Reply>{statusLine("?")}
                                       << Check{Kind::live, ConnectionStatus::unknown}
                                       << std::optional(ConnectionStatus::unknown) << 2 << std::optional<Shown>();
        QTest::newRow("needs authentication asked once")
            << managed << QList<Reply>{statusLine("△ Needs authentication")}
            << Check{Kind::live, ConnectionStatus::needsAuth} << std::optional(ConnectionStatus::needsAuth) << 1
            << std::optional<Shown>();
        QTest::newRow("missing but still in the file")
            << managed << QList<Reply>{kNoSuchServer} << Check{Kind::live, ConnectionStatus::unknown}
            << std::optional(ConnectionStatus::unknown) << 1 << std::optional<Shown>();
        Reply vanishing = kNoSuchServer;
        vanishing.registryAfter = claudeRegistry({});
        QTest::newRow("missing and gone from the file")
            << managed << QList<Reply>{vanishing} << Check{Kind::notRegistered, ConnectionStatus::unknown}
            << std::optional<ConnectionStatus>() << 1 << std::optional<Shown>();
        QTest::newRow("not registered") << claudeRegistry({}) << connected
                                        << Check{Kind::notRegistered, ConnectionStatus::unknown}
                                        << std::optional<ConnectionStatus>() << 0 << std::optional<Shown>();
        QTest::newRow("unreadable registry")
            << QByteArray("{\"mcpServers\": ") << connected << Check{} << std::optional(ConnectionStatus::unknown) << 0
            << std::optional(Shown{QStringLiteral("Couldn't check Claude's MCP registry"),
                                   QStringLiteral("Quorvane couldn't safely determine whether webflow-acme is already "
                                                  "registered, so it did not add or authorize anything. Try again in "
                                                  "a moment."),
                                   QStringLiteral("cloud-off"), true});
        QTest::newRow("project-scoped")
            << claudeRegistry({}, {{folder, QJsonObject{{kAcme, httpEntry()}}}}) << connected << Check{}
            << std::optional<ConnectionStatus>() << 0
            << std::optional(Shown{attentionTitle, attention(UnrecognizedServer::Reason::projectScoped),
                                   QStringLiteral("cloud-off"), true});
        QTest::newRow("shadowed by a project-scoped entry")
            << claudeRegistry({{kAcme, httpEntry()}}, {{folder, QJsonObject{{kAcme, httpEntry()}}}}) << connected
            << Check{} << std::optional<ConnectionStatus>() << 0
            << std::optional(Shown{attentionTitle, attention(UnrecognizedServer::Reason::localScopeShadow),
                                   QStringLiteral("warning-triangle"), true});
        QTest::newRow("another endpoint")
            << claudeRegistry({{kAcme, httpEntry(QStringLiteral("https://example.com/mcp"))}}) << connected << Check{}
            << std::optional<ConnectionStatus>() << 0
            << std::optional(Shown{attentionTitle, attention(UnrecognizedServer::Reason::unexpectedEndpoint),
                                   QStringLiteral("warning-triangle"), true});
    }

    void inspection()
    {
        QFETCH(QByteArray, registry);
        QFETCH(QList<Reply>, answers);
        QFETCH(Check, expected);
        QFETCH(std::optional<ConnectionStatus>, row);
        QFETCH(int, statusQueries);
        QFETCH(std::optional<Shown>, notice);
        ModelHarness harness;
        manageAcme(harness);
        harness.writeRegistry(registry);
        harness.claude.answerInTurn(QStringLiteral("mcp get"), answers);
        const qsizetype before = harness.claude.calls().size();

        QCOMPARE(inspect(harness, kAcme), expected);

        QCOMPARE(harness.statusOf(kAcme), row);
        QCOMPARE(shown(*harness.model), notice);
        const QList<QStringList> queries = harness.claude.calls().mid(before);
        const QStringList query{QStringLiteral("mcp"), QStringLiteral("get"), kAcme};
        QCOMPARE(queries, QList<QStringList>(statusQueries, query));
        QVERIFY(harness.model->busy().isEmpty());
        // The unmanaged entries follow the read at once, without a refresh.
        if (notice && notice->icon != u"cloud-off")
            QVERIFY(!harness.model->unrecognized().isEmpty());
    }

    // The row shows that it is being checked; a second inspection of the name meanwhile stops at
    // once, and an inspection of a name the model has no row for adds one.
    void busyWhileAsking()
    {
        ModelHarness harness;
        harness.writeRegistry(claudeRegistry({{kAcme, httpEntry()}}));
        Reply slow = statusLine("✔ Connected");
        slow.delay = 300ms;
        harness.claude.answer(QStringLiteral("mcp get"), slow);

        QCoro::Task<Check> first = harness.model->connecting().inspectRegistration(kAcme);
        QTRY_COMPARE(harness.statusOf(kAcme), std::optional(ConnectionStatus::checking));
        QVERIFY(harness.model->busy().contains(kAcme));
        QCOMPARE(inspect(harness, kAcme), Check{});
        QCOMPARE((QCoro::waitFor(std::move(first))), (Check{Kind::live, ConnectionStatus::connected}));
        QCOMPARE(harness.statusOf(kAcme), std::optional(ConnectionStatus::connected));
        QVERIFY(harness.model->busy().isEmpty());
        QCOMPARE(harness.claude.calls().size(), 1);
    }

    void questionByStatus_data()
    {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<bool>("reauthenticate");
        QTest::addColumn<std::optional<ConnectionStatus>>("asked");

        QTest::newRow("connected") << QByteArray("✔ Connected") << false << std::optional<ConnectionStatus>();
        QTest::newRow("connected, re-authenticate")
            << QByteArray("✔ Connected") << true << std::optional(ConnectionStatus::connected);
        QTest::newRow("needs authentication")
            << QByteArray("△ Needs authentication") << false << std::optional(ConnectionStatus::needsAuth);
        QTest::newRow("degraded")
            << QByteArray("✔ Connected · tools fetch failed") << false << std::optional(ConnectionStatus::degraded);
        QTest::newRow("failed") << QByteArray("✘ failed") << true << std::optional(ConnectionStatus::failed);
        QTest::newRow("unknown") << QByteArray("?") << false << std::optional(ConnectionStatus::unknown);
    }

    void questionByStatus()
    {
        QFETCH(QByteArray, status);
        QFETCH(bool, reauthenticate);
        QFETCH(std::optional<ConnectionStatus>, asked);
        ModelHarness harness;
        manageAcme(harness);
        harness.claude.answer(QStringLiteral("mcp get"), statusLine(status));

        connectAcme(harness, reauthenticate);

        if (!asked) {
            QCOMPARE(shown(*harness.model), std::nullopt);
            return;
        }
        QCOMPARE(shown(*harness.model), std::optional(Shown{QStringLiteral("Re-authenticate Acme?"),
                                                            ConnectFlow::reauthenticateMessage(*asked),
                                                            QStringLiteral("globe-app-network"), false}));
        const ConfirmRequest question = *harness.model->confirms().current();
        QCOMPARE(question.confirmLabel, QStringLiteral("Re-authenticate"));
        QCOMPARE(question.cancelLabel, QStringLiteral("Cancel"));
        QVERIFY(!question.isDestructive);
        QCOMPARE(harness.callsOf(QStringLiteral("mcp"), QStringLiteral("add")), QList<QStringList>{});
    }

    void questionMessages()
    {
        QVERIFY(ConnectFlow::reauthenticateMessage(ConnectionStatus::needsAuth).endsWith(u"Re-authenticate it now?"));
        QCOMPARE(ConnectFlow::reauthenticateMessage(ConnectionStatus::timedOut),
                 QStringLiteral("The MCP is already registered, but Quorvane could not confirm its live health. "
                                "Re-authentication replaces its Webflow authorization. Continue?"));
        QCOMPARE(ConnectFlow::reauthenticateMessage(ConnectionStatus::missing),
                 ConnectFlow::reauthenticateMessage(ConnectionStatus::unknown));
    }

    // Confirming after the server was removed by hand inspects again and registers it.
    void confirmingAfterTheServerVanishedRegistersIt()
    {
        ModelHarness harness;
        manageAcme(harness);
        harness.claude.answer(QStringLiteral("mcp get"), statusLine("△ Needs authentication"));
        harness.claude.answer(QStringLiteral("mcp add"), {"Added\n", {}, 0, false, std::nullopt});
        connectAcme(harness);
        QVERIFY(harness.model->confirms().current());
        harness.writeRegistry(claudeRegistry({}));

        harness.model->confirms().confirmCurrent();

        QTRY_COMPARE(harness.callsOf(QStringLiteral("mcp"), QStringLiteral("add")),
                     QList<QStringList>{ModelHarness::registration(kAcme)});
        QTRY_COMPARE(harness.statusOf(kAcme), std::optional(ConnectionStatus::needsAuth));
        QTRY_VERIFY(!harness.model->isRefreshing());
        QCOMPARE(harness.registeredNames(), QStringList{kAcme});
        // The authorization that follows the registration ends too, and leaves nothing busy.
        QTRY_VERIFY(harness.model->busy().isEmpty());
    }

    // Registering a server Claude does not list: the card's issue says how it went.
    void registrationOnConnect_data()
    {
        QTest::addColumn<Reply>("addReply");
        QTest::addColumn<bool>("metadataFails");
        QTest::addColumn<QStringList>("registered");
        QTest::addColumn<std::optional<QString>>("issue");
        QTest::addColumn<QStringList>("addLog");

        QTest::newRow("registered, earlier issue cleared")
            << Reply{"Added\n", {}, 0, false, std::nullopt} << false << QStringList{kAcme} << std::optional<QString>()
            << QStringList{};
        QTest::newRow("refused") << Reply{{}, "quota exceeded\n", 1, false, std::nullopt} << false << QStringList{}
                                 << std::optional<QString>(QStringLiteral("Couldn't register: quota exceeded"))
                                 << QStringList{QStringLiteral("quota exceeded")};
        QTest::newRow("record not saved")
            << Reply{"Added\n", {}, 0, false, std::nullopt} << true << QStringList{}
            << std::optional<QString>(QStringLiteral("Registration was rolled back because local connection metadata "
                                                     "could not be saved. Restore persistence, then connect again."))
            << QStringList{};
    }

    void registrationOnConnect()
    {
        QFETCH(Reply, addReply);
        QFETCH(bool, metadataFails);
        QFETCH(QStringList, registered);
        QFETCH(std::optional<QString>, issue);
        QFETCH(QStringList, addLog);
        ModelHarness harness;
        ProjectStore &projects = harness.model->projectStore();
        QVERIFY(std::holds_alternative<Project>(projects.createProject(QStringLiteral("Acme"))));
        QVERIFY(!projects.setIssue(QStringLiteral("Not registered yet: offline"), kAcme));
        harness.claude.answer(QStringLiteral("mcp add"), addReply);
        harness.claude.answer(QStringLiteral("mcp remove"), {"Removed\n", {}, 0, false, std::nullopt});
        if (metadataFails)
            harness.failingFiles.insert(QStringLiteral("connections.json"));
        QList<std::optional<QString>> issues;
        connect(&projects, &ProjectStore::projectsChanged, this, [&] {
            const std::optional<QString> now = harness.project(kAcme)->issue;
            if (issues.isEmpty() || issues.constLast() != now)
                issues.append(now);
        });
        QList<bool> busyWhileRegistering;
        connect(harness.model.get(), &AppModel::busyChanged, this,
                [&] { busyWhileRegistering.append(harness.model->busy().contains(kAcme)); });

        connectAcme(harness);

        QCOMPARE(harness.callsOf(QStringLiteral("mcp"), QStringLiteral("add")),
                 QList<QStringList>{ModelHarness::registration(kAcme)});
        QCOMPARE(harness.registeredNames(), registered);
        QCOMPARE(issues.value(0), issue);
        QCOMPARE(harness.logged(QStringLiteral("add")), addLog);
        // Busy during the inspection, and again during the registration only; a registration that
        // worked is followed by the authorization, busy in its own turn.
        QCOMPARE(busyWhileRegistering.mid(0, 4), (QList<bool>{true, false, true, false}));
        QVERIFY(busyWhileRegistering.size() == 4 || busyWhileRegistering.size() == 6);
    }

    // Names that break the rules, from a hand-edited projects.json or ~/.claude.json, never
    // reach claude, and messages show them cleaned.
    void brokenNamesNeverReachClaude_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("registry");
        QTest::addColumn<std::optional<QString>>("issue");
        QTest::addColumn<std::optional<Shown>>("notice");

        QTest::newRow("line break, not registered")
            << QStringLiteral("webflow-a\nb") << claudeRegistry({})
            << std::optional<QString>(QStringLiteral("Couldn't register: Use only letters, numbers, hyphens and "
                                                     "underscores."))
            << std::optional<Shown>();
        QTest::newRow("space, registered by hand")
            << QStringLiteral("webflow-a b") << claudeRegistry({{QStringLiteral("webflow-a b"), httpEntry()}})
            << std::optional<QString>()
            << std::optional(Shown{QStringLiteral("This MCP registration needs attention"),
                                   attention(UnrecognizedServer::Reason::unsafeName),
                                   QStringLiteral("warning-triangle"), true});
        QTest::newRow("line break, registry unreadable")
            << QStringLiteral("webflow-a\nb") << QByteArray("[") << std::optional<QString>()
            << std::optional(Shown{QStringLiteral("Couldn't check Claude's MCP registry"),
                                   QStringLiteral("Quorvane couldn't safely determine whether webflow-a·b is already "
                                                  "registered, so it did not add or authorize anything. Try again in "
                                                  "a moment."),
                                   QStringLiteral("cloud-off"), true});
    }

    void brokenNamesNeverReachClaude()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, registry);
        QFETCH(std::optional<QString>, issue);
        QFETCH(std::optional<Shown>, notice);
        ModelHarness harness;
        harness.claude.answer(QStringLiteral("mcp add"), {"Added\n", {}, 0, false, std::nullopt});
        Project project;
        project.id = QUuid::createUuid();
        project.title = QStringLiteral("Broken");
        project.mcpName = name;
        project.createdAt = harness.clock.now();
        QVERIFY(!harness.model->projectStore().saveProjects({project}));
        harness.writeRegistry(registry);

        QCoro::waitFor(harness.model->connecting().connectProject(project, false, false));

        QCOMPARE(harness.claude.calls(), QList<QStringList>{});
        QCOMPARE(harness.project(name)->issue, issue);
        QCOMPARE(shown(*harness.model), notice);
    }

    void readOnlyPersistenceChangesNothing()
    {
        ModelHarness harness;
        manageAcme(harness);
        const qsizetype before = harness.claude.calls().size();
        harness.failingFiles.insert(QStringLiteral("sites.json"));
        (void)harness.model->siteDirectory().markPublishingConnected(QStringLiteral("site-1"), QStringLiteral("Site"));
        QVERIFY(harness.model->persistenceIssue());

        connectAcme(harness, true);

        QCOMPARE(harness.claude.calls().size(), before);
        QCOMPARE(harness.project(kAcme)->issue, harness.model->persistenceIssue());
        QCOMPARE(harness.project(kAcme)->issueRecovery, std::optional(Project::IssueRecovery::reconcileRegistry));
        QCOMPARE(shown(*harness.model), std::nullopt);
    }

    // A question answered while the application quits does nothing.
    void answerAfterTheModelWentDoesNothing()
    {
        auto harness = std::make_unique<ModelHarness>();
        manageAcme(*harness);
        harness->claude.answer(QStringLiteral("mcp get"), statusLine("△ Needs authentication"));
        connectAcme(*harness);
        const std::optional<ConfirmRequest> question = harness->model->confirms().current();
        QVERIFY(question);
        harness->model.reset();
        question->action();
        QTest::qWait(0);
    }
};

QTEST_MAIN(tst_ConnectFlow)
#include "tst_ConnectFlow.moc"
