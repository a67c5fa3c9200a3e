// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ProjectStore.h"
#include "support/ManualClock.h"
#include "support/StoreTesting.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kArea = QStringLiteral("project-store");
const QString kUnreadable = QStringLiteral("Projects exist but could not be read. The original "
                                           "path was preserved and changes are disabled.");
const QString kUnsupported = QStringLiteral("Projects were saved by an unsupported Quorvane "
                                            "version. The original file was preserved and changes "
                                            "are disabled.");
const QString kUndecodable = QStringLiteral(
    "Projects could not be read. The original file was preserved and changes are disabled.");
const QString kSaveFailed = QStringLiteral("Project changes could not be saved. Keep Quorvane open "
                                           "and free disk space or fix Application Support "
                                           "permissions.");

const QByteArray kProjectA = R"({"id": "0f8fad5b-d9cb-469f-a165-70867728950e", "title": "Acme",
    "mcpName": "webflow-acme", "createdAt": "2025-03-01T09:30:00Z"})";
const QByteArray kProjectB = R"({"id": "7C9E6679-7425-40DE-944B-E07FC1F90AE7", "title": "Beta",
    "mcpName": "webflow-beta", "createdAt": "2025-03-02T10:00:00+01:00", "siteID": null})";

QStringList titlesOf(const QList<Project> &projects)
{
    QStringList titles;
    for (const Project &project : projects)
        titles.append(project.title);
    return titles;
}

Project project(const QString &title)
{
    Project value;
    value.id = QUuid::createUuid();
    value.title = title;
    value.mcpName = QStringLiteral("webflow-") + title.toLower();
    value.createdAt = QDateTime(QDate(2025, 3, 1), QTime(9, 30), Qt::UTC);
    return value;
}

using Kind = ProjectStore::MutationFailure::Kind;

} // namespace

class tst_ProjectStore : public QObject
{
    Q_OBJECT

private slots:
    void missingFileStartsEmptyAndWritable()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        ProjectStore store(home.appDataDir(), clock);
        QVERIFY(store.projects().isEmpty());
        QVERIFY(store.persistenceWritable());
        QVERIFY(store.persistenceIssue().isEmpty());
        QCOMPARE(store.filePath(), home.appDataDir() + QStringLiteral("/projects.json"));
        QVERIFY(!QFile::exists(store.filePath()));

