// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ScheduleHarness.h"
#include "ScheduleRefusals.h"

#include <QSignalSpy>

using namespace Qt::StringLiterals;
using namespace ScheduleSamples;
using namespace std::chrono_literals;

using Reply = FakeHttpServer::Reply;
using Outcome = ScheduleOperationOutcome;

namespace {

const QString kReplacePath = u"/rest/v1/rpc/replace_scheduled_publish"_s;
const QString kCancelPath = u"/rest/v1/rpc/cancel_scheduled_publish"_s;
const QString kBeginPath = u"/rest/v1/rpc/begin_project_removal"_s;
const QString kQueuePath = u"/rest/v1/scheduled_publishes"_s;
const QUuid kA = ScheduleHarness::userA;
const QUuid kB = ScheduleHarness::userB;

const QString kUnconfirmedAfterRead =
    u"Couldn't reach the cloud to confirm the schedule. The draft remains unconfirmed until the queue refreshes."_s;
const QString kCancelUnknown =
    u"Couldn't confirm the cancellation, so the publish card was kept and it may still fire."_s;
const QString kRemovalUnprotected = u"The cloud cancelled the publish but couldn't protect removal from a "
                                    "replacement, so the project was kept. Try again shortly."_s;

Reply raised(const QString &message)
{
    return FakeBackend::postgrestError(400, u"P0001"_s, message);
}

Reply json(const QJsonValue &value, std::chrono::milliseconds delay = 0ms)
{
    Reply reply = Reply::json(200, value);
    reply.delay = delay;
    return reply;
}

Outcome outcomeOf(const ScheduleStore &store, const QUuid &operationID)
{
    return store.operationStatuses().constFind(operationID)->outcome;
}

Outcome settle(ScheduleStore &store, const ScheduleOperationStatus &status)
{
    return QCoro::waitFor(store.awaitOperation(status.id))->outcome;
}

// A session read that fails as the next one needs a renewal and the auth service is down.
void failNextSessionReads(ScheduleHarness &h, int count)
{
    h.files.clock.advance(2 * 3600 * 1000);
    for (int i = 0; i < count; ++i)
        h.fake.script("POST", u"/auth/v1/token"_s, FakeBackend::authError(503, u"unavailable"_s, u"down"_s));
}

} // namespace

Q_DECLARE_METATYPE(Reply)
Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(CancellationOutcome)
Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(std::optional<QDateTime>)

class tst_ScheduleOperations : public QObject
{
    Q_OBJECT

private slots:
    void replaceSendsTheDraftAndAcceptsItsCanonicalRow_data()
    {
        QTest::addColumn<std::optional<QDateTime>>("baseline");
        QTest::newRow("without baseline") << std::optional<QDateTime>();
        QTest::newRow("paranoid with baseline") << std::optional(at(8).addMSecs(42));
    }

    void replaceSendsTheDraftAndAcceptsItsCanonicalRow()
    {
        QFETCH(std::optional<QDateTime>, baseline);
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        ScheduledPublish draft = schedule(u"site-1"_s, at(9, 30).addMSecs(250));
        draft.skipIfChanged = baseline.has_value();
        draft.baselineLastUpdated = baseline;

        const ScheduleOperationStatus pending = store.replaceSchedule(draft);
        QCOMPARE(pending.outcome, Outcome::pending());
        QCOMPARE(pending.kind, ScheduleOperationKind::replace(draft.id, u"site-1"_s));
        QCOMPARE(store.schedules(), QList{draft});
        QCOMPARE(settle(store, pending), Outcome::accepted());

        const QJsonObject sent = h.rpcCalls(u"replace_scheduled_publish"_s).value(0);
        QJsonObject expected{
            {u"p_id"_s, UuidText::format(draft.id)},
            {u"p_user"_s, UuidText::format(kA)},
            {u"p_connection_name"_s, u"webflow-acme"_s},
            {u"p_site_id"_s, u"site-1"_s},
            {u"p_site_name"_s, u"Site site-1"_s},
            {u"p_publish_at"_s, u"2026-03-08T09:30:00.250Z"_s},
            {u"p_time_zone"_s, u"Europe/Berlin"_s},
            {u"p_domains"_s, QJsonArray{QJsonObject{{u"id"_s, u"d-site-1"_s}, {u"url"_s, u"https://site-1.com"_s},
                                                    {u"isStaging"_s, false}}}},
            {u"p_skip_if_changed"_s, draft.skipIfChanged},
        };
        if (baseline)
            expected.insert(u"p_baseline_last_updated"_s, u"2026-03-08T08:00:00.042Z"_s);
        QCOMPARE(sent, expected);

        // The row the cloud returned is what is shown and cached.
        QCOMPARE(store.schedules().size(), 1);
        QCOMPARE(store.schedules().first().cloudStatus, u"scheduled"_s);
        QCOMPARE(store.schedules().first().publishAt, draft.publishAt);
        QVERIFY(!store.syncError());
        QCOMPARE(h.cacheDocument().value("schedules"_L1).toArray().first().toObject().value("id"_L1).toString(),
                 UuidText::format(draft.id));
    }

