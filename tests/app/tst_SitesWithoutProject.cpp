// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ModelHarness.h"
#include "publishing/PublishingTesting.h"

#include <QJsonArray>

namespace {

QJsonObject grant(const QString &site, const QJsonValue &name = {})
{
    QJsonObject row{{QStringLiteral("site_id"), site},
                    {QStringLiteral("created_at"), QStringLiteral("2026-03-08T09:30:00Z")},
                    {QStringLiteral("connection_status"), QStringLiteral("active")}};
    if (!name.isUndefined())
        row.insert(QStringLiteral("site_name"), name);
    return row;
}

QJsonObject siteRecord(const QString &id, const QString &name, const QStringList &connections,
                       const std::optional<QString> &customName = std::nullopt)
{
    QJsonObject record{{QStringLiteral("id"), id},
                       {QStringLiteral("name"), name},
                       {QStringLiteral("connections"), QJsonArray::fromStringList(connections)}};
    if (customName)
        record.insert(QStringLiteral("customName"), *customName);
    return record;
}

} // namespace

// The sites that hold publishing access while no project card points at them, named and ordered
// as the Connections tab lists them.
class tst_SitesWithoutProject : public QObject
{
    Q_OBJECT

private slots:
    void unclaimedSitesInNameOrder()
    {
        ModelHarness harness([](const TempHome &home) {
            const QJsonArray sites{siteRecord(QStringLiteral("site-b"), QStringLiteral("beta"), {}, QStringLiteral("Alpha")),
                                   siteRecord(QStringLiteral("site-c"), QStringLiteral("Claimed"), {}),
                                   siteRecord(QStringLiteral("site-d"), QStringLiteral("Listed"),
                                              {QStringLiteral("webflow-listing")})};
            putFile(home.appDataDir() + QStringLiteral("/sites.json"), QJsonDocument(sites).toJson());
        });
        AppModel &model = *harness.model;
        ProjectStore &projects = model.projectStore();
        const auto bound = [&projects](const QString &title, const std::optional<QString> &site) {
            const auto created = projects.createProject(title);
            QVERIFY(std::holds_alternative<Project>(created));
            if (site)
                QVERIFY(!projects.setSiteId(std::get<Project>(created).id, site));
        };
        bound(QStringLiteral("Bound"), QStringLiteral("site-c"));
        bound(QStringLiteral("Listing"), std::nullopt);
        // Bound to a site the directory does not hold: that claims nothing.
        bound(QStringLiteral("Dangling"), QStringLiteral("site-f"));
        QCOMPARE(model.knownSiteIDs(), QStringList{});

        FakeBackend backend;
        MemorySessionStorage storage;
        const QJsonArray grants{grant(QStringLiteral("site-a"), QStringLiteral("Zeta")), grant(QStringLiteral("site-b"), QStringLiteral("Ignored")),
                                grant(QStringLiteral("site-c")), grant(QStringLiteral("site-d")),
                                grant(QStringLiteral("site-e")), grant(QStringLiteral("site-f"), QStringLiteral("Foxtrot"))};
        backend.setUserTable(QStringLiteral("site_publish_grants"), [&grants](const QUuid &) { return grants; });
        backend.setUserTable(QStringLiteral("oauth_states"), [](const QUuid &) { return QJsonArray(); });
        const std::unique_ptr<BackendClient> client = signedInClient(backend, storage, harness.clock, userA);
        model.publishAccess().setClient(client.get());
        model.publishAccess().bindAccount(userA, 1);
        QVERIFY(QCoro::waitFor(model.publishAccess().refresh()));

        // By the shown name, ignoring case: the custom name over Webflow's, then the backend's
        // name, then the id.
        QCOMPARE(model.knownSiteIDs(), (QStringList{QStringLiteral("site-b"), QStringLiteral("site-f"),
                                                    QStringLiteral("site-e"), QStringLiteral("site-a")}));
        QCOMPARE(model.siteDisplayName(QStringLiteral("site-b")), QStringLiteral("Alpha"));
        QCOMPARE(model.siteDisplayName(QStringLiteral("site-a")), QStringLiteral("Zeta"));
        QCOMPARE(model.siteDisplayName(QStringLiteral("site-e")), QStringLiteral("site-e"));
        QCOMPARE(model.siteDisplayName(QStringLiteral("site-d")), QStringLiteral("Listed"));
        model.publishAccess().setClient(nullptr);
    }
};

QTEST_MAIN(tst_SitesWithoutProject)
#include "tst_SitesWithoutProject.moc"
