// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ScheduleHarness.h"

#include <QSignalSpy>

using namespace Qt::StringLiterals;
using namespace ScheduleSamples;
using namespace std::chrono_literals;

using Reply = FakeHttpServer::Reply;
using State = ScheduleStore::HistoryLoadState;
using Outcome = ScheduleOperationOutcome;

namespace {

const QString kQueuePath = u"/rest/v1/scheduled_publishes"_s;
const QUuid kA = ScheduleHarness::userA;
const QUuid kB = ScheduleHarness::userB;
const QString kAccountChanged =
    u"The signed-in account changed before the cloud operation finished. Review the queue under the current "
    "account before trying again."_s;

Reply rows(const QList<QJsonObject> &list, std::chrono::milliseconds delay = 0ms)
{
    QJsonArray array;
    for (const QJsonObject &row : list)
        array.append(row);
    Reply reply = Reply::json(200, array);
    reply.delay = delay;
    return reply;
}

Reply failure(std::chrono::milliseconds delay = 0ms)
{
    Reply reply = FakeBackend::postgrestError(503, u"PGRST000"_s, u"database unavailable"_s);
    reply.delay = delay;
    return reply;
}

QJsonObject historyRow(const QString &site, const QString &status, const std::optional<QDateTime> &completed)
{
    QJsonObject row = ScheduleHarness::row(schedule(site, at(9)), kA, status);
    row.insert(u"completed_at"_s, completed ? QJsonValue(FakeBackend::postgresTimestamp(*completed)) : QJsonValue());
    return row;
}

ScheduleOperationStatus statusWith(const Outcome &outcome)
{
    return {QUuid::createUuid(), ScheduleOperationKind::cancelRow(QUuid::createUuid(), std::nullopt), outcome};
}

Outcome outcomeOf(const ScheduleStore &store, const QUuid &operationID)
{
    return store.operationStatuses().constFind(operationID)->outcome;
}

} // namespace

Q_DECLARE_METATYPE(Reply)
Q_DECLARE_METATYPE(std::chrono::milliseconds)

class tst_ScheduleSync : public QObject
{
    Q_OBJECT

private slots:
    void queueReadAppliesTheAccountsRows()
    {
        ScheduleHarness h;
        const ScheduledPublish late = schedule(u"late"_s, at(15));
        const ScheduledPublish early = schedule(u"early"_s, at(9));
        h.fake.scheduledPublishes = {ScheduleHarness::row(late, kA), ScheduleHarness::row(early, kA, u"publishing"_s),
                                     ScheduleHarness::row(schedule(u"done"_s, at(8)), kA, u"published"_s),
                                     ScheduleHarness::row(schedule(u"other"_s, at(8)), kB)};
        ScheduleStore &store = h.makeStore();
        store.attachClient(&h.signInClient());
        store.bindAccount(kA);
        QCOMPARE(store.cloudState(), ScheduleStore::CloudState::Checking);

        QVERIFY(QCoro::waitFor(store.refreshQueue()));
        const QList<FakeHttpServer::Request> reads = h.fake.requests("GET", kQueuePath);
        QCOMPARE(reads.size(), 1);
        QCOMPARE(reads.first().query, u"select=*&status=in.(scheduled,publishing)"_s);
        QCOMPARE(store.cloudState(), ScheduleStore::CloudState::Cloud);
        QCOMPARE(store.schedules().size(), 2);
        QCOMPARE(store.schedules().at(0).id, early.id);
        QCOMPARE(store.schedules().at(0).cloudStatus, u"publishing"_s);
        QCOMPARE(store.schedules().at(1).id, late.id);
        const QJsonObject cached = h.cacheDocument();
        QCOMPARE(cached.value("ownerID"_L1).toString(), UuidText::format(kA));
        QCOMPARE(cached.value("schedules"_L1).toArray().size(), 2);
    }

    void readsWithoutClientOrIdentity()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.makeStore();
        QVERIFY(!QCoro::waitFor(store.refreshQueue()));
        QCOMPARE(store.cloudState(), ScheduleStore::CloudState::Local);
        QCoro::waitFor(store.loadHistory());
        QCOMPARE(store.historyLoadState(), State::failed(u"Sign in and connect to the cloud to load publish history."_s));

