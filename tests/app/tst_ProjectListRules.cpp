// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ProjectListRules.h"

#include <QTest>

using Reason = UnrecognizedServer::Reason;
using ProjectListRules::OrphanRow;
using ProjectListRules::Sections;
using ProjectListRules::SectionInputs;

namespace {

const QString dot = QStringLiteral("\u00B7");

UnrecognizedServer entry(const QString &name, Reason reason, const std::optional<QString> &folder = std::nullopt)
{
    UnrecognizedServer server;
    server.name = name;
    server.reason = reason;
    server.folder = folder;
    return server;
}

Project project(const QString &title, const QString &mcpName, const std::optional<QString> &siteId = std::nullopt)
{
    Project made;
    made.id = QUuid::createUuid();
    made.title = title;
    made.mcpName = mcpName;
    made.siteId = siteId;
    return made;
}

SiteRecord site(const QString &id, const QStringList &connections = {})
{
    SiteRecord record;
    record.id = id;
    record.name = id;
    record.connections = connections;
    return record;
}

} // namespace

// The list's decisions: which sections show, what its questions say and act on, and which
// projects a site without one may be given to.
class tst_ProjectListRules : public QObject
{
    Q_OBJECT

private slots:
    void sections_data()
    {
        QTest::addColumn<SectionInputs>("inputs");
        QTest::addColumn<Sections>("expected");

        // hasProjects, searching, projectsMatch, unrecognizedMatch, publishingAvailable, orphanSites
        QTest::newRow("nothing at all: only the how-to card")
            << SectionInputs{false, false, false, false, false, false} << Sections{true, false, false};
        QTest::newRow("no project while searching: how-to card, no no-match line")
            << SectionInputs{false, true, false, false, true, true} << Sections{true, false, false};
        QTest::newRow("projects, search finds nothing") << SectionInputs{true, true, false, false, false, false}
                                                        << Sections{false, true, false};
        QTest::newRow("search finds only an unmanaged entry") << SectionInputs{true, true, false, true, false, false}
                                                              << Sections{false, false, false};
        QTest::newRow("search finds a project") << SectionInputs{true, true, true, false, false, false}
                                                << Sections{false, false, false};
        QTest::newRow("orphan sites while not searching") << SectionInputs{true, false, true, false, true, true}
                                                          << Sections{false, false, true};
        QTest::newRow("orphan sites hidden while searching") << SectionInputs{true, true, true, false, true, true}
                                                             << Sections{false, false, false};
        QTest::newRow("orphan sites hidden while publishing is unavailable")
            << SectionInputs{true, false, true, false, false, true} << Sections{false, false, false};
        QTest::newRow("publishing available without orphan sites")
            << SectionInputs{true, false, true, false, true, false} << Sections{false, false, false};
    }

    void sections()
    {
        QFETCH(SectionInputs, inputs);
        QFETCH(Sections, expected);
        QCOMPARE(ProjectListRules::sections(inputs), expected);
    }

