// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ScheduleSamples.h"
#include "scheduling/ScheduleIntentCoordinator.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ScheduleSamples;

using Outcome = ScheduleOperationOutcome;
using Kind = ScheduleOperationKind;
using Phase = PendingScheduleIntent::Phase;

namespace {

const QString stillScheduled = u"The cloud confirmed that the publish is still scheduled."_s;
const QString matchingScheduled = u"The cloud confirmed that a matching publish is still scheduled."_s;

QUuid appendCancel(ScheduleIntentCoordinator &coordinator, const Kind &kind, Phase phase = Phase::Pending)
{
    const QUuid operationID = QUuid::createUuid();
    coordinator.pending.append({{operationID, kind, Outcome::pending()}, phase});
    return operationID;
}

ScheduledPublish withStatus(ScheduledPublish schedule, const QString &status)
{
    schedule.cloudStatus = status;
    return schedule;
}

} // namespace

class tst_ScheduleIntentCoordinator : public QObject
{
    Q_OBJECT

private slots:
    void newerReplaceSupersedesOlderOfItsSite()
    {
        ScheduleIntentCoordinator coordinator;
        const ScheduledPublish confirmedRow = schedule(u"a"_s, at(10));
        coordinator.confirmed = {confirmedRow};
        const ScheduledPublish first = schedule(u"a"_s, at(11));
        const ScheduledPublish second = schedule(u"a"_s, at(12));
        const QUuid firstOp = QUuid::createUuid();
        const QUuid secondOp = QUuid::createUuid();
        coordinator.beginReplace(first, firstOp);
        coordinator.beginReplace(second, secondOp);

        ScheduledPublish canonical = second;
        canonical.cloudStatus = u"scheduled"_s;
        const auto accepted = coordinator.applyReplaceResponse(secondOp, canonical);
        QVERIFY(accepted);
        QCOMPARE(accepted->outcome, Outcome::accepted());
        QCOMPARE(coordinator.settlements.size(), 2);
        QCOMPARE(coordinator.settlements.at(0).id, firstOp);
        QCOMPARE(coordinator.settlements.at(0).outcome, Outcome::superseded(canonical));
        QCOMPARE(coordinator.settlements.at(1), *accepted);
        QCOMPARE(coordinator.confirmed, QList<ScheduledPublish>{canonical});
        QVERIFY(coordinator.pending.isEmpty());
        QVERIFY(coordinator.replacements.isEmpty());

        // The first replace's reply arrives late: its intent is settled, so nothing moves.
        const ScheduleIntentCoordinator before = coordinator;
        QVERIFY(!coordinator.applyReplaceResponse(firstOp, first));
        QCOMPARE(coordinator, before);
    }

    void repliesInOrderKeepTheNewerSchedule()
    {
        ScheduleIntentCoordinator coordinator;
        const ScheduledPublish first = schedule(u"a"_s, at(11));
        const ScheduledPublish second = schedule(u"a"_s, at(12));
        const QUuid firstOp = QUuid::createUuid();
        const QUuid secondOp = QUuid::createUuid();
        coordinator.beginReplace(first, firstOp);
        coordinator.beginReplace(second, secondOp);

        QCOMPARE(coordinator.applyReplaceResponse(firstOp, first)->outcome, Outcome::accepted());
        QCOMPARE(coordinator.confirmed, QList<ScheduledPublish>{first});
        QCOMPARE(coordinator.applyReplaceResponse(secondOp, second)->outcome, Outcome::accepted());
        QCOMPARE(coordinator.confirmed, QList<ScheduledPublish>{second});
        QCOMPARE(coordinator.settlements.size(), 2);
    }

    void replyWithoutScheduleConfirmsTheDraft()
    {
        ScheduleIntentCoordinator coordinator;
        const ScheduledPublish draft = schedule(u"a"_s, at(11));
        const QUuid operationID = QUuid::createUuid();
        const ScheduleOperationStatus status = coordinator.beginReplace(draft, operationID);
        QCOMPARE(status, (ScheduleOperationStatus{operationID, Kind::replace(draft.id, u"a"_s), Outcome::pending()}));
        QCOMPARE(coordinator.applyReplaceResponse(operationID, std::nullopt)->outcome, Outcome::accepted());
        QCOMPARE(coordinator.confirmed, QList<ScheduledPublish>{draft});
    }