        // A client but no account bound: no identity, so nothing is asked.
        store.attachClient(&h.signInClient());
        QVERIFY(!QCoro::waitFor(store.captureAuthSnapshot()));
        QVERIFY(!QCoro::waitFor(store.refreshQueue()));
        QCoro::waitFor(store.loadHistory());
        QCOMPARE(store.historyState(), ScheduleStore::HistoryState::Failed);
        QVERIFY(h.fake.requests("GET", kQueuePath).isEmpty());
    }

    void identityChecks()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.makeStore();
        store.attachClient(&h.signInClient(kB));
        store.bindAccount(kA);
        // The session belongs to another account.
        QVERIFY(!QCoro::waitFor(store.captureAuthSnapshot()));
        QVERIFY(!QCoro::waitFor(store.isCurrentIdentity({kA, store.identityEpoch()})));

        store.attachClient(&h.signInClient(kA));
        const std::optional<CloudAuthSnapshot> snapshot = QCoro::waitFor(store.captureAuthSnapshot());
        QCOMPARE(snapshot, (CloudAuthSnapshot{kA, store.identityEpoch()}));
        QVERIFY(QCoro::waitFor(store.isCurrentIdentity(*snapshot)));

        // Binding the same account again keeps snapshots current; any switch ends them for good.
        store.bindAccount(kA);
        QVERIFY(QCoro::waitFor(store.isCurrentIdentity(*snapshot)));
        store.bindAccount(kB);
        store.bindAccount(kA);
        QVERIFY(!QCoro::waitFor(store.isCurrentIdentity(*snapshot)));
    }

    void accountChangeDuringTheSessionRead()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.makeStore();
        store.attachClient(&h.signInClient(kA));
        store.bindAccount(kA);
        const CloudAuthSnapshot snapshot{kA, store.identityEpoch()};
        // An expired token makes the session read wait for its renewal on the network.
        h.files.clock.advance(2 * 3600 * 1000);
        auto capture = store.captureAuthSnapshot();
        auto check = store.isCurrentIdentity(snapshot);
        store.bindAccount(kB);
        store.bindAccount(kA);
        QVERIFY(!QCoro::waitFor(std::move(capture)));
        QVERIFY(!QCoro::waitFor(std::move(check)));
        QCOMPARE(h.fake.requests("POST", u"/auth/v1/token"_s).size(), 1);
    }

    void twoQueueReadsOnlyTheNewerApplies_data()
    {
        QTest::addColumn<std::chrono::milliseconds>("olderDelay");
        QTest::addColumn<std::chrono::milliseconds>("newerDelay");
        QTest::newRow("older answers last") << 300ms << 0ms;
        QTest::newRow("older answers first") << 0ms << 300ms;
    }

    void twoQueueReadsOnlyTheNewerApplies()
    {
        QFETCH(std::chrono::milliseconds, olderDelay);
        QFETCH(std::chrono::milliseconds, newerDelay);
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        const ScheduledPublish older = schedule(u"older"_s, at(9));
        const ScheduledPublish newer = schedule(u"newer"_s, at(10));
        h.fake.script("GET", kQueuePath, rows({ScheduleHarness::row(older, kA)}, olderDelay));
        h.fake.script("GET", kQueuePath, rows({ScheduleHarness::row(newer, kA)}, newerDelay));

        auto first = store.refreshQueue();
        auto second = store.refreshQueue();
        QVERIFY(!QCoro::waitFor(std::move(first)));
        QVERIFY(QCoro::waitFor(std::move(second)));
        QCOMPARE(store.schedules().size(), 1);
        QCOMPARE(store.schedules().first().id, newer.id);
    }

    void aReadStartedBeforeALocalChangeKeepsTheDraft()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        const ScheduledPublish draft = schedule(u"site-1"_s, at(11));
        // The read reaches the server, then the user saves; the read's rows predate the save.
        std::optional<ScheduleOperationStatus> saving;
        h.fake.route("GET", kQueuePath, [&](const FakeHttpServer::Request &) {
            if (!saving)
                saving = store.replaceSchedule(draft);
            return rows({});
        });
        QVERIFY(!QCoro::waitFor(store.refreshQueue()));
        QVERIFY(saving);
        QCOMPARE(store.scheduleForSite(u"site-1"_s)->id, draft.id);

        const std::optional<ScheduleOperationStatus> settled = QCoro::waitFor(store.awaitOperation(saving->id));
        QCOMPARE(settled->outcome, Outcome::accepted());
        QCOMPARE(store.scheduleForSite(u"site-1"_s)->id, draft.id);
    }

    void failedQueueReads_data()
    {
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<QString>("logged");
        QTest::newRow("server error") << failure() << u"queue read failed: database unavailable"_s;
        QTest::newRow("a row that does not decode")
            << Reply::json(200, QJsonArray{QJsonObject{{u"id"_s, u"x"_s}}}) << u"queue read failed: "_s;
    }

    void failedQueueReads()
    {
        QFETCH(Reply, reply);
        QFETCH(QString, logged);
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        const QList<ScheduledPublish> shown = store.schedules();
        h.fake.script("GET", kQueuePath, reply);
        QVERIFY(!QCoro::waitFor(store.refreshQueue()));
        QCOMPARE(store.cloudState(), ScheduleStore::CloudState::Local);
        QCOMPARE(store.schedules(), shown);
        const QStringList lines = h.files.logged(u"schedule-sync"_s);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith(logged), qPrintable(lines.first()));
    }

    void staleFailedReadStillTurnsTheStoreLocal()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        h.fake.script("GET", kQueuePath, failure(300ms));
        h.fake.script("GET", kQueuePath, rows({}));
        auto older = store.refreshQueue();
        auto newer = store.refreshQueue();
        QVERIFY(QCoro::waitFor(std::move(newer)));
        QCOMPARE(store.cloudState(), ScheduleStore::CloudState::Cloud);
        QVERIFY(!QCoro::waitFor(std::move(older)));
        QCOMPARE(store.cloudState(), ScheduleStore::CloudState::Local);
    }

    void cancelledQueueReadLeavesNoTrace()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        h.fake.script("GET", kQueuePath, rows({}, 5000ms));
        auto reading = store.refreshQueue();
        QTRY_COMPARE(h.fake.requests("GET", kQueuePath).size(), 2);
        h.client->cancelAll();
        QVERIFY(!QCoro::waitFor(std::move(reading)));
        QCOMPARE(store.cloudState(), ScheduleStore::CloudState::Cloud);
        QVERIFY(h.files.logged(u"schedule-sync"_s).isEmpty());
    }

    void historyRead()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        h.fake.scheduledPublishes = {
            historyRow(u"never"_s, u"failed"_s, std::nullopt),
            historyRow(u"old"_s, u"skipped_drift"_s, at(8)),
            historyRow(u"new"_s, u"published"_s, at(12)),
            historyRow(u"mid"_s, u"skipped_targets_changed"_s, at(10)),
            historyRow(u"queued"_s, u"scheduled"_s, std::nullopt),
        };
        QSignalSpy states(&store, &ScheduleStore::historyLoadStateChanged);
        QCoro::waitFor(store.loadHistory());

        QCOMPARE(h.fake.requests("GET", kQueuePath).last().query,
                 u"select=*&status=in.(published,failed,skipped_drift,skipped_targets_changed)"
                 "&order=completed_at.desc.nullslast&limit=50"_s);
        QCOMPARE(states.count(), 2); // loading, then loaded
        QCOMPARE(store.historyLoadState(), State::loaded());
        QStringList sites;
        QList<PublishRecord::Outcome> outcomes;
        for (const PublishRecord &record : store.history()) {
            sites.append(record.siteName);
            outcomes.append(record.outcome);
        }
        QCOMPARE(sites, (QStringList{u"Site new"_s, u"Site mid"_s, u"Site old"_s, u"Site never"_s}));
        QCOMPARE(outcomes, (QList{PublishRecord::Outcome::Published, PublishRecord::Outcome::SkippedTargetsChanged,
                                  PublishRecord::Outcome::SkippedDrift, PublishRecord::Outcome::Failed}));
        QCOMPARE(store.historyItems().first().toMap().value(u"outcome"_s), u"published"_s);
    }

    void historyReadFailureAndFences()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        h.fake.script("GET", kQueuePath, failure());
        QCoro::waitFor(store.loadHistory());
        QCOMPARE(store.historyLoadState(),
                 State::failed(u"Publish history couldn't be loaded. Check your connection and try again."_s));
        QCOMPARE(h.files.logged(u"schedule-history"_s), QStringList{u"history read failed: database unavailable"_s});

        // Of two reads in flight only the newer applies, whichever answers first.
        h.fake.script("GET", kQueuePath, rows({historyRow(u"older"_s, u"published"_s, at(9))}, 300ms));
        h.fake.script("GET", kQueuePath, rows({historyRow(u"newer"_s, u"published"_s, at(9))}));
        auto older = store.loadHistory();
        auto newer = store.loadHistory();
        QCoro::waitFor(std::move(newer));
        QCoro::waitFor(std::move(older));
        QCOMPARE(store.history().size(), 1);
        QCOMPARE(store.history().first().siteName, u"Site newer"_s);
        QCOMPARE(store.historyLoadState(), State::loaded());
    }

    void cancelledHistoryReadStaysLoading()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        h.fake.scheduledPublishes = {historyRow(u"done"_s, u"published"_s, at(9))};
        QCoro::waitFor(store.loadHistory());
        QCOMPARE(store.historyLoadState(), State::loaded());

        h.fake.script("GET", kQueuePath, rows({}, 5000ms));
        auto reading = store.loadHistory();
        QTRY_COMPARE(store.historyLoadState(), State::loading());
        QTRY_COMPARE(h.fake.requests("GET", kQueuePath).size(), 3);
        h.client->cancelAll();
        QCoro::waitFor(std::move(reading));
        // The state is not put back to "loaded": the read that replaces this one settles it.
        QCOMPARE(store.historyLoadState(), State::loading());
        QCOMPARE(store.history().size(), 1);
        QVERIFY(h.files.logged(u"schedule-history"_s).isEmpty());
    }

    void readsStartedBeforeASwitchAreDropped()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        const QList<ScheduledPublish> shown = store.schedules();
        h.fake.script("GET", kQueuePath, rows({ScheduleHarness::row(schedule(u"a"_s, at(9)), kA)}, 200ms));
        h.fake.script("GET", kQueuePath, failure(200ms));
        auto queue = store.refreshQueue();
        auto history = store.loadHistory();
        QTRY_COMPARE(h.fake.requests("GET", kQueuePath).size(), 3);
        store.bindAccount(kB);
        QVERIFY(!QCoro::waitFor(std::move(queue)));
        QCoro::waitFor(std::move(history));
        QVERIFY(store.schedules().isEmpty());
        QCOMPARE(store.historyLoadState(), State::idle());
        QCOMPARE(store.cloudState(), ScheduleStore::CloudState::Checking);
        QVERIFY(h.files.log.events().isEmpty());
    }

    void bindingTheSameAccountChangesNothing()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.cloudStore();
        store.setSyncError(u"kept"_s);
        const qint64 epoch = store.identityEpoch();
        const qint64 generation = store.writeGeneration();
        const int writes = h.files.writer.writes;
        QSignalSpy anything(&store, &ScheduleStore::syncErrorChanged);
        QSignalSpy schedules(&store, &ScheduleStore::schedulesChanged);
        QSignalSpy state(&store, &ScheduleStore::cloudStateChanged);

        store.bindAccount(kA);
        QCOMPARE(store.identityEpoch(), epoch);
        QCOMPARE(store.writeGeneration(), generation);
        QCOMPARE(h.files.writer.writes, writes);
        QCOMPARE(anything.count() + schedules.count() + state.count(), 0);
        QCOMPARE(store.syncError(), std::optional(u"kept"_s));

        ScheduleHarness empty;
        ScheduleStore &unbound = empty.makeStore();
        unbound.bindAccount(std::nullopt);
        QCOMPARE(unbound.identityEpoch(), 0);
        QCOMPARE(empty.files.writer.writes, 0);
        QCOMPARE(unbound.cloudState(), ScheduleStore::CloudState::Checking);
    }

    void switchingAccounts()
    {
        ScheduleHarness h;
        const ScheduledPublish ofA = schedule(u"a"_s, at(9));
        const PublishAttention messageOfA{QUuid::createUuid(), u"failed"_s, u"Failed."_s, at(9)};
        const PublishAttention messageOfB{QUuid::createUuid(), u"skipped_drift"_s, u"Skipped."_s, at(10)};
        putFile(h.cachePath(),
                QJsonDocument(QJsonObject{{u"version"_s, 3},
                                          {u"ownerID"_s, UuidText::format(kA)},
                                          {u"schedules"_s, QJsonArray{ofA.toJson()}},
                                          {u"inboxesByOwner"_s, QJsonObject{{UuidText::format(kB), QJsonArray{messageOfB.toJson()}}}}})
                    .toJson());
        ScheduleStore &store = h.makeStore();
        store.bindAccount(kA);
        QCOMPARE(store.schedules(), QList{ofA});
        store.setOutcomeInbox({messageOfA});
        store.setHistory({PublishRecord{}});
        store.setCancellationUnconfirmed({ofA.id});
        store.setSyncError(u"old"_s);
        const ScheduleOperationStatus pending = statusWith(Outcome::pending());
        const ScheduleOperationStatus ambiguous = statusWith(Outcome::ambiguous());
        const ScheduleOperationStatus accepted = statusWith(Outcome::accepted());
        for (const ScheduleOperationStatus &status : {pending, ambiguous, accepted})
            store.setLatestOperation(status);
        store.coordinator().pending.append({pending, PendingScheduleIntent::Phase::Pending});
        const qint64 epoch = store.identityEpoch();
        const ScheduleReadFence fence = store.queueReadFence();

        QSignalSpy table(&store, &ScheduleStore::operationStatusesChanged);
        store.bindAccount(kB);
        QCOMPARE(table.count(), 2);
        QCOMPARE(outcomeOf(store, pending.id), Outcome::refused(kAccountChanged));
        QCOMPARE(outcomeOf(store, ambiguous.id), Outcome::refused(kAccountChanged));
        QCOMPARE(outcomeOf(store, accepted.id), Outcome::accepted());
        QVERIFY(!store.latestOperation());
        QVERIFY(!store.syncError());
        QCOMPARE(store.identityEpoch(), epoch + 1);
        QCOMPARE(store.queueReadFence().latestReadID, fence.latestReadID + 1);
        QCOMPARE(store.queueReadFence().mutationRevision, fence.mutationRevision + 1);
        // B sees nothing of A's queue, history or unconfirmed cancels, and its own parked inbox.
        QVERIFY(store.schedules().isEmpty());
        QVERIFY(store.coordinator().pending.isEmpty());
        QVERIFY(store.history().isEmpty());
        QVERIFY(store.cancellationUnconfirmed().isEmpty());
        QCOMPARE(store.outcomeInbox(), QList{messageOfB});
        QCOMPARE(store.attention(), QList{messageOfB});
        QCOMPARE(store.cloudState(), ScheduleStore::CloudState::Checking);
        QCOMPARE(h.cacheDocument().value("ownerID"_L1).toString(), UuidText::format(kB));

        // Signed out: nothing is shown, and A's inbox waits under A.
        store.bindAccount(std::nullopt);
        QVERIFY(store.outcomeInbox().isEmpty());
        QVERIFY(store.schedules().isEmpty());
        QCOMPARE(store.cloudState(), ScheduleStore::CloudState::Local);
        store.bindAccount(kA);
        QCOMPARE(store.outcomeInbox(), QList{messageOfA});
        // The cache now belongs to no one, so A's queue is not seeded from it.
        QVERIFY(store.schedules().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleSync)
#include "tst_ScheduleSync.moc"
