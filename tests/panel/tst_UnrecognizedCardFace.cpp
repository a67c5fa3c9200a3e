// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/UnrecognizedCardFace.h"

#include <QTest>

using Reason = UnrecognizedServer::Reason;
using Folder = std::optional<QString>;

Q_DECLARE_METATYPE(Folder)

// The card of an unmanaged registry entry: badge, sentence, footnote and trash button for every
// reason with and without a folder, and the names and folders from outside shown only made safe.
class tst_UnrecognizedCardFace : public QObject
{
    Q_OBJECT

private slots:
    void face_data()
    {
        QTest::addColumn<Reason>("reason");
        QTest::addColumn<Folder>("folder");
        QTest::addColumn<QString>("badgeIcon");
        QTest::addColumn<QString>("badgeText");
        QTest::addColumn<bool>("ownedElsewhere");
        QTest::addColumn<QString>("reasonText");
        QTest::addColumn<QString>("footnote");
        QTest::addColumn<bool>("trash");

        const QString shield = QStringLiteral("exclamationmark.shield.fill");
        const QString folderIcon = QStringLiteral("folder.badge.questionmark");
        const Folder site = QStringLiteral("/home/ada/sites/acme");
        const QString underFolder = QStringLiteral("Registered under /home/ada/sites/acme");
        const QString editByHand = QStringLiteral("Project-scoped. Edit ~/.claude.json to change it.");
        const QString notManaged = QStringLiteral("Not managed by this app.");
        const QString unsafe = "The registered name contains characters this app will not pass to the CLI.";
        const QString notHttp = "This entry does not declare an HTTP transport, so it is not a Webflow connection.";
        const QString endpoint = "This entry points at a different server than Webflow's MCP endpoint.";
        const QString shadow = "A project-scoped entry in ~/.claude.json shares this name. Claude Code resolves that one "
                               "first, so this connection is not the one it would use, and this app will not probe it.";
        const QString project = "This entry is registered for one project folder rather than your user account, so "
                                "this app does not manage it.";
        const QString lane = "This connection belongs to the other Quorvane app lane, so this app will not inspect or "
                             "change it.";

        for (const auto &[tag, folder] : {std::pair{"no folder", Folder()}, std::pair{"folder", site}}) {
            QTest::addRow("transportNotHTTP, %s", tag) << Reason::transportNotHTTP << folder << shield << "Unrecognized"
                                                       << false << notHttp << notManaged << true;
            QTest::addRow("unexpectedEndpoint, %s", tag) << Reason::unexpectedEndpoint << folder << shield
                                                         << "Unrecognized" << false << endpoint << notManaged << true;
        }
        // An entry flagged for its name keeps the badge; its trash button depends on the name itself.
        QTest::newRow("unsafeName") << Reason::unsafeName << Folder() << shield << "Unrecognized" << false << unsafe
                                    << notManaged << true;
        QTest::newRow("localScopeShadow, folder") << Reason::localScopeShadow << site << shield << "Unrecognized" << false
                                                  << shadow << underFolder << false;
        QTest::newRow("localScopeShadow, no folder") << Reason::localScopeShadow << Folder() << shield << "Unrecognized"
                                                     << false << shadow << editByHand << false;
        QTest::newRow("projectScoped, folder") << Reason::projectScoped << site << folderIcon << "Project-scoped" << true
                                               << project << underFolder << true;
        QTest::newRow("projectScoped, no folder") << Reason::projectScoped << Folder() << folderIcon << "Project-scoped"
                                                  << true << project << editByHand << false;
        QTest::newRow("foreignLane, folder") << Reason::foreignLane << site << folderIcon << "Project-scoped" << true
                                             << lane << underFolder << false;
        QTest::newRow("foreignLane, no folder") << Reason::foreignLane << Folder() << folderIcon << "Project-scoped"
                                                << true << lane << editByHand << false;
    }

    void face()
    {
        QFETCH(Reason, reason);
        QFETCH(Folder, folder);
        UnrecognizedServer server{QStringLiteral("webflow-acme"), QStringLiteral("https://example.com/mcp"),
                                  QStringLiteral("http"), reason, folder};
        const UnrecognizedCardFace face = UnrecognizedCardFace::of(server);
        QTEST(face.badgeIcon, "badgeIcon");
        QTEST(face.badgeText, "badgeText");
        QTEST(face.ownedElsewhere, "ownedElsewhere");
        QTEST(face.reasonText, "reasonText");
        QTEST(face.footnote, "footnote");
        QTEST(face.showsTrash, "trash");
        QCOMPARE(face.displayName, QStringLiteral("webflow-acme"));
        QCOMPARE(face.trashAccessibilityLabel, QStringLiteral("Remove webflow-acme"));
        QCOMPARE(face.endpoint, QStringLiteral("https://example.com/mcp"));
    }