    void olderCancelOfTheSiteIsSupersededByAReplace()
    {
        ScheduleIntentCoordinator coordinator;
        const ScheduledPublish row = schedule(u"a"_s, at(10));
        coordinator.confirmed = {row};
        const QUuid cancelOp = appendCancel(coordinator, Kind::cancelRow(row.id, u"a"_s));
        const QUuid projectOp = appendCancel(coordinator, Kind::cancelProject(u"a"_s, u"webflow-acme"_s));
        const ScheduledPublish draft = schedule(u"a"_s, at(12));
        const QUuid replaceOp = QUuid::createUuid();
        coordinator.beginReplace(draft, replaceOp);

        coordinator.applyReplaceResponse(replaceOp, draft);
        QCOMPARE(coordinator.settlements.size(), 2);
        QCOMPARE(coordinator.settlements.at(0).id, cancelOp);
        QCOMPARE(coordinator.settlements.at(0).outcome, Outcome::superseded(draft));
        QCOMPARE(coordinator.pending.size(), 1); // a project cancel is never superseded
        QCOMPARE(coordinator.pending.first().status.id, projectOp);
    }

    void lateAnswersForASettledIntentChangeNothing()
    {
        ScheduleIntentCoordinator coordinator;
        const ScheduledPublish row = schedule(u"a"_s, at(10));
        coordinator.confirmed = {row};
        const QUuid cancelOp = appendCancel(coordinator, Kind::cancelRow(row.id, u"a"_s));
        QCOMPARE(coordinator.refuse(cancelOp, u"No."_s)->outcome, Outcome::refused(u"No."_s));

        const ScheduleIntentCoordinator before = coordinator;
        QVERIFY(!coordinator.applyCancellation(cancelOp, CancellationOutcome::cancelled()));
        QVERIFY(!coordinator.applyCancellation(cancelOp, CancellationOutcome::unknown()));
        QVERIFY(!coordinator.refuse(cancelOp, u"Again."_s));
        QVERIFY(!coordinator.markAmbiguous(cancelOp));
        QVERIFY(!coordinator.applyReplaceResponse(cancelOp, row));
        QCOMPARE(coordinator, before);
    }

    void replaceReplyForACancelIsIgnored()
    {
        ScheduleIntentCoordinator coordinator;
        const ScheduledPublish row = schedule(u"a"_s, at(10));
        const QUuid cancelOp = appendCancel(coordinator, Kind::cancelRow(row.id, u"a"_s));
        const ScheduleIntentCoordinator before = coordinator;
        QVERIFY(!coordinator.applyReplaceResponse(cancelOp, row));
        QCOMPARE(coordinator, before);
    }

    void markAmbiguousKeepsTheIntent()
    {
        ScheduleIntentCoordinator coordinator;
        const ScheduledPublish draft = schedule(u"a"_s, at(11));
        const QUuid operationID = QUuid::createUuid();
        coordinator.beginReplace(draft, operationID);
        const auto first = coordinator.markAmbiguous(operationID);
        QVERIFY(first);
        QCOMPARE(first->outcome, Outcome::ambiguous());
        QCOMPARE(coordinator.markAmbiguous(operationID), first);
        QCOMPARE(coordinator.pending.first().phase, Phase::Ambiguous);
        QCOMPARE(coordinator.pending.first().status.outcome, Outcome::pending());
        QCOMPARE(coordinator.replacements.value(operationID), draft);
        QVERIFY(coordinator.settlements.isEmpty());
        QVERIFY(!coordinator.markAmbiguous(QUuid::createUuid()));
    }

