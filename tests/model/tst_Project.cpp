// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/Project.h"

#include <QJsonDocument>
#include <QSet>
#include <QTest>

using Recovery = Project::IssueRecovery;
using Intent = Project::RegistryIntent;
using OptionalRecovery = std::optional<Recovery>;

namespace {

QJsonObject object(const QByteArray &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        qFatal("bad test JSON: %s", text.constData());
    return document.object();
}

// A minimal stored project with `extra` spliced into its object.
QJsonObject stored(const QByteArray &extra = {})
{
    return object(R"({"id": "6f1c2f3e-9a4b-4c7d-8e2f-0123456789ab", "title": "Acme", "mcpName": "webflow-acme",
                      "createdAt": "2026-03-08T15:30:00Z")"
                  + (extra.isEmpty() ? QByteArray() : ", " + extra) + "}");
}

Project fullProject()
{
    Project project;
    project.id = QUuid::fromString(QStringLiteral("6f1c2f3e-9a4b-4c7d-8e2f-0123456789ab"));
    project.title = QStringLiteral("Acme");
    project.mcpName = QStringLiteral("webflow-acme");
    project.issue = QStringLiteral("Scope check failed");
    project.issueRecovery = Recovery::verifySite;
    project.createdAt = QDateTime(QDate(2026, 3, 8), QTime(15, 30, 0), Qt::UTC);
    project.siteId = QStringLiteral("site-1");
    project.pendingSiteId = QStringLiteral("site-2");
    project.pendingSiteName = QStringLiteral("Acme Two");
    project.registryIntent = Intent{Intent::Rename{QStringLiteral("webflow-acme"), QStringLiteral("webflow-acme-2")}};
    return project;
}

} // namespace

class tst_Project : public QObject
{
    Q_OBJECT

private slots:
    void writesTheStoredForm()
    {
        const QJsonObject written = fullProject().toJson();
        QCOMPARE(written, object(R"({
            "id": "6F1C2F3E-9A4B-4C7D-8E2F-0123456789AB", "title": "Acme", "mcpName": "webflow-acme",
            "issue": "Scope check failed", "issueRecovery": "verifySite",
            "createdAt": "2026-03-08T15:30:00Z", "siteID": "site-1", "pendingSiteID": "site-2",
            "pendingSiteName": "Acme Two",
            "registryIntent": {"rename": {"from": "webflow-acme", "to": "webflow-acme-2"}}})"));
        QCOMPARE(Project::fromJson(written), fullProject());
    }

    void leavesAbsentFieldsOut()
    {
        const std::optional<Project> project = Project::fromJson(stored());
        QVERIFY(project);
        QCOMPARE(project->toJson().keys(), QStringList({"createdAt", "id", "mcpName", "title"}));
        QCOMPARE(Project::fromJson(project->toJson()), project);
    }

    void intentsRoundTrip_data()
    {
        QTest::addColumn<Intent>("intent");
        QTest::addColumn<QByteArray>("json");

        QTest::newRow("rename") << Intent{Intent::Rename{QStringLiteral("a"), QStringLiteral("b")}}
                                << QByteArray(R"({"rename": {"from": "a", "to": "b"}})");
        QTest::newRow("remove") << Intent{Intent::Remove{QStringLiteral("webflow-x")}}
                                << QByteArray(R"({"remove": {"name": "webflow-x"}})");
        QTest::newRow("unregister") << Intent{Intent::Unregister{QStringLiteral("webflow-x")}}
                                    << QByteArray(R"({"unregister": {"name": "webflow-x"}})");
    }

    void intentsRoundTrip()
    {
        QFETCH(Intent, intent);
        QFETCH(QByteArray, json);
        QCOMPARE(intent.toJson(), object(json));
        QCOMPARE(Intent::fromJson(object(json)), intent);
        QCOMPARE(Intent::fromJson(object(R"({"other": 1, )" + json.mid(1))), intent);
    }