    void replaceRefusedByTheServer_data()
    {
        QTest::addColumn<QString>("serverMessage");
        QTest::addColumn<QString>("sentence");

        for (const auto &[needle, sentence] : replaceRefusals())
            QTest::addRow("%s", qPrintable(needle)) << needle << sentence;
    }

    void replaceRefusedByTheServer()
    {
        QFETCH(QString, serverMessage);
        QFETCH(QString, sentence);
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        const ScheduledPublish draft = schedule(u"site-1"_s, at(9));
        h.fake.script("POST", kReplacePath, raised(serverMessage));
        const ScheduleOperationStatus pending = store.replaceSchedule(draft);
        QCOMPARE(settle(store, pending), Outcome::refused(sentence));
        QCOMPARE(store.syncError(), std::optional(sentence));
        QVERIFY(store.schedules().isEmpty());
        QCOMPARE(store.latestOperation()->outcome, Outcome::refused(sentence));
        // Refused is known: no queue read to find out.
        QCOMPARE(h.fake.requests("GET", kQueuePath).size(), 1);
    }

    void unexplainedReplaceIsSettledByAQueueRead_data()
    {
        QTest::addColumn<Reply>("answer");
        QTest::addColumn<QString>("queue"); // what the read that follows finds
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<std::optional<QString>>("sentence");

        const Reply unknown = raised(u"statement timeout"_s);
        const std::optional<QString> none;
        QTest::newRow("the row is there") << unknown << u"draft"_s << Outcome::accepted() << none;
        QTest::newRow("another row of the site") << unknown << u"newer"_s << Outcome::superseded({})
                                                 << std::optional(u"A newer schedule is set for this site. The queue now shows it."_s);
        QTest::newRow("nothing") << unknown << u"empty"_s << Outcome::confirmedAbsent()
                                 << std::optional(u"The cloud confirmed that this schedule was not saved."_s);
        QTest::newRow("the read fails") << unknown << u"fails"_s << Outcome::ambiguous() << std::optional(kUnconfirmedAfterRead);
        QTest::newRow("a row that is not the draft's")
            << json(ScheduleHarness::row(schedule(u"site-1"_s, at(20)), kA)) << u"draft"_s << Outcome::accepted() << none;
        QTest::newRow("a reply that does not decode") << json(QJsonObject{{u"id"_s, 1}}) << u"empty"_s
                                                      << Outcome::confirmedAbsent()
                                                      << std::optional(u"The cloud confirmed that this schedule was not saved."_s);
    }

    void unexplainedReplaceIsSettledByAQueueRead()
    {
        QFETCH(Reply, answer);
        QFETCH(QString, queue);
        QFETCH(Outcome, outcome);
        QFETCH(std::optional<QString>, sentence);
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        const ScheduledPublish draft = schedule(u"site-1"_s, at(9));
        const ScheduledPublish newer = schedule(u"site-1"_s, at(12));
        h.fake.script("POST", kReplacePath, answer);
        if (queue == u"draft")
            h.fake.script("GET", kQueuePath, json(QJsonArray{ScheduleHarness::row(draft, kA)}));
        else if (queue == u"newer")
            h.fake.script("GET", kQueuePath, json(QJsonArray{ScheduleHarness::row(newer, kA)}));
        else if (queue == u"empty")
            h.fake.script("GET", kQueuePath, json(QJsonArray()));
        else
            h.fake.script("GET", kQueuePath, FakeBackend::postgrestError(503, u"PGRST000"_s, u"down"_s));

        QSignalSpy latest(&store, &ScheduleStore::latestOperationChanged);
        const ScheduleOperationStatus pending = store.replaceSchedule(draft);
        const Outcome settled = settle(store, pending);
        if (outcome.which() == Outcome::Case::Superseded)
            QCOMPARE(settled.schedule()->id, newer.id);
        else
            QCOMPARE(settled, outcome);
        QCOMPARE(store.syncError(), sentence);
        QCOMPARE(h.fake.requests("GET", kQueuePath).size(), 2);
        // The ambiguous step was shown on the way.
        QVERIFY(latest.count() >= 2);
        if (outcome == Outcome::ambiguous())
            QCOMPARE(store.scheduleForSite(u"site-1"_s)->id, draft.id);
    }