    void reconcileSettlesAmbiguousIntents_data()
    {
        QTest::addColumn<QList<ScheduledPublish>>("rows");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<Outcome>("outcome");

        const QUuid target = QUuid::createUuid();
        const ScheduledPublish own = schedule(u"a"_s, at(10), target);
        const ScheduledPublish other = schedule(u"a"_s, at(9));
        const ScheduledPublish unrelated = schedule(u"b"_s, at(8), QUuid::createUuid(), u"webflow-other"_s);
        const QList<ScheduledPublish> none;

        QTest::newRow("replace: row with its id") << QList{unrelated, own} << Kind::replace(target, u"a"_s)
                                                  << Outcome::accepted();
        QTest::newRow("replace: other row of its site")
            << QList{unrelated, other} << Kind::replace(target, u"a"_s) << Outcome::superseded(other);
        QTest::newRow("replace: nothing") << QList{unrelated} << Kind::replace(target, u"a"_s)
                                          << Outcome::confirmedAbsent();
        QTest::newRow("replace: empty read") << none << Kind::replace(target, u"a"_s) << Outcome::confirmedAbsent();

        QTest::newRow("cancel row: publishing") << QList{withStatus(own, u"publishing"_s)}
                                                << Kind::cancelRow(target, u"a"_s) << Outcome::publishing();
        QTest::newRow("cancel row: still scheduled") << QList{withStatus(own, u"scheduled"_s)}
                                                     << Kind::cancelRow(target, u"a"_s)
                                                     << Outcome::refused(stillScheduled);
        QTest::newRow("cancel row: superseded") << QList{other} << Kind::cancelRow(target, u"a"_s)
                                                << Outcome::superseded(other);
        QTest::newRow("cancel row without site: other row ignored")
            << QList{other} << Kind::cancelRow(target, std::nullopt) << Outcome::confirmedAbsent();
        QTest::newRow("cancel row: gone") << QList{unrelated} << Kind::cancelRow(target, u"a"_s)
                                          << Outcome::confirmedAbsent();

        QTest::newRow("cancel project: site scheduled")
            << QList{unrelated, other} << Kind::cancelProject(u"a"_s, u"webflow-x"_s)
            << Outcome::refused(matchingScheduled);
        QTest::newRow("cancel project: site publishing")
            << QList{withStatus(other, u"publishing"_s)} << Kind::cancelProject(u"a"_s, u"webflow-x"_s)
            << Outcome::publishing();
        QTest::newRow("cancel project: by connection")
            << QList{unrelated} << Kind::cancelProject(std::nullopt, u"webflow-other"_s)
            << Outcome::refused(matchingScheduled);
        QTest::newRow("cancel project: site wins over connection")
            << QList{unrelated} << Kind::cancelProject(u"a"_s, u"webflow-other"_s) << Outcome::confirmedAbsent();
        QTest::newRow("cancel project: empty site matches only empty")
            << QList{other} << Kind::cancelProject(u""_s, u"webflow-acme"_s) << Outcome::confirmedAbsent();
    }

    void reconcileSettlesAmbiguousIntents()
    {
        QFETCH(QList<ScheduledPublish>, rows);
        QFETCH(Kind, kind);
        QFETCH(Outcome, outcome);

        ScheduleIntentCoordinator coordinator;
        const QUuid inFlight = appendCancel(coordinator, kind);
        const QUuid ambiguous = appendCancel(coordinator, kind, Phase::Ambiguous);
        if (kind.which() == Kind::Case::Replace)
            coordinator.replacements.insert(ambiguous, schedule(*kind.siteID(), at(13), kind.scheduleID()));

        const QList<ScheduleOperationStatus> settled = coordinator.reconcile(rows);
        QCOMPARE(settled, (QList<ScheduleOperationStatus>{{ambiguous, kind, outcome}}));
        QCOMPARE(coordinator.settlements, settled);
        QCOMPARE(coordinator.pending.size(), 1);
        QCOMPARE(coordinator.pending.first().status.id, inFlight);
        QVERIFY(!coordinator.replacements.contains(ambiguous));
    }

    void reconcileSettlesInPendingOrderAndSortsStably()
    {
        ScheduleIntentCoordinator coordinator;
        const QUuid first = appendCancel(coordinator, Kind::cancelRow(QUuid::createUuid(), std::nullopt), Phase::Ambiguous);
        const QUuid second = appendCancel(coordinator, Kind::cancelProject(u"z"_s, u"c"_s), Phase::Ambiguous);
        const ScheduledPublish late = schedule(u"a"_s, at(12));
        const ScheduledPublish tieOne = schedule(u"b"_s, at(9));
        const ScheduledPublish tieTwo = schedule(u"c"_s, at(9));

        const QList<ScheduleOperationStatus> settled = coordinator.reconcile({late, tieOne, tieTwo});
        QCOMPARE(settled.size(), 2);
        QCOMPARE(settled.at(0).id, first);
        QCOMPARE(settled.at(1).id, second);
        QCOMPARE(coordinator.confirmed, (QList<ScheduledPublish>{tieOne, tieTwo, late}));
    }