    void readsLeniently_data()
    {
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<OptionalRecovery>("recovery");
        QTest::addColumn<bool>("hasSite");

        QTest::newRow("issue without recovery") << QByteArray(R"("issue": "Not registered yet: the CLI failed")")
                                                << OptionalRecovery() << false;
        QTest::newRow("null optionals") << QByteArray(R"("issue": null, "issueRecovery": null, "siteID": null,
                                                         "pendingSiteID": null, "registryIntent": null)")
                                        << OptionalRecovery() << false;
        QTest::newRow("unknown keys") << QByteArray(R"("colour": "blue", "siteID": "s")") << OptionalRecovery() << true;
        QTest::newRow("lower-case id") << QByteArray() << OptionalRecovery() << false;
        QTest::newRow("recovery") << QByteArray(R"("issueRecovery": "reconcileRegistry")")
                                  << OptionalRecovery(Recovery::reconcileRegistry) << false;
    }

    void readsLeniently()
    {
        QFETCH(QByteArray, extra);
        QFETCH(OptionalRecovery, recovery);
        QFETCH(bool, hasSite);
        QString error;
        const std::optional<Project> project = Project::fromJson(stored(extra), &error);
        QVERIFY2(project, qPrintable(error));
        QCOMPARE(project->issueRecovery, recovery);
        QCOMPARE(project->siteId.has_value(), hasSite);
        QVERIFY(!project->registryIntent);
        QCOMPARE(project->createdAt, QDateTime(QDate(2026, 3, 8), QTime(15, 30, 0), Qt::UTC));
    }

    void badRecordsFail_data()
    {
        QTest::addColumn<QJsonObject>("json");

        QJsonObject noTitle = stored();
        noTitle.remove(u"title");
        QJsonObject numericTitle = stored();
        numericTitle.insert(u"title", 3);
        QJsonObject bracedId = stored();
        bracedId.insert(u"id", "{6f1c2f3e-9a4b-4c7d-8e2f-0123456789ab}");
        QJsonObject shortId = stored();
        shortId.insert(u"id", "6f1c2f3e");
        QJsonObject fractionDate = stored();
        fractionDate.insert(u"createdAt", "2026-03-08T15:30:00.5Z");
        QJsonObject numberDate = stored();
        numberDate.insert(u"createdAt", 794676600);
        QJsonObject noDate = stored();
        noDate.remove(u"createdAt");

        QTest::newRow("missing title") << noTitle;
        QTest::newRow("title not text") << numericTitle;
        QTest::newRow("braced id") << bracedId;
        QTest::newRow("short id") << shortId;
        QTest::newRow("date with fraction") << fractionDate;
        QTest::newRow("date as number") << numberDate;
        QTest::newRow("missing date") << noDate;
        QTest::newRow("unknown recovery") << stored(R"("issueRecovery": "retry")");
        QTest::newRow("site not text") << stored(R"("siteID": 42)");
        QTest::newRow("rename without to") << stored(R"("registryIntent": {"rename": {"from": "a"}})");
        QTest::newRow("intent payload not an object") << stored(R"("registryIntent": {"remove": "a"})");
        QTest::newRow("intent not an object") << stored(R"("registryIntent": "remove")");
    }

    void badRecordsFail()
    {
        QFETCH(QJsonObject, json);
        QString error;
        QVERIFY(!Project::fromJson(json, &error));
        QVERIFY(!error.isEmpty());
    }

    void intentNeedsExactlyOneCase_data()
    {
        QTest::addColumn<QByteArray>("intent");
        QTest::newRow("no case") << QByteArray(R"({"other": {"name": "a"}})");
        QTest::newRow("empty") << QByteArray("{}");
        QTest::newRow("two cases") << QByteArray(R"({"remove": {"name": "a"}, "unregister": {"name": "a"}})");
        QTest::newRow("null second case") << QByteArray(R"({"remove": {"name": "a"}, "rename": null})");
    }

