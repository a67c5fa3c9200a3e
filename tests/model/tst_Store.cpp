// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/Store.h"
#include "support/ManualClock.h"
#include "support/StoreTesting.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kArea = QStringLiteral("connection-store");

// 2025-03-01 09:30:00.250 UTC as seconds since 2001-01-01.
const double kSeconds = 762514200.25;
const QDateTime kAt = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC).addMSecs(762514200250);

ConnectionMeta meta(std::optional<QDateTime> verifiedAt, std::optional<QDateTime> addedAt,
                    std::optional<QList<SiteRef>> sites = QList<SiteRef>{SiteRef{"Acme", "a", {}}})
{
    ConnectionMeta value;
    value.sites = std::move(sites);
    value.verifiedAt = std::move(verifiedAt);
    value.addedAt = std::move(addedAt);
    return value;
}

const QString kUnsupported =
    QStringLiteral("Connection metadata used an unsupported format and was preserved.");
const QString kUnreadable = QStringLiteral("Connection metadata exists but could not be read. It "
                                           "was preserved and connection changes are disabled.");
const QString kSaveFailed =
    QStringLiteral("Connection changes could not be saved. Keep Quorvane open and fix Application "
                   "Support permissions or free disk space.");

using Kind = Store::SaveFailure::Kind;

} // namespace

class tst_Store : public QObject
{
    Q_OBJECT

private slots:
    void missingFileStartsEmptyAndWritable()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        Store store(home.appDataDir(), clock);
        QVERIFY(store.connections().isEmpty());
        QVERIFY(store.persistenceWritable());
        QVERIFY(store.persistenceIssue().isEmpty());
        QVERIFY(!QFile::exists(store.filePath()));
        QCOMPARE(store.filePath(), home.appDataDir() + QStringLiteral("/connections.json"));