    void unrecognizedRemoval_data()
    {
        QTest::addColumn<UnrecognizedServer>("server");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");

        const QString userScope = QStringLiteral(
            "Unregisters it from Claude Code's user scope. Nothing about this entry is contacted or launched.");
        QTest::newRow("unsafe name") << entry(QStringLiteral("acme tools"), Reason::unsafeName)
                                     << QStringLiteral("Remove acme tools?") << userScope;
        QTest::newRow("control characters in the name are shown as dots, not obeyed")
            << entry(QStringLiteral("evil\u202Etxt\u0007"), Reason::transportNotHTTP)
            << "Remove evil" + dot + "txt" + dot + "?" << userScope;
        QTest::newRow("a long name is cut") << entry(QString(130, u'a'), Reason::unexpectedEndpoint)
                                            << "Remove " + QString(120, u'a') + QStringLiteral("\u2026?") << userScope;
        QTest::newRow("project-scoped: the folder on its own line")
            << entry(QStringLiteral("webflow-client"), Reason::projectScoped, QStringLiteral("/home/ada/clients/acme"))
            << QStringLiteral("Remove webflow-client?")
            << QStringLiteral("Unregisters it from Claude Code for this folder only:\n/home/ada/clients/acme\n\nNothing "
                              "about this entry is contacted or launched.");
        QTest::newRow("bidirectional controls in the folder are neutralised")
            << entry(QStringLiteral("webflow-client"), Reason::projectScoped,
                     QStringLiteral("/srv/\u202Aa\u202Bb\u202Cc\u202Dd\u202Ee\u2066f\u2067g\u2068h\u2069"))
            << QStringLiteral("Remove webflow-client?")
            << "Unregisters it from Claude Code for this folder only:\n/srv/" + dot + "a" + dot + "b" + dot + "c" + dot
                   + "d" + dot + "e" + dot + "f" + dot + "g" + dot + "h" + dot
                   + "\n\nNothing about this entry is contacted or launched.";
        QTest::newRow("project-scoped without a folder is a user-scope removal")
            << entry(QStringLiteral("webflow-client"), Reason::projectScoped) << QStringLiteral("Remove webflow-client?")
            << userScope;
    }

    // The question shows safe text; confirming removes exactly the entry the registry holds.
    void unrecognizedRemoval()
    {
        QFETCH(UnrecognizedServer, server);
        QFETCH(QString, title);
        QFETCH(QString, message);
        std::optional<UnrecognizedServer> removed;
        const ConfirmRequest request =
            ProjectListRules::unrecognizedRemoval(server, [&removed](const UnrecognizedServer &entry) { removed = entry; });
        QCOMPARE(request.title, title);
        QCOMPARE(request.message, message);
        QCOMPARE(request.confirmLabel, QStringLiteral("Remove"));
        QCOMPARE(request.cancelLabel, QStringLiteral("Cancel"));
        QVERIFY(request.isDestructive);
        QVERIFY(!request.isNotice);
        QCOMPARE(request.icon, std::optional<QString>(QStringLiteral("recycle-bin")));
        QVERIFY(!removed);
        request.action();
        QCOMPARE(removed, std::optional<UnrecognizedServer>(server));
    }

    void orphanRows_data()
    {
        QTest::addColumn<bool>("available");
        QTest::addColumn<bool>("localSaving");
        QTest::addColumn<QList<OrphanRow>>("expected");

        const QString evil = QStringLiteral("Acme\u2067 \u202Eevil");
        QTest::newRow("connected and pending")
            << true << true
            << QList<OrphanRow>{{QStringLiteral("site-a"), QStringLiteral("Alpha"), false, true},
                                {QStringLiteral("site-b"), "Acme" + dot + " " + dot + "evil", true, false},
                                {QStringLiteral("site-c"), QStringLiteral("site-c"), false, true}};
        QTest::newRow("read-only stores: nothing to assign, revoking still offered")
            << true << false
            << QList<OrphanRow>{{QStringLiteral("site-a"), QStringLiteral("Alpha"), false, false},
                                {QStringLiteral("site-b"), "Acme" + dot + " " + dot + "evil", true, false},
                                {QStringLiteral("site-c"), QStringLiteral("site-c"), false, false}};
        QTest::newRow("pending only counts while publishing is available")
            << false << true
            << QList<OrphanRow>{{QStringLiteral("site-a"), QStringLiteral("Alpha"), false, true},
                                {QStringLiteral("site-b"), "Acme" + dot + " " + dot + "evil", false, true},
                                {QStringLiteral("site-c"), QStringLiteral("site-c"), false, true}};
    }