    void intentNeedsExactlyOneCase()
    {
        QFETCH(QByteArray, intent);
        QString error;
        QVERIFY(!Project::fromJson(stored(R"("registryIntent": )" + intent), &error));
        QCOMPARE(error, QStringLiteral("Invalid number of keys found, expected one."));
    }

    void equality()
    {
        const Project project = fullProject();
        Project other = project;
        QCOMPARE(other, project);
        QCOMPARE(qHash(other), qHash(project));
        QCOMPARE(QSet<Project>({project, other}).size(), 1);

        other.createdAt = other.createdAt.addSecs(1);
        QVERIFY(other != project);

        other = project;
        other.registryIntent = Intent{Intent::Remove{QStringLiteral("webflow-acme")}};
        const Project unregistering = [&] {
            Project copy = project;
            copy.registryIntent = Intent{Intent::Unregister{QStringLiteral("webflow-acme")}};
            return copy;
        }();
        QVERIFY(other != unregistering);

        other = project;
        other.siteId = QString();
        QVERIFY(other != project);
        other.siteId.reset();
        QVERIFY(other != project);
    }

    void rawTexts()
    {
        const QList<std::pair<Recovery, QString>> recoveries{
            {Recovery::connectMCP, QStringLiteral("connectMCP")},
            {Recovery::verifySite, QStringLiteral("verifySite")},
            {Recovery::reviewSiteIdentity, QStringLiteral("reviewSiteIdentity")},
            {Recovery::retryPublishingDisconnect, QStringLiteral("retryPublishingDisconnect")},
            {Recovery::reconcileRegistry, QStringLiteral("reconcileRegistry")}};
        for (const auto &[recovery, text] : recoveries) {
            QCOMPARE(rawText(recovery), text);
            QCOMPARE(issueRecoveryFromRawText(text), recovery);
        }
        QCOMPARE(issueRecoveryFromRawText(u"VerifySite"), std::nullopt);
    }

    void recoveryForLegacyIssue_data()
    {
        QTest::addColumn<QString>("issue");
        QTest::addColumn<OptionalRecovery>("expected");

        QTest::newRow("not registered") << "Not registered yet: the CLI failed" << OptionalRecovery(Recovery::connectMCP);
        QTest::newRow("couldn't register") << "Couldn't register: timeout" << OptionalRecovery(Recovery::connectMCP);
        QTest::newRow("first rule wins") << "Not registered yet, scope pending" << OptionalRecovery(Recovery::connectMCP);
        QTest::newRow("prefix is case-sensitive") << "not registered yet" << OptionalRecovery();
        QTest::newRow("disconnect, any case") << "Publishing DISCONNECT PUBLISHING failed"
                                              << OptionalRecovery(Recovery::retryPublishingDisconnect);
        QTest::newRow("revocation cleanup") << "Waiting for revocation cleanup"
                                            << OptionalRecovery(Recovery::retryPublishingDisconnect);
        QTest::newRow("scope") << "Scope check failed" << OptionalRecovery(Recovery::verifySite);
        QTest::newRow("reaches") << "Reaches 3 sites" << OptionalRecovery(Recovery::verifySite);
        QTest::newRow("authorization reaches")
            << "The authorization reaches no sites. Re-connect and tick the client's site."
            << OptionalRecovery(Recovery::verifySite);
        QTest::newRow("lower-case reaches") << "reaches 3 sites" << OptionalRecovery();
        QTest::newRow("nothing fits") << "Something else" << OptionalRecovery();
        QTest::newRow("empty") << "" << OptionalRecovery();
    }

    void recoveryForLegacyIssue()
    {
        QFETCH(QString, issue);
        QFETCH(OptionalRecovery, expected);
        QCOMPARE(::recoveryForLegacyIssue(issue), expected);
    }
};

QTEST_GUILESS_MAIN(tst_Project)
#include "tst_Project.moc"
