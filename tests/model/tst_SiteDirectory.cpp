// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/SiteDirectory.h"
#include "support/ManualClock.h"
#include "support/StoreTesting.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kArea = QStringLiteral("site-directory");

SiteRecord site(const QString &id, const QString &name)
{
    SiteRecord record;
    record.id = id;
    record.name = name;
    return record;
}

Connection connection(const QString &name, std::optional<QList<SiteRef>> sites,
                      std::optional<QDateTime> verifiedAt = std::nullopt)
{
    ConnectionMeta meta;
    meta.sites = std::move(sites);
    meta.verifiedAt = std::move(verifiedAt);
    return Connection{name, std::nullopt, ConnectionStatus::connected, meta};
}

SiteRef ref(const QString &id, const QString &name, std::optional<QString> shortName = {})
{
    return SiteRef{name, id, std::move(shortName)};
}

QStringList idsOf(const QList<SiteRecord> &sites)
{
    QStringList ids;
    for (const SiteRecord &record : sites)
        ids.append(record.id);
    return ids;
}

const QDateTime kT0(QDate(2025, 3, 1), QTime(9, 0), Qt::UTC);

const QString kUnsupported = QStringLiteral(
    "Saved site data uses an unsupported format and was preserved. Site changes are disabled.");
const QString kSaveFailed = QStringLiteral("Site names and identity metadata could not be saved.");

} // namespace

class tst_SiteDirectory : public QObject
{
    Q_OBJECT

private slots:
    void missingFileStartsEmptyAndWritable()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        SiteDirectory directory(folder, clock);
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(directory.sites().isEmpty());
        QVERIFY(directory.persistenceWritable());
        QVERIFY(directory.persistenceIssue().isEmpty());
        QVERIFY(!QFile::exists(directory.filePath()));