        QVERIFY(std::holds_alternative<Project>(store.createProject(QStringLiteral("Acme"))));
        const QJsonObject written = QJsonDocument::fromJson(fileBytes(store.filePath())).object();
        QCOMPARE(written.keys(), (QStringList{"projects", "version"}));
        QCOMPARE(written.value(QStringLiteral("version")), QJsonValue(1));
        QCOMPARE(written.value(QStringLiteral("projects")).toArray().size(), 1);
    }

    void loadsBothLayouts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("titles");

        QTest::newRow("current") << "{\"version\": 1, \"projects\": [" + kProjectB + ", "
                + kProjectA + "]}"
                                 << QStringList{"Beta", "Acme"};
        QTest::newRow("older layout, a bare array") << "[" + kProjectA + ", " + kProjectB + "]"
                                                    << QStringList{"Acme", "Beta"};
    }

    void loadsBothLayouts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, titles);
        TempHome home;
        ManualClock clock(distinctStart());
        putFile(home.appDataDir() + QStringLiteral("/projects.json"), bytes);
        ProjectStore store(home.appDataDir(), clock);
        QCOMPARE(titlesOf(store.projects()), titles);
        QVERIFY(store.persistenceWritable());
        const Project &beta = store.projects().at(titles.indexOf(QStringLiteral("Beta")));
        QCOMPARE(beta.id, QUuid(QStringLiteral("7c9e6679-7425-40de-944b-e07fc1f90ae7")));
        QCOMPARE(beta.createdAt, QDateTime(QDate(2025, 3, 2), QTime(9, 0), Qt::UTC));
        QVERIFY(!beta.siteID);

        // The next save writes the current layout.
        QCOMPARE(store.saveProjects(store.projects()), ProjectStore::MutationResult());
        const QJsonObject written = QJsonDocument::fromJson(fileBytes(store.filePath())).object();
        QCOMPARE(written.value(QStringLiteral("version")), QJsonValue(1));
        QCOMPARE(written.value(QStringLiteral("projects")).toArray().size(), titles.size());
    }

    void unusableContentIsPreserved_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("issue");

        QTest::newRow("version 2") << QByteArray(R"({"version": 2, "projects": []})")
                                   << kUnsupported;
        QTest::newRow("version 2 with a project that does not decode")
            << QByteArray(R"({"version": 2, "projects": [{}]})") << kUndecodable;
        QTest::newRow("empty file") << QByteArray() << kUndecodable;
        QTest::newRow("no version") << QByteArray(R"({"projects": []})") << kUndecodable;
        QTest::newRow("date with a fraction")
            << QByteArray(R"([{"id": "0f8fad5b-d9cb-469f-a165-70867728950e", "title": "A",
                "mcpName": "webflow-a", "createdAt": "2025-03-01T09:30:00.5Z"}])")
            << kUndecodable;
        QTest::newRow("one bad project among good ones")
            << "[" + kProjectA + R"(, {"id": "x", "title": "B", "mcpName": "webflow-b",
                "createdAt": "2025-03-01T09:30:00Z"}])"
            << kUndecodable;
        QTest::newRow("truncated") << QByteArray(R"({"version": 1, "projects": [)")
                                   << kUndecodable;
    }

    void unusableContentIsPreserved()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, issue);
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        const QString path = folder + QStringLiteral("/projects.json");
        putFile(path, bytes);
        const qsizetype logged = loggedCount();

        TestWriter writer;
        ProjectStore store(folder, clock, writer.writer());
        QVERIFY(store.projects().isEmpty());
        QVERIFY(!store.persistenceWritable());
        QCOMPARE(store.persistenceIssue(), issue);
        const QString copyName = StoreFile::unreadableCopyName(QStringLiteral("projects"), clock.now());
        QCOMPARE(fileBytes(folder + u'/' + copyName), bytes);
        QVERIFY(QFile::exists(folder + u'/' + copyName));
        QCOMPARE(loggedSince(kArea, logged),
                 QStringList{QStringLiteral("projects.json could not be decoded; preserved %1 bytes "
                                            "at %2 instead of overwriting it.")
                                 .arg(bytes.size())
                                 .arg(copyName)});

        // Every later change is refused with the sentence of the cause, memory and disk untouched.
        const ProjectStore::MutationResult refused{{Kind::readOnly, issue}};
        QCOMPARE(store.saveProjects({project(QStringLiteral("A"))}), refused);
        const auto created = store.createProject(QStringLiteral("Acme"));
        QVERIFY(std::holds_alternative<ProjectStore::MutationFailure>(created));
        QCOMPARE(std::get<ProjectStore::MutationFailure>(created), *refused);
        QCOMPARE(writer.writes, 0);
        QVERIFY(store.projects().isEmpty());
        QCOMPARE(store.persistenceIssue(), issue);
        QCOMPARE(fileBytes(path), bytes);
    }

    void aFailedCopyIsLoggedAsSuch()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        putFile(folder + QStringLiteral("/projects.json"), R"({"version": 2, "projects": []})");
        const QString copy =
            folder + u'/' + StoreFile::unreadableCopyName(QStringLiteral("projects"), clock.now());
        QVERIFY(QDir().mkpath(copy)); // a folder where the copy would go
        const qsizetype logged = loggedCount();

        ProjectStore store(folder, clock);
        QVERIFY(!store.persistenceWritable());
        QCOMPARE(store.persistenceIssue(), kUnsupported);
        // Only the failure, never a claim that a copy was preserved.
        const QStringList messages = loggedSince(kArea, logged);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().startsWith(QStringLiteral("backup failed: ")));
        QVERIFY(messages.first().size() > QStringLiteral("backup failed: ").size());
        QVERIFY(QFileInfo(copy).isDir());
    }

    void aFileThatCannotBeReadIsLeftAlone()
    {
        // Root reads any file whatever its mode, so a folder stands in for the unreadable file.
        TempHome home;
        ManualClock clock(distinctStart());
        const QString folder = home.appDataDir();
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/projects.json")));
        const qsizetype logged = loggedCount();
        ProjectStore store(folder, clock);
        QVERIFY(store.projects().isEmpty());
        QVERIFY(!store.persistenceWritable());
        QCOMPARE(store.persistenceIssue(), kUnreadable);
        QCOMPARE(loggedSince(kArea, logged).size(), 1);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList()); // no copy
        QCOMPARE(store.saveProjects({}), ProjectStore::MutationResult({Kind::readOnly, kUnreadable}));
        QVERIFY(QFileInfo(store.filePath()).isDir());
    }

    void aFailedWriteKeepsMemoryAndDisablesChanges()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        TestWriter writer;
        ProjectStore store(home.appDataDir(), clock, writer.writer());
        QVERIFY(std::holds_alternative<Project>(store.createProject(QStringLiteral("Acme"))));
        const QList<Project> before = store.projects();
        const QByteArray onDisk = fileBytes(store.filePath());
        const qsizetype logged = loggedCount();

        writer.failure = QStringLiteral("No space left on device");
        QSignalSpy projectsSpy(&store, &ProjectStore::projectsChanged);
        const auto failed = store.createProject(QStringLiteral("Beta"));
        QCOMPARE(std::get<ProjectStore::MutationFailure>(failed),
                 (ProjectStore::MutationFailure{Kind::writeFailed, kSaveFailed}));
        QCOMPARE(store.projects(), before);
        QCOMPARE(projectsSpy.size(), 0);
        QVERIFY(!store.persistenceWritable());
        QCOMPARE(store.persistenceIssue(), kSaveFailed);
        QCOMPARE(loggedSince(kArea, logged), QStringList{QStringLiteral("No space left on device")});

        clock.advance(120'000); // past the log's repeat window: a second entry would show
        QCOMPARE(store.setTitle(before.first().id, QStringLiteral("Renamed")),
                 ProjectStore::MutationResult({Kind::readOnly, kSaveFailed}));
        QCOMPARE(writer.writes, 2);
        QCOMPARE(loggedSince(kArea, logged).size(), 1);
        QCOMPARE(store.projects(), before);
        QCOMPARE(fileBytes(store.filePath()), onDisk);
    }

    void fileFormat()
    {
        TempHome home;
        ManualClock clock(QDateTime(QDate(2025, 3, 1), QTime(9, 30, 0, 750), Qt::UTC));
        const QString folder = home.appDataDir();
        Project created;
        {
            ProjectStore store(folder, clock);
            created = std::get<Project>(store.createProject(QStringLiteral("  Acme Co \n")));
            QCOMPARE(store.setSiteID(created.id, QStringLiteral("site/1")),
                     ProjectStore::MutationResult());
            created = store.projects().first();
        }
        const QByteArray text = fileBytes(folder + QStringLiteral("/projects.json"));
        QVERIFY(text.indexOf("\"projects\"") < text.indexOf("\"version\""));
        QVERIFY(text.indexOf("\"createdAt\"") < text.indexOf("\"id\""));
        QVERIFY(text.indexOf("\"mcpName\"") < text.indexOf("\"siteID\""));
        QVERIFY(text.indexOf("\"siteID\"") < text.indexOf("\"title\""));
        const QJsonObject written = QJsonDocument::fromJson(text)
                                        .object()
                                        .value(QStringLiteral("projects"))
                                        .toArray()
                                        .first()
                                        .toObject();
        QCOMPARE(written.keys(), (QStringList{"createdAt", "id", "mcpName", "siteID", "title"}));
        QCOMPARE(written.value(QStringLiteral("createdAt")),
                 QJsonValue(QStringLiteral("2025-03-01T09:30:00Z")));
        const QString id = written.value(QStringLiteral("id")).toString();
        QCOMPARE(id.size(), 36);
        QCOMPARE(id, id.toUpper());
        QCOMPARE(written.value(QStringLiteral("title")), QJsonValue(QStringLiteral("Acme Co")));

        // After a relaunch the date is cut to the second, and no longer equal to what was held.
        ProjectStore reread(folder, clock);
        QCOMPARE(reread.projects().first().createdAt,
                 QDateTime(QDate(2025, 3, 1), QTime(9, 30), Qt::UTC));
        QVERIFY(reread.projects().first() != created);
        created.createdAt = reread.projects().first().createdAt;
        QCOMPARE(reread.projects().first(), created);
    }

    void anEqualListStillWritesWithoutNotifying()
    {
        TempHome home;
        ManualClock clock(distinctStart());
        TestWriter writer;
        ProjectStore store(home.appDataDir(), clock, writer.writer());
        QCOMPARE(store.saveProjects({project(QStringLiteral("A"))}), ProjectStore::MutationResult());
        QSignalSpy projectsSpy(&store, &ProjectStore::projectsChanged);
        QCOMPARE(store.saveProjects(store.projects()), ProjectStore::MutationResult());
        QCOMPARE(writer.writes, 2);
        QCOMPARE(projectsSpy.size(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_ProjectStore)
#include "tst_ProjectStore.moc"
