// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ScheduleHarness.h"

#include "foundation/UuidText.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;
using namespace ScheduleSamples;

using Outcome = ScheduleOperationOutcome;
using Kind = ScheduleOperationKind;

namespace {

ScheduleOperationStatus status(const QUuid &id, const Outcome &outcome)
{
    return {id, Kind::cancelRow(QUuid::createUuid(), std::nullopt), outcome};
}

std::optional<ScheduleOperationStatus> entry(const ScheduleStore &store, const QUuid &id)
{
    const auto found = store.operationStatuses().constFind(id);
    if (found == store.operationStatuses().cend())
        return std::nullopt;
    return *found;
}

// Assigns the first value, then the second, and answers whether the second assignment notified.
using Step = std::function<bool(ScheduleStore &)>;

template<typename T>
Step assigning(void (ScheduleStore::*setter)(const T &), void (ScheduleStore::*changed)(), T first, T second)
{
    return [=](ScheduleStore &store) {
        (store.*setter)(first);
        QSignalSpy spy(&store, changed);
        (store.*setter)(second);
        return spy.count() == 1;
    };
}

} // namespace

Q_DECLARE_METATYPE(Step)

class tst_ScheduleStoreState : public QObject
{
    Q_OBJECT

private slots:
    void settersNotifyOnlyOnChange_data()
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<bool>("notified");

