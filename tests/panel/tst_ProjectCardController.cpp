// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "PanelFixture.h"
#include "panel/ProjectCardController.h"

#include <QTest>

using Action = CardMenu::Action;
using Failure = LocalStore::SaveFailure;

Q_DECLARE_METATYPE(LocalStore::SaveResult)

namespace {

/// A card controller over the fixture, complete as QML would leave it.
std::unique_ptr<ProjectCardController> cardFor(PanelFixture &fixture, const QString &projectId)
{
    auto card = std::make_unique<ProjectCardController>();
    card->classBegin();
    card->setAppModel(&fixture);
    card->setProjectId(projectId);
    card->setActions(fixture.actions());
    card->setDesktop(fixture.desktop());
    card->componentComplete();
    return card;
}

} // namespace

// The project card's actions: what each menu entry, recovery and rename asks of the model, with
// the values captured when a confirmation is raised.
class tst_ProjectCardController : public QObject
{
    Q_OBJECT

private slots:
    // A title change the store refuses without a sentence of its own (the project is gone) is
    // recorded and told; one the store already reports is not reported twice.
    void titleChangeReport_data()
    {
        QTest::addColumn<LocalStore::SaveResult>("result");
        QTest::addColumn<bool>("reported");
        QTest::newRow("saved") << LocalStore::SaveResult() << false;
        QTest::newRow("read-only store") << LocalStore::SaveResult(Failure{Failure::Kind::readOnly, "Projects are read-only."})
                                         << false;
        QTest::newRow("write failed") << LocalStore::SaveResult(Failure{Failure::Kind::writeFailed, "Couldn't save projects."})
                                      << false;
        QTest::newRow("project gone") << LocalStore::SaveResult(Failure{Failure::Kind::invalid, QString()}) << true;
    }

    void titleChangeReport()
    {
        QFETCH(LocalStore::SaveResult, result);
        const auto report = ProjectCardController::titleChangeReport(result, QStringLiteral("Acme"));
        QTEST(report.has_value(), "reported");
        if (report) {
            QVERIFY(report->notice.isNotice);
            QVERIFY(report->notice.message.contains(QStringLiteral("Acme")));
            QVERIFY(!report->logMessage.isEmpty());
        }
    }

    void failedTitleChangeIsLoggedAndTold()
    {
        PanelFixture fixture;
        const QString id = fixture.addProject("Acme", "webflow-acme");
        auto card = cardFor(fixture, id);
        card->choose(int(Action::renameProject));
        QCOMPARE(card->editing(), ProjectCardController::EditTarget::Title);
        QCOMPARE(card->draft(), QStringLiteral("Acme"));
        fixture.forgetProject(id);
        card->commitEdit(QStringLiteral("  Acme Studio "));
        QCOMPARE(card->editing(), ProjectCardController::EditTarget::None);
        QCOMPARE(fixture.actions()->calls().size(), 1);
        QVERIFY(fixture.actions()->calls().constFirst().startsWith(QStringLiteral("record(project-store, ")));
        QCOMPARE(fixture.actions()->confirmCount(), 1);
        QVERIFY(fixture.actions()->confirms().constFirst().isNotice);
    }

    void titleChangeTheStoreReportsIsNotRepeated()
    {
        PanelFixture fixture;
        const QString id = fixture.addProject("Acme", "webflow-acme");
        auto card = cardFor(fixture, id);
        fixture.stores().writer.failure = QStringLiteral("disk full");
        card->choose(int(Action::renameProject));
        card->commitEdit(QStringLiteral("Acme Studio"));
        QCOMPARE(fixture.actions()->calls(), QStringList());
        QCOMPARE(fixture.actions()->confirmCount(), 0);
        QCOMPARE(fixture.stores().logged(QStringLiteral("project-store")).size(), 1);
        QCOMPARE(card->title(), QStringLiteral("Acme"));
    }

