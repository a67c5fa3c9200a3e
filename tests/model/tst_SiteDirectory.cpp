// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/SiteDirectory.h"
#include "support/StoreTesting.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

namespace {

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
    if (verifiedAt)
        meta.verifiedAt = ReferenceSeconds::Instant(*verifiedAt);
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

const QString kSaveFailed = QStringLiteral("Site names and identity metadata could not be saved.");

} // namespace

class tst_SiteDirectory : public QObject
{
    Q_OBJECT

private slots:
    void fileFormat()
    {
        StoreFixture fixture;
        fixture.clock.set(QDateTime(QDate(2025, 3, 1), QTime(9, 30, 0, 750), Qt::UTC));
        const QString folder = fixture.folder();
        {
            SiteDirectory directory(folder, fixture.environment());
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
        SiteDirectory reread(folder, fixture.environment());
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
        StoreFixture fixture;
        SiteDirectory directory(fixture.folder(), fixture.environment());
        directory.markPublishingConnected(QStringLiteral("a"), QStringLiteral("A"));
        directory.markPublishingConnected(QStringLiteral("b"), QStringLiteral("B"));
        directory.setPublishingConnectedAt(std::nullopt, QStringLiteral("b"));
        const QDateTime marked = fixture.clock.now();
        fixture.clock.advance(60'000);

        // An existing mark never moves; a new one is now.
        directory.syncPublishingConnected({QStringLiteral("a"), QStringLiteral("b")}, false);
        QCOMPARE(directory.site(QStringLiteral("a"))->publishingConnectedAt, std::optional(marked));
        QCOMPARE(directory.site(QStringLiteral("b"))->publishingConnectedAt,
                 std::optional(fixture.clock.now()));

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
        StoreFixture fixture;
        SiteDirectory directory(fixture.folder(), fixture.environment());
        directory.markPublishingConnected(QStringLiteral("b"), QStringLiteral("beta"));
        directory.markPublishingConnected(QStringLiteral("a"), QStringLiteral("Alpha"));
        const QDateTime first = fixture.clock.now();
        QCOMPARE(directory.sites().first().id, QStringLiteral("a")); // sorted by name
        QCOMPARE(directory.site(QStringLiteral("a"))->nameSeenAt, std::optional(first));

        fixture.clock.advance(5000);
        directory.markPublishingConnected(QStringLiteral("a"), QStringLiteral("Renamed"));
        const SiteRecord a = *directory.site(QStringLiteral("a"));
        QCOMPARE(a.publishingConnectedAt, std::optional(fixture.clock.now())); // moved to now
        QCOMPARE(a.name, QStringLiteral("Alpha")); // a known site keeps its name

        // Clearing an unknown site writes nothing.
        QFile::remove(directory.filePath());
        directory.setPublishingConnectedAt(std::nullopt, QStringLiteral("zzz"));
        QVERIFY(!QFile::exists(directory.filePath()));
        QVERIFY(!directory.site(QStringLiteral("zzz")));
    }

    void reconcileCollectsExclusiveConnections()
    {
        StoreFixture fixture;
        SiteDirectory directory(fixture.folder(), fixture.environment());
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
        StoreFixture fixture;
        const QString folder = fixture.folder();
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
        SiteDirectory directory(folder, fixture.environment());
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
        StoreFixture fixture;
        SiteDirectory directory(fixture.folder(), fixture.environment());
        directory.reconcile(connections, {}, {}, {});
        QCOMPARE(directory.site(QStringLiteral("s"))->name, name);
        QCOMPARE(directory.site(QStringLiteral("s"))->nameSeenAt, nameSeenAt);
    }

    void aMarkedSiteIsRenamedOnlyByARecentEnoughVerification()
    {
        StoreFixture fixture;
        fixture.clock.set(kT0);
        SiteDirectory directory(fixture.folder(), fixture.environment());
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
        StoreFixture fixture;
        SiteDirectory directory(fixture.folder(), fixture.environment());
        directory.reconcile({}, {}, {}, {});
        QCOMPARE(fixture.writer.writes, 1); // also when nothing changed
        directory.reconcile({}, {}, {QStringLiteral("a")}, {});
        const QList<SiteRecord> before = directory.sites();

        fixture.writer.failure = QStringLiteral("Input/output error");
        directory.reconcile({}, {}, {QStringLiteral("b")}, {});
        QCOMPARE(directory.sites(), before);
        QCOMPARE(directory.persistenceIssue(), kSaveFailed);
        directory.reconcile({}, {}, {QStringLiteral("c")}, {});
        QCOMPARE(fixture.writer.writes, 3);
        QCOMPARE(directory.sites(), before);
    }

    void sortByDisplayName()
    {
        StoreFixture fixture;
        const QString folder = fixture.folder();
        QDir().mkpath(folder);
        putFile(folder + QStringLiteral("/sites.json"), R"([
            {"id": "1", "name": "beta", "connections": []},
            {"id": "2", "name": "Alpha", "connections": []},
            {"id": "3", "name": "alpha", "connections": []},
            {"id": "4", "name": "Zed", "customName": "", "connections": []}])");
        SiteDirectory directory(folder, fixture.environment());
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
