// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ScheduleSamples.h"
#include "scheduling/ProjectCancellationBarrierRegistry.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ScheduleSamples;

namespace {

const QUuid user = QUuid::fromString(u"6f9619ff-8b86-d011-b42d-00c04fc964ff"_s);

ProjectCancellationLease lease(const std::optional<QString> &siteID, const QString &connection,
                               const CloudAuthSnapshot &identity = {user, 3})
{
    return {QUuid::createUuid(), std::nullopt, ProjectCancellationKey::forProject(siteID, connection), identity};
}

} // namespace

class tst_ProjectCancellationBarrierRegistry : public QObject
{
    Q_OBJECT

private slots:
    void blocks_data()
    {
        QTest::addColumn<std::optional<QString>>("leaseSite");
        QTest::addColumn<QString>("leaseConnection");
        QTest::addColumn<std::optional<CloudAuthSnapshot>>("identity");
        QTest::addColumn<ScheduledPublish>("draft");
        QTest::addColumn<bool>("blocked");

        const std::optional<CloudAuthSnapshot> same = CloudAuthSnapshot{user, 3};
        const ScheduledPublish draft = schedule(u"site-a"_s, at(10), QUuid::createUuid(), u"webflow-acme"_s);
        const ScheduledPublish otherProject = schedule(u"site-b"_s, at(10), QUuid::createUuid(), u"webflow-b"_s);

        QTest::newRow("same site, same identity") << std::optional<QString>(u"site-a"_s) << u"x"_s << same << draft << true;
        QTest::newRow("site lease, another connection")
            << std::optional<QString>(u"site-a"_s) << u"webflow-other"_s << same << draft << true;
        QTest::newRow("connection lease blocks any site of it")
            << std::optional<QString>() << u"webflow-acme"_s << same << draft << true;
        QTest::newRow("empty site is a connection lease")
            << std::optional<QString>(u""_s) << u"webflow-acme"_s << same << draft << true;
        QTest::newRow("other project") << std::optional<QString>(u"site-a"_s) << u"webflow-acme"_s << same
                                       << otherProject << false;
        QTest::newRow("next generation") << std::optional<QString>(u"site-a"_s) << u"x"_s
                                         << std::optional<CloudAuthSnapshot>(CloudAuthSnapshot{user, 4}) << draft
                                         << false;
        QTest::newRow("other user") << std::optional<QString>(u"site-a"_s) << u"x"_s
                                    << std::optional<CloudAuthSnapshot>(CloudAuthSnapshot{QUuid::createUuid(), 3})
                                    << draft << false;
        QTest::newRow("no identity") << std::optional<QString>(u"site-a"_s) << u"x"_s
                                     << std::optional<CloudAuthSnapshot>() << draft << false;
    }

    void blocks()
    {
        QFETCH(std::optional<QString>, leaseSite);
        QFETCH(QString, leaseConnection);
        QFETCH(std::optional<CloudAuthSnapshot>, identity);
        QFETCH(ScheduledPublish, draft);
        QFETCH(bool, blocked);
        ProjectCancellationBarrierRegistry registry;
        registry.add(lease(leaseSite, leaseConnection));
        QCOMPARE(registry.blocks(draft, identity), blocked);
    }

    void onlyTheCurrentValueOfALeaseRemovesIt()
    {
        ProjectCancellationBarrierRegistry registry;
        const ProjectCancellationLease taken = lease(u"site-a"_s, u"webflow-acme"_s);
        registry.add(taken);
        const QUuid serverID = QUuid::createUuid();
        const auto granted = registry.attachServerID(serverID, taken);
        QVERIFY(granted);
        QCOMPARE(granted->serverID, serverID);
        QCOMPARE(granted->id, taken.id);

        const ProjectCancellationBarrierRegistry before = registry;
        registry.remove(taken); // the copy from before the server id: stale
        QCOMPARE(registry, before);
        QVERIFY(!registry.attachServerID(QUuid::createUuid(), taken));
        QCOMPARE(registry, before);

        registry.remove(*granted);
        QVERIFY(registry.leases.isEmpty());
        QVERIFY(!registry.attachServerID(serverID, *granted)); // not re-added once removed
        QVERIFY(registry.leases.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ProjectCancellationBarrierRegistry)
#include "tst_ProjectCancellationBarrierRegistry.moc"