        directory.markPublishingConnected(QStringLiteral("s1"), QStringLiteral("Acme"));
        const QJsonDocument written = QJsonDocument::fromJson(fileBytes(directory.filePath()));
        QCOMPARE(written.object().value(QStringLiteral("version")), QJsonValue(1));
        QCOMPARE(written.object().value(QStringLiteral("sites")).toArray().size(), 1);
    }

    void loadsBothLayouts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("ids");

        QTest::newRow("current") << QByteArray(R"({"version": 1, "sites": [
            {"id": "b", "name": "B", "connections": ["webflow-b"]},
            {"id": "a", "name": "A", "connections": [], "customName": null, "extra": true}]})")
                                 << QStringList{"b", "a"};
        QTest::newRow("version as 1.0")
            << QByteArray(R"({"version": 1.0, "sites": []})") << QStringList{};
        QTest::newRow("older layout, a bare array") << QByteArray(R"([
            {"id": "z", "name": "Z", "connections": []},
            {"id": "y", "name": "Y", "connections": []}])")
                                                    << QStringList{"z", "y"};
    }

    void loadsBothLayouts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, ids);
        TempHome home;
        ManualClock clock(distinctStart());
        QDir().mkpath(home.appDataDir());
        putFile(home.appDataDir() + QStringLiteral("/sites.json"), bytes);

        SiteDirectory directory(home.appDataDir(), clock);
        QStringList loaded;
        for (const SiteRecord &record : directory.sites())
            loaded.append(record.id);
        QCOMPARE(loaded, ids);
        QVERIFY(directory.persistenceWritable());
        QVERIFY(directory.persistenceIssue().isEmpty());

        // The next save writes the current layout.
        directory.setPublishingConnectedAt(clock.now(), ids.value(0, QStringLiteral("none")));
        if (!ids.isEmpty()) {
            const QJsonObject written = QJsonDocument::fromJson(fileBytes(directory.filePath())).object();
            QCOMPARE(written.value(QStringLiteral("version")), QJsonValue(1));
            QCOMPARE(written.value(QStringLiteral("sites")).toArray().size(), ids.size());
        }
    }

    void unusableContentIsPreserved_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");

        QTest::newRow("version 2") << QByteArray(R"({"version": 2, "sites": []})")
                                   << "unsupported version";
        QTest::newRow("version 2 with undecodable records")
            << QByteArray(R"({"version": 2, "sites": [{}]})") << "could not be decoded";
        QTest::newRow("empty file") << QByteArray() << "could not be decoded";
        QTest::newRow("truncated") << QByteArray(R"({"version": 1, "sites": [)")
                                   << "could not be decoded";
        QTest::newRow("no version") << QByteArray(R"({"sites": []})") << "could not be decoded";
        QTest::newRow("version as text") << QByteArray(R"({"version": "1", "sites": []})")
                                         << "could not be decoded";
        QTest::newRow("version 1.5") << QByteArray(R"({"version": 1.5, "sites": []})")
                                     << "could not be decoded";
        QTest::newRow("site without connections")
            << QByteArray(R"([{"id": "a", "name": "A"}])") << "could not be decoded";
        QTest::newRow("id as number")
            << QByteArray(R"([{"id": 7, "name": "A", "connections": []}])")
            << "could not be decoded";
        QTest::newRow("date with a fraction")
            << QByteArray(R"([{"id": "a", "name": "A", "connections": [],
                              "nameSeenAt": "2025-03-01T09:30:00.5Z"}])")
            << "could not be decoded";
        QTest::newRow("date as number")
            << QByteArray(R"([{"id": "a", "name": "A", "connections": [], "nameSeenAt": 5}])")
            << "could not be decoded";
        QTest::newRow("custom name as number")
            << QByteArray(R"([{"id": "a", "name": "A", "connections": [], "customName": 5}])")
            << "could not be decoded";
        QTest::newRow("connection as number")
            << QByteArray(R"([{"id": "a", "name": "A", "connections": [5]}])")
            << "could not be decoded";
        QTest::newRow("top-level text") << QByteArray(R"("sites")") << "could not be decoded";
    }

    void unusableContentIsPreserved()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/sites.json");
        putFile(path, bytes);
        const qsizetype logged = loggedCount();

        SiteDirectory directory(folder, clock);
        QVERIFY(directory.sites().isEmpty());
        QVERIFY(!directory.persistenceWritable());
        QCOMPARE(directory.persistenceIssue(), kUnsupported);
        QCOMPARE(loggedSince(kArea, logged), QStringList{QStringLiteral("sites.json ") + reason});
        const QString copy = folder + QStringLiteral("/sites-unreadable-")
            + QString::number(clock.now().toSecsSinceEpoch()) + QStringLiteral(".json");
        QVERIFY(QFile::exists(copy));
        QCOMPARE(fileBytes(copy), bytes);

        // Later changes are refused without touching memory or disk.
        QSignalSpy sitesSpy(&directory, &SiteDirectory::sitesChanged);
        directory.markPublishingConnected(QStringLiteral("s"), QStringLiteral("S"));
        directory.syncPublishingConnected({}, true);
        QVERIFY(directory.sites().isEmpty());
        QCOMPARE(sitesSpy.size(), 0);
        QCOMPARE(fileBytes(path), bytes);
        QCOMPARE(directory.persistenceIssue(), kUnsupported);
        QCOMPARE(loggedSince(kArea, logged).size(), 1);
    }

    void aSecondPreservationInTheSameSecondReplacesTheCopy()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        QDir().mkpath(folder);
        putFile(folder + QStringLiteral("/sites.json"), "first");
        { SiteDirectory directory(folder, clock); }
        putFile(folder + QStringLiteral("/sites.json"), "second");
        clock.advance(999);
        { SiteDirectory directory(folder, clock); }
        const QStringList copies =
            QDir(folder).entryList({QStringLiteral("sites-unreadable-*.json")}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(fileBytes(folder + u'/' + copies.first()), QByteArray("second"));
    }

    void aFailedCopyIsLoggedBeforeTheReason()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        QDir().mkpath(folder);
        putFile(folder + QStringLiteral("/sites.json"), "{");
        const QString copy = folder + u'/'
            + StoreFile::unreadableCopyName(QStringLiteral("sites"), clock.now());
        QVERIFY(QDir().mkpath(copy)); // a folder where the copy would go
        const qsizetype logged = loggedCount();

        SiteDirectory directory(folder, clock);
        QVERIFY(!directory.persistenceWritable());
        QCOMPARE(directory.persistenceIssue(), kUnsupported);
        const QStringList messages = loggedSince(kArea, logged);
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages.at(0).startsWith(QStringLiteral("backup failed: ")));
        QVERIFY(messages.at(0).size() > QStringLiteral("backup failed: ").size());
        QCOMPARE(messages.at(1), QStringLiteral("sites.json could not be decoded"));
        QCOMPARE(fileBytes(folder + QStringLiteral("/sites.json")), QByteArray("{"));
    }

    void aFileThatCannotBeReadIsNeverOverwritten()
    {
        // Root reads any file whatever its mode, so a folder stands in for the unreadable file.
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/sites.json")));
        const qsizetype logged = loggedCount();

        SiteDirectory directory(folder, clock);
        QVERIFY(directory.sites().isEmpty());
        QVERIFY(!directory.persistenceWritable());
        QCOMPARE(directory.persistenceIssue(),
                 QStringLiteral("Saved site data exists but could not be read. It was preserved "
                                "and site changes are disabled."));
        const QStringList messages = loggedSince(kArea, logged);
        QCOMPARE(messages.size(), 1);
        QVERIFY(!messages.first().isEmpty());
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{}); // no copy

        directory.markPublishingConnected(QStringLiteral("s"), QStringLiteral("S"));
        QVERIFY(directory.sites().isEmpty());
        QVERIFY(QFileInfo(directory.filePath()).isDir());
    }

    void aFailedWriteKeepsMemoryAndDisablesChanges()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        TestWriter writer;
        SiteDirectory directory(home.appDataDir(), clock, writer.writer());
        directory.markPublishingConnected(QStringLiteral("a"), QStringLiteral("Acme"));
        const QList<SiteRecord> before = directory.sites();
        const QByteArray onDisk = fileBytes(directory.filePath());
        const qsizetype logged = loggedCount();

        writer.failure = QStringLiteral("No space left on device");
        QSignalSpy sitesSpy(&directory, &SiteDirectory::sitesChanged);
        QSignalSpy issueSpy(&directory, &SiteDirectory::persistenceIssueChanged);
        directory.markPublishingConnected(QStringLiteral("b"), QStringLiteral("Beta"));
        QCOMPARE(directory.sites(), before);
        QCOMPARE(sitesSpy.size(), 0);
        QCOMPARE(issueSpy.size(), 1);
        QVERIFY(!directory.persistenceWritable());
        QCOMPARE(directory.persistenceIssue(), kSaveFailed);
        QCOMPARE(loggedSince(kArea, logged), QStringList{QStringLiteral("No space left on device")});
        QCOMPARE(writer.writes, 2);

        writer.failure.reset();
        clock.advance(120'000); // past the log's repeat window: a second entry would show
        directory.setPublishingConnectedAt(std::nullopt, QStringLiteral("a"));
        directory.syncPublishingConnected({}, true);
        directory.markPublishingConnected(QStringLiteral("c"), QStringLiteral("C"));
        QCOMPARE(writer.writes, 2);
        QCOMPARE(directory.sites(), before);
        QCOMPARE(directory.persistenceIssue(), kSaveFailed);
        QCOMPARE(loggedSince(kArea, logged).size(), 1);
        QCOMPARE(fileBytes(directory.filePath()), onDisk);
    }

    void fileFormat()
    {
        TempHome home;
        ManualClock clock(QDateTime(QDate(2025, 3, 1), QTime(9, 30, 0, 750), Qt::UTC));
        const QString folder = home.appDataDir();
        {
            SiteDirectory directory(folder, clock);
            directory.markPublishingConnected(QStringLiteral("a/1"), QStringLiteral("Acme"));
        }
        const QByteArray text = fileBytes(folder + QStringLiteral("/sites.json"));
        const QJsonObject object = QJsonDocument::fromJson(text).object();
        QCOMPARE(object.keys(), (QStringList{"sites", "version"}));
        const QJsonObject written = object.value(QStringLiteral("sites")).toArray().first().toObject();
        QCOMPARE(written,
                 (QJsonObject{{"id", "a/1"},
                              {"name", "Acme"},
                              {"connections", QJsonArray{}},
                              {"nameSeenAt", "2025-03-01T09:30:00Z"},
                              {"publishingConnectedAt", "2025-03-01T09:30:00Z"}}));
        QVERIFY(text.indexOf("\"connections\"") < text.indexOf("\"id\""));

        // A date saved with a fraction reads back cut to the whole second.
        SiteDirectory reread(folder, clock);
        QCOMPARE(reread.sites().first().publishingConnectedAt,
                 std::optional(QDateTime(QDate(2025, 3, 1), QTime(9, 30), Qt::UTC)));
    }

    void recordsRoundTrip()
    {
        SiteRecord full = site(QStringLiteral("id"), QStringLiteral("Name"));
        const QDateTime at(QDate(2025, 3, 1), QTime(9, 30), Qt::UTC);
        full.nameSeenAt = at;
        full.customName = QString();
        full.connections = {QStringLiteral("webflow-a"), QStringLiteral("webflow-b")};
        full.lastVerifiedAt = at.addSecs(1);
        full.publishingConnectedAt = at.addSecs(2);
        full.shortName = QStringLiteral("name");
        full.shortNameSeenAt = at.addSecs(3);
        QCOMPARE(SiteRecord::fromJson(full.toJson()), std::optional(full));
        QCOMPARE(full.displayName(), QString()); // a present custom name wins even when empty

        const SiteRecord bare = site(QStringLiteral("id"), QStringLiteral("Name"));
        QCOMPARE(bare.toJson().keys(), (QStringList{"connections", "id", "name"}));
        QCOMPARE(SiteRecord::fromJson(bare.toJson()), std::optional(bare));
    }

    void syncPublishingConnected()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        SiteDirectory directory(home.appDataDir(), clock);
        directory.markPublishingConnected(QStringLiteral("a"), QStringLiteral("A"));
        directory.markPublishingConnected(QStringLiteral("b"), QStringLiteral("B"));
        directory.setPublishingConnectedAt(std::nullopt, QStringLiteral("b"));
        const QDateTime marked = clock.now();
        clock.advance(60'000);

        // An existing mark never moves; a new one is now.
        directory.syncPublishingConnected({QStringLiteral("a"), QStringLiteral("b")}, false);
        QCOMPARE(directory.site(QStringLiteral("a"))->publishingConnectedAt, std::optional(marked));
        QCOMPARE(directory.site(QStringLiteral("b"))->publishingConnectedAt,
                 std::optional(clock.now()));

        // Without clearing others nothing changes and nothing is written.
        QFile::remove(directory.filePath());
        directory.syncPublishingConnected({}, false);
        QVERIFY(!QFile::exists(directory.filePath()));
        QVERIFY(directory.site(QStringLiteral("a"))->publishingConnectedAt);

        directory.syncPublishingConnected({}, true);
        QVERIFY(QFile::exists(directory.filePath()));
        for (const SiteRecord &record : directory.sites())
            QVERIFY(!record.publishingConnectedAt);
        QStringList ids;
        for (const SiteRecord &record : directory.sites())
            ids.append(record.id);
        QCOMPARE(ids, (QStringList{"a", "b"}));
    }

    void markPublishingConnected()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        SiteDirectory directory(home.appDataDir(), clock);
        directory.markPublishingConnected(QStringLiteral("b"), QStringLiteral("beta"));
        directory.markPublishingConnected(QStringLiteral("a"), QStringLiteral("Alpha"));
        const QDateTime first = clock.now();
        QCOMPARE(directory.sites().first().id, QStringLiteral("a")); // sorted by name
        QCOMPARE(directory.site(QStringLiteral("a"))->nameSeenAt, std::optional(first));

        clock.advance(5000);
        directory.markPublishingConnected(QStringLiteral("a"), QStringLiteral("Renamed"));
        const SiteRecord a = *directory.site(QStringLiteral("a"));
        QCOMPARE(a.publishingConnectedAt, std::optional(clock.now())); // moved to now
        QCOMPARE(a.name, QStringLiteral("Alpha")); // a known site keeps its name

        // Clearing an unknown site writes nothing.
        QFile::remove(directory.filePath());
        directory.setPublishingConnectedAt(std::nullopt, QStringLiteral("zzz"));
        QVERIFY(!QFile::exists(directory.filePath()));
        QVERIFY(!directory.site(QStringLiteral("zzz")));
    }

    void reconcileCollectsExclusiveConnections()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        SiteDirectory directory(home.appDataDir(), clock);
        const QList<Connection> connections{
            connection(QStringLiteral("webflow-none"), std::nullopt),
            Connection{QStringLiteral("webflow-no-meta"), std::nullopt, ConnectionStatus::connected,
                       std::nullopt},
            connection(QStringLiteral("webflow-empty"), QList<SiteRef>{}),
            connection(QStringLiteral("webflow-two"),
                       QList<SiteRef>{ref(QStringLiteral("a"), QStringLiteral("A")),
                                      ref(QStringLiteral("b"), QStringLiteral("B"))}),
            connection(QStringLiteral("webflow-z"),
                       QList<SiteRef>{ref(QStringLiteral("a"), QStringLiteral("Acme"),
                                          QStringLiteral("acme"))},
                       kT0),
            connection(QStringLiteral("webflow-y"),
                       QList<SiteRef>{ref(QStringLiteral("a"), QStringLiteral("Acme"))},
                       kT0.addSecs(-60)),
        };
        directory.reconcile(connections, {}, {}, {});
        QCOMPARE(idsOf(directory.sites()), QStringList{QStringLiteral("a")});
        const SiteRecord a = directory.sites().first();
        QCOMPARE(a.connections, (QStringList{"webflow-y", "webflow-z"})); // sorted
        QCOMPARE(a.name, QStringLiteral("Acme"));
        QCOMPARE(a.nameSeenAt, std::optional(kT0));
        QCOMPARE(a.shortName, std::optional(QStringLiteral("acme")));
        QCOMPARE(a.shortNameSeenAt, std::optional(kT0));
        QCOMPARE(a.lastVerifiedAt, std::optional(kT0));
    }

    void reconcileKeepsAndDrops()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        QDir().mkpath(folder);
        putFile(folder + QStringLiteral("/sites.json"), R"([
            {"id": "gone", "name": "Gone", "connections": ["webflow-old"]},
            {"id": "kept", "name": "Kept", "customName": "Mine", "connections": ["webflow-old"],
             "lastVerifiedAt": "2025-01-01T00:00:00Z"},
            {"id": "marked", "name": "Marked", "connections": [],
             "publishingConnectedAt": "2025-01-01T00:00:00Z"},
            {"id": "dup", "name": "First", "connections": []},
            {"id": "dup", "name": "Second", "connections": []},
            {"id": "project", "name": "Old title", "connections": []}])");
        SiteDirectory directory(folder, clock);
        directory.reconcile({}, {QStringLiteral("kept"), QStringLiteral("dup")},
                            {QStringLiteral("project"), QStringLiteral("new"),
                             QStringLiteral("untitled")},
                            {{QStringLiteral("new"), QStringLiteral("New project")},
                             {QStringLiteral("project"), QStringLiteral("Ignored")}});

        QCOMPARE(idsOf(directory.sites()),
                 (QStringList{"marked", "kept", "new", "project", "dup", "untitled"}));
        const SiteRecord kept = *directory.site(QStringLiteral("kept"));
        QCOMPARE(kept.customName, std::optional(QStringLiteral("Mine")));
        QVERIFY(kept.connections.isEmpty());
        QVERIFY(!kept.lastVerifiedAt);
        QCOMPARE(directory.site(QStringLiteral("dup"))->name, QStringLiteral("Second"));
        QCOMPARE(directory.site(QStringLiteral("project"))->name, QStringLiteral("Old title"));
        QCOMPARE(directory.site(QStringLiteral("new"))->name, QStringLiteral("New project"));
        QCOMPARE(directory.site(QStringLiteral("untitled"))->name, QStringLiteral("untitled"));
        QVERIFY(!directory.site(QStringLiteral("gone")));

        // With nothing to keep, only the sites marked for publishing remain.
        directory.reconcile({}, {}, {}, {});
        QCOMPARE(idsOf(directory.sites()), QStringList{QStringLiteral("marked")});
    }

    void reconcileMovesNamesForwardOnly_data()
    {
        QTest::addColumn<QList<Connection>>("connections");
        QTest::addColumn<QString>("name");
        QTest::addColumn<std::optional<QDateTime>>("nameSeenAt");

        const QDateTime t1 = kT0.addSecs(10);
        const QDateTime t2 = kT0;
        const auto reaching = [](const QString &connectionName, const QString &siteName,
                                 std::optional<QDateTime> at) {
            return connection(connectionName, QList<SiteRef>{ref(QStringLiteral("s"), siteName)},
                              at);
        };
        QTest::newRow("later verification wins, given first")
            << QList<Connection>{reaching("webflow-a", "Newer", t1), reaching("webflow-b", "Older", t2)}
            << "Newer" << std::optional(t1);
        QTest::newRow("later verification wins, given last")
            << QList<Connection>{reaching("webflow-a", "Older", t2), reaching("webflow-b", "Newer", t1)}
            << "Newer" << std::optional(t1);
        QTest::newRow("equal times: the later in order wins")
            << QList<Connection>{reaching("webflow-a", "First", t1), reaching("webflow-b", "Second", t1)}
            << "Second" << std::optional(t1);
        QTest::newRow("no time never replaces a timed name")
            << QList<Connection>{reaching("webflow-a", "Timed", t1), reaching("webflow-b", "Untimed", std::nullopt)}
            << "Timed" << std::optional(t1);
        QTest::newRow("no time names a site that has no time")
            << QList<Connection>{reaching("webflow-a", "Untimed", std::nullopt)}
            << "Untimed" << std::optional<QDateTime>();
    }

    void reconcileMovesNamesForwardOnly()
    {
        QFETCH(QList<Connection>, connections);
        QFETCH(QString, name);
        QFETCH(std::optional<QDateTime>, nameSeenAt);
        TempHome home;
        ManualClock clock(distinctStart());
        SiteDirectory directory(home.appDataDir(), clock);
        directory.reconcile(connections, {}, {}, {});
        QCOMPARE(directory.site(QStringLiteral("s"))->name, name);
        QCOMPARE(directory.site(QStringLiteral("s"))->nameSeenAt, nameSeenAt);
    }

    void aMarkedSiteIsRenamedOnlyByARecentEnoughVerification()
    {
        TempHome home;
        ManualClock clock(kT0);
        SiteDirectory directory(home.appDataDir(), clock);
        directory.markPublishingConnected(QStringLiteral("s"), QStringLiteral("Marked"));
        const auto reaching = [](const QString &name, std::optional<QDateTime> at) {
            return QList<Connection>{connection(QStringLiteral("webflow-s"),
                                                QList<SiteRef>{ref(QStringLiteral("s"), name)}, at)};
        };
        directory.reconcile(reaching(QStringLiteral("Earlier"), kT0.addSecs(-1)), {}, {}, {});
        QCOMPARE(directory.site(QStringLiteral("s"))->name, QStringLiteral("Marked"));
        directory.reconcile(reaching(QStringLiteral("Untimed"), std::nullopt), {}, {}, {});
        QCOMPARE(directory.site(QStringLiteral("s"))->name, QStringLiteral("Marked"));
        directory.reconcile(reaching(QStringLiteral("Same time"), kT0), {}, {}, {});
        QCOMPARE(directory.site(QStringLiteral("s"))->name, QStringLiteral("Same time"));
    }

    void reconcileAlwaysWritesAndRestoresOnFailure()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        TestWriter writer;
        SiteDirectory directory(home.appDataDir(), clock, writer.writer());
        directory.reconcile({}, {}, {}, {});
        QCOMPARE(writer.writes, 1); // also when nothing changed
        directory.reconcile({}, {}, {QStringLiteral("a")}, {});
        const QList<SiteRecord> before = directory.sites();

        writer.failure = QStringLiteral("Input/output error");
        directory.reconcile({}, {}, {QStringLiteral("b")}, {});
        QCOMPARE(directory.sites(), before);
        QCOMPARE(directory.persistenceIssue(), kSaveFailed);
        directory.reconcile({}, {}, {QStringLiteral("c")}, {});
        QCOMPARE(writer.writes, 3);
        QCOMPARE(directory.sites(), before);
    }

    void sortByDisplayName()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        QDir().mkpath(folder);
        putFile(folder + QStringLiteral("/sites.json"), R"([
            {"id": "1", "name": "beta", "connections": []},
            {"id": "2", "name": "Alpha", "connections": []},
            {"id": "3", "name": "alpha", "connections": []},
            {"id": "4", "name": "Zed", "customName": "", "connections": []}])");
        SiteDirectory directory(folder, clock);
        directory.markPublishingConnected(QStringLiteral("5"), QStringLiteral("ALPHA"));
        QStringList ids;
        for (const SiteRecord &record : directory.sites())
            ids.append(record.id);
        // An empty custom name sorts first; equal names keep their order.
        QCOMPARE(ids, (QStringList{"4", "2", "3", "5", "1"}));
    }
};

QTEST_GUILESS_MAIN(tst_SiteDirectory)
#include "tst_SiteDirectory.moc"