    void titleChangeSaves()
    {
        PanelFixture fixture;
        const QString id = fixture.addProject("Acme", "webflow-acme");
        auto card = cardFor(fixture, id);
        card->choose(int(Action::renameProject));
        card->commitEdit(QStringLiteral("  Acme Studio \n"));
        QCOMPARE(card->title(), QStringLiteral("Acme Studio"));
        // Only white space ends the edit and changes nothing.
        card->choose(int(Action::renameProject));
        card->commitEdit(QStringLiteral("   "));
        QCOMPARE(card->editing(), ProjectCardController::EditTarget::None);
        QCOMPARE(card->title(), QStringLiteral("Acme Studio"));
        QCOMPARE(fixture.actions()->calls(), QStringList());
    }

    // Each entry either asks first (and confirming runs the flow with the card's project) or
    // starts its flow at once.
    void menuActions_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("confirmTitle");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("re-auth live") << "connected" << Action::reauthLiveMCP << ""
                                      << QStringList{"connectProject(webflow-acme, ask, -)"};
        QTest::newRow("verify") << "connected" << Action::verifySite << "" << QStringList{"verifyScope(webflow-acme)"};
        QTest::newRow("connect") << "" << Action::connectMCP << "" << QStringList{"connectProject(webflow-acme, -, -)"};
        QTest::newRow("check") << "missing" << Action::checkMCPStatus << ""
                               << QStringList{"connectProject(webflow-acme, -, -)"};
        QTest::newRow("re-auth troubled") << "needsAuth" << Action::reauthMCP << ""
                                          << QStringList{"connectProject(webflow-acme, -, -)"};
        QTest::newRow("unregister") << "connected" << Action::unregisterMCP << "Unregister webflow-acme?"
                                    << QStringList{"unregisterMCP(webflow-acme)"};
        QTest::newRow("remove") << "connected" << Action::removeProject << "Remove Acme?"
                                << QStringList{"removeProject(webflow-acme)"};
        QTest::newRow("reset publishing") << "" << Action::resetPublishing << ""
                                          << QStringList{"offerWebflowConnectionReset()"};
        QTest::newRow("connect publishing")
            << "" << Action::connectPublishing << ""
            << QStringList{"refuseWhileRevocationPending(-, Acme, webflow-acme)", "connectPublishing(-, -, Acme, webflow-acme)"};
    }

    void menuActions()
    {
        QFETCH(QString, status);
        QFETCH(Action, action);
        QFETCH(QString, confirmTitle);
        PanelFixture fixture;
        const QString id = fixture.addProject("Acme", "webflow-acme");
        if (!status.isEmpty())
            fixture.setConnection("webflow-acme", status);
        auto card = cardFor(fixture, id);
        card->choose(int(action));
        QCOMPARE(fixture.actions()->confirmTitle(), confirmTitle);
        if (!confirmTitle.isEmpty()) {
            QCOMPARE(fixture.actions()->calls(), QStringList());
            // What confirming does was fixed when it was asked: a later rename of the project
            // does not change the server it acts on.
            fixture.forgetProject(id);
            fixture.actions()->confirmLast();
        }
        QTEST(fixture.actions()->calls(), "calls");
    }

    void removeAsksWithTheModelsDescription()
    {
        PanelFixture fixture;
        auto card = cardFor(fixture, fixture.addProject("Acme", "webflow-acme"));
        fixture.actions()->removal = QStringLiteral("Checks the cloud first.");
        card->choose(int(Action::removeProject));
        const ConfirmRequest &asked = fixture.actions()->confirms().constLast();
        QCOMPARE(asked.message, QStringLiteral("Checks the cloud first."));
        QVERIFY(asked.isDestructive);
        QCOMPARE(asked.iconName(), QStringLiteral("recycle-bin"));
        QCOMPARE(asked.confirmLabel, QStringLiteral("Remove"));
    }

    void renameMCPAsksThenEditsTheNameWithoutItsPrefix()
    {
        PanelFixture fixture;
        auto card = cardFor(fixture, fixture.addProject("Acme", "webflow-acme-co"));
        card->choose(int(Action::renameMCP));
        QCOMPARE(card->editing(), ProjectCardController::EditTarget::None);
        QCOMPARE(fixture.actions()->confirmMessage(),
                 QStringLiteral("webflow-acme-co will be re-registered under the new name, and Claude Code will need "
                                "to be re-authorized for this site afterwards."));
        fixture.actions()->confirmLast();
        QCOMPARE(card->editing(), ProjectCardController::EditTarget::McpName);
        QCOMPARE(card->draft(), QStringLiteral("acme-co"));
        card->commitEdit(QStringLiteral(" acme studio "));
        QCOMPARE(fixture.actions()->calls(), QStringList{"renameMCP(webflow-acme-co, acme studio)"});
        card->choose(int(Action::renameMCP));
        fixture.actions()->confirmLast();
        card->cancelEdit();
        QCOMPARE(card->editing(), ProjectCardController::EditTarget::None);
        QCOMPARE(fixture.actions()->calls().size(), 1);
    }

    // The issue row's recovery; a recovery that needs a connection or a site does nothing
    // without one.
    void recovery_data()
    {
        QTest::addColumn<QString>("recovery");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("siteId");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("connect") << "connectMCP" << "" << "" << QStringList{"connectProject(webflow-acme, -, -)"};
        QTest::newRow("verify") << "verifySite" << "connected" << "" << QStringList{"verifyScope(webflow-acme)"};
        QTest::newRow("verify without connection") << "verifySite" << "" << "" << QStringList();
        QTest::newRow("review site") << "reviewSiteIdentity" << "" << "" << QStringList{"moveProject(webflow-acme)"};
        QTest::newRow("retry disconnect") << "retryPublishingDisconnect" << "" << "site-9"
                                          << QStringList{"disconnectPublishing(site-9, webflow-acme)"};
        QTest::newRow("retry disconnect without site") << "retryPublishingDisconnect" << "" << "" << QStringList();
        QTest::newRow("reconcile") << "reconcileRegistry" << "" << "" << QStringList{"refresh(force)"};
        QTest::newRow("no recovery") << "" << "connected" << "" << QStringList();
    }

    void recovery()
    {
        QFETCH(QString, recovery);
        QFETCH(QString, status);
        QFETCH(QString, siteId);
        PanelFixture fixture;
        if (!status.isEmpty())
            fixture.setConnection("webflow-acme", status);
        auto card = cardFor(fixture, fixture.addProject("Acme", "webflow-acme", "Something happened.", recovery, siteId));
        QVERIFY(card->hasIssue());
        QCOMPARE(card->canRecover(), !recovery.isEmpty());
        QCOMPARE(card->issueHint(), recovery.isEmpty() ? QStringLiteral("Status message")
                                                       : QStringLiteral("Activates the suggested recovery"));
        card->pressIssue();
        QTEST(fixture.actions()->calls(), "calls");
    }

    // The card follows the model: a status, a busy mark or a check in flight redraws the pill.
    void followsTheModel()
    {
        PanelFixture fixture;
        auto card = cardFor(fixture, fixture.addProject("Acme", "webflow-acme"));
        QCOMPARE(card->mcpPill().label, QStringLiteral("Connect to Claude"));
        fixture.setConnection("webflow-acme", "connected");
        QCOMPARE(card->mcpPill().label, QStringLiteral("MCP Live"));
        fixture.setProperty("statusChecksInFlight", QStringList{"webflow-acme"});
        QVERIFY(card->mcpPill().dots);
        fixture.setProperty("statusChecksInFlight", QStringList());
        fixture.setProperty("busy", QStringList{"webflow-acme"});
        QVERIFY(card->busy());
        QVERIFY(!card->mcpPill().enabled);
        card->pressStatusPill();
        QCOMPARE(fixture.desktop()->copies(), QStringList());
    }

    // A site bound to the project names the copied sentence; without one the title does.
    void copyNamesTheSite()
    {
        PanelFixture fixture;
        fixture.setConnection("webflow-acme", "connected");
        auto card = cardFor(fixture, fixture.addProject("Acme Co", "webflow-acme"));
        card->pressStatusPill();
        fixture.addSite("site-1", "Acme Marketing", "acme", {"webflow-acme"});
        card->pressStatusPill();
        QCOMPARE(fixture.desktop()->copies(),
                 (QStringList{"Use the webflow-acme Webflow MCP server to work on Acme Co.",
                              "Use the webflow-acme Webflow MCP server to work on Acme Marketing."}));
        QVERIFY(card->copied());
        QCOMPARE(card->mcpPill().label, QStringLiteral("Copied!"));
    }
};

QTEST_MAIN(tst_ProjectCardController)
#include "tst_ProjectCardController.moc"