        QCOMPARE(store.save({{QStringLiteral("webflow-a"), meta(kAt, kAt)}}), Store::SaveResult());
        const QJsonObject written = QJsonDocument::fromJson(fileBytes(store.filePath())).object();
        QCOMPARE(written.keys(), (QStringList{"connections", "version"}));
        QCOMPARE(written.value(QStringLiteral("version")), QJsonValue(1));
    }

    void loadsBothLayouts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("names");

        QTest::newRow("current") << QByteArray(R"({"version": 1, "other": 5, "connections": {
            "webflow-a": {"addedAt": 762514200.25, "source": "model"},
            "webflow-b": {"sites": [{"id": "s", "name": "S"}], "verifiedAt": null}}})")
                                 << QStringList{"webflow-a", "webflow-b"};
        QTest::newRow("older layout") << QByteArray(R"({"webflow-a": {"addedAt": 1.5}})")
                                      << QStringList{"webflow-a"};
        QTest::newRow("older layout, empty") << QByteArray("{}") << QStringList{};
        QTest::newRow("escaped slashes") << QByteArray(R"({"version": 1, "connections": {
            "webflow-a\/b": {"source": "a\/b"}}})")
                                         << QStringList{"webflow-a/b"};
    }

    void loadsBothLayouts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, names);
        TempHome home;
        ManualClock clock(distinctStart());
        putFile(home.appDataDir() + QStringLiteral("/connections.json"), bytes);
        Store store(home.appDataDir(), clock);
        QCOMPARE(store.connections().keys(), names);
        QVERIFY(store.persistenceWritable());
        QVERIFY(store.persistenceIssue().isEmpty());

        // The next save writes the versioned layout.
        QCOMPARE(store.save(store.connections()), Store::SaveResult());
        const QJsonObject written = QJsonDocument::fromJson(fileBytes(store.filePath())).object();
        QCOMPARE(written.value(QStringLiteral("version")), QJsonValue(1));
        QCOMPARE(written.value(QStringLiteral("connections")).toObject().keys(), names);
    }

    void unusableContentIsPreserved_data()
    {
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("version 2") << QByteArray(R"({"version": 2, "connections": {}})");
        QTest::newRow("version 2, decodable connections")
            << QByteArray(R"({"version": 2, "connections": {"webflow-a": {"source": "model"}}})");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("invalid JSON") << QByteArray("{\"version\": 1,");
        QTest::newRow("site without id") << QByteArray(
            R"({"version": 1, "connections": {"webflow-a": {"sites": [{"name": "A"}]}}})");
        QTest::newRow("time as text") << QByteArray(
            R"({"version": 1, "connections": {"webflow-a": {"addedAt": "2025-03-01T09:30:00Z"}}})");
        QTest::newRow("older layout, a value not an object")
            << QByteArray(R"({"webflow-a": 5})");
        QTest::newRow("array") << QByteArray("[]");
    }

    void unusableContentIsPreserved()
    {
        QFETCH(QByteArray, bytes);
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        const QString path = folder + QStringLiteral("/connections.json");
        putFile(path, bytes);
        const qsizetype logged = loggedCount();

        TestWriter writer;
        Store store(folder, clock, writer.writer());
        QVERIFY(store.connections().isEmpty());
        QVERIFY(!store.persistenceWritable());
        QCOMPARE(store.persistenceIssue(), kUnsupported);
        QCOMPARE(loggedSince(kArea, logged), QStringList()); // the copy was written: nothing to log
        const QString copy = folder + QStringLiteral("/connections-unreadable-")
            + QString::number(clock.now().toSecsSinceEpoch()) + QStringLiteral(".json");
        QCOMPARE(fileBytes(copy), bytes);
        QVERIFY(QFile::exists(copy));

        // Every later change is refused without touching memory or disk.
        const Store::SaveResult refused{{Kind::readOnly, kUnsupported}};
        QCOMPARE(store.save({{QStringLiteral("webflow-a"), {}}}), refused);
        QCOMPARE(store.renameMeta(QStringLiteral("a"), QStringLiteral("b"), {}), refused);
        QCOMPARE(store.backfillAddedAt({QStringLiteral("a")}, {QStringLiteral("a")}), refused);
        // Changes that would write nothing still succeed.
        QCOMPARE(store.setMeta(QStringLiteral("webflow-a")), Store::SaveResult());
        QCOMPARE(store.prune({}), Store::SaveResult());
        QCOMPARE(store.backfillAddedAt({QStringLiteral("a")}, {}), Store::SaveResult());
        QCOMPARE(writer.writes, 0);
        QVERIFY(store.connections().isEmpty());
        QCOMPARE(fileBytes(path), bytes);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    }

    void aFailedCopyIsLogged()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        putFile(folder + QStringLiteral("/connections.json"), "nonsense");
        QVERIFY(QDir().mkpath(folder + u'/'
                              + StoreFile::unreadableCopyName(QStringLiteral("connections"),
                                                              clock.now())));
        const qsizetype logged = loggedCount();
        Store store(folder, clock);
        QVERIFY(!store.persistenceWritable());
        QCOMPARE(store.persistenceIssue(), kUnsupported);
        const QStringList messages = loggedSince(kArea, logged);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().startsWith(QStringLiteral("backup failed: ")));
        QCOMPARE(fileBytes(folder + QStringLiteral("/connections.json")), QByteArray("nonsense"));
    }

    void aFileThatCannotBeReadIsLeftAlone()
    {
        // Root reads any file whatever its mode, so a folder stands in for the unreadable file.
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/connections.json")));
        const qsizetype logged = loggedCount();
        Store store(folder, clock);
        QVERIFY(store.connections().isEmpty());
        QVERIFY(!store.persistenceWritable());
        QCOMPARE(store.persistenceIssue(), kUnreadable);
        QCOMPARE(loggedSince(kArea, logged).size(), 1);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList()); // no copy
        QCOMPARE(store.save({}), Store::SaveResult({Kind::readOnly, kUnreadable}));
        QVERIFY(QFileInfo(store.filePath()).isDir());
    }

    void aFailedWriteKeepsMemoryAndDisablesChanges()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        TestWriter writer;
        Store store(home.appDataDir(), clock, writer.writer());
        QCOMPARE(store.save({{QStringLiteral("webflow-a"), meta(kAt, kAt)}}), Store::SaveResult());
        const auto before = store.connections();
        const QByteArray onDisk = fileBytes(store.filePath());
        const qsizetype logged = loggedCount();

        writer.failure = QStringLiteral("No space left on device");
        QSignalSpy connectionsSpy(&store, &Store::connectionsChanged);
        QCOMPARE(store.save({}), Store::SaveResult({Kind::writeFailed, kSaveFailed}));
        QCOMPARE(store.connections(), before);
        QCOMPARE(connectionsSpy.size(), 0);
        QVERIFY(!store.persistenceWritable());
        QCOMPARE(store.persistenceIssue(), kSaveFailed);
        QCOMPARE(loggedSince(kArea, logged), QStringList{QStringLiteral("No space left on device")});

        clock.advance(120'000); // past the log's repeat window: a second entry would show
        QCOMPARE(store.setMeta(QStringLiteral("webflow-a")),
                 Store::SaveResult({Kind::readOnly, kSaveFailed}));
        QCOMPARE(writer.writes, 2);
        QCOMPARE(loggedSince(kArea, logged).size(), 1);
        QCOMPARE(store.connections(), before);
        QCOMPARE(fileBytes(store.filePath()), onDisk);
    }

    void fileFormat()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        ConnectionMeta full = meta(kAt, kAt.addSecs(-10),
                                   QList<SiteRef>{SiteRef{"Acme/Shop", "a", QStringLiteral("acme")}});
        full.source = QStringLiteral("model");
        {
            Store store(folder, clock);
            QCOMPARE(store.save({{QStringLiteral("webflow-a"), full}}), Store::SaveResult());
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
        Store reread(folder, clock);
        QCOMPARE(reread.connections().value(QStringLiteral("webflow-a")), full);
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
        TempHome home;
        ManualClock clock(distinctStart());
        Store store(home.appDataDir(), clock);
        QCOMPARE(store.save({{QStringLiteral("webflow-a"), stored}}), Store::SaveResult());
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
        TempHome home;
        ManualClock clock(distinctStart());
        Store store(home.appDataDir(), clock);
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
        QCOMPARE(store.save(start), Store::SaveResult());

        QCOMPARE(store.renameMeta(QStringLiteral("webflow-old"), QStringLiteral("webflow-new"),
                                  withSource(QStringLiteral("fallback"))),
                 Store::SaveResult());
        QCOMPARE(store.connections().keys(), QStringList{QStringLiteral("webflow-new")});
        QCOMPARE(store.connections().value(QStringLiteral("webflow-new")).source,
                 std::optional(expectedSource));
    }

    void renameToTheSameNameStillSaves()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        TestWriter writer;
        Store store(home.appDataDir(), clock, writer.writer());
        QCOMPARE(store.renameMeta(QStringLiteral("a"), QStringLiteral("a"), {}), Store::SaveResult());
        QCOMPARE(writer.writes, 1);
        QCOMPARE(store.connections().keys(), QStringList{QStringLiteral("a")});
    }

    void pruneAndSetMeta()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        TestWriter writer;
        Store store(home.appDataDir(), clock, writer.writer());
        QCOMPARE(store.save({{QStringLiteral("a"), {}}, {QStringLiteral("b"), {}},
                             {QStringLiteral("c"), {}}}),
                 Store::SaveResult());
        QCOMPARE(store.prune({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                              QStringLiteral("z")}),
                 Store::SaveResult());
        QCOMPARE(writer.writes, 1); // nothing to drop, nothing written
        QCOMPARE(store.prune({QStringLiteral("a"), QStringLiteral("c")}), Store::SaveResult());
        QCOMPARE(store.connections().keys(), (QStringList{"a", "c"}));
        QCOMPARE(writer.writes, 2);
        QCOMPARE(store.setMeta(QStringLiteral("zzz")), Store::SaveResult());
        QCOMPARE(writer.writes, 2);
        QCOMPARE(store.setMeta(QStringLiteral("a")), Store::SaveResult());
        QCOMPARE(store.connections().keys(), QStringList{QStringLiteral("c")});
        QCOMPARE(writer.writes, 3);
    }

    void backfillAddedAt()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        TestWriter writer;
        Store store(home.appDataDir(), clock, writer.writer());
        QCOMPARE(store.save({{QStringLiteral("verified"), meta(kAt, std::nullopt)},
                             {QStringLiteral("bare"), {}},
                             {QStringLiteral("dated"), meta(std::nullopt, kAt)}}),
                 Store::SaveResult());
        QCOMPARE(store.backfillAddedAt({QStringLiteral("verified"), QStringLiteral("bare"),
                                        QStringLiteral("dated"), QStringLiteral("examined only"),
                                        QStringLiteral("in both")},
                                       {QStringLiteral("in both"), QStringLiteral("created only")}),
                 Store::SaveResult());
        const auto connections = store.connections();
        QCOMPARE(connections.keys(), (QStringList{"bare", "dated", "in both", "verified"}));
        QCOMPARE(connections.value(QStringLiteral("verified")).addedAt, std::optional(kAt));
        QCOMPARE(connections.value(QStringLiteral("bare")).addedAt, std::optional(clock.now()));
        QCOMPARE(connections.value(QStringLiteral("dated")).addedAt, std::optional(kAt));
        ConnectionMeta created;
        created.addedAt = clock.now();
        QCOMPARE(connections.value(QStringLiteral("in both")), created);
        QCOMPARE(writer.writes, 2);

        // Every examined entry has its time: nothing is written.
        QCOMPARE(store.backfillAddedAt({QStringLiteral("verified"), QStringLiteral("bare")}, {}),
                 Store::SaveResult());
        QCOMPARE(writer.writes, 2);
    }
};

QTEST_GUILESS_MAIN(tst_Store)
#include "tst_Store.moc"