    // Removing an entry hands its raw name to the command line, which takes only names that
    // pass the name rules: an entry named otherwise offers no trash button, whatever its reason.
    void unsafeNameGetsNoTrash_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Reason>("reason");
        QTest::addColumn<Folder>("folder");
        QTest::addColumn<bool>("trash");
        QTest::newRow("safe, foreign endpoint") << "acme_tools-2" << Reason::unexpectedEndpoint << Folder() << true;
        QTest::newRow("space") << "acme tools" << Reason::unsafeName << Folder() << false;
        QTest::newRow("leading dash") << "-rf" << Reason::unsafeName << Folder() << false;
        QTest::newRow("shell characters") << "acme;rm" << Reason::transportNotHTTP << Folder() << false;
        QTest::newRow("line break") << "acme\nx" << Reason::unexpectedEndpoint << Folder() << false;
        QTest::newRow("non-ASCII letter") << "acmé" << Reason::unsafeName << Folder() << false;
        QTest::newRow("empty") << "" << Reason::unsafeName << Folder() << false;
        QTest::newRow("project-scoped, unsafe") << "acme tools" << Reason::projectScoped << Folder("/srv/acme") << false;
        QTest::newRow("project-scoped, safe") << "acme" << Reason::projectScoped << Folder("/srv/acme") << true;
    }

    void unsafeNameGetsNoTrash()
    {
        QFETCH(QString, name);
        QFETCH(Reason, reason);
        QFETCH(Folder, folder);
        const UnrecognizedServer server{name, std::nullopt, std::nullopt, reason, folder};
        QTEST(UnrecognizedCardFace::of(server).showsTrash, "trash");
    }

    // The name, the endpoint and the folder all come from ~/.claude.json: control characters show
    // as middle dots and each is cut at 120 characters.
    void outsideTextsAreMadeSafe()
    {
        const QString longFolder = QStringLiteral("/srv/") + QString(200, u'f');
        const UnrecognizedServer server{QStringLiteral("evil\u202Ename\nx"), std::nullopt, std::nullopt,
                                        Reason::projectScoped, QStringLiteral("/srv/a\u202Eb\nc")};
        const UnrecognizedCardFace face = UnrecognizedCardFace::of(server);
        QCOMPARE(face.displayName, QStringLiteral("evil·name·x"));
        QCOMPARE(face.trashAccessibilityLabel, QStringLiteral("Remove evil·name·x"));
        QCOMPARE(face.footnote, QStringLiteral("Registered under /srv/a·b·c"));
        QCOMPARE(face.endpoint, QStringLiteral("no URL, transport unspecified"));

        const UnrecognizedCardFace longOne = UnrecognizedCardFace::of(
            {QString(130, u'n'), std::nullopt, QStringLiteral("stdio"), Reason::projectScoped, longFolder});
        QCOMPARE(longOne.displayName, QString(120, u'n') + QStringLiteral("…"));
        QCOMPARE(longOne.footnote, QStringLiteral("Registered under ") + longFolder.left(120) + QStringLiteral("…"));
        QCOMPARE(longOne.endpoint, QStringLiteral("no URL, transport stdio"));
        // A name cut for showing is still judged by what the command line would get.
        QVERIFY(longOne.showsTrash);
    }

    // QML hands the entry over as texts: empty stands for none, and a reason it cannot read is
    // taken as the strictest one.
    void fromTexts()
    {
        const UnrecognizedCardFace face = UnrecognizedCardRules::face("acme", "", "", "projectScoped", "");
        QCOMPARE(face.footnote, QStringLiteral("Project-scoped. Edit ~/.claude.json to change it."));
        QVERIFY(!face.showsTrash);
        QCOMPARE(face.endpoint, QStringLiteral("no URL, transport unspecified"));
        QCOMPARE(UnrecognizedCardRules::face("acme", "", "", "bogus", "").badgeText, QStringLiteral("Unrecognized"));
        QVERIFY(UnrecognizedCardRules::accent(true, KitPalette::Scheme::Light) == KitPalette::systemOrange(KitPalette::Scheme::Light));
        QVERIFY(UnrecognizedCardRules::accent(false, KitPalette::Scheme::Dark) == KitPalette::systemRed(KitPalette::Scheme::Dark));
    }
};

QTEST_APPLESS_MAIN(tst_UnrecognizedCardFace)
#include "tst_UnrecognizedCardFace.moc"