    void readDuringAnInFlightReplaceKeepsItsReplacement()
    {
        ScheduleIntentCoordinator coordinator;
        const ScheduledPublish draft = schedule(u"a"_s, at(11));
        const QUuid operationID = QUuid::createUuid();
        coordinator.beginReplace(draft, operationID);
        QVERIFY(coordinator.reconcile({schedule(u"a"_s, at(10))}).isEmpty());
        QCOMPARE(coordinator.visibleSchedules(), QList<ScheduledPublish>{draft});
    }

    void cancellationOutcomes()
    {
        const QUuid target = QUuid::createUuid();
        const ScheduledPublish row = schedule(u"a"_s, at(10), target);
        const ScheduledPublish sibling = schedule(u"a"_s, at(11));
        const ScheduledPublish elsewhere = schedule(u"b"_s, at(9));

        // Cancelled, with a site: every schedule of the site goes, an older replace of the same
        // schedule is pointless now.
        ScheduleIntentCoordinator coordinator;
        coordinator.confirmed = {elsewhere, row, sibling};
        const QUuid replaceOp = QUuid::createUuid();
        coordinator.beginReplace(schedule(u"a"_s, at(12), target), replaceOp);
        const QUuid cancelOp = appendCancel(coordinator, Kind::cancelRow(target, u"a"_s));
        QCOMPARE(coordinator.applyCancellation(cancelOp, CancellationOutcome::cancelled())->outcome, Outcome::accepted());
        QCOMPARE(coordinator.confirmed, QList<ScheduledPublish>{elsewhere});
        QCOMPARE(coordinator.settlements.size(), 2);
        QCOMPARE(coordinator.settlements.at(0).id, replaceOp);
        QCOMPARE(coordinator.settlements.at(0).outcome, Outcome::confirmedAbsent());
        QVERIFY(coordinator.replacements.isEmpty());

        // Absent, by connection: the project's schedules go, other projects stay.
        coordinator = {};
        coordinator.confirmed = {elsewhere, row};
        const QUuid projectOp = appendCancel(coordinator, Kind::cancelProject(std::nullopt, u"webflow-acme"_s));
        coordinator.confirmed.last().connectionName = u"webflow-other"_s;
        QCOMPARE(coordinator.applyCancellation(projectOp, CancellationOutcome::absent())->outcome,
                 Outcome::confirmedAbsent());
        QCOMPARE(coordinator.confirmed.size(), 1);
        QCOMPARE(coordinator.confirmed.first().connectionName, u"webflow-other"_s);

        // Superseded: the newer schedule stands for the site.
        coordinator = {};
        coordinator.confirmed = {row, elsewhere};
        const QUuid supersededOp = appendCancel(coordinator, Kind::cancelRow(target, u"a"_s));
        QCOMPARE(coordinator.applyCancellation(supersededOp, CancellationOutcome::superseded(sibling))->outcome,
                 Outcome::superseded(sibling));
        QCOMPARE(coordinator.confirmed, (QList<ScheduledPublish>{elsewhere, sibling}));

        // Publishing settles at once; unknown leaves it to the next read.
        coordinator = {};
        const QUuid publishingOp = appendCancel(coordinator, Kind::cancelRow(target, u"a"_s));
        const QUuid unknownOp = appendCancel(coordinator, Kind::cancelRow(target, u"a"_s));
        QCOMPARE(coordinator.applyCancellation(publishingOp, CancellationOutcome::publishing())->outcome,
                 Outcome::publishing());
        QCOMPARE(coordinator.applyCancellation(unknownOp, CancellationOutcome::unknown())->outcome,
                 Outcome::ambiguous());
        QCOMPARE(coordinator.settlements.size(), 1);
        QCOMPARE(coordinator.pending.size(), 1);
        QCOMPARE(coordinator.pending.first().phase, Phase::Ambiguous);
    }