    // Rows keep the given order; names from the backend are shown safely.
    void orphanRows()
    {
        QFETCH(bool, available);
        QFETCH(bool, localSaving);
        QFETCH(QList<OrphanRow>, expected);
        const QHash<QString, QString> names{{QStringLiteral("site-a"), QStringLiteral("Alpha")},
                                            {QStringLiteral("site-b"), QStringLiteral("Acme\u2067 \u202Eevil")}};
        const auto name = [&names](const QString &id) { return names.value(id, id); };
        QCOMPARE(ProjectListRules::orphanRows({QStringLiteral("site-a"), QStringLiteral("site-b"), QStringLiteral("site-c")},
                                              name, {QStringLiteral("site-b")}, available, localSaving),
                 expected);
    }

    void assignCandidates_data()
    {
        QTest::addColumn<QList<Project>>("projects");
        QTest::addColumn<QStringList>("expected"); // titles

        const QList<Project> mixed{
            project(QStringLiteral("Free"), QStringLiteral("webflow-free")),
            project(QStringLiteral("Bound"), QStringLiteral("webflow-bound"), QStringLiteral("site-known")),
            project(QStringLiteral("Listed"), QStringLiteral("webflow-listed")),
            project(QStringLiteral("Names this site"), QStringLiteral("webflow-names"), QStringLiteral("site-orphan")),
            project(QStringLiteral("Names another"), QStringLiteral("webflow-other"), QStringLiteral("site-gone")),
            project(QStringLiteral("Also free"), QStringLiteral("webflow-also")),
        };
        QTest::newRow("free projects and one naming this site, in store order")
            << mixed << QStringList{QStringLiteral("Free"), QStringLiteral("Names this site"), QStringLiteral("Also free")};
        QTest::newRow("every project stands for a site")
            << QList<Project>{mixed.at(1), mixed.at(2), mixed.at(4)} << QStringList{};
        QTest::newRow("no project") << QList<Project>{} << QStringList{};
    }

    void assignCandidates()
    {
        QFETCH(QList<Project>, projects);
        QFETCH(QStringList, expected);
        const QList<SiteRecord> sites{site(QStringLiteral("site-known")),
                                      site(QStringLiteral("site-listing"), {QStringLiteral("webflow-listed")})};
        QStringList titles;
        for (const Project &each : ProjectListRules::assignCandidates(projects, sites, QStringLiteral("site-orphan")))
            titles.append(each.title);
        QCOMPARE(titles, expected);
    }

    void orphanRevocation_data()
    {
        QTest::addColumn<bool>("pending");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("confirmLabel");

        QTest::newRow("revoke") << false << QStringLiteral("Revoke publishing access for Acme?")
                                << QStringLiteral("Revokes the authorization at Webflow. Any scheduled publish for this "
                                                  "site will fail.")
                                << QStringLiteral("Revoke");
        QTest::newRow("finish a pending disconnect")
            << true << QStringLiteral("Finish disconnect for Acme?")
            << QStringLiteral("Publishing is already disabled. This retries Webflow revocation and local cleanup.")
            << QStringLiteral("Retry Cleanup");
    }

    void orphanRevocation()
    {
        QFETCH(bool, pending);
        QFETCH(QString, title);
        QFETCH(QString, message);
        QFETCH(QString, confirmLabel);
        int revoked = 0;
        const ConfirmRequest request =
            ProjectListRules::orphanRevocation(pending, QStringLiteral("Acme"), [&revoked] { ++revoked; });
        QCOMPARE(request.title, title);
        QCOMPARE(request.message, message);
        QCOMPARE(request.confirmLabel, confirmLabel);
        QCOMPARE(request.cancelLabel, QStringLiteral("Cancel"));
        QVERIFY(request.isDestructive);
        QVERIFY(!request.isNotice);
        QCOMPARE(request.icon, std::optional<QString>(QStringLiteral("power-off")));
        request.action();
        QCOMPARE(revoked, 1);
    }
};

QTEST_MAIN(tst_ProjectListRules)
#include "tst_ProjectListRules.moc"
