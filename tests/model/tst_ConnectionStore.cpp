// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ConnectionStore.h"
#include "support/StoreTesting.h"

#include <QDir>
#include <QJsonDocument>
#include <QTest>

namespace {

// 2025-03-01 09:30:00.250 UTC as seconds since 2001-01-01.
const double kSeconds = 762514200.25;
const QDateTime kAt = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC).addMSecs(762514200250);

using ReferenceSeconds::Instant;

std::optional<Instant> instant(const std::optional<QDateTime> &date)
{
    return date ? std::optional(Instant(*date)) : std::nullopt;
}

ConnectionMeta meta(std::optional<QDateTime> verifiedAt, std::optional<QDateTime> addedAt,
                    std::optional<QList<SiteRef>> sites = QList<SiteRef>{SiteRef{"Acme", "a", {}}})
{
    ConnectionMeta value;
    value.sites = std::move(sites);
    value.verifiedAt = instant(verifiedAt);
    value.addedAt = instant(addedAt);
    return value;
}

const QString kUnsupported =
    QStringLiteral("Connection metadata used an unsupported format and was preserved.");

using Kind = ConnectionStore::SaveFailure::Kind;
using SaveResult = ConnectionStore::SaveResult;

} // namespace

class tst_ConnectionStore : public QObject
{
    Q_OBJECT

private slots:
    void aReadOnlyStoreStillTakesChangesThatWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("issue");
        QTest::newRow("another version") << QByteArray(R"({"version": 2, "connections": {}})") << kUnsupported;
        QTest::newRow("undecodable") << QByteArray("[]") << kUnsupported;
        // A folder where the file should be cannot be read.
        QTest::newRow("unreadable") << QByteArray() << QStringLiteral(
            "Connection metadata exists but could not be read. It was preserved and connection changes are disabled.");
    }

    void aReadOnlyStoreStillTakesChangesThatWriteNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, issue);
        StoreFixture fixture;
        const QString path = fixture.folder() + QStringLiteral("/connections.json");
        if (bytes.isEmpty())
            QVERIFY(QDir().mkpath(path));
        else
            putFile(path, bytes);
        ConnectionStore store(fixture.folder(), fixture.environment());
        QVERIFY(!store.persistenceWritable());
        QCOMPARE(store.renameMeta(QStringLiteral("a"), QStringLiteral("b"), {}), SaveResult({Kind::readOnly, issue}));
        QCOMPARE(store.backfillAddedAt({QStringLiteral("a")}, {QStringLiteral("a")}),
                 SaveResult({Kind::readOnly, issue}));
        QCOMPARE(store.removeMeta(QStringLiteral("webflow-a")), SaveResult());
        QCOMPARE(store.prune({}), SaveResult());
        QCOMPARE(store.backfillAddedAt({QStringLiteral("a")}, {}), SaveResult());
        QCOMPARE(fixture.writer.writes, 0);
        QVERIFY(store.connections().isEmpty());
    }

    void fileFormat()
    {
        StoreFixture fixture;
        const QString folder = fixture.folder();
        ConnectionMeta full = meta(kAt, kAt.addSecs(-10),
                                   QList<SiteRef>{SiteRef{"Acme/Shop", "a", QStringLiteral("acme")}});
        full.source = QStringLiteral("model");
        {
            ConnectionStore store(folder, fixture.environment());
            QCOMPARE(store.save({{QStringLiteral("webflow-a"), full}}), SaveResult());
        }
        const QByteArray text = fileBytes(folder + QStringLiteral("/connections.json"));
        QVERIFY(text.contains(R"("Acme\/Shop")"));
        QVERIFY(!text.contains("Acme/Shop"));
        QVERIFY(text.contains("762514200.25"));
        QVERIFY(text.indexOf("\"addedAt\"") < text.indexOf("\"sites\""));
        QVERIFY(text.indexOf("\"connections\"") < text.indexOf("\"version\""));
        const QJsonObject entry = QJsonDocument::fromJson(text)
                                      .object()
                                      .value(QStringLiteral("connections"))
                                      .toObject()
                                      .value(QStringLiteral("webflow-a"))
                                      .toObject();
        QCOMPARE(entry.value(QStringLiteral("verifiedAt")).toDouble(), kSeconds);

        // Times survive a save and a load exactly.
        ConnectionStore reread(folder, fixture.environment());
        QCOMPARE(reread.connections().value(QStringLiteral("webflow-a")), full);
    }

    void timesAreKeptExactlyAsRead()
    {
        // Finer than a millisecond: a QDateTime would make the two times one, and cut the third.
        StoreFixture fixture;
        const QString path = fixture.folder() + QStringLiteral("/connections.json");
        putFile(path, R"({"version": 1, "connections": {
            "webflow-a": {"sites": [{"id": "s", "name": "S"}], "addedAt": 700000000.0004,
                          "verifiedAt": 700000000.0001},
            "webflow-b": {"addedAt": 790000000.1234567}}})");
        ConnectionStore store(fixture.folder(), fixture.environment());

        // Verified a tenth of a microsecond before it was added: the scope is stale.
        const std::optional<ConnectionMeta> a = store.meta(QStringLiteral("webflow-a"));
        QVERIFY(a);
        QVERIFY(!a->sites);
        QVERIFY(!a->verifiedAt);

        QCOMPARE(store.removeMeta(QStringLiteral("webflow-a")), SaveResult());
        const QByteArray text = fileBytes(path);
        QVERIFY2(text.contains("\"addedAt\": 790000000.1234567"), text.constData());
        ConnectionStore reread(fixture.folder(), fixture.environment());
        QCOMPARE(reread.connections().value(QStringLiteral("webflow-b")).addedAt->seconds(), 790000000.1234567);
    }

    void metaClearsAStaleScope_data()
    {
        QTest::addColumn<ConnectionMeta>("stored");
        QTest::addColumn<bool>("stale");

        QTest::newRow("verified a second before it was added")
            << meta(kAt.addSecs(-1), kAt) << true;
        QTest::newRow("verified, never added") << meta(kAt, std::nullopt) << true;
        QTest::newRow("equal times") << meta(kAt, kAt) << false;
        QTest::newRow("verified after it was added") << meta(kAt.addSecs(1), kAt) << false;
        QTest::newRow("sites without verification") << meta(std::nullopt, std::nullopt) << false;
    }

    void metaClearsAStaleScope()
    {
        QFETCH(ConnectionMeta, stored);
        QFETCH(bool, stale);
        StoreFixture fixture;
        ConnectionStore store(fixture.folder(), fixture.environment());
        QCOMPARE(store.save({{QStringLiteral("webflow-a"), stored}}), SaveResult());
        ConnectionMeta expected = stored;
        if (stale) {
            expected.sites.reset();
            expected.verifiedAt.reset();
        }
        QCOMPARE(store.meta(QStringLiteral("webflow-a")), std::optional(expected));
        QCOMPARE(store.connections().value(QStringLiteral("webflow-a")), stored);
        QVERIFY(!store.meta(QStringLiteral("webflow-b")));
    }

    void renameMeta_data()
    {
        QTest::addColumn<bool>("oldHasMeta");
        QTest::addColumn<bool>("newHasMeta");
        QTest::addColumn<QString>("expectedSource");

        QTest::newRow("old entry moves") << true << true << "old";
        QTest::newRow("new name keeps its own") << false << true << "new";
        QTest::newRow("fallback") << false << false << "fallback";
    }

    void renameMeta()
    {
        QFETCH(bool, oldHasMeta);
        QFETCH(bool, newHasMeta);
        QFETCH(QString, expectedSource);
        StoreFixture fixture;
        ConnectionStore store(fixture.folder(), fixture.environment());
        QMap<QString, ConnectionMeta> start;
        const auto withSource = [](const QString &source) {
            ConnectionMeta value;
            value.source = source;
            return value;
        };
        if (oldHasMeta)
            start.insert(QStringLiteral("webflow-old"), withSource(QStringLiteral("old")));
        if (newHasMeta)
            start.insert(QStringLiteral("webflow-new"), withSource(QStringLiteral("new")));
        QCOMPARE(store.save(start), SaveResult());

        QCOMPARE(store.renameMeta(QStringLiteral("webflow-old"), QStringLiteral("webflow-new"),
                                  withSource(QStringLiteral("fallback"))),
                 SaveResult());
        QCOMPARE(store.connections().keys(), QStringList{QStringLiteral("webflow-new")});
        QCOMPARE(store.connections().value(QStringLiteral("webflow-new")).source,
                 std::optional(expectedSource));
    }

    void renameToTheSameNameStillSaves()
    {
        StoreFixture fixture;
        ConnectionStore store(fixture.folder(), fixture.environment());
        QCOMPARE(store.renameMeta(QStringLiteral("a"), QStringLiteral("a"), {}), SaveResult());
        QCOMPARE(fixture.writer.writes, 1);
        QCOMPARE(store.connections().keys(), QStringList{QStringLiteral("a")});
    }

    void pruneAndRemoveMeta()
    {
        StoreFixture fixture;
        ConnectionStore store(fixture.folder(), fixture.environment());
        QCOMPARE(store.save({{QStringLiteral("a"), {}}, {QStringLiteral("b"), {}},
                             {QStringLiteral("c"), {}}}),
                 SaveResult());
        QCOMPARE(store.prune({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                              QStringLiteral("z")}),
                 SaveResult());
        QCOMPARE(fixture.writer.writes, 1); // nothing to drop, nothing written
        QCOMPARE(store.prune({QStringLiteral("a"), QStringLiteral("c")}), SaveResult());
        QCOMPARE(store.connections().keys(), (QStringList{"a", "c"}));
        QCOMPARE(fixture.writer.writes, 2);
        QCOMPARE(store.removeMeta(QStringLiteral("zzz")), SaveResult());
        QCOMPARE(fixture.writer.writes, 2);
        QCOMPARE(store.removeMeta(QStringLiteral("a")), SaveResult());
        QCOMPARE(store.connections().keys(), QStringList{QStringLiteral("c")});
        QCOMPARE(fixture.writer.writes, 3);
    }

    void backfillAddedAt()
    {
        StoreFixture fixture;
        ConnectionStore store(fixture.folder(), fixture.environment());
        QCOMPARE(store.save({{QStringLiteral("verified"), meta(kAt, std::nullopt)},
                             {QStringLiteral("bare"), {}},
                             {QStringLiteral("dated"), meta(std::nullopt, kAt)}}),
                 SaveResult());
        QCOMPARE(store.backfillAddedAt({QStringLiteral("verified"), QStringLiteral("bare"),
                                        QStringLiteral("dated"), QStringLiteral("examined only"),
                                        QStringLiteral("in both")},
                                       {QStringLiteral("in both"), QStringLiteral("created only")}),
                 SaveResult());
        const auto connections = store.connections();
        QCOMPARE(connections.keys(), (QStringList{"bare", "dated", "in both", "verified"}));
        QCOMPARE(connections.value(QStringLiteral("verified")).addedAt, instant(kAt));
        QCOMPARE(connections.value(QStringLiteral("bare")).addedAt, instant(fixture.clock.now()));
        QCOMPARE(connections.value(QStringLiteral("dated")).addedAt, instant(kAt));
        ConnectionMeta created;
        created.addedAt = Instant(fixture.clock.now());
        QCOMPARE(connections.value(QStringLiteral("in both")), created);
        QCOMPARE(fixture.writer.writes, 2);

        // Every examined entry has its time: nothing is written.
        QCOMPARE(store.backfillAddedAt({QStringLiteral("verified"), QStringLiteral("bare")}, {}),
                 SaveResult());
        QCOMPARE(fixture.writer.writes, 2);
    }
};

QTEST_GUILESS_MAIN(tst_ConnectionStore)
#include "tst_ConnectionStore.moc"