    void projectCancelCoversReplaces_data()
    {
        QTest::addColumn<Kind>("cancel");
        QTest::addColumn<bool>("covered");
        QTest::newRow("same site") << Kind::cancelProject(u"a"_s, u"other"_s) << true;
        QTest::newRow("other site") << Kind::cancelProject(u"b"_s, u"webflow-acme"_s) << false;
        QTest::newRow("connection of the replacement") << Kind::cancelProject(std::nullopt, u"webflow-acme"_s) << true;
        QTest::newRow("other connection") << Kind::cancelProject(std::nullopt, u"webflow-other"_s) << false;
    }

    void projectCancelCoversReplaces()
    {
        QFETCH(Kind, cancel);
        QFETCH(bool, covered);
        ScheduleIntentCoordinator coordinator;
        const QUuid replaceOp = QUuid::createUuid();
        coordinator.beginReplace(schedule(u"a"_s, at(12)), replaceOp);
        const QUuid cancelOp = appendCancel(coordinator, cancel);
        coordinator.applyCancellation(cancelOp, CancellationOutcome::cancelled());
        QCOMPARE(coordinator.pending.isEmpty(), covered);
        QCOMPARE(coordinator.settlements.size(), covered ? 2 : 1);
    }

    void visibleSchedules_data()
    {
        QTest::addColumn<QList<ScheduledPublish>>("confirmed");
        QTest::addColumn<QList<ScheduledPublish>>("replaces"); // begun in order
        QTest::addColumn<QList<ScheduledPublish>>("expected");

        const ScheduledPublish a10 = schedule(u"a"_s, at(10));
        const ScheduledPublish b9 = schedule(u"b"_s, at(9));
        const ScheduledPublish a8 = schedule(u"a"_s, at(8));
        const ScheduledPublish a11 = schedule(u"a"_s, at(11));
        const ScheduledPublish c9 = schedule(u"c"_s, at(9));

        QTest::newRow("nothing pending") << QList{b9, a10} << QList<ScheduledPublish>() << QList{b9, a10};
        QTest::newRow("replacement moves ahead") << QList{b9, a10} << QList{a8} << QList{a8, b9};
        QTest::newRow("later replace of a site hides the earlier") << QList{b9, a10} << QList{a8, a11}
                                                                   << QList{b9, a11};
        QTest::newRow("equal times keep the confirmed row first") << QList{b9} << QList{c9} << QList{b9, c9};
    }

    void visibleSchedules()
    {
        QFETCH(QList<ScheduledPublish>, confirmed);
        QFETCH(QList<ScheduledPublish>, replaces);
        QFETCH(QList<ScheduledPublish>, expected);
        ScheduleIntentCoordinator coordinator;
        coordinator.confirmed = confirmed;
        for (const ScheduledPublish &replacement : replaces)
            coordinator.beginReplace(replacement, QUuid::createUuid());
        QCOMPARE(coordinator.visibleSchedules(), expected);
    }

    void visibleSchedulesIgnoreCancelsAndLoneIntents()
    {
        const ScheduledPublish row = schedule(u"a"_s, at(10));
        ScheduleIntentCoordinator coordinator;
        coordinator.confirmed = {row};
        appendCancel(coordinator, Kind::cancelRow(row.id, u"a"_s));
        appendCancel(coordinator, Kind::cancelProject(u"a"_s, u"webflow-acme"_s));
        appendCancel(coordinator, Kind::replace(QUuid::createUuid(), u"a"_s)); // no replacement held
        QCOMPARE(coordinator.visibleSchedules(), QList<ScheduledPublish>{row});

        // An ambiguous replace still shows until a read settles it.
        const ScheduledPublish draft = schedule(u"a"_s, at(7));
        const QUuid operationID = QUuid::createUuid();
        coordinator.beginReplace(draft, operationID);
        coordinator.markAmbiguous(operationID);
        QCOMPARE(coordinator.visibleSchedules(), QList<ScheduledPublish>{draft});
        coordinator.reconcile({row});
        QCOMPARE(coordinator.visibleSchedules(), QList<ScheduledPublish>{row});
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleIntentCoordinator)
#include "tst_ScheduleIntentCoordinator.moc"