    void writesGoOneAtATime()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        const ScheduledPublish first = schedule(u"site-1"_s, at(9));
        const ScheduledPublish second = schedule(u"site-2"_s, at(10));
        h.fake.script("POST", kReplacePath, [&] {
            Reply slow = raised(u"statement timeout"_s);
            slow.delay = 200ms;
            return slow;
        }());

        std::optional<ScheduleOperationStatus> firstStatus;
        std::optional<Outcome> firstWhenSecondArrived;
        h.fake.route("POST", kReplacePath, [&](const FakeHttpServer::Request &) {
            firstWhenSecondArrived = outcomeOf(store, firstStatus->id);
            return json(ScheduleHarness::row(second, kA));
        });
        firstStatus = store.replaceSchedule(first);
        const ScheduleOperationStatus secondStatus = store.replaceSchedule(second);
        QCOMPARE(settle(store, secondStatus), Outcome::accepted());

        // The second call went out only after the first's answer was in.
        QCOMPARE(h.rpcCalls(u"replace_scheduled_publish"_s).size(), 2);
        QCOMPARE(firstWhenSecondArrived, std::optional(Outcome::ambiguous()));
        // The first does not re-read the queue once a later write started; the later write speaks last.
        QCOMPARE(h.fake.requests("GET", kQueuePath).size(), 1);
        QVERIFY(!store.syncError());
        QCOMPARE(outcomeOf(store, firstStatus->id), Outcome::ambiguous());
        QCOMPARE(store.schedules().size(), 2);
    }

    void replaceRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("no client") << u"no client"_s
                                   << u"Couldn't save because cloud scheduling has not initialized. Nothing was scheduled."_s;
        QTest::newRow("cloud unreachable") << u"local"_s
                                           << u"Couldn't save: the cloud can't be reached, so nothing was scheduled. "
                                              "Try again when it's back."_s;
        QTest::newRow("project being removed, even offline")
            << u"lease"_s
            << u"This project is being removed, so no new publish was scheduled. Finish or cancel removal first."_s;
    }

    void replaceRefusedAtOnce()
    {
        QFETCH(QString, setup);
        QFETCH(QString, sentence);
        ScheduleHarness h;
        ScheduleStore &store = setup == u"no client" ? h.makeStore() : h.cloudStore();
        if (setup == u"local")
            store.setCloudState(ScheduleStore::CloudState::Local);
        if (setup == u"lease") {
            store.projectCancellationBarriers().add({QUuid::createUuid(), std::nullopt, {u"connection:webflow-acme"_s},
                                                     {kA, store.identityEpoch()}});
            store.setCloudState(ScheduleStore::CloudState::Local);
        }
        const ScheduleOperationStatus status = store.replaceSchedule(schedule(u"site-1"_s, at(9)));
        QCOMPARE(status.outcome, Outcome::refused(sentence));
        QCOMPARE(store.latestOperation(), status);
        QCOMPARE(store.syncError(), std::optional(sentence));
        QCOMPARE(QCoro::waitFor(store.awaitOperation(status.id)), std::optional(status));
        QVERIFY(store.schedules().isEmpty());
        QVERIFY(h.rpcCalls(u"replace_scheduled_publish"_s).isEmpty());
    }

    void localOnlyStoreSettlesAtOnce()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.makeStore(true);
        const ScheduledPublish draft = schedule(u"site-1"_s, at(9));
        QCOMPARE(store.replaceSchedule(draft).outcome, Outcome::accepted());
        QCOMPARE(store.schedules(), QList{draft});
        QCOMPARE(store.writeGeneration(), 0);
        QCOMPARE(h.cacheDocument().value("schedules"_L1).toArray().size(), 1);
        QCOMPARE(store.cancelSchedule(draft.id).outcome, Outcome::accepted());
        QVERIFY(store.schedules().isEmpty());
        QVERIFY(h.cacheDocument().value("schedules"_L1).toArray().isEmpty());
    }

    void cancelVerdicts_data()
    {
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<bool>("otherRequestedID");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<bool>("cardKept");
        QTest::addColumn<bool>("unconfirmed");
        QTest::addColumn<int>("queueReads");
        QTest::addColumn<std::optional<QString>>("sentence");

        const QString running = u"That publish is running right now and can't be cancelled. Its card was kept."_s;
        QTest::newRow("cancelled") << u"cancelled"_s << false << Outcome::accepted() << false << false << 0
                                   << std::optional<QString>();
        QTest::newRow("already terminal") << u"already_terminal"_s << false << Outcome::confirmedAbsent() << false
                                          << false << 0 << std::optional<QString>();
        QTest::newRow("publishing") << u"publishing"_s << false << Outcome::publishing() << true << true << 0
                                    << std::optional(running);
        QTest::newRow("superseded") << u"superseded"_s << false << Outcome::superseded({}) << false << false << 0
                                    << std::optional(u"A newer publish is scheduled for Site site-1. The queue now shows it."_s);
        // Unknown: the queue is read again; it still holds the schedule, so the cancel is refused.
        QTest::newRow("reply about another schedule")
            << u"cancelled"_s << true
            << Outcome::refused(u"The cloud confirmed that the publish is still scheduled."_s) << true << true << 1
            << std::optional(u"The cloud confirmed that the publish is still scheduled."_s);
        QTest::newRow("Cancelled") << u"Cancelled"_s << false
                                   << Outcome::refused(u"The cloud confirmed that the publish is still scheduled."_s)
                                   << true << true << 1
                                   << std::optional(u"The cloud confirmed that the publish is still scheduled."_s);
    }

    void cancelVerdicts()
    {
        QFETCH(QString, verdict);
        QFETCH(bool, otherRequestedID);
        QFETCH(Outcome, outcome);
        QFETCH(bool, cardKept);
        QFETCH(bool, unconfirmed);
        QFETCH(int, queueReads);
        QFETCH(std::optional<QString>, sentence);
        ScheduleHarness h;
        const ScheduledPublish card = schedule(u"site-1"_s, at(9));
        const ScheduledPublish newer = schedule(u"site-1"_s, at(13));
        h.fake.scheduledPublishes = {ScheduleHarness::row(card, kA)};
        ScheduleStore &store = h.cloudStore();
        const int writes = h.files.writer.writes;
        QJsonObject reply{{u"verdict"_s, verdict},
                          {u"requested_id"_s, (otherRequestedID ? QUuid::createUuid() : card.id).toString(QUuid::WithoutBraces)}};
        if (verdict == u"superseded")
            reply.insert(u"current_schedule"_s, ScheduleHarness::row(newer, kA));
        h.fake.script("POST", kCancelPath, json(reply));

        const ScheduleOperationStatus pending = store.cancelSchedule(card.id);
        QCOMPARE(pending.kind, ScheduleOperationKind::cancelRow(card.id, u"site-1"_s));
        QCOMPARE(store.schedules().first().id, card.id);
        const Outcome settled = settle(store, pending);
        if (outcome.which() == Outcome::Case::Superseded) {
            QCOMPARE(settled.schedule()->id, newer.id);
            QCOMPARE(store.schedules().first().id, newer.id);
        } else {
            QCOMPARE(settled, outcome);
            QCOMPARE(store.scheduleForSite(u"site-1"_s).has_value(), cardKept);
        }
        QCOMPARE(h.rpcCalls(u"cancel_scheduled_publish"_s),
                 (QList{QJsonObject{{u"p_id"_s, UuidText::format(card.id)}, {u"p_user"_s, UuidText::format(kA)}}}));
        QCOMPARE(store.cancellationUnconfirmed().contains(card.id), unconfirmed);
        QCOMPARE(h.fake.requests("GET", kQueuePath).size(), 1 + queueReads);
        QCOMPARE(store.syncError(), sentence);
        if (outcome == Outcome::publishing())
            QCOMPARE(h.files.writer.writes, writes); // nothing confirmed changed
        QVERIFY(h.files.logged(u"schedule-cancel"_s).isEmpty());
    }

    void failedCancelIsLoggedAndReadAgain()
    {
        ScheduleHarness h;
        const ScheduledPublish card = schedule(u"site-1"_s, at(9));
        h.fake.scheduledPublishes = {ScheduleHarness::row(card, kA)};
        ScheduleStore &store = h.cloudStore();
        h.fake.script("POST", kCancelPath, raised(u"deadlock detected"_s));
        h.fake.script("GET", kQueuePath, FakeBackend::postgrestError(503, u"PGRST000"_s, u"down"_s));
        const ScheduleOperationStatus pending = store.cancelSchedule(card.id);
        QCOMPARE(settle(store, pending), Outcome::ambiguous());
        QCOMPARE(h.files.logged(u"schedule-cancel"_s), QStringList{u"deadlock detected"_s});
        // The read that followed failed: the sentence of the unknown outcome stays.
        QCOMPARE(store.syncError(), std::optional(kCancelUnknown));
        QVERIFY(store.cancellationUnconfirmed().contains(card.id));
    }

    void unverifiedIdentityRefusesBeforeSending()
    {
        ScheduleHarness h;
        const ScheduledPublish card = schedule(u"site-2"_s, at(9));
        h.fake.scheduledPublishes = {ScheduleHarness::row(card, kA)};
        ScheduleStore &store = h.cloudStore();
        failNextSessionReads(h, 2);
        const ScheduleOperationStatus saving = store.replaceSchedule(schedule(u"site-1"_s, at(9)));
        QCOMPARE(settle(store, saving),
                 Outcome::refused(u"Couldn't identify the signed-in account, so nothing was scheduled."_s));
        QVERIFY(!store.scheduleForSite(u"site-1"_s));
        const ScheduleOperationStatus cancelling = store.cancelSchedule(card.id);
        QCOMPARE(settle(store, cancelling),
                 Outcome::refused(u"Couldn't identify the signed-in account, so the publish was kept."_s));
        QCOMPARE(store.syncError(), std::optional(u"Couldn't identify the signed-in account, so the publish was kept."_s));
        QVERIFY(h.rpcCalls(u"replace_scheduled_publish"_s).isEmpty());
        QVERIFY(h.rpcCalls(u"cancel_scheduled_publish"_s).isEmpty());
        QVERIFY(store.coordinator().pending.isEmpty());
    }

    void unverifiedIdentityAfterSendingLeavesItAmbiguous()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        const ScheduledPublish draft = schedule(u"site-1"_s, at(9));
        h.fake.route("POST", kReplacePath, [&](const FakeHttpServer::Request &) {
            // Saved, but from now on the session cannot be confirmed: neither for the answer,
            // nor for the queue read that would tell.
            failNextSessionReads(h, 2);
            h.fake.scheduledPublishes.append(ScheduleHarness::row(draft, kA));
            return json(ScheduleHarness::row(draft, kA));
        });
        const ScheduleOperationStatus saving = store.replaceSchedule(draft);
        QCOMPARE(settle(store, saving), Outcome::ambiguous());
        QCOMPARE(store.syncError(), std::optional(kUnconfirmedAfterRead));
        QCOMPARE(store.coordinator().pending.first().phase, PendingScheduleIntent::Phase::Ambiguous);
        QCOMPARE(store.scheduleForSite(u"site-1"_s)->id, draft.id);

        // The next read that can tell settles it.
        QVERIFY(QCoro::waitFor(store.refreshQueue()));
        QCOMPARE(outcomeOf(store, saving.id), Outcome::accepted());
    }

    void signOutDuringTheCallDropsTheAnswer()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        h.fake.route("POST", kReplacePath, [&](const FakeHttpServer::Request &) {
            store.bindAccount(std::nullopt);
            return raised(u"too many scheduled publishes"_s);
        });
        const ScheduleOperationStatus saving = store.replaceSchedule(schedule(u"site-1"_s, at(9)));
        QCOMPARE(settle(store, saving).message(),
                 u"The signed-in account changed before the cloud operation finished. Review the queue under the "
                 "current account before trying again."_s);
        QVERIFY(!store.syncError());
        QVERIFY(store.schedules().isEmpty());
    }

    void removalLeaseLifecycle_data()
    {
        QTest::addColumn<std::optional<QString>>("site");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("committed");
        QTest::newRow("project without site, removed") << std::optional<QString>() << u"connection:webflow-acme"_s << true;
        QTest::newRow("project with site, removal stopped") << std::optional(u"site-1"_s) << u"site:site-1"_s << false;
    }

    void removalLeaseLifecycle()
    {
        QFETCH(std::optional<QString>, site);
        QFETCH(QString, key);
        QFETCH(bool, committed);
        ScheduleHarness h;
        const ScheduledPublish card = schedule(u"site-1"_s, at(9));
        h.fake.scheduledPublishes = {ScheduleHarness::row(card, kA)};
        ScheduleStore &store = h.cloudStore();
        store.setSyncError(u"earlier"_s);

        // A save of the project while the removal call is in flight is refused at once.
        std::optional<ScheduleOperationStatus> saveDuringCall;
        h.fake.route("POST", kBeginPath, [&](const FakeHttpServer::Request &) {
            saveDuringCall = store.replaceSchedule(schedule(u"site-1"_s, at(10)));
            const QUuid lease = QUuid::createUuid();
            h.fake.removalLeases.insert(lease, {kA, key});
            return json(QJsonObject{{u"verdict"_s, u"cancelled"_s}, {u"lease_id"_s, lease.toString(QUuid::WithoutBraces)}});
        });
        const ProjectCancellationResult result = QCoro::waitFor(store.cancelProjectSchedule(site, u"webflow-acme"_s));

        QJsonObject begin{{u"p_user"_s, UuidText::format(kA)}, {u"p_connection_name"_s, u"webflow-acme"_s}};
        if (site)
            begin.insert(u"p_site_id"_s, *site);
        QCOMPARE(h.rpcCalls(u"begin_project_removal"_s), QList{begin});
        QCOMPARE(saveDuringCall->outcome,
                 Outcome::refused(u"This project is being removed, so no new publish was scheduled. Finish or cancel "
                                  "removal first."_s));
        QCOMPARE(result.outcome, CancellationOutcome::cancelled());
        QVERIFY(result.lease && result.lease->serverID);
        QCOMPARE(result.lease->key.value, key);
        QVERIFY(!store.syncError());
        QVERIFY(!store.scheduleForSite(u"site-1"_s));
        QVERIFY(store.hasRemovalBarrier(card, CloudAuthSnapshot{kA, store.identityEpoch()}));

        QCoro::waitFor(store.finishProjectRemoval(*result.lease, committed));
        QCOMPARE(h.rpcCalls(u"finish_project_removal"_s),
                 (QList{QJsonObject{{u"p_user"_s, UuidText::format(kA)},
                                    {u"p_lease"_s, UuidText::format(*result.lease->serverID)},
                                    {u"p_committed"_s, committed}}}));
        QVERIFY(h.fake.removalLeases.isEmpty());
        QVERIFY(store.projectCancellationBarriers().leases.isEmpty());
        QVERIFY(!store.syncError());
    }

    void removalKeepsTheProject_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<Reply>("answer");
        QTest::addColumn<CancellationOutcome>("outcome");
        QTest::addColumn<std::optional<QString>>("sentence");
        QTest::addColumn<int>("releases"); // finish calls that give back a lease not kept

        const QString lease = QUuid::createUuid().toString(QUuid::WithoutBraces);
        const Reply none;
        QTest::newRow("no account") << u"unbound"_s << none << CancellationOutcome::unknown()
                                    << std::optional(u"Couldn't identify the signed-in account, so the project and its "
                                                     "publish were kept."_s)
                                    << 0;
        QTest::newRow("not in the cloud") << u"local"_s << none << CancellationOutcome::unknown()
                                          << std::optional(u"Couldn't check the cloud, so the project and its publish "
                                                           "were kept."_s)
                                          << 0;
        QTest::newRow("publishing, lease id ignored")
            << u""_s << json(QJsonObject{{u"verdict"_s, u"publishing"_s}, {u"lease_id"_s, lease}})
            << CancellationOutcome::publishing()
            << std::optional(u"That publish is running right now, so the project was kept."_s) << 0;
        QTest::newRow("superseded is unknown")
            << u""_s << json(QJsonObject{{u"verdict"_s, u"superseded"_s}}) << CancellationOutcome::unknown()
            << std::optional(u"Couldn't reach the cloud to cancel, so the project and its publish were kept."_s) << 0;
        QTest::newRow("failed call") << u""_s << raised(u"deadlock detected"_s) << CancellationOutcome::unknown()
                                     << std::optional(u"Couldn't reach the cloud to cancel, so the project and its "
                                                      "publish were kept."_s)
                                     << 0;
        QTest::newRow("cancelled without lease")
            << u""_s << json(QJsonObject{{u"verdict"_s, u"cancelled"_s}}) << CancellationOutcome::unknown()
            << std::optional(kRemovalUnprotected) << 0;
        QTest::newRow("granted lease not kept: given back")
            << u"lease lost"_s << json(QJsonObject{{u"verdict"_s, u"already_terminal"_s}, {u"lease_id"_s, lease}})
            << CancellationOutcome::unknown() << std::optional(kRemovalUnprotected) << 1;
        QTest::newRow("account changed during the call")
            << u"switch"_s << json(QJsonObject{{u"verdict"_s, u"cancelled"_s}, {u"lease_id"_s, lease}})
            << CancellationOutcome::unknown() << std::optional<QString>() << 0;
    }

    void removalKeepsTheProject()
    {
        QFETCH(QString, setup);
        QFETCH(Reply, answer);
        QFETCH(CancellationOutcome, outcome);
        QFETCH(std::optional<QString>, sentence);
        QFETCH(int, releases);
        ScheduleHarness h;
        ScheduleStore &store = setup == u"unbound" ? h.makeStore() : h.cloudStore();
        if (setup == u"local")
            store.setCloudState(ScheduleStore::CloudState::Local);
        h.fake.route("POST", kBeginPath, [&](const FakeHttpServer::Request &) {
            if (setup == u"lease lost") {
                store.projectCancellationBarriers().leases.clear();
                const QUuid granted = QUuid::fromString(QJsonDocument::fromJson(answer.body)["lease_id"_L1].toString());
                h.fake.removalLeases.insert(granted, {kA, u"site:site-1"_s});
            }
            if (setup == u"switch")
                store.bindAccount(kB);
            return answer;
        });
        const ProjectCancellationResult result =
            QCoro::waitFor(store.cancelProjectSchedule(u"site-1"_s, u"webflow-acme"_s));
        QCOMPARE(result.outcome, outcome);
        QVERIFY(!result.lease);
        QCOMPARE(store.syncError(), sentence);
        QVERIFY(store.projectCancellationBarriers().leases.isEmpty());
        // The operation never stays pending.
        QVERIFY(store.coordinator().pending.isEmpty()
                || store.coordinator().pending.first().phase == PendingScheduleIntent::Phase::Ambiguous);
        const QList<QJsonObject> finishes = h.rpcCalls(u"finish_project_removal"_s);
        QCOMPARE(finishes.size(), releases);
        if (releases) {
            QCOMPARE(finishes.first().value("p_committed"_L1), QJsonValue(false));
            QVERIFY(h.fake.removalLeases.isEmpty());
        }
        QCOMPARE(h.files.logged(u"schedule-cancel"_s).size(), setup.isEmpty() && answer.status != 200 ? 1 : 0);
    }

    void removalWithAnUnreadableSession_data()
    {
        QTest::addColumn<bool>("sent");
        QTest::addColumn<Outcome>("status");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<int>("releases");
        // The session confirmed the account when the removal started, then could not be read.
        QTest::newRow("before the call: refused unsent")
            << false
            << Outcome::refused(u"Couldn't identify the signed-in account, so the project and its publish were kept."_s)
            << u"Couldn't identify the signed-in account, so the project and its publish were kept."_s << 0;
        QTest::newRow("after the call: ambiguous, lease given back")
            << true << Outcome::ambiguous()
            << u"Couldn't reach the cloud to cancel, so the project and its publish were kept."_s << 1;
    }

    void removalWithAnUnreadableSession()
    {
        QFETCH(bool, sent);
        QFETCH(Outcome, status);
        QFETCH(QString, sentence);
        QFETCH(int, releases);
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        const QString tokenPath = u"/auth/v1/token"_s;
        if (!sent) {
            // The snapshot's session read renews to a token that is stale at once; the begin
            // task's own check then has to renew again, and that fails.
            h.files.clock.advance(2 * 3600 * 1000);
            h.fake.expiresIn = 0;
            h.fake.script("POST", tokenPath, FakeHttpServer::Reply::json(200, h.fake.issueSession()));
            for (int i = 0; i < 2; ++i)
                h.fake.script("POST", tokenPath, FakeBackend::authError(503, u"unavailable"_s, u"down"_s));
        }
        h.fake.route("POST", kBeginPath, [&](const FakeHttpServer::Request &) {
            // Granted, but the answer cannot be tied to the account; the release after it can.
            failNextSessionReads(h, 1);
            const QUuid lease = QUuid::createUuid();
            h.fake.removalLeases.insert(lease, {kA, u"site:site-1"_s});
            return json(QJsonObject{{u"verdict"_s, u"cancelled"_s}, {u"lease_id"_s, lease.toString(QUuid::WithoutBraces)}});
        });
        const ProjectCancellationResult result =
            QCoro::waitFor(store.cancelProjectSchedule(u"site-1"_s, u"webflow-acme"_s));

        QCOMPARE(h.rpcCalls(u"begin_project_removal"_s).size(), sent ? 1 : 0);
        QCOMPARE(result.outcome, CancellationOutcome::unknown());
        QVERIFY(!result.lease);
        QCOMPARE(store.syncError(), std::optional(sentence));
        QVERIFY(store.latestOperation());
        QCOMPARE(store.latestOperation()->kind.which(), ScheduleOperationKind::Case::CancelProject);
        QCOMPARE(store.latestOperation()->outcome, status);
        // No intent stays pending: refused ones leave, an ambiguous one waits for a queue read.
        if (sent) {
            QCOMPARE(store.coordinator().pending.size(), 1);
            QCOMPARE(store.coordinator().pending.first().phase, PendingScheduleIntent::Phase::Ambiguous);
        } else {
            QVERIFY(store.coordinator().pending.isEmpty());
        }
        QVERIFY(store.projectCancellationBarriers().leases.isEmpty());
        const QList<QJsonObject> finishes = h.rpcCalls(u"finish_project_removal"_s);
        QCOMPARE(finishes.size(), releases);
        if (releases)
            QCOMPARE(finishes.first().value("p_committed"_L1), QJsonValue(false));
        QVERIFY(h.fake.removalLeases.isEmpty());
    }

    void finishingAfterAnAccountChangeMakesNoCall()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        const ProjectCancellationResult result = QCoro::waitFor(store.cancelProjectSchedule(u"site-1"_s, u"webflow-acme"_s));
        QVERIFY(result.lease);
        store.bindAccount(kB);
        QCoro::waitFor(store.finishProjectRemoval(*result.lease, true));
        QVERIFY(h.rpcCalls(u"finish_project_removal"_s).isEmpty());
        QVERIFY(store.projectCancellationBarriers().leases.isEmpty());
    }

    void failedFinishTellsTheUser_data()
    {
        QTest::addColumn<bool>("committed");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("removed") << true
                                 << u"Project removal finished, but scheduling may remain blocked briefly while its cloud "
                                    "safety lease expires."_s;
        QTest::newRow("stopped") << false
                                 << u"Project removal was stopped, but scheduling may remain blocked briefly while its "
                                    "cloud safety lease expires."_s;
    }

    void failedFinishTellsTheUser()
    {
        QFETCH(bool, committed);
        QFETCH(QString, sentence);
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        const ProjectCancellationResult result = QCoro::waitFor(store.cancelProjectSchedule(u"site-1"_s, u"webflow-acme"_s));
        h.fake.script("POST", u"/rest/v1/rpc/finish_project_removal"_s, raised(u"lease expired"_s));
        QCoro::waitFor(store.finishProjectRemoval(*result.lease, committed));
        QCOMPARE(store.syncError(), std::optional(sentence));
        QCOMPARE(h.files.logged(u"schedule-removal-finish"_s), QStringList{u"lease expired"_s});
        QVERIFY(store.projectCancellationBarriers().leases.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleOperations)
#include "tst_ScheduleOperations.moc"