        const ScheduledPublish a = schedule(u"a"_s, at(9));
        const ScheduledPublish b = schedule(u"b"_s, at(10));
        using S = ScheduleStore;
        QTest::newRow("equal schedules") << assigning(&S::setSchedules, &S::schedulesChanged, QList{a, b}, QList{a, b})
                                         << false;
        QTest::newRow("reordered schedules")
            << assigning(&S::setSchedules, &S::schedulesChanged, QList{a, b}, QList{b, a}) << true;
        QTest::newRow("failed A to failed A")
            << assigning(&S::setHistoryLoadState, &S::historyLoadStateChanged, S::HistoryLoadState::failed(u"A"_s),
                         S::HistoryLoadState::failed(u"A"_s))
            << false;
        QTest::newRow("failed A to failed B")
            << assigning(&S::setHistoryLoadState, &S::historyLoadStateChanged, S::HistoryLoadState::failed(u"A"_s),
                         S::HistoryLoadState::failed(u"B"_s))
            << true;
        QTest::newRow("absent to empty sync error")
            << assigning(&S::setSyncError, &S::syncErrorChanged, std::optional<QString>(), std::optional<QString>(u""_s))
            << true;
        QTest::newRow("same persistence issue")
            << assigning(&S::setPersistenceIssue, &S::persistenceIssueChanged, std::optional<QString>(u"x"_s),
                         std::optional<QString>(u"x"_s))
            << false;
        const PublishAttention item{QUuid::createUuid(), u"failed"_s, u"m"_s, at(8)};
        QTest::newRow("same inbox") << assigning(&S::setOutcomeInbox, &S::outcomeInboxChanged, QList{item}, QList{item})
                                    << false;
        QTest::newRow("attention emptied") << assigning(&S::setAttention, &S::attentionChanged, QList{item},
                                                        QList<PublishAttention>())
                                           << true;
        const QUuid id = QUuid::createUuid();
        QTest::newRow("same unconfirmed set")
            << assigning(&S::setCancellationUnconfirmed, &S::cancellationUnconfirmedChanged, QSet{id}, QSet{id})
            << false;
        QTest::newRow("same cloud state") << Step([](ScheduleStore &store) {
            store.setCloudState(ScheduleStore::CloudState::Cloud);
            QSignalSpy spy(&store, &ScheduleStore::cloudStateChanged);
            store.setCloudState(ScheduleStore::CloudState::Cloud);
            return spy.count() == 1;
        }) << false;
    }

    void settersNotifyOnlyOnChange()
    {
        QFETCH(Step, step);
        QFETCH(bool, notified);
        ScheduleHarness harness;
        ScheduleStore &store = harness.makeStore();
        QCOMPARE(step(store), notified);
    }

    void latestOperationFilesEveryStatus()
    {
        ScheduleHarness harness;
        ScheduleStore &store = harness.makeStore();
        QSignalSpy latest(&store, &ScheduleStore::latestOperationChanged);
        QSignalSpy table(&store, &ScheduleStore::operationStatusesChanged);

        const ScheduleOperationStatus a = status(QUuid::createUuid(), Outcome::pending());
        const ScheduleOperationStatus b = status(QUuid::createUuid(), Outcome::pending());
        store.setLatestOperation(a);
        store.setLatestOperation(b);
        QCOMPARE(store.latestOperation(), b);
        QCOMPARE(store.operationStatuses().size(), 2);

        // The same status again: latestOperation is quiet, the table still announces.
        latest.clear();
        table.clear();
        store.setLatestOperation(b);
        QCOMPARE(latest.count(), 0);
        QCOMPARE(table.count(), 1);

        ScheduleOperationStatus aAccepted = a;
        aAccepted.outcome = Outcome::accepted();
        store.setLatestOperation(aAccepted);
        QCOMPARE(store.latestOperation(), aAccepted);
        QCOMPARE(entry(store, a.id), aAccepted);
        QCOMPARE(entry(store, b.id), b);

        table.clear();
        store.setLatestOperation(std::nullopt);
        QCOMPARE(table.count(), 0);
        QCOMPARE(store.operationStatuses().size(), 2);
    }

    void operationPropertiesFollowTheStatuses()
    {
        ScheduleHarness harness;
        ScheduleStore &store = harness.makeStore();
        QVERIFY(store.property("latestOperation").toMap().isEmpty());
        QVERIFY(store.property("operationStatuses").toMap().isEmpty());
        QSignalSpy latest(&store, SIGNAL(latestOperationChanged()));
        QSignalSpy table(&store, SIGNAL(operationStatusesChanged()));

        const ScheduleOperationStatus pending = status(QUuid::createUuid(), Outcome::pending());
        store.setLatestOperation(pending);
        ScheduleOperationStatus refused = pending;
        refused.outcome = Outcome::refused(u"Kept."_s);
        store.setLatestOperation(refused);
        QCOMPARE(latest.count(), 2);
        QVERIFY(table.count() >= 2);

        const QVariantMap expected{
            {u"id"_s, UuidText::format(pending.id)},
            {u"kind"_s, u"cancelRow"_s},
            {u"outcome"_s, u"refused"_s},
            {u"message"_s, u"Kept."_s},
        };
        const QVariantMap read = store.property("latestOperation").toMap();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(read.value(it.key()), it.value());
        const QVariantMap statuses = store.property("operationStatuses").toMap();
        QCOMPARE(statuses.keys(), QStringList{UuidText::format(pending.id)});
        QCOMPARE(statuses.value(UuidText::format(pending.id)).toMap(), read);
    }

    void publishSettlements()
    {
        ScheduleHarness harness;
        ScheduleStore &store = harness.makeStore();
        const ScheduleOperationStatus fallback = status(QUuid::createUuid(), Outcome::ambiguous());
        const ScheduleOperationStatus first = status(QUuid::createUuid(), Outcome::accepted());
        const ScheduleOperationStatus second = status(QUuid::createUuid(), Outcome::refused(u"No."_s));

        // Nothing settled and no fallback: the latest stays as it was.
        store.publishSettlements();
        QVERIFY(!store.latestOperation());

        store.publishSettlements(fallback);
        QCOMPARE(store.latestOperation(), fallback);

        store.coordinator().settlements = {first, second};
        QSignalSpy table(&store, &ScheduleStore::operationStatusesChanged);
        store.publishSettlements(fallback);
        QVERIFY(store.coordinator().settlements.isEmpty());
        QCOMPARE(store.latestOperation(), second);
        QCOMPARE(entry(store, first.id), first);
        QCOMPARE(entry(store, second.id), second);
        QCOMPARE(store.operationStatuses().size(), 3);
        QVERIFY(table.count() >= 2);
    }

    void displayTexts_data()
    {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("label");
        QTest::newRow("named zone") << u"Europe/Berlin"_s << u"Mar 8 · 10:30 AM"_s << u"Europe/Berlin (CET)"_s;
        // An identifier that names no zone is shown as stored, with the system zone's time.
        QTest::newRow("unknown zone") << u"Mars/Olympus"_s << u"Mar 8 · 9:30 AM"_s << u"Mars/Olympus (UTC)"_s;
    }

    void displayTexts()
    {
        QFETCH(QString, zone);
        QFETCH(QString, time);
        QFETCH(QString, label);
        if (QTimeZone::systemTimeZone().abbreviation(at(9, 30)) != u"UTC")
            QSKIP("the unknown-zone row expects the system zone to be UTC");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ScheduledPublish publish = schedule(u"site-1"_s, at(9, 30));
        publish.timeZoneID = zone;
        QCOMPARE(ScheduleStore::scheduleTimeText(publish), time);
        QCOMPARE(ScheduleStore::recordTimeText({{}, {}, at(9, 30), zone, {}, {}, {}, {}}), time);
        QCOMPARE(ScheduleStore::timeZoneLabel(publish), label);
    }

    void seenStamp()
    {
        const ScheduleStore::SeenStamp stamp{at(9, 31).addMSecs(7)};
        QCOMPARE(stamp.toJson(), (QJsonObject{{u"seen_at"_s, u"2026-03-08T09:31:00.007Z"_s}}));
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleStoreState)
#include "tst_ScheduleStoreState.moc"
