// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ProjectStore.h"
#include "support/StoreTesting.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

namespace {

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

} // namespace

class tst_ProjectStore : public QObject
{
    Q_OBJECT

private slots:
    void bothLayoutsDecodeEveryField_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("current") << "{\"version\": 1, \"projects\": [" + kProjectB + ", " + kProjectA + "]}"
                                 << QStringList{"Beta", "Acme"};
        QTest::newRow("older layout, a bare array") << "[" + kProjectA + ", " + kProjectB + "]"
                                                    << QStringList{"Acme", "Beta"};
    }

    void bothLayoutsDecodeEveryField()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, titles);
        StoreFixture fixture;
        putFile(fixture.folder() + QStringLiteral("/projects.json"), bytes);
        ProjectStore store(fixture.folder(), fixture.environment());
        QCOMPARE(titlesOf(store.projects()), titles);
        const Project &beta = store.projects().at(titles.indexOf(QStringLiteral("Beta")));
        QCOMPARE(beta.id, QUuid(QStringLiteral("7c9e6679-7425-40de-944b-e07fc1f90ae7")));
        QCOMPARE(beta.createdAt, QDateTime(QDate(2025, 3, 2), QTime(9, 0), Qt::UTC));
        QVERIFY(!beta.siteId);
    }

    void fileFormat()
    {
        StoreFixture fixture;
        fixture.clock.set(QDateTime(QDate(2025, 3, 1), QTime(9, 30, 0, 750), Qt::UTC));
        const QString folder = fixture.folder();
        Project created;
        {
            ProjectStore store(folder, fixture.environment());
            created = std::get<Project>(store.createProject(QStringLiteral("  Acme Co \n")));
            QCOMPARE(store.setSiteId(created.id, QStringLiteral("site/1")),
                     ProjectStore::SaveResult());
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
        ProjectStore reread(folder, fixture.environment());
        QCOMPARE(reread.projects().first().createdAt,
                 QDateTime(QDate(2025, 3, 1), QTime(9, 30), Qt::UTC));
        QVERIFY(reread.projects().first() != created);
        created.createdAt = reread.projects().first().createdAt;
        QCOMPARE(reread.projects().first(), created);
    }

    void anEqualListStillWritesWithoutNotifying()
    {
        StoreFixture fixture;
        ProjectStore store(fixture.folder(), fixture.environment());
        QCOMPARE(store.saveProjects({project(QStringLiteral("A"))}), ProjectStore::SaveResult());
        QSignalSpy projectsSpy(&store, &ProjectStore::projectsChanged);
        QCOMPARE(store.saveProjects(store.projects()), ProjectStore::SaveResult());
        QCOMPARE(fixture.writer.writes, 2);
        QCOMPARE(projectsSpy.size(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_ProjectStore)
#include "tst_ProjectStore.moc"
